// Prints the desktop wallpaper the system holds now and the style values beside it, so that a run of
// the program can be checked from outside:
//   Wallpaper: <path, empty when there is none>
//   WallpaperStyle: <value, or "(not set)">
//   TileWallpaper: <value, or "(not set)">
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

class RegistryKey {
public:
    RegistryKey(HKEY parent, const char* path) {
        if (RegOpenKeyExA(parent, path, 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // The value as text (the style values are strings); "(not set)" when it is missing or not a string.
    std::string Text(const char* name) const {
        char data[MAX_PATH + 1] = {};
        DWORD size = MAX_PATH;
        DWORD type = 0;
        if (!key_ ||
            RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return "(not set)";
        return data;
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace

int main() {
    char wallpaper[MAX_PATH + 1] = {};
    if (!SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, wallpaper, 0)) {
        std::fprintf(stderr, "SPI_GETDESKWALLPAPER failed: error %lu\n", GetLastError());
        return 1;
    }
    const RegistryKey desktop(HKEY_CURRENT_USER, "Control Panel\\Desktop");
    std::printf("Wallpaper: %s\n", wallpaper);
    std::printf("WallpaperStyle: %s\n", desktop.Text("WallpaperStyle").c_str());
    std::printf("TileWallpaper: %s\n", desktop.Text("TileWallpaper").c_str());
    return 0;
}
