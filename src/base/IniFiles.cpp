#include "base/IniFiles.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <utility>

#include "base/SysUtils.h"

namespace base {

namespace {

bool ParseDecimal(const std::string& text, int32_t& value) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i == text.size()) return false;
    for (size_t j = i; j < text.size(); ++j) {
        if (text[j] < '0' || text[j] > '9') return false;
    }
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<int32_t>(parsed);
    return true;
}

// Up to eight hex digits, so that values written as unsigned 32-bit numbers ("0xFFFFFFFF") keep
// their bit pattern.
bool ParseHex(const std::string& digits, int32_t& value) {
    if (digits.empty() || digits.size() > 8) return false;
    uint32_t parsed = 0;
    for (char c : digits) {
        int nibble;
        if (c >= '0' && c <= '9')
            nibble = c - '0';
        else if (c >= 'a' && c <= 'f')
            nibble = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            nibble = c - 'A' + 10;
        else
            return false;
        parsed = parsed << 4 | static_cast<uint32_t>(nibble);
    }
    value = static_cast<int32_t>(parsed);
    return true;
}

// The profile services take Ctrl-Z (the old end-of-file mark) for a blank as well as every space of the
// character tables.
bool IsBlank(wchar_t c) {
    if (c < 0x80) return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A;
    WORD type = 0;
    return GetStringTypeW(CT_CTYPE1, &c, 1, &type) && (type & C1_SPACE) != 0;
}

std::wstring Trimmed(const wchar_t* begin, const wchar_t* end) {
    while (begin < end && IsBlank(*begin)) ++begin;
    while (end > begin && IsBlank(end[-1])) --end;
    return std::wstring(begin, end);
}

std::wstring Trimmed(const std::wstring& text) {
    return Trimmed(text.data(), text.data() + text.size());
}

// A name written anew keeps what follows its leading blanks, as the services keep it.
std::wstring LeadingBlanksOff(const std::wstring& name) {
    return name.substr(static_cast<size_t>(
        std::find_if(name.begin(), name.end(), [](wchar_t c) { return !IsBlank(c); }) - name.begin()));
}

// The services keep a name or value as a zero-ended string: a zero inside a line ends what is kept of it.
std::wstring UpToZero(std::wstring text) {
    text.resize(std::min(text.size(), text.find(L'\0')));
    return text;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// Both ends of a value that the reading would keep: not a blank, not a control character.
bool IsPlainEnd(wchar_t c) {
    return c >= 0x20 && c != 0x7F && !IsBlank(c);
}

// Reading takes a pair of quotes away from a value's ends, and its blanks: a value that would lose
// something so is written inside quotes, which the reading takes away again.
std::wstring Protected(const std::wstring& value) {
    if (value.empty()) return value;
    const bool quoted = value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0];
    return quoted || !IsPlainEnd(value[0]) || !IsPlainEnd(value.back()) ? L'"' + value + L'"' : value;
}

std::wstring Decoded(UINT codePage, const char* bytes, size_t size) {
    if (size == 0) return std::wstring();
    const int length = static_cast<int>(size);
    const int units = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
    std::wstring text(static_cast<size_t>(std::max(units, 0)), L'\0');
    if (units > 0) MultiByteToWideChar(codePage, 0, bytes, length, &text[0], units);
    return text;
}

// The user's legacy ANSI code page (that of the user's locale before UTF-8); 0 for a locale that has none.
UINT LegacyCodePage() {
    DWORD codePage = 0;
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                   reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(WCHAR));
    return codePage == CP_UTF8 ? 0 : codePage;
}

// Under the UTF-8 code page, a line that is not valid UTF-8 comes from a file saved in the user's legacy code
// page (by hand, or by a version from before); the services would give it as replacement characters.
std::wstring DecodedInActiveCodePage(const std::string& bytes) {
    if (GetACP() != CP_UTF8) return Decoded(CP_ACP, bytes.data(), bytes.size());
    const UINT legacy = LegacyCodePage();
    std::wstring text;
    for (size_t start = 0; start < bytes.size();) {
        const size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::string line = bytes.substr(start, end - start);
        text += Decoded(legacy == 0 || IsValidUtf8(line) ? CP_UTF8 : legacy, line.data(), line.size());
        if (end < bytes.size()) text += L'\n';
        start = end + 1;
    }
    return text;
}

