// Swaps against the recording desktop that tools/install-test-desktop.sh registers in the test prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/DateUtils.h"
#include "base/IniFiles.h"
#include "base/SysUtils.h"
#include "core/ActiveDesktop_functions.h"
#include "fakes/RecordingDesktop.h"
#include "support/ExeScenario.h"
#include "support/HeldFile.h"
#include "support/SetupDriver.h"

namespace {

using Sequence = std::vector<std::string>;
using testing_support::IniLines;
using testing_support::RunOutcome;
using testing_support::TempDir;

const Sequence kSwap = {"1:SetWallpaper", "1:ApplyChanges", "2:SetWallpaperOptions", "2:ApplyChanges"};

BOOL CALLBACK TakeLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR into) {
    *reinterpret_cast<WORD*>(into) = language;
    return FALSE;
}

// The exe as a system from before the UTF-8 code page runs it: its manifest without that element.
void WithoutUtf8CodePage(const std::string& exe) {
    std::string manifest;
    WORD language = 0;
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        manifest.assign(static_cast<const char*>(LockResource(LoadResource(module, found))),
                        SizeofResource(module, found));
        EnumResourceLanguagesA(module, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), TakeLanguage,
                               reinterpret_cast<LONG_PTR>(&language));
    }
    FreeLibrary(module);
    const size_t start = manifest.find("<activeCodePage");
    const size_t end = manifest.find("</activeCodePage>");
    ASSERT_TRUE(start != std::string::npos && end != std::string::npos);
    manifest.erase(start, end + std::string("</activeCodePage>").size() - start);
    HANDLE update = BeginUpdateResourceA(exe.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    ASSERT_TRUE(UpdateResourceA(update, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), language, manifest.data(),
                                static_cast<DWORD>(manifest.size())));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
}

// The folder that the code page's best fit names for a scenario's ("Zdjecia" for "Zdjęcia", under Wine), with a
// program and settings of its own, as another copy of the program may have.
struct BestFitTwin {
    static constexpr const char* kSettings = "[Options]\r\nMode=1\r\n[0]\r\nFilename=C:\\twin.bmp\r\n";
    explicit BestFitTwin(std::string folder) : path(folder.replace(folder.rfind("ę"), 2, "e")) {
        CreateDirectoryA(path.c_str(), nullptr);
        std::ofstream(path + "Tamberlyn.exe") << "MZ";
        std::ofstream(path + "Tamberlyn.ini", std::ios::binary) << kSettings;
    }
    ~BestFitTwin() { testing_support::RemoveTree(path); }
    std::string Settings() const {
        std::ifstream in(path + "Tamberlyn.ini", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string path;
};

// The real exe in a folder of its own with its settings file, swapping on the recording desktop whose
// journal lives in the same folder. The folder is named in another script, as a user's may be.
class SwapRun : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetEnvironmentVariableA("TAMBERLYN_TEST_DESKTOP", journalPath.c_str())); }

    void WriteSettings(const std::string& text) const { scenario.WriteFile("Tamberlyn.ini", text); }
    std::string Settings() const { return scenario.ReadFile("Tamberlyn.ini"); }
    int NextImage() const {
        return static_cast<int>(
            GetPrivateProfileIntA("Options", "NextImage", -1, scenario.File("Tamberlyn.ini").c_str()));
    }

    // Starts a run on a journal with the given desktop state, and returns what the desktop saw.
    fakes::DesktopJournal Run(const fakes::DesktopState& state, RunOutcome& outcome) {
        fakes::DesktopJournal start;
        start.State = state;
        fakes::SaveJournal(journalPath, start);
        outcome = scenario.Run(scenario.Path());
        EXPECT_TRUE(outcome.ended);
        return fakes::LoadJournal(journalPath);
    }

    fakes::DesktopJournal RunWithoutBoxes(const fakes::DesktopState& state = fakes::DesktopState()) {
        RunOutcome outcome;
        fakes::DesktopJournal journal = Run(state, outcome);
        EXPECT_TRUE(outcome.boxes.empty()) << outcome.boxes.front().text;
        return journal;
    }

    testing_support::ExeScenario scenario{" Zdjęcia"};
    std::string journalPath = scenario.File("desktop.txt");
};

