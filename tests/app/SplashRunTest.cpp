#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/FormSplash.h"
#include "base/DateUtils.h"
#include "base/SysUtils.h"
#include "core/Settings.h"
#include "support/TempDir.h"
#include "ui/Forms.h"

namespace {

struct PausePoint {
    std::string caption;
    int bar;
    int hundredths;
};

// The real splash window with the steps that reach beyond it recorded instead of carried out; the
// pauses record what the window shows at that moment and return at once.
class RecordingSplash : public app::TfrmSplash {
public:
    RecordingSplash(base::TComponent* owner, std::vector<std::string> arguments)
        : app::TfrmSplash(owner, std::move(arguments)) {}

    std::vector<PausePoint> pauses;
    std::vector<std::string> steps;
    std::vector<std::string> errors;
    base::TDate today = base::TDate::FromYMD(2026, 12, 7);
    bool activeDesktopOn = false;
    bool failSwap = false;
    bool topmostDuringSetup = true;
    bool failSetup = false;
    base::TWatch setupDialog;

protected:
    void Pause(int hundredths) override {
        pauses.push_back({clblProgress->Caption(), prgrssbrProgress->Position(), hundredths});
        SendMessageA(Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    }
    base::TDate Today() override { return today; }
    ui::TForm* CreateSetupDialog() override {
        steps.push_back("create setup");
        return new ui::TForm(ui::Application);
    }
    void ShowSetupDialog(ui::TForm& dialog) override {
        steps.push_back("setup");
        topmostDuringSetup = (GetWindowLongA(Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        setupDialog = dialog.Watch();
        if (failSetup) throw base::Exception("setup failed");
    }
    bool ActiveDesktopEnabled() override {
        steps.push_back("query");
        return activeDesktopOn;
    }
    void EnableActiveDesktop() override { steps.push_back("enable"); }
    void SwapFromDirectory() override {
        steps.push_back("directory");
        if (failSwap) throw base::Exception("List index out of bounds (0)");
    }
    void SwapFromList() override { steps.push_back("list"); }
    void ShowError(const std::exception& error) override { errors.push_back(error.what()); }
};

void CALLBACK EndStalledRun(HWND, UINT, UINT_PTR, DWORD) {
    ui::Application->Terminate();
}

// What a run left to look at once its application is gone.
struct RunRecord {
    std::vector<std::string> captions;
    std::vector<int> bars;
    std::vector<int> pauseLengths;
    std::vector<std::string> steps;
    std::vector<std::string> errors;
    bool topmostDuringSetup = true;
    bool topmostAfterSetup = false;
    bool setupDialogLeft = false;
    bool visibleAfter = true;
    std::string title;
};

RunRecord RunSplash(std::vector<std::string> arguments, const std::function<void(RecordingSplash&)>& configure = {}) {
    ui::TApplication application;
    application.Initialize();
    auto* splash = application.CreateForm<RecordingSplash>(std::move(arguments));
    if (configure) configure(*splash);
    // A run that never starts must not hang the suite.
    const UINT_PTR guard = SetTimer(nullptr, 0, 20000, &EndStalledRun);
    application.Run();
    KillTimer(nullptr, guard);
    RunRecord record;
    for (const auto& pause : splash->pauses) {
        record.captions.push_back(pause.caption);
        record.bars.push_back(pause.bar);
        record.pauseLengths.push_back(pause.hundredths);
    }
    record.steps = splash->steps;
    record.errors = splash->errors;
    record.topmostDuringSetup = splash->topmostDuringSetup;
    record.topmostAfterSetup = (GetWindowLongA(splash->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    record.setupDialogLeft = splash->setupDialog.Alive();
    record.visibleAfter = splash->Visible();
    record.title = splash->clblTitle->Caption();
    return record;
}

using Strings = std::vector<std::string>;
const Strings kSwapCaptions = {"Initialising...", "Reading inifile...", "Swapping Wallpaper...",
                               "Closing Tamberlyn..."};
const Strings kQuietCaptions = {"Initialising...", "Reading inifile...", "Closing Tamberlyn..."};

class SplashRun : public ::testing::Test {
protected:
    SplashRun() : ini_(folder_.File("Tamberlyn.ini")) {}

    void WriteSettings(const std::string& options) { folder_.WriteFile("Tamberlyn.ini", "[Options]\r\n" + options); }

    testing_support::TempDir folder_;
    core::IniFileOverride ini_;
};

TEST_F(SplashRun, DueRunShowsEveryPhaseAndPausesFourTimes) {
    WriteSettings("ChangeWhen=0\r\n");
    const RunRecord run = RunSplash({});
    EXPECT_EQ(run.captions, kSwapCaptions);
    EXPECT_EQ(run.bars, (std::vector<int>{20, 40, 80, 100}));
    EXPECT_EQ(run.pauseLengths, (std::vector<int>{50, 50, 50, 50}));
    // Every pause re-activated the window; none of those activations started another run.
    EXPECT_EQ(run.steps, Strings{"directory"});
    EXPECT_TRUE(run.errors.empty());
    EXPECT_FALSE(run.visibleAfter);
    EXPECT_EQ(run.title, "Tamberlyn v1.1");
}

TEST_F(SplashRun, DailyRuleOnTheDayOfTheLastChangeOrLaterIsNotDue) {
    const base::TDate today = base::TDate::FromYMD(2026, 12, 7);
    for (int offset : {0, 1}) {
        WriteSettings("ChangeWhen=1\r\nLastChanged=" +
                      base::DateToStr(base::TDate::FromSerial(today.Serial() + offset)) + "\r\n");
        const RunRecord run = RunSplash({});
        EXPECT_EQ(run.captions, kQuietCaptions) << offset;
        EXPECT_EQ(run.bars, (std::vector<int>{20, 40, 100})) << offset;
        EXPECT_TRUE(run.steps.empty()) << offset;
    }
}

TEST_F(SplashRun, DailyRuleIsDueOnceTodayIsPastTheLastChange) {
    WriteSettings("ChangeWhen=7\r\nMode=3\r\nLastChanged=" + base::DateToStr(base::TDate::FromYMD(2026, 12, 6)) +
                  "\r\n");
    const RunRecord run = RunSplash({});
    EXPECT_EQ(run.steps, Strings{"list"});
    EXPECT_EQ(run.captions, kSwapCaptions);
}

TEST_F(SplashRun, SetupArgumentIsComparedAfterCapitalisingLetters) {
    WriteSettings("ChangeWhen=1\r\nLastChanged=" + base::DateToStr(base::TDate::FromYMD(2026, 12, 7)) + "\r\n");
    const std::vector<std::pair<Strings, bool>> cases = {
        {{"/setup"}, true},  {{"/Setup"}, true},   {{"/SETUP", "x"}, true},
        {{"-SETUP"}, false}, {{"/SETUPX"}, false}, {{"x", "/SETUP"}, false},
        {{}, false},
    };
    for (const auto& [arguments, setup] : cases) {
        const RunRecord run = RunSplash(arguments);
        const std::string first = arguments.empty() ? "(none)" : arguments.front();
        EXPECT_EQ(run.steps, setup ? (Strings{"create setup", "setup"}) : Strings{}) << first;
        EXPECT_EQ(run.captions, kQuietCaptions) << first;
        if (setup) {
            EXPECT_FALSE(run.topmostDuringSetup) << "the splash gives up its topmost state for the dialog";
            EXPECT_TRUE(run.topmostAfterSetup) << "and takes it back";
            EXPECT_FALSE(run.setupDialogLeft) << "the dialog is destroyed after its modal loop";
        }
    }
}

TEST_F(SplashRun, MissingSettingsFileOpensSetupThenSwapsWithDefaults) {
    const RunRecord run = RunSplash({"-SETUP"});
    EXPECT_EQ(run.steps, (Strings{"create setup", "setup", "directory"}));
    EXPECT_EQ(run.captions, kSwapCaptions);
    EXPECT_EQ(core::Settings.PictureDir, "C:\\WINDOWS");
}

TEST_F(SplashRun, ASetupDialogThatFailsIsDestroyedAndTheRunCloses) {
    WriteSettings("ChangeWhen=0\r\n");
    const RunRecord run = RunSplash({"/setup"}, [](RecordingSplash& splash) { splash.failSetup = true; });
    EXPECT_EQ(run.errors, Strings{"setup failed"});
    EXPECT_FALSE(run.setupDialogLeft);
    EXPECT_TRUE(run.topmostAfterSetup);
    EXPECT_EQ(run.steps, (Strings{"create setup", "setup"})) << "the failed phase ends the run's phases";
    EXPECT_EQ(run.captions.back(), "Closing Tamberlyn...");
}

TEST_F(SplashRun, ReadErrorIsShownAndTheRunStillCloses) {
    WriteSettings("ChangeWhen=0\r\n[0]\r\nFilename=" + std::string(261, 'x') + "\r\n");
    const RunRecord run = RunSplash({"/SETUP"});
    EXPECT_EQ(run.errors, Strings{"ERROR: There was a problem reading the inifile"});
    EXPECT_TRUE(run.steps.empty()) << "neither setup nor swap after a failed read";
    EXPECT_EQ(run.captions, kQuietCaptions);
    EXPECT_EQ(run.bars, (std::vector<int>{20, 40, 60}));
    EXPECT_FALSE(run.visibleAfter);
}

TEST_F(SplashRun, SwapErrorIsShownAndTheRunStillCloses) {
    WriteSettings("ChangeWhen=0\r\n");
    const RunRecord run = RunSplash({}, [](RecordingSplash& splash) { splash.failSwap = true; });
    EXPECT_EQ(run.errors, Strings{"List index out of bounds (0)"});
    EXPECT_EQ(run.captions, kSwapCaptions);
    EXPECT_EQ(run.bars.back(), 100);
}

TEST_F(SplashRun, ForceADSwitchesActiveDesktopOnOnlyWhenItIsOff) {
    struct Case {
        const char* forceAD;
        bool on;
        Strings steps;
    };
    const std::vector<Case> cases = {
        {"1", false, {"query", "enable", "directory"}},
        {"1", true, {"query", "directory"}},
        {"0", false, {"directory"}},
    };
    for (const auto& c : cases) {
        WriteSettings(std::string("ForceAD=") + c.forceAD + "\r\n");
        const RunRecord run = RunSplash({}, [&c](RecordingSplash& splash) { splash.activeDesktopOn = c.on; });
        EXPECT_EQ(run.steps, c.steps) << c.forceAD << " " << c.on;
    }
}

}  // namespace
