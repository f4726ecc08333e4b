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

// The text of a request, as the wide call takes it: a list of strings ends in a second terminator.
std::wstring WideRequestText(const char* text, bool list) {
    if (text == nullptr) return std::wstring();
    std::string whole = text;
    if (list) {
        while (text[whole.size() + 1] != '\0') whole += std::string(1, '\0') + (text + whole.size() + 1);
    }
    return base::WideText(whole) + std::wstring(list ? 2 : 1, L'\0');
}

// The wide call: the chosen path, whole in UTF-8 however long; where an older code page cannot hold it, its
// short name, and no choice at all when there is none (the best fit would name another file).
bool SystemOpenFileName(OPENFILENAMEA& request) {
    static const auto getOpenFileName =
        base::SystemFunction<BOOL(WINAPI*)(LPOPENFILENAMEW)>("comdlg32.dll", "GetOpenFileNameW");
    const std::wstring filter = WideRequestText(request.lpstrFilter, true);
    const std::wstring initialDir = WideRequestText(request.lpstrInitialDir, false);
    const std::wstring title = WideRequestText(request.lpstrTitle, false);
    std::vector<wchar_t> file(request.nMaxFile, L'\0');
    const std::wstring shown = base::WideText(request.lpstrFile);
    shown.copy(file.data(), std::min<size_t>(shown.size(), file.size() - 1));
    OPENFILENAMEW wide{};
    wide.lStructSize = sizeof wide;
    wide.hwndOwner = request.hwndOwner;
    wide.lpstrFilter = request.lpstrFilter == nullptr ? nullptr : filter.c_str();
    wide.nFilterIndex = request.nFilterIndex;
    wide.lpstrFile = file.data();
    wide.nMaxFile = request.nMaxFile;
    wide.lpstrInitialDir = request.lpstrInitialDir == nullptr ? nullptr : initialDir.c_str();
    wide.lpstrTitle = request.lpstrTitle == nullptr ? nullptr : title.c_str();
    wide.Flags = request.Flags;
    if (!getOpenFileName(&wide)) return false;
    const std::string chosen = base::NarrowPath(file.data());
    if (chosen.empty() || chosen.size() >= request.nMaxFile) return false;
    chosen.copy(request.lpstrFile, chosen.size());
    request.lpstrFile[chosen.size()] = '\0';
    request.nFilterIndex = wide.nFilterIndex;
    return true;
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
        base::SystemFunction<PIDLIST_ABSOLUTE(WINAPI*)(LPBROWSEINFOA)>("shell32.dll", "SHBrowseForFolderA");
    // The wide path: a path of MAX_PATH characters takes more bytes in UTF-8 than the single-byte call has
    // room for; a name that an older code page cannot hold is taken by its short name, or is no folder to set.
    static const auto pathOf =
        base::SystemFunction<BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, LPWSTR)>("shell32.dll", "SHGetPathFromIDListW");
    PIDLIST_ABSOLUTE chosen = browse(&info);
    if (chosen == nullptr) return false;
    wchar_t path[MAX_PATH] = {};
    const bool found = pathOf(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    if (found) folder = base::NarrowPath(path);
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
