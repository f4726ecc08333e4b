// Fuzzes the settings file's reader and writer: FuzzSettings [files [seed [first]]] (defaults 100000, 1, 0).
// Prints the figures and every finding; each finding's file is kept as finding-<index>.ini in the
// current folder, and `FuzzSettings 1 <seed> <index>` checks that one file again. Run by tools/fuzz/run.sh.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "SettingsFuzz.h"
#include "SetupDialogRoute.h"
#include "base/SysUtils.h"
#include "ui/Forms.h"

namespace {

// Generous: a file of several megabytes takes its time, and the profile services' oracle rewrites a file on
// every key it writes.
constexpr DWORD kPerFileLimitMs = 60000;

std::string WorkFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    const std::string folder = std::string(base) + "tamberlyn-fuzz-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

}  // namespace

int main(int argc, char** argv) {
    const uint64_t files = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100000;
    const uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
    const uint64_t first = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 0;
    const std::string folder = WorkFolder();

    ui::TApplication application;
    fuzz::SettingsFuzzer fuzzer(folder, seed, kPerFileLimitMs);
    fuzzer.AddSaveRoute(fuzz::SetupDialogSaveRoute());
    fuzzer.CompareWithProfileServices(10);
    std::vector<fuzz::Finding> findings;
    const fuzz::Figures figures = fuzzer.Run(first, files, findings);
    RemoveDirectoryA(folder.c_str());

    std::printf("seed %llu, files %llu to %llu, short date format \"%s\"\n", static_cast<unsigned long long>(seed),
                static_cast<unsigned long long>(first), static_cast<unsigned long long>(first + files - 1),
                base::ShortDateFormat().c_str());
    std::printf(
        "files %llu: %llu read, %llu read errors; %llu checked against their making; %llu fixed points; "
        "%llu compared with the profile services\n",
        static_cast<unsigned long long>(figures.files), static_cast<unsigned long long>(figures.reads),
        static_cast<unsigned long long>(figures.readErrors),
        static_cast<unsigned long long>(figures.checkedAgainstMaking),
        static_cast<unsigned long long>(figures.fixedPoints),
        static_cast<unsigned long long>(figures.comparedWithServices));
    std::printf("%.1f MB in all, largest file %.1f MB; %.1f s, %.2f ms a file, slowest %.2f s (file %llu)\n",
                static_cast<double>(figures.bytes) / 1048576.0, static_cast<double>(figures.largestFile) / 1048576.0,
                figures.seconds, 1000.0 * figures.seconds / static_cast<double>(figures.files ? figures.files : 1),
                figures.slowestSeconds, static_cast<unsigned long long>(figures.slowestIndex));
    std::printf("findings: %zu\n", findings.size());
    for (const fuzz::Finding& finding : findings) {
        std::printf("  file %llu: %s\n", static_cast<unsigned long long>(finding.index), finding.what.c_str());
        const std::string bytes = fuzzer.Maker().Make(finding.index).bytes;
        std::ofstream(base::Format("finding-%llu.ini", static_cast<unsigned long long>(finding.index)),
                      std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    return findings.empty() ? 0 : 1;
}
