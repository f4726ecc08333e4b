// What a reader learns of a window of ours beyond the control's own answers: the elements of its children
// without windows, the name a label gives it, and the default action it runs once the reader's call has
// returned.
#include "ui/Controls.h"

#include <deque>

namespace ui {

namespace {

// The readers' actions answered as done but not yet run, in the order they were asked for.
struct PendingAction {
    TWinControl* control;
    base::TWatch watch;
};

std::deque<PendingAction>& PendingActions() {
    static std::deque<PendingAction> actions;
    return actions;
}

bool runningActions = false;

}  // namespace

std::optional<std::string> TControl::AccessibleName(int child) const {
    if (child == CHILDID_SELF && !accessibleName_.empty()) return accessibleName_;
    return std::nullopt;
}

void TControl::NotifyAccessible(DWORD event) const {
    if (IsWindowed()) {
        NotifyAccessibleEvent(event, static_cast<const TWinControl*>(this)->handle_);
    } else if (parent_ != nullptr) {
        const int element = parent_->AccessibleElementOf(this);
        if (element > 0) NotifyAccessibleEvent(event, parent_->handle_, element);
    }
}

std::vector<const TControl*> TWinControl::AccessibleElements() const {
    std::vector<const TControl*> elements;
    for (const TControl* control : controls_) {
        if (!control->IsWindowed() && control->AccessibleRole(CHILDID_SELF) != ROLE_SYSTEM_CLIENT)
            elements.push_back(control);
    }
    return elements;
}

int TWinControl::AccessibleElementOf(const TControl* control) const {
    const std::vector<const TControl*> elements = AccessibleElements();
    for (size_t i = 0; i < elements.size(); ++i) {
        if (elements[i] == control) return static_cast<int>(i) + 1;
    }
    return 0;
}

int TWinControl::AccessibleChildCount() const {
    return static_cast<int>(AccessibleElements().size());
}

const TControl* TWinControl::NamingLabel() const {
    const TWinControl* root = this;
    while (root->Parent() != nullptr) root = root->Parent();
    std::vector<const TWinControl*> pending{root};
    while (!pending.empty()) {
        const TWinControl* container = pending.back();
        pending.pop_back();
        for (const TControl* control : container->controls_) {
            if (control->LabelledControl() == this) return control;
            if (control->IsWindowed()) pending.push_back(static_cast<const TWinControl*>(control));
        }
    }
    return nullptr;
}

const TControl* TWinControl::AccessibleElement(int child) const {
    const std::vector<const TControl*> elements = AccessibleElements();
    return child > 0 && child <= static_cast<int>(elements.size()) ? elements[child - 1] : nullptr;
}

std::optional<std::string> TWinControl::AccessibleName(int child) const {
    if (child != CHILDID_SELF) {
        const TControl* element = AccessibleElement(child);
        return element != nullptr ? element->AccessibleName(CHILDID_SELF) : std::nullopt;
    }
    if (std::optional<std::string> own = TControl::AccessibleName(child)) return own;
    if (const TControl* label = NamingLabel()) return label->AccessibleName(CHILDID_SELF);
    return std::nullopt;
}

std::optional<std::string> TWinControl::AccessibleValue(int child) const {
    const TControl* element = AccessibleElement(child);
    return element != nullptr ? element->AccessibleValue(CHILDID_SELF) : std::nullopt;
}

std::optional<std::string> TWinControl::AccessibleShortcut(int child) const {
    if (child != CHILDID_SELF) {
        const TControl* element = AccessibleElement(child);
        return element != nullptr ? element->AccessibleShortcut(CHILDID_SELF) : std::nullopt;
    }
    const TControl* label = NamingLabel();
    const std::string shortcut = label != nullptr ? ShortcutFromCaption(label->Caption()) : std::string();
    return shortcut.empty() ? std::nullopt : std::optional<std::string>(shortcut);
}

long TWinControl::AccessibleRole(int child) const {
    const TControl* element = AccessibleElement(child);
    return element != nullptr ? element->AccessibleRole(CHILDID_SELF) : ROLE_SYSTEM_CLIENT;
}

long TWinControl::AccessibleState(int child) const {
    const TControl* element = AccessibleElement(child);
    if (element == nullptr) return 0;
    return element->AccessibleState(CHILDID_SELF) | (element->Enabled() ? 0 : STATE_SYSTEM_UNAVAILABLE) |
           (element->Visible() ? 0 : STATE_SYSTEM_INVISIBLE);
}

RECT TWinControl::AccessibleBounds(int child) const {
    const TControl* element = AccessibleElement(child);
    return element != nullptr && element->Visible() ? element->BoundsRect() : RECT{};
}

void TWinControl::PostAccessibleAction() {
    if (handle_ == nullptr) return;
    PendingActions().push_back(PendingAction{this, Watch()});
    PostMessageA(handle_, CM_ACCESSIBLEACTION, 0, 0);
}

void TWinControl::RunAccessibleActions() {
    // One at a time: an action that opens a modal window holds the later ones until it has returned and
    // their form takes input again, where the modal loop would otherwise run them under the modal window.
    if (runningActions) return;
    runningActions = true;
    while (!PendingActions().empty()) {
        const PendingAction action = PendingActions().front();
        PendingActions().pop_front();
        // A window the user opened meanwhile may have disabled the control's form: the action lapses then,
        // as a click on a disabled form does.
        if (!action.watch || !action.control->Enabled() || !WindowTakesInput(action.control->handle_)) continue;
        base::Guarded([&] { action.control->Click(); });
    }
    runningActions = false;
}

}  // namespace ui
