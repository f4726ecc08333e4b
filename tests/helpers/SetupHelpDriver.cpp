// Asks the running program's setup dialog for help as a user would, twice: its Help button, then F1. Each
// time a help window of the program must come up in front of the dialog; it is closed again, and at the
// end the dialog is cancelled. Which topic each window went to is for the caller to read from HTML
// Help's trace. Exits with 0 when both help windows came in front of the dialog, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kWaitMs = 20000;

HWND FindTop(DWORD process, const char* className, const char* caption) {
    for (HWND at = GetTopWindow(nullptr); at != nullptr; at = GetWindow(at, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(at, &owner);
        char name[64] = {};
        GetClassNameA(at, name, sizeof name);
        char text[256] = {};
        GetWindowTextA(at, text, sizeof text);
        if ((process == 0 || owner == process) && IsWindowVisible(at) &&
            (className == nullptr || std::string(name) == className) &&
            (caption == nullptr || std::string(text) == caption))
            return at;
    }
    return nullptr;
}

template <typename Find>
HWND WaitFor(Find find) {
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < kWaitMs) {
        if (HWND found = find()) return found;
        Sleep(20);
    }
    return nullptr;
}

struct ButtonSearch {
    std::string caption;
    HWND found;
};

BOOL CALLBACK MatchButton(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<ButtonSearch*>(param);
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    if (search.caption == text) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND Button(HWND dialog, const char* caption) {
    ButtonSearch search{caption, nullptr};
    EnumChildWindows(dialog, MatchButton, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int ZOrderOf(HWND window) {
    int place = 0;
    for (HWND at = GetTopWindow(nullptr); at != nullptr; at = GetWindow(at, GW_HWNDNEXT), ++place) {
        if (at == window) return place;
    }
    return -1;
}

// Waits for a help window of the program, tells whether it lies in front of the dialog, and closes it.
bool HelpCameInFront(DWORD process, HWND dialog, const char* how) {
    HWND help = WaitFor([&] { return FindTop(process, "HH Parent", nullptr); });
    const bool inFront = help != nullptr && ZOrderOf(help) < ZOrderOf(dialog);
    std::printf("%s: %s\n", how, help == nullptr ? "no help window" : inFront ? "in front of the dialog" : "behind");
    if (help != nullptr) {
        PostMessageA(help, WM_CLOSE, 0, 0);
        WaitFor([&] { return IsWindow(help) ? nullptr : dialog; });
    }
    return inFront;
}

}  // namespace

int main() {
    HWND dialog = WaitFor([] { return FindTop(0, nullptr, "Tamberlyn Setup"); });
    if (dialog == nullptr) {
        std::printf("no setup dialog\n");
        return 1;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(dialog, &process);
    // Posted, as a click and a key come: the dialog's help may keep it busy until the help window is open.
    PostMessageA(Button(dialog, "Help"), BM_CLICK, 0, 0);
    const bool button = HelpCameInFront(process, dialog, "Help button");
    PostMessageA(Button(dialog, "Refresh"), WM_KEYDOWN, VK_F1, 1);
    const bool key = HelpCameInFront(process, dialog, "F1");
    PostMessageA(Button(dialog, "Cancel"), BM_CLICK, 0, 0);
    std::fflush(stdout);
    return button && key ? 0 : 1;
}
