// The help bridge: every help request of the program becomes one call of HTML Help on the help file.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/Forms.h"

namespace dialogs {

// What HTML Help is asked: the owner window, the help file, the command and its data (HtmlHelpA's
// arguments). Tests stand in for the call; the program calls HtmlHelpA.
using THtmlHelpCall = HWND (*)(HWND owner, const char* file, UINT command, DWORD_PTR data);
// Replaces the call; answers the one it replaces.
THtmlHelpCall SetHtmlHelpCall(THtmlHelpCall call);

// Carries the application's help handler: stateless, one instance for the whole program.
class TdmHTMLHelp {
public:
    // Maps the classic help command and its data to an HTML Help command and data, asks HTML Help, and
    // always answers handled, with no default help processing after it.
    bool HtmlHelpHandler(uint16_t command, intptr_t data, bool& callHelp);
};

extern TdmHTMLHelp* dmHTMLHelp;

// The bridge's life: made and put into the application's help slot before the first window, taken out
// and freed when the program ends.
class THelpBridge {
public:
    explicit THelpBridge(ui::TApplication& application);
    ~THelpBridge();
    THelpBridge(const THelpBridge&) = delete;
    THelpBridge& operator=(const THelpBridge&) = delete;

private:
    ui::TApplication& application_;
};

}  // namespace dialogs
