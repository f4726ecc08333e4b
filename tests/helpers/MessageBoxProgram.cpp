// A stand-in program for the automation helper's own tests. Arguments:
//   EXITCODE [CAPTION TEXT]...  shows one error box per caption and text, in order, then exits with EXITCODE
//   cwd                         shows one box whose text is the current directory, then exits with 0
//   hang                        never ends
#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 2) return 2;
    const std::string mode = __argv[1];
    if (mode == "hang") {
        Sleep(INFINITE);
        return 3;
    }
    if (mode == "cwd") {
        char directory[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, directory);
        MessageBoxA(nullptr, directory, "cwd", MB_OK);
        return 0;
    }
    for (int i = 2; i + 1 < __argc; i += 2) MessageBoxA(nullptr, __argv[i + 1], __argv[i], MB_OK | MB_ICONERROR);
    return std::atoi(mode.c_str());
}
