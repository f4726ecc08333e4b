#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "SkinTesting.h"
#include "skin/CoolCheckRadio.h"
#include "skin/CoolCtrls.h"
#include "skin/CoolGroups.h"
#include "skin/CoolUtils.h"

namespace {

using skintest::GdiHeadroom;
using skintest::kRoundsBeyondGdiLimit;
using skintest::MakeFilled;
using skintest::MakePattern;

// A handful of objects may be made once and kept by the system on first use (stock objects, caches);
// anything left behind per round would show up thousands of times over.
constexpr int kOneTimeAllowance = 16;

// Runs the work once to settle what is made only once, then the rounds (by default more than the
// per-process GDI limit of Windows), and checks that the GDI objects the process can still make are as
// many as before.
void ExpectNoGdiObjectLeftBehind(const std::function<void()>& work, int rounds = kRoundsBeyondGdiLimit) {
    work();
    const int before = GdiHeadroom();
    ASSERT_GT(before, kRoundsBeyondGdiLimit / 2);
    for (int round = 0; round < rounds; ++round) work();
    const int after = GdiHeadroom();
    EXPECT_GE(after, before - kOneTimeAllowance) << "GDI objects before " << before << ", after " << after;
    ui::BrushHandle brush(CreateSolidBrush(RGB(1, 2, 3)));
    EXPECT_TRUE(brush) << "a new GDI object can still be made";
}

TEST(GdiLeaks, DrawingRoutines) {
    ui::TBitmap skin;
    MakePattern(skin, 196, 196);
    ui::TBitmap canvas;
    MakeFilled(canvas, 210, 160, RGB(0, 0, 0));
    HDC dc = canvas.Canvas().Handle();
    ExpectNoGdiObjectLeftBehind([&] {
        skin::TileBitmap(dc, skin, RECT{0, 0, 200, 150}, false, SRCCOPY);
        skin::TileBitmap(dc, skin, RECT{0, 0, 20, 15}, true, SRCCOPY);
        skin::TileBitmapClipped(dc, skin, RECT{0, 0, 200, 150}, RECT{5, 5, 50, 50}, false, SRCCOPY);
        skin::FillGradient(dc, RECT{0, 0, 109, 33}, ui::clBtnFace, ui::clBtnShadow, 3, true);
        RECT text{0, 0, 100, 20};
        skin::DrawShadowedText(dc, text, skin::spRightBottom, "Leak", DT_SINGLELINE, ui::clBtnShadow,
                               ui::clBtnHighlight, 1);
    });
}

TEST(GdiLeaks, SkinnedFormTransparencyAndBorders) {
    skintest::SkinnedForm skinned(skin::TCoolOptions{skin::ocPaintWallpaper}, 300, 200);
    auto* container = new skintest::TransparentBox(skinned.form.get());
    container->SetParent(skinned.form.get());
    container->SetBounds(10, 10, 150, 100);
    auto* box = new skintest::TransparentBox(skinned.form.get());
    box->SetParent(container);
    box->SetBounds(5, 5, 100, 60);
    auto* spot = new skintest::SolidSpot(skinned.form.get());
    spot->SetParent(container);
    spot->SetBounds(50, 20, 30, 30);
    box->HandleNeeded();
    ui::TBitmap canvas;
    MakeFilled(canvas, 300, 200, RGB(0, 0, 0));
    HDC dc = canvas.Canvas().Handle();
    ui::TPen pen;
    pen.SetColor(RGB(9, 9, 9));
    ExpectNoGdiObjectLeftBehind([&] {
        SendMessageA(skinned.Window(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        SendMessageA(box->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        skin::PaintParentBackgroundClipped(box, dc, RECT{2, 2, 20, 20});
        skin::DrawFlatBorder(nullptr, container, true);
        skin::DrawEdgeBorders(nullptr, container, skin::TEdgeBorders{skin::ebLeft, skin::ebBottom}, RGB(1, 1, 1), pen);
        skinned.hook->TransparentRegion();
        skinned.hook->RoundedRegion(true);
    });
}

TEST(GdiLeaks, GlyphPainting) {
    ui::TBitmap one, strip;
    MakeFilled(one, 24, 24, RGB(0, 0, 0));
    MakeFilled(strip, 48, 24, RGB(255, 255, 255));
    skin::TGlyph single, twoImages;
    single.AssignSource(&one);
    twoImages.AssignSource(&strip);
    ui::TBitmap canvas;
    MakeFilled(canvas, 100, 40, RGB(0, 0, 0));
    ExpectNoGdiObjectLeftBehind([&] {
        single.PaintStateImage(canvas.Canvas(), POINT{0, 0}, ui::clNone, true, true);
        single.PaintStateImage(canvas.Canvas(), POINT{0, 0}, ui::clBtnFace, false, false);
        RECT bounds{};
        twoImages.PaintGlyphAndCaption(canvas.Canvas(), RECT{0, 0, 100, 40}, bounds, DT_SINGLELINE, 1,
                                       ui::clBtnHighlight, skin::spLeftTop, false, ui::clNone, true, false, 4, -1,
                                       skin::blGlyphLeft, "Go");
    });
}

TEST(GdiLeaks, GlyphsWithTheirListsAndStateImages) {
    // Making a state image is what a glyph does once per source; a quarter of the painting rounds still
    // shows any object it leaves behind thousands of times over.
    ui::TBitmap one, strip;
    MakeFilled(one, 24, 24, RGB(0, 0, 0));
    MakeFilled(strip, 48, 24, RGB(255, 255, 255));
    ExpectNoGdiObjectLeftBehind(
        [&] {
            skin::TGlyph glyph;
            glyph.AssignSource(&one);
            glyph.MakeStateImage(true);
            glyph.MakeStateImage(false);
            glyph.AssignSource(&strip);
            glyph.MakeStateImage(false);
        },
        kRoundsBeyondGdiLimit / 4);
}

TEST(GdiLeaks, CheckRadioBoxesGroupsAndGroupBoxes) {
    skintest::SkinnedForm skinned(skin::TCoolOptions{skin::ocPaintWallpaper}, 300, 200);
    ui::TForm* form = skinned.form.get();
    skinned.form->Show();
    ui::TBitmap glyph;
    MakeFilled(glyph, 26, 13, RGB(0, 90, 0));
    auto* box = new skin::TCoolCheckRadioBox(form);
    auto* drawn = new skin::TCoolCheckRadioBox(form);
    auto* group = new skin::TCoolCheckRadioGroup(form);
    auto* disabled = new skin::TCoolGroupBox(form);
    int top = 0;
    for (ui::TWinControl* control : std::vector<ui::TWinControl*>{box, drawn, group, disabled}) {
        control->SetParent(form);
        control->SetBounds(5, top, 120, control == group ? 90 : 30);
        control->SetCaption("&Leak");
        top += control->Height();
    }
    box->SetTransparent(true);
    box->SetBevelOuter(skin::bvRaised);
    box->SetCheckRadioType(skin::crRadioBox);
    drawn->SetOwnerDraw(true);
    drawn->SetGlyphNormal(&glyph);
    drawn->SetEnabled(false);
    group->SetTransparent(true);
    group->Items().Add("&One");
    group->Items().Add("&Two");
    group->SetItemIndex(1);
    disabled->SetEnabled(false);
    box->SetFocus();
    ui::TBitmap canvas;
    MakeFilled(canvas, 120, 90, RGB(0, 0, 0));
    HDC dc = canvas.Canvas().Handle();
    const std::vector<ui::TWinControl*> painted{box, drawn, group, group->Buttons()[1], disabled};
    ExpectNoGdiObjectLeftBehind(
        [&] {
            for (ui::TWinControl* control : painted) {
                SendMessageA(control->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
                SendMessageA(control->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
            }
        },
        kRoundsBeyondGdiLimit / 4);
}

}  // namespace
