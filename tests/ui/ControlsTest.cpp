#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

#include <string>
#include <vector>

#include "base/SysUtils.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace {

class TestForm : public ui::TForm {
public:
    using ui::TForm::TForm;

protected:
    const char* ClassName() const override { return "TTestForm"; }
};

// Records what the loading phase looks like from inside a component.
class LoadingProbe : public base::TComponent {
public:
    using base::TComponent::TComponent;
    bool loadingWhileSet = false;
    int loadedCalls = 0;
    bool loadingInLoaded = true;
    void Set() { loadingWhileSet = Loading(); }

protected:
    void Loaded() override {
        ++loadedCalls;
        loadingInLoaded = Loading();
    }
};

struct FormFixture : ::testing::Test {
    FormFixture() {
        form = new TestForm(&application);
        form->SetBorderStyle(ui::bsNone);
        form->SetClientSize(300, 200);
    }
    ui::TApplication application;
    TestForm* form;
};

using Components = FormFixture;

TEST_F(Components, LoadingPhaseThenOneAfterLoadingStepEach) {
    form->BeginLoading();
    auto* probe = new LoadingProbe(form);
    probe->Set();
    EXPECT_EQ(probe->loadedCalls, 0);
    form->EndLoading();
    EXPECT_TRUE(probe->loadingWhileSet);
    EXPECT_EQ(probe->loadedCalls, 1);
    EXPECT_FALSE(probe->loadingInLoaded);
    EXPECT_FALSE(form->Loading());
}

TEST_F(Components, OwnerDestroysWhatItOwnsAndForgetsWhatWentEarlier) {
    auto* first = new ui::TLabel(form);
    auto* second = new ui::TLabel(form);
    first->SetParent(form);
    second->SetParent(form);
    delete first;
    ASSERT_EQ(form->Components().size(), 1u);
    EXPECT_EQ(form->Components().front(), second);
    EXPECT_EQ(form->ControlCount(), 1);
}

using Windows = FormFixture;

TEST_F(Windows, EveryWindowCarriesItsClassNameAndNativeControlsKeepTheirBehaviour) {
    auto* panel = new ui::TPanel(form);
    panel->SetParent(form);
    auto* bar = new ui::TProgressBar(form);
    bar->SetParent(panel);
    bar->SetRange(0, 100);
    bar->SetStep(20);
    char name[64];
    GetClassNameA(form->Handle(), name, sizeof name);
    EXPECT_STREQ(name, "TTestForm");
    GetClassNameA(panel->Handle(), name, sizeof name);
    EXPECT_STREQ(name, "TPanel");
    GetClassNameA(bar->Handle(), name, sizeof name);
    EXPECT_STREQ(name, "TProgressBar");
    EXPECT_EQ(GetParent(bar->Handle()), panel->Handle());
    bar->StepIt();
    bar->StepIt();
    EXPECT_EQ(SendMessageA(bar->Handle(), PBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(bar->Position(), 40);
    EXPECT_EQ(GetWindowTheme(bar->Handle()), nullptr) << "drawn classic, as Windows draws it for this program";
    form->Show();
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetWindowDC(bar->Handle());
    const COLORREF corner = GetPixel(dc, 0, 0);
    ReleaseDC(bar->Handle(), dc);
    EXPECT_EQ(corner, GetSysColor(COLOR_BTNSHADOW)) << "its sunken edge, outside its client area, painted";
}

TEST_F(Windows, FontAndColourFollowTheParentUntilSetOnTheControl) {
    form->Font().SetName("Comic Sans MS");
    form->Font().SetHeight(-16);
    auto* panel = new ui::TPanel(form);
    panel->SetParent(form);
    auto* label = new ui::TLabel(form);
    label->SetParentColor(true);
    label->SetParent(panel);
    EXPECT_EQ(label->Font().Name(), "Comic Sans MS");
    form->Font().SetHeight(-20);
    EXPECT_EQ(panel->Font().Height(), -20);
    EXPECT_EQ(label->Font().Height(), -20) << "passed on through the panel";
    label->Font().SetHeight(-12);
    EXPECT_FALSE(label->ParentFont());
    form->Font().SetHeight(-25);
    EXPECT_EQ(label->Font().Height(), -12);
    panel->SetColor(ui::clBlack);
    EXPECT_EQ(label->Color(), ui::clBlack);
    label->SetColor(ui::clWhite);
    panel->SetColor(ui::clSilver);
    EXPECT_EQ(label->Color(), ui::clWhite);
}

TEST_F(Windows, TopAlignedPanelsStackAndFollowTheWidth) {
    auto* top = new ui::TPanel(form);
    top->SetParent(form);
    top->SetBounds(10, 50, 20, 84);
    top->SetAlign(ui::alTop);
    auto* below = new ui::TPanel(form);
    below->SetParent(form);
    below->SetBounds(0, 0, 20, 66);
    below->SetAlign(ui::alTop);
    form->HandleNeeded();
    EXPECT_EQ(top->Left(), 0);
    EXPECT_EQ(top->Top(), 0);
    EXPECT_EQ(top->Width(), 300);
    EXPECT_EQ(below->Top(), 84);
    EXPECT_EQ(below->Height(), 66);
    RECT window{};
    GetWindowRect(below->Handle(), &window);
    MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&window), 2);
    EXPECT_EQ(window.top, 84);
    EXPECT_EQ(window.right - window.left, 300);
    form->SetClientSize(250, 200);
    EXPECT_EQ(below->Width(), 250);
}

