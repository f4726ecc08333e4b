#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/SysUtils.h"
#include "core/ActiveDesktop_functions.h"
#include "core/ComSupport.h"
#include "fakes/RecordingDesktop.h"
#include "support/TempDir.h"

namespace {

using fakes::DesktopCall;
using Sequence = std::vector<std::string>;

class ComApartment {
public:
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

// Every test talks to a fresh recording desktop registered for this thread.
class ActiveDesktop : public ::testing::Test {
protected:
    fakes::DesktopJournal& Journal() { return desktop.Journal(); }
    fakes::DesktopState& State() { return desktop.Journal().State; }

    ComApartment apartment;
    fakes::InProcessDesktop desktop;
};

TEST_F(ActiveDesktop, SwitchingOnReadsTheOptionsAndWritesAllBitsKeepingComponents) {
    for (const BOOL components : {TRUE, FALSE}) {
        Journal() = fakes::DesktopJournal();
        State().EnableComponents = components;

        EXPECT_FALSE(core::ActiveDesktopEnabled());
        core::EnableActiveDesktop(true);

        EXPECT_EQ(Journal().Sequence(), (Sequence{"1:GetDesktopItemOptions", "2:GetDesktopItemOptions",
                                                  "2:SetDesktopItemOptions", "2:ApplyChanges"}));
        for (const DesktopCall& read : Journal().CallsOf("GetDesktopItemOptions")) {
            EXPECT_EQ(read.Components.dwSize, 12u);
            EXPECT_EQ(read.Argument, 0u);
        }
        const DesktopCall written = Journal().CallsOf("SetDesktopItemOptions").at(0);
        EXPECT_EQ(written.Components.dwSize, 12u);
        EXPECT_EQ(written.Components.fActiveDesktop, -1);
        EXPECT_EQ(written.Components.fEnableComponents, components);
        EXPECT_EQ(written.Argument, 0u);
        EXPECT_EQ(Journal().CallsOf("ApplyChanges").at(0).Argument, 15u);
        EXPECT_EQ(Journal().Alive, 0);
        EXPECT_TRUE(core::ActiveDesktopEnabled());
    }
}

TEST_F(ActiveDesktop, SwitchingOffWritesZero) {
    State().ActiveDesktop = -1;
    State().EnableComponents = TRUE;
    core::EnableActiveDesktop(false);
    const DesktopCall written = Journal().CallsOf("SetDesktopItemOptions").at(0);
    EXPECT_EQ(written.Components.fActiveDesktop, 0);
    EXPECT_EQ(written.Components.fEnableComponents, TRUE);
    EXPECT_FALSE(core::ActiveDesktopEnabled());
}

TEST_F(ActiveDesktop, ASwapUsesTwoObjectsThatAreGoneAfterwards) {
    State().Style = 1;
    core::ApplyWallpaper("C:\\Pictures\\a.bmp");
    core::ApplyWallpaperStyle("STRETCH");

    EXPECT_EQ(Journal().Sequence(),
              (Sequence{"1:SetWallpaper", "1:ApplyChanges", "2:SetWallpaperOptions", "2:ApplyChanges"}));
    EXPECT_EQ(Journal().Created, 2);
    EXPECT_EQ(Journal().Alive, 0);
    const DesktopCall wallpaper = Journal().CallsOf("SetWallpaper").at(0);
    EXPECT_EQ(wallpaper.Text, L"C:\\Pictures\\a.bmp");
    EXPECT_EQ(wallpaper.Argument, 0u);
    const DesktopCall options = Journal().CallsOf("SetWallpaperOptions").at(0);
    EXPECT_EQ(options.Options.dwSize, 8u);
    EXPECT_EQ(options.Argument, 0u);
    for (const DesktopCall& apply : Journal().CallsOf("ApplyChanges")) EXPECT_EQ(apply.Argument, 15u);
    EXPECT_EQ(State().Wallpaper, L"C:\\Pictures\\a.bmp");
    EXPECT_EQ(State().Style, 2u);
}

TEST_F(ActiveDesktop, StyleNamesAreMatchedExactly) {
    const struct {
        const char* name;
        DWORD style;
    } known[] = {{"CENTER", 0}, {"STRETCH", 2}, {"TILE", 1}, {"MAX", 3}};
    for (const auto& style : known) {
        Journal().Calls.clear();
        core::ApplyWallpaperStyle(style.name);
        ASSERT_EQ(Journal().CallsOf("SetWallpaperOptions").size(), 1u) << style.name;
        EXPECT_EQ(Journal().CallsOf("SetWallpaperOptions")[0].Options.dwStyle, style.style) << style.name;
    }

    // A name that matches none leaves the style alone without touching the desktop.
    const int created = Journal().Created;
    Journal().Calls.clear();
    for (const char* unknown : {"center", " CENTER", "CENTER ", "Tile", "", "STRETCHED"}) {
        core::ApplyWallpaperStyle(unknown);
    }
    EXPECT_TRUE(Journal().Calls.empty());
    EXPECT_EQ(Journal().Created, created);
}

TEST_F(ActiveDesktop, WallpaperPathArrivesWholeInAZeroFilledBuffer) {
    const std::string longest = "C:\\" + std::string(252, 'p') + ".bmp";
    ASSERT_EQ(longest.size(), 259u);
    core::ApplyWallpaper(longest);
    core::ApplyWallpaper("");

    const std::vector<DesktopCall> calls = Journal().CallsOf("SetWallpaper");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].Text, std::wstring(longest.begin(), longest.end()));
    EXPECT_TRUE(calls[0].Terminated);
    EXPECT_EQ(calls[1].Text, L"");
    EXPECT_TRUE(calls[1].Terminated);
    EXPECT_EQ(Journal().Alive, 0);
}

