#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SkinTesting.h"
#include "dialogs/DialogParts.h"
#include "skin/CoolStringGrid.h"
#include "support/GdiBudget.h"
#include "support/Keys.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace {

using skintest::DibPixels;
using skintest::Hex;
using skintest::MakeFilled;
using skintest::PatternColor;

constexpr COLORREF kCream = RGB(255, 251, 240);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kSelColor = RGB(30, 90, 160);
// A row of 16 pixels and its grid line.
constexpr int kRowSpan = 17;
constexpr POINT kGridAt{12, 20};
constexpr ui::TGridOptions kLines = ui::goFixedVertLine | ui::goFixedHorzLine | ui::goVertLine | ui::goHorzLine;

// The setup dialog's own list (no border, cream, two columns of 510 and 45 pixels, rows of 16, no fixed
// cells, Comic Sans MS of 11 pixels, all lines, row selection, a vertical bar, lowered inner bevels), placed
// where these tests look for it.
void ConfigureAsList(skin::TCoolStringGrid& grid) {
    dialogs::SetUpFileList(grid);
    grid.SetBounds(kGridAt.x, kGridAt.y, grid.Width(), grid.Height());
}

std::string Name(int i) {
    return "C:\\PICS\\PICTURE " + std::to_string(i) + ".BMP";
}

// The grid's client area as a full paint draws it.
void FreshPaint(skin::TCoolStringGrid& grid, ui::TBitmap& picture) {
    MakeFilled(picture, grid.ClientWidth(), grid.ClientHeight(), kMagenta);
    SendMessageA(grid.Handle(), WM_PAINT, reinterpret_cast<WPARAM>(picture.Canvas().Handle()), 0);
}

// The window's client area as the screen shows it.
void Capture(HWND window, ui::TBitmap& picture) {
    RECT client{};
    GetClientRect(window, &client);
    MakeFilled(picture, client.right, client.bottom, kMagenta);
    HDC screen = GetDC(window);
    BitBlt(picture.Canvas().Handle(), 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    ReleaseDC(window, screen);
}

// Counts the pixels of the area that differ from the expected ones at `expectedAt`, reporting the first few.
int Mismatches(ui::TBitmap& actual, const RECT& area, ui::TBitmap& expected, POINT expectedAt) {
    DibPixels a(actual), e(expected);
    int wrong = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF want = e.At(x - area.left + expectedAt.x, y - area.top + expectedAt.y);
            if (a.At(x, y) != want && ++wrong <= 3)
                ADD_FAILURE() << x << "," << y << ": " << Hex(a.At(x, y)) << " instead of " << Hex(want);
        }
    return wrong;
}

// A cell as the list draws it: its background, the lowered inner edge unless it is fixed, and the text in
// the rectangle 2 pixels inside the cell, engraved when disabled.
struct Look {
    COLORREF background;
    COLORREF text = ui::ColorToRGB(ui::clWindowText);
    UINT align = DT_LEFT;
    bool bevel = true;
    bool engraved = false;
};

void DrawExpectedCell(ui::TBitmap& picture, const RECT& cell, const Look& look, HFONT font, const std::string& text) {
    const int width = cell.right - cell.left, height = cell.bottom - cell.top;
    MakeFilled(picture, width, height, look.background);
    HDC dc = picture.Canvas().Handle();
    ui::SavedDC saved(dc);
    RECT edge{0, 0, width, height};
    if (look.bevel) DrawEdge(dc, &edge, BDR_SUNKENINNER, BF_RECT);
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    const auto draw = [&](int offset, COLORREF color) {
        RECT r{2 + offset, 2 + offset, width - 2 + offset, height - 2 + offset};
        SetTextColor(dc, color);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_WORDBREAK | look.align);
    };
    if (look.engraved) {
        draw(1, GetSysColor(COLOR_BTNHIGHLIGHT));
        draw(0, GetSysColor(COLOR_BTNSHADOW));
    } else {
        draw(0, look.text);
    }
}

// The size DrawText gives the text in the grid's font, wrapped at a width.
SIZE Measure(skin::TCoolStringGrid& grid, const std::string& text, int width) {
    ui::TBitmap any;
    any.Canvas().Font().Assign(grid.Font());
    RECT r{0, 0, width, 0};
    any.Canvas().DrawText(text, r, DT_WORDBREAK | DT_LEFT | DT_CALCRECT);
    return SIZE{r.right, r.bottom};
}

