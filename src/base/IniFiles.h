// A private profile (INI) file's text in memory, read and changed by the rules of the system's profile
// services, and the encodings its bytes come in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/DateUtils.h"
#include "base/StringList.h"

namespace base {

// The longest value a profile file gives, in UTF-16 units as the system counts characters: the profile
// services' limit, which stored files and other programs rely on.
constexpr size_t kLongestIniValue = 2047;

// How a profile file's bytes hold its text, told by its first bytes as the system's profile services tell it.
// A file without a byte-order mark is in the active code page, UTF-8 under the program's manifest (a line that
// is not valid UTF-8 there is taken in the user's legacy code page, from a file saved before or by hand).
enum class TIniEncoding { ActiveCodePage, Utf8WithMark, Utf16, Utf16BigEndian };

// The text of a file's bytes, with the encoding they were in.
std::wstring DecodeIniText(const std::string& bytes, TIniEncoding& encoding);
// The bytes of the text in the encoding, with its byte-order mark, as the profile services write a file back:
// in the encoding it was read in.
std::string EncodeIniText(const std::wstring& text, TIniEncoding encoding);

// The text of a file's bytes without a byte-order mark, in the active code page, as the program reads them.
std::string InUtf8Lines(const std::string& bytes);

// The text a value is written as, so that it reads back unchanged: inside quotes when the reading would
// otherwise take something from its ends (a blank, a control character, a pair of quotes).
std::string IniValueText(const std::string& value);

// The lines of a profile file, read and changed as the profile services (GetPrivateProfileString,
// WritePrivateProfileString) read and change them, so that a file a user or another program wrote reads as
// it always has, and the same changes give the same bytes: blanks (and the old end-of-file mark, Ctrl-Z)
// around a line, a name or a value do not count; names compare without regard to case; of two sections or
// keys of one name, only the first counts; a value written keeps its key's place, a new key ends its section,
// a new section ends the file; comments and lines of other programs stay as they are.
class TIniFile {
public:
    TIniFile() = default;
    explicit TIniFile(const std::wstring& text);

    // The text as the profile services would write it: each line ends in CR LF.
    std::wstring Text() const;

    // The value as written after the equals sign, without blanks and a pair of quotes around it; the
    // default only when the key is missing (a key with nothing behind the equals sign reads as empty).
    // At most 2047 characters (UTF-16 units) are seen, never part of one.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // Writes the value as IniValueText gives it.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    // Decimal, or hexadecimal after "0x"; the default when the key is missing, empty or malformed.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);

    // Stored as an integer: "1" or "0" when written, any non-zero value reads as true.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Stored in the user's short date format; the default when the text is empty or not a date.
    TDate ReadDate(const std::string& section, const std::string& key, TDate def) const;
    void WriteDate(const std::string& section, const std::string& key, TDate value);

    // A section exists when it holds at least one key: an empty section header counts as missing.
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;

    // The names of every section header in the file, empty ones included, in file order.
    void ReadSections(TStringList& sections) const;
    // The key names of one section, in file order: lines with an equals sign that are no comment.
    void ReadSection(const std::string& section, TStringList& keys) const;

    // Removes the first section of the name, with its header.
    void EraseSection(const std::string& section);

private:
    struct Line {
        std::wstring name;  // the whole line when it holds no equals sign
        bool hasValue = false;
        std::wstring value;
    };
    struct Section {
        std::wstring name;
        std::vector<Line> lines;
    };

    const Section* FindSection(const std::wstring& name) const;
    const Line* FindKey(const std::string& section, const std::string& key) const;

    // The first holds the lines before any header; it has no name and no header of its own.
    std::vector<Section> sections_{Section{}};
};

}  // namespace base
