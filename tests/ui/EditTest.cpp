// The layer's edit field and speed button.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>

#include "ui/Buttons.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace {

class MultiLineField : public ui::TEdit {
public:
    using ui::TEdit::TEdit;

protected:
    const char* ClassName() const override { return "TTestMultiLineField"; }
    void CreateParams(ui::TCreateParams& params) override {
        ui::TEdit::CreateParams(params);
        params.Style |= ES_MULTILINE;
    }
};

struct Fields : ::testing::Test {
    Fields() : form(ui::MakeForm<ui::TForm>(&application)) {
        form->SetClientSize(400, 200);
        form->Show();
        Pump();
    }

    template <typename Field = ui::TEdit>
    Field* NewField(ui::TWinControl* parent, int top) {
        auto* field = new Field(form.get());
        field->SetParent(parent);
        field->SetBounds(10, top, 200, 24);
        return field;
    }

    void Pump() { application.ProcessMessages(); }

    void Type(ui::TWinControl* field, const std::string& text) {
        for (char c : text) PostMessageA(field->Handle(), WM_CHAR, static_cast<WPARAM>(c), 1);
        Pump();
    }

    static DWORD Selection(ui::TWinControl* field) {
        return static_cast<DWORD>(SendMessageA(field->Handle(), EM_GETSEL, 0, 0));
    }

    ui::TApplication application;
    ui::Owned<ui::TForm> form;
};

TEST_F(Fields, TheTextLivesInTheWindowAndEverySetFiresOnChangeOnce) {
    auto* panel = new ui::TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 400, 100);
    ui::TEdit* fields[] = {NewField(panel, 10), NewField<MultiLineField>(panel, 40)};
    for (ui::TEdit* field : fields) {
        int changes = 0;
        field->OnChange = [&changes] { ++changes; };
        field->SetText("one");
        field->SetText("one");
        EXPECT_EQ(changes, 1);
        SendMessageA(field->Handle(), EM_SETSEL, 3, 3);
        Type(field, "x");
        EXPECT_EQ(changes, 2);

        // Windows made anew, the field's own and with its parent's, keep what was typed.
        field->SetBorderStyle(ui::bsNone);
        EXPECT_EQ(GetWindowLongPtrA(field->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
        field->SetCharCase(ui::ecUpperCase);
        panel->RecreateWnd();
        EXPECT_EQ(field->Text(), "ONEX");
        EXPECT_EQ(changes, 2);
    }

    // Without a window the text waits for one.
    auto* later = new ui::TEdit(form.get());
    int changes = 0;
    later->OnChange = [&changes] { ++changes; };
    later->SetText("waiting");
    EXPECT_EQ(changes, 1);
    later->SetParent(form.get());
    char shown[16] = {};
    GetWindowTextA(later->Handle(), shown, sizeof shown);
    EXPECT_STREQ(shown, "waiting");
}

TEST_F(Fields, AutoSelectSelectsAllOnFocusButNotForAClickAndAutoSizeFollowsTheFont) {
    auto* field = NewField(form.get(), 10);
    auto* other = NewField(form.get(), 60);
    field->SetText("select me");
    other->SetFocus();
    field->SetFocus();
    EXPECT_EQ(Selection(field), MAKELONG(0, 9));

    other->SetFocus();
    PostMessageA(field->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 5));
    PostMessageA(field->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 5));
    Pump();
    EXPECT_EQ(GetFocus(), field->Handle());
    EXPECT_EQ(LOWORD(Selection(field)), HIWORD(Selection(field))) << "a click places the caret";

    field->SetAutoSelect(false);
    SendMessageA(field->Handle(), EM_SETSEL, 2, 2);
    other->SetFocus();
    field->SetFocus();
    EXPECT_EQ(Selection(field), MAKELONG(2, 2));

    // One line of the font and the same room around it, whatever the font.
    const auto lineHeight = [field] {
        TEXTMETRICA metrics{};
        const ui::WindowDC screen(nullptr);
        const ui::SelectObjectScope font(screen.Get(), field->Font().Handle());
        GetTextMetricsA(screen.Get(), &metrics);
        return static_cast<int>(metrics.tmHeight);
    };
    field->Font().SetName("Comic Sans MS");
    field->Font().SetHeight(-12);
    const int small = field->Height();
    const int room = small - lineHeight();
    field->Font().SetHeight(-30);
    EXPECT_EQ(field->Height() - lineHeight(), room);
    EXPECT_GT(field->Height(), small);
    const int large = field->Height();
    field->SetAutoSize(false);
    field->Font().SetHeight(-12);
    EXPECT_EQ(field->Height(), large);
}

// The speed button's face, as it paints it.
COLORREF PixelOf(ui::TSpeedButton& button, int x, int y) {
    ui::TBitmap picture;
    picture.SetSize(button.Width(), button.Height());
    SendMessageA(button.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture.Canvas().Handle()), PRF_CLIENT);
    return GetPixel(picture.Canvas().Handle(), x, y);
}

TEST_F(Fields, TheSpeedButtonLooksPressedWhileHeldClicksOnReleaseInsideAndLeavesTheFocus) {
    auto* field = NewField(form.get(), 10);
    auto* button = new ui::TSpeedButton(form.get());
    button->SetParent(form.get());
    button->SetBounds(250, 10, 30, 30);
    int clicks = 0;
    button->OnClick = [&clicks] { ++clicks; };
    field->SetFocus();
    HWND window = button->Handle();
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Pump();
    EXPECT_TRUE(button->Pressed());
    PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 5));
    Pump();
    EXPECT_FALSE(button->Pressed()) << "the mouse went off it";
    PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6, 5));
    Pump();
    EXPECT_TRUE(button->Pressed());
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(60, 5));
    Pump();
    EXPECT_EQ(clicks, 0) << "released elsewhere";
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(GetFocus(), field->Handle());

    // A strip of two images: up (red) and disabled (blue), on a ground that lets the face through.
    constexpr COLORREF kGround = RGB(0, 128, 128), kUp = RGB(255, 0, 0), kDisabled = RGB(0, 0, 255);
    ui::TBitmap strip;
    strip.SetSize(20, 10);
    ui::TCanvas& canvas = strip.Canvas();
    for (const auto& [area, colour] :
         {std::pair<RECT, COLORREF>{{0, 0, 20, 10}, kGround}, {{2, 2, 8, 8}, kUp}, {{12, 2, 18, 8}, kDisabled}}) {
        canvas.Brush().SetColor(colour);
        canvas.FillRect(area);
    }
    button->SetGlyph(strip);
    button->SetNumGlyphs(2);
    // The image's top-left corner at the face's centre less half the image, a pixel further when pressed.
    EXPECT_EQ(PixelOf(*button, 10 + 4, 10 + 4), kUp);
    EXPECT_EQ(PixelOf(*button, 10 + 1, 10 + 4), GetSysColor(COLOR_BTNFACE));
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(PixelOf(*button, 10 + 2, 10 + 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PixelOf(*button, 10 + 3, 10 + 3), kUp);
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(60, 5));
    button->SetEnabled(false);
    EXPECT_EQ(PixelOf(*button, 10 + 4, 10 + 4), kDisabled);
    // Without an image of its own, the disabled button shows the up image's shape engraved.
    button->SetNumGlyphs(1);
    EXPECT_EQ(PixelOf(*button, 5 + 2, 10 + 2), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(PixelOf(*button, 5 + 8, 10 + 8), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(clicks, 1);
}

}  // namespace