// Names in any script, in a file that Notepad saved as "Unicode" (UTF-16), which every run keeps so; the last
// a path of 147 characters.
TEST_F(SwapRun, ListRunsShowTheEntriesInOrderAndStartAgainAfterTheLast) {
    std::string greek;
    for (int i = 0; i < 120; ++i) greek += "λ";
    const std::string longest = "C:\\Photos\\Thessaloniki\\" + greek + ".bmp";
    ASSERT_EQ(base::WideLength(longest), 147u);
    const std::string list =
        IniLines({"[0]", "Filename=C:\\list\\日本.bmp", "DisplayStyle=0", "[1]", "Filename=C:\\list\\Ελλάδα.htm",
                  "DisplayStyle=1", "[2]", "Filename=C:\\list\\Россия.jpg", "DisplayStyle=2", "[3]",
                  "Filename=" + longest, "DisplayStyle=0"});
    WriteSettings(
        base::EncodeIniText(base::WideText(IniLines({"[Options]", "ChangeWhen=0", "Mode=1", "ForceAD=0"}) + list),
                            base::TIniEncoding::Utf16));
    const struct {
        std::wstring wallpaper;
        DWORD style;
        int next;
    } expected[] = {{L"C:\\list\\日本.bmp", 0, 1},
                    {L"C:\\list\\Ελλάδα.htm", 2, 2},
                    {L"C:\\list\\Россия.jpg", 1, 3},
                    {base::WideText(longest), 0, 4},
                    {L"C:\\list\\日本.bmp", 0, 1}};
    for (const auto& run : expected) {
        const fakes::DesktopJournal journal = RunWithoutBoxes();
        // Two objects per swap, both gone when the run ends; with ForceAD clear the state is never asked.
        EXPECT_EQ(journal.Sequence(), kSwap);
        EXPECT_EQ(journal.Alive, 0);
        EXPECT_EQ(journal.State.Wallpaper, run.wallpaper);
        EXPECT_EQ(journal.State.Style, run.style);
        EXPECT_EQ(NextImage(), run.next);
    }
    base::TIniEncoding encoding;
    EXPECT_NE(base::DecodeIniText(Settings(), encoding).find(base::WideText(list)), std::wstring::npos);
    EXPECT_EQ(encoding, base::TIniEncoding::Utf16);
}

