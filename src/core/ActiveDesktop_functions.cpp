#include "core/ActiveDesktop_functions.h"

#include <windows.h>
#include <wininet.h>

// MinGW's shlobj.h declares IActiveDesktop and its option records only when wininet.h came first.
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "base/SysUtils.h"
#include "core/ComSupport.h"

namespace core {

namespace {

constexpr DWORD kApplyEverything = AD_APPLY_SAVE | AD_APPLY_HTMLGEN | AD_APPLY_REFRESH | AD_APPLY_FORCE;
static_assert(kApplyEverything == 15, "every change is saved, regenerated, refreshed and forced");
static_assert(sizeof(COMPONENTSOPT) == 12 && sizeof(WALLPAPEROPT) == 8, "the records' sizes the desktop checks");

constexpr int kWallpaperUnits = MAX_PATH;

// The names the picture selection passes on. "MAX" is the style count of the first SDK that had these
// styles; later headers moved WPSTYLE_MAX along with new styles, so its number is spelled out.
struct NamedStyle {
    const char* Name;
    DWORD Style;
};
constexpr NamedStyle kNamedStyles[] = {
    {"CENTER", WPSTYLE_CENTER}, {"STRETCH", WPSTYLE_STRETCH}, {"TILE", WPSTYLE_TILE}, {"MAX", 3}};

// One desktop object for the length of one routine. Both references are held to the end and released on
// every way out, the typed one first.
struct DesktopObject {
    ComPtr<IUnknown> Unknown;
    ComPtr<IActiveDesktop> Desktop;

    IActiveDesktop* operator->() const { return Desktop.Get(); }
};

DesktopObject CreateDesktopObject() {
    DesktopObject object;
    const HRESULT created = CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                             IID_IUnknown, object.Unknown.Put());
    if (FAILED(created)) throw EOleSysError(created);
    if (FAILED(object.Unknown->QueryInterface(IID_IActiveDesktop, object.Desktop.Put())))
        throw EOleError("Interface not supported");
    return object;
}

COMPONENTSOPT ReadComponentsOptions(const DesktopObject& object) {
    COMPONENTSOPT options{};
    options.dwSize = sizeof(options);
    object->GetDesktopItemOptions(&options, 0);
    return options;
}

// The path as the desktop takes it: UTF-16 in a zero-filled buffer of MAX_PATH units, so it always ends in
// a zero unit.
std::vector<wchar_t> WallpaperBuffer(const std::string& path) {
    std::vector<wchar_t> buffer(kWallpaperUnits, L'\0');
    if (path.empty()) return buffer;
    const int length = static_cast<int>(path.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, path.data(), length, nullptr, 0);
    if (units == 0) throw base::EOSError(GetLastError());
    if (units > kWallpaperUnits - 1)
        throw EWallpaperPathTooLong("Wallpaper path too long (more than 259 characters): \"" + path + "\"");
    MultiByteToWideChar(CP_ACP, 0, path.data(), length, buffer.data(), units);
    return buffer;
}

class RegistryKey {
public:
    explicit RegistryKey(HKEY key) : key_(key) {}
    ~RegistryKey() { RegCloseKey(key_); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    void SetString(const char* name, const char* value) const {
        const LONG result = RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                           static_cast<DWORD>(std::strlen(value) + 1));
        if (result != ERROR_SUCCESS) throw base::EOSError(static_cast<DWORD>(result));
    }

private:
    HKEY key_;
};

RegistryKey OpenDesktopSettings() {
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                                        nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) throw base::EOSError(static_cast<DWORD>(result));
    return RegistryKey(key);
}

// The system's own wallpaper setting, for a platform whose desktop object has no Active Desktop behind it.
// Wide, as the desktop object takes it: the same paths on both routes. (Wine's single-byte setting cuts the
// path at 255 characters, and its single-byte reading wants MAX_PATH bytes, which a path of 260 UTF-8 bytes
// overflows.)
void SetSystemWallpaper(const wchar_t* path) {
    if (!SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(path),
                               SPIF_UPDATEINIFILE | SPIF_SENDCHANGE))
        throw base::EOSError(GetLastError());
}

// The registry strings from which the shell takes the style when the wallpaper is set.
struct SystemStyle {
    DWORD Style;
    const char* WallpaperStyle;
    const char* TileWallpaper;
};
constexpr SystemStyle kSystemStyles[] = {
    {WPSTYLE_CENTER, "0", "0"}, {WPSTYLE_TILE, "0", "1"}, {WPSTYLE_STRETCH, "2", "0"}};

// The shell reads the style only when the wallpaper is set, so the wallpaper the system holds is set again
// for the new style to show. A style without registry strings ("MAX") changes nothing.
void SetSystemWallpaperStyle(DWORD style) {
    for (const SystemStyle& system : kSystemStyles) {
        if (system.Style != style) continue;
        {
            const RegistryKey key = OpenDesktopSettings();
            key.SetString("WallpaperStyle", system.WallpaperStyle);
            key.SetString("TileWallpaper", system.TileWallpaper);
        }
        std::vector<wchar_t> current(kWallpaperUnits + 1, L'\0');
        if (!SystemParametersInfoW(SPI_GETDESKWALLPAPER, kWallpaperUnits, current.data(), 0))
            throw base::EOSError(GetLastError());
        SetSystemWallpaper(current.data());
        return;
    }
}

}  // namespace

bool ActiveDesktopEnabled() {
    const DesktopObject object = CreateDesktopObject();
    return ReadComponentsOptions(object).fActiveDesktop != 0;
}

void EnableActiveDesktop(bool on) {
    const DesktopObject object = CreateDesktopObject();
    COMPONENTSOPT options = ReadComponentsOptions(object);
    options.fActiveDesktop = on ? -1 : 0;
    object->SetDesktopItemOptions(&options, 0);
    object->ApplyChanges(kApplyEverything);
}

void ApplyWallpaper(const std::string& path) {
    const std::vector<wchar_t> buffer = WallpaperBuffer(path);
    const DesktopObject object = CreateDesktopObject();
    const HRESULT set = object->SetWallpaper(buffer.data(), 0);
    object->ApplyChanges(kApplyEverything);
    if (set == E_NOTIMPL) SetSystemWallpaper(buffer.data());
}

void ApplyWallpaperStyle(const std::string& styleName) {
    const NamedStyle* named = nullptr;
    for (const NamedStyle& candidate : kNamedStyles) {
        if (styleName == candidate.Name) {
            named = &candidate;
            break;
        }
    }
    if (named == nullptr) return;
    const DesktopObject object = CreateDesktopObject();
    WALLPAPEROPT options{};
    options.dwSize = sizeof(options);
    options.dwStyle = named->Style;
    const HRESULT set = object->SetWallpaperOptions(&options, 0);
    object->ApplyChanges(kApplyEverything);
    if (set == E_NOTIMPL) SetSystemWallpaperStyle(named->Style);
}

}  // namespace core
