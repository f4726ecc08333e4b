#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/Keys.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace {

class DialogForm : public ui::TForm {
public:
    explicit DialogForm(base::TComponent* owner) : ui::TForm(owner) {
        SetPosition(ui::poScreenCenter);
        SetClientSize(400, 200);
        label = new ui::TLabel(this);
        label->SetParent(this);
        label->SetCaption("&Filename:");
        name = new ui::TEdit(this);
        name->SetParent(this);
        name->SetBounds(80, 10, 200, 24);
        label->SetFocusControl(name);
        panel = new ui::TPanel(this);
        panel->SetParent(this);
        panel->SetBounds(10, 40, 300, 60);
        inner = new ui::TEdit(this);
        inner->SetParent(panel);
        inner->SetBounds(10, 10, 100, 24);
        ok = new ui::TButton(this);
        ok->SetParent(this);
        ok->SetCaption("&OK");
        ok->SetBounds(100, 150, 80, 30);
        ok->SetDefault(true);
        ok->SetModalResult(ui::mrOk);
        cancel = new ui::TButton(this);
        cancel->SetParent(this);
        cancel->SetCaption("&Cancel");
        cancel->SetBounds(200, 150, 80, 30);
        cancel->SetCancel(true);
        cancel->SetModalResult(ui::mrCancel);
        ok->OnClick = [this] { clicks.push_back("ok"); };
        cancel->OnClick = [this] { clicks.push_back("cancel"); };
    }

    ui::TLabel* label;
    ui::TEdit* name;
    ui::TPanel* panel;
    ui::TEdit* inner;
    ui::TButton* ok;
    ui::TButton* cancel;
    std::vector<std::string> clicks;

protected:
    const char* ClassName() const override { return "TDialogForm"; }
};

