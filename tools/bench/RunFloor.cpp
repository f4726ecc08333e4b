// The floor of a run's cost: what any program pays that shows a borderless topmost window of the splash's
// size, waits the three pauses of a run that is not due (dispatching messages as the splash's pauses do)
// and closes. tools/bench/run-cost.sh runs it beside the real program; the difference is what the run's
// own work costs.
//
// With the argument "/bar" the window also holds the splash's standard progress bar, in the classic look
// the program gives it, stepped and painted where a run steps it: what the common controls and that one
// control cost, whoever builds the rest of the splash.
#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "core/WindowRoutines.h"

namespace {

constexpr int kWidth = 324;
constexpr int kHeight = 151;

// Loaded only for the bar: the plain floor must not pay for libraries it does not use.
HWND CreateBar(HWND window, HINSTANCE instance) {
    using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    using SetTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    HMODULE controls = LoadLibraryA("comctl32.dll");
    HMODULE themes = LoadLibraryA("uxtheme.dll");
    if (controls == nullptr || themes == nullptr) return nullptr;
    auto initControls = reinterpret_cast<InitControls>(GetProcAddress(controls, "InitCommonControlsEx"));
    auto setTheme = reinterpret_cast<SetTheme>(GetProcAddress(themes, "SetWindowTheme"));
    if (initControls == nullptr || setTheme == nullptr) return nullptr;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    initControls(&classes);
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 32, 84 + 3, 261, 28, window,
                               nullptr, instance, nullptr);
    if (bar == nullptr) return nullptr;
    setTheme(bar, L" ", L" ");
    // The theme is set after the bar's creation here, so its frame is made again for the classic edge.
    SetWindowPos(bar, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(bar, PBM_SETRANGE32, 0, 100);
    SendMessageA(bar, PBM_SETSTEP, 20, 0);
    return bar;
}

void Step(HWND bar) {
    if (bar == nullptr) return;
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    UpdateWindow(bar);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "RunFloor";
    if (!RegisterClassA(&windowClass)) return 1;
    HWND window = CreateWindowExA(
        WS_EX_TOPMOST, "RunFloor", "Tamberlyn", WS_POPUP, (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2,
        (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    const bool withBar = std::strcmp(commandLine, "/bar") == 0;
    HWND bar = withBar ? CreateBar(window, instance) : nullptr;
    if (withBar && bar == nullptr) return 1;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    // The run's steps: 20 and a pause, 40 and a pause, 60 and 80 at once, 100 and the last pause.
    Step(bar);
    core::DelayHundredths(50);
    Step(bar);
    core::DelayHundredths(50);
    Step(bar);
    Step(bar);
    Step(bar);
    core::DelayHundredths(50);
    DestroyWindow(window);
    return 0;
}
