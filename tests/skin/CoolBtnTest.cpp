#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SkinTesting.h"
#include "skin/CoolBtn.h"
#include "support/GdiBudget.h"
#include "ui/Forms.h"
#include "ui/ImgList.h"
#include "ui/StdCtrls.h"

namespace {

using skintest::DibPixels;
using skintest::Hex;
using skintest::MakeFilled;
using skintest::PatternColor;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kGround = RGB(30, 120, 60);
constexpr int kWidth = 109;
constexpr int kHeight = 33;

// The system colours a button's frames are made of, each set to a value no picture of these tests uses,
// so that every line can be told by its colour; the old ones come back at the end.
class FrameColours {
public:
    static constexpr COLORREF kFace = RGB(201, 190, 179);
    static constexpr COLORREF kShadow = RGB(91, 72, 63);
    static constexpr COLORREF kHighlight = RGB(250, 240, 230);
    static constexpr COLORREF kLight = RGB(223, 212, 150);
    static constexpr COLORREF kDark = RGB(41, 32, 90);
    static constexpr COLORREF kFrame = RGB(12, 70, 140);

    FrameColours() {
        for (int i = 0; i < kCount; ++i) saved_[i] = GetSysColor(kIndexes[i]);
        const COLORREF values[kCount] = {kFace, kShadow, kHighlight, kLight, kDark, kFrame};
        SetSysColors(kCount, kIndexes, values);
    }
    ~FrameColours() { SetSysColors(kCount, kIndexes, saved_); }
    FrameColours(const FrameColours&) = delete;
    FrameColours& operator=(const FrameColours&) = delete;

private:
    static constexpr int kCount = 6;
    static constexpr INT kIndexes[kCount] = {COLOR_BTNFACE, COLOR_BTNSHADOW,  COLOR_BTNHIGHLIGHT,
                                             COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_WINDOWFRAME};
    COLORREF saved_[kCount] = {};
};

// The test glyph: black strokes on a green ground, whose bottom-left pixel (the ground) is see-through.
bool GlyphInk(int x, int y) {
    return x >= 0 && y >= 0 && x < 24 && y < 24 && ((x == y && x < 20) || (x >= 14 && x < 18 && y >= 3 && y < 12));
}

void MakeGlyph(ui::TBitmap& bitmap) {
    MakeFilled(bitmap, 24, 24, RGB(30, 160, 90));
    DibPixels pixels(bitmap);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            if (GlyphInk(x, y)) pixels.Set(x, y, RGB(0, 0, 0));
}

// What the button paints, as the platform asks it to for its current state, on a magenta picture.
void Capture(skin::TCoolBtn& button, ui::TBitmap& picture) {
    MakeFilled(picture, button.Width(), button.Height(), kMagenta);
    SendMessageA(button.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture.Canvas().Handle()), PRF_CLIENT);
}

// A button whose messages can be counted.
class CountingBtn : public skin::TCoolBtn {
public:
    using skin::TCoolBtn::TCoolBtn;
    int creations = 0;
    int colourChanges = 0;

    void WndProc(ui::TMessage& message) override {
        if (message.Msg == WM_NCCREATE) ++creations;
        if (message.Msg == ui::CM_COLORCHANGED) ++colourChanges;
        skin::TCoolBtn::WndProc(message);
    }
};

// A form of the plain ground colour, shown, with the buttons of a test on it.
class CoolButton : public ::testing::Test {
protected:
    CoolButton() {
        form = new ui::TForm(&application);
        form->SetClientSize(320, 200);
        form->SetColor(kGround);
        form->Show();
        Pump();
    }

    // A button as every window of the program has it.
    template <typename Button = skin::TCoolBtn>
    Button* ProgramButton(int left, int top, const std::string& caption, ui::TWinControl* parent = nullptr) {
        auto* button = new Button(form);
        button->SetParent(parent != nullptr ? parent : form);
        button->SetBounds(left, top, kWidth, kHeight);
        button->SetCaption(caption);
        ui::TBitmap glyph;
        MakeGlyph(glyph);
        button->SetGlyph(&glyph);
        button->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently});
        button->SetShadowSize(0);
        return button;
    }

    // A button with nothing on it but its background and frame.
    skin::TCoolBtn* BareButton(skin::TCoolOptions options) {
        auto* button = new skin::TCoolBtn(form);
        button->SetParent(form);
        button->SetBounds(20, 20, kWidth, kHeight);
        button->SetOptions(options);
        return button;
    }

    void Pump() { application.ProcessMessages(); }

    // Types a key into the focused window and lets the form handle it.
    void Key(WPARAM key) {
        PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
        Pump();
    }

    static bool NeedsPaint(ui::TWinControl& control) { return GetUpdateRect(control.Handle(), nullptr, FALSE) != 0; }
    static void MarkPainted(ui::TWinControl& control) { ValidateRect(control.Handle(), nullptr); }

    FrameColours colours;
    ui::TApplication application;
    ui::TForm* form;
};

