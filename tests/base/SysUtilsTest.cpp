#include <gtest/gtest.h>

#include "base/SysUtils.h"

namespace {

TEST(SysUtils, UpperCaseTouchesOnlyAsciiLetters) {
    EXPECT_EQ(base::UpperCaseAscii("/Setup-\xe9x1"), "/SETUP-\xe9X1");
}

TEST(SysUtils, SystemMessageLosesItsTrailingLineBreak) {
    const std::string text = base::SysErrorMessage(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    EXPECT_NE(text.back(), '\r');
}

// A lone surrogate half (legal in an NTFS name, which Wine cannot make) would be written as U+FFFD.
TEST(SysUtils, TextTheCodePageCannotHoldIsNeverPassedOnAsABestFit) {
    EXPECT_EQ(base::NarrowText(L"a\xD800z.bmp") + base::NarrowText(L"a\xDC00.bmp"), "");
    EXPECT_EQ(base::NarrowText(L"\xD83C\xDF04"), "🌄");
    EXPECT_EQ(base::NarrowPath(L"C:\\no such folder\\a\xD800z.bmp"), "");
    EXPECT_EQ(base::UpperCaseText("émile ω"), "ÉMILE Ω");
}

TEST(SysUtils, ExeDirectoryEndsInBackslashAndHoldsTheExe) {
    const std::string dir = base::ExeDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    EXPECT_TRUE(base::FileExists(dir + "ui_tests.exe"));
    EXPECT_FALSE(base::FileExists(dir));
}

}  // namespace
