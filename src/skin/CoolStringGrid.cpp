#include "skin/CoolStringGrid.h"

#include <algorithm>

#include "skin/CoolUtils.h"
#include "skin/SkinSurface.h"

namespace skin {

namespace {

// Posted to itself when the editor stored a text into a cell that differs from what the cell had when
// its editing began. It carries nothing: the cells are the grid's own record, so the same number from
// another program tells of no edit.
constexpr UINT kCellEdited = WM_USER + 0x194;

UINT BevelEdges(TBevelCut inner, TBevelCut outer) {
    UINT edges = 0;
    if (inner == ui::bvLowered) edges |= BDR_SUNKENINNER;
    if (inner == ui::bvRaised) edges |= BDR_RAISEDINNER;
    if (outer == ui::bvLowered) edges |= BDR_SUNKENOUTER;
    if (outer == ui::bvRaised) edges |= BDR_RAISEDOUTER;
    return edges;
}

}  // namespace

// ---- TCoolInplaceEdit

TCoolInplaceEdit::TCoolInplaceEdit(TCoolStringGrid* grid)
    : ui::TInplaceEdit(grid), TEditSkin(static_cast<ui::TCustomEdit&>(*this), TEditSkinKind::CellEditor) {
    // Its flat border follows the mouse.
    SetHoverEvents(true);
}

void TCoolInplaceEdit::CreateParams(ui::TCreateParams& params) {
    ui::TInplaceEdit::CreateParams(params);
    params.Style |= AlignmentStyle();
}

void TCoolInplaceEdit::WndProc(ui::TMessage& message) {
    SkinMessage(message, [this](ui::TMessage& inner) { ui::TInplaceEdit::WndProc(inner); });
}

void TCoolInplaceEdit::Notification(base::TComponent* component, bool removing) {
    ui::TInplaceEdit::Notification(component, removing);
    SkinNotification(component, removing);
}

void TCoolInplaceEdit::Change() {
    Overpaint();
    ui::TInplaceEdit::Change();
}

// ---- TCoolStringGrid

TCoolStringGrid::TCoolStringGrid(base::TComponent* owner) : ui::TStringGrid(owner) {
    SetHoverEvents(true);
    gridPicture_.OnSetChanged = [this] { ImagesChanged(); };
    gridPicture_.OnWallpaperChanged = [this] { PictureChanged(); };
    selPicture_.OnWallpaperChanged = [this] { PictureChanged(); };
    captionPicture_.OnWallpaperChanged = [this] {
        PictureChanged();
        RedrawFrame();
    };
}

TCoolStringGrid::~TCoolStringGrid() {
    gridPicture_.OnSetChanged = nullptr;
    gridPicture_.OnWallpaperChanged = nullptr;
    selPicture_.OnWallpaperChanged = nullptr;
    captionPicture_.OnWallpaperChanged = nullptr;
}

// ---- Properties

void TCoolStringGrid::SetMargin(int& margin, int value) {
    if (ChangeValue(margin, value)) InvalidateGrid();
}

void TCoolStringGrid::SetCellMarginLeft(int margin) {
    SetMargin(marginLeft_, margin);
}

void TCoolStringGrid::SetCellMarginTop(int margin) {
    SetMargin(marginTop_, margin);
}

void TCoolStringGrid::SetCellMarginRight(int margin) {
    SetMargin(marginRight_, margin);
}

void TCoolStringGrid::SetCellMarginBottom(int margin) {
    SetMargin(marginBottom_, margin);
}

void TCoolStringGrid::SetCoolImages(TCoolImages* images) {
    gridPicture_.SetCoolImages(images);
    selPicture_.SetCoolImages(images);
    captionPicture_.SetCoolImages(images);
    ImagesChanged();
}

void TCoolStringGrid::ImagesChanged() {
    InvalidateGrid();
    RedrawFrame();
}

void TCoolStringGrid::Notification(base::TComponent* component, bool removing) {
    ui::TStringGrid::Notification(component, removing);
    selPicture_.Notification(component, removing);
    captionPicture_.Notification(component, removing);
    if (gridPicture_.Notification(component, removing)) ImagesChanged();
}

void TCoolStringGrid::SetIdWallpaper(int id) {
    if (gridPicture_.SetIdWallpaper(id)) InvalidateGrid();
}

void TCoolStringGrid::SetIdSelWallpaper(int id) {
    if (selPicture_.SetIdWallpaper(id)) InvalidateGrid();
}

void TCoolStringGrid::SetWallpaper(const ui::TBitmap& bitmap) {
    Wallpaper().Assign(bitmap);
}

void TCoolStringGrid::SetSelWallpaper(const ui::TBitmap& bitmap) {
    SelWallpaper().Assign(bitmap);
}

void TCoolStringGrid::SetCaptionColor(ui::TColor color) {
    if (ChangeValue(captionColor_, color)) RedrawFrame();
}

void TCoolStringGrid::SetCaptionTextColor(ui::TColor color) {
    if (ChangeValue(captionTextColor_, color)) RedrawFrame();
}

void TCoolStringGrid::SetIdCaptionWallpaper(int id) {
    if (captionPicture_.SetIdWallpaper(id)) RedrawFrame();
}

void TCoolStringGrid::SetCaptionWallpaper(const ui::TBitmap& bitmap) {
    CaptionWallpaper().Assign(bitmap);
}

void TCoolStringGrid::PictureChanged() {
    if (Destroying()) return;
    InvalidateGrid();
    ui::Notify(this, ui::CM_COLORCHANGED);
}

void TCoolStringGrid::SetExOptions(TCoolOptions options) {
    if (options.Contains(ocPaintTransparently) && exOptions_.Contains(ocPaintWallpaper))
        options.Exclude(ocPaintWallpaper);
    else if (options.Contains(ocPaintWallpaper) && exOptions_.Contains(ocPaintTransparently))
        options.Exclude(ocPaintTransparently);
    if (ChangeValue(exOptions_, options)) RecreateWnd();
}

void TCoolStringGrid::SetTextAlign(ui::TAlignment alignment) {
    if (ChangeValue(textAlign_, alignment)) InvalidateGrid();
}

void TCoolStringGrid::SetFixedTextAlign(ui::TAlignment alignment) {
    if (ChangeValue(fixedTextAlign_, alignment)) InvalidateGrid();
}

void TCoolStringGrid::SetInnerCellsBevel(TBevelCut bevel) {
    if (ChangeValue(innerCellsBevel_, bevel)) InvalidateGrid();
}

void TCoolStringGrid::SetOuterCellsBevel(TBevelCut bevel) {
    if (ChangeValue(outerCellsBevel_, bevel)) InvalidateGrid();
}

void TCoolStringGrid::SetSelColor(ui::TColor color) {
    if (ChangeValue(selColor_, color)) InvalidateGrid();
}

void TCoolStringGrid::SetTransparencyLevel(uint8_t level) {
    if (ChangeValue(transparencyLevel_, level)) InvalidateGrid();
}

// ---- Window

void TCoolStringGrid::CreateParams(ui::TCreateParams& params) {
    ui::TStringGrid::CreateParams(params);
    if (!exOptions_.Contains(ocNoCaption)) {
        params.Style |= WS_CAPTION;
        if (exOptions_.Contains(ocSmallCaption)) params.ExStyle |= WS_EX_TOOLWINDOW;
    }
}

void TCoolStringGrid::RedrawFrame() {
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TCoolStringGrid::DrawFlatBorderIfAsked(bool hot) {
    if (exOptions_.Contains(ocFlatBorder) && HandleAllocated())
        DrawFlatBorder(nullptr, this, hot, TFlatBorderKind::Grid);
}

void TCoolStringGrid::WndProc(ui::TMessage& message) {
    switch (message.Msg) {
        case WM_PAINT:
            ui::TStringGrid::WndProc(message);
            DrawFlatBorderIfAsked(Focused());
            if (OnPaint) OnPaint();
            return;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ui::TStringGrid::WndProc(message);
            DrawFlatBorderIfAsked(message.Msg == WM_SETFOCUS);
            return;
        case WM_MOVE:
            ui::TStringGrid::WndProc(message);
            InvalidateGrid();
            return;
        case ui::CM_PARENTCOLORCHANGED:
            ui::TStringGrid::WndProc(message);
            if (exOptions_.Contains(ocPaintTransparently)) InvalidateGrid();
            return;
        case WM_NCPAINT:
            if (PaintsOwnCaption())
                PaintCaptionBar(message);
            else
                ui::TStringGrid::WndProc(message);
            return;
        case WM_NCHITTEST:
            ui::TStringGrid::WndProc(message);
            if (message.Result == HTCAPTION && exOptions_.Contains(ocNoDragUsingCaption)) message.Result = HTNOWHERE;
            return;
        case WM_NCLBUTTONDBLCLK:
            // The grid is no window of its own to maximize or restore with a double click on its caption.
            if (message.WParam == HTCAPTION) {
                message.Result = 0;
                return;
            }
            ui::TStringGrid::WndProc(message);
            return;
        case WM_SETTEXT:
            ui::TStringGrid::WndProc(message);
            RedrawFrame();
            return;
        case kCellEdited:
            message.Result = 0;
            TellEditedCells();
            return;
        default:
            ui::TStringGrid::WndProc(message);
    }
}

bool TCoolStringGrid::PaintsOwnCaption() const {
    return !exOptions_.Contains(ocNoCaption) &&
           (captionColor_ != ui::clInactiveCaption || captionTextColor_ != ui::clInactiveCaptionText ||
            exOptions_.Contains(ocPaintCaptionWallpaper));
}

void TCoolStringGrid::PaintCaptionBar(ui::TMessage& message) {
    HWND window = Handle();
    RECT bounds{};
    GetWindowRect(window, &bounds);
    // The area to paint in window coordinates: the message's region, or the whole window.
    ui::RegionHandle clip(CreateRectRgn(0, 0, 0, 0));
    if (message.WParam == 1 ||
        CombineRgn(clip.Get(), reinterpret_cast<HRGN>(message.WParam), nullptr, RGN_COPY) == ERROR)
        SetRectRgn(clip.Get(), bounds.left, bounds.top, bounds.right, bounds.bottom);
    OffsetRgn(clip.Get(), -bounds.left, -bounds.top);
    const bool small = exOptions_.Contains(ocSmallCaption);
    RECT caption{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
    InflateRect(&caption, -GetSystemMetrics(SM_CXDLGFRAME), -GetSystemMetrics(SM_CYDLGFRAME));
    caption.bottom = caption.top + GetSystemMetrics(small ? SM_CYSMCAPTION : SM_CYCAPTION) - 1;
    {
        const ui::WindowDC dc(window, ui::WindowDC::Whole);
        const ui::SavedDC saved(dc.Get());
        SelectClipRgn(dc.Get(), clip.Get());
        if (exOptions_.Contains(ocPaintCaptionWallpaper)) {
            captionPicture_.Paint(dc.Get(), caption, true, SRCCOPY);
        } else {
            ui::BrushHandle fill(CreateSolidBrush(ui::ColorToRGB(captionColor_)));
            FillRect(dc.Get(), &caption, fill.Get());
        }
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        const ui::FontHandle font(CreateFontIndirectW(small ? &metrics.lfSmCaptionFont : &metrics.lfCaptionFont));
        const ui::SelectObjectScope selected(dc.Get(), font.Get());
        SetTextColor(dc.Get(), ui::ColorToRGB(captionTextColor_));
        SetBkMode(dc.Get(), TRANSPARENT);
        RECT text = caption;
        text.left += 2;
        ui::DrawTextOf(dc.Get(), Caption(), text, DT_SINGLELINE | DT_VCENTER);
    }
    // The rest of the frame and the scroll bars are the system's.
    const ui::RegionHandle captionRegion(CreateRectRgnIndirect(&caption));
    CombineRgn(clip.Get(), clip.Get(), captionRegion.Get(), RGN_DIFF);
    OffsetRgn(clip.Get(), bounds.left, bounds.top);
    message.WParam = reinterpret_cast<WPARAM>(clip.Get());
    ui::TStringGrid::WndProc(message);
}

void TCoolStringGrid::MouseEnter() {
    // While a skinned control has the focus, its own border shows the focus: the grid's stays put.
    if (!IsCoolControl(ui::FindControl(GetFocus()))) DrawFlatBorderIfAsked(true);
    if (OnMouseEnter) OnMouseEnter();
}

void TCoolStringGrid::MouseLeave() {
    if (!IsCoolControl(ui::FindControl(GetFocus()))) DrawFlatBorderIfAsked(false);
    if (OnMouseLeave) OnMouseLeave();
}

void TCoolStringGrid::TopLeftMoving() {
    // A picture or the parent's background stays where it is while the cells scroll over it: nothing
    // on the screen can be moved along with them.
    if ((exOptions_.Contains(ocPaintWallpaper) && gridPicture_.Picture() != nullptr) ||
        exOptions_.Contains(ocPaintTransparently))
        InvalidateGrid();
}

// ---- Cells

void TCoolStringGrid::DrawCell(int col, int row, const RECT& rect, ui::TGridDrawState state) {
    ui::TCanvas& canvas = Canvas();
    const bool fixed = state == ui::gdFixed;
    const TCellWrapper* cell = CellWrapper(col, row);
    ui::TAlignment alignment = fixed ? fixedTextAlign_ : textAlign_;
    if (cell != nullptr) {
        canvas.Brush().SetColor(cell->Color);
        canvas.Font().Assign(cell->Font);
        alignment = cell->Alignment;
    }
    const UINT format = DT_WORDBREAK | AlignmentFormat(alignment);
    const bool selected = state == ui::gdSelected || (state == (ui::gdSelected | ui::gdFocused) &&
                                                      (Options() & (ui::goDrawFocusSelected | ui::goRowSelect)) != 0);
    if (selected) {
        canvas.Font().SetColor(ui::clHighlightText);
        canvas.Brush().SetColor(selColor_);
    }
    HDC dc = canvas.Handle();
    PaintCellBackground(dc, rect, selected, fixed, cell == nullptr || cell->Wallpaper);
    const UINT edges = BevelEdges(innerCellsBevel_, outerCellsBevel_);
    if (!fixed && edges != 0) {
        RECT edge = rect;
        DrawEdge(dc, &edge, edges, BF_RECT);
    }
    const std::string& text = Cells(col, row);
    FitCell(dc, col, row, text, format);
    RECT textRect = rect;
    OffsetRectSides(textRect, marginLeft_, marginTop_, marginRight_, marginBottom_);
    SetBkMode(dc, TRANSPARENT);
    if (Enabled())
        ui::DrawTextOf(dc, text, textRect, format);
    else
        DrawShadowedText(dc, textRect, spRightBottom, text, format, ui::clBtnShadow, ui::clBtnHighlight, 1);
    canvas.Font().Assign(Font());
    if (OnDrawCell) OnDrawCell(this, canvas, col, row, rect, state);
}

void TCoolStringGrid::PaintCellBackground(HDC dc, const RECT& rect, bool selected, bool fixed, bool picture) {
    // Pictures are laid over the whole client area and cut to the cell, so that they stay in place
    // while the cells scroll.
    const RECT client = ClientRect();
    const bool stretch = exOptions_.Contains(ocStretchWallpaper);
    ui::TBitmap* gridPicture = gridPicture_.Picture();
    if (selected) {
        ui::TBitmap* selPicture = selPicture_.Picture();
        if (exOptions_.Contains(ocInvertWallpaperAsSelect) && gridPicture != nullptr)
            TileBitmapClipped(dc, *gridPicture, client, rect, stretch, NOTSRCCOPY);
        else if (exOptions_.Contains(ocPaintSelWallpaper) && selPicture != nullptr)
            TileBitmapClipped(dc, *selPicture, client, rect, true, SRCCOPY);
        else
            Canvas().FillRect(rect);
    } else if (exOptions_.Contains(ocPaintTransparently) && !fixed) {
        PaintParentBackgroundClipped(GetAncestorControl(this, transparencyLevel_), dc, rect);
    } else if (!fixed && picture && exOptions_.Contains(ocPaintWallpaper) && gridPicture != nullptr) {
        TileBitmapClipped(dc, *gridPicture, client, rect, stretch, SRCCOPY);
    } else {
        Canvas().FillRect(rect);
    }
}

void TCoolStringGrid::FitCell(HDC dc, int col, int row, const std::string& text, UINT format) {
    if (text.empty()) return;
    RECT measured{0, 0, ColWidths(col), 0};
    ui::DrawTextOf(dc, text, measured, format | DT_CALCRECT);
    // A word wider than the column widens it; a text that wraps makes its row taller.
    const int width = measured.right - measured.left;
    const int height = measured.bottom - measured.top;
    if (ColWidths(col) < width) SetColWidths(col, width + 10);
    if (RowHeights(row) < height) SetRowHeights(row, height + 10);
}

// ---- Cells of their own

TCellWrapper* TCoolStringGrid::CellWrapper(int col, int row) const {
    const auto found = std::find_if(cellWrappers_.begin(), cellWrappers_.end(),
                                    [col, row](const auto& cell) { return cell->Col == col && cell->Row == row; });
    return found != cellWrappers_.end() ? found->get() : nullptr;
}

TCellWrapper& TCoolStringGrid::CellWrapperNeeded(int col, int row) {
    if (TCellWrapper* cell = CellWrapper(col, row)) return *cell;
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount())
        throw ui::EInvalidGridOperation("Grid index out of range");
    const bool fixed = col < FixedCols() || row < FixedRows();
    auto cell = std::make_unique<TCellWrapper>(col, row);
    cell->Font.Assign(Font());
    cell->Color = fixed ? FixedColor() : Color();
    cell->Alignment = fixed ? fixedTextAlign_ : textAlign_;
    cellWrappers_.push_back(std::move(cell));
    return *cellWrappers_.back();
}

void TCoolStringGrid::ColumnMoved(int from, int to) {
    for (const auto& cell : cellWrappers_) cell->Col = ui::MovedIndex(cell->Col, from, to);
    ui::TStringGrid::ColumnMoved(from, to);
}

void TCoolStringGrid::RowMoved(int from, int to) {
    for (const auto& cell : cellWrappers_) cell->Row = ui::MovedIndex(cell->Row, from, to);
    ui::TStringGrid::RowMoved(from, to);
}

// ---- Editing

TCoolInplaceEdit* TCoolStringGrid::CreateEditor() {
    return new TCoolInplaceEdit(this);
}

bool TCoolStringGrid::CanEditShow() const {
    const TCellWrapper* cell = CellWrapper(Col(), Row());
    return ui::TStringGrid::CanEditShow() && (cell == nullptr || !cell->ReadOnly);
}

std::string TCoolStringGrid::GetEditText(int col, int row) {
    editedCell_ = ui::TGridCoord{col, row};
    editedText_ = ui::TStringGrid::GetEditText(col, row);
    PrepareEditor(col, row);
    return editedText_;
}

void TCoolStringGrid::PrepareEditor(int col, int row) {
    TCoolInplaceEdit& editor = *CoolInplaceEditor();
    editor.SetColor(Color());
    editor.Font().Assign(Font());
    editor.SetOptions(exOptions_ - TCoolOptions{ocFlatBorder});
    editor.Wallpaper().Clear();
    const TCellWrapper* cell = CellWrapper(col, row);
    if (cell != nullptr && !cell->Wallpaper) {
        editor.SetColor(cell->Color);
        editor.Font().Assign(cell->Font);
        return;
    }
    ui::TBitmap* picture = gridPicture_.Picture();
    const RECT rect = CellRect(col, row);
    if (!exOptions_.Contains(ocPaintWallpaper) || picture == nullptr || IsRectEmpty(&rect)) return;
    // The picture as the cell shows it: laid over the client area, the part under the cell.
    ui::TBitmap under;
    under.SetSize(rect.right - rect.left, rect.bottom - rect.top);
    RECT layout = ClientRect();
    OffsetRect(&layout, -rect.left, -rect.top);
    TileBitmapClipped(under.Canvas().Handle(), *picture, layout, RECT{0, 0, under.Width(), under.Height()},
                      exOptions_.Contains(ocStretchWallpaper), SRCCOPY);
    editor.SetWallpaper(under);
}

void TCoolStringGrid::SetEditText(int col, int row, const std::string& text) {
    ui::TStringGrid::SetEditText(col, row, text);
    if (Cells(col, row) == editedText_) return;
    const ui::TGridCoord cell{col, row};
    if (std::none_of(storedCells_.begin(), storedCells_.end(),
                     [cell](const ui::TGridCoord& stored) { return stored.X == cell.X && stored.Y == cell.Y; }))
        storedCells_.push_back(cell);
    PostMessageA(Handle(), kCellEdited, 0, 0);
}

void TCoolStringGrid::TellEditedCells() {
    // The stores go on while the editor is open; the one that closes it posts the notice again.
    if (EditorMode()) return;
    const std::vector<ui::TGridCoord> cells = std::move(storedCells_);
    storedCells_.clear();
    const base::TWatch watch = Watch();
    for (const ui::TGridCoord& cell : cells) {
        // A row or column removed since the store took its cell along.
        if (cell.X >= ColCount() || cell.Y >= RowCount()) continue;
        // Every store while the edit went on announced it too: the edit is told once, as long as its text stays.
        if (cell.X == editedCell_.X && cell.Y == editedCell_.Y) {
            if (Cells(cell.X, cell.Y) == editedText_) continue;
            editedText_ = Cells(cell.X, cell.Y);
        }
        int width = DefaultColWidth();
        int height = DefaultRowHeight();
        if (OnEndCellEditing) OnEndCellEditing(cell.X, cell.Y, width, height);
        if (!watch) return;
        SetColWidths(cell.X, width);
        SetRowHeights(cell.Y, height);
    }
}

}  // namespace skin