// Where the glyph and the caption of a left-glyph button with margin -1 and spacing 4 belong, from the
// caption's measured size, and the caption's ink drawn there in the button's font.
struct CaptionLayout {
    POINT glyph;
    RECT text;
    std::vector<bool> ink;
    int width;

    CaptionLayout(skin::TCoolBtn& button, int buttonWidth, int height) : width(buttonWidth) {
        ui::TBitmap reference;
        MakeFilled(reference, width, height, RGB(255, 255, 255));
        ui::TCanvas& canvas = reference.Canvas();
        canvas.Font().Assign(button.Font());
        canvas.Font().SetColor(ui::clBlack);
        canvas.Brush().SetStyle(ui::TBrushStyle::Clear);
        RECT size{0, 0, width, 0};
        canvas.DrawText(button.Caption(), size, DT_CALCRECT);
        const int margin = (width - (24 + 4 + size.right) + 1) / 2;
        glyph = POINT{margin, (height - 24 + 1) / 2};
        text.left = margin + 24 + 4;
        text.top = (height - size.bottom + 1) / 2;
        text.right = text.left + size.right;
        text.bottom = text.top + size.bottom;
        RECT at = text;
        canvas.DrawText(button.Caption(), at, DT_CENTER);
        DibPixels pixels(reference);
        ink.assign(static_cast<size_t>(width * height), false);
        int smoothed = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const COLORREF c = pixels.At(x, y);
                ink[static_cast<size_t>(y * width + x)] = c == RGB(0, 0, 0);
                smoothed += c != RGB(0, 0, 0) && c != RGB(255, 255, 255) ? 1 : 0;
            }
        }
        EXPECT_EQ(smoothed, 0) << "the exact pixel checks need a caption font drawn without smoothing";
    }

    bool Ink(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && static_cast<size_t>(y * width + x) < ink.size() &&
               ink[static_cast<size_t>(y * width + x)];
    }
};

// The lines of a raised edge (outer light and dark, inner highlight and shadow) around an inset.
void ExpectRaisedEdge(DibPixels& pixels, int inset, int width, int height, const char* what) {
    const int midX = width / 2, midY = height / 2;
    const int l = inset, t = inset, r = width - 1 - inset, b = height - 1 - inset;
    EXPECT_EQ(pixels.At(l, midY), FrameColours::kLight) << what;
    EXPECT_EQ(pixels.At(midX, t), FrameColours::kLight) << what;
    EXPECT_EQ(pixels.At(l + 1, midY), FrameColours::kHighlight) << what;
    EXPECT_EQ(pixels.At(midX, t + 1), FrameColours::kHighlight) << what;
    EXPECT_EQ(pixels.At(r, midY), FrameColours::kDark) << what;
    EXPECT_EQ(pixels.At(midX, b), FrameColours::kDark) << what;
    EXPECT_EQ(pixels.At(r - 1, midY), FrameColours::kShadow) << what;
    EXPECT_EQ(pixels.At(midX, b - 1), FrameColours::kShadow) << what;
}

// The four sides of a rectangle at a distance from the button's border show the colour.
void ExpectRing(DibPixels& pixels, int inset, int width, int height, COLORREF colour, const char* what) {
    const int midX = width / 2, midY = height / 2;
    EXPECT_EQ(Hex(pixels.At(inset, midY)), Hex(colour)) << what << ": left";
    EXPECT_EQ(Hex(pixels.At(midX, inset)), Hex(colour)) << what << ": top";
    EXPECT_EQ(Hex(pixels.At(width - 1 - inset, midY)), Hex(colour)) << what << ": right";
    EXPECT_EQ(Hex(pixels.At(midX, height - 1 - inset)), Hex(colour)) << what << ": bottom";
}