TEST_F(SwapRun, DirectoryRunShowsTheFirstNameOfOneSortedListing) {
    for (const char* name : {"c.bmp", "A.jpg", "b.bmp", "d.jpeg"}) scenario.WriteFile(name, "");
    WriteSettings(IniLines({"[Options]", "ChangeWhen=0", "Mode=0", "PictureDir=" + scenario.Path(), "BMPtype=1",
                            "JPGtype=1", "DisplayStyle=2", "NextImage=4"}));
    const fakes::DesktopJournal journal = RunWithoutBoxes();
    EXPECT_EQ(journal.Sequence(), kSwap);
    EXPECT_EQ(journal.State.Wallpaper, base::WideText(scenario.File("A.jpg")));
    EXPECT_EQ(journal.State.Style, 1u);
    EXPECT_EQ(NextImage(), 1);

    // Names beyond ASCII by their exact paths, in the order of the locale's wide comparison: accents among their
    // letters, other scripts after Latin.
    const TempDir pictures;
    for (const char* name : {"Zebra.bmp", "Ölgemälde.bmp", "ψ.bmp", "bird.bmp", "Émile.bmp", "apple.bmp", "Ωmega.bmp"})
        pictures.WriteFile(name, "");
    WriteSettings(IniLines({"[Options]", "ChangeWhen=0", "Mode=0", "PictureDir=" + pictures.Path(), "BMPtype=1"}));
    for (const char* name : {"apple.bmp", "bird.bmp", "Émile.bmp", "Ölgemälde.bmp", "Zebra.bmp"})
        EXPECT_EQ(fakes::Utf8(RunWithoutBoxes().State.Wallpaper), pictures.File(name));

    // Where the code page cannot hold those names (nor the exe's own folder's), no run sets a path that does
    // not exist, and none takes the folder the best fit names ("Zdjecia"), though it holds a program and settings.
    WithoutUtf8CodePage(scenario.Exe());
    const BestFitTwin twin(scenario.Path());
    // The recording desktop in that process writes its journal through the single-byte calls too.
    const TempDir plain;
    journalPath = plain.File("desktop.txt");
    ASSERT_TRUE(SetEnvironmentVariableA("TAMBERLYN_TEST_DESKTOP", journalPath.c_str()));
    std::vector<std::string> set;
    for (int run = 0; run < 3; ++run) {
        const std::wstring wallpaper = RunWithoutBoxes().State.Wallpaper;
        EXPECT_NE(GetFileAttributesW(wallpaper.c_str()), INVALID_FILE_ATTRIBUTES) << fakes::Utf8(wallpaper);
        set.push_back(fakes::Utf8(wallpaper));
    }
    EXPECT_EQ(twin.Settings(), BestFitTwin::kSettings);
    EXPECT_TRUE(std::any_of(set.begin(), set.end(), [&pictures](const std::string& path) {
        return path == pictures.File("apple.bmp") || path == pictures.File("bird.bmp") ||
               path == pictures.File("Zebra.bmp");
    }));
}

TEST_F(SwapRun, ForceADSwitchesActiveDesktopOnOnlyWhenItIsOff) {
    WriteSettings(IniLines({"[Options]", "ChangeWhen=0", "Mode=1", "ForceAD=1", "NextImage=0", "[0]",
                            "Filename=C:\\a.bmp", "DisplayStyle=0"}));
    fakes::DesktopState off;
    off.EnableComponents = TRUE;
    fakes::DesktopJournal journal = RunWithoutBoxes(off);
    EXPECT_EQ(journal.Sequence(), (Sequence{"1:GetDesktopItemOptions", "2:GetDesktopItemOptions",
                                            "2:SetDesktopItemOptions", "2:ApplyChanges", "3:SetWallpaper",
                                            "3:ApplyChanges", "4:SetWallpaperOptions", "4:ApplyChanges"}));
    const fakes::DesktopCall written = journal.CallsOf("SetDesktopItemOptions").at(0);
    EXPECT_EQ(written.Components.fActiveDesktop, -1);
    EXPECT_EQ(written.Components.fEnableComponents, TRUE);
    EXPECT_EQ(journal.CallsOf("ApplyChanges").at(0).Argument, 15u);
    EXPECT_EQ(journal.Alive, 0);

    fakes::DesktopState on;
    on.ActiveDesktop = -1;
    journal = RunWithoutBoxes(on);
    EXPECT_EQ(journal.Sequence(), (Sequence{"1:GetDesktopItemOptions", "2:SetWallpaper", "2:ApplyChanges",
                                            "3:SetWallpaperOptions", "3:ApplyChanges"}));
}

TEST_F(SwapRun, DailyRunOnTheDayOfTheLastChangeChangesNothing) {
    const std::string settings =
        IniLines({"[Options]", "ChangeWhen=1", "Mode=1", "LastChanged=" + base::DateToStr(base::Today()), "NextImage=0",
                  "[0]", "Filename=C:\\a.bmp", "DisplayStyle=0"});
    WriteSettings(settings);
    const fakes::DesktopJournal journal = RunWithoutBoxes();
    EXPECT_TRUE(journal.Calls.empty());
    EXPECT_EQ(journal.Created, 0);
    EXPECT_EQ(Settings(), settings);
}

