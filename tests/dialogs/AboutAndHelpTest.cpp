// The help bridge's mapping and routes, and the about box, on real windows under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <htmlhelp.h>
#include <oleacc.h>

#include <string>
#include <utility>
#include <vector>

#include "base/SysUtils.h"
#include "dialogs/FormAbout.h"
#include "dialogs/dmHTMLHelp.h"
#include "support/Keys.h"
#include "ui/Forms.h"

namespace {

struct HelpCall {
    HWND owner;
    std::string file;
    UINT command;
    DWORD_PTR data;
};

std::vector<HelpCall> helpCalls;
dialogs::THtmlHelpCall realHtmlHelp = nullptr;
HWND lastHelpWindow = nullptr;

HWND RecordHelp(HWND owner, const char* file, UINT command, DWORD_PTR data) {
    helpCalls.push_back(HelpCall{owner, file != nullptr ? file : "", command, data});
    return nullptr;
}

HWND RecordAndOpenHelp(HWND owner, const char* file, UINT command, DWORD_PTR data) {
    RecordHelp(owner, file, command, data);
    lastHelpWindow = realHtmlHelp(owner, file, command, data);
    return lastHelpWindow;
}

struct ShellCall {
    std::string file;
    bool plain;  // no owner, verb, parameters or folder, and shown normally
};

std::vector<ShellCall> shellCalls;

HINSTANCE RecordShell(HWND owner, const char* verb, const char* file, const char* parameters, const char* directory,
                      int show) {
    shellCalls.push_back(ShellCall{file, owner == nullptr && verb == nullptr && parameters == nullptr &&
                                             directory == nullptr && show == SW_SHOWNORMAL});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

// An application with the help bridge installed and HTML Help and the shell recorded.
struct WithBridge : ::testing::Test {
    WithBridge() : bridge(application) {
        helpCalls.clear();
        shellCalls.clear();
        realHtmlHelp = dialogs::SetHtmlHelpCall(&RecordHelp);
        previousShell = dialogs::SetShellOpen(&RecordShell);
        application.SetHelpFile(base::ExeDirectory() + "Tamberlyn.chm");
    }
    ~WithBridge() override {
        dialogs::SetHtmlHelpCall(realHtmlHelp);
        dialogs::SetShellOpen(previousShell);
    }

    void Pump() { application.ProcessMessages(); }

    ui::TApplication application;
    dialogs::THelpBridge bridge;
    dialogs::TShellOpen previousShell = nullptr;
};

TEST_F(WithBridge, EveryCommandReachesHtmlHelpAsItsRowSays) {
    const intptr_t keyword = reinterpret_cast<intptr_t>("wallpaper");
    const struct {
        uint16_t command;
        intptr_t data;
        UINT expectedCommand;
        DWORD_PTR expectedData;
    } rows[] = {
        {HELP_CONTEXT, 2, HH_HELP_CONTEXT, 2},   {HELP_QUIT, 9, HH_CLOSE_ALL, 0},
        {HELP_CONTENTS, 9, HH_DISPLAY_TOC, 0},   {HELP_CONTEXTPOPUP, 3, HH_HELP_CONTEXT, 3},
        {HELP_FINDER, 77, HH_DISPLAY_TOPIC, 77}, {HELP_KEY, keyword, HH_DISPLAY_INDEX, static_cast<DWORD_PTR>(keyword)},
        {15, 1003, HH_DISPLAY_TOPIC, 0},         {4, 5, HH_DISPLAY_TOPIC, 0},
    };
    for (const auto& row : rows) {
        helpCalls.clear();
        bool callHelp = true;
        EXPECT_TRUE(application.OnHelp(row.command, row.data, callHelp)) << row.command;
        EXPECT_FALSE(callHelp) << "no default help processing after the bridge";
        ASSERT_EQ(helpCalls.size(), 1u) << row.command;
        EXPECT_EQ(helpCalls[0].command, row.expectedCommand) << row.command;
        EXPECT_EQ(helpCalls[0].data, row.expectedData) << row.command;
        EXPECT_EQ(helpCalls[0].file, base::ExeDirectory() + "Tamberlyn.chm");
    }
}

TEST_F(WithBridge, F1AsksForTheFormsContextWhicheverControlHasTheFocus) {
    auto about = base::Owned<dialogs::TfrmAbout>(ui::NewForm<dialogs::TfrmAbout>(&application));
    about->Show();
    Pump();
    about->cbtnOk->SetFocus();
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_F1, 1);
    Pump();
    ASSERT_EQ(helpCalls.size(), 1u);
    EXPECT_EQ(helpCalls[0].command, static_cast<UINT>(HH_HELP_CONTEXT));
    EXPECT_EQ(helpCalls[0].data, 3u);
    EXPECT_EQ(helpCalls[0].owner, about->Handle()) << "owned by the dialog the user asked from";

    // A window without a help context (the splash has none) asks for nothing.
    auto plain = ui::MakeForm<ui::TForm>(&application);
    plain->Show();
    Pump();
    PostMessageA(plain->Handle(), WM_KEYDOWN, VK_F1, 1);
    Pump();
    EXPECT_EQ(helpCalls.size(), 1u);
}

// Where a top-level window stands in the z-order: 0 is the top.
int ZOrderOf(HWND window) {
    int place = 0;
    for (HWND at = GetTopWindow(nullptr); at != nullptr; at = GetWindow(at, GW_HWNDNEXT), ++place) {
        if (at == window) return place;
    }
    return -1;
}

TEST_F(WithBridge, TheRealHelpFileOpensInFrontOfATopmostDialog) {
    ASSERT_TRUE(base::FileExists(application.HelpFile())) << application.HelpFile();
    dialogs::SetHtmlHelpCall(&RecordAndOpenHelp);
    auto dialog = ui::MakeForm<ui::TForm>(&application);
    dialog->SetFormStyle(ui::fsStayOnTop);
    dialog->SetBounds(100, 100, 592, 600);
    dialog->SetHelpContext(2);
    dialog->Show();
    Pump();
    lastHelpWindow = nullptr;
    PostMessageA(dialog->Handle(), WM_KEYDOWN, VK_F1, 1);
    Pump();
    ASSERT_NE(lastHelpWindow, nullptr);
    EXPECT_TRUE(IsWindowVisible(lastHelpWindow));
    EXPECT_LT(ZOrderOf(lastHelpWindow), ZOrderOf(dialog->Handle())) << "the help window is above the dialog";
    realHtmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    Pump();
}

// ---- The about box

struct AboutBox : WithBridge {
    AboutBox() : about(ui::NewForm<dialogs::TfrmAbout>(&application)) {
        about->Show();
        Pump();
    }

