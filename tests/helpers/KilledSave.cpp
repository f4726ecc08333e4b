// Saves the settings file named first on its command line as the program does, with its first two entries
// swapped, and is killed (exit code 7) right after the step of the save that the second argument counts:
// 1 the copy written whole, 2 the copy in the file's place.
#include <windows.h>

#include <cstdlib>
#include <utility>

#include "base/IniFileUpdate.h"
#include "core/Settings.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const core::IniFileOverride file(argv[1]);
    const int step = std::atoi(argv[2]);
    int steps = 0;
    try {
        core::ReadIniSettings();
        std::swap(core::Settings.PictureList.Items[0], core::Settings.PictureList.Items[1]);
        const base::IniWriteHook killed([&] {
            if (++steps == step) TerminateProcess(GetCurrentProcess(), 7);
        });
        core::WriteIniSettings();
    } catch (...) {
        return 3;
    }
    return 0;
}
