// The mark of the skinned ("Cool") controls.
#pragma once

#include "ui/Controls.h"

namespace skin {

// Every skinned control class derives from this, and only they: a control with the mark is one of them,
// whatever its class is called.
class TCoolControl {
protected:
    TCoolControl() = default;
    ~TCoolControl() = default;
};

// Whether the control is one of the skinned classes.
inline bool IsCoolControl(const ui::TControl* control) {
    return dynamic_cast<const TCoolControl*>(control) != nullptr;
}

}  // namespace skin
