#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "SettingsFuzz.h"
#include "base/IniFileUpdate.h"
#include "base/SysUtils.h"
#include "core/Settings.h"
#include "support/Automation.h"
#include "support/HeldFile.h"
#include "support/TempDir.h"

namespace {

using core::Settings;
using testing_support::TempDir;

const char kReadError[] = "ERROR: There was a problem reading the inifile";
const char kWriteError[] = "ERROR: There was a problem writing settings to the inifile";

void SetEntry(int slot, const std::string& name, int32_t style) {
    core::PictureEntry& entry = Settings.PictureList.Items[slot];
    std::memset(entry.Filename, 0, sizeof entry.Filename);
    std::memcpy(entry.Filename, name.data(), name.size());
    entry.DisplayStyle = style;
}

std::string ListSection(int index, const std::string& filename, int style) {
    return "[" + std::to_string(index) + "]\r\nFilename=" + filename + "\r\nDisplayStyle=" + std::to_string(style) +
           "\r\n";
}

template <typename Routine>
void ExpectFailure(Routine routine, const std::string& message) {
    try {
        routine();
        ADD_FAILURE() << "no error";
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

// An environment variable set for a scope.
class EnvironmentValue {
public:
    EnvironmentValue(const char* name, const char* value) : name_(name) {
        char old[MAX_PATH] = {};
        had_ = GetEnvironmentVariableA(name, old, sizeof old) != 0;
        old_ = old;
        SetEnvironmentVariableA(name, value);
    }
    ~EnvironmentValue() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }
    EnvironmentValue(const EnvironmentValue&) = delete;
    EnvironmentValue& operator=(const EnvironmentValue&) = delete;

private:
    const char* name_;
    std::string old_;
    bool had_;
};

// Every test works on Tamberlyn.ini in a fresh folder and starts, as a run does, from the program's
// initial record with a cleared list.
class SettingsFile : public ::testing::Test {
protected:
    SettingsFile() {
        Settings = core::TSettings();
        Settings.PictureList.Clear();
    }

    void Write(const std::string& contents) const { dir.WriteFile("Tamberlyn.ini", contents); }
    std::string OnDisk() const { return dir.ReadFile("Tamberlyn.ini"); }
    base::TIniFile File() const { return base::ReadIniFile(path); }

    TempDir dir;
    std::string path = dir.File("Tamberlyn.ini");
    core::IniFileOverride redirect{path};
};

TEST(SettingsFileName, LivesBesideTheExecutableUnlessRedirected) {
    EXPECT_EQ(core::IniFileName(), base::ExeDirectory() + "Tamberlyn.ini");
    {
        core::IniFileOverride outer("C:\\outer.ini");
        {
            core::IniFileOverride inner("C:\\inner.ini");
            EXPECT_EQ(core::IniFileName(), "C:\\inner.ini");
        }
        EXPECT_EQ(core::IniFileName(), "C:\\outer.ini");
    }
    EXPECT_EQ(core::IniFileName(), base::ExeDirectory() + "Tamberlyn.ini");
}

TEST(PictureEntries, NameEndsAtTheFirstZeroOrAfter260Characters) {
    core::PictureList list;
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    std::memcpy(list.Items[0].Filename, "C:\\a.bmp", 8);
    std::memset(list.Items[1].Filename, 'x', core::kMaxFilename);
    EXPECT_EQ(list.Items[0].Name(), "C:\\a.bmp");
    EXPECT_EQ(list.Items[1].Name(), std::string(260, 'x'));
    std::memcpy(list.Items[3].Filename, "C:\\c.bmp", 8);
    EXPECT_EQ(list.Count(), 2);
    for (auto& entry : list.Items) std::memset(entry.Filename, 'y', core::kMaxFilename);
    EXPECT_EQ(list.Count(), core::kPictureListSize);
    list.Items[5].DisplayStyle = 2;
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Items[5].DisplayStyle, 0);
    EXPECT_EQ(list.Items[5].Filename[259], '\0');
}

TEST_F(SettingsFile, MissingFileReadsAsDefaults) {
    Settings.ChangeWhen = 5;
    Settings.NextImage = 7;
    Settings.LastChanged = base::TDate::FromYMD(2020, 1, 1);
    EXPECT_TRUE(core::ReadIniSettings());
    EXPECT_EQ(Settings.ChangeWhen, 0);
    EXPECT_EQ(Settings.Mode, 0);
    EXPECT_FALSE(Settings.ForceAD);
    EXPECT_EQ(Settings.PictureDir, "C:\\WINDOWS");
    EXPECT_TRUE(Settings.BMPtype);
    EXPECT_FALSE(Settings.GIFtype);
    EXPECT_FALSE(Settings.JPGtype);
    EXPECT_FALSE(Settings.PNGtype);
    EXPECT_EQ(Settings.DisplayStyle, 0);
    EXPECT_TRUE(Settings.LastChanged.IsZero());
    EXPECT_EQ(Settings.NextImage, 0);
    EXPECT_EQ(Settings.PictureList.Count(), 0);
    EXPECT_FALSE(base::FileExists(path));
}

TEST_F(SettingsFile, OddValuesReadByTheEncodingRules) {
    Write(
        "[Options]\r\nChangeWhen=1\r\nMode=2\r\nForceAD=yes\r\nPictureDir=\r\nBMPtype=\r\nGIFtype=2\r\nJPGtype=0x1\r\n"
        "PNGtype=-1\r\nDisplayStyle=0X2\r\nLastChanged=sometime\r\nNextImage=0x10\r\n");
    Settings.LastChanged = base::TDate::FromYMD(2020, 1, 1);
    ASSERT_TRUE(core::ReadIniSettings());
    EXPECT_EQ(Settings.ChangeWhen, 1);
    EXPECT_EQ(Settings.Mode, 2);
    EXPECT_FALSE(Settings.ForceAD);
    EXPECT_EQ(Settings.PictureDir, "");
    EXPECT_TRUE(Settings.BMPtype);
    EXPECT_TRUE(Settings.GIFtype);
    EXPECT_TRUE(Settings.JPGtype);
    EXPECT_TRUE(Settings.PNGtype);
    EXPECT_EQ(Settings.DisplayStyle, 2);
    EXPECT_TRUE(Settings.LastChanged.IsZero());
    EXPECT_EQ(Settings.NextImage, 16);

    Write("[Options]\r\nForceAD=2\r\nLastChanged=" + base::DateToStr(base::TDate::FromYMD(2021, 3, 5)) + "\r\n");
    ASSERT_TRUE(core::ReadIniSettings());
    EXPECT_TRUE(Settings.ForceAD);
    EXPECT_EQ(Settings.LastChanged, base::TDate::FromYMD(2021, 3, 5));

    // A file from before, saved in the user's legacy code page (1252 here): each line that is not UTF-8 is
    // read in that code page, and the next save writes the whole file in UTF-8.
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the test programs run under the program's manifest";
    const std::string legacy = "[Options]\r\nPictureDir=C:\\Caf\xE9\\\r\nMode=1\r\n[Other]\r\nNote=\x80 5\r\n" +
                               ListSection(0, "C:\\Ωmega.bmp", 0);
    Write(legacy);
    {
        // Nothing of the file goes to the temporary folder, which may be unusable.
        const EnvironmentValue tmp("TMP", "Q:\\nowhere\\"), temp("TEMP", "Q:\\nowhere\\");
        ASSERT_TRUE(core::ReadIniSettings());
    }
    EXPECT_EQ(Settings.PictureDir, "C:\\Café\\");
    EXPECT_EQ(Settings.PictureList.Items[0].Name(), "C:\\Ωmega.bmp");
    EXPECT_EQ(OnDisk(), legacy) << "reading leaves the file as it is";
    ASSERT_TRUE(core::WriteIniSettings());
    EXPECT_NE(OnDisk().find("PictureDir=C:\\Café\\\r\n"), std::string::npos) << OnDisk();
    EXPECT_NE(OnDisk().find("Note=€ 5\r\n"), std::string::npos) << OnDisk();
    EXPECT_NE(OnDisk().find("Filename=C:\\Ωmega.bmp\r\n"), std::string::npos) << OnDisk();
}

TEST_F(SettingsFile, ListEndsAtTheFirstMissingSection) {
    Write("[Options]\r\nMode=1\r\n" + ListSection(0, "C:\\a.bmp", 1) + ListSection(1, "C:\\b.jpg", 2) +
          ListSection(2, "C:\\c.htm", 0) + ListSection(4, "C:\\e.bmp", 1) + "[3]\r\n");
    ASSERT_TRUE(core::ReadIniSettings());
    ASSERT_EQ(Settings.PictureList.Count(), 3);
    EXPECT_EQ(Settings.PictureList.Items[0].Name(), "C:\\a.bmp");
    EXPECT_EQ(Settings.PictureList.Items[1].Name(), "C:\\b.jpg");
    EXPECT_EQ(Settings.PictureList.Items[1].DisplayStyle, 2);
    EXPECT_EQ(Settings.PictureList.Items[2].Name(), "C:\\c.htm");
    EXPECT_TRUE(Settings.PictureList.Items[4].IsEmpty());
    EXPECT_EQ(Settings.PictureList.Items[4].DisplayStyle, 0);
}

TEST_F(SettingsFile, EmptyFilenameEndsTheListButLaterSectionsAreStillRead) {
    Write(ListSection(0, "C:\\a.bmp", 0) + "[1]\r\nFilename=\r\nDisplayStyle=2\r\n" + ListSection(2, "C:\\c.bmp", 1));
    ASSERT_TRUE(core::ReadIniSettings());
    EXPECT_EQ(Settings.PictureList.Count(), 1);
    EXPECT_TRUE(Settings.PictureList.Items[1].IsEmpty());
    EXPECT_EQ(Settings.PictureList.Items[1].DisplayStyle, 2);
    EXPECT_EQ(Settings.PictureList.Items[2].Name(), "C:\\c.bmp");
    EXPECT_EQ(Settings.PictureList.Items[2].DisplayStyle, 1);

    ASSERT_TRUE(core::WriteIniSettings());
    const base::TIniFile ini = File();
    EXPECT_EQ(ini.ReadString("0", "Filename", ""), "C:\\a.bmp");
    EXPECT_FALSE(ini.SectionExists("1"));
    EXPECT_FALSE(ini.SectionExists("2"));
}

TEST_F(SettingsFile, ReadingASecondFileGivesWhatAFreshReadOfItGives) {
    Write("[Options]\r\nChangeWhen=1\r\nPictureDir=C:\\first\r\n" + ListSection(0, "C:\\" + std::string(200, 'a'), 2) +
          ListSection(1, "C:\\longer\\name.bmp", 1) + ListSection(2, "C:\\c.bmp", 1));
    ASSERT_TRUE(core::ReadIniSettings());
    // Another file's name: the profile service may cache what it read under the first one's.
    const std::string second = dir.File("second.ini");
    dir.WriteFile("second.ini",
                  "[Options]\r\nMode=1\r\n" + ListSection(0, "C:\\z.bmp", 0) + "[1]\r\nDisplayStyle=2\r\n");
    const core::IniFileOverride toSecond(second);
    ASSERT_TRUE(core::ReadIniSettings());
    const core::TSettings afterFirst = Settings;
    Settings = core::TSettings();
    ASSERT_TRUE(core::ReadIniSettings());
    EXPECT_EQ(fuzz::RecordDifference(Settings, afterFirst), "");
}

TEST_F(SettingsFile, FilenameOf260CharactersFitsAnd261Fail) {
    const std::string longest = "C:\\" + std::string(253, 'p') + ".bmp";
    ASSERT_EQ(longest.size(), 260u);
    Write("[Options]\r\nNextImage=3\r\n" + ListSection(0, longest, 2));
    ASSERT_TRUE(core::ReadIniSettings());
    EXPECT_EQ(Settings.PictureList.Items[0].Name(), longest);
    EXPECT_EQ(Settings.PictureList.Count(), 1);

    // Characters, not bytes: 260 Greek letters take 520.
    std::string greek;
    for (int i = 0; i < 260; ++i) greek += "ω";
    Write(ListSection(0, greek, 2) + ListSection(1, greek + "x", 1));
    ExpectFailure([] { core::ReadIniSettings(); }, kReadError);
    EXPECT_EQ(Settings.PictureList.Items[0].Name(), greek);
    EXPECT_EQ(Settings.PictureList.Items[1].Name(), greek) << "the first 260 are stored before the failure";

    Settings.PictureList.Clear();
    Write("[Options]\r\nNextImage=4\r\n" + ListSection(0, "C:\\a.bmp", 1) + ListSection(1, longest + "x", 2));
    ExpectFailure([] { core::ReadIniSettings(); }, kReadError);
    // What was read before the failure stays read.
    EXPECT_EQ(Settings.NextImage, 4);
    EXPECT_EQ(Settings.PictureList.Items[0].Name(), "C:\\a.bmp");
    EXPECT_EQ(Settings.PictureList.Items[0].DisplayStyle, 1);
    EXPECT_EQ(Settings.PictureList.Items[1].DisplayStyle, 0);
}

TEST_F(SettingsFile, SaveWritesEveryKeyAndReadsBack) {
    Settings.ChangeWhen = 1;
    Settings.Mode = 1;
    Settings.NextImage = 42;
    Settings.ForceAD = true;
    Settings.PictureDir = "D:\\Pictures\\";
    Settings.BMPtype = false;
    Settings.GIFtype = true;
    Settings.PNGtype = true;
    Settings.DisplayStyle = 2;
    Settings.LastChanged = base::TDate::FromYMD(2022, 11, 9);
    SetEntry(0, "C:\\a.bmp", 1);
    SetEntry(1, "C:\\" + std::string(256, 'q'), 2);
    ASSERT_TRUE(core::WriteIniSettings());

    const std::string expectedOptions =
        "[Options]\r\nChangeWhen=1\r\nMode=1\r\nForceAD=1\r\nPictureDir=D:\\Pictures\\\r\nBMPtype=0\r\nGIFtype=1\r\n"
        "JPGtype=0\r\nPNGtype=1\r\nDisplayStyle=2\r\nLastChanged=" +
        base::DateToStr(Settings.LastChanged) + "\r\nNextImage=42\r\n";
    const std::string onDisk = OnDisk();
    EXPECT_EQ(onDisk.find(expectedOptions), 0u) << onDisk;
    EXPECT_NE(onDisk.find("[0]\r\nFilename=C:\\a.bmp\r\nDisplayStyle=1\r\n"), std::string::npos) << onDisk;

    const core::TSettings saved = Settings;
    Settings = core::TSettings();
    Settings.PictureList.Clear();
    ASSERT_TRUE(core::ReadIniSettings());
    EXPECT_EQ(Settings.ChangeWhen, saved.ChangeWhen);
    EXPECT_EQ(Settings.Mode, saved.Mode);
    EXPECT_EQ(Settings.NextImage, saved.NextImage);
    EXPECT_EQ(Settings.ForceAD, saved.ForceAD);
    EXPECT_EQ(Settings.PictureDir, saved.PictureDir);
    EXPECT_EQ(Settings.BMPtype, saved.BMPtype);
    EXPECT_EQ(Settings.GIFtype, saved.GIFtype);
    EXPECT_EQ(Settings.JPGtype, saved.JPGtype);
    EXPECT_EQ(Settings.PNGtype, saved.PNGtype);
    EXPECT_EQ(Settings.DisplayStyle, saved.DisplayStyle);
    EXPECT_EQ(Settings.LastChanged, saved.LastChanged);
    ASSERT_EQ(Settings.PictureList.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Settings.PictureList.Items[i].Name(), saved.PictureList.Items[i].Name());
        EXPECT_EQ(Settings.PictureList.Items[i].DisplayStyle, saved.PictureList.Items[i].DisplayStyle);
    }
}

