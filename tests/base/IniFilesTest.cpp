#include <gtest/gtest.h>

#include <vector>

#include "support/TempDir.h"
#include "base/IniFiles.h"
#include "base/SysUtils.h"

namespace {

using testing_support::TempDir;

std::vector<std::string> Names(const ui::TStringList& list) {
    return std::vector<std::string>(list.begin(), list.end());
}

// Expects the write to be refused with the service's message naming the file.
template <typename Write>
void ExpectRefused(const std::string& fileName, Write write) {
    try {
        write();
        ADD_FAILURE() << "write to " << fileName << " was not refused";
    } catch (const ui::Exception& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + fileName);
    }
}

class IniFile : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.File("test.ini");
    ui::TIniFile ini{path};
};

TEST_F(IniFile, MissingKeysGiveTheDefaultAndEmptyValuesStayEmpty) {
    dir.WriteFile("test.ini", "[S]\r\nEmpty=\r\nText=  two words  \r\nKEY=upper\r\n");
    EXPECT_EQ(ini.ReadString("S", "Empty", "default"), "");
    EXPECT_EQ(ini.ReadString("S", "Text", "default"), "two words");
    EXPECT_EQ(ini.ReadString("s", "key", "default"), "upper");
    EXPECT_EQ(ini.ReadString("S", "Missing", "default"), "default");
    EXPECT_EQ(ini.ReadString("Other", "Text", "default"), "default");
    // The default comes back as given; the service alone would cut its trailing blanks.
    EXPECT_EQ(ini.ReadString("S", "Missing", "C:\\dir with blank "), "C:\\dir with blank ");
    EXPECT_EQ(ui::TIniFile(dir.File("none.ini")).ReadString("S", "Text", "default"), "default");
}

// Characters as the system counts them, UTF-16 units: never a byte count, never part of a character.
TEST_F(IniFile, LongValuesAreCutAt2047Characters) {
    const std::string value(3000, 'v');
    std::string greek = "xy";
    for (int i = 0; i < 1500; ++i) greek += "λ🌊";
    dir.WriteFile("test.ini", "[S]\r\nLong=" + value + "\r\nGreek=" + greek + "\r\n");
    EXPECT_EQ(ini.ReadString("S", "Long", ""), value.substr(0, 2047));
    const std::string cut = ini.ReadString("S", "Greek", "");
    EXPECT_EQ(ui::WideLength(cut), 2046u) << "the wave's two units would pass the limit";
    EXPECT_EQ(cut, greek.substr(0, cut.size()));
    EXPECT_EQ(cut.substr(cut.size() - 2), "λ");
}

// Reading takes blanks (Wine also 0x1A) and a pair of quotes from a value's ends; the writing protects
// what the reading would take, up to the longest value seen.
TEST_F(IniFile, StringsReadBackAsWrittenWhateverTheirEnds) {
    const std::vector<std::string> values = {" lead",
                                             "trail ",
                                             "\ttab\t",
                                             "\"quoted\"",
                                             "'single'",
                                             "\"",
                                             "'half",
                                             "half\"",
                                             "x\x1A",
                                             "été Ωμέγα 日本",
                                             "a = b ;c",
                                             std::string(2046, 'v') + " ",
                                             std::string(2047, 'w')};
    for (size_t i = 0; i < values.size(); ++i) ini.WriteString("S", "K" + std::to_string(i), values[i]);
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(ini.ReadString("S", "K" + std::to_string(i), ""), values[i]) << i;
    EXPECT_NE(dir.ReadFile("test.ini").find("K10=a = b ;c\r\n"), std::string::npos) << "plain values stay plain";
}

TEST_F(IniFile, IntegersAreDecimalOrHexAndOtherwiseTheDefault) {
    dir.WriteFile("test.ini",
                  "[N]\r\nHex=0x10\r\nHexUpper=0X1f\r\nAllBits=0xFFFFFFFF\r\nNegative=-12\r\nPlus=+7\r\nZero=0\r\n"
                  "Empty=\r\nWord=yes\r\nTrailing=12abc\r\nBareHex=0x\r\nBadHex=0xZZ\r\nLongHex=0x100000000\r\n"
                  "Big=2147483648\r\nSmall=-2147483648\r\nDollar=$10\r\n");
    const std::vector<std::pair<const char*, int32_t>> cases = {
        {"Hex", 16},   {"HexUpper", 31},     {"AllBits", -1},  {"Negative", -12}, {"Plus", 7},    {"Zero", 0},
        {"Empty", 99}, {"Word", 99},         {"Trailing", 99}, {"BareHex", 99},   {"BadHex", 99}, {"LongHex", 99},
        {"Big", 99},   {"Small", INT32_MIN}, {"Dollar", 99},   {"Missing", 99}};
    for (const auto& [key, expected] : cases) EXPECT_EQ(ini.ReadInteger("N", key, 99), expected) << key;
}