// The layer works out a frameless window's client area itself and leaves framed ones to the system.
TEST_F(Windows, FormsWithAndWithoutFrameGetTheClientAreaAskedFor) {
    for (ui::TFormBorderStyle style : {ui::bsNone, ui::bsSingle, ui::bsDialog}) {
        auto* other = new TestForm(&application);
        other->SetBorderStyle(style);
        other->SetClientSize(210, 120);
        RECT client{};
        RECT window{};
        GetClientRect(other->Handle(), &client);
        GetWindowRect(other->Handle(), &window);
        EXPECT_EQ(client.right, 210) << "border style " << style;
        EXPECT_EQ(client.bottom, 120) << "border style " << style;
        EXPECT_EQ(window.right - window.left > 210, style != ui::bsNone) << "border style " << style;
        other->Free();
    }
}

TEST_F(Windows, ClickReachesTheLabelUnderThePointerOnlyWhenReleasedOnIt) {
    auto* label = new ui::TLabel(form);
    label->SetParent(form);
    label->SetAutoSize(false);
    label->SetBounds(40, 30, 100, 20);
    std::vector<std::string> events;
    label->OnClick = [&] { events.push_back("click"); };
    label->OnMouseDown = [&](ui::TMouseButton b, int x, int y) {
        events.push_back("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    label->OnMouseUp = [&](ui::TMouseButton b, int, int) { events.push_back("up " + std::to_string(b)); };
    HWND window = form->Handle();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(45, 35));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(50, 36));
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(45, 35));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(250, 150));
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(45, 35));
    SendMessageA(window, WM_RBUTTONUP, 0, MAKELPARAM(45, 35));
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(45, 35));
    // The last press was not on the label: releasing over it tells it of the release, but is no click.
    EXPECT_EQ(events, (std::vector<std::string>{"down 0 5,5", "click", "up 0", "down 0 5,5", "up 0", "down 1 5,5",
                                                "up 1", "up 0"}));
    // A press whose mouse is taken away (a box opening mid-press) is forgotten: the release is no click.
    events.clear();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(45, 35));
    SendMessageA(window, WM_CAPTURECHANGED, 0, 0);
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(45, 35));
    EXPECT_EQ(events, (std::vector<std::string>{"down 0 5,5", "up 0"}));
}

// The text height of a font, measured here (the fonts differ from Windows').
int LineHeight(ui::TFont& font) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font.Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight;
}

TEST_F(Windows, AutoSizedLabelMeasuresItsCaption) {
    auto* label = new ui::TLabel(form);
    label->SetParent(form);
    label->SetBounds(200, 10, 5, 5);
    label->SetCaption("x");
    label->SetCaption("");
    EXPECT_EQ(label->Height(), LineHeight(label->Font())) << "an empty caption measures one line";
    EXPECT_GT(label->Width(), 0);
    label->SetAlignment(ui::taRightJustify);
    label->SetCaption("Short");
    const int right = label->Left() + label->Width();
    const int width = label->Width();
    label->SetCaption("A much longer caption");
    EXPECT_GT(label->Width(), width);
    EXPECT_EQ(label->Left() + label->Width(), right) << "a right-aligned label keeps its right edge";
}

