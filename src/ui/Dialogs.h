// The system's choosers: the open-file dialog and the folder browser.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>

#include "base/Classes.h"

namespace ui {

// The open-file dialog. Filter is pairs of description and masks separated by "|"
// ("Pictures|*.bmp;*.gif|All files|*.*"); FilterIndex counts from 1.
class TOpenDialog : public base::TComponent {
public:
    explicit TOpenDialog(base::TComponent* owner) : base::TComponent(owner) {}

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& filter) { filter_ = filter; }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int index) { filterIndex_ = index; }
    // OFN_ flags.
    DWORD Options() const { return options_; }
    void SetOptions(DWORD options) { options_ = options; }
    const std::string& InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& folder) { initialDir_ = folder; }
    // The chosen file's full path after Execute; the name shown first before it.
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& name) { fileName_ = name; }

    // Shows the dialog owned by the window; true when the user chose a file.
    bool Execute(HWND owner);

private:
    std::string title_;
    std::string filter_;
    int filterIndex_ = 1;
    DWORD options_ = 0;
    std::string initialDir_;
    std::string fileName_;
};

// The folder browser over the file system's folders, rooted at the desktop, nothing preselected. True
// with the chosen folder's path when the user chose one.
bool BrowseForFolder(HWND owner, const std::string& title, std::string& folder);

// What the choosers call: GetOpenFileNameW with the request in the active code page, and SHBrowseForFolderA
// with SHGetPathFromIDListW. Tests stand in for them; each setter answers the call it replaces.
using TOpenFileNameCall = bool (*)(OPENFILENAMEA& request);
TOpenFileNameCall SetOpenFileNameCall(TOpenFileNameCall call);
// Answers the chosen path, or false for a cancel. The request's owner, title and flags are the
// browser's; its root is always the desktop.
struct TBrowseRequest {
    HWND Owner;
    std::string Title;
    UINT Flags;
};
using TBrowseForFolderCall = bool (*)(const TBrowseRequest& request, std::string& folder);
TBrowseForFolderCall SetBrowseForFolderCall(TBrowseForFolderCall call);

}  // namespace ui
