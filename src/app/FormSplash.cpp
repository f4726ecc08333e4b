#include "app/FormSplash.h"

#include "base/SysUtils.h"
#include "core/ActiveDesktop_functions.h"
#include "core/Settings.h"
#include "core/WindowRoutines.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FormSetup.h"

namespace app {

TfrmSplash* frmSplash = nullptr;

namespace {

constexpr char kComicSans[] = "Comic Sans MS";

void SetFont(ui::TFont& font, int height, ui::TFontStyles style, ui::TColor color = ui::clWindowText) {
    font.SetName(kComicSans);
    font.SetHeight(height);
    font.SetStyle(style);
    font.SetColor(color);
}

// A caption drawn once in its font colour, centred in its rectangle. The rectangles are kept as laid
// out (no sizing to the caption), so that captions in our own words and fonts stay centred there.
skin::TCoolLabel* CenteredLabel(ui::TForm* form, ui::TWinControl* parent, int left, int top, int width, int height,
                                bool transparent) {
    auto* label = new skin::TCoolLabel(form);
    label->SetTransparent(transparent);
    label->SetParent(parent);
    label->SetAutoSize(false);
    label->SetBounds(left, top, width, height);
    label->SetAlignment(ui::taCenter);
    label->SetShadowSize(0);
    return label;
}

skin::TCoolPanel* TopPanel(ui::TForm* form, int top, int height) {
    auto* panel = new skin::TCoolPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, top, 324, height);
    panel->SetAlign(ui::alTop);
    panel->SetTransparent(true);
    return panel;
}

}  // namespace

TfrmSplash::TfrmSplash(base::TComponent* owner, std::vector<std::string> arguments)
    : ui::TForm(owner), arguments_(std::move(arguments)) {
    BeginLoading();
    SetName("frmSplash");
    SetBorderStyle(ui::bsNone);
    SetBorderIcons(0);
    SetPosition(ui::poScreenCenter);
    SetCaption("Tamberlyn");
    SetFont(Font(), -16, ui::fsBold);
    SetClientSize(324, 151);

    cpnlLogosEtc = TopPanel(this, 0, 84);

    imgLogo = new ui::TImage(this);
    imgLogo->SetParent(cpnlLogosEtc);
    imgLogo->SetBounds(4, 4, 104, 76);
    imgLogo->SetCenter(true);
    imgLogo->Picture().LoadFromResourceName(GetModuleHandleA(nullptr), "LOGO");

    clblTitle = CenteredLabel(this, cpnlLogosEtc, 108, -4, 210, 40, true);
    SetFont(clblTitle->Font(), -29, ui::fsBold | ui::fsUnderline);
    clblTitle->SetCaption("Tamberlyn v1.0");

    clblAuthor = CenteredLabel(this, cpnlLogosEtc, 123, 40, 180, 21, true);
    SetFont(clblAuthor->Font(), -15, ui::fsBold);
    clblAuthor->SetCaption("by the Tamberlyn team");

    clblCopyright = CenteredLabel(this, cpnlLogosEtc, 107, 58, 211, 21, true);
    SetFont(clblCopyright->Font(), -15, ui::fsBold);
    clblCopyright->SetCaption("Copyright \xC2\xA9 2026 Tamberlyn");

    cpnlProgress = TopPanel(this, 84, 66);

    prgrssbrProgress = new ui::TProgressBar(this);
    prgrssbrProgress->SetParent(cpnlProgress);
    prgrssbrProgress->SetBounds(32, 3, 261, 28);
    prgrssbrProgress->SetRange(0, 100);
    prgrssbrProgress->SetStep(20);
    prgrssbrProgress->SetSmooth(true);
    prgrssbrProgress->SetPosition(0);

    clblProgress = CenteredLabel(this, cpnlProgress, 32, 34, 261, 28, false);
    clblProgress->SetColor(ui::clBlack);
    clblProgress->SetShadowColor(ui::clSilver);
    clblProgress->SetShadowSize(0);
    SetFont(clblProgress->Font(), -19, ui::fsBold, ui::clWhite);

    cimgsSplashWallpaper = new skin::TCoolImages(this);
    cimgsSplashWallpaper->SetName("cimgsSplashWallpaper");
    cimgsSplashWallpaper->Bitmaps().Add()->Bitmap().LoadFromResourceName(GetModuleHandleA(nullptr), "SKIN");

    cfhSplash = new skin::TCoolFormHook(this);
    cfhSplash->SetName("cfhSplash");
    cfhSplash->SetOptions(skin::TCoolOptions{skin::ocPaintWallpaper, skin::ocFlatBorder});
    cfhSplash->SetCoolImages(cimgsSplashWallpaper);
    cfhSplash->SetIdWallpaper(0);
    EndLoading();

    OnCreate = [this] { FormCreate(); };
    OnActivate = [this] { FormActivate(); };
}

void TfrmSplash::FormCreate() {
    clblTitle->SetCaption("Tamberlyn v1.1");
    clblProgress->SetCaption("Initialising...");
    FirstActivation = true;
}

void TfrmSplash::FormActivate() {
    // Pauses and dialogs of the run dispatch messages, activating this window again: only the first
    // activation runs.
    if (!FirstActivation) return;
    FirstActivation = false;
    Run();
}

