// Swaps against the recording desktop that tools/install-test-desktop.sh registers in the test prefix.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ActiveDesktop_functions.h"
#include "fakes/RecordingDesktop.h"
#include "support/TempDir.h"

namespace {

using Sequence = std::vector<std::string>;

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

}  // namespace
