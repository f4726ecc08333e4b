// Fuzzing of the settings file: files made from its grammar, each with what it must read as, then mutated;
// every file read in-process through ReadIniSettings and, when it reads, saved and read again until its
// bytes stand still. Run on demand by tools/fuzz/run.sh; a short fixed-seed sample runs with the tests.
#pragma once

#include <windows.h>

#include <bitset>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Settings.h"

namespace fuzz {

// The parts of a settings record that a file can say for sure.
enum Field {
    kChangeWhen,
    kMode,
    kForceAD,
    kPictureDir,
    kBMPtype,
    kGIFtype,
    kJPGtype,
    kPNGtype,
    kDisplayStyle,
    kLastChanged,
    kNextImage,
    kPictureList,
    kFieldCount
};
using FieldSet = std::bitset<kFieldCount>;

// What reading a made file gives, as far as its making tells: a file mutated byte by byte tells nothing,
// and a file that says one thing twice leaves that thing to the profile service.
struct Expectation {
    enum class Outcome { Reads, ReadError, Unknown };
    Outcome outcome = Outcome::Reads;
    core::TSettings record;  // the known fields of a file that reads; the list byte for byte, all 200 slots
    FieldSet known;
};

struct MadeFile {
    std::string bytes;
    Expectation expected;
    std::string recipe;  // what the making did, for reports
};

// Files with an index of this remainder are several megabytes long.
constexpr uint64_t kSeveralMegabytesEvery = 2000;
constexpr uint64_t kSeveralMegabytesAt = 7;

// Every file follows from the seed and its index alone, so that any one can be made again.
class SettingsFileMaker {
public:
    explicit SettingsFileMaker(uint64_t seed) : seed_(seed) {}
    MadeFile Make(uint64_t index) const;

private:
    uint64_t seed_;
};

// The first field of the set where the records differ, in words; empty when they agree.
std::string RecordDifference(const core::TSettings& expected, const core::TSettings& actual,
                             FieldSet fields = FieldSet().set());

// The record as a save and a read give it back: every slot from the first empty name on is cleared.
core::TSettings ListCutAtFirstEmptyName(core::TSettings record);

// A way of saving core::Settings to the settings file (core::IniFileName()). Through every route, every
// file that reads reaches a fixed point: read, save, read, save leaves the same bytes twice. A route that
// keeps the record also gives back, on the second read, the first read's record with its list cut at the
// first empty name; one that may normalise values on its first save (as an editor of the settings does,
// showing a value out of range as the nearest it can show) is held to the bytes alone.
struct SaveRoute {
    std::string name;
    std::function<void()> save;
    bool keepsRecord;
};

struct Finding {
    uint64_t index;
    std::string what;
};

struct Figures {
    uint64_t files = 0;
    uint64_t reads = 0;
    uint64_t readErrors = 0;
    uint64_t checkedAgainstMaking = 0;  // files whose outcome and record the making foretold
    uint64_t fixedPoints = 0;           // save routes run to their fixed point
    uint64_t comparedWithServices = 0;  // files read and saved through the profile services too
    uint64_t bytes = 0;
    uint64_t largestFile = 0;
    double seconds = 0;
    double slowestSeconds = 0;
    uint64_t slowestIndex = 0;
};

class SettingsFuzzer {
public:
    // Works on one settings file at a time in the folder. A file that takes longer than the limit ends the
    // process with a report, as does a crash: an in-process hang or crash has no other way out. Saves
    // through WriteIniSettings; AddSaveRoute adds further routes.
    SettingsFuzzer(std::string folder, uint64_t seed, DWORD perFileLimitMs);

    void AddSaveRoute(SaveRoute route) { routes_.push_back(std::move(route)); }
    // Every n-th file of at most 256 KB is also read and saved, and its change recorded, through the
    // system's profile services: the record and the bytes must be the same as the program's own.
    void CompareWithProfileServices(uint64_t every) { servicesEvery_ = every; }

    // Files first .. first + count - 1, in order; findings are appended.
    Figures Run(uint64_t first, uint64_t count, std::vector<Finding>& findings);

    const SettingsFileMaker& Maker() const { return maker_; }

private:
    void CheckFile(uint64_t index, const MadeFile& file, std::vector<Finding>& findings, Figures& figures);
    std::string FixedPoint(const std::string& path, const SaveRoute& route);
    std::string ServicesDifference(uint64_t index, const std::string& bytes);

    static constexpr size_t kLargestForServices = 256 * 1024;

    std::string folder_;
    SettingsFileMaker maker_;
    DWORD perFileLimitMs_;
    std::vector<SaveRoute> routes_;
    uint64_t servicesEvery_ = 0;
};

}  // namespace fuzz
