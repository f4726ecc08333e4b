#include "ui/Grids.h"

#include <algorithm>
#include <cstdlib>

#include "base/SysUtils.h"
#include "ui/ControlsInternal.h"

namespace ui {

namespace {

// The grid lines: black between fixed cells, silver between the others.
constexpr TColor kFixedLineColor = clBlack;
constexpr TColor kInnerLineColor = clSilver;

const char kIndexOutOfRange[] = "Grid index out of range";

// Posted to itself: the scroll bars are drawn anew.
constexpr UINT kPaintScrollBars = WM_USER + 0x180;

}  // namespace

// ---- TCustomGrid

// What one paint needs at every cell.
struct TCustomGrid::PaintPass {
    HDC dc;
    RECT clip;
    TGridRect selection;
    bool focused;
    HBRUSH fixedLine;
    HBRUSH innerLine;
};

TCustomGrid::TCustomGrid(base::TComponent* owner)
    : TCustomControl(owner), cols_(5, 1, 64), rows_(5, 1, 24), current_{1, 1} {
    SetBounds(0, 0, 320, 120);
    SetColor(clWindow);
    SetTabStop(true);
    ApplyLineWidths();
}

void TCustomGrid::CheckIndex(int index, int count) const {
    if (index < 0 || index >= count) throw EInvalidGridOperation(kIndexOutOfRange);
}

void TCustomGrid::SetColCount(int count) {
    count = std::max(count, 1);
    if (count == ColCount()) return;
    const int oldColCount = ColCount();
    if (FixedCols() >= count) cols_.SetFixed(count - 1);
    cols_.SetCount(count);
    SizeChanged(oldColCount, RowCount());
    Relayout();
}

void TCustomGrid::SetRowCount(int count) {
    count = std::max(count, 1);
    if (count == RowCount()) return;
    const int oldRowCount = RowCount();
    if (FixedRows() >= count) rows_.SetFixed(count - 1);
    rows_.SetCount(count);
    SizeChanged(ColCount(), oldRowCount);
    Relayout();
}

void TCustomGrid::SetFixedCols(int count) {
    if (count < 0 || count >= ColCount())
        throw EInvalidGridOperation("Fixed column count must be less than column count");
    if (count == FixedCols()) return;
    cols_.SetFixed(count);
    StartAtFirstCell();
}

void TCustomGrid::SetFixedRows(int count) {
    if (count < 0 || count >= RowCount()) throw EInvalidGridOperation("Fixed row count must be less than row count");
    if (count == FixedRows()) return;
    rows_.SetFixed(count);
    StartAtFirstCell();
}

void TCustomGrid::SetDefaultColWidth(int width) {
    if (width == DefaultColWidth()) return;
    cols_.SetDefaultExtent(width);
    Relayout();
}

void TCustomGrid::SetDefaultRowHeight(int height) {
    if (height == DefaultRowHeight()) return;
    rows_.SetDefaultExtent(height);
    Relayout();
}

int TCustomGrid::ColWidths(int col) const {
    CheckIndex(col, ColCount());
    return cols_.Extent(col);
}

int TCustomGrid::RowHeights(int row) const {
    CheckIndex(row, RowCount());
    return rows_.Extent(row);
}

void TCustomGrid::SetColWidths(int col, int width) {
    CheckIndex(col, ColCount());
    if (width == cols_.Extent(col)) return;
    cols_.SetExtent(col, width);
    ExtentChanged(cols_, col);
}

void TCustomGrid::SetRowHeights(int row, int height) {
    CheckIndex(row, RowCount());
    if (height == rows_.Extent(row)) return;
    rows_.SetExtent(row, height);
    ExtentChanged(rows_, row);
}

void TCustomGrid::ExtentChanged(const TGridAxis& axis, int index) {
    // Sizes change while the grid paints (a cell may grow to fit its contents), so the scroll bars
    // follow every change, and everything from the entry on, which moved, paints again.
    UpdateScrollRange();
    ClampTopLeft();
    PlaceEditor();
    if (!HandleAllocated()) return;
    const RECT client = ClientRect();
    const bool columns = &axis == &cols_;
    const auto moved = axis.Covered(index, axis.Count() - 1, columns ? client.right : client.bottom);
    if (!moved) return;
    const RECT area = columns ? RECT{moved->first, 0, client.right, client.bottom}
                              : RECT{0, moved->first, client.right, client.bottom};
    InvalidateShown(Handle(), &area, false);
}

void TCustomGrid::SetFixedColor(TColor color) {
    if (color == fixedColor_) return;
    fixedColor_ = color;
    InvalidateGrid();
}

void TCustomGrid::SetOptions(TGridOptions options) {
    if (options == options_) return;
    options_ = options;
    if (!CanEditShow()) HideEditor();
    ApplyLineWidths();
    Relayout();
}

void TCustomGrid::SetGridLineWidth(int width) {
    if (width == gridLineWidth_) return;
    gridLineWidth_ = width;
    ApplyLineWidths();
    Relayout();
}

void TCustomGrid::ApplyLineWidths() {
    const auto width = [this](TGridOption line) { return (options_ & line) != 0 ? gridLineWidth_ : 0; };
    cols_.SetLineWidths(width(goFixedVertLine), width(goVertLine));
    rows_.SetLineWidths(width(goFixedHorzLine), width(goHorzLine));
}

void TCustomGrid::SetScrollBars(TScrollStyle scrollBars) {
    if (scrollBars == scrollBars_) return;
    scrollBars_ = scrollBars;
    RecreateWnd();
}

void TCustomGrid::SetBorderSingle(bool single) {
    if (single == borderSingle_) return;
    borderSingle_ = single;
    RecreateWnd();
}

void TCustomGrid::Relayout() {
    current_.X = std::max(FixedCols(), std::min(current_.X, ColCount() - 1));
    current_.Y = std::max(FixedRows(), std::min(current_.Y, RowCount() - 1));
    // The editor stays with its cell only while that is still the current one.
    if (editorMode_ && (editing_.X != current_.X || editing_.Y != current_.Y)) HideEditor();
    UpdateScrollRange();
    ClampTopLeft();
    InvalidateGrid();
    PlaceEditor();
}

void TCustomGrid::StartAtFirstCell() {
    current_ = TGridCoord{FixedCols(), FixedRows()};
    cols_.SetFirst(FixedCols());
    rows_.SetFirst(FixedRows());
    Relayout();
}

void TCustomGrid::InvalidateGrid() {
    if (HandleAllocated()) InvalidateShown(Handle(), nullptr, false);
}

// ---- Current cell and selection

void TCustomGrid::SetCol(int col) {
    CheckIndex(col, ColCount());
    MoveCurrent(col, current_.Y);
}

void TCustomGrid::SetRow(int row) {
    CheckIndex(row, RowCount());
    MoveCurrent(current_.X, row);
}

TGridRect TCustomGrid::Selection() const {
    if ((options_ & goRowSelect) != 0) return TGridRect{FixedCols(), current_.Y, ColCount() - 1, current_.Y};
    return TGridRect{current_.X, current_.Y, current_.X, current_.Y};
}

void TCustomGrid::SetSelection(const TGridRect& selection) {
    CheckIndex(selection.Left, ColCount());
    CheckIndex(selection.Top, RowCount());
    const TGridRect old = Selection();
    current_ = TGridCoord{std::max(FixedCols(), selection.Left), std::max(FixedRows(), selection.Top)};
    SelectionMoved(old);
}

void TCustomGrid::MoveCurrent(int col, int row) {
    col = std::max(FixedCols(), std::min(col, ColCount() - 1));
    row = std::max(FixedRows(), std::min(row, RowCount() - 1));
    if (col == current_.X && row == current_.Y) {
        ScrollIntoView();
        return;
    }
    if (!SelectCell(col, row)) return;
    const TGridRect old = Selection();
    current_ = TGridCoord{col, row};
    SelectionMoved(old);
}

void TCustomGrid::SelectionMoved(const TGridRect& old) {
    if (old.Top != current_.Y && HandleAllocated()) {
        if (GetFocus() == Handle()) NotifyAccessibleEvent(EVENT_OBJECT_FOCUS, Handle(), AccessibleFocus());
        NotifyAccessibleEvent(EVENT_OBJECT_SELECTION, Handle(), AccessibleSelection());
    }
    const bool reopen = editorMode_ && (options_ & goAlwaysShowEditor) != 0;
    HideEditor();
    // Both selections repaint where they are after the scroll, which has moved the old one's pixels.
    ScrollIntoView();
    InvalidateBox(old);
    InvalidateBox(Selection());
    if (reopen) ShowEditor();
}

void TCustomGrid::ScrollIntoView() {
    const RECT client = ClientRect();
    // A selected row shows whatever columns are in view.
    const int left = (options_ & goRowSelect) != 0 ? LeftCol() : cols_.FirstShowing(current_.X, client.right);
    MoveTopLeft(left, rows_.FirstShowing(current_.Y, client.bottom));
}

RECT TCustomGrid::BoxRect(const TGridRect& box) const {
    const RECT client = ClientRect();
    const auto across = cols_.Covered(box.Left, box.Right, client.right);
    const auto down = rows_.Covered(box.Top, box.Bottom, client.bottom);
    if (!across || !down) return RECT{};
    return RECT{across->first, down->first, across->second, down->second};
}

void TCustomGrid::InvalidateBox(const TGridRect& box) {
    if (!HandleAllocated()) return;
    const RECT area = BoxRect(box);
    if (!IsRectEmpty(&area)) InvalidateShown(Handle(), &area, false);
}

RECT TCustomGrid::CellRect(int col, int row) const {
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return RECT{};
    return BoxRect(TGridRect{col, row, col, row});
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const {
    const RECT client = ClientRect();
    const int col = cols_.IndexAt(x);
    const int row = rows_.IndexAt(y);
    if (col < 0 || row < 0 || !PtInRect(&client, POINT{x, y})) return TGridCoord{-1, -1};
    return TGridCoord{col, row};
}

void TCustomGrid::MoveColumn(int from, int to) {
    CheckIndex(from, ColCount());
    CheckIndex(to, ColCount());
    if (from == to) return;
    cols_.Move(from, to);
    ColumnMoved(from, to);
    current_.X = MovedIndex(current_.X, from, to);
    if (editorMode_) editing_.X = MovedIndex(editing_.X, from, to);
    Relayout();
}

void TCustomGrid::MoveRow(int from, int to) {
    CheckIndex(from, RowCount());
    CheckIndex(to, RowCount());
    if (from == to) return;
    rows_.Move(from, to);
    RowMoved(from, to);
    current_.Y = MovedIndex(current_.Y, from, to);
    if (editorMode_) editing_.Y = MovedIndex(editing_.Y, from, to);
    Relayout();
}

// ---- Scrolling

void TCustomGrid::SetLeftCol(int col) {
    MoveTopLeft(col, TopRow());
}

void TCustomGrid::SetTopRow(int row) {
    MoveTopLeft(LeftCol(), row);
}

int TCustomGrid::VisibleColCount() const {
    return cols_.FullyShownCount(ClientRect().right);
}

int TCustomGrid::VisibleRowCount() const {
    return rows_.FullyShownCount(ClientRect().bottom);
}

void TCustomGrid::MoveTopLeft(int left, int top) {
    const RECT client = ClientRect();
    left = std::max(FixedCols(), std::min(left, cols_.MaxFirst(client.right)));
    top = std::max(FixedRows(), std::min(top, rows_.MaxFirst(client.bottom)));
    const int oldLeft = LeftCol();
    const int oldTop = TopRow();
    if (left == oldLeft && top == oldTop) return;
    TopLeftMoving();
    cols_.SetFirst(left);
    rows_.SetFirst(top);
    if (!HandleAllocated()) return;
    const int dx = cols_.PixelsBetween(left, oldLeft);
    const int dy = rows_.PixelsBetween(top, oldTop);
    if (dx != 0 && dy != 0) {
        InvalidateGrid();
    } else if (dy != 0) {
        ScrollArea(RECT{0, rows_.FixedSpan(), client.right, client.bottom}, 0, dy);
    } else {
        ScrollArea(RECT{cols_.FixedSpan(), 0, client.right, client.bottom}, dx, 0);
        // The focus frame of a selected row spans the columns in view: its ends moved with the cells.
        if ((options_ & goRowSelect) != 0) InvalidateBox(Selection());
    }
    UpdateScrollPositions();
    PlaceEditor();
}

void TCustomGrid::ScrollArea(const RECT& area, int dx, int dy) {
    if (std::abs(dx) >= area.right - area.left || std::abs(dy) >= area.bottom - area.top) {
        InvalidateShown(Handle(), &area, false);
        return;
    }
    // The pixels that stay in view move; only the strip that comes into view is painted. A part of the
    // area waiting to be painted moves along with them.
    ScrollWindowEx(Handle(), dx, dy, &area, &area, nullptr, nullptr, SW_INVALIDATE);
}

void TCustomGrid::ClampTopLeft() {
    MoveTopLeft(LeftCol(), TopRow());
}

void TCustomGrid::UpdateScrollRange() {
    if (!HandleAllocated() || updatingScrollBars_) return;
    updatingScrollBars_ = true;
    // A bar that comes or goes changes the client area, and with it the other bar's range.
    for (int pass = 0; pass < 3; ++pass) {
        const RECT before = ClientRect();
        if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) SetAxisScrollInfo(SB_VERT, rows_, ClientRect().bottom);
        if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) SetAxisScrollInfo(SB_HORZ, cols_, ClientRect().right);
        const RECT after = ClientRect();
        if (EqualRect(&before, &after)) break;
    }
    updatingScrollBars_ = false;
}

