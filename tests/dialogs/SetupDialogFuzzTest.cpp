// A short fixed-seed run of the settings file's fuzzer through the setup dialog's Save as well: whatever a
// file holds, loading it into the dialog and saving, twice, writes the same bytes both times.
#include <gtest/gtest.h>

#include <vector>

#include "SetupDialogRoute.h"
#include "support/TempDir.h"
#include "ui/Forms.h"

namespace {

constexpr uint64_t kSeed = 20261207;
constexpr uint64_t kFiles = 60;
constexpr DWORD kPerFileLimitMs = 60000;

TEST(SettingsFuzz, TheSetupDialogsSaveReachesAFixedPointForEveryFileThatReads) {
    ui::TApplication application;
    const testing_support::TempDir dir;
    fuzz::SettingsFuzzer fuzzer(dir.Path(), kSeed, kPerFileLimitMs);
    fuzzer.AddSaveRoute(fuzz::SetupDialogSaveRoute());
    std::vector<fuzz::Finding> findings;
    const fuzz::Figures figures = fuzzer.Run(0, kFiles, findings);
    for (const fuzz::Finding& finding : findings) ADD_FAILURE() << "file " << finding.index << ": " << finding.what;
    EXPECT_EQ(figures.files, kFiles);
    EXPECT_GT(figures.reads, kFiles / 2);
    EXPECT_EQ(figures.fixedPoints, 2 * figures.reads) << "both ways of saving ran for every file that read";
}

}  // namespace
