// The about box: the program's name and version, its makers with a mail link, and one button.
#pragma once

#include <windows.h>

#include <string>

#include "skin/CoolBtn.h"
#include "skin/CoolCtrls.h"
#include "skin/CoolLabel.h"
#include "skin/CoolLink.h"
#include "skin/CoolPanel.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"

namespace dialogs {

// What the mail link is handed to: ShellExecuteA's arguments. Tests stand in for the shell.
using TShellOpen = HINSTANCE (*)(HWND owner, const char* verb, const char* file, const char* parameters,
                                 const char* directory, int show);
// Replaces the shell call; answers the one it replaces.
TShellOpen SetShellOpen(TShellOpen open);

// The text of the mail link: the makers' address and the subject line.
std::string MailLink();

class TfrmAbout : public ui::TForm {
public:
    explicit TfrmAbout(base::TComponent* owner);

    skin::TCoolPanel* cpnlAbout;
    skin::TCoolLabel* clblTitle;
    // The mail link: the author line, in a link that the keyboard and a reader reach.
    skin::TCoolLink* clnkAuthor;
    skin::TCoolLabel* clblAuthor;
    skin::TCoolLabel* clblCopyright;
    ui::TImage* imgLogo;
    skin::TCoolBtn* cbtnOk;
    skin::TCoolImages* cimgsAboutWallpaper;
    skin::TCoolFormHook* cfhAbout;

protected:
    ~TfrmAbout() override = default;
    const char* ClassName() const override { return "TfrmAbout"; }

private:
    void FormCreate();
    void clblAuthorClick();
    void clblAuthorMouseDown();
    void clblAuthorMouseUp();
    void cbtnOkClick();
};

}  // namespace dialogs
