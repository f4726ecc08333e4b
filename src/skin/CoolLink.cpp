#include "skin/CoolLink.h"

#include "skin/CoolUtils.h"

namespace skin {

TCoolLink::TCoolLink(base::TComponent* owner) : ui::TCustomControl(owner) {
    SetTabStop(true);
}

long TCoolLink::AccessibleRole(int child) const {
    return child == CHILDID_SELF ? ROLE_SYSTEM_LINK : ui::TCustomControl::AccessibleRole(child);
}

long TCoolLink::AccessibleState(int child) const {
    return ui::TCustomControl::AccessibleState(child) | (child == CHILDID_SELF ? STATE_SYSTEM_LINKED : 0);
}

std::optional<std::string> TCoolLink::AccessibleDefaultAction(int child) const {
    if (child != CHILDID_SELF) return std::nullopt;
    return std::string("Jump");
}

LRESULT TCoolLink::DialogCode(const MSG* message) {
    const bool enter = message != nullptr && message->message == WM_KEYDOWN && message->wParam == VK_RETURN;
    return ui::TCustomControl::DialogCode(message) | (enter ? DLGC_WANTMESSAGE : 0);
}

void TCoolLink::WndProc(ui::TMessage& message) {
    switch (message.Msg) {
        case WM_KEYDOWN: {
            // A key held down repeats: the link opens once.
            const bool repeat = (message.LParam & (1 << 30)) != 0;
            if ((message.WParam == VK_RETURN || message.WParam == VK_SPACE) && !repeat && Enabled()) {
                message.Result = 0;
                Click();
                return;
            }
            break;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            // The focus frame comes and goes; a handler told of the focus move may have freed the link.
            const base::TWatch watch = Watch();
            ui::TCustomControl::WndProc(message);
            if (watch) Invalidate();
            return;
        }
        default:
            break;
    }
    ui::TCustomControl::WndProc(message);
}

void TCoolLink::EraseBackground(HDC dc) {
    PaintParentBackground(this, dc);
}

void TCoolLink::Paint() {
    if (!Focused()) return;
    const RECT client = ClientRect();
    DrawFocusRect(Canvas().Handle(), &client);
}

}  // namespace skin