TEST_F(SettingsFile, ZeroDateIsSavedAsThe30thOfDecember1899AndReadsBack) {
    Settings.LastChanged = base::TDate();
    ASSERT_TRUE(core::WriteIniSettings());
    const std::string written = File().ReadString("Options", "LastChanged", "");
    EXPECT_EQ(written, base::DateToStr(base::TDate::FromYMD(1899, 12, 30)));
    // The test prefix pins the user locale to en-US.
    if (base::ShortDateFormat() == "M/d/yyyy") {
        EXPECT_EQ(written, "12/30/1899");
    }

    Settings.LastChanged = base::TDate::FromYMD(2020, 1, 1);
    ASSERT_TRUE(core::ReadIniSettings());
    EXPECT_TRUE(Settings.LastChanged.IsZero());
}

TEST_F(SettingsFile, SavingAShorterListRemovesTheOldSections) {
    for (int i = 0; i < 5; ++i) SetEntry(i, "C:\\old" + std::to_string(i) + ".bmp", 0);
    ASSERT_TRUE(core::WriteIniSettings());
    ASSERT_TRUE(File().SectionExists("4"));

    Settings.PictureList.Clear();
    for (int i = 0; i < 3; ++i) SetEntry(i, "C:\\new" + std::to_string(i) + ".jpg", i);
    ASSERT_TRUE(core::WriteIniSettings());
    const base::TIniFile ini = File();
    base::TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(std::vector<std::string>(sections.begin(), sections.end()),
              (std::vector<std::string>{"Options", "0", "1", "2"}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ini.ReadString(std::to_string(i), "Filename", ""), "C:\\new" + std::to_string(i) + ".jpg");
        EXPECT_EQ(ini.ReadInteger(std::to_string(i), "DisplayStyle", -1), i);
    }
}