    // A mouse message at a point of the author line, through the link that holds it.
    void Mouse(UINT message, int x, int y) {
        const RECT line = about->clblAuthor->BoundsRect();
        SendMessageA(about->clnkAuthor->Handle(), message, 0, MAKELPARAM(line.left + x, line.top + y));
    }

    bool RedAndUnderlined() const {
        return about->clblAuthor->Font().Color() == ui::clRed &&
               (about->clblAuthor->Font().Style() & ui::fsUnderline) != 0;
    }
    bool BlueAndPlain() const {
        return about->clblAuthor->Font().Color() == ui::clBlue &&
               (about->clblAuthor->Font().Style() & ui::fsUnderline) == 0;
    }

    base::Owned<dialogs::TfrmAbout> about;
};

TEST_F(AboutBox, TheAuthorLineLooksPressedWhileHeldAndOnlyALeftClickOpensTheLink) {
    EXPECT_EQ(about->clblTitle->Caption(), "Tamberlyn v1.1");
    // The sign in the code page the program speaks, as the system reads it back.
    EXPECT_EQ(base::WideText(about->clblCopyright->Caption()), L"Copyright \u00A9 2026 Tamberlyn");
    EXPECT_TRUE(BlueAndPlain());

    Mouse(WM_LBUTTONDOWN, 3, 3);
    EXPECT_TRUE(RedAndUnderlined());
    Mouse(WM_MOUSEMOVE, 3, 40);
    Mouse(WM_LBUTTONUP, 3, 40);
    EXPECT_TRUE(BlueAndPlain()) << "released outside";

    Mouse(WM_RBUTTONDOWN, 3, 3);
    EXPECT_TRUE(RedAndUnderlined());
    Mouse(WM_RBUTTONUP, 3, 3);
    EXPECT_TRUE(BlueAndPlain());
    EXPECT_TRUE(shellCalls.empty());

    Mouse(WM_LBUTTONDOWN, 3, 3);
    Mouse(WM_LBUTTONUP, 3, 3);
    EXPECT_TRUE(BlueAndPlain());
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].file, "mailto:tamberlyn@example.org?subject=Tamberlyn v1.1: ");
    EXPECT_TRUE(shellCalls[0].plain);

    // Tab reaches the link after the button; Enter, Space and a reader's action open it as the click does.
    about->cbtnOk->SetFocus();
    testing_support::TypeKey(VK_TAB);
    EXPECT_EQ(GetFocus(), about->clnkAuthor->Handle());
    testing_support::TypeKey(VK_RETURN);
    testing_support::TypeKey(VK_SPACE);
    IAccessible* link = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(about->clnkAuthor->Handle(), OBJID_CLIENT, IID_PPV_ARGS(&link)), S_OK);
    VARIANT self{}, role{};
    self.vt = VT_I4;
    BSTR name = nullptr;
    EXPECT_EQ(link->get_accName(self, &name), S_OK);
    EXPECT_EQ(link->get_accRole(self, &role), S_OK);
    EXPECT_EQ(std::make_pair(std::wstring(name), role.lVal),
              std::make_pair(std::wstring(L"by the Tamberlyn team"), long{ROLE_SYSTEM_LINK}));
    EXPECT_EQ(link->accDoDefaultAction(self), S_OK);
    SysFreeString(name);
    link->Release();
    Pump();
    ASSERT_EQ(shellCalls.size(), 4u);
    EXPECT_EQ(shellCalls[3].file, shellCalls[0].file);
}

