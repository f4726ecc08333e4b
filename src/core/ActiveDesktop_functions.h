// The desktop wallpaper, its style and the Active Desktop switch, changed through the shell's Active Desktop
// object. Each routine creates a desktop object of its own and releases it before it returns, so nothing is
// shared between calls. COM must already be initialised on the calling thread.
//
// Creation failures raise EOleSysError, an object without IActiveDesktop raises EOleError ("Interface not
// supported"). The results of the desktop's own methods are not examined, with one exception: where the
// platform's object answers E_NOTIMPL to SetWallpaper or SetWallpaperOptions (it has no working Active
// Desktop, as under Wine), the same change is made through the system's wallpaper setting instead, with the
// same path and the same limit.
#pragma once

#include <string>

#include "base/SysUtils.h"

namespace core {

// A wallpaper path the desktop can never take: no later run would set it either.
class EWallpaperPathTooLong : public base::Exception {
public:
    using base::Exception::Exception;
};

// True when Active Desktop is switched on.
bool ActiveDesktopEnabled();

// Switches Active Desktop on or off, keeping the desktop components' setting, and applies the change.
void EnableActiveDesktop(bool on);

// Makes the file at the path (system ANSI code page) the wallpaper and applies it at once. An empty path
// is passed on as it is. A path longer than 259 UTF-16 units is refused with EWallpaperPathTooLong before
// the desktop is touched: the desktop object and the system's setting take at most MAX_PATH units with the
// terminator.
void ApplyWallpaper(const std::string& path);

// Shows the wallpaper with the named style and applies it at once: "CENTER", "STRETCH", "TILE" or "MAX",
// compared exactly. Any other name leaves the style as it is and makes no desktop call at all.
void ApplyWallpaperStyle(const std::string& styleName);

}  // namespace core