// The slots behind the first empty name are read but are not in the list: the run starts again at the first.
TEST_F(SwapRun, PositionBehindTheFirstEmptyNameShowsTheFirstEntryAndAnUnsettablePathIsPassedOver) {
    WriteSettings(IniLines({"[Options]", "ChangeWhen=0", "Mode=1", "NextImage=2", "[0]", "Filename=C:\\a.bmp",
                            "DisplayStyle=0", "[1]", "DisplayStyle=2", "[2]", "Filename=C:\\c.bmp", "DisplayStyle=1"}));
    const fakes::DesktopJournal journal = RunWithoutBoxes();
    EXPECT_EQ(journal.State.Wallpaper, L"C:\\a.bmp");
    EXPECT_EQ(NextImage(), 1);

    // An entry the desktop can never take is reported, and the next run goes on with the entry after it.
    const std::string tooLong = "C:\\" + std::string(253, 'p') + ".bmp";
    WriteSettings(IniLines({"[Options]", "ChangeWhen=0", "Mode=1", "NextImage=0", "[0]", "Filename=" + tooLong,
                            "DisplayStyle=0", "[1]", "Filename=C:\\b.bmp", "DisplayStyle=0"}));
    RunOutcome refused;
    Run(fakes::DesktopState(), refused);
    ASSERT_EQ(refused.boxes.size(), 1u);
    EXPECT_EQ(refused.boxes[0].text.rfind("Wallpaper path too long", 0), 0u) << refused.boxes[0].text;
    EXPECT_EQ(NextImage(), 1);
    EXPECT_EQ(RunWithoutBoxes().State.Wallpaper, L"C:\\b.bmp");
}

// The user's short date format for the programs started while the guard lives, the earlier one restored
// when it goes. (A session of the test scripts also pins it again when it starts.)
class UserShortDateFormat {
public:
    explicit UserShortDateFormat(const std::string& format) {
        char value[128] = {};
        DWORD size = sizeof value;
        had_ =
            RegGetValueA(HKEY_CURRENT_USER, kKey, "sShortDate", RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS;
        previous_ = value;
        Set(format);
    }
    ~UserShortDateFormat() {
        if (had_)
            Set(previous_);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, "sShortDate");
    }
    UserShortDateFormat(const UserShortDateFormat&) = delete;
    UserShortDateFormat& operator=(const UserShortDateFormat&) = delete;

private:
    static constexpr const char* kKey = "Control Panel\\International";
    static void Set(const std::string& format) {
        RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "sShortDate", REG_SZ, format.c_str(),
                        static_cast<DWORD>(format.size() + 1));
    }

    bool had_ = false;
    std::string previous_;
};

// With a day name in the short date, the date a run records must read back, or a daily run would swap at
// every start.
TEST_F(SwapRun, DailyRunWithADayNameInTheShortDateSwapsOnceADay) {
    const UserShortDateFormat dayNames("ddd M/d/yyyy");
    WriteSettings(IniLines({"[Options]", "ChangeWhen=1", "Mode=1", "NextImage=0", "[0]", "Filename=C:\\a.bmp",
                            "DisplayStyle=0", "[1]", "Filename=C:\\b.bmp", "DisplayStyle=0"}));
    const base::TDate today = base::Today();
    const fakes::DesktopJournal first = RunWithoutBoxes();
    const fakes::DesktopJournal second = RunWithoutBoxes();
    if (base::Today() != today) GTEST_SKIP() << "the day changed between the runs";
    EXPECT_EQ(first.Sequence(), kSwap);
    EXPECT_TRUE(second.Calls.empty());
    EXPECT_EQ(NextImage(), 1);
    EXPECT_NE(Settings().find("LastChanged=" + base::DateToStr(today, "ddd M/d/yyyy") + "\r\n"), std::string::npos)
        << Settings();
}