// The list on a form whose hook tiles the 196 x 196 pattern, as the setup dialog's skin does.
struct CoolListGrid : ::testing::Test {
    CoolListGrid() : skinned(skin::TCoolOptions{skin::ocPaintWallpaper}, 600, 320), form(skinned.form.get()) {
        field = new ui::TEdit(form);
        field->SetParent(form);
        field->SetBounds(12, 285, 100, 24);
        grid = new skin::TCoolStringGrid(form);
        grid->SetParent(form);
        ConfigureAsList(*grid);
        form->Show();
        Pump();
    }

    void Pump() { application.ProcessMessages(); }

    // Entries 0 .. n-1 and the blank last row, as the dialog fills the list.
    void Fill(int entries) {
        static const char* const kStyles[] = {"Center", "Stretch", "Tile"};
        grid->SetRowCount(entries + 1);
        for (int i = 0; i < entries; ++i) {
            grid->SetCells(0, i, Name(i));
            grid->SetCells(1, i, kStyles[i % 3]);
        }
    }

    void Key(WPARAM key, bool ctrl = false) {
        testing_support::TypeKey(key, ctrl ? std::initializer_list<int>{VK_CONTROL} : std::initializer_list<int>{});
    }

    void Type(const std::string& text) {
        for (char c : text) PostMessageA(GetFocus(), WM_CHAR, static_cast<WPARAM>(c), 1);
        Pump();
    }

    void ScrollBar(WORD code) {
        SendMessageA(grid->Handle(), WM_VSCROLL, code, 0);
        Pump();
    }

    // What the screen shows after the message loop has painted is what a full paint draws now.
    void ExpectScreenIsAFreshPaint(const char* step) {
        Pump();
        ui::TBitmap screen, fresh;
        Capture(grid->Handle(), screen);
        FreshPaint(*grid, fresh);
        EXPECT_EQ(Mismatches(screen, RECT{0, 0, grid->ClientWidth(), grid->ClientHeight()}, fresh, POINT{0, 0}), 0)
            << step;
        const RECT current = grid->CellRect(grid->LeftCol(), grid->Row());
        EXPECT_FALSE(IsRectEmpty(&current)) << step;
        EXPECT_LE(current.bottom, grid->ClientHeight()) << step << ": the selected row shows whole";
    }

    // Every pixel of a strip inside the row's name cell, clear of the text, against a colour by client point.
    int WrongInRow(int row, const std::function<COLORREF(int x, int y)>& expected) {
        Pump();
        ui::TBitmap screen;
        Capture(grid->Handle(), screen);
        const RECT cell = grid->CellRect(0, row);
        DibPixels pixels(screen);
        int wrong = 0;
        for (int y = cell.top + 1; y < cell.bottom - 1; ++y)
            for (int x = 300; x < 500; ++x)
                if (pixels.At(x, y) != expected(x, y) && ++wrong <= 3)
                    ADD_FAILURE() << "row " << row << " at " << x << "," << y << ": " << Hex(pixels.At(x, y))
                                  << " instead of " << Hex(expected(x, y));
        return wrong;
    }
    ui::TApplication application;
    skintest::SkinnedForm skinned;
    ui::TForm* form;
    ui::TEdit* field;
    skin::TCoolStringGrid* grid;
};

TEST_F(CoolListGrid, CellsDrawTheirTextInsideTheMarginsOverALoweredBevel) {
    Fill(2);
    ASSERT_FALSE(grid->Focused());
    const RECT cell = grid->CellRect(0, 1);
    ASSERT_EQ(cell.right - cell.left, 510);
    ASSERT_EQ(cell.bottom - cell.top, 16);
    ui::TBitmap painted, expected;
    const auto expectCell = [&](const RECT& at, const Look& look, const std::string& text, const char* what) {
        FreshPaint(*grid, painted);
        DrawExpectedCell(expected, at, look, grid->Font().Handle(), text);
        EXPECT_EQ(Mismatches(painted, at, expected, POINT{0, 0}), 0) << what;
    };
    expectCell(cell, Look{kCream}, Name(1), "text in (2, 2)-(508, 14) of the 510 x 16 cell");
    grid->SetTextAlign(ui::taRightJustify);
    expectCell(cell, Look{kCream, ui::ColorToRGB(ui::clWindowText), DT_RIGHT}, Name(1), "right-aligned");
    grid->SetTextAlign(ui::taLeftJustify);
    grid->SetEnabled(false);
    expectCell(cell, Look{kCream, 0, DT_LEFT, true, true}, Name(1), "disabled: engraved");
    grid->SetEnabled(true);
    grid->SetFixedRows(1);
    expectCell(grid->CellRect(0, 0), Look{GetSysColor(COLOR_BTNFACE), ui::ColorToRGB(ui::clWindowText), DT_LEFT, false},
               Name(0), "a fixed cell has no bevel");
}

