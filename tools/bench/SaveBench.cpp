// Times the settings file's writes as the program makes them: the setup dialog's Save of a list of 200
// entries over a file that already holds one, and the run's record of a change. Run by
// tools/bench/save.sh; the figures are milliseconds of wall-clock time per write (best and median over
// the rounds), on the machine's real file system.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/SysUtils.h"
#include "core/Settings.h"

namespace {

constexpr int kRounds = 25;

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

template <typename Write>
void Report(const char* what, Write write) {
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        write(round);
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end));
    }
    std::sort(times.begin(), times.end());
    std::printf("%-44s best %8.2f ms   median %8.2f ms\n", what, times.front(), times[times.size() / 2]);
}

}  // namespace

int main() {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string file = std::string(folder) + "SaveBench.ini";
    DeleteFileA(file.c_str());
    const core::IniFileOverride redirected(file);
    core::TSettings& settings = core::Settings;
    settings.Mode = 1;
    settings.ChangeWhen = 1;
    settings.PictureDir = "C:\\Users\\Someone\\Pictures\\Wallpapers\\";
    for (int i = 0; i < core::kPictureListSize; ++i) {
        settings.PictureList.Items[i].SetName("C:\\Users\\Someone\\Pictures\\Holidays\\Picture number " +
                                              std::to_string(i) + ".bmp");
        settings.PictureList.Items[i].DisplayStyle = i % 3;
    }
    try {
        core::WriteIniSettings();
        Report("Save, 200 entries over 200", [&](int round) {
            // Every round saves another order, as a user who moved an entry would.
            std::swap(settings.PictureList.Items[round % 199], settings.PictureList.Items[round % 199 + 1]);
            core::WriteIniSettings();
        });
        Report("Record of a change, over 200 entries", [](int) { core::MarkWallpaperChanged(); });
    } catch (const base::Exception& error) {
        std::printf("failed: %s\n", error.Message().c_str());
        return 1;
    }
    DeleteFileA(file.c_str());
    return 0;
}