TEST_F(ActiveDesktop, WallpaperPathIsConvertedFromTheAnsiCodePage) {
    if (GetACP() != CP_UTF8) GTEST_SKIP() << "the example is for the program's UTF-8, this process uses " << GetACP();
    core::ApplyWallpaper("C:\\€ café Ωμέγα.bmp");
    EXPECT_EQ(Journal().CallsOf("SetWallpaper").at(0).Text, L"C:\\€ café Ωμέγα.bmp");
}

TEST_F(ActiveDesktop, PathLongerThanTheBufferIsRefusedBeforeTheDesktopIsTouched) {
    const std::string tooLong = "C:\\" + std::string(253, 'p') + ".bmp";
    ASSERT_EQ(tooLong.size(), 260u);
    std::string greek = "C:\\";
    for (int i = 0; i < 252; ++i) greek += "ω";
    EXPECT_NO_THROW(core::ApplyWallpaper(greek + ".bmp")) << "259 characters, 511 bytes";
    Journal() = fakes::DesktopJournal();
    EXPECT_THROW(core::ApplyWallpaper(tooLong), base::Exception);
    EXPECT_EQ(Journal().Created, 0);
    EXPECT_TRUE(Journal().Calls.empty());
}

// The four routines, for the failures every one of them reports the same way.
const std::vector<std::pair<const char*, std::function<void()>>> kRoutines = {
    {"ActiveDesktopEnabled", [] { core::ActiveDesktopEnabled(); }},
    {"EnableActiveDesktop", [] { core::EnableActiveDesktop(true); }},
    {"ApplyWallpaper", [] { core::ApplyWallpaper("C:\\a.bmp"); }},
    {"ApplyWallpaperStyle", [] { core::ApplyWallpaperStyle("TILE"); }},
};

std::string RawSystemMessage(HRESULT code) {
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = buffer != nullptr ? std::string(buffer, length) : std::string();
    if (buffer != nullptr) LocalFree(buffer);
    return text;
}

TEST_F(ActiveDesktop, CreationFailureCarriesTheSystemsMessageWithoutItsLineBreak) {
    const std::string raw = RawSystemMessage(E_OUTOFMEMORY);
    ASSERT_GE(raw.size(), 3u);
    ASSERT_EQ(raw.substr(raw.size() - 2), "\r\n");
    State().FailFromCreation = 1;
    State().CreateFailure = E_OUTOFMEMORY;
    for (const auto& routine : kRoutines) {
        try {
            routine.second();
            ADD_FAILURE() << routine.first << ": no error";
        } catch (const core::EOleSysError& e) {
            EXPECT_EQ(e.Message(), raw.substr(0, raw.size() - 2)) << routine.first;
            EXPECT_EQ(e.ErrorCode(), E_OUTOFMEMORY);
        }
    }
    EXPECT_EQ(Journal().Sequence(), Sequence(4, "0:CreateInstance"));
}

TEST_F(ActiveDesktop, CreationFailureWithoutASystemMessageShowsTheCode) {
    // The customer bit keeps the code out of every system message table.
    const HRESULT unknown = static_cast<HRESULT>(0xA00A0B0Cu);
    ASSERT_EQ(RawSystemMessage(unknown), "");
    State().FailFromCreation = 1;
    State().CreateFailure = unknown;
    for (const auto& routine : kRoutines) {
        try {
            routine.second();
            ADD_FAILURE() << routine.first << ": no error";
        } catch (const core::EOleSysError& e) {
            EXPECT_EQ(e.Message(), "OLE error a00a0b0c") << routine.first;
        }
    }
}

TEST_F(ActiveDesktop, ObjectWithoutTheInterfaceIsReportedAndReleased) {
    State().RefuseInterface = true;
    for (const auto& routine : kRoutines) {
        try {
            routine.second();
            ADD_FAILURE() << routine.first << ": no error";
        } catch (const core::EOleError& e) {
            EXPECT_EQ(e.Message(), "Interface not supported") << routine.first;
        }
    }
    EXPECT_EQ(Journal().Created, 4);
    EXPECT_EQ(Journal().Alive, 0);
    EXPECT_TRUE(Journal().Calls.empty());
}