TEST_F(CoolListGrid, TheSelectedRowTakesSelColorAndTheFocusedCellFollowsTheOptions) {
    Fill(2);
    grid->SetSelColor(kSelColor);
    grid->SetFocus();
    Pump();
    ASSERT_TRUE(grid->Focused());
    ui::TBitmap painted, expected;
    // Inside the cell's outer ring, which the bevel and the focus frame share.
    const auto expectInside = [&](int col, COLORREF background, COLORREF text, const char* what) {
        FreshPaint(*grid, painted);
        RECT cell = grid->CellRect(col, 0);
        DrawExpectedCell(expected, cell, Look{background, text}, grid->Font().Handle(), grid->Cells(col, 0));
        InflateRect(&cell, -1, -1);
        EXPECT_EQ(Mismatches(painted, cell, expected, POINT{1, 1}), 0) << what << ", column " << col;
    };
    const COLORREF highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    const COLORREF plainText = ui::ColorToRGB(ui::clWindowText);
    expectInside(0, kSelColor, highlightText, "row selection, the focused cell too");
    expectInside(1, kSelColor, highlightText, "row selection");
    const ui::TGridOptions lines = ui::goFixedVertLine | ui::goFixedHorzLine | ui::goVertLine | ui::goHorzLine;
    grid->SetOptions(lines);
    expectInside(0, kCream, plainText, "the focused cell alone is drawn unselected");
    expectInside(1, kCream, plainText, "outside the selection");
    grid->SetOptions(lines | ui::goDrawFocusSelected);
    expectInside(0, kSelColor, highlightText, "goDrawFocusSelected");
    grid->SetOptions(lines);
    field->SetFocus();
    expectInside(0, kSelColor, highlightText, "without the focus the current cell shows selected");
}

