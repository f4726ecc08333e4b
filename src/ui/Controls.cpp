// TControl, whose parent paints it and passes it the mouse: bounds, visibility, the font and colour it takes
// from its parent, its caption and click.
#include "ui/Controls.h"

#include "ui/ControlsInternal.h"

namespace ui {

namespace {

TMouseButton ButtonOf(UINT msg) {
    switch (msg) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return mbRight;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return mbMiddle;
        default:
            return mbLeft;
    }
}

}  // namespace

void Notify(TControl* control, UINT msg) {
    if (control->IsWindowed() && static_cast<TWinControl*>(control)->HandleAllocated())
        SendPrivate(static_cast<TWinControl*>(control)->Handle(), msg, 0, 0);
    else
        control->Perform(msg);
}

// ---- TControl

TControl::TControl(base::TComponent* owner) : base::TComponent(owner) {
    font_.OnChange = [this] { Perform(CM_FONTCHANGED); };
}

TControl::~TControl() {
    if (parent_ != nullptr) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_ != nullptr) {
        Invalidate();
        parent_->RemoveControl(this);
    }
    parent_ = parent;
    if (parent_ == nullptr) return;
    parent_->InsertControl(this);
    if (parentFont_) ParentFontChanged();
    if (parentColor_) ParentColorChanged();
    RequestAlign();
    if (IsWindowed() && parent_->HandleAllocated()) static_cast<TWinControl*>(this)->HandleNeeded();
    Invalidate();
}

void TControl::SetBoundsQuiet(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    Invalidate();
    SetBoundsQuiet(left, top, width, height);
    RequestAlign();
    Invalidate();
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    RequestAlign();
}

void TControl::RequestAlign() {
    if (parent_ != nullptr && align_ != alNone) parent_->AlignControls();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    // What a control without a window covered is its parent's to paint again; a window being hidden
    // has the system repaint what it covered.
    if (!visible && !IsWindowed()) Invalidate();
    visible_ = visible;
    Perform(CM_VISIBLECHANGED);
}

void TControl::VisibleChanged() {
    RequestAlign();
    Invalidate();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetParentFont(bool parentFont) {
    if (parentFont == parentFont_) return;
    parentFont_ = parentFont;
    if (parentFont_) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || parent_ == nullptr) return;
    adoptingFont_ = true;
    font_.Assign(parent_->Font());
    adoptingFont_ = false;
}

void TControl::FontChanged() {
    if (!adoptingFont_) parentFont_ = false;
    Invalidate();
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_) return;
    color_ = color;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool parentColor) {
    if (parentColor == parentColor_) return;
    parentColor_ = parentColor;
    if (parentColor_) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || parent_ == nullptr || parent_->Color() == color_) return;
    color_ = parent_->Color();
    Perform(CM_COLORCHANGED);
}

void TControl::ColorChanged() {
    Invalidate();
}

void TControl::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Perform(CM_TEXTCHANGED);
    NotifyAccessible(EVENT_OBJECT_NAMECHANGE);
}

void TControl::Invalidate() {
    if (!visible_ || parent_ == nullptr || !parent_->HandleAllocated()) return;
    RECT bounds = BoundsRect();
    InvalidateShown(parent_->Handle(), &bounds, !opaque_);
}

void TControl::Repaint() {
    if (!visible_ || parent_ == nullptr || !parent_->HandleAllocated()) return;
    if (!opaque_) {
        // What lies under a see-through control has to be painted first: let the parent do it now.
        Invalidate();
        parent_->Update();
        return;
    }
    WindowDC dc(parent_->Handle());
    SavedDC saved(dc.Get());
    SetViewportOrgEx(dc.Get(), left_, top_, nullptr);
    IntersectClipRect(dc.Get(), 0, 0, width_, height_);
    static_cast<TGraphicControl*>(this)->PaintTo(dc.Get());
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    WndProc(message);
    return message.Result;
}

