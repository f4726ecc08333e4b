// Errors as exceptions carrying a message, and the few system helpers every layer needs.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace base {

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

// The directory of the running executable, ending in a backslash. Where the code page cannot hold its
// name, its short name; throws when the volume gives none (NarrowPath).
std::string ExeDirectory();

bool FileExists(const std::string& path);

// Text of the single-byte calls is in the active code page: UTF-8 under the program's manifest (Windows 10
// version 1903 and later), the system's legacy code page before. Limits the system sets in characters count
// its UTF-16 units, which these measure.

// The text's length in UTF-16 units; a byte that is no character of the code page counts as one.
size_t WideLength(const std::string& text);
// The longest start of the text of at most `units` UTF-16 units that ends between two characters.
std::string LeadingUnits(const std::string& text, size_t units);
// The text in UTF-16, as the system's wide calls take it.
std::wstring WideText(const std::string& text);
// The wide text in the active code page; empty when the code page cannot hold every character of it (a
// system without the UTF-8 code page), where the system's best fit would stand for other characters, and
// for a lone half of a surrogate pair (legal in a file name), which no code page holds.
std::string NarrowText(const std::wstring& text);
// A path the system gave, in the active code page: as it is where NarrowText holds it, else its short name
// where the volume keeps one (for a path that exists); empty when neither can be held. Never the best fit,
// which may name another file that exists.
std::string NarrowPath(const std::wstring& path);
// Text the system gave for showing or for comparing with itself (messages, dates), in the active code page:
// a character the code page cannot hold becomes the system's stand-in. Never for a name of a file.
std::string DisplayText(const std::wstring& text);
// The bytes of the character at `at` in the active code page; a byte that starts none counts as one.
size_t CharacterBytes(const std::string& text, size_t at);
// The text in capitals by the user locale's rules, through the wide call (the single-byte ones take a byte
// that is part of a UTF-8 character for a character of its own).
std::string UpperCaseText(const std::string& text);
// Whether the text is valid UTF-8 (ASCII is).
bool IsValidUtf8(const std::string& text);

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

}  // namespace base