// The system's own wallpaper settings, put back when a test that changes them ends.
class SystemWallpaperGuard {
public:
    SystemWallpaperGuard() : wallpaper_(Wallpaper()), style_(Value("WallpaperStyle")), tile_(Value("TileWallpaper")) {}
    ~SystemWallpaperGuard() {
        SetValue("WallpaperStyle", style_);
        SetValue("TileWallpaper", tile_);
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, &base::WideText(wallpaper_)[0], SPIF_UPDATEINIFILE);
    }
    SystemWallpaperGuard(const SystemWallpaperGuard&) = delete;
    SystemWallpaperGuard& operator=(const SystemWallpaperGuard&) = delete;

    static std::string Wallpaper() {
        wchar_t path[MAX_PATH + 1] = {};
        SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0);
        return base::NarrowText(path);
    }

    static std::string Value(const char* name) {
        char value[64] = {};
        DWORD size = sizeof(value) - 1;
        if (RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr, value, &size) !=
            ERROR_SUCCESS)
            return "(none)";
        return value;
    }

private:
    static void SetValue(const char* name, const std::string& value) {
        if (value == "(none)") {
            RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", name);
        } else {
            RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", name, REG_SZ, value.c_str(),
                            static_cast<DWORD>(value.size() + 1));
        }
    }

    std::string wallpaper_;
    std::string style_;
    std::string tile_;
};

// Counts the wallpaper change notices that reach a top-level window of this thread.
class WallpaperNotices {
public:
    WallpaperNotices() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TamberlynWallpaperNotices";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
        count_ = 0;
    }
    ~WallpaperNotices() { DestroyWindow(window_); }
    WallpaperNotices(const WallpaperNotices&) = delete;
    WallpaperNotices& operator=(const WallpaperNotices&) = delete;

    int Count() const {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        return count_;
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_SETTINGCHANGE && wParam == SPI_SETDESKWALLPAPER) ++count_;
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window_;
    static int count_;
};
int WallpaperNotices::count_ = 0;

// Under Wine the platform's own desktop object answers E_NOTIMPL to everything: the change has to go
// through the system's wallpaper setting, or a run would record a change that never happened.
TEST_F(ActiveDesktop, DesktopWithoutActiveDesktopFallsBackToTheSystemWallpaper) {
    const SystemWallpaperGuard guard;
    const testing_support::TempDir dir;
    dir.WriteFile("fallback.bmp", "BM");
    const std::string picture = dir.File("fallback.bmp");
    State().NotImplemented = true;
    const WallpaperNotices notices;

    core::ApplyWallpaper(picture);
    EXPECT_EQ(Journal().Sequence(), (Sequence{"1:SetWallpaper", "1:ApplyChanges"}));
    EXPECT_EQ(Journal().CallsOf("SetWallpaper").at(0).Answer, E_NOTIMPL);
    EXPECT_EQ(SystemWallpaperGuard::Wallpaper(), picture);
    EXPECT_EQ(notices.Count(), 1);

    const struct {
        const char* name;
        const char* wallpaperStyle;
        const char* tileWallpaper;
    } styles[] = {{"TILE", "0", "1"}, {"STRETCH", "2", "0"}, {"CENTER", "0", "0"}};
    int expectedNotices = 1;
    for (const auto& style : styles) {
        core::ApplyWallpaperStyle(style.name);
        EXPECT_EQ(SystemWallpaperGuard::Value("WallpaperStyle"), style.wallpaperStyle) << style.name;
        EXPECT_EQ(SystemWallpaperGuard::Value("TileWallpaper"), style.tileWallpaper) << style.name;
        // The wallpaper is set again, unchanged, so that the shell takes up the new style.
        EXPECT_EQ(SystemWallpaperGuard::Wallpaper(), picture) << style.name;
        EXPECT_EQ(notices.Count(), ++expectedNotices) << style.name;
    }
    EXPECT_EQ(Journal().Alive, 0);

    // The same route takes 151 Greek characters (302 bytes) and 259 characters whole, with their style.
    std::string greek = "C:\\", longest = "C:\\";
    for (int i = 0; i < 144; ++i) greek += "ω";
    for (int i = 0; i < 252; ++i) longest += "ψ";
    for (const std::string& path : {greek + ".bmp", longest + ".bmp"}) {
        core::ApplyWallpaper(path);
        core::ApplyWallpaperStyle("TILE");
        EXPECT_EQ(SystemWallpaperGuard::Wallpaper(), path);
        EXPECT_EQ(SystemWallpaperGuard::Value("TileWallpaper"), "1");
    }
}

TEST_F(ActiveDesktop, WorkingDesktopLeavesTheSystemWallpaperAlone) {
    const SystemWallpaperGuard guard;
    const std::string before = SystemWallpaperGuard::Wallpaper();
    const std::string styleBefore = SystemWallpaperGuard::Value("WallpaperStyle");
    const WallpaperNotices notices;

    core::ApplyWallpaper("C:\\elsewhere\\b.bmp");
    core::ApplyWallpaperStyle("TILE");

    EXPECT_EQ(SystemWallpaperGuard::Wallpaper(), before);
    EXPECT_EQ(SystemWallpaperGuard::Value("WallpaperStyle"), styleBefore);
    EXPECT_EQ(notices.Count(), 0);
    EXPECT_EQ(State().Wallpaper, L"C:\\elsewhere\\b.bmp");
}

}  // namespace
