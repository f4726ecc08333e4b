// Top-level windows (forms) and the application object: message loop, help route and error box.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "ui/Controls.h"

namespace ui {

enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TBorderIcons = unsigned;
enum TPosition { poDesigned, poScreenCenter };
enum TFormStyle { fsNormal, fsStayOnTop };

// What closing a form does with it: nothing (it stays open), hide it, or free it (Release).
enum TCloseAction { caNone, caHide, caFree };

// Modal results, as the buttons that end a modal form carry them.
constexpr int mrNone = 0;
constexpr int mrOk = IDOK;
constexpr int mrCancel = IDCANCEL;

// A form is freed through Free (its owner's, an Owned<> pointer's or its Release's): its destructor is
// protected, as a plain delete would run OnDestroy only after the derived part is gone.
class TForm : public TCustomControl {
public:
    explicit TForm(base::TComponent* owner);

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style) { borderStyle_ = style; }
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons) { borderIcons_ = icons; }
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style) { formStyle_ = style; }
    // The form's topic in the application's help file; F1 anywhere on the form asks for it (0: none).
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }

    // The client area's size; the window's outer size follows from the border.
    void SetClientSize(int width, int height);

    void Show();
    void Hide();
    // Asks the form to close, as its close box would: a modal form ends its loop with mrCancel; any other
    // form asks OnCloseQuery, then OnClose decides what closing does (hide, by default; the main form's
    // closing ends the application).
    void Close();
    // Frees the form once the message being handled now has been handled, so that a handler can free
    // its own form. A form freed before then is freed once, and the pending release lapses.
    void Release();

    // Shows the form and runs a message loop, with the application's other windows disabled, until the
    // form gets a modal result that OnCloseQuery and OnClose accept; returns it. On every way out the
    // disabled windows are enabled again and the window that was active before is active again.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result);
    bool IsModal() const { return modal_; }

    // Keyboard handling of a dialog for a message about to be dispatched to one of the form's windows:
    // Tab and Shift+Tab move the focus, Enter and Escape go to the default and cancel buttons, and
    // accelerators reach the control they mark. True when the message was used up.
    bool DialogKey(const MSG& message);

    // The control that gets the focus when the form is shown, and the one that has it while the form is
    // active (nullptr: the first tab stop). It gets the focus back when the form is activated again.
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);

    // The form a control lies on, or nullptr.
    static TForm* Of(TControl* control);

    // Runs OnCreate; the code that creates a form calls it once the form is whole (see NewForm).
    void DoCreate();

    TNotifyEvent OnCreate;
    TNotifyEvent OnActivate;
    // Runs while the whole form, its derived part included, still exists.
    TNotifyEvent OnDestroy;
    // Whether the form may close now.
    std::function<void(bool& canClose)> OnCloseQuery;
    // What closing does; starts as caHide.
    std::function<void(TCloseAction& action)> OnClose;

    void WndProc(TMessage& message) override;
    void Notification(base::TComponent* component, bool removing) override;

protected:
    ~TForm() override;
    const char* ClassName() const override { return "TForm"; }
    void CreateParams(TCreateParams& params) override;
    void Paint() override {}
    void BeforeDestruction() override;

private:
    bool CloseQuery();
    // Asks OnClose what closing does; false when the form stays open.
    bool DoClose(TCloseAction& action);
    // The modal loop saw a modal result: true when the form may end it.
    bool CloseModal();
    void RememberFocus();
    void RestoreFocus();
    // Tab, arrows, Enter, Escape; true when the key was used up.
    bool DialogNavigationKey(const MSG& message, UINT code);

    TWinControl* activeControl_ = nullptr;
    bool destroyed_ = false;
    TFormBorderStyle borderStyle_ = bsSingle;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = poDesigned;
    TFormStyle formStyle_ = fsNormal;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int modalResult_ = mrNone;
    bool modal_ = false;
    bool releaseRequested_ = false;
    int helpContext_ = 0;
};

// A request of the classic help commands: the handler returns whether it handled it and may clear
// callHelp to stop the application's default help processing. The data is pointer-sized, as the
// platform's help commands carry it (32 bits in a 32-bit program).
using THelpEvent = std::function<bool(uint16_t command, intptr_t data, bool& callHelp)>;

class TApplication : public base::TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Initialises COM for the GUI thread (single-threaded apartment).
    void Initialize();

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::string& helpFile) { helpFile_ = helpFile; }
    THelpEvent OnHelp;

    // Creates a form owned by the application; the first one becomes the main form.
    template <typename Form, typename... Arguments>
    Form* CreateForm(Arguments&&... arguments) {
        auto* form = new Form(this, std::forward<Arguments>(arguments)...);
        if (mainForm_ == nullptr) mainForm_ = form;
        form->DoCreate();
        return form;
    }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main form and dispatches messages until the main form closes.
    void Run();
    // Takes one message from the queue (waiting for it) and dispatches it; false on a quit request.
    bool HandleMessage();
    // Dispatches every message waiting now, without waiting for more.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Passes a help request to OnHelp; true when it was handled.
    bool HelpCommand(uint16_t command, intptr_t data);

    // The standard error box: the message, a full stop added where it ends in a character whose code
    // is above the full stop's, the title as caption, an error icon and one OK button.
    void ShowException(const std::exception& error);

    void Notification(base::TComponent* component, bool removing) override;

private:
    std::string title_;
    std::string helpFile_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool comInitialized_ = false;
};

extern TApplication* Application;

// The text the error box shows for a message.
std::string ErrorBoxText(const std::string& message);

// Creates a form with an owner and runs its OnCreate once it is whole.
template <typename Form>
Form* NewForm(base::TComponent* owner) {
    auto* form = new Form(owner);
    form->DoCreate();
    return form;
}

// The same, held by a pointer that frees the form (BeforeDestruction first) when it goes.
template <typename Form>
base::Owned<Form> MakeForm(base::TComponent* owner) {
    return base::Owned<Form>(NewForm<Form>(owner));
}

}  // namespace ui