// What a timer sees while a modal loop runs: the box's place against the setup dialog's, then a key.
struct ModalProbe {
    HWND box = nullptr;
    HWND setup = nullptr;
    HWND keyTarget = nullptr;
    UINT key = 0;
    int above = -1;
} probe;

VOID CALLBACK LookAndPress(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    probe.above = ZOrderOf(probe.box) < ZOrderOf(probe.setup) ? 1 : 0;
    PostMessageA(probe.keyTarget != nullptr ? probe.keyTarget : GetFocus(), probe.key == 0 ? BM_CLICK : WM_KEYDOWN,
                 probe.key, 1);
}

TEST_F(AboutBox, StaysAboveTheTopmostDialogThatOpenedItAndOkOrEscapeCloseIt) {
    about->Hide();
    auto setup = ui::MakeForm<ui::TForm>(&application);
    setup->SetFormStyle(ui::fsStayOnTop);
    setup->Show();
    Pump();
    auto box = base::Owned<dialogs::TfrmAbout>(ui::NewForm<dialogs::TfrmAbout>(&application));
    probe = ModalProbe{box->Handle(), setup->Handle(), box->cbtnOk->Handle(), 0, -1};
    SetTimer(nullptr, 0, 10, &LookAndPress);
    box->ShowModal();
    EXPECT_EQ(probe.above, 1);
    EXPECT_FALSE(IsWindowVisible(box->Handle()));

    probe = ModalProbe{box->Handle(), setup->Handle(), nullptr, VK_ESCAPE, -1};
    SetTimer(nullptr, 0, 10, &LookAndPress);
    box->ShowModal();
    EXPECT_FALSE(IsWindowVisible(box->Handle())) << "Escape closes the box";
    EXPECT_EQ(probe.above, 1);
}

}  // namespace
