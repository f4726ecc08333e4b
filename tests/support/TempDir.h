// A fresh folder under the system's temporary directory, removed with everything in it.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

class TempDir {
public:
    // The folder's name ends in the given text (the active code page's).
    explicit TempDir(const std::string& nameEnd = "");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder's path, ending in a backslash.
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }

    void WriteFile(const std::string& name, const std::string& contents) const;
    std::string ReadFile(const std::string& name) const;
    // Every name in the folder, sorted: what a test leaves beside its files shows here.
    std::vector<std::string> Names() const;

private:
    std::string path_;
};

void RemoveTree(const std::string& path);

}  // namespace testing_support
