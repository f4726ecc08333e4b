#include "support/Keys.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/Boundary.h"

namespace testing_support {

HeldKeys::HeldKeys(std::initializer_list<int> keys) {
    GetKeyboardState(saved_);
    BYTE state[256];
    GetKeyboardState(state);
    for (int key : keys) state[key] = 0x80;
    SetKeyboardState(state);
}

HeldKeys::~HeldKeys() {
    SetKeyboardState(saved_);
}

void TypeKey(WPARAM key, std::initializer_list<int> held, HWND window) {
    const HeldKeys keys(held);
    PostMessageA(window != nullptr ? window : GetFocus(), WM_KEYDOWN, key, 1);
    base::DispatchWaitingMessages();
}

void TypeUnicode(HWND top, const std::wstring& text, const std::function<bool()>& typed) {
    SetForegroundWindow(top);
    std::vector<INPUT> keys;
    for (const wchar_t unit : text) {
        for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT key{};
            key.type = INPUT_KEYBOARD;
            key.ki.wScan = unit;
            key.ki.dwFlags = KEYEVENTF_UNICODE | up;
            keys.push_back(key);
        }
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
    const ULONGLONG start = GetTickCount64();
    while (!typed() && GetTickCount64() - start < 10000) {
        base::DispatchWaitingMessages();
        if (!typed()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    if (!typed()) ADD_FAILURE() << "the typed keys did not arrive as expected";
}

void Paste(HWND field, const std::wstring& text) {
    if (!OpenClipboard(field)) {
        ADD_FAILURE() << "the clipboard could not be opened";
        return;
    }
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    SendMessageW(field, WM_PASTE, 0, 0);
}

}  // namespace testing_support
