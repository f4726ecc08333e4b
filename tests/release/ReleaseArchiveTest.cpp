// The release archive unpacked into a fresh folder (release-archive.sh unpacks it and names the folder in
// TAMBERLYN_RELEASE_FOLDER): what it holds, and the program run from there against the recording desktop
// that tools/install-test-desktop.sh registers in the test prefix. installer.sh names the folder that the
// installer filled instead, for the installed cases too.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/SysUtils.h"
#include "fakes/RecordingDesktop.h"
#include "support/ExeScenario.h"
#include "support/SetupDriver.h"

namespace {

using Names = std::vector<std::string>;
using testing_support::IniLines;
using testing_support::TempDir;

// The folder without its trailing backslash, as the script names it; empty when it names none.
std::string ReleaseFolder() {
    const char* folder = std::getenv("TAMBERLYN_RELEASE_FOLDER");
    return folder != nullptr && *folder != '\0' ? std::string(folder) + "\\" : "";
}

Names FilesIn(const std::string& folder) {
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every line ends in CR LF, the last one too, and no CR or LF stands alone.
bool HasWindowsLineEnds(std::string text) {
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) return false;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 2);
    return text.find_first_of("\r\n") == std::string::npos;
}

// The DLLs that the exe's import table names, upper-cased, read from the file as the loader reads it.
Names ImportedLibraries(const std::string& image) {
    const auto at = [&image](size_t offset, size_t size) {
        if (offset + size > image.size()) throw std::runtime_error("the exe is cut short");
        return image.data() + offset;
    };
    const auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
    const auto nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(at(static_cast<size_t>(dos->e_lfanew), sizeof(IMAGE_NT_HEADERS)));
    const auto sections = IMAGE_FIRST_SECTION(nt);
    const auto fileOffset = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i)
            if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].Misc.VirtualSize)
                return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
        throw std::runtime_error("an address outside every section");
    };
    Names names;
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t entry = fileOffset(imports);; entry += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto descriptor =
            reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(entry, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
        if (descriptor->Name == 0) break;
        std::string name = at(fileOffset(descriptor->Name), 1);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ManifestOf(const std::string& exe) {
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return "";
    std::string manifest;
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)))
        manifest.assign(static_cast<const char*>(LockResource(LoadResource(module, found))),
                        SizeofResource(module, found));
    FreeLibrary(module);
    return manifest;
}

// What a shell link starts, its target and arguments, read through the shell's own link object.
std::string ShortcutAt(const std::string& path) {
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH] = L"", arguments[MAX_PATH] = L"";
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&file))) &&
        SUCCEEDED(file->Load(base::WideText(path).c_str(), STGM_READ)) &&
        SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)))
        link->GetArguments(arguments, MAX_PATH);
    if (file != nullptr) file->Release();
    if (link != nullptr) link->Release();
    return base::NarrowText(target) + " " + base::NarrowText(arguments);
}

class UnpackedRelease : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.empty()) << "run by release-archive.sh, which names the unpacked folder";
        ASSERT_TRUE(SetEnvironmentVariableA("TAMBERLYN_TEST_DESKTOP", journalPath_.c_str()));
    }
    void TearDown() override { DeleteFileA(Settings().c_str()); }

    std::string Settings() const { return folder_ + "Tamberlyn.ini"; }
    int NextImage() const {
        return static_cast<int>(GetPrivateProfileIntA("Options", "NextImage", -1, Settings().c_str()));
    }

    // The first run as a user meets it: no settings file, so the setup dialog opens; the pictures' folder
    // goes into the directory field, a change at every run stays chosen, Save, Close. The run then swaps.
    void FirstRun(const std::string& exe) {
        fakes::SaveJournal(journalPath_, fakes::DesktopJournal());
        testing_support::SetupDriver setup(exe, "", folder_);
        ASSERT_TRUE(setup.DialogOpen()) << "the first run opens the setup dialog";
        setup.TypeInto("C:\\WINDOWS", pictures_.Path());
        setup.PressButton("Save");
        setup.PressButton("Close");
        const testing_support::RunOutcome outcome = setup.Finish();
        EXPECT_TRUE(outcome.ended);
        EXPECT_TRUE(outcome.boxes.empty()) << outcome.boxes.front().text;
        EXPECT_EQ(ShownOf(fakes::LoadJournal(journalPath_)), Picture(0));
    }

    // The picture the desktop was given, and the one expected: the folder as the upper-case field holds it.
    static std::string ShownOf(const fakes::DesktopJournal& journal) {
        return base::UpperCaseAscii(fakes::Utf8(journal.State.Wallpaper));
    }
    std::string Picture(int index) const {
        return base::UpperCaseAscii(pictures_.File(pictureNames_[static_cast<size_t>(index) % pictureNames_.size()]));
    }

    // Starts the unpacked program from another folder, as a shortcut in the Startup folder would, and returns
    // what the desktop saw.
    fakes::DesktopJournal Run() {
        fakes::SaveJournal(journalPath_, fakes::DesktopJournal());
        const TempDir elsewhere;
        const testing_support::RunOutcome outcome = testing_support::RunAnswering(
            "\"" + folder_ + "Tamberlyn.exe\"", elsewhere.Path(), testing_support::kRunTimeoutMs);
        EXPECT_TRUE(outcome.ended);
        EXPECT_EQ(outcome.exitCode, 0u);
        EXPECT_TRUE(outcome.boxes.empty()) << outcome.boxes.front().text;
        return fakes::LoadJournal(journalPath_);
    }

    const std::string folder_ = ReleaseFolder();
    const TempDir pictures_;
    const std::string journalPath_ = pictures_.File("desktop.txt");
    const Names pictureNames_ = {"Beach.bmp", "city.bmp", "Snow.bmp"};
};

