#include "ui/Dialogs.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "base/SysUtils.h"
#include "base/SystemLibrary.h"

namespace ui {

namespace {

bool SystemOpenFileName(OPENFILENAMEA& request) {
    static const auto getOpenFileName = SystemFunction<BOOL(WINAPI*)(LPOPENFILENAMEA)>("comdlg32.dll", "GetOpenFileNameA");
    return getOpenFileName(&request) != FALSE;
}

bool SystemBrowseForFolder(const TBrowseRequest& request, std::string& folder) {
    char display[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = request.Owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = display;
    info.lpszTitle = request.Title.c_str();
    info.ulFlags = request.Flags;
    static const auto browse =
        SystemFunction<PIDLIST_ABSOLUTE(WINAPI*)(LPBROWSEINFOA)>("shell32.dll", "SHBrowseForFolderA");
    // The wide path: a path of MAX_PATH characters takes more bytes in UTF-8 than the single-byte call has
    // room for, and a name that an older code page cannot hold is no folder to set.
    static const auto pathOf =
        SystemFunction<BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, LPWSTR)>("shell32.dll", "SHGetPathFromIDListW");
    PIDLIST_ABSOLUTE chosen = browse(&info);
    if (chosen == nullptr) return false;
    wchar_t path[MAX_PATH] = {};
    const bool found = pathOf(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    if (found) folder = NarrowText(path);
    return found && !folder.empty();
}

TOpenFileNameCall openFileNameCall = &SystemOpenFileName;
TBrowseForFolderCall browseForFolderCall = &SystemBrowseForFolder;

// The filter as the system takes it: every "|" a terminator, the whole ending in two of them.
std::vector<char> SystemFilter(const std::string& filter) {
    std::vector<char> text(filter.begin(), filter.end());
    for (char& c : text) {
        if (c == '|') c = '\0';
    }
    text.push_back('\0');
    text.push_back('\0');
    return text;
}

// Room for any path the system can give back, far beyond MAX_PATH.
constexpr DWORD kLongestPath = 32768;

}  // namespace

TOpenFileNameCall SetOpenFileNameCall(TOpenFileNameCall call) {
    return std::exchange(openFileNameCall, call);
}

TBrowseForFolderCall SetBrowseForFolderCall(TBrowseForFolderCall call) {
    return std::exchange(browseForFolderCall, call);
}

bool TOpenDialog::Execute(HWND owner) {
    std::vector<char> filter = SystemFilter(filter_);
    std::vector<char> file(kLongestPath, '\0');
    fileName_.copy(file.data(), std::min<size_t>(fileName_.size(), kLongestPath - 1));
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter_.empty() ? nullptr : filter.data();
    request.nFilterIndex = static_cast<DWORD>(filterIndex_);
    request.lpstrFile = file.data();
    request.nMaxFile = kLongestPath;
    request.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
    request.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
    request.Flags = options_ | OFN_EXPLORER;
    if (!openFileNameCall(request)) return false;
    fileName_ = file.data();
    filterIndex_ = static_cast<int>(request.nFilterIndex);
    return true;
}

bool BrowseForFolder(HWND owner, const std::string& title, std::string& folder) {
    return browseForFolderCall(TBrowseRequest{owner, title, BIF_RETURNONLYFSDIRS}, folder);
}

}  // namespace ui
