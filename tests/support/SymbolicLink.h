// A symbolic link made by a test, as a user makes one to keep a file in a synced folder or as another program
// plants one; removed again, itself and never its target, before the folders around it go.
#pragma once

#include <string>

namespace testing_support {

// Under Wine, the link is made and removed by the Unix ln and rm on the Unix paths Wine gives: Wine 8 answers
// CreateSymbolicLinkW with success and makes nothing, and its DeleteFile removes a link's target. On Windows
// it takes the developer mode or an administrator.
class SymbolicLink {
public:
    SymbolicLink(const std::string& link, const std::string& target);
    ~SymbolicLink();
    SymbolicLink(const SymbolicLink&) = delete;
    SymbolicLink& operator=(const SymbolicLink&) = delete;

    bool Made() const { return made_; }

private:
    std::string link_;
    bool made_ = false;
};

}  // namespace testing_support
