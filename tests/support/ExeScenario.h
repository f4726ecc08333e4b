// A copy of the built exe in a folder of its own, where an end-to-end test writes the settings file,
// runs the exe and looks at what it left behind.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "support/Automation.h"
#include "support/TempDir.h"

namespace testing_support {

// A run pauses four half-seconds at most; the rest is slack for a busy machine.
constexpr DWORD kRunTimeoutMs = 30000;

class ExeScenario : public TempDir {
public:
    // Copies Tamberlyn.exe from beside the test program into a folder whose name ends as given; throws when
    // it cannot.
    explicit ExeScenario(const std::string& folderNameEnd = "");

    std::string Exe() const { return File("Tamberlyn.exe"); }
    // Runs the exe with the arguments from a working folder, answering its message boxes.
    RunOutcome Run(const std::string& workingDirectory, const std::string& arguments = "") const;
};

// Settings file text: the lines joined with CR LF.
std::string IniLines(std::initializer_list<std::string> lines);

}  // namespace testing_support
