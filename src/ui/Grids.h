// The grid family: a windowed table of cells with fixed rows and columns, grid lines, a current cell,
// scrolling, keyboard and mouse navigation and an editor over the current cell (TCustomGrid); cells
// painted by a handler (TDrawGrid); and cells holding strings (TStringGrid).
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/SysUtils.h"
#include "ui/Controls.h"
#include "ui/Graphics.h"
#include "ui/GridAxis.h"
#include "ui/StdCtrls.h"

namespace ui {

enum TGridOption : unsigned {
    goFixedVertLine = 1 << 0,
    goFixedHorzLine = 1 << 1,
    goVertLine = 1 << 2,
    goHorzLine = 1 << 3,
    // The current cell is drawn selected like the rest of the selection.
    goDrawFocusSelected = 1 << 4,
    // F2, Enter and typing open an editor over the current cell (not with goRowSelect).
    goEditing = 1 << 5,
    // Tab and Shift+Tab move between the cells instead of leaving the grid.
    goTabs = 1 << 6,
    // The selection is the whole current row.
    goRowSelect = 1 << 7,
    // Once open, the editor stays open as the current cell moves, and Enter does not close it.
    goAlwaysShowEditor = 1 << 8,
    // Dragging the scroll box scrolls at once, not only when it is let go.
    goThumbTracking = 1 << 9,
};
using TGridOptions = unsigned;

enum TGridDrawStateMember : unsigned { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = unsigned;

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

struct TGridCoord {
    int X;
    int Y;
};

// A block of cells, inclusive on every side.
struct TGridRect {
    int Left;
    int Top;
    int Right;
    int Bottom;
};

// A grid operation with an index or count the grid cannot have.
class EInvalidGridOperation : public base::Exception {
public:
    using base::Exception::Exception;
};

class TCustomGrid;

// The editor of a grid's current cell: a borderless multi-line field (so that its text can be aligned)
// laid over the cell. What it types goes into the cell as it types; the keys that move between cells,
// Enter, Escape and (with goTabs) Tab are the grid's.
class TInplaceEdit : public TCustomEdit {
public:
    explicit TInplaceEdit(TCustomGrid* grid);

    TCustomGrid& Grid() const { return grid_; }

    void WndProc(TMessage& message) override;

protected:
    const char* ClassName() const override { return "TInplaceEdit"; }
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    void FontChanged() override;
    LRESULT DialogCode(const MSG* message) override;
    void Change() override;

private:
    // The text starts where the grid draws a cell's text, 2 pixels in from the cell's corner.
    void SetTextRect();

    TCustomGrid& grid_;
};

// A table of cells in a window of its own. Columns and rows have their own widths and heights; the fixed
// ones stay in place while the others scroll under the scroll bars. One cell is the current one: the
// arrow keys, Page Up and Down, Home and End (with Ctrl: the first and last cell), the wheel and the
// mouse move it, and the view follows it. The grid keeps the arrow keys (and Tab with goTabs) from the
// dialog keyboard. A paint draws only the cells in the area being painted, each through DrawCell.
//
// With goEditing, F2, Enter or a typed character open the editor over the current cell (made the first
// time it is needed); its text goes into the cell as it changes and once more when it closes. Enter
// closes it, Escape closes it and puts back the text the cell had when it opened, and a move of the
// current cell closes it. Scrolling carries it along with its cell.
class TCustomGrid : public TCustomControl {
public:
    explicit TCustomGrid(base::TComponent* owner);

