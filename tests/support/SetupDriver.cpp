#include "support/SetupDriver.h"

#include <gtest/gtest.h>

#include <set>

namespace testing_support {

namespace {

constexpr DWORD kWaitMs = 20000;
constexpr DWORD kPollMs = 20;

// The actions the program has handled, by number. A callback may come long after its action (once a
// window the action opened has closed), so it reaches no driver, only this record.
ULONG_PTR lastAction = 0;
std::set<ULONG_PTR> handledActions;

VOID CALLBACK ActionHandled(HWND, UINT, ULONG_PTR action, LRESULT) {
    handledActions.insert(action);
}

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<std::pair<DWORD, std::set<HWND>>*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.first && IsWindowVisible(window)) search.second.insert(window);
    return TRUE;
}

std::set<HWND> VisibleTopWindows(DWORD processId) {
    std::pair<DWORD, std::set<HWND>> search{processId, {}};
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

struct WindowSearch {
    DWORD processId;
    std::string caption;
    HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (owner == search.processId && IsWindowVisible(window) && search.caption == text) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

struct ChildSearch {
    const char* className;
    std::string text;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<ChildSearch*>(param);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    // Read across processes with WM_GETTEXT: the field's text lives in its window.
    char text[1024] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    if (search.text == text && std::string(className) == search.className) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

SetupDriver::SetupDriver(const std::string& exe, const std::string& arguments, const std::string& workingDirectory)
    : program_("\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments), workingDirectory) {
    dialog_ = WaitForWindow("Tamberlyn Setup");
    if (dialog_ == nullptr) ADD_FAILURE() << "the setup dialog did not open";
}

// A window that an action opens (a message box, the add-entry dialog, the about box) runs its own modal
// loop inside the program's handling of the action: the action is handled only when that window closes.
// So an action is done once the program has handled it or once a new window of the program has appeared.
void SetupDriver::Act(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool wait) {
    const std::set<HWND> before = VisibleTopWindows(program_.Id());
    const ULONG_PTR action = ++lastAction;
    if (!SendMessageCallbackA(window, message, wParam, lParam, &ActionHandled, action)) {
        ADD_FAILURE() << "the action could not be sent: error " << GetLastError();
        return;
    }
    if (!wait) return;
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < kWaitMs) {
        // The callback comes while this thread looks at its queue.
        MSG queued;
        while (PeekMessageA(&queued, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&queued);
        if (handledActions.count(action) != 0 || !program_.Running()) return;
        for (HWND top : VisibleTopWindows(program_.Id())) {
            if (before.count(top) == 0) return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
    }
    ADD_FAILURE() << "the program neither handled an action nor opened a window for it";
}

HWND SetupDriver::WaitForWindow(const std::string& caption) {
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < kWaitMs && program_.Running()) {
        WindowSearch search{program_.Id(), caption, nullptr};
        EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        Sleep(kPollMs);
    }
    return nullptr;
}

HWND SetupDriver::FindIn(HWND top, const char* className, const std::string& text) const {
    ChildSearch search{className, text, nullptr};
    if (top != nullptr && IsWindow(top)) EnumChildWindows(top, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND SetupDriver::Find(const char* className, const std::string& text) const {
    return FindIn(dialog_, className, text);
}

bool SetupDriver::AddDialogOpen() {
    addDialog_ = WaitForWindow("Add picture or web page to list...");
    return addDialog_ != nullptr;
}

void SetupDriver::TypeIntoAddDialog(const std::string& typed) {
    Type(FindIn(addDialog_, "TCoolEditBtn", ""), typed);
}

void SetupDriver::PressAddDialogButton(const std::string& caption) {
    HWND button = FindIn(addDialog_, "TCoolBtn", caption);
    if (button == nullptr) {
        ADD_FAILURE() << "no button \"" << caption << "\" in the add-entry dialog";
        return;
    }
    Act(button, BM_CLICK, 0, 0);
    const ULONGLONG start = GetTickCount64();
    while (IsWindowVisible(addDialog_) && GetTickCount64() - start < kWaitMs) Sleep(kPollMs);
    if (IsWindowVisible(addDialog_)) ADD_FAILURE() << "the add-entry dialog stayed open after \"" << caption << '"';
}

std::string SetupDriver::TextOf(HWND window) const {
    char text[1024] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    return text;
}

void SetupDriver::PressButton(const std::string& caption) {
    HWND button = Find("TCoolBtn", caption);
    if (button == nullptr) {
        ADD_FAILURE() << "no button \"" << caption << "\"";
        return;
    }
    Act(button, BM_CLICK, 0, 0);
}

void SetupDriver::ClickAt(HWND window, int x, int y) {
    if (window == nullptr) {
        ADD_FAILURE() << "nothing to click";
        return;
    }
    // The pointer goes where the click is, as a user's does: a control that follows the held button (the
    // list's drag selection) hears the real pointer's moves between the press and the release.
    POINT onScreen{x, y};
    ClientToScreen(window, &onScreen);
    SetCursorPos(onScreen.x, onScreen.y);
    // Sent at once, both come before a pointer move still queued from the last click, which would drag a row.
    Act(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y), false);
    Act(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void SetupDriver::SelectRow(int row) {
    // The list's rows are 16 pixels high with a one-pixel grid line.
    ClickAt(Find("TCoolStringGrid", ""), 20, row * 17 + 8);
}

void SetupDriver::TypeInto(const std::string& currentText, const std::string& typed) {
    Type(Find("TCoolEditBtn", currentText), typed);
}

void SetupDriver::Type(HWND field, const std::string& typed) {
    if (field == nullptr) {
        ADD_FAILURE() << "no field to type into";
        return;
    }
    Act(field, EM_SETSEL, 0, -1);
    for (char c : typed) Act(field, WM_CHAR, static_cast<unsigned char>(c), 1);
}

SeenBox SetupDriver::AnswerBox() {
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < kWaitMs) {
        const std::vector<HWND> boxes = FindMessageBoxes(program_.Id());
        for (HWND box : boxes) {
            if (box == dialog_) continue;
            const SeenBox seen = ReadMessageBox(box);
            PressOk(box);
            while (IsWindow(box) && GetTickCount64() - start < kWaitMs) Sleep(kPollMs);
            return seen;
        }
        Sleep(kPollMs);
    }
    ADD_FAILURE() << "no message box came";
    return {};
}

}  // namespace testing_support
