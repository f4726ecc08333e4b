// The layer under modal dialogs: exceptions end where the system called us, paints end cleanly, objects
// freed by their own handlers are never touched again, and forms close and take the focus as users expect.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/SysUtils.h"
#include "support/GdiBudget.h"
#include "support/Keys.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace {

std::vector<std::string> reported;

void Record(const std::exception& error) {
    reported.push_back(error.what());
}

// Errors are written down instead of stopping the test in a message box.
class RecordedErrors {
public:
    RecordedErrors() : previous_(base::SetExceptionHandler(&Record)) { reported.clear(); }
    ~RecordedErrors() { base::SetExceptionHandler(previous_); }
    RecordedErrors(const RecordedErrors&) = delete;
    RecordedErrors& operator=(const RecordedErrors&) = delete;

private:
    base::TExceptionHandler previous_;
};

ui::TButton* NewButton(ui::TWinControl* parent, const std::string& caption, int left, int top) {
    auto* button = new ui::TButton(ui::TForm::Of(parent) != nullptr ? ui::TForm::Of(parent) : parent);
    button->SetParent(parent);
    button->SetCaption(caption);
    button->SetBounds(left, top, 80, 26);
    return button;
}

void Click(ui::TWinControl* control) {
    PostMessageA(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageA(control->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

// Hears of every focus move, and may act on it.
class FocusListener : public ui::TPanel {
public:
    using ui::TPanel::TPanel;
    std::function<void(ui::TWinControl*)> OnFocusMoved;

    void WndProc(ui::TMessage& message) override {
        if (message.Msg == ui::CM_FOCUSCHANGED && OnFocusMoved)
            OnFocusMoved(reinterpret_cast<ui::TWinControl*>(message.LParam));
        ui::TPanel::WndProc(message);
    }
};

void PostKey(HWND window, WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
}

void PostAltChar(HWND window, char c) {
    PostMessageA(window, WM_SYSCHAR, static_cast<WPARAM>(c), 1 << 29);
}

// ---- Exceptions at the boundary, and modal forms

struct Boundary : ::testing::Test {
    ui::TApplication application;
    RecordedErrors errors;
};

TEST_F(Boundary, FailingClickHandlersLeaveTheModalDialogOpenAndUsable) {
    auto form = ui::MakeForm<ui::TForm>(&application);
    form->SetClientSize(400, 120);
    auto* field = new ui::TEdit(form.get());
    field->SetParent(form.get());
    auto* ok = NewButton(form.get(), "&OK", 10, 40);
    ok->SetDefault(true);
    ok->SetModalResult(ui::mrOk);
    int okClicks = 0;
    ok->OnClick = [&] { throw base::Exception("ok " + std::to_string(++okClicks)); };
    auto* cancel = NewButton(form.get(), "Cancel", 100, 40);
    cancel->SetCancel(true);
    cancel->SetModalResult(ui::mrCancel);
    cancel->OnClick = [] { throw base::Exception("cancel"); };
    auto* odd = NewButton(form.get(), "&Throw", 190, 40);
    odd->OnClick = [] { throw 42; };
    auto* done = NewButton(form.get(), "Done", 280, 40);
    done->SetModalResult(IDRETRY);
    form->SetActiveControl(field);
    form->HandleNeeded();

    // The mouse, Enter, Escape and Alt+key, then a click that may end the dialog.
    Click(ok);
    PostKey(field->Handle(), VK_RETURN);
    PostKey(field->Handle(), VK_ESCAPE);
    PostAltChar(field->Handle(), 't');
    PostMessageA(done->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->ShowModal(), IDRETRY);
    EXPECT_EQ(reported, (std::vector<std::string>{"ok 1", "ok 2", "cancel", "Unknown error"}));

    // A close that OnCloseQuery refuses keeps the form; the next one is let through.
    int asked = 0;
    form->OnCloseQuery = [&](bool& canClose) { canClose = ++asked > 1; };
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    PostMessageA(done->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->ShowModal(), IDRETRY);
    EXPECT_EQ(asked, 2);
}

TEST_F(Boundary, AModalLoopLeftByAnErrorEnablesTheOtherWindowsAgain) {
    auto owner = ui::MakeForm<ui::TForm>(&application);
    owner->Show();
    // The form's window cannot be made: its class name is one the system refuses.
    struct Unmakeable : ui::TForm {
        using ui::TForm::TForm;
        const char* ClassName() const override { return ""; }
    };
    auto broken = ui::MakeForm<Unmakeable>(&application);
    EXPECT_THROW(broken->ShowModal(), std::exception);
    EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
}

class FailingPaint : public ui::TCustomControl {
public:
    using ui::TCustomControl::TCustomControl;
    int failuresLeft = 0;
    int paints = 0;
    bool CanvasBound() { return Canvas().HandleAllocated(); }

protected:
    const char* ClassName() const override { return "TFailingPaint"; }
    void Paint() override {
        ++paints;
        if (failuresLeft > 0) {
            --failuresLeft;
            throw base::Exception("paint");
        }
    }
};

// Opaque, so that it repaints itself at once through a DC of its parent's window.
class FailingLabel : public ui::TGraphicControl {
public:
    explicit FailingLabel(base::TComponent* owner) : ui::TGraphicControl(owner) { SetOpaque(true); }
    bool failing = false;

protected:
    void Paint() override {
        Canvas().FillRect(ClientRect());
        if (failing) throw base::Exception("label");
    }
};

TEST_F(Boundary, APaintThatThrowsEndsItsPaintAndLeavesNoDCBehind) {
    auto form = ui::MakeForm<ui::TForm>(&application);
    form->SetClientSize(200, 100);
    auto* box = new FailingPaint(form.get());
    box->SetParent(form.get());
    box->SetBounds(10, 10, 80, 60);
    auto* label = new FailingLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(100, 10, 80, 20);
    form->Show();
    application.ProcessMessages();

    box->failuresLeft = 1;
    box->Invalidate();
    box->Update();
    EXPECT_EQ(reported, std::vector<std::string>{"paint"});
    RECT left{};
    EXPECT_FALSE(GetUpdateRect(box->Handle(), &left, FALSE)) << "the failed paint still ended the paint";
    EXPECT_FALSE(box->CanvasBound());
    const int paints = box->paints;
    box->Invalidate();
    box->Update();
    EXPECT_EQ(box->paints, paints + 1);
    EXPECT_EQ(reported.size(), 1u) << "the next paint works";

    // Failing paints through BeginPaint and through GetDC, more often than a kept DC each would allow.
    testing_support::GdiBudget budget(150);
    reported.clear();
    label->failing = true;
    for (int round = 0; round < 400 && testing_support::GdiBudget::CanCreateObjects(); ++round) {
        box->failuresLeft = 1;
        box->Invalidate();
        box->Update();
        // Repainted at once from a handler, as a progress caption is: the handler's boundary ends the error.
        base::Guarded([&] { label->Repaint(); });
    }
    EXPECT_TRUE(testing_support::GdiBudget::CanCreateObjects());
    EXPECT_EQ(reported.size(), 800u);
}

// ---- Teardown

struct Derived : ui::TForm {
    using ui::TForm::TForm;
    std::string part = "derived";
};

struct Teardown : ::testing::Test {
    ui::TApplication application;
    RecordedErrors errors;
};

TEST_F(Teardown, OnDestroySeesTheDerivedFormAndAReleasedFormIsFreedOnce) {
    std::vector<std::string> seen;
    auto* freed = new Derived(&application);
    freed->OnDestroy = [&, freed] {
        auto* derived = dynamic_cast<Derived*>(static_cast<ui::TForm*>(freed));
        seen.push_back(derived != nullptr ? derived->part : "base only");
    };
    freed->Free();
    // Freed with its owner, and after a release the caller forestalled.
    auto* owned = new Derived(&application);
    owned->OnDestroy = [&, owned] {
        auto* derived = dynamic_cast<Derived*>(static_cast<ui::TForm*>(owned));
        seen.push_back(derived != nullptr ? "owned " + derived->part : "base only");
    };
    owned->HandleNeeded();
    owned->Release();
    owned->Free();
    application.ProcessMessages();
    EXPECT_EQ(seen, (std::vector<std::string>{"derived", "owned derived"}));
}

TEST_F(Teardown, HandlersThatFreeTheirOwnFormOrControlTouchNothingFreed) {
    // A button that frees its form through Release: freed after the click, once.
    auto* form = new ui::TForm(&application);
    form->SetClientSize(300, 100);
    int destroyed = 0;
    form->OnDestroy = [&] { ++destroyed; };
    auto* closeButton = NewButton(form, "Close", 10, 10);
    closeButton->OnClick = [form] { form->Release(); };
    form->Show();
    const base::TWatch formWatch = form->Watch();
    // The layer's own message numbers from anyone else, as another program posts or sends its own: a
    // release, a focus change carrying a number for a control, a reflected draw without its structure.
    const HWND formWindow = form->Handle();
    const HWND buttonWindow = closeButton->Handle();
    PostMessageA(formWindow, ui::CM_RELEASE, 0, 0);
    PostMessageA(formWindow, ui::CM_FOCUSCHANGED, 0, 0x1234);
    std::thread([=] {
        SendNotifyMessageA(formWindow, ui::CM_RELEASE, 0, 0);
        SendNotifyMessageA(buttonWindow, ui::CN_DRAWITEM, 0, 0x1234);
    }).join();
    application.ProcessMessages();
    ASSERT_TRUE(formWatch.Alive()) << "the form takes its own messages from no one else";
    // A window of the button's class that the button does not make binds nothing, whatever pointer it carries.
    const HWND stray = CreateWindowExA(0, "TButton", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), closeButton);
    EXPECT_EQ(ui::FindControl(stray), nullptr);
    EXPECT_EQ(closeButton->Handle(), buttonWindow);
    DestroyWindow(stray);
    Click(closeButton);
    application.ProcessMessages();
    EXPECT_FALSE(formWatch.Alive());
    EXPECT_EQ(destroyed, 1);

    // A button that frees itself, and a label that frees its whole form at once.
    auto* other = new ui::TForm(&application);
    other->SetClientSize(300, 100);
    auto* selfFreeing = NewButton(other, "Go", 10, 10);
    selfFreeing->OnClick = [selfFreeing] { selfFreeing->Free(); };
    auto* label = new ui::TLabel(other);
    label->SetParent(other);
    label->SetBounds(10, 50, 60, 20);
    label->SetCaption("gone");
    label->OnClick = [other] { other->Free(); };
    label->OnMouseUp = [](ui::TMouseButton, int, int) { ADD_FAILURE() << "the freed label heard its release"; };
    other->Show();
    const base::TWatch buttonWatch = selfFreeing->Watch();
    const base::TWatch otherWatch = other->Watch();
    HWND otherWindow = other->Handle();
    Click(selfFreeing);
    application.ProcessMessages();
    EXPECT_FALSE(buttonWatch.Alive());
    ASSERT_TRUE(otherWatch.Alive());
    PostMessageA(otherWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 55));
    PostMessageA(otherWindow, WM_LBUTTONUP, 0, MAKELPARAM(15, 55));
    application.ProcessMessages();
    EXPECT_FALSE(otherWatch.Alive());
    EXPECT_FALSE(IsWindow(otherWindow));

    // The focus moves to a button that a control told first frees: the controls told after it hear of
    // no control, not of the freed one.
    auto* third = new ui::TForm(&application);
    auto* freer = new FocusListener(third);
    auto* hearer = new FocusListener(third);
    auto* target = NewButton(third, "Target", 10, 10);
    freer->SetParent(third);
    hearer->SetParent(third);
    freer->OnFocusMoved = [target](ui::TWinControl* focused) {
        if (focused == target) target->Free();
    };
    std::vector<ui::TWinControl*> heard;
    hearer->OnFocusMoved = [&heard](ui::TWinControl* focused) { heard.push_back(focused); };
    third->Show();
    target->SetFocus();
    application.ProcessMessages();
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(std::count(heard.begin(), heard.end(), static_cast<ui::TWinControl*>(target)), 0);
    EXPECT_NE(std::count(heard.begin(), heard.end(), nullptr), 0);
    third->Free();
    EXPECT_TRUE(reported.empty());
}

TEST_F(Teardown, ReferencesToAComponentAreDroppedWhenItGoesWhoeverOwnsIt) {
    auto form = ui::MakeForm<ui::TForm>(&application);
    base::TComponent fieldOwner(nullptr);
    auto* field = new ui::TEdit(&fieldOwner);
    field->SetParent(form.get());
    auto* label = new ui::TLabel(form.get());
    label->SetParent(form.get());
    label->SetFocusControl(field);
    form->SetActiveControl(field);
    field->Free();
    EXPECT_EQ(label->FocusControl(), nullptr);
    EXPECT_EQ(form->ActiveControl(), nullptr);

    // An after-loading step that frees a later sibling: the freed one gets no step of its own.
    struct Freeing : base::TComponent {
        Freeing(base::TComponent* owner, base::TComponent** victim) : base::TComponent(owner), victim_(victim) {}
        void Loaded() override { (*victim_)->Free(); }
        base::TComponent** victim_;
    };
    struct Counted : base::TComponent {
        using base::TComponent::TComponent;
        void Loaded() override { ADD_FAILURE() << "a freed component was loaded"; }
    };
    base::TComponent owner(nullptr);
    owner.BeginLoading();
    base::TComponent* victim = nullptr;
    new Freeing(&owner, &victim);
    victim = new Counted(&owner);
    owner.EndLoading();
    EXPECT_EQ(owner.Components().size(), 1u);
}

// ---- What grids and dialogs need of the layer

class WheelBox : public ui::TCustomControl {
public:
    using ui::TCustomControl::TCustomControl;
    bool takesWheel = true;
    std::vector<int> turns;
    HDC paintedInto = nullptr;

protected:
    const char* ClassName() const override { return "TWheelBox"; }
    bool MouseWheel(int delta, POINT) override {
        if (takesWheel) turns.push_back(delta);
        return takesWheel;
    }
    void Paint() override { paintedInto = Canvas().Handle(); }
};

TEST(LayerServices, AFailedCallWithoutAnErrorCodeIsNotReportedAsASuccess) {
    EXPECT_STREQ(base::EOSError(0).what(), "A call to an OS function failed");
    EXPECT_EQ(base::EOSError(ERROR_FILE_NOT_FOUND).what(), base::SysErrorMessage(ERROR_FILE_NOT_FOUND));
}

TEST(LayerServices, WheelPrintClientChildIdsAndPointerSizedHelpData) {
    ui::TApplication application;
    auto form = ui::MakeForm<ui::TForm>(&application);
    auto* outer = new WheelBox(form.get());
    outer->SetParent(form.get());
    outer->SetBounds(0, 0, 200, 200);
    auto* inner = new WheelBox(form.get());
    inner->SetParent(outer);
    inner->SetBounds(10, 10, 50, 50);
    inner->SetTabStop(true);
    form->Show();
    inner->SetFocus();
    SendMessageA(inner->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    inner->takesWheel = false;
    SendMessageA(inner->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(inner->turns, std::vector<int>{WHEEL_DELTA});
    EXPECT_EQ(outer->turns, std::vector<int>{-WHEEL_DELTA}) << "a wheel the control leaves goes to its parent";

    ui::TBitmap picture;
    picture.SetSize(50, 50);
    HDC dc = picture.Canvas().Handle();
    SendMessageA(inner->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(inner->paintedInto, dc);

    // Identifiers fit the 16 bits of WM_COMMAND and stay unique per parent as children come and go.
    std::vector<ui::TButton*> buttons;
    for (int i = 0; i < 300; ++i) buttons.push_back(NewButton(outer, "b", 0, 0));
    for (int i = 0; i < 300; i += 2) buttons[static_cast<size_t>(i)]->Free();
    for (int i = 0; i < 150; ++i) NewButton(outer, "c", 0, 0);
    std::vector<int> ids;
    for (HWND child = GetWindow(outer->Handle(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        EXPECT_GT(id, 0);
        EXPECT_LE(id, 0xFFFF);
        EXPECT_EQ(GetDlgItem(outer->Handle(), id), child) << "identifier " << id << " is unique";
        ids.push_back(id);
    }
    EXPECT_EQ(ids.size(), 301u);

    const intptr_t data = static_cast<intptr_t>(~uintptr_t{0} / 3);
    intptr_t received = 0;
    application.OnHelp = [&](uint16_t, intptr_t value, bool&) {
        received = value;
        return true;
    };
    EXPECT_TRUE(application.HelpCommand(15, data));
    EXPECT_EQ(received, data) << "help data is as wide as a pointer";
}

// ---- The dialog keyboard, on a form laid out like the setup dialog's options row

class RadioButton : public ui::TButton {
public:
    using ui::TButton::TButton;

protected:
    const char* ClassName() const override { return "TTestRadioButton"; }
    void CreateParams(ui::TCreateParams& params) override {
        ui::TButton::CreateParams(params);
        params.Style = (params.Style & ~0x0FUL) | BS_AUTORADIOBUTTON;
    }
    void SetDefaultStyle(bool) override {}
};

class MultiLineEdit : public ui::TEdit {
public:
    using ui::TEdit::TEdit;

protected:
    const char* ClassName() const override { return "TTestMultiLineEdit"; }
    void CreateParams(ui::TCreateParams& params) override {
        ui::TEdit::CreateParams(params);
        params.Style |= ES_MULTILINE;
    }
};

class OptionsRow : public ui::TForm {
public:
    explicit OptionsRow(base::TComponent* owner) : ui::TForm(owner) {
        SetClientSize(600, 260);
        auto* options = Panel(this, 0, 0, 600, 110);
        for (const auto& group : std::vector<std::vector<std::string>>{
                 {"&Every Time", "&Daily"}, {"Di&rectory", "&List"}, {"&Center", "&Stretch", "&Tile"}}) {
            auto* panel = Panel(options, 10 + 190 * static_cast<int>(groups.size()), 5, 180, 100);
            groups.emplace_back();
            for (const std::string& caption : group) {
                auto* radio = new RadioButton(this);
                radio->SetParent(panel);
                radio->SetCaption(caption);
                radio->SetBounds(5, 5 + 30 * static_cast<int>(groups.back().size()), 150, 24);
                radio->SetTabStop(groups.back().empty());
                radio->OnClick = [this, caption] { clicks.push_back(caption); };
                groups.back().push_back(radio);
            }
        }
        auto* dirPanel = Panel(this, 0, 110, 600, 60);
        field = new MultiLineEdit(this);
        field->SetParent(dirPanel);
        field->SetBounds(10, 10, 300, 26);
        fieldPanel = dirPanel;
        auto* savePanel = Panel(this, 0, 170, 600, 60);
        save = NewButton(savePanel, "Save", 100, 10);
        save->SetDefault(true);
        save->OnClick = [this] { clicks.push_back("save"); };
        cancel = NewButton(savePanel, "Cancel", 200, 10);
        cancel->SetCancel(true);
        cancel->OnClick = [this] { clicks.push_back("cancel"); };
    }

    std::vector<std::vector<RadioButton*>> groups;
    MultiLineEdit* field;
    ui::TPanel* fieldPanel;
    ui::TButton* save;
    ui::TButton* cancel;
    std::vector<std::string> clicks;

protected:
    const char* ClassName() const override { return "TOptionsRow"; }

private:
    ui::TPanel* Panel(ui::TWinControl* parent, int left, int top, int width, int height) {
        auto* panel = new ui::TPanel(this);
        panel->SetParent(parent);
        panel->SetBounds(left, top, width, height);
        return panel;
    }
};

struct Keyboard : ::testing::Test {
    Keyboard() : form(ui::MakeForm<OptionsRow>(&application)) {
        form->Show();
        Pump();
    }

    void Pump() { application.ProcessMessages(); }

    // A key typed into the focused window, Shift held or not.
    void Key(WPARAM key, bool shift = false) {
        testing_support::TypeKey(key, shift ? std::initializer_list<int>{VK_SHIFT} : std::initializer_list<int>{});
    }

    HWND Focus(int group, int item) {
        return form->groups[static_cast<size_t>(group)][static_cast<size_t>(item)]->Handle();
    }

    ui::TApplication application;
    base::Owned<OptionsRow> form;
};

TEST_F(Keyboard, TabAndShiftTabVisitTheTabStopsInOrderAndWrap) {
    form->groups[0][0]->SetFocus();
    std::vector<HWND> visited;
    for (int i = 0; i < 6; ++i) {
        Key(VK_TAB);
        visited.push_back(GetFocus());
    }
    EXPECT_EQ(visited, (std::vector<HWND>{Focus(1, 0), Focus(2, 0), form->field->Handle(), form->save->Handle(),
                                          form->cancel->Handle(), Focus(0, 0)}));
    Key(VK_TAB, true);
    EXPECT_EQ(GetFocus(), form->cancel->Handle());
}

TEST_F(Keyboard, ArrowsMoveWithinAGroupAndKeysReachTheirButtons) {
    form->groups[2][0]->SetFocus();
    Key(VK_DOWN);
    EXPECT_EQ(GetFocus(), Focus(2, 1));
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(GetFocus(), Focus(2, 0)) << "the arrows wrap inside the group";
    Key(VK_UP);
    EXPECT_EQ(GetFocus(), Focus(2, 2));

    PostAltChar(GetFocus(), 'd');
    Pump();
    Key(VK_RETURN);
    Key(VK_ESCAPE);
    EXPECT_EQ(form->clicks, (std::vector<std::string>{"&Daily", "save", "cancel"}));
}

TEST_F(Keyboard, TabAndEscapeLeaveAMultiLineFieldOnAPanel) {
    form->field->SetFocus();
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), form->save->Handle());
    form->field->SetFocus();
    Key(VK_TAB, true);
    EXPECT_EQ(GetFocus(), Focus(2, 0));
    form->field->SetFocus();
    Key(VK_ESCAPE);
    Pump();
    EXPECT_EQ(form->clicks, std::vector<std::string>{"cancel"});
    EXPECT_TRUE(IsWindow(form->fieldPanel->Handle()));
    EXPECT_TRUE(IsWindow(form->field->Handle())) << "the field's panel kept it";
}

VOID CALLBACK PressOkOfTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowA("#32770", "Question");
    if (box == nullptr) return;
    KillTimer(nullptr, timer);
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

TEST_F(Keyboard, TheFocusComesBackAfterAMessageBox) {
    form->field->SetFocus();
    Pump();
    SetTimer(nullptr, 0, 50, &PressOkOfTheBox);
    MessageBoxA(form->Handle(), "Go on?", "Question", MB_OK);
    Pump();
    EXPECT_EQ(GetFocus(), form->field->Handle());
}

}  // namespace