    int ColCount() const { return cols_.Count(); }
    void SetColCount(int count);
    int RowCount() const { return rows_.Count(); }
    // Fewer rows drop the last ones; more rows come in blank.
    void SetRowCount(int count);
    // A new count of fixed columns or rows makes the first cell after them the current one.
    int FixedCols() const { return cols_.Fixed(); }
    void SetFixedCols(int count);
    int FixedRows() const { return rows_.Fixed(); }
    void SetFixedRows(int count);
    int DefaultColWidth() const { return cols_.DefaultExtent(); }
    // Every column takes the new default width.
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return rows_.DefaultExtent(); }
    void SetDefaultRowHeight(int height);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor color);
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int width);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle scrollBars);
    bool BorderSingle() const { return borderSingle_; }
    void SetBorderSingle(bool single);

    // The current cell. Moving it asks SelectCell and scrolls it into view.
    int Col() const { return current_.X; }
    void SetCol(int col);
    int Row() const { return current_.Y; }
    void SetRow(int row);
    // The current cell, or its whole row with goRowSelect. Setting it makes its top-left cell the
    // current one and scrolls it into view.
    TGridRect Selection() const;
    void SetSelection(const TGridRect& selection);
    int LeftCol() const { return cols_.First(); }
    void SetLeftCol(int col);
    int TopRow() const { return rows_.First(); }
    void SetTopRow(int row);
    // Columns and rows after the fixed ones that show whole.
    int VisibleColCount() const;
    int VisibleRowCount() const;

    // The cell's rectangle in client coordinates; empty when the cell is out of view.
    RECT CellRect(int col, int row) const;
    // The cell under a client point; {-1, -1} outside the cells.
    TGridCoord MouseCoord(int x, int y) const;

    void MoveColumn(int from, int to);
    void MoveRow(int from, int to);

    // Whether the editor is open: opening it is refused where CanEditShow says no.
    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool editorMode);
    // The editor, once it has been made.
    TInplaceEdit* InplaceEditor() const { return editor_; }

    void WndProc(TMessage& message) override;
    void Notification(base::TComponent* component, bool removing) override;

    // Whether the last row stands empty for the next entry rather than holding one: a reader is not
    // offered it as an item.
    void SetBlankLastRow(bool blank) { blankLastRow_ = blank; }

    // A list whose items are the rows after the fixed ones (but a blank last row); the current row is the
    // focused and selected item, and a reader's selection makes a row the current one. With the blank row
    // current, no item is: the list itself has the focus.
    long AccessibleRole(int child) const override {
        return child == CHILDID_SELF ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM;
    }
    long AccessibleState(int child) const override {
        return child == CHILDID_SELF ? 0 : STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    }
    int AccessibleChildCount() const override;
    RECT AccessibleBounds(int child) const override;
    int AccessibleFocus() const override;
    int AccessibleSelection() const override { return AccessibleFocus(); }
    bool SelectAccessible(int child, long flags) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    void Paint() override;
    void MouseDown(TMouseButton button, int x, int y) override;
    void MouseUp(TMouseButton button, int x, int y) override;
    bool MouseWheel(int delta, POINT screenPoint) override;
    LRESULT DialogCode(const MSG* message) override;

    // Draws a cell over the background the grid has filled in the cell's colour (left as the canvas
    // brush) with the canvas font in the cell's text colour.
    virtual void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) = 0;
    // Whether the cell may become the current one.
    virtual bool SelectCell(int col, int row) { return true; }
    // The cells are about to scroll: LeftCol or TopRow is changing.
    virtual void TopLeftMoving() {}
    virtual void ColumnMoved(int from, int to) {}
    virtual void RowMoved(int from, int to) {}
    // ColCount or RowCount changed.
    virtual void SizeChanged(int oldColCount, int oldRowCount) {}

    // The editor the grid edits its cells with; the grid owns it and makes it its child.
    virtual TInplaceEdit* CreateEditor();
    // Whether the editor may open on the current cell: goEditing without goRowSelect, on a window.
    virtual bool CanEditShow() const;
    // The text the editor starts with, and the editor's text stored into the cell.
    virtual std::string GetEditText(int col, int row) { return std::string(); }
    virtual void SetEditText(int col, int row, const std::string& text) {}

    // The enclosing rectangle of the block's cells that are in view.
    RECT BoxRect(const TGridRect& box) const;
    // Repaints the block's cells, or the whole grid, without erasing first: a paint covers every pixel.
    void InvalidateBox(const TGridRect& box);
    void InvalidateGrid();

