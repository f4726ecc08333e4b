// The add-entry dialog: one new list entry, a file name (a picture or a web page) and its display style.
#pragma once

#include "skin/CoolBtn.h"
#include "skin/CoolCtrls.h"
#include "skin/CoolEdit.h"
#include "skin/CoolGroups.h"
#include "skin/CoolLabel.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"

namespace dialogs {

// The caller reads the two controls after the modal loop ended with OK: the field's text and the
// style group's item index. The dialog itself validates nothing and changes no settings.
class TfrmAdd : public ui::TForm {
public:
    explicit TfrmAdd(base::TComponent* owner);

    skin::TCoolLabel* clblFilename;
    skin::TCoolEditBtn* cedtbtnFilename;
    skin::TCoolCheckRadioGroup* cchkrdgrpbxStyle;
    skin::TCoolBtn* cbtnOK;
    skin::TCoolBtn* cbtnCancel;
    ui::TOpenDialog* pndlgSelectPicture;
    skin::TCoolImages* cimgsAddWallpaper;
    skin::TCoolFormHook* cfhAdd;

protected:
    ~TfrmAdd() override = default;
    const char* ClassName() const override { return "TfrmAdd"; }

private:
    void FormCreate();
    void cedtbtnFilenameBtnClick();
};

}  // namespace dialogs
