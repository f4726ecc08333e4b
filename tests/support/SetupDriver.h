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
    // Sends the message; with wait, returns once the program has handled it (or has opened a window).
    void Act(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool wait = true);
    HWND FindIn(HWND top, const char* className, const std::string& text) const;
    void Type(HWND field, const std::string& typed);

    Program program_;
    HWND dialog_ = nullptr;
    HWND addDialog_ = nullptr;
};

}  // namespace testing_support
