// The splash window: its first activation carries out one whole run of the program.
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "base/DateUtils.h"
#include "core/PictureFiles.h"
#include "skin/CoolCtrls.h"
#include "skin/CoolLabel.h"
#include "skin/CoolPanel.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"

namespace app {

class TfrmSplash : public ui::TForm {
public:
    // arguments: the command line's arguments after the program name.
    TfrmSplash(base::TComponent* owner, std::vector<std::string> arguments);

    skin::TCoolPanel* cpnlLogosEtc;
    ui::TImage* imgLogo;
    skin::TCoolLabel* clblTitle;
    skin::TCoolLabel* clblAuthor;
    skin::TCoolLabel* clblCopyright;
    skin::TCoolPanel* cpnlProgress;
    ui::TProgressBar* prgrssbrProgress;
    skin::TCoolLabel* clblProgress;
    skin::TCoolImages* cimgsSplashWallpaper;
    skin::TCoolFormHook* cfhSplash;

    void ShowProgress(const std::string& text);
    void StepProgress();

protected:
    ~TfrmSplash() override = default;
    const char* ClassName() const override { return "TfrmSplash"; }

    // The steps of a run that reach beyond the window; a test can stand in for each of them.
    virtual void Pause(int hundredths);
    virtual base::TDate Today();
    // Creates the setup dialog with the application as its owner.
    virtual ui::TForm* CreateSetupDialog();
    // Shows it modally; the phase around it destroys it afterwards.
    virtual void ShowSetupDialog(ui::TForm& dialog);
    virtual bool ActiveDesktopEnabled();
    virtual void EnableActiveDesktop();
    virtual void SwapFromDirectory();
    virtual void SwapFromList();
    virtual void ShowError(const std::exception& error);

private:
    void FormCreate();
    void FormActivate();
    void Run();
    void StepProgressAndRepaint();
    void RunSetupPhase();
    void ApplyAndRecord(const core::WallpaperChoice& choice);
    bool SetupRequested() const;
    bool WallpaperDue();

    std::vector<std::string> arguments_;
    bool FirstActivation = false;
    bool NoIniFile = false;
};

extern TfrmSplash* frmSplash;

}  // namespace app
