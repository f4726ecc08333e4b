#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "support/Keys.h"
#include "ui/Forms.h"
#include "ui/Grids.h"

namespace {

TEST(StringGrid, CellsAndSizesFollowTheCountsAndTheMoves) {
    ui::TStringGrid grid(nullptr);
    grid.SetColCount(3);
    grid.SetRowCount(4);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) grid.SetCells(col, row, std::to_string(col) + "," + std::to_string(row));
    grid.SetRowCount(2);
    grid.SetRowCount(4);
    EXPECT_EQ(grid.Cells(2, 1), "2,1");
    EXPECT_EQ(grid.Cells(0, 2), "") << "rows dropped by shrinking come back blank";
    EXPECT_EQ(grid.Cells(2, 3), "");
    EXPECT_THROW(grid.Cells(3, 0), ui::EInvalidGridOperation);
    EXPECT_THROW(grid.SetFixedRows(4), ui::EInvalidGridOperation);

    grid.SetRowHeights(1, 30);
    grid.SetRow(1);
    grid.MoveRow(1, 3);
    EXPECT_EQ(grid.Cells(2, 3), "2,1");
    EXPECT_EQ(grid.RowHeights(3), 30);
    EXPECT_EQ(grid.RowHeights(1), grid.DefaultRowHeight());
    EXPECT_EQ(grid.Row(), 3) << "the current row moves with its row";
    grid.MoveColumn(2, 0);
    EXPECT_EQ(grid.Cells(0, 3), "2,1");
    EXPECT_EQ(grid.Cells(1, 0), "0,0");

    grid.SetDefaultRowHeight(20);
    EXPECT_EQ(grid.RowHeights(3), 20) << "a new default applies to every row";
    grid.SetRowCount(1);
    EXPECT_EQ(grid.FixedRows(), 0) << "a single row cannot stay fixed";
    EXPECT_EQ(grid.Row(), 0);
}

// A string grid as the setup dialog's list has it: 569 x 248, no border, two columns of 510 and 45
// pixels, rows of 16 (17 with their line), no fixed cells, row selection, a vertical scroll bar; 14 rows
// show whole.
struct ListGrid : ::testing::Test {
    static constexpr int kRows = 200;
    static constexpr int kWholeRows = 14;

    ListGrid() {
        form = new ui::TForm(&application);
        form->SetClientSize(600, 320);
        grid = new ui::TStringGrid(form);
        grid->SetParent(form);
        grid->SetBounds(12, 20, 569, 248);
        grid->SetBorderSingle(false);
        grid->SetColCount(2);
        grid->SetFixedCols(0);
        grid->SetFixedRows(0);
        grid->SetDefaultColWidth(45);
        grid->SetDefaultRowHeight(16);
        grid->SetColWidths(0, 510);
        grid->SetOptions(ui::goFixedVertLine | ui::goFixedHorzLine | ui::goVertLine | ui::goHorzLine | ui::goRowSelect);
        grid->SetScrollBars(ui::ssVertical);
        grid->SetRowCount(kRows);
        form->Show();
        grid->SetFocus();
        Pump();
    }

    void Pump() { application.ProcessMessages(); }

    // A key typed into the focused window, Ctrl held or not.
    void Key(WPARAM key, bool ctrl = false) {
        testing_support::TypeKey(key, ctrl ? std::initializer_list<int>{VK_CONTROL} : std::initializer_list<int>{});
    }

    void Wheel(int delta) { SendMessageA(grid->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0); }
    void ScrollBar(WORD code) { SendMessageA(grid->Handle(), WM_VSCROLL, code, 0); }

    SCROLLINFO VerticalBar() {
        SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(grid->Handle(), SB_VERT, &info);
        return info;
    }

    void ExpectRowAndTop(int row, int top) {
        EXPECT_EQ(grid->Row(), row);
        EXPECT_EQ(grid->TopRow(), top);
        const RECT cell = grid->CellRect(0, grid->Row());
        EXPECT_FALSE(IsRectEmpty(&cell));
        EXPECT_LE(cell.bottom, grid->ClientHeight()) << "the current row shows whole";
        EXPECT_EQ(VerticalBar().nPos, top);
    }

    ui::TApplication application;
    ui::TForm* form;
    ui::TStringGrid* grid;
};

