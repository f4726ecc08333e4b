#include "base/SysUtils.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace base {

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
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer != nullptr) text.assign(buffer, length);
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    return DisplayText(text);
}

namespace {

template <typename Char, typename Call>
std::basic_string<Char> GrowingText(Call call) {
    std::vector<Char> path(MAX_PATH);
    for (;;) {
        const DWORD length = call(path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) throw EOSError(GetLastError());
        if (length < path.size()) return std::basic_string<Char>(path.data(), length);
        path.resize(std::max<size_t>(path.size() * 2, length + 1));
    }
}

}  // namespace

std::string ExeDirectory() {
    const std::string full = NarrowPath(
        GrowingText<wchar_t>([](wchar_t* path, DWORD size) { return GetModuleFileNameW(nullptr, path, size); }));
    // Without the UTF-8 code page (before Windows 10 version 1903), on a volume without short names: the
    // settings file cannot be named, and the best fit might name another folder's.
    if (full.empty()) throw Exception("The program's folder has a name that the system's code page cannot hold");
    return full.substr(0, full.find_last_of("\\/:") + 1);
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

namespace {

// The bytes of a UTF-8 sequence that starts with this byte and is whole and shortest in the text at `at`;
// 0 when none starts there.
size_t Utf8SequenceAt(const std::string& text, size_t at) {
    const auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    const size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (length == 0 || text.size() - at < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    }
    // Overlong forms, surrogates and code points beyond U+10FFFF.
    const unsigned char second = byte(at + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

bool HasLoneSurrogate(const std::wstring& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t unit = text[i];
        if (unit >= 0xDC00 && unit <= 0xDFFF) return true;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return true;
            ++i;
        }
    }
    return false;
}

}  // namespace

size_t CharacterBytes(const std::string& text, size_t at) {
    if (GetACP() == CP_UTF8) return std::max<size_t>(Utf8SequenceAt(text, at), 1);
    return IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

size_t WideLength(const std::string& text) {
    if (text.empty()) return 0;
    return static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0));
}

std::string LeadingUnits(const std::string& text, size_t units) {
    size_t end = 0, used = 0;
    while (end < text.size()) {
        const size_t bytes = CharacterBytes(text, end);
        const size_t wide = std::max<size_t>(WideLength(text.substr(end, bytes)), 1);
        if (used + wide > units) break;
        used += wide;
        end += bytes;
    }
    return text.substr(0, end);
}

std::wstring WideText(const std::string& text) {
    std::wstring wide(WideLength(text), L'\0');
    if (!wide.empty())
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                            static_cast<int>(wide.size()));
    return wide;
}

std::string NarrowText(const std::wstring& text) {
    // The UTF-8 conversion would write U+FFFD for a lone surrogate half, a name that does not exist.
    if (text.empty() || HasLoneSurrogate(text)) return std::string();
    // The UTF-8 code page takes neither the flag nor the question: it holds every character.
    const bool utf8 = GetACP() == CP_UTF8;
    BOOL lost = FALSE;
    const auto convert = [&](char* buffer, int size) {
        return WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                   buffer, size, nullptr, utf8 ? nullptr : &lost);
    };
    const int bytes = convert(nullptr, 0);
    if (bytes <= 0 || lost) return std::string();
    std::string narrow(static_cast<size_t>(bytes), '\0');
    convert(&narrow[0], bytes);
    return narrow;
}

std::string NarrowPath(const std::wstring& path) {
    std::string narrow = NarrowText(path);
    if (!narrow.empty() || path.empty()) return narrow;
    std::vector<wchar_t> brief(MAX_PATH);
    for (;;) {
        const DWORD length = GetShortPathNameW(path.c_str(), brief.data(), static_cast<DWORD>(brief.size()));
        if (length == 0) return std::string();
        if (length < brief.size()) return NarrowText(std::wstring(brief.data(), length));
        brief.resize(length + 1);
    }
}

std::string DisplayText(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, &narrow[0], bytes, nullptr, nullptr);
    return narrow;
}

std::string UpperCaseText(const std::string& text) {
    std::wstring wide = WideText(text);
    if (wide.empty()) return text;
    const int size = static_cast<int>(wide.size());
    const int units =
        LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING, wide.data(), size, nullptr, 0);
    if (units <= 0) return text;
    std::wstring upper(static_cast<size_t>(units), L'\0');
    LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING, wide.data(), size, &upper[0], units);
    return DisplayText(upper);
}

bool IsValidUtf8(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = Utf8SequenceAt(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::string UpperCaseAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace base