TEST_F(UnpackedRelease, HoldsTheProgramItsHelpAndTwoTextsWithWindowsLineEndsButNoSettings) {
    EXPECT_EQ(FilesIn(folder_), (Names{"License.txt", "ReadMe.txt", "Tamberlyn.chm", "Tamberlyn.exe"}));
    for (const char* name : {"ReadMe.txt", "License.txt"})
        EXPECT_TRUE(HasWindowsLineEnds(ReadText(folder_ + name))) << name;
    EXPECT_NE(ReadText(folder_ + "License.txt").find("MIT License"), std::string::npos);

    // Only the system's known DLLs, which Windows never looks for beside the exe.
    const Names known = {"ADVAPI32.DLL", "COMDLG32.DLL", "GDI32.DLL",   "KERNEL32.DLL", "MSVCRT.DLL",
                         "OLE32.DLL",    "OLEAUT32.DLL", "SHELL32.DLL", "SHLWAPI.DLL",  "USER32.DLL"};
    const Names imported = ImportedLibraries(ReadText(folder_ + "Tamberlyn.exe"));
    EXPECT_FALSE(imported.empty());
    for (const std::string& name : imported)
        EXPECT_TRUE(std::binary_search(known.begin(), known.end(), name)) << name << " is not a known system DLL";
    const std::string manifest = ManifestOf(folder_ + "Tamberlyn.exe");
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
    for (const char* windows : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                                "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_NE(manifest.find(windows), std::string::npos) << "supported system " << windows;
    EXPECT_NE(manifest.find(">false</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("2019/WindowsSettings\">UTF-8</activeCodePage>"), std::string::npos);
    EXPECT_EQ(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}

TEST_F(UnpackedRelease, AFirstRunIsSetUpInTheDialogAndEveryRunSwapsThroughThePictures) {
    for (const std::string& name : pictureNames_) pictures_.WriteFile(name, "");
    FirstRun(folder_ + "Tamberlyn.exe");
    for (int run = 0; run < 2; ++run) {
        const int next = NextImage();
        ASSERT_GE(next, 1) << "the first run swapped and recorded it";
        EXPECT_EQ(ShownOf(Run()), Picture(next)) << "run " << run;
        EXPECT_EQ(NextImage(), next + 1) << "run " << run;
    }
}

// Installed by the package (installer.sh): the shortcuts lead to the installed files, and the Startup one
// starts a run, as at logon. The settings that the first run saves stay for the upgrade that comes next.
class InstalledRelease : public UnpackedRelease {
    void TearDown() override {}
};

TEST_F(InstalledRelease, ItsShortcutsLeadToItsFilesAndTheStartupOneRunsTheProgram) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    char menu[MAX_PATH] = "", startup[MAX_PATH] = "";
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, menu)));
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, startup)));
    const std::string links = std::string(menu) + "\\Tamberlyn\\Tamberlyn ";
    EXPECT_EQ(ShortcutAt(links + "Setup.lnk"), folder_ + "Tamberlyn.exe /SETUP");
    EXPECT_EQ(ShortcutAt(links + "Help.lnk"), folder_ + "Tamberlyn.chm ");
    EXPECT_EQ(ShortcutAt(links + "ReadMe.lnk"), folder_ + "ReadMe.txt ");
    const std::string logon = ShortcutAt(std::string(startup) + "\\Tamberlyn.lnk");
    ASSERT_EQ(logon, folder_ + "Tamberlyn.exe ") << "no arguments: a run";
    for (const std::string& name : pictureNames_) pictures_.WriteFile(name, "");
    FirstRun(logon.substr(0, logon.size() - 1));
    CoUninitialize();
}

}  // namespace