TEST_F(CoolListGrid, LongNamesGrowTheirRowOrColumnOnTheNextPaintAndTheScrollBarFollows) {
    // 13 entries and the blank row, 17 pixels each, fill 238 of the 248 pixels: no bar yet.
    Fill(13);
    ASSERT_EQ(GetWindowLongA(grid->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
    const std::string spaced =
        "C:\\My Pictures\\Holidays\\A long summer afternoon by the sea with the whole family "
        "and the dog on the beach, then ice cream.bmp";
    const SIZE wrapped = Measure(*grid, spaced, 510);
    ASSERT_GT(wrapped.cy, Measure(*grid, "C", 510).cy) << "the name wraps";
    grid->SetCells(0, 5, spaced);
    ExpectScreenIsAFreshPaint("after the row grew");
    EXPECT_EQ(grid->RowHeights(5), wrapped.cy + 10);
    EXPECT_EQ(grid->ColWidths(0), 510);
    EXPECT_NE(GetWindowLongA(grid->Handle(), GWL_STYLE) & WS_VSCROLL, 0) << "the taller row needs the bar";
    grid->SetRow(13);
    SCROLLINFO bar{sizeof bar, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(grid->Handle(), SB_VERT, &bar);
    EXPECT_EQ(bar.nPos, grid->TopRow());
    EXPECT_EQ(bar.nMax - static_cast<int>(bar.nPage) + 1, grid->TopRow()) << "the last row ends the bar's range";
    int top = 0;
    for (int height = 13 * kRowSpan + wrapped.cy + 11; height > 248; ++top) height -= grid->RowHeights(top) + 1;
    EXPECT_EQ(grid->TopRow(), top) << "the first row from which the rest fits";

    // Letters only: Wine's DrawText also breaks lines after punctuation such as the backslash of "C:\",
    // where Windows keeps a word without spaces whole. Greek letters, measured as the letters they are.
    std::string unbroken;
    for (int i = 0; i < 120; ++i) unbroken += "Ω";
    grid->SetCells(0, 9, unbroken);
    ExpectScreenIsAFreshPaint("after the column widened");
    EXPECT_EQ(grid->ColWidths(0), Measure(*grid, unbroken, 510).cx + 10);
    EXPECT_EQ(grid->RowHeights(9), 16);

    // Wider than the grid: Right and Left move the view sideways and back.
    grid->SetFocus();
    Key(VK_RIGHT);
    EXPECT_EQ(grid->LeftCol(), 1);
    ExpectScreenIsAFreshPaint("scrolled sideways");
    Key(VK_LEFT);
    EXPECT_EQ(grid->LeftCol(), 0);
    ExpectScreenIsAFreshPaint("scrolled back");
}

TEST_F(CoolListGrid, TwoHundredEntriesScrollAndChangeWithTheScreenAlwaysRight) {
    Fill(200);
    grid->SetFocus();
    ExpectScreenIsAFreshPaint("filled");
    SendMessageA(grid->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-5 * WHEEL_DELTA)), 0);
    EXPECT_EQ(grid->Row(), 5);
    ExpectScreenIsAFreshPaint("wheel");
    for (int i = 0; i < 20; ++i) Key(VK_DOWN);
    EXPECT_EQ(grid->Row(), 25);
    ExpectScreenIsAFreshPaint("arrow keys");
    SetScrollPos(grid->Handle(), SB_VERT, 100, TRUE);
    ScrollBar(SB_THUMBPOSITION);
    EXPECT_EQ(grid->TopRow(), 100);
    ScrollBar(SB_LINEUP);
    ScrollBar(SB_PAGEDOWN);
    Key(VK_DOWN);
    ExpectScreenIsAFreshPaint("thumb, arrows and page of the bar, then a key");
    Key(VK_END, true);
    EXPECT_EQ(grid->Row(), 200);
    ExpectScreenIsAFreshPaint("Ctrl+End");

    // Move Up of row 190: both cells swap with the row above, and the selection follows.
    grid->SetRow(190);
    for (int col = 0; col < 2; ++col) {
        const std::string above = grid->Cells(col, 189);
        grid->SetCells(col, 189, grid->Cells(col, 190));
        grid->SetCells(col, 190, above);
    }
    grid->SetSelection(ui::TGridRect{0, 189, 1, 189});
    ExpectScreenIsAFreshPaint("Move Up");
    // Remove of row 195: the later rows move up, one row fewer, column 0 back to 510.
    grid->SetRow(195);
    for (int row = 195; row < grid->RowCount() - 1; ++row)
        for (int col = 0; col < 2; ++col) grid->SetCells(col, row, grid->Cells(col, row + 1));
    grid->SetRowCount(grid->RowCount() - 1);
    grid->SetColWidths(0, 510);
    EXPECT_EQ(grid->Cells(0, 195), Name(196));
    ExpectScreenIsAFreshPaint("Remove");

    field->SetFocus();
    const int top = grid->TopRow();
    grid->OnSelectCell = [top](int, int row, bool& canSelect) { canSelect = row != top + 3; };
    const auto click = [this](int row) {
        PostMessageA(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, row * kRowSpan + 8));
        PostMessageA(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(100, row * kRowSpan + 8));
        Pump();
    };
    click(2);
    EXPECT_EQ(grid->Row(), top + 2);
    EXPECT_EQ(grid->Selection().Left, 0) << "the whole row";
    EXPECT_EQ(grid->Selection().Right, 1);
    EXPECT_EQ(GetFocus(), grid->Handle()) << "a click takes the focus";
    click(3);
    EXPECT_EQ(grid->Row(), top + 2) << "OnSelectCell refused the row";
    ExpectScreenIsAFreshPaint("clicks");
}