std::wstring DecodedUtf16(const std::string& bytes, bool bigEndian) {
    std::wstring text(bytes.size() / 2 - 1, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 + 2 * i]);
        const auto second = static_cast<unsigned char>(bytes[3 + 2 * i]);
        text[i] = static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return text;
}

}  // namespace

std::string InUtf8Lines(const std::string& bytes) {
    return DisplayText(DecodedInActiveCodePage(bytes));
}

std::string IniValueText(const std::string& value) {
    return DisplayText(Protected(WideText(value)));
}

std::wstring DecodeIniText(const std::string& bytes, TIniEncoding& encoding) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        encoding = TIniEncoding::Utf8WithMark;
        return Decoded(CP_UTF8, bytes.data() + 3, bytes.size() - 3);
    }
    if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) {
        encoding = bytes[0] == '\xFF' ? TIniEncoding::Utf16 : TIniEncoding::Utf16BigEndian;
        return DecodedUtf16(bytes, encoding == TIniEncoding::Utf16BigEndian);
    }
    encoding = TIniEncoding::ActiveCodePage;
    return DecodedInActiveCodePage(bytes);
}

std::string EncodeIniText(const std::wstring& text, TIniEncoding encoding) {
    switch (encoding) {
        case TIniEncoding::Utf8WithMark: {
            const int length = static_cast<int>(text.size());
            const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
            std::string encoded(3 + static_cast<size_t>(std::max(bytes, 0)), '\0');
            encoded.replace(0, 3, "\xEF\xBB\xBF");
            if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), length, &encoded[3], bytes, nullptr, nullptr);
            return encoded;
        }
        case TIniEncoding::Utf16:
        case TIniEncoding::Utf16BigEndian: {
            const bool bigEndian = encoding == TIniEncoding::Utf16BigEndian;
            std::string encoded = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
            for (const wchar_t unit : text) {
                const auto high = static_cast<char>(unit >> 8 & 0xFF);
                const auto low = static_cast<char>(unit & 0xFF);
                encoded += bigEndian ? high : low;
                encoded += bigEndian ? low : high;
            }
            return encoded;
        }
        case TIniEncoding::ActiveCodePage:
            break;
    }
    return DisplayText(text);
}

// Lines end at CR or LF; a header is a line that starts with "[" and holds a "]", the name lying between
// the first and the last; any other line is a key, its name before the first "=" and its value after.
TIniFile::TIniFile(const std::wstring& text) {
    const wchar_t* next = text.data();
    const wchar_t* const end = next + text.size();
    const Line* previous = nullptr;
    while (next < end) {
        const wchar_t* start = next;
        while (next < end && *next != L'\n' && *next != L'\r') ++next;
        const wchar_t* stop = next;
        while (next < end && (*next == L'\n' || *next == L'\r')) ++next;
        while (start < stop && IsBlank(*start)) ++start;
        while (stop > start && IsBlank(stop[-1])) --stop;
        if (start == stop) continue;
        if (*start == L'[') {
            const wchar_t* close = stop;
            while (close > start && close[-1] != L']') --close;
            if (close > start) {
                sections_.push_back(Section{UpToZero(std::wstring(start + 1, close - 1)), {}});
                previous = nullptr;
                continue;
            }
        }
        const wchar_t* equals = std::find(start, stop, L'=');
        Line line;
        size_t nameLength = static_cast<size_t>(stop - start);
        if (equals != stop) {
            const std::wstring name = Trimmed(start, equals);
            nameLength = name.size();
            line.name = UpToZero(name);
            line.hasValue = true;
            line.value = UpToZero(Trimmed(equals + 1, stop));
        } else {
            line.name = UpToZero(std::wstring(start, stop));
        }
        // A second nameless line in a row is dropped, as the services drop it.
        if (nameLength == 0 && previous != nullptr && previous->name.empty()) continue;
        sections_.back().lines.push_back(std::move(line));
        previous = &sections_.back().lines.back();
    }
}