void TCustomGrid::SetAxisScrollInfo(int bar, const TGridAxis& axis, int clientExtent) {
    // One scroll unit per entry after the fixed ones; the page is what makes the last position the
    // last First. A grid that shows everything has no bar.
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    const int maxFirst = axis.MaxFirst(clientExtent);
    if (maxFirst > axis.Fixed()) {
        const int scrollable = axis.Count() - axis.Fixed();
        info.nMax = scrollable - 1;
        info.nPage = static_cast<UINT>(scrollable - (maxFirst - axis.Fixed()));
        info.nPos = axis.First() - axis.Fixed();
    }
    SetScrollInfo(Handle(), bar, &info, FALSE);
    RequestScrollBarPaint();
}

void TCustomGrid::UpdateScrollPositions() {
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
        info.nPos = TopRow() - FixedRows();
        SetScrollInfo(Handle(), SB_VERT, &info, FALSE);
    }
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) {
        info.nPos = LeftCol() - FixedCols();
        SetScrollInfo(Handle(), SB_HORZ, &info, FALSE);
    }
    RequestScrollBarPaint();
}

void TCustomGrid::RequestScrollBarPaint() {
    // Drawing a scroll bar costs more than painting the cells (about 2 ms under Wine), and a list filled
    // row by row changes its range with every row: the bars are drawn once, when the queue gets to it.
    if (scrollBarPaintPending_ || !IsWindowVisible(Handle())) return;
    scrollBarPaintPending_ = true;
    PostMessageA(Handle(), kPaintScrollBars, 0, 0);
}