// The daily rule with the untouched short date of the locale this program runs in, which the run it starts
// shares: CTest runs this case in Bulgarian ("d.MM.yyyy 'г.'") and Saudi Arabic (right-to-left marks), where the
// date came back in code pages 1251 and 1256 and was written with U+FFFD, so that every run swapped.
TEST_F(SwapRun, DailyRunInTheLocalesOwnShortDateSwapsOnceADay) {
    WriteSettings(IniLines({"[Options]", "ChangeWhen=1", "Mode=1", "NextImage=0", "[0]", "Filename=C:\\a.bmp",
                            "DisplayStyle=0", "[1]", "Filename=C:\\b.bmp", "DisplayStyle=0"}));
    const base::TDate today = base::Today();
    const fakes::DesktopJournal first = RunWithoutBoxes();
    const fakes::DesktopJournal second = RunWithoutBoxes();
    const fakes::DesktopJournal third = RunWithoutBoxes();
    if (base::Today() != today) GTEST_SKIP() << "the day changed between the runs";
    EXPECT_NE(PRIMARYLANGID(GetUserDefaultLangID()), LANG_ENGLISH) << "run by CTest in another locale";
    EXPECT_EQ(first.Sequence(), kSwap);
    EXPECT_TRUE(second.Calls.empty() && third.Calls.empty());
    EXPECT_EQ(NextImage(), 1);
    const std::string settings = Settings();
    EXPECT_NE(settings.find("LastChanged=" + base::DateToStr(today) + "\r\n"), std::string::npos) << settings;
    EXPECT_EQ(settings.find("\xEF\xBF\xBD"), std::string::npos);
    EXPECT_EQ(settings.find('?'), std::string::npos);
}

// Another program holds the settings file open and refuses writers, as an editor or a backup tool may: the
// swap is made, its record refused, and the file keeps what it held.
TEST_F(SwapRun, SettingsFileHeldOpenByAnotherProgramIsReportedAndKept) {
    const std::string settings =
        IniLines({"[Options]", "ChangeWhen=0", "Mode=1", "NextImage=0", "[0]", "Filename=C:\\a.bmp", "DisplayStyle=0"});
    WriteSettings(settings);
    RunOutcome outcome;
    fakes::DesktopJournal journal;
    {
        const testing_support::FileHeldForReading holder(scenario.File("Tamberlyn.ini"));
        journal = Run(fakes::DesktopState(), outcome);
    }
    ASSERT_EQ(outcome.boxes.size(), 1u);
    EXPECT_EQ(outcome.boxes[0].text, "ERROR: There was a problem writing settings to the inifile.");
    EXPECT_EQ(journal.Sequence(), kSwap);
    EXPECT_EQ(Settings(), settings);
}

TEST_F(SwapRun, EmptyDirectoryIsReportedAndTheRunStillEnds) {
    const TempDir empty;
    const std::string settings =
        IniLines({"[Options]", "ChangeWhen=0", "Mode=0", "PictureDir=" + empty.Path(), "BMPtype=1", "NextImage=2"});
    WriteSettings(settings);
    RunOutcome outcome;
    const fakes::DesktopJournal journal = Run(fakes::DesktopState(), outcome);
    ASSERT_EQ(outcome.boxes.size(), 1u);
    EXPECT_EQ(outcome.boxes[0].caption, "Tamberlyn");
    EXPECT_EQ(outcome.boxes[0].text, "List index out of bounds (0)");
    EXPECT_EQ(journal.Created, 0);
    EXPECT_EQ(Settings(), settings);
}