// Also where the file's path is as long as the system takes: a copy's name is no longer than the file's.
TEST_F(SettingsFile, FullListIsSavedAndReadWhole) {
    const std::string deep = dir.File(std::string(258 - path.size(), 'd'));
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    const core::IniFileOverride longest(deep + "\\Tamberlyn.ini");
    ASSERT_EQ(core::IniFileName().size(), 259u);
    for (int i = 0; i < core::kPictureListSize; ++i) SetEntry(i, "C:\\p" + std::to_string(i) + ".bmp", i % 3);
    ASSERT_TRUE(core::WriteIniSettings());
    ASSERT_TRUE(core::MarkWallpaperChanged());
    Settings.PictureList.Clear();
    ASSERT_TRUE(core::ReadIniSettings());
    ASSERT_EQ(Settings.PictureList.Count(), core::kPictureListSize);
    EXPECT_EQ(Settings.PictureList.Items[199].Name(), "C:\\p199.bmp");
    EXPECT_EQ(Settings.PictureList.Items[199].DisplayStyle, 199 % 3);
}

TEST_F(SettingsFile, SectionBeyondTheSectionCountSurvivesASave) {
    Write("[Options]\r\nMode=1\r\n" + ListSection(0, "C:\\a.bmp", 0) + ListSection(7, "C:\\hand.bmp", 2));
    SetEntry(0, "C:\\b.bmp", 1);
    ASSERT_TRUE(core::WriteIniSettings());
    const base::TIniFile ini = File();
    EXPECT_EQ(ini.ReadString("0", "Filename", ""), "C:\\b.bmp");
    EXPECT_EQ(ini.ReadString("7", "Filename", ""), "C:\\hand.bmp");
}

