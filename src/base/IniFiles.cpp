#include "base/IniFiles.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <utility>
#include <vector>

#include "base/SysUtils.h"

namespace ui {

namespace {

// A value is seen up to its first 2047 characters, counted in UTF-16 units as the system counts them (a
// mend: the count was of bytes, which in UTF-8 cut values in other scripts far short of the limit). The
// service is asked with room to spare: with a buffer just that size, Wine hands back a quoted value of
// exactly 2047 characters without its last one. A character takes up to three bytes in UTF-8: a longer
// value, cut by the service where the buffer ends, still holds its first 2047 characters whole.
constexpr size_t kLongestValue = 2047;
constexpr DWORD kValueBufferSize = 8192;
static_assert(kValueBufferSize > 3 * kLongestValue + 3, "room for the longest value in UTF-8");

// Handed to the profile service as the default so that a missing key can be told from a key
// whose value is empty; the service would also strip trailing blanks from a real default. A value
// read from the file ends at its line, so none can hold the marker's line break: what comes back as
// the marker is a missing key, without asking the service again.
const char kMissingKeyMarker[] = "\n<missing key>";

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

std::function<void()> afterWrite;

void Written() {
    if (afterWrite) afterWrite();
}

// The attributes that the copy takes over from the file before it takes the file's place. Read-only is
// never among them: such a file is refused.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (Valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// A copy left by a stopped update may carry attributes that keep it from being overwritten or removed.
bool RemoveFile(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

// The bytes of the file as they are, or none when there is no file; false when it cannot be read.
bool ReadWhole(const std::string& path, std::string& bytes) {
    const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return GetLastError() == ERROR_FILE_NOT_FOUND;
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return false;
        if (read == 0) return true;
        bytes.append(buffer, read);
    }
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    const FileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file.Valid() && (bytes.empty() ||
                            (WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                             written == bytes.size()));
}

bool FlushToDisk(const std::string& path) {
    const FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid() && FlushFileBuffers(file.Get());
}

// The user's legacy ANSI code page (that of the user's locale before UTF-8); 0 for a locale that has none.
UINT LegacyCodePage() {
    DWORD codePage = 0;
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                   reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(WCHAR));
    return codePage == CP_UTF8 ? 0 : codePage;
}

std::string FromLegacyCodePage(const std::string& line, UINT codePage) {
    const int length = static_cast<int>(line.size());
    const int units = MultiByteToWideChar(codePage, 0, line.data(), length, nullptr, 0);
    if (units == 0) return line;
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(codePage, 0, line.data(), length, &wide[0], units);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, &text[0], bytes, nullptr, nullptr);
    return text;
}

bool IsPlainEnd(char c) {
    return c > ' ' && c < 0x7F;
}

// Reading trims blanks from both ends of a value (Wine also other characters, 0x1A among them) and takes
// away a pair of quotes around it. A value that would lose something so is written inside quotes, which
// the reading takes away again.
std::string Protected(const std::string& value) {
    if (value.empty()) return value;
    const bool quoted = value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
    return quoted || !IsPlainEnd(value[0]) || !IsPlainEnd(value.back()) ? '"' + value + '"' : value;
}

}  // namespace

std::string InUtf8Lines(const std::string& bytes) {
    if (GetACP() != CP_UTF8 || IsValidUtf8(bytes)) return bytes;
    const UINT codePage = LegacyCodePage();
    if (codePage == 0) return bytes;
    std::string text;
    for (size_t start = 0; start < bytes.size();) {
        const size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::string line = bytes.substr(start, end - start);
        text += IsValidUtf8(line) ? line : FromLegacyCodePage(line, codePage);
        if (end < bytes.size()) text += '\n';
        start = end + 1;
    }
    return text;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
    std::vector<char> buffer(kValueBufferSize);
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissingKeyMarker, buffer.data(),
                                                  kValueBufferSize, fileName_.c_str());
    const std::string value(buffer.data(), length);
    if (value == kMissingKeyMarker) return def;
    return value.size() > kLongestValue ? LeadingUnits(value, kLongestValue) : value;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    Write(section.c_str(), key.c_str(), Protected(value).c_str());
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
    for (const std::string& name : keys) {
        if (lstrcmpiA(name.c_str(), key.c_str()) == 0) return true;
    }
    return false;
}

void TIniFile::ReadSections(TStringList& sections) const {
    ReadNames(nullptr, sections);
}

void TIniFile::ReadSection(const std::string& section, TStringList& keys) const {
    ReadNames(section.c_str(), keys);
}