bool TControl::HandleMouse(TMessage& message) {
    const POINT point = PointOf(message.LParam);
    const int x = point.x;
    const int y = point.y;
    switch (message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (message.Msg == WM_LBUTTONDOWN) mouseDown_ = true;
            MouseDown(ButtonOf(message.Msg), x, y);
            if (message.Msg == WM_LBUTTONDOWN && mouseDown_) CaptureForPress();
            return true;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            const bool click = message.Msg == WM_LBUTTONUP && mouseDown_;
            if (message.Msg == WM_LBUTTONUP) {
                mouseDown_ = false;
                // The mouse is free before the click runs, which may open a window of its own.
                ReleasePressCapture();
            }
            const RECT client = ClientRect();
            // A click is a left press and release on the control; a release elsewhere clicks nothing.
            // The click's handler may free the control: then the release ends with it.
            const base::TWatch watch = Watch();
            if (click && clickEvents_ && PtInRect(&client, point)) Click();
            if (watch) MouseUp(ButtonOf(message.Msg), x, y);
            return true;
        }
        default:
            return false;
    }
}

void TControl::CaptureForPress() {
    if (!clickEvents_ || !IsWindowed()) return;
    auto* self = static_cast<TWinControl*>(this);
    // A control that takes the mouse itself keeps its own capture; a native one keeps the system's.
    if (self->native_ || !self->HandleAllocated() || GetCapture() == self->Handle()) return;
    SetCapture(self->Handle());
    capturedByPress_ = GetCapture() == self->Handle();
}

void TControl::ReleasePressCapture() {
    if (!capturedByPress_) return;
    capturedByPress_ = false;
    auto* self = static_cast<TWinControl*>(this);
    if (GetCapture() == self->Handle()) ReleaseCapture();
}

void TControl::WndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_CAPTURECHANGED:
        case WM_CANCELMODE:
            if (capturedByPress_ || !IsWindowed()) {
                capturedByPress_ = false;
                mouseDown_ = false;
            }
            break;
        case CM_FONTCHANGED:
            FontChanged();
            return;
        case CM_PARENTFONTCHANGED:
            ParentFontChanged();
            return;
        case CM_COLORCHANGED:
            ColorChanged();
            return;
        case CM_PARENTCOLORCHANGED:
            ParentColorChanged();
            return;
        case CM_TEXTCHANGED:
            TextChanged();
            return;
        case CM_VISIBLECHANGED:
            VisibleChanged();
            return;
        case CM_ENABLEDCHANGED:
            EnabledChanged();
            return;
        case CM_MOUSEENTER:
            mouseInside_ = true;
            MouseEnter();
            return;
        case CM_MOUSELEAVE:
            mouseInside_ = false;
            MouseLeave();
            return;
        default:
            break;
    }
    if (IsMouseMessage(message.Msg) && enabled_) {
        const base::TWatch watch = Watch();
        if (HandleMouse(message)) {
            if (watch && IsWindowed()) DefaultHandler(message);
            return;
        }
    }
    DefaultHandler(message);
}

void TControl::Click() {
    if (OnClick) OnClick();
}

void TControl::MouseDown(TMouseButton button, int x, int y) {
    if (OnMouseDown) OnMouseDown(button, x, y);
}

void TControl::MouseUp(TMouseButton button, int x, int y) {
    if (OnMouseUp) OnMouseUp(button, x, y);
}

POINT TControl::ClientToScreen(POINT point) const {
    if (IsWindowed()) {
        auto* self = const_cast<TWinControl*>(static_cast<const TWinControl*>(this));
        if (self->HandleAllocated()) {
            ::ClientToScreen(self->Handle(), &point);
            return point;
        }
    }
    POINT shifted{point.x + left_, point.y + top_};
    return parent_ != nullptr ? parent_->ClientToScreen(shifted) : shifted;
}

// ---- TGraphicControl

void TGraphicControl::PaintTo(HDC dc) {
    CanvasBinding binding(canvas_, dc);
    canvas_.Font().Assign(Font());
    canvas_.Brush().SetColor(Color());
    Paint();
}

}  // namespace ui