// A header that the profile service would keep (one without keys, or a second one of the same name) would
// take the saved entry in its own place, and the next save would move it.
TEST_F(SettingsFile, SaveErasesEveryHeaderOfAListSectionSoThatASecondSaveChangesNothing) {
    Write("[1]\r\n[Options]\r\nMode=1\r\n" + ListSection(0, "C:\\a.bmp", 1) + "[Other]\r\nKey=v\r\n" +
          ListSection(0, "C:\\twice.bmp", 2) + "[9]\r\nFilename=C:\\hand.bmp\r\n");
    ASSERT_TRUE(core::ReadIniSettings());
    SetEntry(1, "C:\\b.bmp", 0);
    ASSERT_TRUE(core::WriteIniSettings());
    const std::string firstSave = OnDisk();
    ASSERT_TRUE(core::WriteIniSettings());
    EXPECT_EQ(OnDisk(), firstSave);
    base::TStringList sections;
    File().ReadSections(sections);
    EXPECT_EQ(std::vector<std::string>(sections.begin(), sections.end()),
              (std::vector<std::string>{"Options", "Other", "9", "0", "1"}));
    EXPECT_EQ(firstSave.find("twice"), std::string::npos);
}

TEST_F(SettingsFile, MarkingAChangeWritesOnlyTheDateAndTheNextImage) {
    Settings.NextImage = 9;
    Settings.PictureDir = "D:\\elsewhere";
    ASSERT_TRUE(core::MarkWallpaperChanged());
    EXPECT_EQ(Settings.NextImage, 10);
    EXPECT_EQ(Settings.LastChanged, base::Today());
    EXPECT_EQ(OnDisk(), "[Options]\r\nLastChanged=" + base::DateToStr(base::Today()) + "\r\nNextImage=10\r\n");

    const std::string other =
        "[Options]\r\nChangeWhen=1\r\nNextImage=3\r\nPictureDir=C:\\keep\r\n" + ListSection(0, "C:\\a.bmp", 2);
    Write(other);
    Settings.NextImage = 3;
    ASSERT_TRUE(core::MarkWallpaperChanged());
    const base::TIniFile ini = File();
    EXPECT_EQ(ini.ReadInteger("Options", "NextImage", 0), 4);
    EXPECT_EQ(ini.ReadDate("Options", "LastChanged", base::TDate()), base::Today());
    EXPECT_EQ(ini.ReadInteger("Options", "ChangeWhen", 0), 1);
    EXPECT_EQ(ini.ReadString("Options", "PictureDir", ""), "C:\\keep");
    EXPECT_EQ(ini.ReadString("0", "Filename", ""), "C:\\a.bmp");
}