bool IsDefaultStyle(ui::TButton* button) {
    return (GetWindowLongA(button->Handle(), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
}

struct Dialog : ::testing::Test {
    Dialog() {
        form = new DialogForm(&application);
        form->Show();
        Pump();
    }

    void Pump() { application.ProcessMessages(); }

    // A key typed into the focused window, Shift held or not.
    void Key(WPARAM key, bool shift = false) {
        testing_support::TypeKey(key, shift ? std::initializer_list<int>{VK_SHIFT} : std::initializer_list<int>{});
    }

    void AltChar(char c) {
        PostMessageA(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(c), 1 << 29);
        Pump();
    }

    ui::TApplication application;
    DialogForm* form;
};

TEST_F(Dialog, TabVisitsTabStopsInOrderThroughContainersAndBack) {
    form->name->SetFocus();
    std::vector<HWND> visited;
    for (int i = 0; i < 4; ++i) {
        Key(VK_TAB);
        visited.push_back(GetFocus());
    }
    EXPECT_EQ(visited, (std::vector<HWND>{form->inner->Handle(), form->ok->Handle(), form->cancel->Handle(),
                                          form->name->Handle()}));
    Key(VK_TAB, true);
    EXPECT_EQ(GetFocus(), form->cancel->Handle());
    form->cancel->SetTabOrder(0);
    form->name->SetFocus();
    Key(VK_TAB, true);
    EXPECT_EQ(GetFocus(), form->cancel->Handle()) << "the cancel button now comes first";
}

TEST_F(Dialog, DefaultFrameFollowsTheFocus) {
    form->name->SetFocus();
    Pump();
    EXPECT_TRUE(IsDefaultStyle(form->ok)) << "Enter presses the Default button from an edit field";
    EXPECT_FALSE(IsDefaultStyle(form->cancel));
    form->cancel->SetFocus();
    Pump();
    EXPECT_TRUE(IsDefaultStyle(form->cancel)) << "a focused button is the one Enter presses";
    EXPECT_FALSE(IsDefaultStyle(form->ok));
    form->inner->SetFocus();
    Pump();
    EXPECT_TRUE(IsDefaultStyle(form->ok));
    EXPECT_FALSE(IsDefaultStyle(form->cancel));
}

TEST_F(Dialog, EnterAndEscapePressTheActiveAndTheCancelButton) {
    form->name->SetFocus();
    Key(VK_RETURN);
    Key(VK_ESCAPE);
    form->cancel->SetFocus();
    Key(VK_RETURN);
    EXPECT_EQ(form->clicks, (std::vector<std::string>{"ok", "cancel", "cancel"}));
}

TEST_F(Dialog, AcceleratorsFocusALabelsControlOrPressAButton) {
    form->inner->SetFocus();
    AltChar('f');
    EXPECT_EQ(GetFocus(), form->name->Handle());
    AltChar('O');
    EXPECT_EQ(form->clicks, (std::vector<std::string>{"ok"}));
    form->label->SetShowAccelChar(false);
    form->inner->SetFocus();
    AltChar('f');
    EXPECT_EQ(GetFocus(), form->inner->Handle());
}

TEST_F(Dialog, ModalLoopEndsWithTheButtonsResultOrCancelOnClose) {
    auto* owner = new ui::TForm(&application);
    owner->Show();
    form->Hide();
    bool ownerDisabled = false;
    form->OnActivate = [&] {
        ownerDisabled = !IsWindowEnabled(owner->Handle());
        PostMessageA(form->ok->Handle(), BM_CLICK, 0, 0);
    };
    EXPECT_EQ(form->ShowModal(), ui::mrOk);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    form->OnActivate = [&] { PostMessageA(form->Handle(), WM_CLOSE, 0, 0); };
    EXPECT_EQ(form->ShowModal(), ui::mrCancel);
    EXPECT_EQ(form->clicks, (std::vector<std::string>{"ok"}));

    // A close sent from another thread, as another program would send it, is handled inside the loop's
    // wait for messages; the loop must still end, with nothing else coming to wake it.
    std::atomic<bool> ended{false};
    bool late = false;
    std::thread closer;
    form->OnActivate = [&] {
        if (closer.joinable()) return;
        closer = std::thread([&ended, &late, window = form->Handle()] {
            // Once the dialog has shown and has nothing left to do.
            Sleep(200);
            SendMessageA(window, WM_CLOSE, 0, 0);
            for (int waited = 0; !ended && waited < 1000; waited += 10) Sleep(10);
            late = !ended;
            if (late) PostMessageA(window, WM_NULL, 0, 0);
        });
    };
    EXPECT_EQ(form->ShowModal(), ui::mrCancel);
    ended = true;
    closer.join();
    EXPECT_FALSE(late);
}

TEST_F(Dialog, EditFieldKeepsItsCaseAndLength) {
    form->name->SetCharCase(ui::ecUpperCase);
    form->name->SetMaxLength(5);
    form->name->SetFocus();
    for (char c : std::string("abcdefg")) PostMessageA(form->name->Handle(), WM_CHAR, static_cast<WPARAM>(c), 1);
    Pump();
    EXPECT_EQ(form->name->Text(), "ABCDE");
    form->name->SetText("c:\\pics");
    EXPECT_EQ(form->name->Text(), "C:\\PICS");
}

TEST_F(Dialog, AFieldsTextLivesInItsWindowAndEverySetFiresOnChangeOnce) {
    ui::TEdit* field = form->inner;
    int changes = 0;
    field->OnChange = [&changes] { ++changes; };
    field->SetText("one");
    field->SetText("one");
    EXPECT_EQ(changes, 1);
    SendMessageA(field->Handle(), EM_SETSEL, 3, 3);
    PostMessageA(field->Handle(), WM_CHAR, 'x', 1);
    Pump();
    // Windows made anew, the field's own and with its parent's, keep what was typed.
    field->SetBorderStyle(ui::bsNone);
    form->panel->RecreateWnd();
    EXPECT_EQ(field->Text(), "onex");
    EXPECT_EQ(changes, 2);

    // Without a window the text waits for one.
    auto* later = new ui::TEdit(form);
    later->OnChange = [&changes] { ++changes; };
    later->SetText("waiting");
    EXPECT_EQ(changes, 3);
    later->SetParent(form);
    char shown[16] = {};
    GetWindowTextA(later->Handle(), shown, sizeof shown);
    EXPECT_STREQ(shown, "waiting");
}

TEST_F(Dialog, AFieldSelectsAllOnFocusButNotForAClickAndItsHeightFollowsTheFont) {
    const auto selection = [this] { return SendMessageA(form->name->Handle(), EM_GETSEL, 0, 0); };
    form->name->SetText("select me");
    form->inner->SetFocus();
    form->name->SetFocus();
    EXPECT_EQ(selection(), MAKELONG(0, 9));
    form->inner->SetFocus();
    PostMessageA(form->name->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 5));
    PostMessageA(form->name->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 5));
    Pump();
    EXPECT_EQ(GetFocus(), form->name->Handle());
    EXPECT_EQ(LOWORD(selection()), HIWORD(selection())) << "a click places the caret";

    // One line of the font with the same room around it, whatever the font.
    const auto room = [this](int fontHeight) {
        form->name->Font().SetHeight(fontHeight);
        TEXTMETRICA metrics{};
        const ui::WindowDC screen(nullptr);
        const ui::SelectObjectScope font(screen.Get(), form->name->Font().Handle());
        GetTextMetricsA(screen.Get(), &metrics);
        return form->name->Height() - metrics.tmHeight;
    };
    form->name->Font().SetName("Comic Sans MS");
    EXPECT_EQ(room(-30), room(-12));
}

