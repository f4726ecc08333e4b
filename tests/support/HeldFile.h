// A file held open the way an editor or a backup tool may hold it: for reading, sharing it with other
// readers only, so that every writer is refused until the holder lets go.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

class FileHeldForReading {
public:
    // Throws std::runtime_error when the file cannot be opened.
    explicit FileHeldForReading(const std::string& path);
    ~FileHeldForReading();
    FileHeldForReading(const FileHeldForReading&) = delete;
    FileHeldForReading& operator=(const FileHeldForReading&) = delete;

private:
    HANDLE file_;
};

}  // namespace testing_support
