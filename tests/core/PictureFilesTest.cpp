#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/StringList.h"
#include "base/SysUtils.h"
#include "core/PictureFiles.h"
#include "support/TempDir.h"

namespace {

using testing_support::TempDir;
using Names = std::vector<std::string>;

Names Listed(const base::TStringList& list) {
    return Names(list.begin(), list.end());
}

template <typename Routine>
std::string FailureOf(Routine routine) {
    try {
        routine();
    } catch (const base::Exception& e) {
        return e.Message();
    }
    return "(no error)";
}

// An empty file made through the ANSI call, so that names beyond ASCII mean what they mean to the program.
void Touch(const TempDir& dir, const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    const HANDLE file = CreateFileA(dir.File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    CloseHandle(file);
}

// The directory without its trailing backslash, as a user types it.
std::string Bare(const TempDir& dir) {
    return dir.Path().substr(0, dir.Path().size() - 1);
}

core::TSettings DirectorySettings(const std::string& dir) {
    core::TSettings settings;
    settings.PictureDir = dir;
    return settings;
}

// Every name ChooseFromDirectory shows, walking NextImage from 0 until it starts again.
Names Walk(core::TSettings settings) {
    Names shown;
    for (int next = 0;; ++next) {
        settings.NextImage = next;
        const core::WallpaperChoice choice = core::ChooseFromDirectory(settings);
        if (settings.NextImage != next) return shown;
        shown.push_back(choice.Path.substr(choice.Path.find_last_of('\\') + 1));
    }
}

TEST(AddTrailingBackslash, AppendsOneBackslashOnlyWhenMissing) {
    EXPECT_EQ(core::AddTrailingBackslash("C:\\WINDOWS"), "C:\\WINDOWS\\");
    EXPECT_EQ(core::AddTrailingBackslash("C:\\WINDOWS\\"), "C:\\WINDOWS\\");
    EXPECT_EQ(core::AddTrailingBackslash("C:"), "C:\\");
    EXPECT_EQ(core::AddTrailingBackslash("pictures/"), "pictures/\\");
    EXPECT_EQ(FailureOf([] { core::AddTrailingBackslash(""); }), "Range check error");
}

TEST(FindPictureFiles, ListsOnlyOrdinaryMatchingFilesSorted) {
    const TempDir dir;
    Touch(dir, "b.bmp");
    Touch(dir, "A.BMP");
    Touch(dir, "c.bmp", FILE_ATTRIBUTE_READONLY);
    Touch(dir, "d.bmp", FILE_ATTRIBUTE_ARCHIVE);
    Touch(dir, "hidden.bmp", FILE_ATTRIBUTE_HIDDEN);
    Touch(dir, "system.bmp", FILE_ATTRIBUTE_SYSTEM);
    Touch(dir, "photo.jpg");
    ASSERT_TRUE(CreateDirectoryA(dir.File("folder.bmp").c_str(), nullptr));

    base::TStringList list;
    list.Add("left over");
    core::FindPictureFiles(Bare(dir), "*.bmp", 0, list);
    EXPECT_EQ(Listed(list), (Names{"A.BMP", "b.bmp", "c.bmp", "d.bmp"}));

    core::FindPictureFiles(dir.Path(), "*.bmp", FILE_ATTRIBUTE_HIDDEN, list);
    EXPECT_EQ(Listed(list), (Names{"A.BMP", "b.bmp", "c.bmp", "d.bmp", "hidden.bmp"}));

    core::FindPictureFiles(dir.Path(), "*.bmp", FILE_ATTRIBUTE_DIRECTORY, list);
    EXPECT_EQ(Listed(list), (Names{"A.BMP", "b.bmp", "c.bmp", "d.bmp", "folder.bmp"}));

    core::FindPictureFiles(dir.Path() + "missing", "*.bmp", 0, list);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(FailureOf([&] { core::FindPictureFiles("", "*.bmp", 0, list); }), "Range check error");
}

// Names that differ by case, by punctuation that word sorting weighs last, by digits: the listing must be in
// the order of the locale's own comparison, whichever way the program gets there. (The file names stay within
// ASCII because the test prefix's Wine maps file names to a host charset without other characters;
// StringListSortTest covers the rest of the code page in memory.)
TEST(FindPictureFiles, OrderIsTheLocalesCaseInsensitiveComparison) {
    const TempDir dir;
    // One name per file: the file system does not tell names apart by case.
    std::map<std::string, std::string> byFolded;
    const auto add = [&byFolded](const std::string& name) {
        std::string folded = name;
        CharLowerBuffA(&folded[0], static_cast<DWORD>(folded.size()));
        byFolded.emplace(folded, name);
    };
    for (const char* name : {"co-op.bmp", "coop.bmp", "co op.bmp", "Co_op.bmp", "Zeta.bmp", "a'b.bmp", "ab.bmp",
                             "10.bmp", "9.bmp", "~t.bmp", "Aesop2.bmp", "(1).bmp"})
        add(name);
    std::mt19937 random(7);
    const std::string alphabet = "aAbBeE-' _.019~(";
    while (byFolded.size() < 300) {
        std::string name;
        for (size_t length = 1 + random() % 8; length > 0; --length) name += alphabet[random() % alphabet.size()];
        // Wine gives names that start with a dot the hidden attribute, as Unix hides them; Windows does not.
        if (name[0] != '.') add(name + ".bmp");
    }
    std::vector<std::string> names;
    for (const auto& entry : byFolded) names.push_back(entry.second);
    for (const std::string& name : names) Touch(dir, name);

    base::TStringList list;
    core::FindPictureFiles(dir.Path(), "*.bmp", 0, list);
    ASSERT_EQ(list.Count(), static_cast<int>(names.size()));
    for (int i = 1; i < list.Count(); ++i)
        EXPECT_LE(base::CompareTextLocale(list[i - 1], list[i]), 0) << list[i - 1] << " / " << list[i];

    // The choice of one position picks what the full sort has there.
    core::TSettings settings = DirectorySettings(dir.Path());
    settings.BMPtype = true;
    EXPECT_EQ(Walk(settings), Listed(list));
}

TEST(StyleName, NamesTheThreeStylesAndNothingElse) {
    EXPECT_EQ(core::StyleName(0), "CENTER");
    EXPECT_EQ(core::StyleName(1), "STRETCH");
    EXPECT_EQ(core::StyleName(2), "TILE");
    EXPECT_EQ(core::StyleName(3), "");
    EXPECT_EQ(core::StyleName(-1), "");
    EXPECT_EQ(core::StyleName(7), "");
}

class ChooseFromDirectory : public ::testing::Test {
protected:
    ChooseFromDirectory() {
        for (const char* name : {"c.bmp", "A.jpg", "b.bmp", "d.jpeg", "e.gif", "f.png"}) Touch(dir, name);
        Touch(dir, "hidden.bmp", FILE_ATTRIBUTE_HIDDEN);
        Touch(dir, "system.jpg", FILE_ATTRIBUTE_SYSTEM);
        CreateDirectoryA(dir.File("folder.bmp").c_str(), nullptr);
    }

    TempDir dir;
};

TEST_F(ChooseFromDirectory, EnabledTypesFormOneSortedListing) {
    core::TSettings settings = DirectorySettings(Bare(dir));
    settings.BMPtype = true;
    settings.JPGtype = true;
    EXPECT_EQ(Walk(settings), (Names{"A.jpg", "b.bmp", "c.bmp", "d.jpeg"}));

    const struct {
        bool core::TSettings::*type;
        Names shown;
    } single[] = {{&core::TSettings::BMPtype, {"b.bmp", "c.bmp"}},
                  {&core::TSettings::GIFtype, {"e.gif"}},
                  {&core::TSettings::JPGtype, {"A.jpg", "d.jpeg"}},
                  {&core::TSettings::PNGtype, {"f.png"}}};
    for (const auto& type : single) {
        core::TSettings one = DirectorySettings(dir.Path());
        one.*type.type = true;
        EXPECT_EQ(Walk(one), type.shown);
    }
}

TEST_F(ChooseFromDirectory, PathJoinsTheDirectoryWithOneBackslash) {
    for (const std::string& pictureDir : {Bare(dir), dir.Path()}) {
        core::TSettings settings = DirectorySettings(pictureDir);
        settings.BMPtype = true;
        settings.NextImage = 1;
        EXPECT_EQ(core::ChooseFromDirectory(settings).Path, dir.Path() + "c.bmp");
    }
}

TEST_F(ChooseFromDirectory, PositionPastTheListingOrNegativeStartsAgain) {
    core::TSettings settings = DirectorySettings(dir.Path());
    settings.BMPtype = true;
    settings.JPGtype = true;
    for (const int32_t next : {4, 5, 1000, -1}) {
        settings.NextImage = next;
        EXPECT_EQ(core::ChooseFromDirectory(settings).Path, dir.Path() + "A.jpg") << next;
        EXPECT_EQ(settings.NextImage, 0) << next;
    }
    settings.NextImage = 3;
    EXPECT_EQ(core::ChooseFromDirectory(settings).Path, dir.Path() + "d.jpeg");
    EXPECT_EQ(settings.NextImage, 3);
}

TEST_F(ChooseFromDirectory, StyleNameComesFromTheSettings) {
    core::TSettings settings = DirectorySettings(dir.Path());
    settings.GIFtype = true;
    const std::pair<int32_t, const char*> styles[] = {{0, "CENTER"}, {1, "STRETCH"}, {2, "TILE"}, {7, ""}};
    for (const auto& style : styles) {
        settings.DisplayStyle = style.first;
        EXPECT_EQ(core::ChooseFromDirectory(settings).StyleName, style.second);
    }
}

TEST(ChooseFromDirectoryFailures, NothingListedIsTheListIndexError) {
    const TempDir empty;
    core::TSettings settings = DirectorySettings(empty.Path());
    settings.BMPtype = settings.GIFtype = settings.JPGtype = settings.PNGtype = true;
    EXPECT_EQ(FailureOf([&] { core::ChooseFromDirectory(settings); }), "List index out of bounds (0)");

    const TempDir full;
    Touch(full, "a.bmp");
    core::TSettings none = DirectorySettings(full.Path());
    EXPECT_EQ(FailureOf([&] { core::ChooseFromDirectory(none); }), "List index out of bounds (0)");

    core::TSettings missing = DirectorySettings(full.Path() + "missing");
    missing.BMPtype = true;
    EXPECT_EQ(FailureOf([&] { core::ChooseFromDirectory(missing); }), "List index out of bounds (0)");
}

TEST(ChooseFromDirectoryFailures, EmptyDirectoryNameIsARangeErrorOnlyWhenATypeIsEnabled) {
    core::TSettings settings = DirectorySettings("");
    settings.PNGtype = true;
    EXPECT_EQ(FailureOf([&] { core::ChooseFromDirectory(settings); }), "Range check error");
    settings.PNGtype = false;
    EXPECT_EQ(FailureOf([&] { core::ChooseFromDirectory(settings); }), "List index out of bounds (0)");
}

void SetEntry(core::TSettings& settings, int slot, const std::string& name, int32_t style) {
    core::PictureEntry& entry = settings.PictureList.Items[slot];
    std::memset(entry.Filename, 0, sizeof entry.Filename);
    std::memcpy(entry.Filename, name.data(), name.size());
    entry.DisplayStyle = style;
}

core::TSettings ListSettings(int entries) {
    core::TSettings settings;
    settings.Mode = 1;
    settings.PictureList.Clear();
    for (int i = 0; i < entries; ++i) SetEntry(settings, i, "C:\\list\\" + std::to_string(i) + ".bmp", i % 3);
    return settings;
}

TEST(ChooseFromList, WalksTheEntriesAndStartsAgainAfterTheLast) {
    core::TSettings settings = ListSettings(3);
    const char* styles[] = {"CENTER", "STRETCH", "TILE"};
    for (int32_t next = 0; next < 3; ++next) {
        settings.NextImage = next;
        const core::WallpaperChoice choice = core::ChooseFromList(settings);
        EXPECT_EQ(choice.Path, "C:\\list\\" + std::to_string(next) + ".bmp");
        EXPECT_EQ(choice.StyleName, styles[next]);
        EXPECT_EQ(settings.NextImage, next);
    }
    for (const int32_t next : {3, 199, 200, -1}) {
        settings.NextImage = next;
        EXPECT_EQ(core::ChooseFromList(settings).Path, "C:\\list\\0.bmp") << next;
        EXPECT_EQ(settings.NextImage, 0) << next;
    }
}

// A read fills the slots behind an empty name, but the list ends there.
TEST(ChooseFromList, SlotBehindTheFirstEmptyNameStartsAgain) {
    core::TSettings settings = ListSettings(1);
    settings.PictureList.Items[1].DisplayStyle = 2;
    SetEntry(settings, 2, "C:\\c.bmp", 1);
    settings.NextImage = 2;
    EXPECT_EQ(core::ChooseFromList(settings).Path, "C:\\list\\0.bmp");
    EXPECT_EQ(settings.NextImage, 0);
}

TEST(ChooseFromList, FullListWrapsFromTheLastSlot) {
    core::TSettings settings = ListSettings(core::kPictureListSize);
    settings.NextImage = 199;
    EXPECT_EQ(core::ChooseFromList(settings).Path, "C:\\list\\199.bmp");
    settings.NextImage = 200;
    EXPECT_EQ(core::ChooseFromList(settings).Path, "C:\\list\\0.bmp");
    EXPECT_EQ(settings.NextImage, 0);
}

TEST(ChooseFromList, EachEntryHasItsOwnStyle) {
    core::TSettings settings = ListSettings(2);
    settings.DisplayStyle = 2;
    SetEntry(settings, 0, "C:\\a.htm", 1);
    SetEntry(settings, 1, "C:\\b.bmp", 7);
    EXPECT_EQ(core::ChooseFromList(settings).StyleName, "STRETCH");
    settings.NextImage = 1;
    EXPECT_EQ(core::ChooseFromList(settings).StyleName, "");
}

TEST(ChooseFromList, EmptyListGivesTheEmptyPath) {
    core::TSettings settings = ListSettings(0);
    settings.PictureList.Items[0].DisplayStyle = 2;
    settings.NextImage = 1;
    const core::WallpaperChoice choice = core::ChooseFromList(settings);
    EXPECT_EQ(choice.Path, "");
    EXPECT_EQ(choice.StyleName, "TILE");
    EXPECT_EQ(settings.NextImage, 0);
}

}  // namespace
