// Opens a help file the way the program's help bridge does, then closes every help window again.
//   help_probe FILE COMMAND DATA    (COMMAND and DATA in decimal, as HtmlHelpA takes them)
// Exits with 0 when HTML Help showed a window, 1 when it did not, 2 on wrong arguments. Which topic the
// window went to is for the caller to read from HTML Help's own trace.
#include <windows.h>

#include <htmlhelp.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc != 4) return 2;
    const UINT command = static_cast<UINT>(std::strtoul(__argv[2], nullptr, 10));
    const DWORD_PTR data = static_cast<DWORD_PTR>(std::strtoul(__argv[3], nullptr, 10));
    const HWND help = HtmlHelpA(nullptr, __argv[1], command, data);
    const bool shown = help != nullptr && IsWindowVisible(help);
    // Nothing of the probe may stay on the desktop that the other tests share.
    HtmlHelpA(nullptr, nullptr, HH_CLOSE_ALL, 0);
    return shown ? 0 : 1;
}
