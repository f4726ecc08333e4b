// The picture files of the wallpaper run: listing a directory's pictures and choosing the next wallpaper
// from the directory or from the picture list.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/StringList.h"
#include "core/Settings.h"

namespace core {

// The path with one backslash appended unless it already ends in one. Throws base::ERangeError for an
// empty path.
std::string AddTrailingBackslash(const std::string& path);

// Fills the list with the names (without path) of the directory's entries that match the mask, sorted in
// the locale's case-insensitive order. Hidden, system and volume-label entries and directories are left
// out unless their attribute is in `attributes`. A directory that cannot be searched lists nothing.
void FindPictureFiles(const std::string& dir, const std::string& mask, DWORD attributes, base::TStringList& list);

// "CENTER", "STRETCH" or "TILE" for display styles 0, 1 and 2; the empty name for any other value.
std::string StyleName(int32_t displayStyle);

// What the next swap shows: the picture's path and the style name for the desktop.
struct WallpaperChoice {
    std::string Path;
    std::string StyleName;
};

// The picture at settings.NextImage in the sorted listing of settings.PictureDir over the enabled
// picture types, with settings.DisplayStyle. A NextImage past the listing (or negative) is set to 0 in
// settings first. Throws base::ERangeError for an empty PictureDir when a type is enabled, and
// base::EListError for index 0 when nothing is listed.
WallpaperChoice ChooseFromDirectory(TSettings& settings);

// The picture list's entry at settings.NextImage with the entry's own style. A NextImage outside the list
// (which ends at its first empty name) is set to 0 in settings first; an empty list thus gives slot 0's
// empty name.
WallpaperChoice ChooseFromList(TSettings& settings);

}  // namespace core
