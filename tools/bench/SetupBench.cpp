// Times the setup dialog's full repaint: the whole window with every transparent control over the skin
// and a picture list of 200 entries, as when a window that covered it goes away. Then the same for each
// of its five panels alone, and for the list alone, to show where the time goes. No background is cached:
// every transparent control asks its parents to paint what lies beneath it. Run by
// tools/bench/setup.sh; the figures are milliseconds over many rounds: the wall-clock time of a repaint
// (which under Wine includes waiting for the X server) and the processor time this program spent on it.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/SysUtils.h"
#include "core/Settings.h"
#include "dialogs/FormSetup.h"
#include "ui/Forms.h"

namespace {

constexpr int kRounds = 200;

struct Figures {
    double best;
    double median;
    double processor;  // this thread's processor time per repaint, user and system
};

double ThreadProcessorMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

Figures TimeRepaints(HWND window) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    const double processorBefore = ThreadProcessorMs();
    for (int round = 0; round < kRounds; ++round) {
        QueryPerformanceCounter(&start);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        GdiFlush();
        QueryPerformanceCounter(&end);
        times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    }
    const double processor = (ThreadProcessorMs() - processorBefore) / kRounds;
    std::sort(times.begin(), times.end());
    return Figures{times.front(), times[times.size() / 2], processor};
}

void Print(const char* what, const Figures& figures) {
    std::printf("%-40s best %6.2f ms   median %6.2f ms   processor %6.2f ms\n", what, figures.best, figures.median,
                figures.processor);
}

}  // namespace

int main() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string file = std::string(folder) + "TamberlynSetupBench.ini";
    std::string settings = "[Options]\r\nMode=1\r\n";
    for (int i = 0; i < 200; ++i) {
        settings += "[" + std::to_string(i) + "]\r\nFilename=C:\\PICTURES\\HOLIDAY " + std::to_string(i) +
                    ".BMP\r\nDisplayStyle=" + std::to_string(i % 3) + "\r\n";
    }
    HANDLE out = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(out, settings.data(), static_cast<DWORD>(settings.size()), &written, nullptr);
    CloseHandle(out);

    ui::TApplication application;
    const core::IniFileOverride ini(file);
    core::Settings.PictureList.Clear();
    core::ReadIniSettings();
    {
        base::Owned<dialogs::TfrmSetup> setup(ui::NewForm<dialogs::TfrmSetup>(&application));
        setup->Show();
        application.ProcessMessages();
        std::printf("== the setup dialog under Wine, %d repaints each\n", kRounds);
        Print("the whole dialog", TimeRepaints(setup->Handle()));
        Print("  options row (three groups)", TimeRepaints(setup->cpnlOptions->Handle()));
        Print("  About and Help", TimeRepaints(setup->cpnlHelp->Handle()));
        Print("  directory row (field, groups, boxes)", TimeRepaints(setup->cpnlDir->Handle()));
        Print("  list panel (list and four buttons)", TimeRepaints(setup->cpnlList->Handle()));
        Print("    the list of 200 entries alone", TimeRepaints(setup->cstgrdList->Handle()));
        Print("  Refresh, Save, Cancel", TimeRepaints(setup->cpnlSave->Handle()));
    }
    DeleteFileA(file.c_str());
    return 0;
}
