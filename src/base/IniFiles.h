// Reading and writing one private profile (INI) file through the system's profile services.
#pragma once

#include <cstdint>
#include <string>

#include "base/DateUtils.h"
#include "base/StringList.h"

namespace ui {

// Holds only the file's name: every call goes to the profile services on its own, and every write
// is on disk when the call returns. A refused write or erase throws ui::Exception
// "Unable to write to <file name>".
class TIniFile {
public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }

    // The value as written after the equals sign, without blanks and a pair of quotes around it; the
    // default only when the key is missing (a key with nothing behind the equals sign reads as empty).
    // At most 2047 characters are seen.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // Writes the value so that it reads back unchanged: inside quotes when its ends would otherwise be
    // lost to the reading.
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
    // The key names of one section, in file order.
    void ReadSection(const std::string& section, TStringList& keys) const;

    void EraseSection(const std::string& section);

private:
    void Write(const char* section, const char* key, const char* value);
    void ReadNames(const char* section, TStringList& names) const;

    std::string fileName_;
};

}  // namespace ui
