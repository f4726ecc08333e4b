// The setup dialog's Save as a way of saving the settings: the dialog loads the controls from Settings and
// its Save copies them back and writes the file, with no window shown.
#pragma once

#include "SettingsFuzz.h"

namespace fuzz {

// Needs the application object (ui::Application) to exist while the route runs.
SaveRoute SetupDialogSaveRoute();

}  // namespace fuzz