void TCustomGrid::ScrollBarMessage(int bar, WORD code) {
    const bool vertical = bar == SB_VERT;
    const TGridAxis& axis = vertical ? rows_ : cols_;
    const RECT client = ClientRect();
    const int page = std::max(1, axis.FullyShownCount(vertical ? client.bottom : client.right));
    int first = axis.First();
    switch (code) {
        case SB_LINEUP:
            --first;
            break;
        case SB_LINEDOWN:
            ++first;
            break;
        case SB_PAGEUP:
            first -= page;
            break;
        case SB_PAGEDOWN:
            first += page;
            break;
        case SB_TOP:
            first = axis.Fixed();
            break;
        case SB_BOTTOM:
            first = axis.Count();
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            if (code == SB_THUMBTRACK && (options_ & goThumbTracking) == 0) return;
            SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
            GetScrollInfo(Handle(), bar, &info);
            first = axis.Fixed() + info.nTrackPos;
            break;
        }
        default:
            return;
    }
    if (vertical)
        MoveTopLeft(LeftCol(), first);
    else
        MoveTopLeft(first, TopRow());
}

bool TCustomGrid::MouseWheel(int delta, POINT screenPoint) {
    wheelDelta_ += delta;
    const int steps = wheelDelta_ / WHEEL_DELTA;
    wheelDelta_ -= steps * WHEEL_DELTA;
    // The wheel moves the current row, as the arrow keys do, so that the row in view is the one the
    // grid's owner acts on.
    if (steps != 0) MoveCurrent(current_.X, current_.Y - steps);
    return true;
}

