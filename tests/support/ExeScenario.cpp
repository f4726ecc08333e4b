#include "support/ExeScenario.h"

#include <stdexcept>

#include "base/SysUtils.h"

namespace testing_support {

ExeScenario::ExeScenario(const std::string& folderNameEnd) : TempDir(folderNameEnd) {
    const std::string built = base::ExeDirectory() + "Tamberlyn.exe";
    if (!CopyFileA(built.c_str(), Exe().c_str(), FALSE)) throw std::runtime_error("cannot copy " + built);
}

RunOutcome ExeScenario::Run(const std::string& workingDirectory, const std::string& arguments) const {
    std::string commandLine = "\"" + Exe() + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    return RunAnswering(commandLine, workingDirectory, kRunTimeoutMs);
}

std::string IniLines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace testing_support