// A button that paints itself: its parent's owner-draw notification must come back to it.
class OwnerDrawnButton : public ui::TButton {
public:
    explicit OwnerDrawnButton(base::TComponent* owner) : ui::TButton(owner) { SetHoverEvents(true); }
    int paints = 0;
    std::vector<std::string> hover;

protected:
    void CreateParams(ui::TCreateParams& params) override {
        ui::TButton::CreateParams(params);
        params.Style = (params.Style & ~0x0FUL) | BS_OWNERDRAW;
    }
    void WndProc(ui::TMessage& message) override {
        if (message.Msg == ui::CN_DRAWITEM) {
            ++paints;
            message.Result = TRUE;
            return;
        }
        ui::TButton::WndProc(message);
    }
    void MouseEnter() override { hover.push_back("enter"); }
    void MouseLeave() override { hover.push_back("leave"); }
};

// A spot on its parent's surface that reacts to the mouse.
class HoverSpot : public ui::TGraphicControl {
public:
    explicit HoverSpot(base::TComponent* owner) : ui::TGraphicControl(owner) { SetHoverEvents(true); }
};

// The window whose leaving the system watches for, if any.
HWND TrackedWindow() {
    TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
    TrackMouseEvent(&query);
    return (query.dwFlags & TME_LEAVE) != 0 ? query.hwndTrack : nullptr;
}

TEST_F(Dialog, OwnerDrawReachesTheButtonAndTheMouseIsTracked) {
    auto* button = new OwnerDrawnButton(form);
    button->SetParent(form);
    button->SetBounds(300, 10, 80, 30);
    UpdateWindow(button->Handle());
    Pump();
    EXPECT_GT(button->paints, 0);
    SendMessageA(button->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(button->MouseInside());
    SendMessageA(button->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));
    SendMessageA(button->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button->MouseInside());
    EXPECT_EQ(button->hover, (std::vector<std::string>{"enter", "leave"}));

    // A control without a window learns of the mouse through its parent, if it reacts to it; over
    // nothing that reacts, the parent leaves the system nothing to watch.
    HWND window = form->Handle();
    POINT pointer{};
    GetCursorPos(&pointer);
    const auto moveOver = [this, window](const RECT& bounds) {
        POINT point{bounds.left + 1, bounds.top + 1};
        ClientToScreen(window, &point);
        SetCursorPos(point.x, point.y);
        // The system watches the mouse leave a window only while the pointer is over it, and Wine moves the
        // pointer through the X server: wait until the move has arrived.
        POINT now{};
        for (int wait = 0; wait < 300 && !(GetCursorPos(&now) && now.x == point.x && now.y == point.y &&
                                           WindowFromPoint(now) == window);
             ++wait) {
            Sleep(10);
            Pump();
        }
        ASSERT_EQ(WindowFromPoint(point), window);
        SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(bounds.left + 1, bounds.top + 1));
    };
    moveOver(form->label->BoundsRect());
    EXPECT_FALSE(form->label->MouseInside());
    EXPECT_NE(TrackedWindow(), window);
    auto* spot = new HoverSpot(form);
    spot->SetParent(form);
    spot->SetBounds(320, 40, 40, 40);
    moveOver(spot->BoundsRect());
    EXPECT_TRUE(spot->MouseInside());
    EXPECT_EQ(TrackedWindow(), window);
    moveOver(form->label->BoundsRect());
    EXPECT_FALSE(spot->MouseInside());
    moveOver(spot->BoundsRect());
    SendMessageA(window, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(spot->MouseInside());
    SetCursorPos(pointer.x, pointer.y);
}

}  // namespace