LRESULT TCustomGrid::DialogCode(const MSG* message) {
    // The arrows (and Tab, when it moves between cells) are the grid's, not the dialog's.
    LRESULT code = DLGC_WANTARROWS | ((options_ & goTabs) != 0 ? DLGC_WANTTAB : 0);
    if ((options_ & goEditing) == 0) return code;
    // Characters open the editor; so does Enter, which also closes it, as Escape does.
    code |= DLGC_WANTCHARS;
    if (message != nullptr && message->message == WM_KEYDOWN &&
        (message->wParam == VK_RETURN || (message->wParam == VK_ESCAPE && editorMode_)))
        code |= DLGC_WANTALLKEYS;
    return code;
}

// ---- Keyboard and mouse

bool TCustomGrid::KeyDown(WPARAM key) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool rowSelect = (options_ & goRowSelect) != 0;
    TGridCoord target = current_;
    switch (key) {
        case VK_UP:
            --target.Y;
            break;
        case VK_DOWN:
            ++target.Y;
            break;
        case VK_LEFT:
        case VK_RIGHT: {
            const int step = key == VK_LEFT ? -1 : 1;
            if (rowSelect) {
                // A selected row has no cell to move to: the columns scroll instead.
                MoveTopLeft(LeftCol() + step, TopRow());
                return true;
            }
            target.X += step;
            break;
        }
        case VK_PRIOR:
        case VK_NEXT: {
            const int page = std::max(1, VisibleRowCount()) * (key == VK_PRIOR ? -1 : 1);
            // The page turns under the current row, which keeps its place on the screen where it can.
            MoveTopLeft(LeftCol(), TopRow() + page);
            target.Y += page;
            break;
        }
        case VK_HOME:
            target.X = FixedCols();
            if (ctrl || rowSelect) target.Y = FixedRows();
            break;
        case VK_END:
            target.X = ColCount() - 1;
            if (ctrl || rowSelect) target.Y = RowCount() - 1;
            break;
        case VK_TAB: {
            if ((options_ & goTabs) == 0) return false;
            // Row by row, round from the last cell to the first and back.
            if (GetKeyState(VK_SHIFT) < 0) {
                if (--target.X < FixedCols()) {
                    target.X = ColCount() - 1;
                    target.Y = target.Y > FixedRows() ? target.Y - 1 : RowCount() - 1;
                }
            } else if (++target.X >= ColCount()) {
                target.X = FixedCols();
                target.Y = target.Y < RowCount() - 1 ? target.Y + 1 : FixedRows();
            }
            break;
        }
        default:
            return false;
    }
    MoveCurrent(target.X, target.Y);
    return true;
}

