// The program: one run of the splash window, or its setup first when asked for or on the first run.
#include <windows.h>

#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "app/FormSplash.h"
#include "base/SysUtils.h"
#include "dialogs/dmHTMLHelp.h"
#include "ui/Forms.h"

namespace {

// Every library loaded after the start comes from the system folder only: never from the exe's folder
// or the current one, which a user may have unpacked where others can write. Windows 7 has the call
// only with its security update 2533623, so it is looked up rather than imported.
void LoadLibrariesFromTheSystemFolderOnly() {
#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
    const DWORD LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x00000800;
#endif
    using SetDirectories = BOOL(WINAPI*)(DWORD flags);
    const auto setDirectories = reinterpret_cast<SetDirectories>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDirectories != nullptr) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
    return arguments;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LoadLibrariesFromTheSystemFolderOnly();
    ui::TApplication application;
    try {
        // Every help request goes through the bridge, from before the first window until the end.
        dialogs::THelpBridge helpBridge(application);
        application.Initialize();
        application.SetTitle("Tamberlyn");
        // The help file beside the exe: HTML Help looks for a bare name in the current folder, which a
        // start from a shortcut or at logon sets elsewhere.
        application.SetHelpFile(base::ExeDirectory() + "Tamberlyn.chm");
        app::frmSplash = application.CreateForm<app::TfrmSplash>(CommandLineArguments());
        application.Run();
    } catch (const std::exception& error) {
        // Only what fails before the message loop gets here (a splash window the system cannot make):
        // the program ends with the error shown instead of being cut off by the runtime.
        application.ShowException(error);
        return 1;
    }
    return 0;
}
