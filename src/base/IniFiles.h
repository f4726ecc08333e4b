// Reading and writing one private profile (INI) file through the system's profile services.
#pragma once

#include <cstdint>
#include <functional>
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
    // At most 2047 characters (UTF-16 units) are seen, never part of one.
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

// Changes a profile file all at once. The writes go through the same profile services into a copy of
// the file beside it (the file's name and ".saving"), and Commit puts the copy in the file's place in
// one step, keeping the file's attributes. However the update ends before that, or however the process
// is stopped, the file stays as it was; a copy that a stopped process left behind is never read and is
// overwritten by the next update. Every refusal throws ui::Exception "Unable to write to <file name>".
class TIniFileUpdate {
public:
    // Copies the file's bytes (none when it does not exist yet) as InUtf8Lines gives them. A file with the
    // read-only attribute is refused here, before anything is written.
    explicit TIniFileUpdate(std::string fileName);
    // Removes the copy unless Commit put it in place.
    ~TIniFileUpdate();
    TIniFileUpdate(const TIniFileUpdate&) = delete;
    TIniFileUpdate& operator=(const TIniFileUpdate&) = delete;

    // The copy, to read and write as the file itself until Commit.
    TIniFile& File() { return copy_; }
    void Commit();

private:
    void Refuse() const;

    std::string fileName_;
    TIniFile copy_;
    bool committed_ = false;
};

// The text of a profile file as the program reads it. Under the UTF-8 code page a line that is not valid
// UTF-8 (from a file saved in the legacy code page, by hand or before) is taken in the user's legacy ANSI
// code page and given in UTF-8; the profile services would hand it over mangled. Anything else, and every
// file under another code page, is given as it is: an ASCII file stays byte for byte what it is.
std::string InUtf8Lines(const std::string& bytes);

// Reads a profile file as InUtf8Lines gives it: a file that it would change is read from a copy in the
// temporary folder, removed again with the reader; any other file is read in place.
class TIniFileReader {
public:
    explicit TIniFileReader(const std::string& fileName);
    ~TIniFileReader();
    TIniFileReader(const TIniFileReader&) = delete;
    TIniFileReader& operator=(const TIniFileReader&) = delete;

    const TIniFile& File() const { return file_; }

private:
    TIniFile file_;
    bool copied_ = false;
};

// Calls the function after every write to disk of this unit: each profile write or erase, the copy an
// update starts with, and the step that puts it in place. A test throws from it to stop a save after
// any of its writes. The program itself never makes one.
class IniWriteHook {
public:
    explicit IniWriteHook(std::function<void()> afterWrite);
    ~IniWriteHook();
    IniWriteHook(const IniWriteHook&) = delete;
    IniWriteHook& operator=(const IniWriteHook&) = delete;

private:
    std::function<void()> previous_;
};

}  // namespace ui