TEST_F(IniFile, BooleansAreIntegersWhereAnyNonZeroIsTrue) {
    dir.WriteFile("test.ini", "[B]\r\nTwo=2\r\nOne=1\r\nNought=0\r\nYes=yes\r\nEmpty=\r\n");
    EXPECT_TRUE(ini.ReadBool("B", "Two", false));
    EXPECT_TRUE(ini.ReadBool("B", "One", false));
    EXPECT_FALSE(ini.ReadBool("B", "Nought", true));
    EXPECT_FALSE(ini.ReadBool("B", "Yes", false));
    EXPECT_TRUE(ini.ReadBool("B", "Yes", true));
    EXPECT_TRUE(ini.ReadBool("B", "Empty", true));
    EXPECT_TRUE(ini.ReadBool("B", "Missing", true));
}

TEST_F(IniFile, DatesUseTheShortDateFormatAndFallBackOnTheDefault) {
    const ui::TDate date = ui::TDate::FromYMD(2021, 3, 5);
    const ui::TDate def = ui::TDate::FromYMD(2000, 1, 1);
    dir.WriteFile("test.ini", "[D]\r\nGood=" + ui::DateToStr(date) + "\r\nZero=" + ui::DateToStr(ui::TDate()) +
                                  "\r\nWord=never\r\nEmpty=\r\n");
    EXPECT_EQ(ini.ReadDate("D", "Good", def), date);
    EXPECT_EQ(ini.ReadDate("D", "Zero", def), ui::TDate());
    EXPECT_EQ(ini.ReadDate("D", "Word", def), def);
    EXPECT_EQ(ini.ReadDate("D", "Empty", def), def);
    EXPECT_EQ(ini.ReadDate("D", "Missing", def), def);
}

TEST_F(IniFile, WritesReachTheDiskBeforeTheCallReturns) {
    ini.WriteInteger("W", "Int", -5);
    ini.WriteBool("W", "True", true);
    ini.WriteBool("W", "False", false);
    ini.WriteString("W", "Text", "a=b");
    ini.WriteDate("W", "Date", ui::TDate());
    const std::string onDisk = dir.ReadFile("test.ini");
    const std::string expected =
        "Int=-5\r\nTrue=1\r\nFalse=0\r\nText=a=b\r\nDate=" + ui::DateToStr(ui::TDate()) + "\r\n";
    EXPECT_NE(onDisk.find("[W]\r\n" + expected), std::string::npos) << onDisk;

    // Another reader of the same file sees the values as written.
    const ui::TIniFile other(path);
    EXPECT_EQ(other.ReadInteger("W", "Int", 0), -5);
    EXPECT_EQ(other.ReadString("W", "Text", ""), "a=b");
    EXPECT_EQ(other.ReadDate("W", "Date", ui::TDate::FromSerial(1)), ui::TDate());
}

TEST_F(IniFile, SectionsExistOnlyWithKeys) {
    dir.WriteFile("test.ini", "[Options]\r\nA=1\r\n[Empty]\r\n[1]\r\nB=\r\nC=3\r\n");
    ui::TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Options", "Empty", "1"}));
    ini.ReadSection("1", list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"B", "C"}));
    EXPECT_TRUE(ini.SectionExists("Options"));
    EXPECT_TRUE(ini.SectionExists("1"));
    EXPECT_FALSE(ini.SectionExists("Empty"));
    EXPECT_FALSE(ini.SectionExists("2"));
    EXPECT_TRUE(ini.ValueExists("1", "B"));
    EXPECT_FALSE(ini.ValueExists("1", "A"));

    ui::TIniFile none(dir.File("none.ini"));
    none.ReadSections(list);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_FALSE(none.SectionExists("Options"));
}

TEST_F(IniFile, ManySectionsAreAllListed) {
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "[Section number " + std::to_string(i) + "]\r\nK=v\r\n";
    dir.WriteFile("test.ini", text);
    ui::TStringList list;
    ini.ReadSections(list);
    ASSERT_EQ(list.Count(), 3000);
    EXPECT_EQ(list[2999], "Section number 2999");
}

TEST_F(IniFile, EraseSectionRemovesOnlyThatSection) {
    dir.WriteFile("test.ini", "[A]\r\nX=1\r\n[B]\r\nY=2\r\nZ=3\r\n[C]\r\nX=4\r\n");
    ini.EraseSection("B");
    ui::TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(dir.ReadFile("test.ini").find("Y=2"), std::string::npos);
    EXPECT_EQ(ini.ReadInteger("C", "X", 0), 4);
}

// Wine itself would accept these writes and lose them; Windows refuses them, and so do we.
TEST_F(IniFile, ReadOnlyFileRefusesWritesAndErases) {
    const std::string original = "[A]\r\nX=1\r\n";
    dir.WriteFile("test.ini", original);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectRefused(path, [&] { ini.WriteString("A", "X", "2"); });
    ExpectRefused(path, [&] { ini.WriteInteger("A", "Y", 2); });
    ExpectRefused(path, [&] { ini.EraseSection("A"); });
    EXPECT_EQ(dir.ReadFile("test.ini"), original);
    EXPECT_EQ(ini.ReadInteger("A", "X", 0), 1);
}

TEST_F(IniFile, DirectoryOrMissingFolderRefusesWrites) {
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    ExpectRefused(path, [&] { ini.WriteBool("A", "X", true); });

    const std::string nowhere = dir.File("missing\\test.ini");
    ui::TIniFile lost(nowhere);
    ExpectRefused(nowhere, [&] { lost.WriteString("A", "X", "1"); });
}

}  // namespace
