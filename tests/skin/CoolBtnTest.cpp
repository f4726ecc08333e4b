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
constexpr int kWidth = 109;
constexpr int kHeight = 33;
constexpr int kMidX = kWidth / 2;
constexpr int kMidY = kHeight / 2;
// Inside the raised edge.
constexpr RECT kInside{2, 2, kWidth - 2, kHeight - 2};

// The system colours a button's lines are made of, each set to a value of its own so that every line can be
// told by its colour; the old ones come back at the end.
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

// What a button paints for a message with a DC (by default the owner-draw paint the platform asks for in
// the button's current state), on a magenta picture.
class Shot {
public:
    explicit Shot(skin::TCoolBtn& button, UINT message = WM_PRINTCLIENT) {
        MakeFilled(picture_, button.Width(), button.Height(), kMagenta);
        SendMessageA(button.Handle(), message, reinterpret_cast<WPARAM>(picture_.Canvas().Handle()), PRF_CLIENT);
    }
    COLORREF At(int x, int y) { return DibPixels(picture_).At(x, y); }
    // Counts the pixels of the area that differ from the expected colours, and reports the first few.
    int Mismatches(const RECT& area, const std::function<COLORREF(int, int)>& expected) {
        DibPixels pixels(picture_);
        int wrong = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (pixels.At(x, y) != expected(x, y) && ++wrong <= 3)
                    ADD_FAILURE() << x << "," << y << ": " << Hex(pixels.At(x, y)) << " instead of "
                                  << Hex(expected(x, y));
        return wrong;
    }

private:
    ui::TBitmap picture_;
};

// A raised edge: outer light and dark lines, inner highlight and shadow, `inset` pixels in.
void ExpectRaisedEdge(Shot& shot, int inset) {
    const int l = inset, t = inset, r = kWidth - 1 - inset, b = kHeight - 1 - inset;
    EXPECT_EQ(Hex(shot.At(l, kMidY)), Hex(FrameColours::kLight));
    EXPECT_EQ(Hex(shot.At(kMidX, t)), Hex(FrameColours::kLight));
    EXPECT_EQ(Hex(shot.At(l + 1, kMidY)), Hex(FrameColours::kHighlight));
    EXPECT_EQ(Hex(shot.At(r, kMidY)), Hex(FrameColours::kDark));
    EXPECT_EQ(Hex(shot.At(kMidX, b)), Hex(FrameColours::kDark));
    EXPECT_EQ(Hex(shot.At(r - 1, kMidY)), Hex(FrameColours::kShadow));
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

// A shown form tiled with a skin through its form hook, as the program's windows are.
class CoolButton : public ::testing::Test {
protected:
    CoolButton() : skinned(skin::TCoolOptions{skin::ocPaintWallpaper}, 320, 200), form(skinned.form.get()) {
        form->Show();
        Pump();
    }

    // A button as every window of the program has it: 109 x 33, a 24 x 24 glyph, see-through, no shadow.
    template <typename Button = skin::TCoolBtn>
    Button* ProgramButton(int left, int top, const std::string& caption) {
        auto* button = new Button(form);
        button->SetParent(form);
        button->SetBounds(left, top, kWidth, kHeight);
        button->SetCaption(caption);
        ui::TBitmap glyph;
        MakeFilled(glyph, 24, 24, RGB(30, 160, 90));
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                if (GlyphInk(x, y)) DibPixels(glyph).Set(x, y, RGB(0, 0, 0));
        button->SetGlyph(&glyph);
        button->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently});
        button->SetShadowSize(0);
        return button;
    }

    // A button with nothing on it but its background and frame.
    skin::TCoolBtn* BareButton(skin::TCoolOptions options) {
        auto* button = new skin::TCoolBtn(form);
        button->SetParent(form);
        button->SetBounds(37, 23, kWidth, kHeight);
        button->SetOptions(options);
        return button;
    }

    // The form's skin under a point of the button.
    static std::function<COLORREF(int, int)> FormSkin(skin::TCoolBtn& button) {
        const int left = button.Left(), top = button.Top();
        return [left, top](int x, int y) { return PatternColor((left + x) % 196, (top + y) % 196); };
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
    skintest::SkinnedForm skinned;
    ui::TForm* form;
};

