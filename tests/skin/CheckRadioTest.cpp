// The check/radio box, the group box and the check/radio group on real windows: every look is compared
// pixel by pixel with the same system calls drawn into a reference picture, every place with the numbers
// their layout gives for a font whose measured height is the one those numbers assume.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SkinTesting.h"
#include "skin/CoolCheckRadio.h"
#include "skin/CoolGroups.h"
#include "skin/CoolPanel.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace {

using skintest::DibPixels;
using skintest::Hex;
using skintest::MakeFilled;
using skintest::PatternColor;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kGround = RGB(40, 150, 120);

// "Comic Sans MS" bold at the character height whose measured tmHeight is the wanted one.
void UseFontOfHeight(ui::TFont& font, int tmHeight) {
    font.SetName("Comic Sans MS");
    font.SetStyle(ui::fsBold);
    for (int height = -8; height > -40; --height) {
        font.SetHeight(height);
        ui::WindowDC screen(nullptr);
        ui::SelectObjectScope selected(screen.Get(), font.Handle());
        TEXTMETRICA metrics{};
        GetTextMetricsA(screen.Get(), &metrics);
        if (metrics.tmHeight == tmHeight) return;
    }
    FAIL() << "no character height gives tmHeight " << tmHeight;
}

SIZE Extent(ui::TFont& font, const std::string& text) {
    ui::WindowDC screen(nullptr);
    ui::SelectObjectScope selected(screen.Get(), font.Handle());
    SIZE size{};
    GetTextExtentPoint32A(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// What the control's window shows: its background, then (unless only the background is asked for) its paint.
void PaintInto(ui::TBitmap& picture, ui::TWinControl& control, bool paint = true) {
    MakeFilled(picture, control.Width(), control.Height(), kMagenta);
    HDC dc = picture.Canvas().Handle();
    SendMessageA(control.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if (paint) SendMessageA(control.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

// Pixels of the area that differ between the pictures; the first few are reported.
int Mismatches(ui::TBitmap& actual, ui::TBitmap& expected, const RECT& area) {
    DibPixels a(actual), e(expected);
    int wrong = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (a.At(x, y) != e.At(x, y) && ++wrong <= 3)
                ADD_FAILURE() << x << "," << y << ": " << Hex(a.At(x, y)) << " instead of " << Hex(e.At(x, y));
    return wrong;
}

// Whether the box shows the system mark in that state at that place, over its own background.
bool ShowsMark(skin::TCoolCheckRadioBox& box, RECT mark, UINT state) {
    ui::TBitmap actual, expected;
    PaintInto(actual, box);
    PaintInto(expected, box, false);
    DrawFrameControl(expected.Canvas().Handle(), &mark, DFC_BUTTON, state);
    return Mismatches(actual, expected, mark) == 0;
}

void HoldKey(int key, bool held) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[key] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}

// A left click as the mouse makes it: the button is held while the press is handled.
void ClickOn(ui::TWinControl& control) {
    HoldKey(VK_LBUTTON, true);
    SendMessageA(control.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    HoldKey(VK_LBUTTON, false);
    SendMessageA(control.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

// A shown form tiled with the skin pattern, in the program's font unless a test picks another.
struct OnSkinnedForm : ::testing::Test {
    OnSkinnedForm() : skinned(skin::TCoolOptions{skin::ocPaintWallpaper}, 420, 300), form(skinned.form.get()) {
        form->Font().SetName("Comic Sans MS");
        form->Font().SetHeight(-13);
        form->Font().SetStyle(ui::fsBold);
        form->Show();
        Pump();
    }
    ~OnSkinnedForm() override { HoldKey(VK_LBUTTON, false); }

    struct Place {
        int Left, Top, Width, Height;
    };

    template <typename Control>
    Control* Add(ui::TWinControl* parent, Place bounds, const std::string& caption) {
        auto* control = new Control(form);
        control->SetParent(parent);
        control->SetBounds(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
        control->SetCaption(caption);
        return control;
    }

    skin::TCoolCheckRadioGroup* Group(Place bounds, std::vector<std::string> items, skin::TCheckRadioType type) {
        auto* group = Add<skin::TCoolCheckRadioGroup>(form, bounds, "Group");
        group->SetCheckRadioType(type);
        for (const std::string& item : items) group->Items().Add(item);
        return group;
    }

    void Pump() { application.ProcessMessages(); }

    ui::TApplication application;
    skintest::SkinnedForm skinned;
    ui::TForm* form;
};

using CoolCheckRadioBox = OnSkinnedForm;

TEST_F(CoolCheckRadioBox, DrawsTheSystemMarkOfEveryStateAtItsPlace) {
    auto* box = Add<skin::TCoolCheckRadioBox>(form, Place{10, 10, 60, 17}, "*.bmp");
    box->SetColor(kGround);
    for (ui::TAlignment side : {ui::taRightJustify, ui::taLeftJustify}) {
        box->SetAlignment(side);
        const RECT mark = side == ui::taRightJustify ? RECT{4, 2, 17, 15} : RECT{43, 2, 56, 15};
        for (skin::TCheckRadioType type : {skin::crCheckBox, skin::crRadioBox})
            for (skin::TCheckBoxState state : {skin::cbUnchecked, skin::cbChecked, skin::cbGrayed})
                for (bool flat : {false, true})
                    for (int mode = 0; mode < 3; ++mode) {  // enabled, pressed, disabled
                        box->SetCheckRadioType(type);
                        box->SetState(state);
                        box->SetFlat(flat);
                        box->SetEnabled(mode != 2);
                        if (mode == 1) SendMessageA(box->Handle(), WM_KEYDOWN, VK_SPACE, 1);
                        UINT expected = type == skin::crRadioBox ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
                        if (state == skin::cbChecked) expected |= DFCS_CHECKED;
                        if (state == skin::cbGrayed) expected |= DFCS_CHECKED | DFCS_INACTIVE;
                        if (mode != 0) expected |= DFCS_INACTIVE;
                        if (flat) expected |= DFCS_FLAT;
                        EXPECT_TRUE(ShowsMark(*box, mark, expected)) << "side " << side << " type " << type << " state "
                                                                     << state << " flat " << flat << " mode " << mode;
                        // A button release lets go of the mark without a click: the press was the key's.
                        if (mode == 1) SendMessageA(box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
                    }
    }
}

TEST_F(CoolCheckRadioBox, TheCaptionRectangleLeavesTheAcceleratorMarkOut) {
    // The focus rectangle goes one pixel round the caption's rectangle (no shadow).
    auto* box = Add<skin::TCoolCheckRadioBox>(form, Place{10, 10, 160, 31}, "Daily");
    UseFontOfHeight(box->Font(), 19);
    box->SetShadowSize(0);
    box->SetColor(kGround);
    auto* other = Add<skin::TCoolCheckRadioBox>(form, Place{10, 50, 100, 17}, "Other");
    const int ampersand = Extent(box->Font(), "&").cx;
    for (ui::TAlignment side : {ui::taRightJustify, ui::taLeftJustify})
        for (const char* caption : {"Daily", "&Daily"}) {
            box->SetAlignment(side);
            box->SetCaption(caption);
            other->SetFocus();
            ui::TBitmap plain, focused;
            PaintInto(plain, *box);
            box->SetFocus();
            PaintInto(focused, *box);
            RECT ring{160, 31, 0, 0};
            DibPixels a(plain), b(focused);
            for (int y = 0; y < 31; ++y)
                for (int x = 0; x < 160; ++x)
                    if (a.At(x, y) != b.At(x, y))
                        ring = RECT{std::min<LONG>(ring.left, x), std::min<LONG>(ring.top, y),
                                    std::max<LONG>(ring.right, x + 1), std::max<LONG>(ring.bottom, y + 1)};
            const int width = Extent(box->Font(), caption).cx - (caption[0] == '&' ? ampersand : 0);
            // The caption lies 4 pixels beside the 13-pixel mark, 4 pixels in from the edge; 15 - 19 / 2 = 6.
            const int left = side == ui::taRightJustify ? 21 : 160 - 21 - width;
            EXPECT_EQ(ring.left, left - 1) << caption;
            EXPECT_EQ(ring.right, left + width + 1) << caption;
            EXPECT_EQ(ring.top, 6);
            EXPECT_EQ(ring.bottom, 25);
        }
}

TEST_F(CoolCheckRadioBox, ClicksChangeTheStateAsTheBoxTypeSaysAndOnlyAChangeIsAClick) {
    auto* grayed = Add<skin::TCoolCheckRadioBox>(form, Place{10, 10, 100, 17}, "Three");
    grayed->SetAllowGrayed(true);
    std::vector<skin::TCheckBoxState> states;
    for (int i = 0; i < 4; ++i) {
        ClickOn(*grayed);
        states.push_back(grayed->State());
    }
    EXPECT_EQ(states,
              (std::vector<skin::TCheckBoxState>{skin::cbChecked, skin::cbGrayed, skin::cbUnchecked, skin::cbChecked}));

    auto* panel = Add<skin::TCoolPanel>(form, Place{10, 40, 300, 100}, "");
    std::vector<skin::TCoolCheckRadioBox*> radios;
    int clicks = 0;
    for (int i = 0; i < 4; ++i) {
        radios.push_back(Add<skin::TCoolCheckRadioBox>(i < 3 ? static_cast<ui::TWinControl*>(panel) : form,
                                                       Place{5 + 95 * (i % 3), 5, 90, 17}, "R"));
        radios.back()->SetCheckRadioType(skin::crRadioBox);
        radios.back()->SetChecked(true);
        radios.back()->OnClick = [&clicks] { ++clicks; };
    }
    radios[2]->SetGroupIndex(1);
    radios[0]->SetChecked(false);
    EXPECT_EQ(clicks, 0) << "setting Checked from code is no click";
    HoldKey(VK_LBUTTON, true);
    SendMessageA(radios[0]->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 0) << "the press focuses the box; only the release clicks";
    HoldKey(VK_LBUTTON, false);
    SendMessageA(radios[0]->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(radios[0]->Checked());
    EXPECT_FALSE(radios[1]->Checked()) << "same parent, same group index";
    EXPECT_TRUE(radios[2]->Checked()) << "another group index";
    EXPECT_TRUE(radios[3]->Checked()) << "another parent";
    EXPECT_TRUE(radios[0]->TabStop());
    EXPECT_FALSE(radios[1]->TabStop()) << "Tab reaches the selected radio box only";
    ClickOn(*radios[0]);
    EXPECT_EQ(clicks, 1) << "a click on a checked radio box changes nothing";
}

TEST_F(CoolCheckRadioBox, SpaceAndTheHeldMouseButtonPushTheMark) {
    auto* box = Add<skin::TCoolCheckRadioBox>(form, Place{10, 10, 100, 17}, "*.gif");
    const RECT mark{4, 2, 17, 15};
    std::vector<std::string> events;
    box->OnClick = [&] { events.push_back("click"); };
    box->OnMouseEnter = [&] { events.push_back("enter"); };
    box->OnMouseLeave = [&] { events.push_back("leave"); };
    box->SetFocus();
    SendMessageA(box->Handle(), WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_TRUE(ShowsMark(*box, mark, DFCS_BUTTONCHECK | DFCS_INACTIVE)) << "pushed while Space is down";
    SendMessageA(box->Handle(), WM_KEYUP, VK_SPACE, 1);
    EXPECT_TRUE(ShowsMark(*box, mark, DFCS_BUTTONCHECK | DFCS_CHECKED));
    EXPECT_EQ(events, std::vector<std::string>{"click"});

    HoldKey(VK_LBUTTON, true);
    SendMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(ShowsMark(*box, mark, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE));
    SendMessageA(box->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(ShowsMark(*box, mark, DFCS_BUTTONCHECK | DFCS_CHECKED)) << "released while the mouse is out";
    SendMessageA(box->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6, 6));
    EXPECT_TRUE(ShowsMark(*box, mark, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE)) << "pushed again";
    HoldKey(VK_LBUTTON, false);
    SendMessageA(box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
    EXPECT_EQ(events, (std::vector<std::string>{"click", "leave", "enter", "click"}));
    EXPECT_FALSE(box->Checked());

    // A press that ends elsewhere clicks nothing later: the box holds the mouse from its press, and a press
    // whose mouse is taken away (a box opening) is forgotten. The release goes where the system sends it.
    auto* other = Add<skin::TCoolCheckRadioBox>(form, Place{10, 40, 100, 17}, "*.bmp");
    int otherClicks = 0;
    other->OnClick = [&] { ++otherClicks; };
    const auto releaseOver = [](HWND under, POINT point) {
        HWND to = GetCapture() != nullptr ? GetCapture() : under;
        MapWindowPoints(under, to, &point, 1);
        SendMessageA(to, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    };
    SendMessageA(other->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(GetCapture(), other->Handle());
    releaseOver(form->Handle(), POINT{300, 200});
    SendMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    releaseOver(other->Handle(), POINT{5, 5});
    SendMessageA(other->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(form->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(ShowsMark(*other, mark, DFCS_BUTTONCHECK)) << "no longer pushed";
    releaseOver(other->Handle(), POINT{5, 5});
    EXPECT_EQ(otherClicks, 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), "click"), 2);
}

TEST_F(CoolCheckRadioBox, ADisabledCaptionIsEmbossedAlsoInSimpleView) {
    skintest::DistinctButtonColors colors;
    auto* box = Add<skin::TCoolCheckRadioBox>(form, Place{10, 10, 120, 25}, "*.&jpg");
    UseFontOfHeight(box->Font(), 19);
    box->SetColor(kGround);
    box->SetEnabled(false);
    for (bool simple : {false, true}) {
        box->SetSimpleView(simple);
        ui::TBitmap actual, expected;
        PaintInto(actual, *box);
        PaintInto(expected, *box, false);
        HDC dc = expected.Canvas().Handle();
        ui::SavedDC saved(dc);
        RECT mark{4, 6, 17, 19};
        DrawFrameControl(dc, &mark, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_INACTIVE);
        SelectObject(dc, box->Font().Handle());
        SetBkMode(dc, TRANSPARENT);
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>("*.&jpg"), 6, 21, 12 - 9, 0, 0,
                   DST_PREFIXTEXT | DSS_DISABLED);
        EXPECT_EQ(Mismatches(actual, expected, RECT{0, 0, 120, 25}), 0) << "SimpleView " << simple;
    }
}

TEST_F(CoolCheckRadioBox, ItsBackgroundIsTheParentsTheSkinOrItsColour) {
    auto* box = Add<skin::TCoolCheckRadioBox>(form, Place{37, 23, 150, 40}, "");
    box->SetTransparent(true);
    // Outside the mark, and on screen after a move too, the form's tiles at the box's place show.
    const auto expectTiles = [&](ui::TBitmap& picture, POINT at, const char* when) {
        DibPixels pixels(picture);
        int wrong = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 20; x < 150; ++x)
                wrong += pixels.At(x, y) != PatternColor((at.x + x) % 196, (at.y + y) % 196) ? 1 : 0;
        EXPECT_EQ(wrong, 0) << when;
    };
    ui::TBitmap picture;
    PaintInto(picture, *box);
    expectTiles(picture, POINT{37, 23}, "painted");
    Pump();
    box->SetBounds(101, 77, 150, 40);
    Pump();
    MakeFilled(picture, 150, 40, kMagenta);
    ui::WindowDC screen(box->Handle());
    BitBlt(picture.Canvas().Handle(), 0, 0, 150, 40, screen.Get(), 0, 0, SRCCOPY);
    expectTiles(picture, POINT{101, 77}, "on screen after the move");

    ui::TBitmap own;
    MakeFilled(own, 7, 7, RGB(9, 8, 7));
    box->SetWallpaper(own);
    EXPECT_FALSE(box->Transparent()) << "a wallpaper of its own makes the box opaque";
    PaintInto(picture, *box, false);
    EXPECT_EQ(DibPixels(picture).At(100, 30), RGB(9, 8, 7));
    box->SetCoolImages(skinned.images);
    box->SetIdWallpaper(0);
    PaintInto(picture, *box, false);
    EXPECT_EQ(DibPixels(picture).At(100, 30), PatternColor(100, 30)) << "the set's bitmap, tiled from the corner";
    box->SetIdWallpaper(5);
    PaintInto(picture, *box, false);
    EXPECT_EQ(DibPixels(picture).At(100, 30), RGB(9, 8, 7)) << "no such item: the own wallpaper";
}

using CoolGroupBox = OnSkinnedForm;

TEST_F(CoolGroupBox, FramesItselfAndHidesTheFrameBehindItsCaption) {
    skintest::DistinctButtonColors colors;
    ui::TBitmap skinPicture;
    skintest::MakePattern(skinPicture, 196, 196);
    auto* panel = Add<skin::TCoolPanel>(form, Place{0, 0, 300, 200}, "");
    panel->SetWallpaper(skinPicture);
    auto* box = Add<skin::TCoolGroupBox>(panel, Place{31, 17, 85, 93}, "Type:");
    UseFontOfHeight(box->Font(), 19);
    box->SetTransparent(true);
    box->SetShadowSize(0);
    const SIZE caption = Extent(box->Font(), "Type:");
    ui::TBitmap actual, ground, expected;
    PaintInto(actual, *box);
    PaintInto(ground, *box, false);
    PaintInto(expected, *box, false);
    {
        HDC dc = expected.Canvas().Handle();
        ui::SavedDC saved(dc);
        ui::BrushHandle light(CreateSolidBrush(skintest::DistinctButtonColors::kHighlight));
        ui::BrushHandle dark(CreateSolidBrush(skintest::DistinctButtonColors::kShadow));
        const RECT outer{1, 9, 85, 93}, inner{0, 8, 84, 92};
        FrameRect(dc, &outer, light.Get());
        FrameRect(dc, &inner, dark.Get());
        // Under the caption the panel's skin shows again, and the text goes over it.
        BitBlt(dc, 8, 0, caption.cx, caption.cy, ground.Canvas().Handle(), 8, 0, SRCCOPY);
        // No shadow offset: the shadow's copy first, then the text in the font colour at the same place.
        SelectObject(dc, box->Font().Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, skintest::DistinctButtonColors::kHighlight);
        TextOutA(dc, 8, 0, "Type:", 5);
        SetTextColor(dc, ui::ColorToRGB(box->Font().Color()));
        TextOutA(dc, 8, 0, "Type:", 5);
    }
    EXPECT_EQ(Mismatches(actual, expected, RECT{0, 0, 85, 93}), 0);
    EXPECT_EQ(Hex(DibPixels(ground).At(40, 40)), Hex(PatternColor(31 + 40, 17 + 40))) << "the panel's tiles";

    // A plain single frame, and a disabled caption engraved on the box's colour.
    box->SetTransparent(false);
    box->SetCtl3D(false);
    box->SetColor(kGround);
    box->SetEnabled(false);
    PaintInto(actual, *box);
    PaintInto(expected, *box, false);
    HDC dc = expected.Canvas().Handle();
    ui::SavedDC saved(dc);
    const RECT frame{0, 8, 85, 93};
    FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWFRAME));
    SelectObject(dc, box->Font().Handle());
    SetTextColor(dc, ui::ColorToRGB(box->Font().Color()));
    SetBkColor(dc, kGround);
    SetBkMode(dc, OPAQUE);
    TextOutA(dc, 8, 0, "Type:", 5);
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>("Type:"), 5, 8, 0, 0, 0, DST_PREFIXTEXT | DSS_DISABLED);
    EXPECT_EQ(Mismatches(actual, expected, RECT{0, 0, 85, 93}), 0);
}

using CoolCheckRadioGroup = OnSkinnedForm;

TEST_F(CoolCheckRadioGroup, ItemsArePlacedInColumnsBelowTheCaption) {
    UseFontOfHeight(form->Font(), 19);
    auto* two = Group(Place{10, 10, 104, 93}, {"&Every Time", "&Daily"}, skin::crRadioBox);
    char className[32] = {};
    GetClassNameA(two->Handle(), className, sizeof className);
    EXPECT_STREQ(className, "TCoolCheckRadioGroup");
    auto* seven = Group(Place{10, 110, 300, 120}, {"1", "2", "3", "4", "5", "6", "7"}, skin::crRadioBox);
    seven->SetColumns(3);
    const auto bounds = [](skin::TCoolCheckRadioBox* item) {
        return std::vector<int>{item->Left(), item->Top(), item->Width(), item->Height()};
    };
    EXPECT_EQ(bounds(two->Buttons()[0]), (std::vector<int>{8, 20, 94, 34}));
    EXPECT_EQ(bounds(two->Buttons()[1]), (std::vector<int>{8, 54, 94, 34}));
    // Three rows of 96 x 32, the last column holding one item.
    const int lefts[] = {8, 8, 8, 104, 104, 104, 200}, tops[] = {20, 52, 84, 20, 52, 84, 20};
    for (int i = 0; i < 7; ++i) {
        RECT placed{};
        GetWindowRect(seven->Buttons()[i]->Handle(), &placed);
        MapWindowPoints(nullptr, seven->Handle(), reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_EQ((std::vector<int>{placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top}),
                  (std::vector<int>{lefts[i], tops[i], 96, 32}))
            << "item " << i;
    }
    seven->SetColumns(40);
    EXPECT_EQ(seven->Columns(), 16);
    EXPECT_EQ(seven->Buttons()[6]->Left(), 8 + 6 * ((300 - 10) / 16));
}

TEST_F(CoolCheckRadioGroup, ItemIndexIsClampedAndOnlyAChangingClickFiresOnClick) {
    auto* group = Group(Place{10, 10, 120, 120}, {"&Center", "&Stretch", "&Tile"}, skin::crRadioBox);
    std::vector<int> clicks;
    group->OnClick = [&] { clicks.push_back(group->ItemIndex()); };
    const auto checked = [group] {
        std::vector<bool> marks;
        for (auto* item : group->Buttons()) marks.push_back(item->Checked());
        return marks;
    };
    group->SetItemIndex(5);
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_EQ(checked(), (std::vector<bool>{false, false, true}));
    group->SetItemIndex(-7);
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_EQ(checked(), (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(clicks.empty()) << "setting the index from code is no click";
    ClickOn(*group->Buttons()[1]);
    ClickOn(*group->Buttons()[1]);
    EXPECT_EQ(clicks, std::vector<int>{1}) << "once, with the index already moved";
    EXPECT_EQ(checked(), (std::vector<bool>{false, true, false}));

    group->SetItemIndex(2);
    EXPECT_TRUE(group->Buttons()[2]->TabStop());
    EXPECT_FALSE(group->Buttons()[1]->TabStop()) << "Tab reaches the selected item only";
    base::TStringList shorter;
    shorter.Add("Center");
    shorter.Add("Tile");
    group->SetItems(shorter);
    EXPECT_EQ(group->ItemIndex(), 1);
    ASSERT_EQ(group->Buttons().size(), 2u);
    EXPECT_EQ(group->Buttons()[1]->Caption(), "Tile");
    EXPECT_TRUE(group->Buttons()[1]->Checked());
    // Items freed from outside: the index follows the chosen one, and is none once that one goes.
    group->Buttons()[0]->Free();
    EXPECT_EQ(group->ItemIndex(), 0);
    group->Buttons()[0]->Free();
    EXPECT_EQ(group->ItemIndex(), -1);
    group->SetItemIndex(0);
    EXPECT_EQ(group->ItemIndex(), -1) << "no item left to choose";

    auto* force = Group(Place{150, 10, 113, 93}, {"Force E&nable"}, skin::crCheckBox);
    std::vector<int> forced;
    force->OnClick = [&] { forced.push_back(force->ItemIndex()); };
    ClickOn(*force->Buttons()[0]);
    ClickOn(*force->Buttons()[0]);
    EXPECT_EQ(forced, (std::vector<int>{0, -1}));
}

TEST_F(CoolCheckRadioGroup, LoadingBuildsTheItemsOnceAndSettingsReachEveryItem) {
    auto layout = ui::MakeForm<ui::TForm>(nullptr);
    layout->BeginLoading();
    auto* group = new skin::TCoolCheckRadioGroup(layout.get());
    group->SetParent(layout.get());
    group->SetBounds(10, 10, 104, 93);
    group->SetItemIndex(1);
    group->Items().Add("Di&rectory");
    group->Items().Add("&List");
    group->SetShadowSize(0);
    group->SetFlat(true);
    EXPECT_TRUE(group->Buttons().empty()) << "nothing is built while the layout loads";
    layout->EndLoading();
    ASSERT_EQ(group->Buttons().size(), 2u);
    auto* first = group->Buttons()[0];
    auto* second = group->Buttons()[1];
    EXPECT_TRUE(second->Checked());
    EXPECT_TRUE(second->TabStop());
    EXPECT_FALSE(first->TabStop());
    EXPECT_TRUE(first->Transparent() && first->Flat() && first->ShadowSize() == 0);

    ui::TBitmap glyph;
    MakeFilled(glyph, 32, 16, RGB(1, 2, 3));
    group->SetGlyphMarked(glyph);
    group->SetShadowPos(skin::spRightBottom);
    group->SetSimpleView(true);
    for (auto* item : group->Buttons()) {
        EXPECT_TRUE(item->OwnerDraw());
        EXPECT_EQ(item->NumGlyphsMarked(), 2);
        item->SetNumGlyphsNormal(-3);
        EXPECT_EQ(item->NumGlyphsNormal(), 1) << "a count below one is taken as one";
        EXPECT_EQ(item->ShadowPos(), skin::spRightBottom);
        EXPECT_TRUE(item->SimpleView());
    }
    group->SetCheckRadioType(skin::crCheckBox);
    EXPECT_TRUE(first->TabStop()) << "check boxes are tab stops";
    group->SetEnabled(false);
    EXPECT_FALSE(first->Enabled() || second->Enabled());
}

// The setup dialog's options row, driven by keys through the form's dialog keyboard.
struct DialogKeys : OnSkinnedForm {
    DialogKeys() {
        changeWhen = Group(Place{61, 3, 104, 93}, {"&Every Time", "&Daily"}, skin::crRadioBox);
        mode = Group(Place{176, 3, 93, 93}, {"Di&rectory", "&List"}, skin::crRadioBox);
        auto* types = Add<skin::TCoolGroupBox>(form, Place{290, 3, 85, 93}, "Type:");
        bmp = Add<skin::TCoolCheckRadioBox>(types, Place{12, 20, 60, 17}, "*.bmp");
        for (auto* group : {changeWhen, mode}) group->SetItemIndex(0);
        changeWhen->OnClick = [this] { clicks.push_back(changeWhen->ItemIndex()); };
    }

    void Key(WPARAM key, bool shift = false) {
        HoldKey(VK_SHIFT, shift);
        PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageA(GetFocus(), WM_KEYUP, key, 0xC0000001);
        Pump();
        HoldKey(VK_SHIFT, false);
    }

    skin::TCoolCheckRadioGroup* changeWhen;
    skin::TCoolCheckRadioGroup* mode;
    skin::TCoolCheckRadioBox* bmp;
    std::vector<int> clicks;
};

TEST_F(DialogKeys, ArrowsSelectWithinARadioGroupAndTabLeavesFromTheSelectedItem) {
    const auto& items = changeWhen->Buttons();
    items[0]->SetFocus();
    Pump();
    Key(VK_DOWN);
    EXPECT_EQ(GetFocus(), items[1]->Handle());
    EXPECT_EQ(changeWhen->ItemIndex(), 1);
    EXPECT_EQ(clicks, std::vector<int>{1});
    EXPECT_TRUE(items[1]->TabStop());
    EXPECT_FALSE(items[0]->TabStop()) << "only the selected item stays a tab stop";
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), mode->Buttons()[0]->Handle());
    Key(VK_TAB, true);
    EXPECT_EQ(GetFocus(), items[1]->Handle()) << "back into the group at its selected item";
    Key(VK_DOWN);
    EXPECT_EQ(changeWhen->ItemIndex(), 0) << "the arrows wrap inside the group";
}

TEST_F(DialogKeys, AcceleratorsAndSpaceWorkTheItems) {
    mode->Buttons()[0]->SetFocus();
    Pump();
    PostMessageA(GetFocus(), WM_SYSCHAR, 'd', 1 << 29);
    Pump();
    EXPECT_EQ(GetFocus(), changeWhen->Buttons()[1]->Handle());
    EXPECT_EQ(changeWhen->ItemIndex(), 1);
    EXPECT_EQ(clicks, std::vector<int>{1}) << "one click for the focus and the accelerator together";
    bmp->SetFocus();
    Key(VK_SPACE);
    EXPECT_TRUE(bmp->Checked());
    Key(VK_SPACE);
    EXPECT_FALSE(bmp->Checked());
}

}  // namespace
