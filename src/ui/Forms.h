// Top-level windows (forms) and the application object: message loop, help route and error box.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "ui/Controls.h"

namespace ui {

enum TFormBorderStyle { bsNone, bsSingle, bsDialog };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TBorderIcons = unsigned;
enum TPosition { poDesigned, poScreenCenter };
enum TFormStyle { fsNormal, fsStayOnTop };

class TForm : public TCustomControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style) { borderStyle_ = style; }
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons) { borderIcons_ = icons; }
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style) { formStyle_ = style; }

    // The client area's size; the window's outer size follows from the border.
    void SetClientSize(int width, int height);

    void Show();
    void Hide();
    // Asks the form to close, as its close box would.
    void Close();

    // Runs OnCreate; the code that creates a form calls it once the form is whole (see NewForm).
    void DoCreate();

    TNotifyEvent OnCreate;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDestroy;

    void WndProc(TMessage& message) override;

protected:
    const char* ClassName() const override { return "TForm"; }
    void CreateParams(TCreateParams& params) override;
    void Paint() override {}

private:
    TFormBorderStyle borderStyle_ = bsSingle;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = poDesigned;
    TFormStyle formStyle_ = fsNormal;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
};

// A request of the classic help commands: the handler returns whether it handled it and may clear
// callHelp to stop the application's default help processing.
using THelpEvent = std::function<bool(uint16_t command, int32_t data, bool& callHelp)>;

class TApplication : public TComponent {
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
    // Dispatches every message waiting now, without waiting for more.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Passes a help request to OnHelp; true when it was handled.
    bool HelpCommand(uint16_t command, int32_t data);

    // The standard error box: the message, a full stop added where it ends in a character whose code
    // is above the full stop's, the title as caption, an error icon and one OK button.
    void ShowException(const std::exception& error);

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
Form* NewForm(TComponent* owner) {
    auto* form = new Form(owner);
    form->DoCreate();
    return form;
}

}  // namespace ui
