// The program: one run of the splash window, or its setup first when asked for or on the first run.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/FormSplash.h"
#include "ui/Forms.h"

namespace {

std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
    return arguments;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ui::TApplication application;
    application.Initialize();
    application.SetTitle("Tamberlyn");
    application.SetHelpFile("Tamberlyn.chm");
    app::frmSplash = application.CreateForm<app::TfrmSplash>(CommandLineArguments());
    application.Run();
    return 0;
}