TEST_F(CoolButton, IsAnOwnerDrawnPushButtonThatKeepsItsStyleAndAnswersTheMeasure) {
    auto* edit = new ui::TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 150, 100, 24);
    auto* ok = ProgramButton(10, 10, "&OK");
    ok->SetDefault(true);
    ok->SetModalResult(ui::mrOk);
    int clicks = 0;
    ok->OnClick = [&clicks] { ++clicks; };
    char name[32] = {};
    GetClassNameA(ok->Handle(), name, sizeof name);
    EXPECT_STREQ(name, "TCoolBtn");
    EXPECT_TRUE(skin::IsCoolControl(ok));

    edit->SetFocus();
    Pump();
    EXPECT_TRUE(ok->DefaultActive());
    ok->SetFocus();
    Pump();
    EXPECT_EQ(GetWindowLongA(ok->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW)
        << "becoming the default must not turn the button into a native default button";

    // Enter presses the active default from the edit field, as for any push button.
    edit->SetFocus();
    Pump();
    Key(VK_RETURN);
    EXPECT_EQ(clicks, 1);

    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_BUTTON;
    measure.CtlID = static_cast<UINT>(GetDlgCtrlID(ok->Handle()));
    EXPECT_TRUE(SendMessageA(form->Handle(), WM_MEASUREITEM, measure.CtlID, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_EQ(measure.itemWidth, static_cast<UINT>(kWidth));
    EXPECT_EQ(measure.itemHeight, static_cast<UINT>(kHeight));

    // An owner-drawn button takes a quick second click for a double click; this one presses twice.
    clicks = 0;
    const LPARAM at = MAKELPARAM(20, 10);
    SendMessageA(ok->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(ok->Handle(), WM_LBUTTONUP, 0, at);
    SendMessageA(ok->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(ok->Handle(), WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(clicks, 2);
}

TEST_F(CoolButton, ADisabledProgramButtonShowsItsGlyphAndCaptionEngraved) {
    auto* button = ProgramButton(10, 10, "&Save");
    button->SetEnabled(false);
    ui::TBitmap picture;
    Capture(*button, picture);
    DibPixels pixels(picture);
    const CaptionLayout layout(*button, kWidth, kHeight);

    ExpectRaisedEdge(pixels, 0, kWidth, kHeight, "the raised edge");
    int wrong = 0, shadow = 0, highlight = 0;
    for (int y = 2; y < kHeight - 2; ++y) {
        for (int x = 2; x < kWidth - 2; ++x) {
            const int gx = x - layout.glyph.x, gy = y - layout.glyph.y;
            COLORREF expected = kGround;
            if (GlyphInk(gx, gy) || layout.Ink(x, y))
                expected = FrameColours::kShadow;
            else if (GlyphInk(gx - 1, gy - 1) || layout.Ink(x - 1, y - 1))
                expected = FrameColours::kHighlight;
            shadow += expected == FrameColours::kShadow ? 1 : 0;
            highlight += expected == FrameColours::kHighlight ? 1 : 0;
            if (pixels.At(x, y) != expected && ++wrong <= 5)
                ADD_FAILURE() << x << "," << y << ": " << Hex(pixels.At(x, y)) << " instead of " << Hex(expected);
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(shadow, 40);
    EXPECT_GT(highlight, 40);
}

TEST_F(CoolButton, PressingMovesGlyphAndCaptionAndSinksTheEdgeToOnePixel) {
    auto* button = ProgramButton(10, 10, "&Refresh");
    ui::TBitmap up, down;
    Capture(*button, up);
    SendMessageA(button->Handle(), BM_SETSTATE, TRUE, 0);
    Capture(*button, down);
    SendMessageA(button->Handle(), BM_SETSTATE, FALSE, 0);
    DibPixels released(up), pressed(down);

    ExpectRaisedEdge(released, 0, kWidth, kHeight, "released");
    // A sunken inner edge is dark at the top and left, light at the bottom and right, and one pixel wide.
    const int midX = kWidth / 2, midY = kHeight / 2;
    EXPECT_EQ(pressed.At(0, midY), FrameColours::kDark);
    EXPECT_EQ(pressed.At(midX, 0), FrameColours::kDark);
    EXPECT_EQ(pressed.At(kWidth - 1, midY), FrameColours::kLight);
    EXPECT_EQ(pressed.At(midX, kHeight - 1), FrameColours::kLight);
    ExpectRing(pressed, 1, kWidth, kHeight, kGround, "inside the sunken edge");

    int content = 0, wrong = 0;
    for (int y = 2; y < kHeight - 3; ++y) {
        for (int x = 2; x < kWidth - 3; ++x) {
            content += released.At(x, y) != kGround ? 1 : 0;
            if (pressed.At(x + 1, y + 1) != released.At(x, y) && ++wrong <= 5)
                ADD_FAILURE() << x << "," << y << " moved: " << Hex(pressed.At(x + 1, y + 1)) << " instead of "
                              << Hex(released.At(x, y));
        }
    }
    EXPECT_GT(content, 80) << "glyph and caption were drawn";
    EXPECT_EQ(wrong, 0);
}

TEST_F(CoolButton, AFlatBorderShowsOnlyWhileTheMouseIsOverTheButton) {
    auto* button = ProgramButton(10, 10, "&Help");
    button->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently, skin::ocFlatBorder});
    std::vector<std::string> events;
    button->OnMouseEnter = [&events] { events.push_back("enter"); };
    button->OnMouseLeave = [&events] { events.push_back("leave"); };
    ui::TBitmap picture;

    Capture(*button, picture);
    {
        DibPixels pixels(picture);
        ExpectRing(pixels, 0, kWidth, kHeight, kGround, "before the mouse came");
        ExpectRing(pixels, 1, kWidth, kHeight, kGround, "before the mouse came");
    }
    MarkPainted(*button);
    SendMessageA(button->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(NeedsPaint(*button)) << "the mouse coming repaints a flat button";
    Capture(*button, picture);
    {
        DibPixels pixels(picture);
        ExpectRaisedEdge(pixels, 0, kWidth, kHeight, "with the mouse over it");
    }
    MarkPainted(*button);
    SendMessageA(button->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(NeedsPaint(*button));
    Capture(*button, picture);
    {
        DibPixels pixels(picture);
        ExpectRing(pixels, 0, kWidth, kHeight, kGround, "after the mouse left");
        ExpectRing(pixels, 1, kWidth, kHeight, kGround, "after the mouse left");
    }
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));

    // A button with a permanent frame does not repaint for the mouse, but still tells of it.
    button->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently});
    Pump();
    MarkPainted(*button);
    SendMessageA(button->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    EXPECT_FALSE(NeedsPaint(*button));
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(CoolButton, TabbingMovesTheDefaultFrameAndTheFocusRectangle) {
    auto* edit = new ui::TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 150, 100, 24);
    auto* ok = ProgramButton(10, 10, "&OK");
    ok->SetDefault(true);
    auto* cancel = ProgramButton(130, 10, "&Cancel");
    cancel->SetCancel(true);

    const auto framed = [](skin::TCoolBtn* button) {
        ui::TBitmap picture;
        Capture(*button, picture);
        DibPixels pixels(picture);
        const bool frame = pixels.At(0, kHeight / 2) == FrameColours::kFrame &&
                           pixels.At(kWidth / 2, kHeight - 1) == FrameColours::kFrame;
        const bool edgeInside = pixels.At(1, kHeight / 2) == FrameColours::kLight;
        EXPECT_EQ(frame, edgeInside) << "the raised edge moves one pixel in inside the frame";
        return frame;
    };

    edit->SetFocus();
    Pump();
    EXPECT_TRUE(framed(ok)) << "from an edit field Enter presses the Default button";
    EXPECT_FALSE(framed(cancel));
    ui::TBitmap unfocused;
    Capture(*ok, unfocused);

    Key(VK_TAB);
    ASSERT_EQ(GetFocus(), ok->Handle());
    EXPECT_TRUE(framed(ok));
    EXPECT_FALSE(framed(cancel));
    // The focus rectangle is the only change, and it lies 4 pixels inside the client area.
    ui::TBitmap focused;
    Capture(*ok, focused);
    DibPixels before(unfocused), after(focused);
    const RECT mark{4, 4, kWidth - 4, kHeight - 4};
    int onMark = 0, elsewhere = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (before.At(x, y) == after.At(x, y)) continue;
            const bool border = x >= mark.left && x < mark.right && y >= mark.top && y < mark.bottom &&
                                (x == mark.left || x == mark.right - 1 || y == mark.top || y == mark.bottom - 1);
            (border ? onMark : elsewhere) += 1;
        }
    }
    const int perimeter = 2 * (mark.right - mark.left + mark.bottom - mark.top) - 4;
    EXPECT_EQ(elsewhere, 0);
    EXPECT_GE(onMark, perimeter / 3) << "a dotted rectangle";

    Key(VK_TAB);
    ASSERT_EQ(GetFocus(), cancel->Handle());
    EXPECT_FALSE(framed(ok)) << "a focused button is the one Enter presses";
    EXPECT_TRUE(framed(cancel));
    EXPECT_FALSE(ok->DefaultActive());
    EXPECT_TRUE(cancel->DefaultActive());

    Key(VK_TAB);
    ASSERT_EQ(GetFocus(), edit->Handle());
    EXPECT_TRUE(framed(ok)) << "back on the edit field the frame returns to the Default button";
    EXPECT_FALSE(framed(cancel));
    EXPECT_EQ(GetWindowLongA(ok->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(GetWindowLongA(cancel->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

    // Without the paint options neither frame nor mark is drawn.
    ok->SetBtnPaintOptions(skin::TBtnPaintOptions{});
    EXPECT_FALSE(framed(ok));
}

TEST(CoolButtonSkin, ATransparentButtonShowsTheFormsSkinAndOthersTheirOwnBackground) {
    FrameColours colours;
    skintest::SkinnedForm skinned(skin::TCoolOptions{skin::ocPaintWallpaper}, 300, 200);
    auto* button = new skin::TCoolBtn(skinned.form.get());
    button->SetParent(skinned.form.get());
    button->SetBounds(37, 23, kWidth, kHeight);
    ui::TBitmap picture;
    // Inside the raised edge, what the button shows at each point.
    const auto expectInside = [&](const std::function<COLORREF(int, int)>& expected, const char* what) {
        DibPixels pixels(picture);
        int wrong = 0;
        for (int y = 2; y < kHeight - 2; ++y)
            for (int x = 2; x < kWidth - 2; ++x)
                if (pixels.At(x, y) != expected(x, y) && ++wrong <= 3)
                    ADD_FAILURE() << what << " " << x << "," << y << ": " << Hex(pixels.At(x, y)) << " instead of "
                                  << Hex(expected(x, y));
        EXPECT_EQ(wrong, 0) << what;
    };
    const auto formSkin = [](int x, int y) { return PatternColor((37 + x) % 196, (23 + y) % 196); };
    const auto ownSkin = [](int x, int y) { return PatternColor(x % 196, y % 196); };

    button->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently});
    Capture(*button, picture);
    expectInside(formSkin, "transparent");
    MakeFilled(picture, kWidth, kHeight, kMagenta);
    SendMessageA(button->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(picture.Canvas().Handle()), 0);
    EXPECT_EQ(DibPixels(picture).At(0, 0), formSkin(0, 0)) << "the erase copies the parent too";

    button->SetOptions(skin::TCoolOptions{skin::ocPaintWallpaper});
    Capture(*button, picture);
    expectInside([](int, int) { return kMagenta; }, "a skin option without a skin leaves what was there");
    button->SetCoolImages(skinned.images);
    button->SetIdWallpaper(0);
    Capture(*button, picture);
    expectInside(ownSkin, "the skin tiled from the button's corner");
    button->SetOptions(skin::TCoolOptions{skin::ocPaintWallpaper, skin::ocPaintTransparently});
    Capture(*button, picture);
    expectInside(formSkin, "transparency comes first");

    button->SetOptions(skin::TCoolOptions{skin::ocPaintGradiently, skin::ocPaintWallpaper});
    Capture(*button, picture);
    expectInside(ownSkin, "the skin before the gradient");
    button->SetOptions(skin::TCoolOptions{skin::ocPaintGradiently});
    button->SetColorStart(RGB(250, 0, 0));
    button->SetColorEnd(RGB(0, 0, 250));
    Capture(*button, picture);
    {
        DibPixels pixels(picture);
        const COLORREF first = pixels.At(2, kHeight / 2), last = pixels.At(kWidth - 3, kHeight / 2);
        EXPECT_GT(GetRValue(first), 240);
        EXPECT_GT(GetBValue(last), 240);
        for (int x = 3; x < kWidth - 2; ++x)
            EXPECT_LE(GetRValue(pixels.At(x, kHeight / 2)), GetRValue(pixels.At(x - 1, kHeight / 2))) << x;
        EXPECT_EQ(pixels.At(40, 3), pixels.At(40, kHeight - 4)) << "horizontal bands are columns";
    }
    button->SetGradientDirection(skin::gdVertical);
    Capture(*button, picture);
    {
        DibPixels pixels(picture);
        EXPECT_GT(GetRValue(pixels.At(kWidth / 2, 2)), GetRValue(pixels.At(kWidth / 2, kHeight - 3)));
        EXPECT_EQ(pixels.At(3, 12), pixels.At(kWidth - 4, 12)) << "vertical bands are rows";
    }
    MakeFilled(picture, kWidth, kHeight, kMagenta);
    SendMessageA(button->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(picture.Canvas().Handle()), 0);
    EXPECT_GT(GetRValue(DibPixels(picture).At(5, 0)), 240) << "the erase paints the gradient too";

    button->SetOptions(skin::TCoolOptions{});
    button->SetColor(RGB(10, 200, 30));
    Capture(*button, picture);
    expectInside([](int, int) { return RGB(10, 200, 30); }, "its own colour");
}

TEST_F(CoolButton, PropertySettersFollowTheirRules) {
    auto* button = ProgramButton<CountingBtn>(10, 10, "&Add");

    button->SetNumGlyphs(3);
    EXPECT_EQ(button->NumGlyphs(), 2);
    button->SetNumGlyphs(0);
    EXPECT_EQ(button->NumGlyphs(), 2);
    button->SetNumGlyphs(1);
    EXPECT_EQ(button->NumGlyphs(), 1);

    EXPECT_EQ(button->Margin(), -1);
    button->SetMargin(5);
    button->SetMargin(-2);
    EXPECT_EQ(button->Margin(), 5);
    button->SetMargin(-1);
    EXPECT_EQ(button->Margin(), -1);

    button->SetSimpleView(true);
    button->SetShadowColor(button->ShadowColor());
    EXPECT_TRUE(button->SimpleView()) << "an unchanged value changes nothing";
    button->SetShadowColor(ui::clRed);
    EXPECT_FALSE(button->SimpleView());
    button->SetSimpleView(true);
    button->SetShadowSize(2);
    EXPECT_FALSE(button->SimpleView());
    button->SetSimpleView(true);
    button->SetShadowPos(skin::spRightBottom);
    EXPECT_FALSE(button->SimpleView());

    // Gradient colours matter only while the gradient is painted.
    Pump();
    MarkPainted(*button);
    button->SetColorStart(ui::clRed);
    button->SetGradientDirection(skin::gdVertical);
    EXPECT_FALSE(NeedsPaint(*button));
    button->SetOptions(skin::TCoolOptions{skin::ocPaintGradiently});
    Pump();
    MarkPainted(*button);
    button->SetColorEnd(ui::clBlue);
    EXPECT_TRUE(NeedsPaint(*button));

    // New options make the window anew and tell the button its colour changed.
    const int creations = button->creations, colourChanges = button->colourChanges;
    button->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently, skin::ocFlatBorder});
    EXPECT_EQ(button->creations, creations + 1);
    EXPECT_EQ(button->colourChanges, colourChanges + 1);
    button->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently, skin::ocFlatBorder});
    EXPECT_EQ(button->creations, creations + 1);
    EXPECT_EQ(GetWindowLongA(button->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

    // A see-through button repaints when its parent's colour changes; an opaque one has no need to.
    auto* opaque = BareButton(skin::TCoolOptions{});
    Pump();
    MarkPainted(*button);
    MarkPainted(*opaque);
    form->SetColor(RGB(1, 2, 3));
    EXPECT_TRUE(NeedsPaint(*button));
    EXPECT_FALSE(NeedsPaint(*opaque));

    // A changed own skin bitmap repaints and tells the button its colour changed.
    const int beforeWallpaper = button->colourChanges;
    ui::TBitmap skinPicture;
    MakeFilled(skinPicture, 8, 8, RGB(5, 6, 7));
    button->SetWallpaper(skinPicture);
    EXPECT_EQ(button->colourChanges, beforeWallpaper + 1);
    EXPECT_EQ(button->Wallpaper().Width(), 8);
}

TEST_F(CoolButton, ReferencesToASkinSetOrAnImageListGoWithThem) {
    auto* button = BareButton(skin::TCoolOptions{skin::ocPaintWallpaper});
    auto* images = new skin::TCoolImages(form);
    MakeFilled(images->Bitmaps().Add()->Bitmap(), 4, 4, RGB(9, 9, 9));
    auto* list = new ui::TImageList(form, 16, 16);
    button->SetCoolImages(images);
    button->SetImages(list);
    EXPECT_EQ(button->CoolImages(), images);
    EXPECT_EQ(button->Images(), list);

    // Changes of either repaint the button.
    Pump();
    MarkPainted(*button);
    ui::TBitmap other;
    MakeFilled(other, 4, 4, RGB(8, 8, 8));
    images->Bitmaps().Items(0)->SetBitmap(other);
    EXPECT_TRUE(NeedsPaint(*button));
    MarkPainted(*button);
    ui::TBitmap frame;
    MakeFilled(frame, 16, 16, RGB(200, 0, 0));
    list->AddMasked(frame, RGB(1, 1, 1));
    EXPECT_TRUE(NeedsPaint(*button));

    MarkPainted(*button);
    delete images;
    EXPECT_EQ(button->CoolImages(), nullptr);
    EXPECT_TRUE(NeedsPaint(*button));
    MarkPainted(*button);
    delete list;
    EXPECT_EQ(button->Images(), nullptr);
    EXPECT_TRUE(NeedsPaint(*button));

    // A list that belongs to no window still lets go of the button's link as it goes.
    auto loose = std::make_unique<ui::TImageList>(nullptr, 16, 16);
    button->SetImages(loose.get());
    loose.reset();
    EXPECT_EQ(button->Images(), nullptr);
    ui::TBitmap picture;
    Capture(*button, picture);
}

TEST_F(CoolButton, OnDrawButtonPaintsOverTheFinishedButtonWithTheBoundCanvas) {
    auto* button = ProgramButton(10, 10, "&About");
    RECT handed{};
    bool bound = false;
    button->OnDrawButton = [&](ui::TControl* sender, ui::TCanvas& canvas, const RECT& rect) {
        EXPECT_EQ(sender, button);
        handed = rect;
        bound = canvas.HandleAllocated();
        canvas.Brush().SetColor(RGB(250, 10, 10));
        RECT spot{3, 3, 8, 8};
        canvas.FillRect(spot);
    };
    ui::TBitmap picture;
    Capture(*button, picture);
    const RECT client{0, 0, kWidth, kHeight};
    EXPECT_TRUE(EqualRect(&handed, &client));
    EXPECT_TRUE(bound);
    EXPECT_EQ(DibPixels(picture).At(5, 5), RGB(250, 10, 10));
    EXPECT_EQ(DibPixels(picture).At(0, 0), FrameColours::kLight) << "drawn after the frame";
}

TEST_F(CoolButton, AnEllipticButtonDrawsItsRimAndLetsTheParentShowOutside) {
    constexpr COLORREF kFill = RGB(40, 90, 200);
    auto* button = BareButton(skin::TCoolOptions{skin::ocRoundedForm});
    button->SetColor(kFill);
    const int midY = kHeight / 2;
    ui::TBitmap picture;

    Capture(*button, picture);
    {
        DibPixels pixels(picture);
        for (POINT corner : {POINT{0, 0}, POINT{kWidth - 1, 0}, POINT{0, kHeight - 1}, POINT{kWidth - 1, kHeight - 1}})
            EXPECT_EQ(pixels.At(corner.x, corner.y), kGround) << corner.x << "," << corner.y;
        EXPECT_EQ(pixels.At(kWidth / 2, midY), kFill);
        // Outer shadow ring, then the highlight ring inside it on the left; the dark ring on the far right
        // with the shadow arc inside it along the lower right.
        EXPECT_EQ(Hex(pixels.At(0, midY)), Hex(FrameColours::kShadow));
        EXPECT_EQ(Hex(pixels.At(1, midY)), Hex(FrameColours::kHighlight));
        EXPECT_EQ(Hex(pixels.At(kWidth - 1, midY)), Hex(FrameColours::kFrame));
        EXPECT_EQ(Hex(pixels.At(kWidth - 2, midY)), Hex(FrameColours::kShadow));
    }

    SendMessageA(button->Handle(), BM_SETSTATE, TRUE, 0);
    Capture(*button, picture);
    SendMessageA(button->Handle(), BM_SETSTATE, FALSE, 0);
    {
        DibPixels pixels(picture);
        EXPECT_EQ(Hex(pixels.At(0, midY)), Hex(FrameColours::kShadow));
        EXPECT_EQ(Hex(pixels.At(1, midY)), Hex(FrameColours::kFrame)) << "pressed, the dark ring is inside";
        EXPECT_EQ(Hex(pixels.At(kWidth - 1, midY)), Hex(FrameColours::kHighlight));
    }

    // The focus mark is an ellipse 4 pixels in.
    button->SetFocus();
    Pump();
    ASSERT_TRUE(button->DefaultActive());
    Capture(*button, picture);
    EXPECT_EQ(Hex(DibPixels(picture).At(4, midY)), Hex(FrameColours::kShadow));
    EXPECT_EQ(DibPixels(picture).At(0, 0), kGround) << "no rectangular default frame";

    // Flat and without the mouse: no rim and no fill, the parent shows throughout.
    button->SetOptions(skin::TCoolOptions{skin::ocRoundedForm, skin::ocFlatBorder});
    Capture(*button, picture);
    EXPECT_EQ(DibPixels(picture).At(kWidth / 2, midY), kGround);
    EXPECT_EQ(DibPixels(picture).At(0, midY), kGround);
}

TEST(CoolButtonSkin, AnEllipticButtonShowsItsSkinOrGradientOnlyInsideTheEllipse) {
    FrameColours colours;
    skintest::SkinnedForm skinned(skin::TCoolOptions{skin::ocPaintWallpaper}, 300, 200);
    auto* button = new skin::TCoolBtn(skinned.form.get());
    button->SetParent(skinned.form.get());
    button->SetBounds(37, 23, kWidth, kHeight);
    button->SetColor(RGB(40, 90, 200));
    const auto formSkin = [](int x, int y) { return PatternColor((37 + x) % 196, (23 + y) % 196); };
    ui::TBitmap picture;

    button->SetOptions(skin::TCoolOptions{skin::ocRoundedForm, skin::ocPaintTransparently});
    Capture(*button, picture);
    EXPECT_EQ(DibPixels(picture).At(0, 0), formSkin(0, 0));
    EXPECT_EQ(DibPixels(picture).At(kWidth / 2, kHeight / 2), formSkin(kWidth / 2, kHeight / 2));

    button->SetOptions(skin::TCoolOptions{skin::ocRoundedForm, skin::ocPaintWallpaper});
    button->SetCoolImages(skinned.images);
    button->SetIdWallpaper(0);
    Capture(*button, picture);
    EXPECT_EQ(DibPixels(picture).At(kWidth / 2, kHeight / 2), PatternColor(kWidth / 2, kHeight / 2));
    EXPECT_EQ(DibPixels(picture).At(1, 1), formSkin(1, 1)) << "outside the ellipse the form shows";

    button->SetIdWallpaper(5);
    Capture(*button, picture);
    EXPECT_EQ(DibPixels(picture).At(kWidth / 2, kHeight / 2), RGB(40, 90, 200))
        << "without a skin bitmap the ellipse is filled with the colour";

    button->SetOptions(skin::TCoolOptions{skin::ocRoundedForm, skin::ocPaintGradiently});
    button->SetColorStart(RGB(250, 0, 0));
    button->SetColorEnd(RGB(250, 0, 0));
    Capture(*button, picture);
    EXPECT_EQ(DibPixels(picture).At(kWidth / 2, kHeight / 2), RGB(250, 0, 0));
    EXPECT_EQ(DibPixels(picture).At(1, 1), formSkin(1, 1));
}

// Pumps the thread's messages one at a time until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return false;
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

TEST_F(CoolButton, TheAnimationStepsThroughTheFramesOnItsTimer) {
    const COLORREF frames[3] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};
    auto* list = new ui::TImageList(form, 16, 16);
    for (COLORREF colour : frames) {
        ui::TBitmap frame;
        MakeFilled(frame, 16, 16, colour);
        list->AddMasked(frame, RGB(1, 1, 1));
    }
    auto* button = BareButton(skin::TCoolOptions{});
    EXPECT_EQ(button->Interval(), 1000u);
    button->SetInterval(10);
    button->SetAnimated(true);
    // Without frames there is nothing to step through.
    PumpUntil([] { return false; }, 60);
    EXPECT_EQ(button->FrameIndex(), 0);

    button->SetImages(list);
    ui::TBitmap picture;
    Capture(*button, picture);
    EXPECT_EQ(DibPixels(picture).At(kWidth / 2, kHeight / 2), frames[button->FrameIndex()])
        << "the current frame stands in for the glyph";

    // Each step shows the current frame on screen, then moves on, wrapping after the last.
    for (int step = 0; step < 4; ++step) {
        const int before = button->FrameIndex();
        ASSERT_TRUE(PumpUntil([&] { return button->FrameIndex() != before; }, 3000));
        HDC screen = GetDC(button->Handle());
        EXPECT_EQ(Hex(GetPixel(screen, kWidth / 2, kHeight / 2)), Hex(frames[before])) << "step " << step;
        ReleaseDC(button->Handle(), screen);
        EXPECT_EQ(button->FrameIndex(), (before + 1) % 3);
    }

    button->SetAnimated(false);
    const int stopped = button->FrameIndex();
    PumpUntil([] { return false; }, 60);
    EXPECT_EQ(button->FrameIndex(), stopped);
    Capture(*button, picture);
    EXPECT_EQ(DibPixels(picture).At(kWidth / 2, kHeight / 2), ui::ColorToRGB(ui::clBtnFace))
        << "stopped, the button's own (empty) glyph is back";
}

int paintFailures = 0;

TEST_F(CoolButton, RepeatedPaintsLeakNoGdiObjects) {
    auto* program = ProgramButton(10, 10, "&Cancel");
    auto* disabled = ProgramButton(130, 10, "&Move Up");
    disabled->SetEnabled(false);
    auto* elliptic = BareButton(skin::TCoolOptions{skin::ocRoundedForm, skin::ocPaintGradiently});
    elliptic->SetCaption("Round");
    auto* list = new ui::TImageList(form, 16, 16);
    ui::TBitmap frame;
    MakeFilled(frame, 16, 16, RGB(200, 0, 0));
    list->AddMasked(frame, RGB(1, 1, 1));
    auto* animated = BareButton(skin::TCoolOptions{skin::ocPaintWallpaper});
    animated->SetBounds(20, 100, kWidth, kHeight);
    animated->SetImages(list);
    animated->SetAnimated(true);
    program->SetFocus();
    Pump();
    ui::TBitmap picture;
    MakeFilled(picture, kWidth, kHeight, kMagenta);
    HDC dc = picture.Canvas().Handle();
    const auto paintAll = [&] {
        for (skin::TCoolBtn* button : {program, disabled, elliptic, animated})
            SendMessageA(button->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SendMessageA(program->Handle(), BM_SETSTATE, TRUE, 0);
        SendMessageA(program->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SendMessageA(program->Handle(), BM_SETSTATE, FALSE, 0);
    };
    paintAll();
    // A paint that fails is counted here instead of stopping the test in the application's error box.
    ui::SetWindowExceptionHandler([](const std::exception&) { ++paintFailures; });
    {
        // With 200 handles left, paints that kept one object each would run out long before the end.
        testing_support::GdiBudget budget(200);
        ASSERT_GT(budget.Capacity(), 5000);
        // A paint that runs out of handles fails (and Wine may hang in the next one): the loop stops there.
        for (int round = 0; round < 500 && paintFailures == 0 && testing_support::GdiBudget::CanCreateObjects();
             ++round)
            paintAll();
        EXPECT_TRUE(testing_support::GdiBudget::CanCreateObjects());
    }
    EXPECT_EQ(paintFailures, 0);
    SendMessageA(program->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(DibPixels(picture).At(0, kHeight / 2), FrameColours::kFrame) << "the paints still drew the button";
}

}  // namespace
