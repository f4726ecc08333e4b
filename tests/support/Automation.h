// Drives a program the way a user would for end-to-end tests: starts it, answers its message boxes
// with OK while noting what they said, and waits a bounded time for it to end.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

struct SeenBox {
    std::string caption;
    std::string text;
};

struct RunOutcome {
    bool ended = false;          // ended by itself before the time ran out (otherwise it was killed)
    DWORD exitCode = 0;          // meaningful only when ended
    DWORD elapsedMs = 0;         // from the start of waiting to the end (or the kill)
    std::vector<SeenBox> boxes;  // in the order they came up
};

// A started process. It is killed if it is still running when its owner goes away, so that a failed
// test never leaves a window behind on the shared desktop.
class Program {
public:
    // Throws std::runtime_error when the process cannot be created.
    Program(const std::string& commandLine, const std::string& workingDirectory);
    ~Program();
    Program(Program&& other) noexcept;
    Program& operator=(Program&& other) noexcept;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD Id() const { return id_; }
    bool Running() const;

    // Answers every message box of this program with OK as it comes up, until the program ends or
    // timeoutMs have passed; a program still running then is killed and a test failure is reported.
    RunOutcome AnswerBoxesUntilExit(DWORD timeoutMs);

private:
    void Kill();

    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Starts the program in the folder and answers its boxes until it ends (see Program).
RunOutcome RunAnswering(const std::string& commandLine, const std::string& workingDirectory, DWORD timeoutMs);

// The visible message boxes (class "#32770") that belong to a process, in window order.
std::vector<HWND> FindMessageBoxes(DWORD processId);

// A message box's caption and its text (the static control with id 0xFFFF).
SeenBox ReadMessageBox(HWND box);

// Presses the box's OK button without waiting for its owner to react.
void PressOk(HWND box);

}  // namespace testing_support
