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

TEST(SysUtils, ExeDirectoryEndsInBackslashAndHoldsTheExe) {
    const std::string dir = ui::ExeDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    EXPECT_TRUE(ui::FileExists(dir + "ui_tests.exe"));
    EXPECT_FALSE(ui::FileExists(dir));
}

}  // namespace