void TCustomGrid::MouseDown(TMouseButton button, int x, int y) {
    if (button == mbLeft) {
        if (CanFocus() && !Focused()) SetFocus();
        const TGridCoord cell = MouseCoord(x, y);
        if (cell.X >= FixedCols() && cell.Y >= FixedRows()) {
            MoveCurrent(cell.X, cell.Y);
            // Dragging with the button held carries the current cell along.
            selecting_ = true;
            SetCapture(Handle());
        }
    }
    TCustomControl::MouseDown(button, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, int x, int y) {
    if (button == mbLeft && selecting_) {
        selecting_ = false;
        if (GetCapture() == Handle()) ReleaseCapture();
    }
    TCustomControl::MouseUp(button, x, y);
}

void TCustomGrid::WndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_KEYDOWN:
            if (EditorKey(message.WParam) || KeyDown(message.WParam)) {
                message.Result = 0;
                return;
            }
            break;
        case WM_CHAR:
            // Typing opens the editor, which takes the character in place of the text it starts with.
            if ((options_ & goEditing) != 0 && (message.WParam == VK_BACK || message.WParam >= ' ')) {
                ShowEditor();
                if (editorMode_ && editor_->Visible())
                    SendMessageA(editor_->Handle(), WM_CHAR, message.WParam, message.LParam);
                message.Result = 0;
                return;
            }
            break;
        case WM_VSCROLL:
        case WM_HSCROLL:
            ScrollBarMessage(message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(message.WParam));
            message.Result = 0;
            return;
        case WM_LBUTTONDBLCLK:
            // A quick second click selects like the first.
            message.Msg = WM_LBUTTONDOWN;
            break;
        case WM_MOUSEMOVE:
            if (selecting_) {
                const POINT point = PointOf(message.LParam);
                const TGridCoord cell = MouseCoord(point.x, point.y);
                if (cell.X >= FixedCols() && cell.Y >= FixedRows()) MoveCurrent(cell.X, cell.Y);
            }
            break;
        case WM_CAPTURECHANGED:
            selecting_ = false;
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            const base::TWatch watch = Watch();
            TCustomControl::WndProc(message);
            if (!watch) return;
            // The focus frame and the current cell's colours follow the focus.
            InvalidateBox(Selection());
            // Coming back to a grid with its editor open is coming back to the editor.
            if (message.Msg == WM_SETFOCUS && editorMode_ && editor_->Visible()) {
                editor_->SetFocus();
            } else if (message.Msg == WM_SETFOCUS) {
                // A reader follows the focus on to the current row.
                NotifyAccessibleEvent(EVENT_OBJECT_FOCUS, Handle(), AccessibleFocus());
            }
            return;
        }
        case kPaintScrollBars:
            scrollBarPaintPending_ = false;
            SendMessageA(Handle(), WM_NCPAINT, 1, 0);
            return;
        case WM_SIZE:
            TCustomControl::WndProc(message);
            UpdateScrollRange();
            ClampTopLeft();
            InvalidateGrid();
            PlaceEditor();
            return;
        default:
            break;
    }
    TCustomControl::WndProc(message);
}