std::wstring TIniFile::Text() const {
    std::wstring text;
    for (const Section& section : sections_) {
        if (!section.name.empty()) text += L'[' + section.name + L"]\r\n";
        for (const Line& line : section.lines) {
            text += line.name;
            if (line.hasValue) text += L'=' + line.value;
            text += L"\r\n";
        }
    }
    return text;
}

const TIniFile::Section* TIniFile::FindSection(const std::wstring& name) const {
    for (const Section& section : sections_) {
        if (SameName(section.name, name)) return &section;
    }
    return nullptr;
}

const TIniFile::Line* TIniFile::FindKey(const std::string& section, const std::string& key) const {
    const Section* found = FindSection(Trimmed(WideText(section)));
    if (found == nullptr) return nullptr;
    const std::wstring name = Trimmed(WideText(key));
    for (const Line& line : found->lines) {
        if (SameName(line.name, name)) return &line;
    }
    return nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
    const Line* line = key.empty() ? nullptr : FindKey(section, key);
    if (line == nullptr || !line->hasValue) return def;
    std::wstring value = line->value;
    if (value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    if (value.size() > kLongestIniValue) {
        value.resize(kLongestIniValue);
        if (IS_HIGH_SURROGATE(value.back())) value.pop_back();
    }
    return DisplayText(value);
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    const std::wstring sectionName = WideText(section);
    const std::wstring keyName = WideText(key);
    const std::wstring written = Protected(WideText(value));
    for (Section& existing : sections_) {
        if (!SameName(existing.name, Trimmed(sectionName))) continue;
        for (Line& line : existing.lines) {
            if (!SameName(line.name, Trimmed(keyName))) continue;
            line.hasValue = true;
            line.value = written;
            return;
        }
        existing.lines.push_back(Line{LeadingBlanksOff(keyName), true, written});
        return;
    }
    sections_.push_back(Section{LeadingBlanksOff(sectionName), {Line{LeadingBlanksOff(keyName), true, written}}});
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key, int32_t def) const {
    const std::string text = ReadString(section, key, std::string());
    int32_t value;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseHex(text.substr(2), value) ? value : def;
    return ParseDecimal(text, value) ? value : def;
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

TDate TIniFile::ReadDate(const std::string& section, const std::string& key, TDate def) const {
    const std::string text = ReadString(section, key, std::string());
    TDate value;
    return !text.empty() && TryStrToDate(text, value) ? value : def;
}

void TIniFile::WriteDate(const std::string& section, const std::string& key, TDate value) {
    WriteString(section, key, DateToStr(value));
}

bool TIniFile::SectionExists(const std::string& section) const {
    TStringList keys;
    ReadSection(section, keys);
    return !keys.IsEmpty();
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
    TStringList keys;
    ReadSection(section, keys);
    const std::wstring wanted = WideText(key);
    for (const std::string& name : keys) {
        if (SameName(WideText(name), wanted)) return true;
    }
    return false;
}

void TIniFile::ReadSections(TStringList& sections) const {
    sections.Clear();
    for (const Section& section : sections_) {
        if (!section.name.empty()) sections.Add(DisplayText(section.name));
    }
}

void TIniFile::ReadSection(const std::string& section, TStringList& keys) const {
    keys.Clear();
    const Section* found = FindSection(WideText(section));
    if (found == nullptr) return;
    for (const Line& line : found->lines) {
        if (line.hasValue && (line.name.empty() || line.name[0] != L';')) keys.Add(DisplayText(line.name));
    }
}

void TIniFile::EraseSection(const std::string& section) {
    const std::wstring name = WideText(section);
    const auto found = std::find_if(sections_.begin(), sections_.end(),
                                    [&](const Section& existing) { return SameName(existing.name, name); });
    if (found != sections_.end()) sections_.erase(found);
}

}  // namespace base
