#include "dialogs/FormAbout.h"

#include <shellapi.h>

#include <utility>

#include "base/SystemLibrary.h"
#include "core/WindowRoutines.h"
#include "dialogs/DialogParts.h"

namespace dialogs {

namespace {

constexpr char kMakersAddress[] = "tamberlyn@example.org";

HINSTANCE CallShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show) {
    static const auto shellExecute =
        base::SystemFunction<HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)>("shell32.dll",
                                                                                            "ShellExecuteA");
    return shellExecute(owner, verb, file, parameters, directory, show);
}

TShellOpen shellOpen = &CallShellExecute;

}  // namespace

TShellOpen SetShellOpen(TShellOpen open) {
    return std::exchange(shellOpen, open);
}

std::string MailLink() {
    return std::string("mailto:") + kMakersAddress + "?subject=Tamberlyn v1.1: ";
}

TfrmAbout::TfrmAbout(base::TComponent* owner) : ui::TForm(owner) {
    BeginLoading();
    SetName("frmAbout");
    SetDialogFrame(*this, "About", 361, 140, 3);
    SetFont(Font(), kMsSansSerif, -13, ui::fsBold);

    cpnlAbout = new skin::TCoolPanel(this);
    cpnlAbout->SetName("cpnlAbout");
    cpnlAbout->SetParent(this);
    cpnlAbout->SetBounds(0, 0, 361, 140);
    cpnlAbout->SetAlign(ui::alTop);
    cpnlAbout->SetColor(ui::clBtnFace);
    cpnlAbout->SetTransparent(true);

    clblTitle = AddLabel(*this, cpnlAbout, 120, -4, 232, 45, "Tamberlyn v1.0");
    clblTitle->SetAlignment(ui::taCenter);
    SetFont(clblTitle->Font(), kComicSans, -32, ui::fsBold | ui::fsUnderline);

    clnkAuthor = new skin::TCoolLink(this);
    clnkAuthor->SetParent(cpnlAbout);
    clnkAuthor->SetBounds(155, 42, 162, 16);
    clnkAuthor->OnClick = [this] { clblAuthorClick(); };
    clblAuthor = AddLabel(*this, clnkAuthor, 0, 0, 162, 16, "by the Tamberlyn team");
    clblAuthor->SetFocusControl(clnkAuthor);
    clblAuthor->SetAlignment(ui::taCenter);
    SetFont(clblAuthor->Font(), kMsSansSerif, -13, ui::fsBold, ui::clBlue);
    clblAuthor->SetCursor(LoadCursor(nullptr, IDC_HAND));
    clblAuthor->OnClick = [this] { clblAuthorClick(); };
    clblAuthor->OnMouseDown = [this](ui::TMouseButton, int, int) { clblAuthorMouseDown(); };
    clblAuthor->OnMouseUp = [this](ui::TMouseButton, int, int) { clblAuthorMouseUp(); };

    clblCopyright = AddLabel(*this, cpnlAbout, 122, 58, 227, 23, "Copyright \xC2\xA9 2026 Tamberlyn");
    clblCopyright->SetAlignment(ui::taCenter);
    SetFont(clblCopyright->Font(), kComicSans, -16, ui::fsBold);

    imgLogo = new ui::TImage(this);
    imgLogo->SetParent(cpnlAbout);
    imgLogo->SetBounds(8, 4, 104, 76);
    imgLogo->SetCenter(true);
    LoadResourceBitmap(imgLogo->Picture(), "LOGO");

    cbtnOk = AddButton(*this, cpnlAbout, 126, 102, "Ok", "GLYPH_ABOUTOK");
    cbtnOk->SetTabOrder(0);
    clnkAuthor->SetTabOrder(1);
    // Escape leaves the box as its close box does.
    cbtnOk->SetCancel(true);
    cbtnOk->OnClick = [this] { cbtnOkClick(); };

    const TDialogSkin skin = AddSkin(*this, "cimgsAboutWallpaper", "cfhAbout",
                                     skin::TCoolOptions{skin::ocPaintWallpaper, skin::ocNoDragUsingCaption});
    cimgsAboutWallpaper = skin.images;
    cfhAbout = skin.hook;
    EndLoading();

    OnCreate = [this] { FormCreate(); };
}

void TfrmAbout::FormCreate() {
    // Made topmost after the setup dialog, which is topmost too, the box stays above it.
    core::SetFormOnTop(Handle(), true);
    clblTitle->SetCaption("Tamberlyn v1.1");
}

void TfrmAbout::clblAuthorClick() {
    // With no mail program registered the shell opens nothing; that is not reported.
    shellOpen(nullptr, nullptr, MailLink().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TfrmAbout::clblAuthorMouseDown() {
    clblAuthor->Font().SetColor(ui::clRed);
    clblAuthor->Font().SetStyle(clblAuthor->Font().Style() | ui::fsUnderline);
}

void TfrmAbout::clblAuthorMouseUp() {
    clblAuthor->Font().SetColor(ui::clBlue);
    clblAuthor->Font().SetStyle(clblAuthor->Font().Style() & ~static_cast<ui::TFontStyles>(ui::fsUnderline));
}

void TfrmAbout::cbtnOkClick() {
    Close();
}

}  // namespace dialogs
