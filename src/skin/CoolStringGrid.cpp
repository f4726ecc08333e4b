#include "skin/CoolStringGrid.h"

namespace skin {

namespace {

UINT AlignmentFormat(ui::TAlignment alignment) {
    switch (alignment) {
        case ui::taRightJustify:
            return DT_RIGHT;
        case ui::taCenter:
            return DT_CENTER;
        default:
            return DT_LEFT;
    }
}

UINT BevelEdges(TBevelCut inner, TBevelCut outer) {
    UINT edges = 0;
    if (inner == ui::bvLowered) edges |= BDR_SUNKENINNER;
    if (inner == ui::bvRaised) edges |= BDR_RAISEDINNER;
    if (outer == ui::bvLowered) edges |= BDR_SUNKENOUTER;
    if (outer == ui::bvRaised) edges |= BDR_RAISEDOUTER;
    return edges;
}

}  // namespace

TCoolStringGrid::TCoolStringGrid(ui::TComponent* owner) : ui::TStringGrid(owner) {
    gridPicture_.OnSetChanged = [this] { ImagesChanged(); };
    gridPicture_.OnWallpaperChanged = [this] { PictureChanged(); };
    selPicture_.OnWallpaperChanged = [this] { PictureChanged(); };
}

TCoolStringGrid::~TCoolStringGrid() {
    gridPicture_.OnSetChanged = nullptr;
    gridPicture_.OnWallpaperChanged = nullptr;
    selPicture_.OnWallpaperChanged = nullptr;
}

// ---- Properties

void TCoolStringGrid::SetMargin(int& margin, int value) {
    if (value == margin) return;
    margin = value;
    InvalidateGrid();
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
    ImagesChanged();
}

void TCoolStringGrid::ImagesChanged() {
    InvalidateGrid();
    RedrawFrame();
}

void TCoolStringGrid::Notification(ui::TComponent* component, bool removing) {
    ui::TStringGrid::Notification(component, removing);
    selPicture_.Notification(component, removing);
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

void TCoolStringGrid::PictureChanged() {
    if (Destroying()) return;
    InvalidateGrid();
    if (HandleAllocated())
        SendMessageA(Handle(), ui::CM_COLORCHANGED, 0, 0);
    else
        Perform(ui::CM_COLORCHANGED);
}

void TCoolStringGrid::SetExOptions(TCoolOptions options) {
    if (options.Contains(ocPaintTransparently) && exOptions_.Contains(ocPaintWallpaper))
        options.Exclude(ocPaintWallpaper);
    else if (options.Contains(ocPaintWallpaper) && exOptions_.Contains(ocPaintTransparently))
        options.Exclude(ocPaintTransparently);
    if (options == exOptions_) return;
    exOptions_ = options;
    RecreateWnd();
}

void TCoolStringGrid::SetTextAlign(ui::TAlignment alignment) {
    if (alignment == textAlign_) return;
    textAlign_ = alignment;
    InvalidateGrid();
}

void TCoolStringGrid::SetFixedTextAlign(ui::TAlignment alignment) {
    if (alignment == fixedTextAlign_) return;
    fixedTextAlign_ = alignment;
    InvalidateGrid();
}

void TCoolStringGrid::SetInnerCellsBevel(TBevelCut bevel) {
    if (bevel == innerCellsBevel_) return;
    innerCellsBevel_ = bevel;
    InvalidateGrid();
}

void TCoolStringGrid::SetOuterCellsBevel(TBevelCut bevel) {
    if (bevel == outerCellsBevel_) return;
    outerCellsBevel_ = bevel;
    InvalidateGrid();
}

void TCoolStringGrid::SetSelColor(ui::TColor color) {
    if (color == selColor_) return;
    selColor_ = color;
    InvalidateGrid();
}

void TCoolStringGrid::SetTransparencyLevel(uint8_t level) {
    if (level == transparencyLevel_) return;
    transparencyLevel_ = level;
    InvalidateGrid();
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
        default:
            ui::TStringGrid::WndProc(message);
    }
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
    const UINT format = DT_WORDBREAK | AlignmentFormat(fixed ? fixedTextAlign_ : textAlign_);
    const bool selected = state == ui::gdSelected || (state == (ui::gdSelected | ui::gdFocused) &&
                                                      (Options() & (ui::goDrawFocusSelected | ui::goRowSelect)) != 0);
    if (selected) {
        canvas.Font().SetColor(ui::clHighlightText);
        canvas.Brush().SetColor(selColor_);
    }
    HDC dc = canvas.Handle();
    PaintCellBackground(dc, rect, selected, fixed);
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
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect, format);
    else
        DrawShadowedText(dc, textRect, spRightBottom, text, format, ui::clBtnShadow, ui::clBtnHighlight, 1);
    canvas.Font().Assign(Font());
    if (OnDrawCell) OnDrawCell(this, canvas, col, row, rect, state);
}

void TCoolStringGrid::PaintCellBackground(HDC dc, const RECT& rect, bool selected, bool fixed) {
    // Pictures are laid over the whole client area and cut to the cell, so that they stay in place
    // while the cells scroll.
    const RECT client = ClientRect();
    const bool stretch = exOptions_.Contains(ocStretchWallpaper);
    ui::TBitmap* picture = gridPicture_.Picture();
    if (selected) {
        ui::TBitmap* selPicture = selPicture_.Picture();
        if (exOptions_.Contains(ocInvertWallpaperAsSelect) && picture != nullptr)
            TileBitmapClipped(dc, *picture, client, rect, stretch, NOTSRCCOPY);
        else if (exOptions_.Contains(ocPaintSelWallpaper) && selPicture != nullptr)
            TileBitmapClipped(dc, *selPicture, client, rect, true, SRCCOPY);
        else
            Canvas().FillRect(rect);
    } else if (exOptions_.Contains(ocPaintTransparently) && !fixed) {
        PaintParentBackgroundClipped(GetAncestorControl(this, transparencyLevel_), dc, rect);
    } else if (!fixed && exOptions_.Contains(ocPaintWallpaper) && picture != nullptr) {
        TileBitmapClipped(dc, *picture, client, rect, stretch, SRCCOPY);
    } else {
        Canvas().FillRect(rect);
    }
}

void TCoolStringGrid::FitCell(HDC dc, int col, int row, const std::string& text, UINT format) {
    if (text.empty()) return;
    RECT measured{0, 0, ColWidths(col), 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_CALCRECT);
    // A word wider than the column widens it; a text that wraps makes its row taller.
    const int width = measured.right - measured.left;
    const int height = measured.bottom - measured.top;
    if (ColWidths(col) < width) SetColWidths(col, width + 10);
    if (RowHeights(row) < height) SetRowHeights(row, height + 10);
}

}  // namespace skin
