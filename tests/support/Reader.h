// What a screen reader reads of a window's client object, from whichever process calls (COM initialised).
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

namespace testing_support {

// Role -1 for a window without an object; children only for the window itself (CHILDID_SELF).
struct ReadElement {
    long role = -1, state = 0, children = 0;
    std::string name, value, action;
};
ReadElement ReadAccessible(HWND window, long child = CHILDID_SELF);

}  // namespace testing_support
