#include <gtest/gtest.h>

#include "base/SysUtils.h"

namespace {

TEST(SysUtils, UpperCaseTouchesOnlyAsciiLetters) {
    EXPECT_EQ(ui::UpperCaseAscii("/Setup-\xe9x1"), "/SETUP-\xe9X1");
}

TEST(SysUtils, SystemMessageLosesItsTrailingLineBreak) {
    const std::string text = ui::SysErrorMessage(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    EXPECT_NE(text.back(), '\r');
}

// A lone surrogate half (legal in an NTFS name, which Wine cannot make) would be written as U+FFFD.
TEST(SysUtils, TextTheCodePageCannotHoldIsNeverPassedOnAsABestFit) {
    EXPECT_EQ(ui::NarrowText(L"a\xD800z.bmp") + ui::NarrowText(L"a\xDC00.bmp"), "");
    EXPECT_EQ(ui::NarrowText(L"\xD83C\xDF04"), "🌄");
    EXPECT_EQ(ui::NarrowPath(L"C:\\no such folder\\a\xD800z.bmp"), "");
    EXPECT_EQ(ui::UpperCaseText("émile ω"), "ÉMILE Ω");
}

TEST(SysUtils, ExeDirectoryEndsInBackslashAndHoldsTheExe) {
    const std::string dir = ui::ExeDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    EXPECT_TRUE(ui::FileExists(dir + "ui_tests.exe"));
    EXPECT_FALSE(ui::FileExists(dir));
}

}  // namespace