TEST_F(ListGrid, KeysAndTheWheelMoveTheRowAndKeepItInView) {
    for (int i = 0; i < 20; ++i) Key(VK_DOWN);
    ExpectRowAndTop(20, 20 - kWholeRows + 1);
    Key(VK_NEXT);
    ExpectRowAndTop(20 + kWholeRows, 20 - kWholeRows + 1 + kWholeRows);
    Key(VK_END, true);
    ExpectRowAndTop(kRows - 1, kRows - kWholeRows);
    const SCROLLINFO bar = VerticalBar();
    EXPECT_EQ(bar.nMax, kRows - 1);
    EXPECT_EQ(static_cast<int>(bar.nPage), kWholeRows);
    Key(VK_PRIOR);
    ExpectRowAndTop(kRows - 1 - kWholeRows, kRows - 2 * kWholeRows);
    Wheel(-2 * WHEEL_DELTA);
    EXPECT_EQ(grid->Row(), kRows - 1 - kWholeRows + 2);
    Wheel(WHEEL_DELTA / 2);
    Wheel(WHEEL_DELTA / 2);
    EXPECT_EQ(grid->Row(), kRows - 1 - kWholeRows + 1) << "half notches add up to one";
    Key(VK_HOME);
    ExpectRowAndTop(0, 0);
    Key(VK_UP);
    ExpectRowAndTop(0, 0);
    EXPECT_EQ(GetFocus(), grid->Handle()) << "the dialog keyboard left the keys to the grid";
    EXPECT_EQ(SendMessageA(grid->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    grid->SetOptions(grid->Options() | ui::goTabs);
    EXPECT_EQ(SendMessageA(grid->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTTAB);
}

TEST_F(ListGrid, TheScrollBarMovesTheViewAndAShorterListHidesIt) {
    ScrollBar(SB_LINEDOWN);
    EXPECT_EQ(grid->TopRow(), 1);
    ScrollBar(SB_PAGEDOWN);
    EXPECT_EQ(grid->TopRow(), 1 + kWholeRows);
    SetScrollPos(grid->Handle(), SB_VERT, 100, TRUE);
    ScrollBar(SB_THUMBTRACK);
    EXPECT_EQ(grid->TopRow(), 1 + kWholeRows) << "without thumb tracking the view waits for the thumb's release";
    ScrollBar(SB_THUMBPOSITION);
    EXPECT_EQ(grid->TopRow(), 100);
    ScrollBar(SB_BOTTOM);
    EXPECT_EQ(grid->TopRow(), kRows - kWholeRows);
    EXPECT_EQ(grid->Row(), 0) << "the bar scrolls the view, not the selection";
    Key(VK_DOWN);
    ExpectRowAndTop(1, 1);

    grid->SetRowCount(10);
    EXPECT_EQ(grid->TopRow(), 0);
    EXPECT_EQ(GetWindowLongA(grid->Handle(), GWL_STYLE) & WS_VSCROLL, 0) << "all rows show: no bar";
    EXPECT_EQ(grid->ClientWidth(), 569);
}

TEST_F(ListGrid, PaintsOnlyTheCellsItIsAskedForAndScrollsTheRest) {
    std::vector<std::pair<int, int>> drawn;
    grid->OnDrawCell = [&drawn](ui::TDrawGrid*, ui::TCanvas&, int col, int row, const RECT&, ui::TGridDrawState) {
        drawn.emplace_back(col, row);
    };
    const RECT cell = grid->CellRect(1, 3);
    InvalidateRect(grid->Handle(), &cell, FALSE);
    UpdateWindow(grid->Handle());
    EXPECT_EQ(drawn, (std::vector<std::pair<int, int>>{{1, 3}}));

    drawn.clear();
    grid->Invalidate();
    UpdateWindow(grid->Handle());
    EXPECT_EQ(drawn.size(), 2u * (kWholeRows + 1)) << "the rows in view, the last one in part";

    drawn.clear();
    ScrollBar(SB_LINEDOWN);
    UpdateWindow(grid->Handle());
    ASSERT_FALSE(drawn.empty());
    for (const auto& [col, row] : drawn)
        EXPECT_GE(row, kWholeRows) << "the rows in view moved on the screen; only the strip at the bottom is painted";
}

// A dialog with a Cancel button, an editable 3 x 4 grid with a fixed row and column, and a field after it.
struct EditingGrid : ::testing::Test {
    EditingGrid() {
        form = new ui::TForm(&application);
        form->SetClientSize(400, 200);
        cancel = new ui::TButton(form);
        cancel->SetParent(form);
        cancel->SetBounds(300, 10, 75, 25);
        cancel->SetCancel(true);
        cancel->OnClick = [this] { ++cancels; };
        grid = new ui::TStringGrid(form);
        grid->SetParent(form);
        grid->SetBounds(10, 10, 280, 90);
        grid->SetColCount(3);
        grid->SetRowCount(4);
        grid->SetOptions(grid->Options() | ui::goEditing);
        for (int row = 1; row < 4; ++row) grid->SetCells(1, row, "cell " + std::to_string(row));
        after = new ui::TEdit(form);
        after->SetParent(form);
        after->SetBounds(10, 150, 100, 21);
        form->Show();
        grid->SetFocus();
        Pump();
    }

    void Pump() { application.ProcessMessages(); }

    // A key typed into the focused window through the message loop: the dialog keyboard sees it first,
    // then it is translated into its character.
    void Key(WPARAM key) {
        PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
        Pump();
    }
    void Type(const std::string& text) {
        for (char c : text) PostMessageA(GetFocus(), WM_CHAR, static_cast<WPARAM>(c), 1);
        Pump();
    }

    bool EditorShown() {
        ui::TInplaceEdit* editor = grid->InplaceEditor();
        return grid->EditorMode() && editor != nullptr && IsWindowVisible(editor->Handle()) &&
               GetFocus() == editor->Handle();
    }

    ui::TApplication application;
    ui::TForm* form;
    ui::TButton* cancel;
    ui::TStringGrid* grid;
    ui::TEdit* after;
    int cancels = 0;
};

TEST_F(EditingGrid, TheEditorOpensOnItsKeysKeepsTheCellInStepAndEscapeOnlyPutsTheTextBack) {
    EXPECT_EQ(grid->InplaceEditor(), nullptr) << "made on first use";
    EXPECT_EQ(SendMessageA(grid->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
    Key(VK_F2);
    ASSERT_TRUE(EditorShown());
    ui::TInplaceEdit& editor = *grid->InplaceEditor();
    EXPECT_EQ(editor.Text(), "cell 1");
    const RECT cell = grid->CellRect(1, 1), bounds = editor.BoundsRect();
    EXPECT_TRUE(EqualRect(&cell, &bounds)) << "over the current cell";
    Type("xy");
    EXPECT_EQ(grid->Cells(1, 1), "xy") << "the typed text replaced the selected one, and is the cell's";
    Key(VK_ESCAPE);
    EXPECT_EQ(grid->Cells(1, 1), "cell 1");
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_FALSE(IsWindowVisible(editor.Handle()));
    EXPECT_EQ(GetFocus(), grid->Handle());
    EXPECT_EQ(cancels, 0) << "Escape in the editor is the grid's, not the dialog's";
    EXPECT_TRUE(form->Visible());
    Key(VK_ESCAPE);
    EXPECT_EQ(cancels, 1) << "with the editor closed, Escape is the dialog's again";

    Type("q");
    ASSERT_TRUE(EditorShown()) << "typing opens the editor";
    EXPECT_EQ(editor.Text(), "q");
    Key(VK_DOWN);
    EXPECT_FALSE(grid->EditorMode()) << "a move of the current cell closes it";
    EXPECT_EQ(grid->Cells(1, 1), "q");
    EXPECT_EQ(grid->Row(), 2);
    Key(VK_RETURN);
    ASSERT_TRUE(EditorShown());
    Type("\b2");
    Key(VK_RETURN);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(1, 2), "2") << "no line break got in";

    // The editor moves with its cell; Tab leaves the grid from the editor to the next field.
    Key(VK_F2);
    grid->SetRowHeights(0, 30);
    const RECT moved = grid->CellRect(1, 2), place = editor.BoundsRect();
    ASSERT_FALSE(IsRectEmpty(&moved));
    EXPECT_TRUE(EqualRect(&moved, &place));
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), after->Handle());
    EXPECT_EQ(cancels, 1);
    grid->SetOptions(grid->Options() | ui::goTabs);
    grid->SetFocus();
    Pump();
    ASSERT_TRUE(EditorShown()) << "back in the grid is back in its editor";
    Key(VK_TAB);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Col(), 2) << "with goTabs, Tab moves to the next cell";
}

}  // namespace
