// Whole runs of the real exe: copied with a settings file into a folder of its own, started, its
// message boxes answered, and what it left behind compared with what it was given.
#include <gtest/gtest.h>

#include <string>

#include "base/DateUtils.h"
#include "base/SysUtils.h"
#include "support/ExeScenario.h"

namespace testing_support {
namespace {

class Run : public ::testing::Test {
protected:
    // Started from another folder: the settings file must be found beside the exe, not in the
    // current directory.
    RunOutcome Start() { return scenario.Run(elsewhere.Path()); }

    ExeScenario scenario;
    TempDir elsewhere;
};

TEST_F(Run, ADailyRunAlreadyDoneTodayEndsByItselfAndTouchesNothing) {
    const std::string settings =
        IniLines({"[Options]", "ChangeWhen=1", "Mode=0", "PictureDir=" + scenario.Path(), "BMPtype=1", "DisplayStyle=2",
                  "LastChanged=" + base::DateToStr(base::Today()), "NextImage=3"});
    scenario.WriteFile("Tamberlyn.ini", settings);

    const RunOutcome outcome = Start();

    ASSERT_TRUE(outcome.ended);
    EXPECT_EQ(0u, outcome.exitCode);
    EXPECT_TRUE(outcome.boxes.empty()) << outcome.boxes.front().text;
    EXPECT_EQ(settings, scenario.ReadFile("Tamberlyn.ini"));
    // Three half-second pauses still happen when nothing is due; a run cut short would not take them.
    EXPECT_GE(outcome.elapsedMs, 1400u);
}

TEST_F(Run, AnUnreadableSettingsFileIsReportedOnceAndTheRunStillEnds) {
    // Due on every run, so a run that went on to swap after the failed read would record the change.
    const std::string settings = IniLines({"[Options]", "ChangeWhen=0", "Mode=1", "NextImage=0", "[0]",
                                           "Filename=C:\\" + std::string(258, 'p'), "DisplayStyle=0"});
    ASSERT_EQ(261u, std::string("C:\\" + std::string(258, 'p')).size());
    scenario.WriteFile("Tamberlyn.ini", settings);

    const RunOutcome outcome = Start();

    ASSERT_TRUE(outcome.ended);
    EXPECT_EQ(0u, outcome.exitCode);
    ASSERT_EQ(1u, outcome.boxes.size());
    EXPECT_EQ("Tamberlyn", outcome.boxes[0].caption);
    EXPECT_EQ("ERROR: There was a problem reading the inifile.", outcome.boxes[0].text);
    EXPECT_EQ(settings, scenario.ReadFile("Tamberlyn.ini"));
}

}  // namespace
}  // namespace testing_support
