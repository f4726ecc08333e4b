#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/IniFileUpdate.h"
#include "base/IniFiles.h"
#include "base/SysUtils.h"
#include "support/HeldFile.h"
#include "support/SymbolicLink.h"
#include "support/TempDir.h"

namespace {

using testing_support::SymbolicLink;
using testing_support::TempDir;

std::vector<std::string> Names(const base::TStringList& list) {
    return std::vector<std::string>(list.begin(), list.end());
}

base::TIniFile Parsed(const std::string& text) {
    return base::TIniFile(base::WideText(text));
}

std::string Written(const base::TIniFile& ini) {
    return base::EncodeIniText(ini.Text(), base::TIniEncoding::ActiveCodePage);
}

// Expects the call to be refused with the message naming the file.
template <typename Call>
void ExpectRefused(const std::string& message, Call call) {
    try {
        call();
        ADD_FAILURE() << "not refused: " << message;
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

TEST(IniFile, MissingKeysGiveTheDefaultAndEmptyValuesStayEmpty) {
    const base::TIniFile ini = Parsed("[S]\r\nEmpty=\r\nText=  two words  \r\nKEY=upper\r\nBare\r\n");
    EXPECT_EQ(ini.ReadString("S", "Empty", "default"), "");
    EXPECT_EQ(ini.ReadString("S", "Text", "default"), "two words");
    EXPECT_EQ(ini.ReadString("s", "key", "default"), "upper");
    EXPECT_EQ(ini.ReadString("S", "Missing", "default"), "default");
    EXPECT_EQ(ini.ReadString("S", "Bare", "default"), "default") << "a line without an equals sign has no value";
    EXPECT_EQ(ini.ReadString("Other", "Text", "default"), "default");
    EXPECT_EQ(ini.ReadString("S", "Missing", "C:\\dir with blank "), "C:\\dir with blank ");
    EXPECT_EQ(base::TIniFile().ReadString("S", "Text", "default"), "default");
}

// Characters as the system counts them, UTF-16 units: never a byte count, never part of a character.
TEST(IniFile, LongValuesAreCutAt2047Characters) {
    const std::string value(3000, 'v');
    std::string greek = "xy";
    for (int i = 0; i < 1500; ++i) greek += "λ🌊";
    const base::TIniFile ini = Parsed("[S]\r\nLong=" + value + "\r\nGreek=" + greek + "\r\n");
    EXPECT_EQ(ini.ReadString("S", "Long", ""), value.substr(0, 2047));
    const std::string cut = ini.ReadString("S", "Greek", "");
    EXPECT_EQ(base::WideLength(cut), 2046u) << "the wave's two units would pass the limit";
    EXPECT_EQ(cut, greek.substr(0, cut.size()));
    EXPECT_EQ(cut.substr(cut.size() - 2), "λ");
}

// Reading takes blanks (also Ctrl-Z and the spaces of other scripts) and a pair of quotes from a value's ends;
// the writing protects what the reading would take, and nothing else: a letter of any script is a plain end.
TEST(IniFile, StringsReadBackAsWrittenWhateverTheirEnds) {
    const std::vector<std::string> values = {" lead",
                                             "trail ",
                                             "\ttab\t",
                                             "\"quoted\"",
                                             "'single'",
                                             "\"",
                                             "'half",
                                             "half\"",
                                             "x\x1A",
                                             "no-break\xC2\xA0",
                                             "été Ωμέγα 日本",
                                             "a = b ;c",
                                             "C:\\Фото\\ОТПУСК",
                                             std::string(2046, 'v') + " ",
                                             std::string(2047, 'w')};
    base::TIniFile ini;
    for (size_t i = 0; i < values.size(); ++i) ini.WriteString("S", "K" + std::to_string(i), values[i]);
    const base::TIniFile again = Parsed(Written(ini));
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(again.ReadString("S", "K" + std::to_string(i), ""), values[i]) << i;
    const std::string text = Written(ini);
    EXPECT_NE(text.find("K11=a = b ;c\r\n"), std::string::npos) << "plain values stay plain";
    EXPECT_NE(text.find("K10=été Ωμέγα 日本\r\nK11"), std::string::npos);
    EXPECT_NE(text.find("K12=C:\\Фото\\ОТПУСК\r\n"), std::string::npos);
    EXPECT_NE(text.find("K9=\"no-break\xC2\xA0\"\r\n"), std::string::npos);
}

TEST(IniFile, IntegersAreDecimalOrHexAndOtherwiseTheDefault) {
    const base::TIniFile ini = Parsed(
        "[N]\r\nHex=0x10\r\nHexUpper=0X1f\r\nAllBits=0xFFFFFFFF\r\nNegative=-12\r\nPlus=+7\r\nZero=0\r\n"
        "Empty=\r\nWord=yes\r\nTrailing=12abc\r\nBareHex=0x\r\nBadHex=0xZZ\r\nLongHex=0x100000000\r\n"
        "Big=2147483648\r\nSmall=-2147483648\r\nDollar=$10\r\n");
    const std::vector<std::pair<const char*, int32_t>> cases = {
        {"Hex", 16},   {"HexUpper", 31},     {"AllBits", -1},  {"Negative", -12}, {"Plus", 7},    {"Zero", 0},
        {"Empty", 99}, {"Word", 99},         {"Trailing", 99}, {"BareHex", 99},   {"BadHex", 99}, {"LongHex", 99},
        {"Big", 99},   {"Small", INT32_MIN}, {"Dollar", 99},   {"Missing", 99}};
    for (const auto& [key, expected] : cases) EXPECT_EQ(ini.ReadInteger("N", key, 99), expected) << key;
}

TEST(IniFile, BooleansAreIntegersWhereAnyNonZeroIsTrue) {
    const base::TIniFile ini = Parsed("[B]\r\nTwo=2\r\nOne=1\r\nNought=0\r\nYes=yes\r\nEmpty=\r\n");
    EXPECT_TRUE(ini.ReadBool("B", "Two", false));
    EXPECT_TRUE(ini.ReadBool("B", "One", false));
    EXPECT_FALSE(ini.ReadBool("B", "Nought", true));
    EXPECT_FALSE(ini.ReadBool("B", "Yes", false));
    EXPECT_TRUE(ini.ReadBool("B", "Yes", true));
    EXPECT_TRUE(ini.ReadBool("B", "Empty", true));
    EXPECT_TRUE(ini.ReadBool("B", "Missing", true));
}

TEST(IniFile, DatesUseTheShortDateFormatAndFallBackOnTheDefault) {
    const base::TDate date = base::TDate::FromYMD(2021, 3, 5);
    const base::TDate def = base::TDate::FromYMD(2000, 1, 1);
    const base::TIniFile ini = Parsed("[D]\r\nGood=" + base::DateToStr(date) +
                                      "\r\nZero=" + base::DateToStr(base::TDate()) + "\r\nWord=never\r\nEmpty=\r\n");
    EXPECT_EQ(ini.ReadDate("D", "Good", def), date);
    EXPECT_EQ(ini.ReadDate("D", "Zero", def), base::TDate());
    EXPECT_EQ(ini.ReadDate("D", "Word", def), def);
    EXPECT_EQ(ini.ReadDate("D", "Empty", def), def);
    EXPECT_EQ(ini.ReadDate("D", "Missing", def), def);
}

// As the profile services write a file: a value keeps its line, a new key ends the first section of its name,
// a new section ends the file; comments, lines of other programs and a second section of a name stay.
TEST(IniFile, ChangesKeepEveryOtherLineWhereItWas) {
    base::TIniFile ini = Parsed("loose=1\r\n; comment\r\n\r\n[W]\r\n  Int = 7 \r\nother line\r\n[w]\r\nInt=8\r\n");
    ini.WriteInteger("W", "Int", -5);
    ini.WriteBool("w", "True", true);
    ini.WriteDate("New", "Date", base::TDate());
    EXPECT_EQ(Written(ini),
              "loose=1\r\n; comment\r\n[W]\r\nInt=-5\r\nother line\r\nTrue=1\r\n[w]\r\nInt=8\r\n[New]\r\nDate=" +
                  base::DateToStr(base::TDate()) + "\r\n");
    EXPECT_EQ(ini.ReadInteger("W", "Int", 0), -5);
}

TEST(IniFile, SectionsExistOnlyWithKeys) {
    base::TIniFile ini = Parsed("[Options]\r\nA=1\r\n[Empty]\r\n; note=x\r\n[1]\r\nB=\r\nC=3\r\n");
    base::TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Options", "Empty", "1"}));
    ini.ReadSection("1", list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"B", "C"}));
    EXPECT_TRUE(ini.SectionExists("Options"));
    EXPECT_TRUE(ini.SectionExists("1"));
    EXPECT_FALSE(ini.SectionExists("Empty")) << "a comment is no key";
    EXPECT_FALSE(ini.SectionExists("2"));
    EXPECT_TRUE(ini.ValueExists("1", "B"));
    EXPECT_FALSE(ini.ValueExists("1", "A"));

    ini.EraseSection("1");
    ini.ReadSections(list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Options", "Empty"}));
    EXPECT_EQ(ini.ReadInteger("Options", "A", 0), 1);

    base::TIniFile().ReadSections(list);
    EXPECT_TRUE(list.IsEmpty());
}

TEST(IniFile, ManySectionsAreAllListed) {
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "[Section number " + std::to_string(i) + "]\r\nK=v\r\n";
    base::TStringList list;
    Parsed(text).ReadSections(list);
    ASSERT_EQ(list.Count(), 3000);
    EXPECT_EQ(list[2999], "Section number 2999");
}

// Notepad saves "Unicode" as UTF-16 with a byte-order mark and offers UTF-8 with one: each reads, and is
// written back as it came. A file from before UTF-8 reads in the user's legacy code page.
TEST(IniFile, EveryEncodingReadsAndIsWrittenAsItCame) {
    const std::wstring text = L"[Options]\r\nPictureDir=C:\\Ωμέγα\r\n[0]\r\nFilename=C:\\日本.bmp\r\n";
    for (const base::TIniEncoding encoding :
         {base::TIniEncoding::Utf16, base::TIniEncoding::Utf16BigEndian, base::TIniEncoding::Utf8WithMark}) {
        const std::string bytes = base::EncodeIniText(text, encoding);
        base::TIniEncoding read = base::TIniEncoding::ActiveCodePage;
        const base::TIniFile ini(base::DecodeIniText(bytes, read));
        EXPECT_EQ(read, encoding);
        EXPECT_EQ(ini.ReadString("Options", "PictureDir", ""), "C:\\Ωμέγα");
        EXPECT_EQ(ini.ReadString("0", "Filename", ""), "C:\\日本.bmp") << "the first section after the mark";
        EXPECT_EQ(base::EncodeIniText(ini.Text(), read), bytes);
    }
    EXPECT_EQ(base::EncodeIniText(L"a", base::TIniEncoding::Utf16), std::string("\xFF\xFE"
                                                                                "a\0",
                                                                                4));
    base::TIniEncoding read;
    const base::TIniFile legacy(base::DecodeIniText("[S]\r\nName=caf\xE9\r\nKept=caf\xC3\xA9\r\n", read));
    EXPECT_EQ(read, base::TIniEncoding::ActiveCodePage);
    EXPECT_EQ(legacy.ReadString("S", "Name", ""), "café") << "code page 1252, the en-US legacy one";
    EXPECT_EQ(legacy.ReadString("S", "Kept", ""), "café");
}

// The update's file system: a lock, a copy of its own, and a file that keeps what it was.
class IniFileUpdate : public ::testing::Test {
protected:
    std::vector<std::string> Folder() const { return dir.Names(); }
    void Save(const std::string& value) const {
        base::TIniFileUpdate update(path);
        update.File().WriteString("S", "K", value);
        update.Commit();
    }

    TempDir dir;
    std::string path = dir.File("test.ini");
    std::string refused = "Unable to write to " + path;
};

TEST_F(IniFileUpdate, ReadOnlyFilesFoldersAndMissingFoldersAreRefusedAndHeldFilesAsTheirHolderLets) {
    dir.WriteFile("test.ini", "[S]\r\nK=1\r\n");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectRefused(refused, [&] { Save("2"); });
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    {
        const testing_support::FileHeldForReading editor(path);
        ExpectRefused(refused, [&] { Save("3"); });
    }
    {
        const testing_support::FileHeldForReading exclusive(path, 0);
        ExpectRefused(refused, [&] { Save("4"); });
        ExpectRefused("Unable to read " + path, [&] { base::ReadIniFile(path); });
    }
    EXPECT_EQ(dir.ReadFile("test.ini"), "[S]\r\nK=1\r\n");
    {
        // A viewer that lets others write and delete does not stand in the way.
        const testing_support::FileHeldForReading viewer(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        Save("5");
    }
    EXPECT_EQ(dir.ReadFile("test.ini"), "[S]\r\nK=5\r\n");
    EXPECT_EQ(Folder(), std::vector<std::string>{"test.ini"}) << "no copy is left";

    ASSERT_TRUE(CreateDirectoryA(dir.File("folder.ini").c_str(), nullptr));
    ExpectRefused("Unable to write to " + dir.File("folder.ini"),
                  [&] { base::TIniFileUpdate(dir.File("folder.ini")).Commit(); });
    const std::string nowhere = dir.File("missing\\test.ini");
    EXPECT_EQ(base::ReadIniFile(nowhere).Text(), L"");
    ExpectRefused("Unable to write to " + nowhere, [&] { base::TIniFileUpdate(nowhere).Commit(); });
}

// A disk that takes less than the whole copy fails the update; a step that throws stops it. Either way the
// file is as it was and the copy is gone.
TEST_F(IniFileUpdate, ACopyCutShortOrAStoppedUpdateLeavesTheFileAndNoCopy) {
    dir.WriteFile("test.ini", "[S]\r\nK=1\r\n");
    {
        const base::IniDiskRoom full(5);
        ExpectRefused(refused, [&] { Save("2"); });
    }
    {
        const base::IniWriteHook stopped([] { throw base::Exception("stopped"); });
        ExpectRefused("stopped", [&] { Save("3"); });
    }
    EXPECT_EQ(dir.ReadFile("test.ini"), "[S]\r\nK=1\r\n");
    EXPECT_EQ(Folder(), std::vector<std::string>{"test.ini"});
}

// What another program put beside the file under a copy's name, or under the name copies had before, is
// neither in the way nor touched; a copy left by a power cut goes.
TEST_F(IniFileUpdate, NamesPlantedBesideTheFileAreLeftAloneAndAPowerCutsCopyGoes) {
    dir.WriteFile("test.ini", "[S]\r\nK=1\r\n");
    dir.WriteFile("elsewhere.txt", "precious");
    const SymbolicLink oldCopyName(dir.File("test.ini.saving"), dir.File("elsewhere.txt"));
    ASSERT_TRUE(oldCopyName.Made());
    ASSERT_TRUE(CreateDirectoryA(dir.File("t~0000abcd").c_str(), nullptr));
    const SymbolicLink copyName(dir.File("t~0000abce"), dir.File("elsewhere.txt"));
    ASSERT_TRUE(copyName.Made());
    dir.WriteFile("t~0000abcf", "held");
    ASSERT_TRUE(SetFileAttributesA(dir.File("t~0000abcf").c_str(), FILE_ATTRIBUTE_READONLY));
    dir.WriteFile("t~0000abd0", "[S]\r\nK=left by a power cut\r\n");
    Save("2");
    EXPECT_EQ(dir.ReadFile("test.ini"), "[S]\r\nK=2\r\n");
    EXPECT_EQ(dir.ReadFile("elsewhere.txt"), "precious");
    EXPECT_EQ(Folder(), (std::vector<std::string>{"elsewhere.txt", "test.ini", "test.ini.saving", "t~0000abcd",
                                                  "t~0000abce", "t~0000abcf"}));
    EXPECT_NE(GetFileAttributesA(dir.File("t~0000abcf").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    SetFileAttributesA(dir.File("t~0000abcf").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A file kept behind a symbolic link is changed at its target, and keeps its attributes and encoding.
TEST_F(IniFileUpdate, TheFileIsChangedWhereItLiesAndKeepsWhatItWas) {
    const TempDir synced;
    const std::string target = synced.File("real.ini");
    synced.WriteFile("real.ini", base::EncodeIniText(L"[S]\r\nK=1\r\n", base::TIniEncoding::Utf16));
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    const SymbolicLink link(path, target);
    ASSERT_TRUE(link.Made());
    Save("Ωμέγα");
    EXPECT_EQ(synced.ReadFile("real.ini"), base::EncodeIniText(L"[S]\r\nK=Ωμέγα\r\n", base::TIniEncoding::Utf16));
    EXPECT_EQ(GetFileAttributesA(target.c_str()), DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE});
    EXPECT_EQ(base::ReadIniFile(path).ReadString("S", "K", ""), "Ωμέγα") << "the link still leads to it";
    EXPECT_EQ(Folder(), std::vector<std::string>{"test.ini"});
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