// The change is recorded only after both desktop calls have returned: when the second cannot even get its
// desktop object, the new wallpaper is in place but the position stays where it was.
TEST_F(SwapRun, ASwapThatFailsHalfwayRecordsNothing) {
    const std::string settings =
        IniLines({"[Options]", "ChangeWhen=0", "Mode=1", "NextImage=0", "[0]", "Filename=C:\\a.bmp", "DisplayStyle=0"});
    WriteSettings(settings);
    fakes::DesktopState failing;
    failing.FailFromCreation = 2;
    failing.CreateFailure = static_cast<HRESULT>(0xA00A0B0Cu);
    RunOutcome outcome;
    const fakes::DesktopJournal journal = Run(failing, outcome);
    ASSERT_EQ(outcome.boxes.size(), 1u);
    EXPECT_EQ(outcome.boxes[0].text, "OLE error a00a0b0c.");
    EXPECT_EQ(journal.Sequence(), (Sequence{"1:SetWallpaper", "1:ApplyChanges", "0:CreateInstance"}));
    EXPECT_EQ(journal.State.Wallpaper, L"C:\\a.bmp");
    EXPECT_EQ(Settings(), settings);
}

// The registered server, not an in-process stand-in, answers for the desktop class here: for this test
// program's bitness, with its journal in the file the environment names.
TEST(RecordingDesktopServer, AnswersForTheDesktopClassOfThisPrefix) {
    const testing_support::TempDir dir;
    const std::string journalPath = dir.File("desktop.txt");
    fakes::DesktopJournal start;
    start.State.EnableComponents = TRUE;
    start.State.Style = 1;
    fakes::SaveJournal(journalPath, start);
    ASSERT_TRUE(SetEnvironmentVariableA("TAMBERLYN_TEST_DESKTOP", journalPath.c_str()));

    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    core::EnableActiveDesktop(true);
    core::ApplyWallpaper("C:\\Pictures\\b.bmp");
    core::ApplyWallpaperStyle("STRETCH");
    CoUninitialize();

    const fakes::DesktopJournal journal = fakes::LoadJournal(journalPath);
    EXPECT_EQ(journal.Sequence(),
              (Sequence{"1:GetDesktopItemOptions", "1:SetDesktopItemOptions", "1:ApplyChanges", "2:SetWallpaper",
                        "2:ApplyChanges", "3:SetWallpaperOptions", "3:ApplyChanges"}));
    EXPECT_EQ(journal.Created, 3);
    EXPECT_EQ(journal.Alive, 0);
    EXPECT_EQ(journal.State.ActiveDesktop, -1);
    EXPECT_EQ(journal.State.EnableComponents, TRUE);
    EXPECT_EQ(journal.State.Wallpaper, L"C:\\Pictures\\b.bmp");
    EXPECT_EQ(journal.State.Style, 2u);
}

std::string DesktopValue(const char* name) {
    wchar_t value[MAX_PATH + 1] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", base::WideText(name).c_str(), RRF_RT_REG_SZ, nullptr,
                     value, &size) != ERROR_SUCCESS)
        return "(none)";
    return base::NarrowText(value);
}

// The prefix's wallpaper settings, put back when the test ends.
class SavedDesktopValues {
public:
    SavedDesktopValues() {
        for (const char* name : kNames) saved_.push_back(DesktopValue(name));
    }
    ~SavedDesktopValues() {
        for (size_t i = 0; i < saved_.size(); ++i) {
            if (saved_[i] == "(none)")
                RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", kNames[i]);
            else
                RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", kNames[i], REG_SZ, saved_[i].c_str(),
                                static_cast<DWORD>(saved_[i].size() + 1));
        }
    }
    SavedDesktopValues(const SavedDesktopValues&) = delete;
    SavedDesktopValues& operator=(const SavedDesktopValues&) = delete;

private:
    static constexpr const char* kNames[] = {"Wallpaper", "WallpaperStyle", "TileWallpaper"};
    std::vector<std::string> saved_;
};

