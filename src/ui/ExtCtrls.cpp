#include "ui/ExtCtrls.h"

namespace ui {

// ---- TCustomPanel

TCustomPanel::TCustomPanel(base::TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut bevel) {
    if (bevel == bevelInner_) return;
    bevelInner_ = bevel;
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut bevel) {
    if (bevel == bevelOuter_) return;
    bevelOuter_ = bevel;
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int width) {
    if (width == bevelWidth_) return;
    bevelWidth_ = width;
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int width) {
    if (width == borderWidth_) return;
    borderWidth_ = width;
    Invalidate();
}

void Frame3D(HDC dc, RECT& rect, TColor topLeft, TColor bottomRight, int width) {
    PenHandle light(CreatePen(PS_SOLID, 1, ColorToRGB(topLeft)));
    PenHandle dark(CreatePen(PS_SOLID, 1, ColorToRGB(bottomRight)));
    SavedDC saved(dc);
    for (int i = 0; i < width; ++i) {
        --rect.right;
        --rect.bottom;
        SelectObject(dc, light.Get());
        MoveToEx(dc, rect.left, rect.bottom, nullptr);
        LineTo(dc, rect.left, rect.top);
        LineTo(dc, rect.right, rect.top);
        SelectObject(dc, dark.Get());
        LineTo(dc, rect.right, rect.bottom);
        LineTo(dc, rect.left - 1, rect.bottom);
        ++rect.left;
        ++rect.top;
    }
}

static void Bevel(HDC dc, RECT& rect, TBevelCut cut, int width) {
    if (cut == bvNone) return;
    const bool lowered = cut == bvLowered;
    Frame3D(dc, rect, lowered ? clBtnShadow : clBtnHighlight, lowered ? clBtnHighlight : clBtnShadow, width);
}

void TCustomPanel::PaintFrameAndCaption(RECT& rect) {
    HDC dc = Canvas().Handle();
    Bevel(dc, rect, bevelOuter_, bevelWidth_);
    Frame3D(dc, rect, Color(), Color(), borderWidth_);
    Bevel(dc, rect, bevelInner_, bevelWidth_);
    if (Caption().empty()) return;
    Canvas().Font().Assign(Font());
    const int height = Canvas().TextHeight("W");
    rect.top = (rect.top + rect.bottom - height) / 2;
    rect.bottom = rect.top + height;
    UINT flags = DT_EXPANDTABS | DT_VCENTER;
    if (alignment_ == taCenter) flags |= DT_CENTER;
    if (alignment_ == taRightJustify) flags |= DT_RIGHT;
    Canvas().Brush().SetStyle(TBrushStyle::Clear);
    Canvas().DrawText(Caption(), rect, flags);
}

void TCustomPanel::Paint() {
    RECT rect = ClientRect();
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(rect);
    PaintFrameAndCaption(rect);
}

// ---- TImage

TImage::TImage(base::TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 105, 105);
    picture_.OnChange = [this] { Invalidate(); };
}

void TImage::SetCenter(bool center) {
    if (center == center_) return;
    center_ = center;
    Invalidate();
}

void TImage::Paint() {
    if (picture_.Empty()) return;
    int x = 0, y = 0;
    if (center_) {
        x = (Width() - picture_.Width()) / 2;
        y = (Height() - picture_.Height()) / 2;
    }
    BitBlt(Canvas().Handle(), x, y, picture_.Width(), picture_.Height(), picture_.Canvas().Handle(), 0, 0, SRCCOPY);
}

}  // namespace ui
