#include "dialogs/dmHTMLHelp.h"

#include <htmlhelp.h>

#include <string>
#include <utility>

#include "base/SysUtils.h"
#include "base/SystemLibrary.h"

namespace dialogs {

TdmHTMLHelp* dmHTMLHelp = nullptr;

namespace {

// A help request checks and reports nothing: without HTML Help on the system there is simply no help
// window.
HWND CallHtmlHelp(HWND owner, const char* file, UINT command, DWORD_PTR data) {
    using THtmlHelpA = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    THtmlHelpA htmlHelp = nullptr;
    try {
        htmlHelp = base::SystemFunction<THtmlHelpA>("hhctrl.ocx", "HtmlHelpA");
    } catch (const base::Exception&) {
        return nullptr;
    }
    return htmlHelp(owner, file, command, data);
}

THtmlHelpCall htmlHelpCall = &CallHtmlHelp;

struct Mapped {
    UINT command;
    DWORD_PTR data;
};

Mapped MapRequest(uint16_t command, intptr_t data) {
    const auto kept = static_cast<DWORD_PTR>(data);
    switch (command) {
        case HELP_CONTEXT:
        case HELP_CONTEXTPOPUP:
            return {HH_HELP_CONTEXT, kept};
        case HELP_QUIT:
            return {HH_CLOSE_ALL, 0};
        case HELP_CONTENTS:
            return {HH_DISPLAY_TOC, 0};
        case HELP_FINDER:
            return {HH_DISPLAY_TOPIC, kept};
        case HELP_KEY:
            return {HH_DISPLAY_INDEX, kept};
        default:
            return {HH_DISPLAY_TOPIC, 0};
    }
}

// HTML Help owned by a window that is not topmost opens behind the program's topmost dialogs, out of
// the user's sight. The help window is owned by the active window of the program (the dialog the user
// asked from) so that it comes up in front of it; without one, by the main window.
HWND HelpOwner() {
    HWND active = GetActiveWindow();
    if (active != nullptr) return active;
    ui::TForm* main = ui::Application != nullptr ? ui::Application->MainForm() : nullptr;
    return main != nullptr && main->HandleAllocated() ? main->Handle() : nullptr;
}

}  // namespace

THtmlHelpCall SetHtmlHelpCall(THtmlHelpCall call) {
    return std::exchange(htmlHelpCall, call);
}

bool TdmHTMLHelp::HtmlHelpHandler(uint16_t command, intptr_t data, bool& callHelp) {
    callHelp = false;
    const Mapped mapped = MapRequest(command, data);
    const std::string file = ui::Application != nullptr ? ui::Application->HelpFile() : std::string();
    htmlHelpCall(HelpOwner(), file.c_str(), mapped.command, mapped.data);
    return true;
}

THelpBridge::THelpBridge(ui::TApplication& application) : application_(application) {
    dmHTMLHelp = new TdmHTMLHelp();
    application_.OnHelp = [](uint16_t command, intptr_t data, bool& callHelp) {
        return dmHTMLHelp->HtmlHelpHandler(command, data, callHelp);
    };
}

THelpBridge::~THelpBridge() {
    application_.OnHelp = nullptr;
    delete dmHTMLHelp;
    dmHTMLHelp = nullptr;
}

}  // namespace dialogs
