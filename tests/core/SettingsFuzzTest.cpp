// A short fixed-seed run of the settings file's fuzzer (tools/fuzz); the long run is on demand.
#include <gtest/gtest.h>

#include <vector>

#include "SettingsFuzz.h"
#include "support/TempDir.h"

namespace {

constexpr uint64_t kSeed = 20260314;
// Takes in one file of several megabytes (index 7) and lists of every length.
constexpr uint64_t kFiles = 250;
constexpr DWORD kPerFileLimitMs = 60000;

TEST(SettingsFuzz, FixedSeedSampleReadsAsMadeAndReachesItsFixedPoints) {
    const testing_support::TempDir dir;
    fuzz::SettingsFuzzer fuzzer(dir.Path(), kSeed, kPerFileLimitMs);
    fuzzer.CompareWithProfileServices(5);
    std::vector<fuzz::Finding> findings;
    const fuzz::Figures figures = fuzzer.Run(0, kFiles, findings);
    for (const fuzz::Finding& finding : findings) ADD_FAILURE() << "file " << finding.index << ": " << finding.what;
    // The sample must have exercised what it checks.
    EXPECT_EQ(figures.files, kFiles);
    EXPECT_GT(figures.readErrors, 0u);
    EXPECT_GT(figures.checkedAgainstMaking, kFiles / 2);
    EXPECT_EQ(figures.fixedPoints, figures.reads);
    EXPECT_GT(figures.comparedWithServices, kFiles / 10);
    EXPECT_GT(figures.largestFile, 1u << 20);
}

}  // namespace
