// Times the setup dialog's picture list: a skinned string grid of 569 x 248 pixels with 200 entries and the
// blank last row, set up as the dialog sets it up. It measures a full repaint (erase and paint of the whole
// grid, as when a window that covered it goes away), one scroll step of the vertical bar (the rows in view
// move on the screen, the row coming into view is painted, the bar is drawn), an arrow key, and a refill
// of the list as the dialog's Refresh does it. Run by tools/bench/grid.sh; the
// figures are milliseconds over many rounds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/DialogParts.h"
#include "skin/CoolStringGrid.h"
#include "ui/Forms.h"

namespace {

constexpr int kRounds = 400;

struct Figures {
    double best;
    double median;
};

Figures Time(const std::function<void(int round)>& work) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        QueryPerformanceCounter(&start);
        work(round);
        GdiFlush();
        QueryPerformanceCounter(&end);
        times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    }
    std::sort(times.begin(), times.end());
    return Figures{times.front(), times[times.size() / 2]};
}

void Print(const char* what, const Figures& figures) {
    std::printf("%-34s best %6.2f ms   median %6.2f ms\n", what, figures.best, figures.median);
}

// Row by row, as the dialog loads its list: the row count grows to take each entry and keep a blank row last.
void FillAsTheDialogDoes(skin::TCoolStringGrid& grid) {
    static const char* const kStyles[] = {"Center", "Stretch", "Tile"};
    for (int i = 0; i < 200; ++i) {
        grid.SetRowCount(i + 2);
        grid.SetCells(0, i,
                      "C:\\Documents and Settings\\Owner\\My Documents\\My Pictures\\Holiday " +
                          std::to_string(2000 + i) + ".jpg");
        grid.SetCells(1, i, kStyles[i % 3]);
    }
}

}  // namespace

int main() {
    ui::TApplication application;
    auto* form = new ui::TForm(&application);
    form->SetClientSize(592, 573);
    auto* grid = new skin::TCoolStringGrid(form);
    grid->SetParent(form);
    dialogs::SetUpFileList(*grid);
    FillAsTheDialogDoes(*grid);
    form->Show();
    grid->SetFocus();
    application.ProcessMessages();
    HWND window = grid->Handle();

    // Each round ends when the message loop has nothing left to do: the cells and the scroll bar are drawn.
    Print("full repaint (erase and paint)", Time([&](int) {
              InvalidateRect(window, nullptr, TRUE);
              application.ProcessMessages();
          }));
    // Down the list and back up, one row per step.
    const int steps = grid->RowCount() - grid->VisibleRowCount();
    Print("scroll step of one row", Time([&](int round) {
              SendMessageA(window, WM_VSCROLL, (round / steps) % 2 == 0 ? SB_LINEDOWN : SB_LINEUP, 0);
              application.ProcessMessages();
          }));
    Print("arrow key (the view follows)", Time([&](int round) {
              SendMessageA(window, WM_KEYDOWN, round % 200 < 100 ? VK_DOWN : VK_UP, 1);
              application.ProcessMessages();
          }));
    // The dialog's Refresh: the list emptied and filled again row by row, then shown.
    Print("refill of the 200 entries", Time([&](int) {
              grid->SetRowCount(1);
              FillAsTheDialogDoes(*grid);
              application.ProcessMessages();
          }));
    return 0;
}
