// Keys as a user types them, for tests on real windows: posted key messages go through the thread's
// message loop (and so through the dialog keyboard), but do not change the key state that the program
// reads with GetKeyState, so the modifiers are held through the thread's keyboard state meanwhile.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>

namespace testing_support {

// Holds the keys (VK_ codes) down in the thread's keyboard state for its life, then lets them go.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<int> keys);
    ~HeldKeys();
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE saved_[256] = {};
};

// Posts the key to the window (the focused one by default) with the modifiers held, and dispatches what
// the thread's queue holds until it is empty.
void TypeKey(WPARAM key, std::initializer_list<int> held = {}, HWND window = nullptr);

// Types the text as an input method or an on-screen keyboard sends it (Unicode keys of SendInput, a UTF-16
// unit each) to the focused window of the top window, brought to the front; dispatches until `typed` holds
// (a test failure when it does not within seconds).
void TypeUnicode(HWND top, const std::wstring& text, const std::function<bool()>& typed);

// Pastes the text into the field through the clipboard, as Ctrl+V does.
void Paste(HWND field, const std::wstring& text);

}  // namespace testing_support