void TIniFile::EraseSection(const std::string& section) {
    Write(section.c_str(), nullptr, nullptr);
}

// With no key (and, for section names, no section) the service fills the buffer with zero-ended
// names and one more zero; a list that did not fit is cut and reported as the buffer size minus 2.
void TIniFile::ReadNames(const char* section, TStringList& names) const {
    names.Clear();
    std::vector<char> buffer(16384);
    DWORD length;
    for (;;) {
        length = GetPrivateProfileStringA(section, nullptr, "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                          fileName_.c_str());
        if (length + 2 < buffer.size()) break;
        buffer.resize(buffer.size() * 2);
    }
    for (DWORD start = 0; start < length;) {
        const std::string name(buffer.data() + start);
        names.Add(name);
        start += static_cast<DWORD>(name.size()) + 1;
    }
}

void TIniFile::Write(const char* section, const char* key, const char* value) {
    // Wine's profile service answers success for a file with the read-only attribute and silently
    // drops the write, where Windows refuses it; refuse it here so that both systems fail alike.
    const DWORD attributes = GetFileAttributesA(fileName_.c_str());
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly || !WritePrivateProfileStringA(section, key, value, fileName_.c_str()))
        throw Exception(Format("Unable to write to %s", fileName_.c_str()));
    // The profile service may keep the file it last used in a cache and write it later (Windows
    // documents this; Wine 8 happens to write each change at once). The all-null call is the
    // documented flush, so the file is on disk for the next reader, in this process or another; it
    // answers FALSE whether or not it flushed, so its result says nothing.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName_.c_str());
    Written();
}

TIniFileUpdate::TIniFileUpdate(std::string fileName) : fileName_(std::move(fileName)), copy_(fileName_ + ".saving") {
    const DWORD attributes = GetFileAttributesA(fileName_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) Refuse();
    std::string bytes;
    if (!ReadWhole(fileName_, bytes) || !RemoveFile(copy_.FileName())) Refuse();
    // From here on, however this ends, the copy goes. A file from before is saved in UTF-8.
    if (!WriteWhole(copy_.FileName(), InUtf8Lines(bytes))) {
        RemoveFile(copy_.FileName());
        Refuse();
    }
    try {
        Written();
    } catch (...) {
        RemoveFile(copy_.FileName());
        throw;
    }
}

TIniFileUpdate::~TIniFileUpdate() {
    if (!committed_) RemoveFile(copy_.FileName());
}

void TIniFileUpdate::Commit() {
    const std::string& copy = copy_.FileName();
    const DWORD attributes = GetFileAttributesA(fileName_.c_str());
    const DWORD kept = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & kKeptAttributes;
    if ((kept != 0 && !SetFileAttributesA(copy.c_str(), kept)) || !FlushToDisk(copy)) Refuse();
    // One rename that replaces the file, not ReplaceFile: Wine 8's ReplaceFile (traced here) renames the
    // file aside to a name of its own (rf*.tmp), deletes it and only then renames the copy, so that a
    // process killed in between leaves no settings file at all. The rename keeps only the copy's own
    // attributes, hence those taken over above. A file held open by a program that does not share its
    // deletion (as an editor may hold it) refuses the rename, as it refused the profile service's writes.
    if (!MoveFileExA(copy.c_str(), fileName_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) Refuse();
    committed_ = true;
    Written();
}

void TIniFileUpdate::Refuse() const {
    throw Exception(Format("Unable to write to %s", fileName_.c_str()));
}

TIniFileReader::TIniFileReader(const std::string& fileName) : file_(fileName) {
    std::string bytes;
    if (!ReadWhole(fileName, bytes)) return;
    const std::string text = InUtf8Lines(bytes);
    if (text == bytes) return;
    char folder[MAX_PATH + 1] = {};
    char copy[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH || GetTempFileNameA(folder, "ini", 0, copy) == 0) throw EOSError(GetLastError());
    // GetTempFileName made the file, empty: written anew.
    if (!RemoveFile(copy) || !WriteWhole(copy, text)) {
        RemoveFile(copy);
        throw Exception(Format("Unable to read %s", fileName.c_str()));
    }
    file_ = TIniFile(copy);
    copied_ = true;
}

TIniFileReader::~TIniFileReader() {
    if (copied_) RemoveFile(file_.FileName());
}

IniWriteHook::IniWriteHook(std::function<void()> hook) : previous_(std::move(afterWrite)) {
    afterWrite = std::move(hook);
}

IniWriteHook::~IniWriteHook() {
    afterWrite = std::move(previous_);
}

}  // namespace ui