TEST_F(CoolButton, IsAnOwnerDrawnPushButtonThatKeepsItsStyleAndAnswersTheMeasure) {
    auto* edit = new ui::TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 150, 100, 24);
    auto* ok = ProgramButton(10, 10, "&OK");
    ok->SetDefault(true);
    int clicks = 0;
    ok->OnClick = [&clicks] { ++clicks; };
    char name[32] = {};
    GetClassNameA(ok->Handle(), name, sizeof name);
    EXPECT_STREQ(name, "TCoolBtn");
    EXPECT_TRUE(skin::IsCoolControl(ok));

    ok->SetFocus();
    Pump();
    EXPECT_EQ(GetWindowLongA(ok->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW)
        << "becoming the default must not turn the button into a native default button";
    // Enter presses the active default from an edit field, as for any push button.
    edit->SetFocus();
    Pump();
    EXPECT_TRUE(ok->DefaultActive());
    Key(VK_RETURN);
    EXPECT_EQ(clicks, 1);

    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_BUTTON;
    measure.CtlID = static_cast<UINT>(GetDlgCtrlID(ok->Handle()));
    EXPECT_TRUE(SendMessageA(form->Handle(), WM_MEASUREITEM, measure.CtlID, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_EQ(measure.itemWidth, static_cast<UINT>(kWidth));
    EXPECT_EQ(measure.itemHeight, static_cast<UINT>(kHeight));

    // An owner-drawn button takes a quick second click for a double click; this one presses twice.
    const LPARAM at = MAKELPARAM(20, 10);
    for (UINT press : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        SendMessageA(ok->Handle(), press, MK_LBUTTON, at);
        SendMessageA(ok->Handle(), WM_LBUTTONUP, 0, at);
    }
    Pump();
    EXPECT_EQ(clicks, 3);
}

TEST_F(CoolButton, ADisabledProgramButtonShowsItsGlyphAndCaptionEngraved) {
    auto* button = ProgramButton(10, 10, "&Save");
    button->SetEnabled(false);

    // Where glyph and caption belong, from the caption's measured size (margin -1 centres the group, 4 pixels
    // apart), and the caption's ink drawn there in the button's font.
    ui::TBitmap reference;
    MakeFilled(reference, kWidth, kHeight, RGB(255, 255, 255));
    ui::TCanvas& canvas = reference.Canvas();
    canvas.Font().Assign(button->Font());
    canvas.Font().SetColor(ui::clBlack);
    canvas.Brush().SetStyle(ui::TBrushStyle::Clear);
    RECT text{0, 0, kWidth, 0};
    canvas.DrawText(button->Caption(), text, DT_CALCRECT);
    const int glyphX = (kWidth - (24 + 4 + text.right) + 1) / 2, glyphY = (kHeight - 24 + 1) / 2;
    OffsetRect(&text, glyphX + 28, (kHeight - text.bottom + 1) / 2);
    canvas.DrawText(button->Caption(), text, DT_CENTER);
    DibPixels inked(reference);
    const auto ink = [&](int x, int y) { return x >= 0 && y >= 0 && inked.At(x, y) == RGB(0, 0, 0); };
    int smoothed = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) smoothed += !ink(x, y) && inked.At(x, y) != RGB(255, 255, 255) ? 1 : 0;
    ASSERT_EQ(smoothed, 0) << "exact pixels need a caption font drawn without smoothing";

    Shot shot(*button);
    ExpectRaisedEdge(shot, 0);
    const auto ground = FormSkin(*button);
    int engraved = 0;
    EXPECT_EQ(shot.Mismatches(kInside,
                              [&](int x, int y) {
                                  const int gx = x - glyphX, gy = y - glyphY;
                                  COLORREF expected = ground(x, y);
                                  if (GlyphInk(gx, gy) || ink(x, y))
                                      expected = FrameColours::kShadow;
                                  else if (GlyphInk(gx - 1, gy - 1) || ink(x - 1, y - 1))
                                      expected = FrameColours::kHighlight;
                                  engraved += expected != ground(x, y) ? 1 : 0;
                                  return expected;
                              }),
              0);
    EXPECT_GT(engraved, 160) << "glyph and caption are there to see";
}

TEST_F(CoolButton, PressingMovesGlyphAndCaptionAndSinksTheEdgeToOnePixel) {
    auto* button = ProgramButton(10, 10, "&Refresh");
    Shot released(*button);
    SendMessageA(button->Handle(), BM_SETSTATE, TRUE, 0);
    Shot pressed(*button);
    ExpectRaisedEdge(released, 0);
    // A sunken inner edge: dark at the top and left, light at the bottom and right, one pixel wide.
    EXPECT_EQ(pressed.At(0, kMidY), FrameColours::kDark);
    EXPECT_EQ(pressed.At(kMidX, 0), FrameColours::kDark);
    EXPECT_EQ(pressed.At(kWidth - 1, kMidY), FrameColours::kLight);
    EXPECT_EQ(pressed.At(kMidX, kHeight - 1), FrameColours::kLight);
    const auto ground = FormSkin(*button);
    EXPECT_EQ(pressed.At(1, kMidY), ground(1, kMidY));
    EXPECT_EQ(pressed.At(kWidth - 2, kMidY), ground(kWidth - 2, kMidY));

    // Whatever glyph and caption drew lies one pixel further right and down; the skin stays where it was.
    int content = 0;
    EXPECT_EQ(pressed.Mismatches(RECT{3, 3, kWidth - 2, kHeight - 2},
                                 [&](int x, int y) {
                                     const COLORREF drawn = released.At(x - 1, y - 1);
                                     const bool isContent = drawn != ground(x - 1, y - 1);
                                     content += isContent ? 1 : 0;
                                     return isContent ? drawn : ground(x, y);
                                 }),
              0);
    EXPECT_GT(content, 80) << "glyph and caption were drawn";
}

TEST_F(CoolButton, AFlatBorderShowsOnlyWhileTheMouseIsOverTheButton) {
    auto* button = ProgramButton(10, 10, "&Help");
    button->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently, skin::ocFlatBorder});
    std::vector<std::string> events;
    button->OnMouseEnter = [&events] { events.push_back("enter"); };
    button->OnMouseLeave = [&events] { events.push_back("leave"); };
    const auto ground = FormSkin(*button);
    const auto expectNoEdge = [&](const char* when) {
        Shot shot(*button);
        for (POINT p : {POINT{0, kMidY}, POINT{1, kMidY}, POINT{kMidX, 0}, POINT{kWidth - 1, kMidY},
                        POINT{kWidth - 2, kMidY}, POINT{kMidX, kHeight - 1}})
            EXPECT_EQ(Hex(shot.At(p.x, p.y)), Hex(ground(p.x, p.y))) << when << " " << p.x << "," << p.y;
    };

    expectNoEdge("before the mouse came");
    MarkPainted(*button);
    SendMessageA(button->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(NeedsPaint(*button)) << "the mouse coming repaints a flat button";
    Shot hovered(*button);
    ExpectRaisedEdge(hovered, 0);
    MarkPainted(*button);
    SendMessageA(button->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(NeedsPaint(*button));
    expectNoEdge("after the mouse left");
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));

    // A button with a lasting frame does not repaint for the mouse, but still tells of it.
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
    // The frame is one clWindowFrame line around the button, with the raised edge inside it.
    const auto framed = [](skin::TCoolBtn* button) {
        Shot shot(*button);
        const bool frame =
            shot.At(0, kMidY) == FrameColours::kFrame && shot.At(kMidX, kHeight - 1) == FrameColours::kFrame;
        if (frame) ExpectRaisedEdge(shot, 1);
        return frame;
    };

    edit->SetFocus();
    Pump();
    EXPECT_TRUE(framed(ok)) << "from an edit field Enter presses the Default button";
    EXPECT_FALSE(framed(cancel));
    Shot unfocused(*ok);

    Key(VK_TAB);
    ASSERT_EQ(GetFocus(), ok->Handle());
    EXPECT_TRUE(framed(ok));
    EXPECT_FALSE(framed(cancel));
    // The focus rectangle is the only change, a dotted line 4 pixels inside the client area.
    Shot focused(*ok);
    int onMark = 0;
    const RECT mark{4, 4, kWidth - 4, kHeight - 4};
    EXPECT_EQ(focused.Mismatches(RECT{0, 0, kWidth, kHeight},
                                 [&](int x, int y) {
                                     const bool border = x >= mark.left && x < mark.right && y >= mark.top &&
                                                         y < mark.bottom &&
                                                         (x == mark.left || x == mark.right - 1 || y == mark.top ||
                                                          y == mark.bottom - 1);
                                     const bool changed = focused.At(x, y) != unfocused.At(x, y);
                                     onMark += border && changed ? 1 : 0;
                                     return border ? focused.At(x, y) : unfocused.At(x, y);
                                 }),
              0);
    EXPECT_GE(onMark, (kWidth - 8 + kHeight - 8) * 2 / 3) << "a dotted rectangle";

    Key(VK_TAB);
    ASSERT_EQ(GetFocus(), cancel->Handle());
    EXPECT_FALSE(framed(ok)) << "a focused button is the one Enter presses";
    EXPECT_TRUE(framed(cancel));
    EXPECT_FALSE(ok->DefaultActive());

    Key(VK_TAB);
    ASSERT_EQ(GetFocus(), edit->Handle());
    EXPECT_TRUE(framed(ok)) << "back on the edit field the frame returns to the Default button";
    EXPECT_FALSE(framed(cancel));
    EXPECT_EQ(GetWindowLongA(cancel->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

    ok->SetBtnPaintOptions(skin::TBtnPaintOptions{});
    EXPECT_FALSE(framed(ok)) << "without the paint option there is no frame";
}

TEST_F(CoolButton, TheBackgroundIsTheParentsThenTheSkinThenAGradientThenTheColour) {
    auto* button = BareButton(skin::TCoolOptions{skin::ocPaintTransparently});
    const auto formSkin = FormSkin(*button);
    const auto ownSkin = [](int x, int y) { return PatternColor(x % 196, y % 196); };
    EXPECT_EQ(Shot(*button).Mismatches(kInside, formSkin), 0) << "a transparent button shows the form's skin";
    EXPECT_EQ(Shot(*button, WM_ERASEBKGND).Mismatches(RECT{0, 0, kWidth, kHeight}, formSkin), 0) << "so does its erase";

    button->SetOptions(skin::TCoolOptions{skin::ocPaintWallpaper, skin::ocPaintGradiently});
    EXPECT_EQ(Shot(*button).Mismatches(kInside, [](int, int) { return kMagenta; }), 0)
        << "a skin option without a skin leaves what was there";
    button->SetCoolImages(skinned.images);
    button->SetIdWallpaper(0);
    EXPECT_EQ(Shot(*button).Mismatches(kInside, ownSkin), 0) << "the skin tiled from the button's corner";
    EXPECT_EQ(Shot(*button, WM_ERASEBKGND).Mismatches(RECT{0, 0, kWidth, kHeight}, ownSkin), 0);
    button->SetOptions(skin::TCoolOptions{skin::ocPaintWallpaper, skin::ocPaintTransparently});
    EXPECT_EQ(Shot(*button).Mismatches(kInside, formSkin), 0) << "transparency before the skin";

    button->SetOptions(skin::TCoolOptions{skin::ocPaintGradiently});
    button->SetColorStart(RGB(250, 0, 0));
    button->SetColorEnd(RGB(0, 0, 250));
    for (bool erase : {false, true}) {
        Shot shot(*button, erase ? WM_ERASEBKGND : WM_PRINTCLIENT);
        EXPECT_GT(GetRValue(shot.At(2, kMidY)), 240);
        EXPECT_GT(GetBValue(shot.At(kWidth - 3, kMidY)), 240);
        for (int x = 3; x < kWidth - 2; ++x) ASSERT_LE(GetRValue(shot.At(x, kMidY)), GetRValue(shot.At(x - 1, kMidY)));
        EXPECT_EQ(shot.At(40, 3), shot.At(40, kHeight - 4)) << "left to right: the bands are columns";
    }
    button->SetGradientDirection(skin::gdVertical);
    Shot vertical(*button);
    EXPECT_GT(GetRValue(vertical.At(kMidX, 2)), GetRValue(vertical.At(kMidX, kHeight - 3)));
    EXPECT_EQ(vertical.At(3, 12), vertical.At(kWidth - 4, 12)) << "top to bottom: the bands are rows";

    button->SetOptions(skin::TCoolOptions{});
    button->SetColor(RGB(10, 200, 30));
    EXPECT_EQ(Shot(*button).Mismatches(kInside, [](int, int) { return RGB(10, 200, 30); }), 0);
}

TEST_F(CoolButton, PropertySettersFollowTheirRules) {
    auto* button = ProgramButton<CountingBtn>(10, 10, "&Add");
    button->SetNumGlyphs(3);
    EXPECT_EQ(button->NumGlyphs(), 2);
    button->SetNumGlyphs(0);
    EXPECT_EQ(button->NumGlyphs(), 2);
    button->SetMargin(5);
    button->SetMargin(-2);
    EXPECT_EQ(button->Margin(), 5);
    button->SetMargin(-1);
    EXPECT_EQ(button->Margin(), -1);

    const std::function<void()> shadowChanges[] = {[&] { button->SetShadowColor(ui::clRed); },
                                                   [&] { button->SetShadowSize(2); },
                                                   [&] { button->SetShadowPos(skin::spRightBottom); }};
    for (const auto& change : shadowChanges) {
        button->SetSimpleView(true);
        change();
        EXPECT_FALSE(button->SimpleView());
    }
    button->SetSimpleView(true);
    button->SetShadowColor(ui::clRed);
    EXPECT_TRUE(button->SimpleView()) << "an unchanged value changes nothing";

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
    button->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently, skin::ocFlatBorder});
    EXPECT_EQ(button->creations, creations + 1);
    EXPECT_EQ(button->colourChanges, colourChanges + 1);
    EXPECT_EQ(GetWindowLongA(button->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

    // A see-through button repaints when its parent's colour changes; an opaque one has no need to.
    auto* opaque = BareButton(skin::TCoolOptions{});
    Pump();
    MarkPainted(*button);
    MarkPainted(*opaque);
    form->SetColor(RGB(1, 2, 3));
    EXPECT_TRUE(NeedsPaint(*button));
    EXPECT_FALSE(NeedsPaint(*opaque));

    // A new own skin bitmap tells the button its colour changed.
    ui::TBitmap skinPicture;
    MakeFilled(skinPicture, 8, 8, RGB(5, 6, 7));
    button->SetWallpaper(skinPicture);
    EXPECT_EQ(button->colourChanges, colourChanges + 2);
    EXPECT_EQ(button->Wallpaper().Width(), 8);
}

TEST_F(CoolButton, ASkinSetOrAnImageListRepaintsTheButtonAndIsDroppedWhenItGoes) {
    auto* button = BareButton(skin::TCoolOptions{skin::ocPaintWallpaper});
    auto* images = new skin::TCoolImages(form);
    MakeFilled(images->Bitmaps().Add()->Bitmap(), 4, 4, RGB(9, 9, 9));
    auto* list = new ui::TImageList(form, 16, 16);
    button->SetCoolImages(images);
    button->SetImages(list);
    Pump();
    ui::TBitmap picture;
    MakeFilled(picture, 16, 16, RGB(8, 8, 8));
    const std::function<void()> changes[] = {[&] { images->Bitmaps().Items(0)->SetBitmap(picture); },
                                             [&] { list->AddMasked(picture, RGB(1, 1, 1)); }, [&] { delete images; },
                                             [&] { delete list; }};
    for (const auto& change : changes) {
        MarkPainted(*button);
        change();
        EXPECT_TRUE(NeedsPaint(*button));
    }
    EXPECT_EQ(button->CoolImages(), nullptr);
    EXPECT_EQ(button->Images(), nullptr);

    // A list that belongs to no window still lets go of the button's link as it goes.
    auto loose = std::make_unique<ui::TImageList>(nullptr, 16, 16);
    button->SetImages(loose.get());
    loose.reset();
    EXPECT_EQ(button->Images(), nullptr);
}

TEST_F(CoolButton, OnDrawButtonPaintsOverTheFinishedButtonWithTheBoundCanvas) {
    auto* button = ProgramButton(10, 10, "&About");
    RECT handed{};
    button->OnDrawButton = [&](ui::TControl* sender, ui::TCanvas& canvas, const RECT& rect) {
        EXPECT_EQ(sender, button);
        handed = rect;
        canvas.Brush().SetColor(RGB(250, 10, 10));
        canvas.FillRect(RECT{0, 3, 8, 8});
    };
    Shot shot(*button);
    const RECT client{0, 0, kWidth, kHeight};
    EXPECT_TRUE(EqualRect(&handed, &client));
    EXPECT_EQ(shot.At(0, 5), RGB(250, 10, 10)) << "over the frame";
}

TEST_F(CoolButton, AnEllipticButtonDrawsItsRimAndLetsTheParentShowOutside) {
    constexpr COLORREF kFill = RGB(40, 90, 200);
    auto* button = BareButton(skin::TCoolOptions{skin::ocRoundedForm});
    button->SetColor(kFill);
    const auto ground = FormSkin(*button);
    const auto expectOutside = [&](Shot& shot) {
        for (POINT p : {POINT{0, 0}, POINT{kWidth - 1, 0}, POINT{0, kHeight - 1}, POINT{kWidth - 1, kHeight - 1}})
            EXPECT_EQ(shot.At(p.x, p.y), ground(p.x, p.y)) << p.x << "," << p.y;
    };

    Shot up(*button);
    expectOutside(up);
    EXPECT_EQ(up.At(kMidX, kMidY), kFill);
    // On the left the outer shadow ring with the highlight ring inside; on the right the dark ring with the
    // shadow arc inside it.
    EXPECT_EQ(Hex(up.At(0, kMidY)), Hex(FrameColours::kShadow));
    EXPECT_EQ(Hex(up.At(1, kMidY)), Hex(FrameColours::kHighlight));
    EXPECT_EQ(Hex(up.At(kWidth - 1, kMidY)), Hex(FrameColours::kFrame));
    EXPECT_EQ(Hex(up.At(kWidth - 2, kMidY)), Hex(FrameColours::kShadow));
    SendMessageA(button->Handle(), BM_SETSTATE, TRUE, 0);
    Shot down(*button);
    SendMessageA(button->Handle(), BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(Hex(down.At(1, kMidY)), Hex(FrameColours::kFrame)) << "pressed, the dark ring is inside";
    EXPECT_EQ(Hex(down.At(kWidth - 1, kMidY)), Hex(FrameColours::kHighlight));

    button->SetFocus();
    Pump();
    Shot focused(*button);
    EXPECT_EQ(Hex(focused.At(4, kMidY)), Hex(FrameColours::kShadow)) << "the focus mark is an ellipse 4 pixels in";
    expectOutside(focused);

    // Inside the ellipse: the skin, a gradient or the parent; the colour only when the skin is missing.
    button->SetCoolImages(skinned.images);
    button->SetIdWallpaper(0);
    const std::pair<skin::TCoolOption, COLORREF> insides[] = {
        {skin::ocPaintWallpaper, PatternColor(kMidX, kMidY)},
        {skin::ocPaintGradiently, RGB(250, 0, 0)},
        {skin::ocPaintTransparently, ground(kMidX, kMidY)},
    };
    button->SetColorStart(RGB(250, 0, 0));
    button->SetColorEnd(RGB(250, 0, 0));
    for (const auto& [option, inside] : insides) {
        button->SetOptions(skin::TCoolOptions{skin::ocRoundedForm, option});
        Shot shot(*button);
        expectOutside(shot);
        EXPECT_EQ(shot.At(kMidX, kMidY), inside) << "option " << option;
    }
    button->SetOptions(skin::TCoolOptions{skin::ocRoundedForm, skin::ocPaintWallpaper});
    button->SetIdWallpaper(5);
    EXPECT_EQ(Shot(*button).At(kMidX, kMidY), kFill) << "no skin bitmap: the colour";

    // Flat and without the mouse: no rim and no fill.
    button->SetOptions(skin::TCoolOptions{skin::ocRoundedForm, skin::ocFlatBorder});
    Shot flat(*button);
    EXPECT_EQ(flat.At(kMidX, kMidY), ground(kMidX, kMidY));
    EXPECT_EQ(flat.At(0, kMidY), ground(0, kMidY));
}

// Dispatches the thread's messages one at a time until the condition holds or the time is up.
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
    PumpUntil([] { return false; }, 60);
    EXPECT_EQ(button->FrameIndex(), 0) << "without frames there is nothing to step through";

    button->SetImages(list);
    EXPECT_EQ(Shot(*button).At(kMidX, kMidY), frames[button->FrameIndex()]) << "the frame stands in for the glyph";
    // Each step shows the current frame on screen, then moves on, wrapping after the last.
    for (int step = 0; step < 4; ++step) {
        const int before = button->FrameIndex();
        ASSERT_TRUE(PumpUntil([&] { return button->FrameIndex() != before; }, 3000));
        HDC screen = GetDC(button->Handle());
        EXPECT_EQ(Hex(GetPixel(screen, kMidX, kMidY)), Hex(frames[before])) << "step " << step;
        ReleaseDC(button->Handle(), screen);
        EXPECT_EQ(button->FrameIndex(), (before + 1) % 3);
    }

    button->SetAnimated(false);
    const int stopped = button->FrameIndex();
    PumpUntil([] { return false; }, 60);
    EXPECT_EQ(button->FrameIndex(), stopped);
    EXPECT_EQ(Shot(*button).At(kMidX, kMidY), FrameColours::kFace) << "stopped, the button's own (empty) glyph";
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
    animated->SetCoolImages(skinned.images);
    animated->SetIdWallpaper(0);
    animated->SetImages(list);
    animated->SetAnimated(true);
    program->SetFocus();
    Pump();
    ui::TBitmap picture;
    MakeFilled(picture, kWidth, kHeight, kMagenta);
    HDC dc = picture.Canvas().Handle();
    const auto paintAll = [&] {
        for (skin::TCoolBtn* button : {program, disabled, elliptic, animated, program})
            SendMessageA(button->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SendMessageA(program->Handle(), BM_SETSTATE, TRUE, 0);
        SendMessageA(program->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SendMessageA(program->Handle(), BM_SETSTATE, FALSE, 0);
    };
    paintAll();
    // A paint that fails is counted here instead of stopping the test in the application's error box.
    base::SetExceptionHandler([](const std::exception&) { ++paintFailures; });
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
    EXPECT_EQ(Shot(*program).At(0, kMidY), FrameColours::kFrame) << "the paints still drew the button";
}

}  // namespace
