// Errors as exceptions carrying a message, and the few system helpers every layer needs.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace ui {

// The program's error: a message text meant for the user. Handlers that want to reword an error
// passing through them change the message and rethrow the same object.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}

    const std::string& Message() const { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

class ERangeError : public Exception {
public:
    ERangeError() : Exception("Range check error") {}
};

class EListError : public Exception {
public:
    explicit EListError(int index);
};

// A Win32 call failed; the message is the system's own text for the code.
class EOSError : public Exception {
public:
    explicit EOSError(DWORD code);
    DWORD ErrorCode() const { return code_; }

private:
    DWORD code_;
};

// printf-style formatting into a std::string.
std::string Format(const char* format, ...);

// The system's message for an error code without its trailing line break; empty when it has none.
std::string SysErrorMessage(DWORD code);

// The directory of the running executable, ending in a backslash.
std::string ExeDirectory();

bool FileExists(const std::string& path);

// Letters a to z turned into capitals; every other byte unchanged (no locale involved).
std::string UpperCaseAscii(std::string text);

// Sets a flag for a scope, however the scope is left.
class RaisedFlag {
public:
    explicit RaisedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RaisedFlag() { flag_ = false; }
    RaisedFlag(const RaisedFlag&) = delete;
    RaisedFlag& operator=(const RaisedFlag&) = delete;

private:
    bool& flag_;
};

}  // namespace ui
