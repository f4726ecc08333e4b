// Reading a profile file whole, and changing it all at once, one change at a time.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "base/Handles.h"
#include "base/IniFiles.h"

namespace base {

// A profile file's lock, held for the scope (waited for, up to ten seconds): every read and change of the file
// below, in any program, holds it, whatever name, link or path form led to the file.
class TIniFileLock {
public:
    explicit TIniFileLock(const std::string& fileName);
    ~TIniFileLock();
    TIniFileLock(const TIniFileLock&) = delete;
    TIniFileLock& operator=(const TIniFileLock&) = delete;

    bool Held() const { return held_; }
    // The file's final path: through a symbolic link, the link's target.
    const std::wstring& File() const { return file_; }

private:
    std::wstring file_;
    TKernelHandle mutex_;
    bool held_ = false;
};

// The file as the program reads it: whole, in memory, in any of its encodings. A missing file (or folder)
// reads as an empty one; a file that is there but cannot be read (another program holds it without sharing,
// or it is a folder) throws base::Exception "Unable to read <file name>", so that nothing takes it for empty and
// writes over it. A change in progress (TIniFileUpdate) is waited for.
TIniFile ReadIniFile(const std::string& fileName);

// Changes a profile file all at once, and one change at a time among all the programs that change it so.
// The constructor waits for the file's lock (a mutex named after the file's full path) and reads the file;
// File() is its text, to change in memory; Commit writes the whole text, in the encoding the file was in, to
// a copy of its own in the file's folder and puts the copy in the file's place in one step. However the
// update ends before that, or however its process is stopped, the file stays as it was and no copy is left.
//
// The file is changed where it lies: behind a symbolic link, at the link's target. Its attributes, its
// security descriptor (and owner, where the system allows) and its encryption go to the new file. A copy is
// made under a name that nothing else holds, created new and never opened or removed by a name that another
// program could have put there; a copy that a stopped update left behind (after a power cut) is removed by a
// later one, only when it is a plain file that no link leads from. Every refusal throws base::Exception
// "Unable to write to <file name>": a file with the read-only attribute, a lock not given within seconds, a
// copy that the disk did not take whole, a file that cannot be replaced.
class TIniFileUpdate {
public:
    explicit TIniFileUpdate(const std::string& fileName);
    TIniFileUpdate(const TIniFileUpdate&) = delete;
    TIniFileUpdate& operator=(const TIniFileUpdate&) = delete;

    TIniFile& File() { return file_; }
    void Commit();

private:
    void Refuse() const;

    std::string fileName_;
    TIniFileLock lock_;
    const std::wstring& target_;
    TIniEncoding encoding_ = TIniEncoding::ActiveCodePage;
    TIniFile file_;
};

// Calls the function after each step of an update that reaches the disk: the copy written whole, and the
// copy put in the file's place. A test throws from it to stop an update after any of its steps. The program
// itself never makes one.
class IniWriteHook {
public:
    explicit IniWriteHook(std::function<void()> afterWrite);
    ~IniWriteHook();
    IniWriteHook(const IniWriteHook&) = delete;
    IniWriteHook& operator=(const IniWriteHook&) = delete;

private:
    std::function<void()> previous_;
};

// Lets the disk take only so many bytes of a copy, as a full disk would: a test's stand-in for a drive too
// small for the file. The program itself never makes one.
class IniDiskRoom {
public:
    explicit IniDiskRoom(size_t bytes);
    ~IniDiskRoom();
    IniDiskRoom(const IniDiskRoom&) = delete;
    IniDiskRoom& operator=(const IniDiskRoom&) = delete;

private:
    size_t previous_;
};

}  // namespace base