// Wine's own desktop object answers E_NOTIMPL to everything. The run must still change the wallpaper, through
// the system's setting, before it records the change: whole paths up to the one limit of 259 characters, also
// where they take more than 260 bytes (the single-byte setting cut them at 255, and its reading overflowed).
TEST_F(SwapRun, DesktopWithoutActiveDesktopStillGetsTheWallpaper) {
    const SavedDesktopValues saved;
    scenario.WriteFile("shown.bmp", "BM");
    const std::string picture = scenario.File("shown.bmp");
    std::string greek = "C:\\";
    for (int i = 0; i < 252; ++i) greek += "ε";
    const std::string ascii = "C:\\" + std::string(250, 'a') + ".bmp";
    WriteSettings(IniLines({"[Options]", "ChangeWhen=0", "Mode=1", "NextImage=0", "[0]", "Filename=" + picture,
                            "DisplayStyle=2", "[1]", "Filename=" + greek + ".bmp", "DisplayStyle=1", "[2]",
                            "Filename=" + ascii, "DisplayStyle=0"}));
    ASSERT_EQ(base::WideLength(greek + ".bmp") + ascii.size(), 259u + 257u);
    fakes::DesktopState withoutActiveDesktop;
    withoutActiveDesktop.NotImplemented = true;

    const fakes::DesktopJournal journal = RunWithoutBoxes(withoutActiveDesktop);

    EXPECT_EQ(journal.Sequence(), kSwap);
    EXPECT_EQ(journal.CallsOf("SetWallpaper").at(0).Answer, E_NOTIMPL);
    EXPECT_EQ(DesktopValue("Wallpaper"), picture);
    EXPECT_EQ(DesktopValue("WallpaperStyle"), "0");
    EXPECT_EQ(DesktopValue("TileWallpaper"), "1");
    EXPECT_EQ(NextImage(), 1);
    for (const std::string& path : {greek + ".bmp", ascii}) {
        RunWithoutBoxes(withoutActiveDesktop);
        EXPECT_EQ(DesktopValue("Wallpaper"), path);
    }
    EXPECT_EQ(NextImage(), 3);
}

// A picture of the system folder for the length of a test: the test prefix's C:\windows has none of its own.
class PlantedPicture {
public:
    explicit PlantedPicture(const std::string& name) {
        char folder[MAX_PATH] = {};
        GetWindowsDirectoryA(folder, MAX_PATH);
        path_ = std::string(folder) + "\\" + name;
        HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        created_ = file != INVALID_HANDLE_VALUE;
        if (created_) CloseHandle(file);
    }
    ~PlantedPicture() {
        if (created_) DeleteFileA(path_.c_str());
    }
    PlantedPicture(const PlantedPicture&) = delete;
    PlantedPicture& operator=(const PlantedPicture&) = delete;
    bool Created() const { return created_; }

private:
    std::string path_;
    bool created_ = false;
};

TEST_F(SwapRun, AFirstRunOpensSetupAndAfterCancelSwapsWithTheDefaults) {
    const PlantedPicture picture("TamberlynFirstRun.bmp");
    ASSERT_TRUE(picture.Created());
    ASSERT_FALSE(base::FileExists(scenario.File("Tamberlyn.ini")));

    fakes::SaveJournal(journalPath, fakes::DesktopJournal());
    testing_support::SetupDriver setup(scenario.Exe(), "", scenario.Path());
    ASSERT_TRUE(setup.DialogOpen()) << "a first run opens the setup dialog";
    setup.PressButton("Cancel");
    const RunOutcome outcome = setup.Finish();
    EXPECT_TRUE(outcome.ended);
    EXPECT_TRUE(outcome.boxes.empty());
    const fakes::DesktopJournal journal = fakes::LoadJournal(journalPath);

    EXPECT_EQ(journal.Sequence(), kSwap);
    EXPECT_EQ(fakes::Utf8(journal.CallsOf("SetWallpaper").at(0).Text), "C:\\WINDOWS\\TamberlynFirstRun.bmp");
    EXPECT_EQ(Settings(), IniLines({"[Options]", "LastChanged=" + base::DateToStr(base::Today()), "NextImage=1"}));
}

}  // namespace
