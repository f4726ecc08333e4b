// Times the directory mode's listing and choice of the next picture on large folders: the file search alone,
// the program's choice (search, one sort key per name, selection of the one position), and a full sort of the
// listing by sort keys and by one locale comparison per pair. Run by tools/bench/run.sh; the figures are the
// best of three rounds, in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/PictureFiles.h"
#include "ui/StringList.h"

namespace {

const char* const kMasks[] = {"*.bmp", "*.gif", "*.jpg", "*.jpeg", "*.png"};

double Milliseconds(const std::function<void()>& work) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    double best = 0;
    for (int round = 0; round < 3; ++round) {
        QueryPerformanceCounter(&start);
        work();
        QueryPerformanceCounter(&end);
        const double elapsed = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
        if (round == 0 || elapsed < best) best = elapsed;
    }
    return best;
}

// The names the directory mode gathers: every mask of every type, in the order the search gives them.
ui::TStringList UnsortedListing(const std::string& dir) {
    ui::TStringList names;
    for (const char* mask : kMasks) {
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((core::AddTrailingBackslash(dir) + mask).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            if ((found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY)) ==
                0)
                names.Add(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("%-10s %8s %12s %12s %14s %16s\n", "pictures", "listed", "listing ms", "choice ms", "key sort ms",
                "compare sort ms");
    for (int i = 1; i < argc; ++i) {
        const std::string dir = argv[i];
        int listed = 0;
        const double listing = Milliseconds([&] { listed = UnsortedListing(dir).Count(); });

        core::TSettings settings;
        settings.PictureDir = dir;
        settings.BMPtype = settings.GIFtype = settings.JPGtype = settings.PNGtype = true;
        const double choice = Milliseconds([&] {
            settings.NextImage = listed / 2;
            core::ChooseFromDirectory(settings);
        });

        // The whole listing put in order with one sort key per name.
        const double keySort = Milliseconds([&] { UnsortedListing(dir).Sort(); });

        // The same listing ordered with one locale comparison per pair of names.
        const double compareSort = Milliseconds([&] {
            ui::TStringList names = UnsortedListing(dir);
            std::vector<std::string> items(names.begin(), names.end());
            std::sort(items.begin(), items.end(),
                      [](const std::string& a, const std::string& b) { return ui::CompareTextLocale(a, b) < 0; });
        });

        const char* slash = std::strrchr(argv[i], '\\');
        std::printf("%-10s %8d %12.0f %12.0f %14.0f %16.0f\n", slash != nullptr ? slash + 1 : argv[i], listed, listing,
                    choice, keySort, compareSort);
    }
    return 0;
}
