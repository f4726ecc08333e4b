#include "core/PictureFiles.h"

#include <algorithm>
#include <vector>

#include "base/SysUtils.h"

namespace core {

namespace {

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// Volume labels have no named constant in today's headers; a file search may still report the attribute.
constexpr DWORD kVolumeLabelAttribute = 0x00000008;
constexpr DWORD kSpecialAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY | kVolumeLabelAttribute;

// Appends the names matching the pattern in the order the search delivers them. The system's search
// decides how names match the mask. The search is the wide one: where the code page cannot hold a name (a
// system without the UTF-8 code page), the single-byte search would give the best fit, a name that does
// not exist ("Omega.bmp" for "Ωmega.bmp"); such a name is listed by its short name where the volume gives
// one, and passed over otherwise.
void AppendMatches(const std::string& pattern, DWORD attributes, base::TStringList& list) {
    WIN32_FIND_DATAW found;
    const FindHandle search(FindFirstFileW(base::WideText(pattern).c_str(), &found));
    if (!search.IsValid()) return;
    const DWORD excluded = kSpecialAttributes & ~attributes;
    do {
        if ((found.dwFileAttributes & excluded) != 0) continue;
        std::string name = base::NarrowText(found.cFileName);
        if (name.empty()) name = base::NarrowText(found.cAlternateFileName);
        if (!name.empty()) list.Add(name);
    } while (FindNextFileW(search.Get(), &found));
}

struct PictureType {
    bool TSettings::*Enabled;
    const char* Masks[2];
};
constexpr PictureType kPictureTypes[] = {{&TSettings::BMPtype, {"*.bmp", nullptr}},
                                         {&TSettings::GIFtype, {"*.gif", nullptr}},
                                         {&TSettings::JPGtype, {"*.jpg", "*.jpeg"}},
                                         {&TSettings::PNGtype, {"*.png", nullptr}}};

// The name at the given position of the list in its sorted order, without ordering the rest: one sort
// key per name and a selection over them. Names that compare equal are ordered by their bytes, as
// TStringList::Sort orders them.
const std::string& NthInSortedOrder(const base::TStringList& names, int position) {
    struct Keyed {
        std::string Key;
        int Index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(static_cast<size_t>(names.Count()));
    for (int i = 0; i < names.Count(); ++i) keyed.push_back({base::LocaleSortKey(names[i]), i});
    const auto nth = keyed.begin() + position;
    std::nth_element(keyed.begin(), nth, keyed.end(), [&names](const Keyed& a, const Keyed& b) {
        const int byKey = a.Key.compare(b.Key);
        return byKey != 0 ? byKey < 0 : names[a.Index] < names[b.Index];
    });
    return names[nth->Index];
}

}  // namespace

std::string AddTrailingBackslash(const std::string& path) {
    if (path.empty()) throw base::ERangeError();
    return path.back() == '\\' ? path : path + '\\';
}

void FindPictureFiles(const std::string& dir, const std::string& mask, DWORD attributes, base::TStringList& list) {
    list.Clear();
    AppendMatches(AddTrailingBackslash(dir) + mask, attributes, list);
    list.Sort();
}

std::string StyleName(int32_t displayStyle) {
    switch (displayStyle) {
        case 0:
            return "CENTER";
        case 1:
            return "STRETCH";
        case 2:
            return "TILE";
        default:
            return "";
    }
}

WallpaperChoice ChooseFromDirectory(TSettings& settings) {
    // All enabled types are gathered unsorted and ordered once together: sorting each mask's names first
    // would only repeat work on large directories.
    base::TStringList names;
    for (const PictureType& type : kPictureTypes) {
        if (!(settings.*type.Enabled)) continue;
        for (const char* mask : type.Masks) {
            if (mask != nullptr) AppendMatches(AddTrailingBackslash(settings.PictureDir) + mask, 0, names);
        }
    }
    if (settings.NextImage < 0 || settings.NextImage > names.Count() - 1) settings.NextImage = 0;
    if (names.IsEmpty()) throw base::EListError(0);
    return {AddTrailingBackslash(settings.PictureDir) + NthInSortedOrder(names, settings.NextImage),
            StyleName(settings.DisplayStyle)};
}

WallpaperChoice ChooseFromList(TSettings& settings) {
    // A slot behind the first empty name is not in the list, though a read may have filled it: the setup
    // dialog never shows it and the next save drops it.
    if (settings.NextImage < 0 || settings.NextImage >= settings.PictureList.Count()) settings.NextImage = 0;
    const PictureEntry& entry = settings.PictureList.Items[settings.NextImage];
    return {entry.Name(), StyleName(entry.DisplayStyle)};
}

}  // namespace core