BOOL CALLBACK CountWindow(HWND, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

int ChildWindowCount(HWND parent) {
    int count = 0;
    EnumChildWindows(parent, &CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST_F(Windows, AControlAskedForItsWindowBeforeItsFormHasOneGetsOneWindowInTheFormsTree) {
    auto* panel = new ui::TPanel(form);
    panel->SetParent(form);
    auto* inner = new ui::TPanel(form);
    inner->SetParent(panel);
    // Making the form's window makes its children's: the inner panel's request must not make another.
    HWND window = inner->Handle();
    EXPECT_EQ(GetParent(window), panel->Handle());
    EXPECT_EQ(GetParent(panel->Handle()), form->Handle());
    EXPECT_EQ(ChildWindowCount(form->Handle()), 2);
    EXPECT_EQ(ui::FindControl(window), inner);
}

// Only a shown window is marked for repainting (a hidden one is painted whole when shown): still, a change
// to a shown window marks just the area it changed.
TEST_F(Windows, AChangeToAShownWindowMarksJustItsArea) {
    auto* label = new ui::TLabel(form);
    label->SetParent(form);
    label->SetAutoSize(false);
    label->SetBounds(40, 30, 100, 20);
    ShowWindow(form->Handle(), SW_SHOWNA);
    UpdateWindow(form->Handle());
    label->SetCaption("changed");
    const RECT labelArea{40, 30, 140, 50};
    RECT marked{};
    ASSERT_TRUE(GetUpdateRect(form->Handle(), &marked, FALSE));
    EXPECT_TRUE(EqualRect(&marked, &labelArea));
    ShowWindow(form->Handle(), SW_HIDE);
}

TEST(ErrorBox, FullStopFollowsOnlyCharactersAboveIt) {
    EXPECT_EQ(ui::ErrorBoxText("ERROR: There was a problem reading the inifile"),
              "ERROR: There was a problem reading the inifile.");
    EXPECT_EQ(ui::ErrorBoxText("List index out of bounds (0)"), "List index out of bounds (0)");
    EXPECT_EQ(ui::ErrorBoxText("Done."), "Done.");
    EXPECT_EQ(ui::ErrorBoxText("Code 5"), "Code 5.");
    EXPECT_EQ(ui::ErrorBoxText("dash-"), "dash-");
    EXPECT_EQ(ui::ErrorBoxText("slash/"), "slash/.");
    EXPECT_EQ(ui::ErrorBoxText("caf\xe9"), "caf\xe9.");
    EXPECT_EQ(ui::ErrorBoxText(""), "");
}

// Looks for the application's error box from another thread, notes how it stands, and closes it.
struct BoxWatch {
    HWND owner = nullptr;
    HWND expectedOwner = nullptr;
    std::string text;
    bool iconShown = false;
    bool aboveOwner = false;
    bool found = false;
    int boxesWhileFailing = 0;
};

// A timer that fails at every tick, as a paint does under GDI exhaustion; the failures are counted.
LONG timerFailures = 0;
VOID CALLBACK FailingTimer(HWND, UINT, UINT_PTR, DWORD) {
    base::Guarded([] {
        InterlockedIncrement(&timerFailures);
        throw base::Exception("Out of system resources");
    });
}

BOOL CALLBACK CountVisibleBox(HWND window, LPARAM count) {
    char name[16] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    GetClassNameA(window, name, sizeof name);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && std::string(name) == "#32770")
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

DWORD WINAPI WatchForBox(void* parameter) {
    auto* watch = static_cast<BoxWatch*>(parameter);
    for (int i = 0; i < 200 && !watch->found; ++i) {
        Sleep(25);
        HWND box = FindWindowA("#32770", "Tamberlyn");
        if (box == nullptr || !IsWindowVisible(box)) continue;
        watch->found = true;
        watch->owner = GetWindow(box, GW_OWNER);
        char text[256] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        watch->text = text;
        watch->iconShown = FindWindowExA(box, nullptr, "Static", nullptr) != nullptr;
        // Walk down the z-order from the box: the topmost owner must come after it. The box may become
        // visible a moment before it takes its place in the z-order, so give it a little while.
        for (int settle = 0; settle < 40 && !watch->aboveOwner; ++settle) {
            for (HWND below = GetWindow(box, GW_HWNDNEXT); below != nullptr; below = GetWindow(below, GW_HWNDNEXT)) {
                if (below == watch->expectedOwner) {
                    watch->aboveOwner = true;
                    break;
                }
            }
            if (!watch->aboveOwner) Sleep(25);
        }
        // The failing timer ticks inside the box's loop: a few failures later, still one box.
        const LONG failuresBefore = timerFailures;
        for (int wait = 0; wait < 200 && timerFailures < failuresBefore + 5; ++wait) Sleep(10);
        EnumWindows(&CountVisibleBox, reinterpret_cast<LPARAM>(&watch->boxesWhileFailing));
        HWND open = box;
        for (int closed = 0; closed < 50 && open != nullptr; ++closed, open = FindWindowA("#32770", "Tamberlyn"))
            SendMessageA(open, WM_COMMAND, IDOK, 0);
    }
    return 0;
}

TEST_F(Windows, ErrorBoxComesUpInFrontOfATopmostWindow) {
    application.SetTitle("Tamberlyn");
    form->SetFormStyle(ui::fsStayOnTop);
    form->SetPosition(ui::poScreenCenter);
    form->SetClientSize(300, 200);
    form->Show();
    BoxWatch watch;
    watch.expectedOwner = form->Handle();
    HANDLE thread = CreateThread(nullptr, 0, &WatchForBox, &watch, 0, nullptr);
    timerFailures = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &FailingTimer);
    application.ShowException(base::Exception("Something went wrong"));
    KillTimer(nullptr, timer);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    ASSERT_TRUE(watch.found);
    EXPECT_GE(timerFailures, 5);
    EXPECT_EQ(watch.boxesWhileFailing, 1) << "error boxes do not stack";
    EXPECT_EQ(watch.text, "Something went wrong.");
    EXPECT_EQ(watch.owner, form->Handle());
    EXPECT_TRUE(watch.aboveOwner);
}

}  // namespace
