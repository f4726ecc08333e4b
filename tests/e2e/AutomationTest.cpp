// The automation helper against a stand-in program whose boxes and exit codes are known.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "base/SysUtils.h"
#include "support/Automation.h"
#include "support/TempDir.h"

namespace testing_support {
namespace {

std::string StandIn(const std::string& arguments) {
    return "\"" + base::ExeDirectory() + "message_box_program.exe\" " + arguments;
}

TEST(Automation, RecordsEveryBoxInOrderAndPassesTheExitCodeOn) {
    const RunOutcome outcome = RunAnswering(StandIn("42 First \"One, with spaces.\" Second Two"), "", 20000);
    ASSERT_TRUE(outcome.ended);
    EXPECT_EQ(42u, outcome.exitCode);
    ASSERT_EQ(2u, outcome.boxes.size());
    EXPECT_EQ("First", outcome.boxes[0].caption);
    EXPECT_EQ("One, with spaces.", outcome.boxes[0].text);
    EXPECT_EQ("Second", outcome.boxes[1].caption);
    EXPECT_EQ("Two", outcome.boxes[1].text);
}

TEST(Automation, AProgramWithoutBoxesEndsWithNoneRecorded) {
    const RunOutcome outcome = RunAnswering(StandIn("7"), "", 20000);
    ASSERT_TRUE(outcome.ended);
    EXPECT_EQ(7u, outcome.exitCode);
    EXPECT_TRUE(outcome.boxes.empty());
}

TEST(Automation, StartsTheProgramInTheGivenFolder) {
    TempDir folder;
    const RunOutcome outcome = RunAnswering(StandIn("cwd"), folder.Path(), 20000);
    ASSERT_TRUE(outcome.ended);
    ASSERT_EQ(1u, outcome.boxes.size());
    const std::string& shown = outcome.boxes[0].text;
    EXPECT_EQ(0, lstrcmpiA(shown.c_str(), folder.Path().substr(0, folder.Path().size() - 1).c_str())) << shown;
}

TEST(Automation, LeavesTheBoxesOfOtherProgramsAlone) {
    Program other(StandIn("5 Other \"Not yours\""), "");
    // Let the other program's box come up before the one under test starts.
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (FindMessageBoxes(other.Id()).empty() && GetTickCount64() < deadline) Sleep(20);
    ASSERT_EQ(1u, FindMessageBoxes(other.Id()).size());

    const RunOutcome mine = RunAnswering(StandIn("6 Mine Yours"), "", 20000);
    ASSERT_EQ(1u, mine.boxes.size());
    EXPECT_EQ("Mine", mine.boxes[0].caption);
    EXPECT_TRUE(other.Running());

    const RunOutcome theirs = other.AnswerBoxesUntilExit(20000);
    ASSERT_TRUE(theirs.ended);
    EXPECT_EQ(5u, theirs.exitCode);
    ASSERT_EQ(1u, theirs.boxes.size());
    EXPECT_EQ("Not yours", theirs.boxes[0].text);
}

TEST(Automation, KillsAProgramThatDoesNotEndAndReportsIt) {
    Program hanging(StandIn("hang"), "");
    RunOutcome outcome;
    EXPECT_NONFATAL_FAILURE(outcome = hanging.AnswerBoxesUntilExit(1000), "did not end within 1000 ms");
    EXPECT_FALSE(outcome.ended);
    EXPECT_GE(outcome.elapsedMs, 1000u);
    EXPECT_FALSE(hanging.Running());
}

TEST(Automation, AProgramThatCannotStartIsAnError) {
    EXPECT_THROW(Program("\"" + base::ExeDirectory() + "no-such-program.exe\"", ""), std::runtime_error);
}

}  // namespace
}  // namespace testing_support