void TCustomGrid::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
    if (borderSingle_) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomGrid::CreateHandleDone() {
    TCustomControl::CreateHandleDone();
    // A request posted to a window that is gone went with it.
    scrollBarPaintPending_ = false;
    // The window's client area, scroll bars taken off, is what the view has to fill.
    UpdateScrollRange();
    ClampTopLeft();
}

// ---- Editing

void TCustomGrid::SetEditorMode(bool editorMode) {
    if (editorMode)
        ShowEditor();
    else
        HideEditor();
}

TInplaceEdit* TCustomGrid::CreateEditor() {
    return new TInplaceEdit(this);
}

bool TCustomGrid::CanEditShow() const {
    return (options_ & (goEditing | goRowSelect)) == goEditing && HandleAllocated();
}

bool TCustomGrid::EditorKey(WPARAM key) {
    if ((options_ & goEditing) == 0) return false;
    switch (key) {
        case VK_F2:
            ShowEditor();
            return true;
        case VK_RETURN:
            if (editorMode_ && (options_ & goAlwaysShowEditor) == 0)
                HideEditor();
            else
                ShowEditor();
            return true;
        case VK_ESCAPE:
            if (!editorMode_) return false;
            RestoreCell();
            return true;
        default:
            return false;
    }
}

void TCustomGrid::ShowEditor() {
    if (!editorMode_) {
        if (!CanEditShow()) return;
        LoadEditor();
    }
    PlaceEditor();
    if (Focused() && editor_->Visible()) editor_->SetFocus();
}

void TCustomGrid::LoadEditor() {
    if (editor_ == nullptr) {
        editor_ = CreateEditor();
        editor_->SetParent(this);
    }
    editing_ = current_;
    {
        const base::RaisedFlag loading(loadingEditor_);
        editStartText_ = GetEditText(editing_.X, editing_.Y);
        editor_->SetText(editStartText_);
    }
    editor_->SelectAll();
    editorMode_ = true;
}

void TCustomGrid::HideEditor() {
    if (!editorMode_) return;
    editorMode_ = false;
    if (editing_.X < ColCount() && editing_.Y < RowCount()) SetEditText(editing_.X, editing_.Y, editor_->Text());
    CloseEditorWindow();
}

void TCustomGrid::RestoreCell() {
    editorMode_ = false;
    CloseEditorWindow();
    SetEditText(editing_.X, editing_.Y, editStartText_);
}

void TCustomGrid::CloseEditorWindow() {
    // Hidden first, so that the grid taking the keys back does not hand them on to it; a hidden window
    // may keep the focus it had, so the grid takes it explicitly.
    const bool focused = editor_->Focused();
    editor_->SetVisible(false);
    if (focused) SetFocus();
}

void TCustomGrid::PlaceEditor() {
    if (!editorMode_) return;
    const RECT cell = CellRect(editing_.X, editing_.Y);
    if (IsRectEmpty(&cell)) {
        CloseEditorWindow();
        return;
    }
    editor_->SetBounds(cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top);
    editor_->SetVisible(true);
}

void TCustomGrid::EditorChanged() {
    if (editorMode_ && !loadingEditor_) SetEditText(editing_.X, editing_.Y, editor_->Text());
}

void TCustomGrid::Notification(base::TComponent* component, bool removing) {
    TCustomControl::Notification(component, removing);
    if (removing && component == editor_) {
        editor_ = nullptr;
        editorMode_ = false;
    }
}

// ---- TInplaceEdit

TInplaceEdit::TInplaceEdit(TCustomGrid* grid) : TCustomEdit(grid), grid_(*grid) {
    SetParentColor(true);
    SetVisible(false);
    SetTabStop(false);
    SetAutoSize(false);
    SetBorderStyle(bsNone);
}

void TInplaceEdit::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    params.Style |= ES_MULTILINE;
}

void TInplaceEdit::CreateHandleDone() {
    TCustomEdit::CreateHandleDone();
    SetTextRect();
}

void TInplaceEdit::FontChanged() {
    TCustomEdit::FontChanged();
    // A new font gives the native field its font's margins and the whole client area again.
    if (HandleAllocated()) SetTextRect();
}

void TInplaceEdit::SetTextRect() {
    SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    const RECT client = ClientRect();
    RECT text{2, 2, std::max<LONG>(2, client.right - 2), std::max<LONG>(2, client.bottom)};
    SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&text));
}

