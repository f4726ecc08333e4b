#include "support/Automation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace testing_support {

namespace {

// How often the program's windows are looked at while waiting; short enough that a box is answered
// at once, long enough not to steal the shared processor from the program under test.
const DWORD kPollMs = 20;

// MessageBoxA's text is the static control with this id in its dialog.
const int kMessageBoxTextId = 0xFFFF;

struct BoxSearch {
    DWORD processId;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBox(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<BoxSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32770") search.boxes.push_back(window);
    return TRUE;
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

}  // namespace

Program::Program(const std::string& commandLine, const std::string& workingDirectory) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');  // CreateProcessA may write into the command line
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &info))
        throw std::runtime_error("cannot start " + commandLine + ": error " + std::to_string(GetLastError()));
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
}

Program::~Program() {
    if (!process_) return;
    if (Running()) Kill();
    CloseHandle(process_);
}

Program::Program(Program&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), id_(std::exchange(other.id_, 0)) {}

Program& Program::operator=(Program&& other) noexcept {
    Program gone(std::move(*this));
    process_ = std::exchange(other.process_, nullptr);
    id_ = std::exchange(other.id_, 0);
    return *this;
}

bool Program::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void Program::Kill() {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
}

RunOutcome Program::AnswerBoxesUntilExit(DWORD timeoutMs) {
    RunOutcome outcome;
    const ULONGLONG start = GetTickCount64();
    // Boxes already answered but not yet gone: they must not be counted twice.
    std::vector<HWND> answered;
    for (;;) {
        answered.erase(std::remove_if(answered.begin(), answered.end(), [](HWND box) { return !IsWindow(box); }),
                       answered.end());
        for (HWND box : FindMessageBoxes(id_)) {
            if (std::find(answered.begin(), answered.end(), box) != answered.end()) continue;
            outcome.boxes.push_back(ReadMessageBox(box));
            PressOk(box);
            answered.push_back(box);
        }
        const DWORD waited = static_cast<DWORD>(GetTickCount64() - start);
        if (WaitForSingleObject(process_, kPollMs) == WAIT_OBJECT_0) {
            outcome.ended = true;
            GetExitCodeProcess(process_, &outcome.exitCode);
            outcome.elapsedMs = static_cast<DWORD>(GetTickCount64() - start);
            return outcome;
        }
        if (waited >= timeoutMs) break;
    }
    Kill();
    outcome.elapsedMs = static_cast<DWORD>(GetTickCount64() - start);
    ADD_FAILURE() << "the program did not end within " << timeoutMs << " ms and was killed";
    return outcome;
}

RunOutcome RunAnswering(const std::string& commandLine, const std::string& workingDirectory, DWORD timeoutMs) {
    Program program(commandLine, workingDirectory);
    return program.AnswerBoxesUntilExit(timeoutMs);
}

std::vector<HWND> FindMessageBoxes(DWORD processId) {
    BoxSearch search{processId, {}};
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&search));
    return search.boxes;
}

SeenBox ReadMessageBox(HWND box) {
    char text[4096] = {};
    GetDlgItemTextA(box, kMessageBoxTextId, text, sizeof text);
    return {WindowText(box), text};
}

void PressOk(HWND box) {
    // Posted, not sent: a program busy elsewhere must not stall the test, and the box closes as soon
    // as its modal loop sees the command.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

}  // namespace testing_support