// Refused alike whether the file carries the read-only attribute (which Wine's profile service would
// silently accept) or another program holds it open for reading and refuses writers. Held by one that
// shares nothing, it cannot even be read: that is a read error, never a file taken for empty.
TEST_F(SettingsFile, ReadOnlyOrHeldFileFailsEveryWriteAndStaysAsItWas) {
    const std::string original = "[Options]\r\nNextImage=5\r\n" + ListSection(0, "C:\\a.bmp", 1);
    Write(original);
    {
        const testing_support::FileHeldForReading exclusive(path, 0);
        ExpectFailure([] { core::ReadIniSettings(); }, kReadError);
    }
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held ? "held open" : "read-only");
        Write(original);
        ASSERT_TRUE(core::ReadIniSettings());
        std::unique_ptr<testing_support::FileHeldForReading> holder;
        if (held)
            holder = std::make_unique<testing_support::FileHeldForReading>(path);
        else
            ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
        SetEntry(0, "C:\\other.bmp", 2);
        ExpectFailure([] { core::WriteIniSettings(); }, kWriteError);
        // The record changes in memory even when the file refuses it.
        Settings.NextImage = 5;
        ExpectFailure([] { core::MarkWallpaperChanged(); }, kWriteError);
        EXPECT_EQ(Settings.NextImage, 6);
        EXPECT_EQ(Settings.LastChanged, base::Today());
        holder.reset();
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
        EXPECT_EQ(OnDisk(), original);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"Tamberlyn.ini"}) << "no copy is left";
        // Nothing refused is left waiting to be written by a later save.
        ASSERT_TRUE(core::ReadIniSettings());
        EXPECT_EQ(Settings.NextImage, 5);
        EXPECT_EQ(Settings.PictureList.Items[0].Name(), "C:\\a.bmp");
    }
}

