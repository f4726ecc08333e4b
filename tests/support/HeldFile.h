// A file held open for reading the way another program may hold it: by default as an editor or a backup
// tool does, sharing it with other readers only, so that every writer is refused until the holder lets go;
// or sharing nothing (no reader either), or everything (as a viewer that lets the file be replaced).
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

class FileHeldForReading {
public:
    // Throws std::runtime_error when the file cannot be opened.
    explicit FileHeldForReading(const std::string& path, DWORD sharing = FILE_SHARE_READ);
    ~FileHeldForReading();
    FileHeldForReading(const FileHeldForReading&) = delete;
    FileHeldForReading& operator=(const FileHeldForReading&) = delete;

private:
    HANDLE file_;
};

}  // namespace testing_support
