#include "SetupDialogRoute.h"

#include "dialogs/FormSetup.h"
#include "ui/Forms.h"

namespace fuzz {

SaveRoute SetupDialogSaveRoute() {
    // The dialog shows a value out of its groups' range as the nearest it can show, and saves that:
    // only its bytes reach a fixed point, not the first read's record.
    return SaveRoute{"setup dialog Save",
                     [] {
                         base::Owned<dialogs::TfrmSetup> dialog(ui::NewForm<dialogs::TfrmSetup>(ui::Application));
                         dialog->cbtnSave->Click();
                     },
                     false};
}

}  // namespace fuzz