LRESULT TInplaceEdit::DialogCode(const MSG* message) {
    // The native field is never shown the message: told of one, a multi-line field takes itself to be in
    // a dialog and sends Tab, Enter and Escape to its parent, the grid, as dialog commands.
    LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    if ((grid_.Options() & goTabs) != 0) code |= DLGC_WANTTAB;
    if (message != nullptr && message->message == WM_KEYDOWN &&
        (message->wParam == VK_RETURN || message->wParam == VK_ESCAPE) && grid_.EditorMode())
        code |= DLGC_WANTALLKEYS;
    return code;
}

void TInplaceEdit::Change() {
    const base::TWatch watch = Watch();
    TCustomEdit::Change();
    if (watch) grid_.EditorChanged();
}

void TInplaceEdit::WndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_KEYDOWN:
            switch (message.WParam) {
                case VK_UP:
                case VK_DOWN:
                case VK_PRIOR:
                case VK_NEXT:
                case VK_RETURN:
                case VK_ESCAPE:
                case VK_TAB:
                    message.Result = SendMessageA(grid_.Handle(), WM_KEYDOWN, message.WParam, message.LParam);
                    return;
                default:
                    break;
            }
            break;
        case WM_CHAR:
            // The characters of the grid's keys: a multi-line field would take Enter and Tab as text.
            if (message.WParam == '\r' || message.WParam == '\t' || message.WParam == VK_ESCAPE) {
                message.Result = 0;
                return;
            }
            break;
        case WM_SIZE:
            TCustomEdit::WndProc(message);
            SetTextRect();
            return;
        default:
            break;
    }
    TCustomEdit::WndProc(message);
}

// ---- Painting

void TCustomGrid::Paint() {
    HDC dc = Canvas().Handle();
    RECT clip{};
    GetClipBox(dc, &clip);
    const RECT client = ClientRect();
    IntersectRect(&clip, &clip, &client);
    if (IsRectEmpty(&clip)) return;
    BrushHandle fixedLine(CreateSolidBrush(ColorToRGB(kFixedLineColor)));
    BrushHandle innerLine(CreateSolidBrush(ColorToRGB(kInnerLineColor)));
    const PaintPass pass{dc, clip, Selection(), Focused(), fixedLine.Get(), innerLine.Get()};
    // Only the rows and cells that reach into the area being painted are drawn.
    int y = 0;
    for (int row = rows_.FirstShown(); row < RowCount() && y < clip.bottom; row = rows_.NextShown(row)) {
        if (y + rows_.Span(row) > clip.top) PaintRow(pass, row, y);
        y += rows_.Span(row);
    }
    if (y < clip.bottom) FillBackground(RECT{clip.left, y, clip.right, clip.bottom});
    if (pass.focused) {
        const RECT focus = BoxRect(pass.selection);
        SavedDC saved(dc);
        // The frame inverts its dotted pattern: its colours come from the DC's text and background.
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        if (!IsRectEmpty(&focus)) DrawFocusRect(dc, &focus);
    }
}

void TCustomGrid::PaintRow(const PaintPass& pass, int row, int y) {
    int x = 0;
    for (int col = cols_.FirstShown(); col < ColCount() && x < pass.clip.right; col = cols_.NextShown(col)) {
        if (x + cols_.Span(col) > pass.clip.left) PaintCell(pass, col, row, x, y);
        x += cols_.Span(col);
    }
    if (x < pass.clip.right) FillBackground(RECT{x, y, pass.clip.right, y + rows_.Span(row)});
}

void TCustomGrid::FillBackground(const RECT& rect) {
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(rect);
}

TGridDrawState TCustomGrid::StateOf(int col, int row, const TGridRect& selection, bool focused) const {
    if (col < FixedCols() || row < FixedRows()) return gdFixed;
    TGridDrawState state = 0;
    if (col >= selection.Left && col <= selection.Right && row >= selection.Top && row <= selection.Bottom)
        state |= gdSelected;
    if (focused && col == current_.X && row == current_.Y) state |= gdFocused;
    return state;
}

bool TCustomGrid::Highlighted(TGridDrawState state) const {
    return (state & gdSelected) != 0 &&
           ((state & gdFocused) == 0 || (options_ & (goDrawFocusSelected | goRowSelect)) != 0);
}

