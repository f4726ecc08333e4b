// Closes a top-level window by its caption, as its close box would: waits up to the given seconds for the
// window to show, then posts WM_CLOSE. Exits with 0 when it closed one, 1 when none came.
//   CloseWindow.exe CAPTION [SECONDS]
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const DWORD seconds = argc > 2 ? static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)) : 20;
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < seconds * 1000ULL) {
        HWND window = FindWindowA(nullptr, argv[1]);
        if (window != nullptr && IsWindowVisible(window)) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        Sleep(50);
    }
    return 1;
}
