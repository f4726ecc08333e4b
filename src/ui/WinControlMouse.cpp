// The mouse over a window's children without windows: the child under the pointer gets the messages, the one
// pressed keeps them until the button comes up, and the one hovered hears the mouse come and go.
#include "ui/Controls.h"

#include <utility>

#include "ui/ControlsInternal.h"

namespace ui {

void TWinControl::TrackMouse() {
    if (trackingMouse_) return;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
    trackingMouse_ = TrackMouseEvent(&track) != FALSE;
    Perform(CM_MOUSEENTER);
}

void TWinControl::SetHoveredControl(TControl* control) {
    if (control == hoveredControl_) return;
    const base::TWatch watch = Watch();
    TControl* left = std::exchange(hoveredControl_, control);
    if (left != nullptr) left->Perform(CM_MOUSELEAVE);
    if (watch && hoveredControl_ == control && control != nullptr) control->Perform(CM_MOUSEENTER);
}

void TWinControl::ForwardMouse(TMessage& message) {
    const POINT point = PointOf(message.LParam);
    const bool press = message.Msg == WM_LBUTTONDOWN || message.Msg == WM_RBUTTONDOWN || message.Msg == WM_MBUTTONDOWN;
    const bool release = message.Msg == WM_LBUTTONUP || message.Msg == WM_RBUTTONUP || message.Msg == WM_MBUTTONUP;
    TControl* target = mouseControl_ != nullptr ? mouseControl_ : ControlAtPos(point);
    if (target == nullptr || !target->Enabled()) return;
    // The control pressed keeps the mouse until the button comes up, wherever the pointer goes.
    if (press) {
        mouseControl_ = target;
        SetCapture(handle_);
    }
    // The capture ends with the release whatever the target's handlers do, even if they free this control.
    HWND window = handle_;
    if (release) {
        mouseControl_ = nullptr;
        if (GetCapture() == window) ReleaseCapture();
    }
    TMessage forwarded{
        message.Msg, message.WParam,
        MAKELPARAM(static_cast<WORD>(point.x - target->Left()), static_cast<WORD>(point.y - target->Top())), 0};
    target->WndProc(forwarded);
}

void TWinControl::DropPress(UINT msg) {
    if (TControl* pressed = std::exchange(mouseControl_, nullptr)) pressed->Perform(WM_CANCELMODE);
    // The system tells only the active window that a box or a menu opens: a window of ours below it
    // that holds the mouse for a press lets go too.
    HWND captured = GetCapture();
    if (msg == WM_CANCELMODE && captured != nullptr && captured != handle_ && IsChild(handle_, captured) &&
        FindControl(captured) != nullptr)
        SendMessageA(captured, WM_CANCELMODE, 0, 0);
}

bool TWinControl::SetPointer(TMessage& message) {
    if (reinterpret_cast<HWND>(message.WParam) != handle_ || LOWORD(message.LParam) != HTCLIENT) return false;
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(handle_, &point);
    const TControl* under = ControlAtPos(point);
    HCURSOR cursor = under != nullptr && under->Cursor() != nullptr ? under->Cursor() : Cursor();
    if (cursor == nullptr) return false;
    ::SetCursor(cursor);
    message.Result = TRUE;
    return true;
}

TControl* TWinControl::ControlAtPos(POINT point) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* control = *it;
        if (control->IsWindowed() || !control->Visible()) continue;
        const RECT bounds = control->BoundsRect();
        if (PtInRect(&bounds, point)) return control;
    }
    return nullptr;
}

}  // namespace ui
