#include "support/Keys.h"

#include "base/Boundary.h"

namespace testing_support {

HeldKeys::HeldKeys(std::initializer_list<int> keys) {
    GetKeyboardState(saved_);
    BYTE state[256];
    GetKeyboardState(state);
    for (int key : keys) state[key] = 0x80;
    SetKeyboardState(state);
}

HeldKeys::~HeldKeys() { SetKeyboardState(saved_); }

void TypeKey(WPARAM key, std::initializer_list<int> held, HWND window) {
    const HeldKeys keys(held);
    PostMessageA(window != nullptr ? window : GetFocus(), WM_KEYDOWN, key, 1);
    ui::DispatchWaitingMessages();
}

}  // namespace testing_support
