// Drives the real exe's setup dialog from a second program, as a user would: buttons by their captions,
// radio items and list rows by mouse messages at their places, the directory field by its text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/Automation.h"

namespace testing_support {

class SetupDriver {
public:
    // Starts the exe with the arguments in its own folder and waits for the setup dialog; a test failure
    // when it does not come.
    SetupDriver(const std::string& exe, const std::string& arguments, const std::string& workingDirectory);

    // The dialog's window, or nullptr when it did not come (or has gone).
    HWND Dialog() const { return dialog_; }
    bool DialogOpen() const { return dialog_ != nullptr && IsWindow(dialog_); }

    // A window of the dialog by its class and text; nullptr when there is none.
    HWND Find(const char* className, const std::string& text) const;
    std::string TextOf(HWND window) const;

    // Every action returns once the dialog has handled it, or once it waits on a window it opened.
    // A click on a button of the dialog by its caption.
    void PressButton(const std::string& caption);
    // A click on a button sent without waiting for it: the number of the action, for WaitUntilHandled. Clicks
    // sent so to several dialogs reach them at the same moment.
    ULONG_PTR PressButtonNow(const std::string& caption);
    // Waits until every action of the list has been handled; a test failure when one is not within seconds.
    static void WaitUntilHandled(const std::vector<ULONG_PTR>& actions);
    // A left click at a point of one of the dialog's windows (a radio item, a check box, a list row).
    void ClickAt(HWND window, int x, int y);
    void ClickItem(const std::string& caption) { ClickAt(Find("TCoolCheckRadioBox", caption), 5, 5); }
    // Selects a row of the list grid by a click in its first cell.
    void SelectRow(int row);
    // Types the text into the field found by its current text, replacing it.
    void TypeInto(const std::string& currentText, const std::string& typed);
    // The add-entry dialog the Add button opened: whether it came, typing into its field, its buttons.
    bool AddDialogOpen();
    void TypeIntoAddDialog(const std::string& typed);
    void PressAddDialogButton(const std::string& caption);
    // Waits until the program shows a message box, reads it and presses its OK.
    SeenBox AnswerBox();
    // Answers every box until the program ends (see Program).
    RunOutcome Finish() { return program_.AnswerBoxesUntilExit(30000); }
    // A top window of the program by its caption, once it has come; nullptr when it does not.
    HWND WaitForWindow(const std::string& caption);

private:
    // The real pointer rests where no window of the program lies (they are centred on the screen) from
    // before the program starts: a click is sent with its own place, so any move the program hears from
    // the real pointer, however late it comes, falls on none of its windows and cannot split a press from
    // its release (the list follows the held button).
    struct PointerAtRest {
        static constexpr int kX = 0;
        static constexpr int kY = 0;
        PointerAtRest() { SetCursorPos(kX, kY); }
    };

    void Act(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND FindIn(HWND top, const char* className, const std::string& text) const;
    void Type(HWND field, const std::string& typed);

    PointerAtRest pointer_;
    Program program_;
    HWND dialog_ = nullptr;
    HWND addDialog_ = nullptr;
};

}  // namespace testing_support