void TCustomGrid::PaintCell(const PaintPass& pass, int col, int row, int x, int y) {
    const RECT cell{x, y, x + cols_.Extent(col), y + rows_.Extent(row)};
    const TGridDrawState state = StateOf(col, row, pass.selection, pass.focused);
    TCanvas& canvas = Canvas();
    canvas.Font().Assign(Font());
    if ((state & gdFixed) != 0) {
        canvas.Brush().SetColor(fixedColor_);
    } else if (Highlighted(state)) {
        canvas.Brush().SetColor(clHighlight);
        canvas.Font().SetColor(clHighlightText);
    } else {
        canvas.Brush().SetColor(Color());
    }
    canvas.FillRect(cell);
    DrawCell(col, row, cell, state);
    // The lines after the cell: down its right side and along its bottom, meeting in the corner.
    const int vertical = cols_.LineWidth(col);
    const int horizontal = rows_.LineWidth(row);
    HBRUSH line = (state & gdFixed) != 0 ? pass.fixedLine : pass.innerLine;
    if (vertical > 0) {
        const RECT gap{cell.right, cell.top, cell.right + vertical, cell.bottom + horizontal};
        ::FillRect(pass.dc, &gap, line);
    }
    if (horizontal > 0) {
        const RECT gap{cell.left, cell.bottom, cell.right, cell.bottom + horizontal};
        ::FillRect(pass.dc, &gap, line);
    }
}

// ---- TDrawGrid

void TDrawGrid::DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {
    if (OnDrawCell) OnDrawCell(this, Canvas(), col, row, rect, state);
}

bool TDrawGrid::SelectCell(int col, int row) {
    bool canSelect = true;
    if (OnSelectCell) OnSelectCell(col, row, canSelect);
    return canSelect;
}

// ---- TStringGrid

TStringGrid::TStringGrid(base::TComponent* owner) : TDrawGrid(owner) {
    cells_.assign(static_cast<size_t>(RowCount()), std::vector<std::string>(static_cast<size_t>(ColCount())));
}

int TCustomGrid::AccessibleChildCount() const {
    return std::max(0, RowCount() - FixedRows() - (blankLastRow_ ? 1 : 0));
}

int TCustomGrid::AccessibleFocus() const {
    const int item = Row() - FixedRows() + 1;
    return item <= AccessibleChildCount() ? item : 0;
}

RECT TCustomGrid::AccessibleBounds(int child) const {
    const int row = FixedRows() + child - 1;
    return BoxRect(TGridRect{0, row, ColCount() - 1, row});
}

bool TCustomGrid::SelectAccessible(int child, long flags) {
    if ((flags & (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION)) == 0) return false;
    SetRow(FixedRows() + child - 1);
    if ((flags & SELFLAG_TAKEFOCUS) != 0 && CanFocus()) SetFocus();
    return true;
}

std::optional<std::string> TStringGrid::AccessibleName(int child) const {
    if (child == CHILDID_SELF) return TDrawGrid::AccessibleName(child);
    return FixedCols() < ColCount() ? Cells(FixedCols(), FixedRows() + child - 1) : std::string();
}

std::optional<std::string> TStringGrid::AccessibleValue(int child) const {
    if (child == CHILDID_SELF) return std::nullopt;
    std::string value;
    for (int col = FixedCols() + 1; col < ColCount(); ++col) {
        if (!value.empty()) value += ", ";
        value += Cells(col, FixedRows() + child - 1);
    }
    return value;
}

const std::string& TStringGrid::Cells(int col, int row) const {
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) throw EInvalidGridOperation(kIndexOutOfRange);
    return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TStringGrid::SetCells(int col, int row, const std::string& text) {
    if (Cells(col, row) == text) return;
    cells_[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
    InvalidateBox(TGridRect{col, row, col, row});
}

void TStringGrid::DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {
    const std::string& text = Cells(col, row);
    const std::wstring wide = base::WideText(text);
    ExtTextOutW(Canvas().Handle(), rect.left + 2, rect.top + 2, ETO_CLIPPED, &rect, wide.c_str(),
                static_cast<UINT>(wide.size()), nullptr);
    TDrawGrid::DrawCell(col, row, rect, state);
}

void TStringGrid::SizeChanged(int oldColCount, int oldRowCount) {
    cells_.resize(static_cast<size_t>(RowCount()));
    for (auto& row : cells_) row.resize(static_cast<size_t>(ColCount()));
}

void TStringGrid::ColumnMoved(int from, int to) {
    for (auto& row : cells_) MoveItem(row, from, to);
}

void TStringGrid::RowMoved(int from, int to) {
    MoveItem(cells_, from, to);
}

}  // namespace ui