// Stopped after any of its writes, a save leaves the old file or the saved one, never its copy; a file at the
// name copies had before is another program's and stays as it is.
TEST_F(SettingsFile, ASaveStoppedAfterAnyOfItsWritesLeavesTheOldFileOrTheSavedOne) {
    const std::string old = "[Options]\r\nNextImage=5\r\n" + ListSection(0, "C:\\a.bmp", 1);
    for (const auto save : {&core::WriteIniSettings, &core::MarkWallpaperChanged}) {
        Write(old);
        dir.WriteFile("Tamberlyn.ini.saving", "[Options]\r\nNextImage=99\r\n");
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
        ASSERT_TRUE(core::ReadIniSettings());
        SetEntry(1, "C:\\b.bmp", 2);
        int writes = 0;
        const base::IniWriteHook count([&] { ++writes; });
        ASSERT_TRUE(save());
        const std::string saved = OnDisk();
        EXPECT_EQ(GetFileAttributesA(path.c_str()), DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE});
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
        for (int stop = 1; stop <= writes; ++stop) {
            Write(old);
            Settings.NextImage = 5;
            int n = 0;
            const base::IniWriteHook stopped([&] {
                if (++n == stop) throw std::runtime_error("stopped");
            });
            ExpectFailure(save, kWriteError);
            EXPECT_EQ(OnDisk(), stop < writes ? old : saved) << "stopped after write " << stop << " of " << writes;
            EXPECT_EQ(dir.Names(), (std::vector<std::string>{"Tamberlyn.ini", "Tamberlyn.ini.saving"}));
            EXPECT_EQ(dir.ReadFile("Tamberlyn.ini.saving"), "[Options]\r\nNextImage=99\r\n");
        }
    }
}

