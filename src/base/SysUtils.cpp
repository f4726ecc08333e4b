#include "base/SysUtils.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace ui {

EListError::EListError(int index) : Exception(Format("List index out of bounds (%d)", index)) {}

namespace {

std::string OSErrorMessage(DWORD code) {
    // A call that failed without setting an error code would otherwise carry the system's text for
    // success.
    if (code == 0) return "A call to an OS function failed";
    const std::string text = SysErrorMessage(code);
    return text.empty() ? Format("System Error.  Code: %lu.", static_cast<unsigned long>(code)) : text;
}

}  // namespace

EOSError::EOSError(DWORD code) : Exception(OSErrorMessage(code)), code_(code) {}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string text;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        text.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(args);
    return text;
}

std::string SysErrorMessage(DWORD code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (length != 0 && buffer != nullptr) text.assign(buffer, length);
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

std::string ExeDirectory() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) throw EOSError(GetLastError());
        if (length < path.size()) {
            std::string full(path.data(), length);
            return full.substr(0, full.find_last_of("\\/:") + 1);
        }
        path.resize(path.size() * 2);
    }
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string UpperCaseAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace ui
