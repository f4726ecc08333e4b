// The setup dialog: the program's only editor of its settings and of the picture list.
#pragma once

#include <string>

#include "skin/CoolBtn.h"
#include "skin/CoolCheckRadio.h"
#include "skin/CoolCtrls.h"
#include "skin/CoolEdit.h"
#include "skin/CoolGroups.h"
#include "skin/CoolLabel.h"
#include "skin/CoolPanel.h"
#include "skin/CoolStringGrid.h"
#include "ui/Forms.h"

namespace dialogs {

// Shows the settings and the list from the shared Settings record and writes them back on Save. Until
// Save, edits live only in the controls.
class TfrmSetup : public ui::TForm {
public:
    explicit TfrmSetup(base::TComponent* owner);

    skin::TCoolPanel* cpnlOptions;
    skin::TCoolPanel* cpnlHelp;
    skin::TCoolPanel* cpnlDir;
    skin::TCoolPanel* cpnlList;
    skin::TCoolPanel* cpnlSave;
    skin::TCoolLabel* clblOptionsTitle;
    skin::TCoolCheckRadioGroup* crdgrpChangeWhen;
    skin::TCoolCheckRadioGroup* crdgrpMode;
    skin::TCoolCheckRadioGroup* cchkrdgrpForceAD;
    skin::TCoolBtn* cbtnAbout;
    skin::TCoolBtn* cbtnHelp;
    skin::TCoolLabel* clblDirTitle;
    skin::TCoolLabel* clblDir;
    skin::TCoolEditBtn* cedtbtnDir;
    skin::TCoolCheckRadioGroup* cchkrdgrpStyle;
    skin::TCoolGroupBox* cgrpbxType;
    skin::TCoolCheckRadioBox* cchkrdbxBMP;
    skin::TCoolCheckRadioBox* cchkrdbxGIF;
    skin::TCoolCheckRadioBox* cchkrdbxJPG;
    skin::TCoolCheckRadioBox* cchkrdbxPNG;
    skin::TCoolLabel* clblListTitle;
    skin::TCoolLabel* clblFilenameTitle;
    skin::TCoolLabel* clblTiledTitle;
    skin::TCoolStringGrid* cstgrdList;
    skin::TCoolBtn* cbtnAdd;
    skin::TCoolBtn* cbtnRemove;
    skin::TCoolBtn* cbtnUp;
    skin::TCoolBtn* cbtnDown;
    skin::TCoolBtn* cbtnRefresh;
    skin::TCoolBtn* cbtnSave;
    skin::TCoolBtn* cbtnCancel;
    skin::TCoolImages* cimgsSetupWallpaper;
    skin::TCoolFormHook* cfhSetup;

    // Enables the controls of the chosen mode and disables the others.
    void UpdateModeControls();

protected:
    ~TfrmSetup() override = default;
    const char* ClassName() const override { return "TfrmSetup"; }

    // Shows a dialog this dialog opens (the add-entry dialog, the about box) modally; a test can stand in
    // for the user of that dialog.
    virtual int ShowModalDialog(ui::TForm& dialog);

private:
    void FormCreate();
    void LoadControls();
    void crdgrpModeClick();
    void cbtnAddClick();
    void cbtnRemoveClick();
    void cbtnUpClick();
    void cbtnDownClick();
    void cbtnRefreshClick();
    void cbtnSaveClick();
    void cbtnCancelClick();
    void cbtnCloseClick();
    void cedtbtnDirBtnClick();
    void cbtnAboutClick();
    void cbtnHelpClick();
    void FormClose(ui::TCloseAction& action);

    // The top row of the grid's selection.
    int SelectedRow() const;
    void SwapRows(int a, int b);
    void SetEnabledIfChanged(ui::TControl* control, bool enabled);
    void SetEnabledAndRecolour(ui::TWinControl* control, bool enabled);
};

extern TfrmSetup* frmSetup;

}  // namespace dialogs