// Killed right after either step of a save (its copy written whole, its copy in the file's place), a process
// leaves the old file or the saved one, and the system takes the copy away with it.
TEST_F(SettingsFile, ASaveKilledAfterEitherStepLeavesTheOldFileOrTheSavedOneAndNoCopy) {
    const std::string old = "[Options]\r\n" + ListSection(0, "C:\\a.bmp", 1) + ListSection(1, "C:\\b.bmp", 2);
    Write(old);
    ASSERT_TRUE(core::ReadIniSettings());
    std::swap(Settings.PictureList.Items[0], Settings.PictureList.Items[1]);
    ASSERT_TRUE(core::WriteIniSettings());
    const std::string saved = OnDisk();
    for (const int step : {1, 2}) {
        Write(old);
        const testing_support::RunOutcome killed = testing_support::RunAnswering(
            "\"" + base::ExeDirectory() + "killed_save.exe\" \"" + path + "\" " + std::to_string(step), dir.Path(),
            20000);
        EXPECT_EQ(killed.exitCode, 7u);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"Tamberlyn.ini"}) << "killed after step " << step;
        EXPECT_EQ(OnDisk(), step == 1 ? old : saved);
    }
}

TEST_F(SettingsFile, DirectoryInPlaceOfTheFileFailsTheSave) {
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    ExpectFailure([] { core::WriteIniSettings(); }, kWriteError);
    ExpectFailure([] { core::MarkWallpaperChanged(); }, kWriteError);
}

}  // namespace