// The repaints below paint what has changed, at once, and nothing twice: a part painted again while it is
// up to date shows the same pixels and costs processor time, the themed bar's paint most of all.

void TfrmSplash::ShowProgress(const std::string& text) {
    // The new caption marked the label for painting; its panel paints it now, once.
    clblProgress->SetCaption(text);
    cpnlProgress->Update();
}

void TfrmSplash::StepProgress() {
    // The bar paints its new position as it steps; this only makes sure nothing of it is left waiting.
    prgrssbrProgress->StepIt();
    prgrssbrProgress->Update();
}

void TfrmSplash::StepProgressAndRepaint() {
    // The whole window up to date at once: the form's own area and every child with anything to paint,
    // which is all of them when the window has just been shown or the setup dialog has uncovered it.
    prgrssbrProgress->StepIt();
    Invalidate();
    Update();
}

bool TfrmSplash::SetupRequested() const {
    return NoIniFile || (!arguments_.empty() && base::UpperCaseAscii(arguments_.front()) == "/SETUP");
}

bool TfrmSplash::WallpaperDue() {
    // Any non-zero ChangeWhen is the daily rule: due only once today is past the last change.
    return core::Settings.ChangeWhen == 0 || Today() > core::Settings.LastChanged;
}

void TfrmSplash::Run() {
    NoIniFile = !base::FileExists(core::IniFileName());
    core::SetFormOnTop(Handle(), true);
    StepProgressAndRepaint();
    Pause(50);
    core::Settings.PictureList.Clear();
    ShowProgress("Reading inifile...");
    StepProgress();
    Pause(50);
    try {
        core::ReadIniSettings();
        StepProgress();
        if (SetupRequested()) {
            ShowProgress("Configure Tamberlyn...");
            RunSetupPhase();
        }
        StepProgressAndRepaint();
        if (WallpaperDue()) {
            ShowProgress("Swapping Wallpaper...");
            Pause(50);
            if (core::Settings.ForceAD && !ActiveDesktopEnabled()) EnableActiveDesktop();
            if (core::Settings.Mode == 0)
                SwapFromDirectory();
            else
                SwapFromList();
        }
    } catch (const std::exception& error) {
        ShowError(error);
    }
    ShowProgress("Closing Tamberlyn...");
    StepProgress();
    Pause(50);
    Close();
}

void TfrmSplash::Pause(int hundredths) {
    core::DelayHundredths(hundredths);
}

base::TDate TfrmSplash::Today() {
    return base::Today();
}

namespace {

// The setup dialog for the length of the phase, and the splash out of its way: on every way out the
// dialog is destroyed (unless it went already) and the splash is topmost again.
class SetupPhase {
public:
    SetupPhase(HWND splash, ui::TForm* dialog) : outOfTheWay_(splash), dialog_(dialog), alive_(dialog->Watch()) {}
    // The dialog goes first; then the splash is topmost again, as its member lets go.
    ~SetupPhase() {
        if (alive_) dialog_->Free();
        dialogs::frmSetup = nullptr;
    }
    SetupPhase(const SetupPhase&) = delete;
    SetupPhase& operator=(const SetupPhase&) = delete;

private:
    const dialogs::NotTopmostWhile outOfTheWay_;
    ui::TForm* dialog_;
    base::TWatch alive_;
};

}  // namespace

void TfrmSplash::RunSetupPhase() {
    // An error while the dialog is made reaches the run like any other; once it exists, it is shown with
    // the splash out of its way, whatever the dialog does.
    ui::TForm* dialog = CreateSetupDialog();
    const SetupPhase phase(Handle(), dialog);
    ShowSetupDialog(*dialog);
}

ui::TForm* TfrmSplash::CreateSetupDialog() {
    dialogs::frmSetup = ui::NewForm<dialogs::TfrmSetup>(ui::Application);
    return dialogs::frmSetup;
}

// Its modal result is not used: whatever the dialog left in Settings is what the run goes on with.
void TfrmSplash::ShowSetupDialog(ui::TForm& dialog) {
    dialog.ShowModal();
}

bool TfrmSplash::ActiveDesktopEnabled() {
    return core::ActiveDesktopEnabled();
}

void TfrmSplash::EnableActiveDesktop() {
    core::EnableActiveDesktop(true);
}

void TfrmSplash::SwapFromDirectory() {
    ApplyAndRecord(core::ChooseFromDirectory(core::Settings));
}

void TfrmSplash::SwapFromList() {
    ApplyAndRecord(core::ChooseFromList(core::Settings));
}

void TfrmSplash::ApplyAndRecord(const core::WallpaperChoice& choice) {
    try {
        core::ApplyWallpaper(choice.Path);
    } catch (const core::EWallpaperPathTooLong&) {
        // Refused at every run, the picture would hold the rotation for ever: the next run shows the next one.
        core::SkipWallpaper();
        throw;
    }
    core::ApplyWallpaperStyle(choice.StyleName);
    // Recorded only once both desktop calls have returned: a failed swap leaves the position as it was.
    core::MarkWallpaperChanged();
}

void TfrmSplash::ShowError(const std::exception& error) {
    if (ui::Application != nullptr) ui::Application->ShowException(error);
}

}  // namespace app
