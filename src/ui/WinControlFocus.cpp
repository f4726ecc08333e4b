// The focus and the keyboard of a dialog: which controls Tab visits and in what order, the arrow keys among
// siblings, accelerators, and the dialog messages a multi-line edit field sends its parent.
#include "ui/Controls.h"

#include <algorithm>
#include <vector>

#include "base/SysUtils.h"

namespace ui {

bool IsAccel(unsigned key, const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return base::UpperCaseText(caption.substr(i + 1, base::CharacterBytes(caption, i + 1))) ==
               base::UpperCaseText(std::string(1, static_cast<char>(key)));
    }
    return false;
}

void TWinControl::SetFocus() {
    ::SetFocus(Handle());
}

bool TWinControl::Focused() const {
    return handle_ != nullptr && GetFocus() == handle_;
}

bool TWinControl::CanFocus() const {
    for (const TControl* control = this; control != nullptr; control = control->Parent()) {
        if (!control->Visible() || !control->Enabled() || control->Destroying()) return false;
    }
    return true;
}

void TWinControl::SetTabStop(bool tabStop) {
    if (tabStop == tabStop_) return;
    tabStop_ = tabStop;
    if (handle_ != nullptr) {
        const LONG style = GetWindowLongA(handle_, GWL_STYLE);
        SetWindowLongA(handle_, GWL_STYLE, tabStop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
}

int TWinControl::TabOrder() const {
    if (Parent() == nullptr) return -1;
    const auto& list = Parent()->tabList_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (Parent() == nullptr) return;
    auto& list = Parent()->tabList_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    order = std::max(0, std::min(order, static_cast<int>(list.size())));
    list.insert(list.begin() + order, this);
}

TWinControl* TWinControl::FocusedControl() {
    for (HWND window = GetFocus(); window != nullptr; window = GetParent(window)) {
        if (TWinControl* control = FindControl(window)) return control;
    }
    return nullptr;
}

TWinControl* TWinControl::FindNextSibling(TWinControl* current, bool forward) {
    if (current == nullptr || current->Parent() == nullptr) return nullptr;
    std::vector<TWinControl*> siblings;
    for (TWinControl* control : current->Parent()->tabList_) {
        if (control == current || control->CanFocus()) siblings.push_back(control);
    }
    const auto found = std::find(siblings.begin(), siblings.end(), current);
    const size_t count = siblings.size();
    if (found == siblings.end() || count < 2) return nullptr;
    const size_t at = static_cast<size_t>(found - siblings.begin());
    return siblings[forward ? (at + 1) % count : (at + count - 1) % count];
}

LRESULT TWinControl::DialogCode(const MSG* message) {
    TMessage request{WM_GETDLGCODE, message != nullptr ? message->wParam : 0, reinterpret_cast<LPARAM>(message), 0};
    DefaultHandler(request);
    return request.Result;
}

// A multi-line edit field that was asked for its dialog code with a message talks to its parent as to a
// dialog: Tab sends WM_NEXTDLGCTL, Enter asks DM_GETDEFID, Escape posts WM_CLOSE. Our containers are no
// dialogs: they answer for the form, and never let the default procedure see these (it would destroy a
// child window on WM_CLOSE, taking the field with it).
void TWinControl::DialogManagerMessage(TMessage& message) {
    message.Result = 0;
    switch (message.Msg) {
        case WM_NEXTDLGCTL: {
            TWinControl* next = nullptr;
            if (LOWORD(message.LParam) != 0)
                next = FindControl(reinterpret_cast<HWND>(message.WParam));
            else
                next = Root()->FindNextControl(FocusedControl(), message.WParam == 0);
            if (next != nullptr && next->CanFocus()) next->SetFocus();
            return;
        }
        case DM_GETDEFID:
            // No default identifier: Enter stays the field's, which decides what it means.
            return;
        case WM_CLOSE:
            // Escape in the field: the form's Cancel button, as Escape anywhere else would press it.
            Root()->Broadcast(CM_DIALOGKEY, VK_ESCAPE, 0);
            return;
        default:
            return;
    }
}

void TWinControl::CollectTabOrder(std::vector<TWinControl*>& list) const {
    for (TWinControl* control : tabList_) {
        if (!control->CanFocus()) continue;
        if (control->tabStop_) list.push_back(control);
        control->CollectTabOrder(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward) const {
    std::vector<TWinControl*> list;
    CollectTabOrder(list);
    if (list.empty()) return nullptr;
    auto found = list.end();
    for (const TWinControl* control = current; control != nullptr && found == list.end(); control = control->Parent())
        found = std::find(list.begin(), list.end(), control);
    if (found == list.end()) return forward ? list.front() : list.back();
    const size_t count = list.size();
    const size_t at = static_cast<size_t>(found - list.begin());
    return list[forward ? (at + 1) % count : (at + count - 1) % count];
}

}  // namespace ui