private:
    friend class TInplaceEdit;

    struct PaintPass;
    void PaintRow(const PaintPass& pass, int row, int y);
    void PaintCell(const PaintPass& pass, int col, int row, int x, int y);
    void FillBackground(const RECT& rect);
    TGridDrawState StateOf(int col, int row, const TGridRect& selection, bool focused) const;
    // Whether a cell is drawn in the selection's colours: the current cell only where the options ask.
    bool Highlighted(TGridDrawState state) const;

    void MoveCurrent(int col, int row);
    void SelectionMoved(const TGridRect& old);
    void ScrollIntoView();
    // Shows the cells from (left, top) on, as far as there are cells to fill the client area, moving
    // what is on the screen.
    void MoveTopLeft(int left, int top);
    void ScrollArea(const RECT& area, int dx, int dy);
    void ClampTopLeft();
    bool KeyDown(WPARAM key);
    void ScrollBarMessage(int bar, WORD code);
    void UpdateScrollRange();
    void UpdateScrollPositions();
    void RequestScrollBarPaint();
    void SetAxisScrollInfo(int bar, const TGridAxis& axis, int clientExtent);
    void ExtentChanged(const TGridAxis& axis, int index);
    // Counts, fixed parts or lines changed: the current cell, the scroll bars and the view follow.
    void Relayout();
    // New fixed parts: the current cell and the view go back to the first cell after them.
    void StartAtFirstCell();
    void ApplyLineWidths();
    void CheckIndex(int index, int count) const;

    // F2, Enter and Escape: true when the editor used the key.
    bool EditorKey(WPARAM key);
    void ShowEditor();
    // Makes the editor on first use and gives it the current cell's text.
    void LoadEditor();
    // Stores the editor's text into its cell (while the cell exists) and closes the editor.
    void HideEditor();
    // Escape: the editor closes and its cell gets back the text it had when the editor opened.
    void RestoreCell();
    // Hides the editor; the grid gets the keys back.
    void CloseEditorWindow();
    // Lays the editor over its cell, or hides it while the cell is out of view.
    void PlaceEditor();
    // The editor's text changed.
    void EditorChanged();

    TGridAxis cols_;
    TGridAxis rows_;
    TGridCoord current_;
    TColor fixedColor_ = clBtnFace;
    TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine;
    int gridLineWidth_ = 1;
    TScrollStyle scrollBars_ = ssBoth;
    bool borderSingle_ = true;
    bool selecting_ = false;
    bool updatingScrollBars_ = false;
    bool scrollBarPaintPending_ = false;
    int wheelDelta_ = 0;
    TInplaceEdit* editor_ = nullptr;
    bool editorMode_ = false;
    bool blankLastRow_ = false;
    // The cell the editor is open on, and the text the cell had then.
    TGridCoord editing_{-1, -1};
    std::string editStartText_;
    // The editor is being given its cell's text, which is no edit.
    bool loadingEditor_ = false;
};

class TDrawGrid;

using TDrawCellEvent =
    std::function<void(TDrawGrid* sender, TCanvas& canvas, int col, int row, const RECT& rect, TGridDrawState state)>;
using TSelectCellEvent = std::function<void(int col, int row, bool& canSelect)>;

// A grid whose cells a handler paints.
class TDrawGrid : public TCustomGrid {
public:
    using TCustomGrid::TCustomGrid;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;

protected:
    const char* ClassName() const override { return "TDrawGrid"; }
    void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
    bool SelectCell(int col, int row) override;
};

// A grid of strings, one per cell, drawn two pixels in from the cell's top-left corner.
class TStringGrid : public TDrawGrid {
public:
    explicit TStringGrid(base::TComponent* owner);

    const std::string& Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& text);

    // A row is named by its first cell after the fixed columns; the cells after it are its value.
    std::optional<std::string> AccessibleName(int child) const override;
    std::optional<std::string> AccessibleValue(int child) const override;

protected:
    const char* ClassName() const override { return "TStringGrid"; }
    void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
    void SizeChanged(int oldColCount, int oldRowCount) override;
    void ColumnMoved(int from, int to) override;
    void RowMoved(int from, int to) override;
    std::string GetEditText(int col, int row) override { return Cells(col, row); }
    void SetEditText(int col, int row, const std::string& text) override { SetCells(col, row, text); }

private:
    // By row, then by column.
    std::vector<std::vector<std::string>> cells_;
};

}  // namespace ui
