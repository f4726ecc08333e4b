// The floor of a run's cost: what any program pays that shows a borderless topmost window of the splash's
// size, waits the three pauses of a run that is not due (dispatching messages as the splash's pauses do)
// and closes. tools/bench/run-cost.sh runs it beside the real program; the difference is what the run's
// own work costs.
#include <windows.h>

#include "core/WindowRoutines.h"

namespace {

constexpr int kWidth = 324;
constexpr int kHeight = 151;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
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
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    for (int pause = 0; pause < 3; ++pause) core::DelayHundredths(50);
    DestroyWindow(window);
    return 0;
}
