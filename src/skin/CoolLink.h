// The skinned link: a window in the tab order around the labels that show it.
#pragma once

#include <optional>
#include <string>

#include "skin/CoolControl.h"
#include "ui/Controls.h"

namespace skin {

// A link that the keyboard and a screen reader reach: its window takes the focus, Enter, Space and a
// reader's action act as a click on it, and a reader reads it as a link named by the label whose focus
// control it is. Its labels are its children and keep the mouse: a click on them is theirs. It paints
// what its parent shows under it and its labels over that, so it looks as the labels alone would, with
// a focus frame while it has the focus.
class TCoolLink : public ui::TCustomControl, public TCoolControl {
public:
    explicit TCoolLink(base::TComponent* owner);

    long AccessibleRole(int child) const override;
    long AccessibleState(int child) const override;
    std::optional<std::string> AccessibleDefaultAction(int child) const override;
    void DoAccessibleDefaultAction(int child) override { PostAccessibleAction(); }

    void WndProc(ui::TMessage& message) override;

protected:
    const char* ClassName() const override { return "TCoolLink"; }
    // Enter is the link's own, not the default button's.
    LRESULT DialogCode(const MSG* message) override;
    void EraseBackground(HDC dc) override;
    void Paint() override;
};

}  // namespace skin