TEST_F(CoolListGrid, PicturesAndTheParentsBackgroundStayInPlaceWhileTheCellsScroll) {
    Fill(40);
    ui::TBitmap pattern, green;
    skintest::MakePattern(pattern, 196, 196);
    MakeFilled(green, 8, 8, RGB(20, 200, 60));
    grid->SetWallpaper(pattern);
    grid->SetSelWallpaper(green);
    grid->SetExOptions(grid->ExOptions() + skin::TCoolOptions{skin::ocPaintWallpaper, skin::ocPaintSelWallpaper});
    const auto tile = [](int x, int y) { return PatternColor(x % 196, y % 196); };
    // Each check looks at rows that a one-row scroll has just moved up on the screen.
    ScrollBar(SB_PAGEDOWN);
    ScrollBar(SB_LINEDOWN);
    grid->SetRow(grid->TopRow() + 3);
    EXPECT_EQ(WrongInRow(grid->TopRow() + 1, tile), 0) << "the picture laid over the client area";
    EXPECT_EQ(WrongInRow(grid->Row(), [](int, int) { return RGB(20, 200, 60); }), 0) << "the selection picture";
    grid->SetExOptions(grid->ExOptions() + skin::TCoolOptions{skin::ocInvertWallpaperAsSelect});
    EXPECT_EQ(WrongInRow(grid->Row(), [&](int x, int y) { return skin::InvertColor(tile(x, y)); }), 0);

    grid->SetExOptions(grid->ExOptions() + skin::TCoolOptions{skin::ocPaintTransparently});
    EXPECT_FALSE(grid->ExOptions().Contains(skin::ocPaintWallpaper)) << "transparency drops the picture";
    const auto formTile = [&](int x, int y) { return tile(kGridAt.x + x, kGridAt.y + y); };
    Pump();
    ScrollBar(SB_LINEDOWN);
    EXPECT_EQ(WrongInRow(grid->TopRow() + 5, formTile), 0) << "the form's tiles under the cells";
    grid->SetExOptions(grid->ExOptions() + skin::TCoolOptions{skin::ocPaintWallpaper});
    EXPECT_FALSE(grid->ExOptions().Contains(skin::ocPaintTransparently)) << "the picture drops transparency";
    Pump();
    ScrollBar(SB_LINEUP);
    EXPECT_EQ(WrongInRow(grid->TopRow() + 5, tile), 0);

    EXPECT_EQ(GetWindowLongA(grid->Handle(), GWL_STYLE) & WS_CAPTION, 0);
    grid->SetExOptions(grid->ExOptions() - skin::TCoolOptions{skin::ocNoCaption});
    EXPECT_EQ(GetWindowLongA(grid->Handle(), GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "the window was made anew";
}

TEST_F(CoolListGrid, PaintingScrollingAndEditingLeaveNoGdiObjectBehind) {
    Fill(200);
    ui::TBitmap pattern;
    skintest::MakePattern(pattern, 196, 196);
    grid->SetWallpaper(pattern);
    grid->SetSelWallpaper(pattern);
    grid->SetFocus();
    const auto rounds = [this] {
        testing_support::GdiBudget budget(200);
        ASSERT_GT(budget.Capacity(), 5000);
        for (int i = 0; i < 250; ++i) {
            grid->SetEnabled(i % 4 != 3);
            ScrollBar(i % 2 == 0 ? SB_LINEDOWN : SB_PAGEUP);
            grid->Repaint();
        }
        EXPECT_TRUE(testing_support::GdiBudget::CanCreateObjects());
    };
    grid->SetExOptions(grid->ExOptions() + skin::TCoolOptions{skin::ocPaintWallpaper, skin::ocPaintSelWallpaper});
    rounds();
    grid->SetExOptions(grid->ExOptions() + skin::TCoolOptions{skin::ocPaintTransparently, skin::ocFlatBorder});
    rounds();

    // Edits over the picture, each editor given the part under its cell, under a caption bar of the grid's
    // own colour.
    grid->SetOptions(kLines | ui::goEditing);
    grid->SetExOptions(grid->ExOptions() + skin::TCoolOptions{skin::ocPaintWallpaper} -
                       skin::TCoolOptions{skin::ocNoCaption});
    grid->SetCaptionColor(kSelColor);
    grid->SetRow(0);
    grid->SetFocus();
    testing_support::GdiBudget budget(200);
    for (int i = 0; i < 150; ++i) {
        Key(VK_F2);
        Type("x");
        Key(i % 2 == 0 ? VK_RETURN : VK_ESCAPE);
        Key(i % 20 < 10 ? VK_DOWN : VK_UP);
        grid->RedrawFrame();
    }
    EXPECT_TRUE(testing_support::GdiBudget::CanCreateObjects());
    EXPECT_TRUE(grid->InplaceEditor() != nullptr && grid->CoolInplaceEditor()->SkinInUse());
}

TEST_F(CoolListGrid, TheFlatBorderShowsTheFocusAndTheMouseAndPaintsAreAnnounced) {
    skintest::DistinctButtonColors colors;
    grid->SetBorderSingle(true);
    grid->SetExOptions(grid->ExOptions() + skin::TCoolOptions{skin::ocFlatBorder});
    int paints = 0, enters = 0, leaves = 0;
    grid->OnPaint = [&] { ++paints; };
    grid->OnMouseEnter = [&] { ++enters; };
    grid->OnMouseLeave = [&] { ++leaves; };
    const auto corner = [this] {
        HDC dc = GetWindowDC(grid->Handle());
        const COLORREF color = GetPixel(dc, 0, 0);
        ReleaseDC(grid->Handle(), dc);
        return color;
    };
    grid->Repaint();
    EXPECT_GT(paints, 0);
    EXPECT_EQ(corner(), skintest::DistinctButtonColors::kFace);
    grid->SetFocus();
    EXPECT_EQ(corner(), skintest::DistinctButtonColors::kShadow) << "hot while it has the focus";
    field->SetFocus();
    EXPECT_EQ(corner(), skintest::DistinctButtonColors::kFace);
    SendMessageA(grid->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(corner(), skintest::DistinctButtonColors::kShadow) << "hot under the mouse";
    SendMessageA(grid->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(corner(), skintest::DistinctButtonColors::kFace);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(leaves, 1);
}

TEST_F(CoolListGrid, AnEditIsToldOnceTheEditorClosedOnlyWhenItChangedTheCellAndSizesItsColumnAndRow) {
    Fill(3);
    grid->SetOptions(kLines | ui::goEditing);
    std::vector<std::string> told;
    int width = 0, height = 0;
    grid->OnEndCellEditing = [&](int col, int row, int& cellWidth, int& cellHeight) {
        told.push_back(std::to_string(col) + "," + std::to_string(row) + (grid->EditorMode() ? ", editing" : ""));
        EXPECT_EQ(cellWidth, 45);
        EXPECT_EQ(cellHeight, 16);
        if (width != 0) cellWidth = width;
        if (height != 0) cellHeight = height;
    };
    grid->SetRow(1);
    grid->SetFocus();
    Key(VK_F2);
    ASSERT_TRUE(grid->EditorMode());
    Key(VK_RETURN);
    Key(VK_F2);
    Type("sunset");
    Key(VK_ESCAPE);
    Pump();
    EXPECT_TRUE(told.empty()) << "closed unchanged, and put back";
    EXPECT_EQ(grid->Cells(0, 1), Name(1));

    width = 300;
    height = 40;
    Type("sunset");
    Key(VK_RETURN);
    EXPECT_EQ(told, std::vector<std::string>{"0,1"});
    EXPECT_EQ(grid->Cells(0, 1), "sunset");
    EXPECT_EQ(grid->ColWidths(0), 300);
    EXPECT_EQ(grid->RowHeights(1), 40);
    EXPECT_EQ(grid->ColWidths(1), 45);

    // Left as they are, the sizes are the defaults, and the column grows again as far as its text needs.
    // Typed and closed in one go, the edit's stores all wait until the editor has closed: still told once.
    width = height = 0;
    const std::string longer = "SUNRISEOVERTHEBAY";
    Key(VK_F2);
    for (char c : longer) PostMessageA(GetFocus(), WM_CHAR, static_cast<WPARAM>(c), 1);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    EXPECT_EQ(told.size(), 2u);
    EXPECT_EQ(grid->ColWidths(0), Measure(*grid, longer, 45).cx + 10);
    EXPECT_EQ(grid->RowHeights(1), 16);
}

TEST_F(CoolListGrid, CellsOfTheirOwnAreFoundAgainMoveWithTheirCellsAndGiveTheEditorItsLook) {
    Fill(4);
    grid->SetOptions(kLines | ui::goEditing);
    constexpr COLORREF kOwn = RGB(200, 40, 40);
    skin::TCellWrapper& own = grid->CellWrapperNeeded(0, 1);
    EXPECT_EQ(&grid->CellWrapperNeeded(0, 1), &own);
    EXPECT_EQ(ui::ColorToRGB(own.Color), kCream) << "made with the grid's colour";
    own.Color = kOwn;
    own.Wallpaper = false;
    own.ReadOnly = true;
    grid->CellWrapperNeeded(1, 2);
    grid->MoveRow(1, 3);
    grid->MoveColumn(0, 1);
    EXPECT_EQ(grid->CellWrapper(1, 3), &own);
    EXPECT_NE(grid->CellWrapper(0, 1), nullptr) << "the rows between closed up";
    EXPECT_EQ(grid->CellWrapper(1, 2), nullptr);
    ui::TBitmap painted;
    FreshPaint(*grid, painted);
    const RECT cell = grid->CellRect(1, 3);
    EXPECT_EQ(Hex(DibPixels(painted).At(cell.right - 4, cell.bottom - 4)), Hex(kOwn));

    grid->SetFocus();
    grid->SetCol(1);
    grid->SetRow(3);
    Key(VK_F2);
    EXPECT_FALSE(grid->EditorMode()) << "read-only";
    own.ReadOnly = false;
    Key(VK_F2);
    ASSERT_TRUE(grid->EditorMode());
    EXPECT_EQ(Hex(ui::ColorToRGB(grid->CoolInplaceEditor()->Color())), Hex(kOwn));
    Key(VK_ESCAPE);

    // Elsewhere the editor shows the grid's picture as the cell under it shows it.
    ui::TBitmap pattern;
    skintest::MakePattern(pattern, 196, 196);
    grid->SetWallpaper(pattern);
    grid->SetExOptions(grid->ExOptions() + skin::TCoolOptions{skin::ocPaintWallpaper, skin::ocFlatBorder});
    grid->SetFocus();
    grid->SetRow(2);
    Key(VK_F2);
    ASSERT_TRUE(grid->EditorMode());
    skin::TCoolInplaceEdit& editor = *grid->CoolInplaceEditor();
    EXPECT_EQ(editor.Options(), grid->ExOptions() - skin::TCoolOptions{skin::ocFlatBorder});
    const RECT under = grid->CellRect(1, 2);
    ASSERT_EQ(editor.Wallpaper().Width(), under.right - under.left);
    DibPixels shown(editor.Wallpaper());
    int wrong = 0;
    for (int y = 0; y < editor.Wallpaper().Height(); ++y)
        for (int x = 0; x < editor.Wallpaper().Width(); ++x)
            wrong += shown.At(x, y) != PatternColor((under.left + x) % 196, (under.top + y) % 196) ? 1 : 0;
    EXPECT_EQ(wrong, 0);
}

TEST_F(CoolListGrid, TheCaptionBarIsTheSystemsInItsColoursAndTheGridsOwnAtOnceWhenItsColourChanges) {
    grid->SetExOptions(grid->ExOptions() - skin::TCoolOptions{skin::ocNoCaption});
    grid->SetCaption("Pictures");
    Pump();
    // Where the caption bar shows its colour: beyond its text, halfway down.
    const int captionTop = GetSystemMetrics(SM_CYDLGFRAME);
    const auto captionPixel = [&](int x) {
        return GetPixel(ui::WindowDC(grid->Handle(), ui::WindowDC::Whole).Get(), x,
                        captionTop + GetSystemMetrics(SM_CYCAPTION) / 2);
    };
    const int beyondText = grid->Width() - 20;
    const COLORREF system = captionPixel(beyondText);
    ASSERT_NE(system, kSelColor);
    grid->SetCaptionColor(kSelColor);
    EXPECT_EQ(Hex(captionPixel(beyondText)), Hex(kSelColor)) << "repainted at once";
    int text = 0;
    for (int x = 0; x < 60; ++x) text += captionPixel(x) == GetSysColor(COLOR_INACTIVECAPTIONTEXT) ? 1 : 0;
    EXPECT_GT(text, 0) << "the caption in the caption text colour";
    grid->SetCaptionColor(ui::clInactiveCaption);
    EXPECT_EQ(Hex(captionPixel(beyondText)), Hex(system)) << "the system's again";

    RECT bounds{};
    GetWindowRect(grid->Handle(), &bounds);
    const LPARAM inCaption = MAKELPARAM(bounds.left + 100, bounds.top + captionTop + 4);
    EXPECT_EQ(SendMessageA(grid->Handle(), WM_NCHITTEST, 0, inCaption), HTCAPTION);
    grid->SetExOptions(grid->ExOptions() + skin::TCoolOptions{skin::ocNoDragUsingCaption});
    EXPECT_EQ(SendMessageA(grid->Handle(), WM_NCHITTEST, 0, inCaption), HTNOWHERE);
}

}  // namespace
