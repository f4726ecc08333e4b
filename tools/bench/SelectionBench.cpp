// Times the directory mode's listing and choice of the next picture on large folders: the file search alone,
// the same search through the extended call that skips short names and asks for large batches, the
// program's choice (search, one sort key per name, selection of the one position), and a full sort of the
// listing by sort keys and by one locale comparison per pair. Run by tools/bench/run.sh; the figures are the
// best of three rounds, in milliseconds (the two searches take turns, five rounds each).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/StringList.h"
#include "core/PictureFiles.h"

namespace {

const char* const kMasks[] = {"*.bmp", "*.gif", "*.jpg", "*.jpeg", "*.png"};

double Once(const std::function<void()>& work) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Milliseconds(const std::function<void()>& work) {
    double best = Once(work);
    for (int round = 1; round < 3; ++round) best = std::min(best, Once(work));
    return best;
}

using SearchStart = HANDLE (*)(const std::string& pattern, WIN32_FIND_DATAA& found);

HANDLE PlainSearch(const std::string& pattern, WIN32_FIND_DATAA& found) {
    return FindFirstFileA(pattern.c_str(), &found);
}

// Without short names, in large batches, where the system knows both (Windows 7 on).
HANDLE BasicLargeFetchSearch(const std::string& pattern, WIN32_FIND_DATAA& found) {
    return FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                            FIND_FIRST_EX_LARGE_FETCH);
}

// The names the directory mode gathers: every mask of every type, in the order the search gives them.
base::TStringList UnsortedListing(const std::string& dir, SearchStart start = PlainSearch) {
    base::TStringList names;
    for (const char* mask : kMasks) {
        WIN32_FIND_DATAA found;
        const HANDLE search = start(core::AddTrailingBackslash(dir) + mask, found);
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
    std::printf("%-12s %8s %12s %15s %12s %14s %16s\n", "pictures", "listed", "listing ms", "basic+large ms",
                "choice ms", "key sort ms", "compare sort ms");
    for (int i = 1; i < argc; ++i) {
        const std::string dir = argv[i];
        base::TStringList plain, extended;
        double listing = 1e9, extendedListing = 1e9;
        for (int round = 0; round < 5; ++round) {
            listing = std::min(listing, Once([&] { plain = UnsortedListing(dir); }));
            extendedListing =
                std::min(extendedListing, Once([&] { extended = UnsortedListing(dir, BasicLargeFetchSearch); }));
        }
        const int listed = plain.Count();
        plain.Sort();
        extended.Sort();
        const bool same = std::equal(plain.begin(), plain.end(), extended.begin(), extended.end());

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
            base::TStringList names = UnsortedListing(dir);
            std::vector<std::string> items(names.begin(), names.end());
            std::sort(items.begin(), items.end(),
                      [](const std::string& a, const std::string& b) { return base::CompareTextLocale(a, b) < 0; });
        });

        const char* slash = std::strrchr(argv[i], '\\');
        std::printf("%-12s %8d %12.0f %15.0f %12.0f %14.0f %16.0f%s\n", slash != nullptr ? slash + 1 : argv[i], listed,
                    listing, extendedListing, choice, keySort, compareSort,
                    same ? "" : "   (the two searches listed different names)");
    }
    return 0;
}
