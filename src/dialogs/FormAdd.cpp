#include "dialogs/FormAdd.h"

#include "core/WindowRoutines.h"
#include "dialogs/DialogParts.h"

namespace dialogs {

TfrmAdd::TfrmAdd(base::TComponent* owner) : ui::TForm(owner) {
    BeginLoading();
    SetName("frmAdd");
    SetDialogFrame(*this, "Add picture or web page to list...", 533, 79, 2);
    SetFont(Font(), kComicSans, -13, ui::fsBold);

    clblFilename = AddLabel(*this, this, 5, 8, 60, 19, "&Filename:");

    cedtbtnFilename = new skin::TCoolEditBtn(this);
    cedtbtnFilename->SetName("cedtbtnFilename");
    cedtbtnFilename->SetParent(this);
    cedtbtnFilename->SetBounds(73, 4, 456, 29);
    cedtbtnFilename->SetBorderStyle(ui::bsNone);
    cedtbtnFilename->SetCharCase(ui::ecUpperCase);
    cedtbtnFilename->SetColor(kCream);
    cedtbtnFilename->SetMaxLength(260);
    ui::TBitmap browse;
    LoadResourceBitmap(browse, "GLYPH_BROWSE");
    cedtbtnFilename->SetGlyph(browse);
    cedtbtnFilename->OnBtnClick = [this] { cedtbtnFilenameBtnClick(); };
    // The button shows only a glyph: a reader hears its purpose.
    cedtbtnFilename->Button()->SetAccessibleName("Browse");
    clblFilename->SetFocusControl(cedtbtnFilename);

    cchkrdgrpbxStyle = new skin::TCoolCheckRadioGroup(this);
    cchkrdgrpbxStyle->SetName("cchkrdgrpbxStyle");
    cchkrdgrpbxStyle->SetParent(this);
    cchkrdgrpbxStyle->SetBounds(24, 34, 229, 41);
    cchkrdgrpbxStyle->SetCaption("Style:");
    for (const char* style : {"Center", "Stretch", "Tile"}) cchkrdgrpbxStyle->Items().Add(style);
    cchkrdgrpbxStyle->SetColumns(3);
    cchkrdgrpbxStyle->SetFlat(true);
    cchkrdgrpbxStyle->SetItemIndex(0);
    cchkrdgrpbxStyle->SetShadowSize(0);
    cchkrdgrpbxStyle->SetTransparent(true);

    cbtnOK = AddButton(*this, this, 281, 42, "&OK", "GLYPH_OK");
    cbtnOK->SetModalResult(ui::mrOk);
    cbtnCancel = AddButton(*this, this, 401, 42, "&Cancel", "GLYPH_CANCEL");
    cbtnCancel->SetModalResult(ui::mrCancel);
    // Escape leaves the dialog as its close box does.
    cbtnCancel->SetCancel(true);

    cbtnOK->SetTabOrder(0);
    cbtnCancel->SetTabOrder(1);
    cedtbtnFilename->SetTabOrder(2);
    cchkrdgrpbxStyle->SetTabOrder(3);
    SetActiveControl(cedtbtnFilename);

    pndlgSelectPicture = new ui::TOpenDialog(this);
    pndlgSelectPicture->SetName("pndlgSelectPicture");
    pndlgSelectPicture->SetTitle("Select a picture or web page...");
    pndlgSelectPicture->SetFilter(
        "Pictures (*.bmp, *.gif, *.jpg, *.png)|*.bmp;*.gif;*.jpg;*.png|Web Pages (*.html, *.htm)|*.html;*.htm|"
        "All files (*.*)|*.*");
    pndlgSelectPicture->SetFilterIndex(1);
    pndlgSelectPicture->SetOptions(OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING |
                                   OFN_DONTADDTORECENT);

    const TDialogSkin skin = AddSkin(*this, "cimgsAddWallpaper", "cfhAdd", skin::TCoolOptions{skin::ocPaintWallpaper});
    cimgsAddWallpaper = skin.images;
    cfhAdd = skin.hook;
    EndLoading();

    OnCreate = [this] { FormCreate(); };
}

void TfrmAdd::FormCreate() {
    core::SetFormOnTop(Handle(), true);
}

void TfrmAdd::cedtbtnFilenameBtnClick() {
    const NotTopmostWhile chooserInFront(Handle());
    // The chooser opens where the system chooses, every time: not at the file chosen before.
    pndlgSelectPicture->SetFileName("");
    // A chosen path replaces the text whole, also beyond the length typing stops at.
    if (pndlgSelectPicture->Execute(Handle())) cedtbtnFilename->SetText(pndlgSelectPicture->FileName());
}

}  // namespace dialogs
