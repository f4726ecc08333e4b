#include "ui/StdCtrls.h"

namespace ui {

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
    SetOpaque(true);
}

void TCustomLabel::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool autoSize) {
    if (autoSize == autoSize_) return;
    autoSize_ = autoSize;
    AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool wordWrap) {
    if (wordWrap == wordWrap_) return;
    wordWrap_ = wordWrap;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool show) {
    if (show == showAccelChar_) return;
    showAccelChar_ = show;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    SetOpaque(!transparent);
    Invalidate();
}

UINT TCustomLabel::TextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (wordWrap_) flags |= DT_WORDBREAK;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    switch (alignment_) {
        case taLeftJustify: flags |= DT_LEFT; break;
        case taRightJustify: flags |= DT_RIGHT; break;
        case taCenter: flags |= DT_CENTER; break;
    }
    return flags;
}

void TCustomLabel::Paint() {
    RECT client = ClientRect();
    if (!transparent_) {
        Canvas().Brush().SetColor(Color());
        Canvas().FillRect(client);
    }
    Canvas().Brush().SetStyle(TBrushStyle::Clear);
    RECT text = client;
    if (layout_ != tlTop) {
        RECT measured = client;
        Canvas().DrawText(Caption(), measured, TextFlags() | DT_CALCRECT);
        const int room = Height() - measured.bottom;
        OffsetRect(&text, 0, layout_ == tlBottom ? room : room / 2);
    }
    if (!Enabled()) {
        OffsetRect(&text, 1, 1);
        Canvas().Font().SetColor(clBtnHighlight);
        Canvas().DrawText(Caption(), text, TextFlags());
        OffsetRect(&text, -1, -1);
        Canvas().Font().SetColor(clBtnShadow);
    }
    Canvas().DrawText(Caption(), text, TextFlags());
}

void TCustomLabel::AdjustBounds() {
    if (Loading() || !autoSize_) return;
    HDC screen = GetDC(nullptr);
    RECT measured = ClientRect();
    {
        SavedDC saved(screen);
        SelectObject(screen, Font().Handle());
        std::string text = Caption();
        // An empty caption still measures one line.
        if (text.empty() || (showAccelChar_ && text == "&")) text += ' ';
        DrawTextA(screen, text.c_str(), static_cast<int>(text.size()), &measured,
                  (TextFlags() & ~static_cast<UINT>(DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
    }
    ReleaseDC(nullptr, screen);
    int left = Left();
    if (alignment_ == taRightJustify) left = Left() + Width() - measured.right;
    SetBounds(left, Top(), measured.right, measured.bottom);
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::TextChanged() {
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TCustomLabel::Notification(TComponent* component, bool removing) {
    if (removing && component == focusControl_) focusControl_ = nullptr;
}

}  // namespace ui
