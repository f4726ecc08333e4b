#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "SkinTesting.h"
#include "skin/CoolLabel.h"
#include "skin/CoolPanel.h"
#include "support/GdiBudget.h"

namespace {

using skintest::DibPixels;
using skintest::DistinctButtonColors;
using skintest::Hex;
using skintest::MakeFilled;
using skintest::PatternColor;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kInk = RGB(0, 0, 160);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Erases and paints the control, then each of its child windows at its place, into a DC whose origin
// is the control's client origin: what the window manager puts on the screen, in memory.
void PaintWindowInto(ui::TWinControl& control, HDC dc) {
    SendMessageA(control.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(control.Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    for (ui::TControl* child : control.Controls()) {
        if (!child->IsWindowed() || !child->Visible()) continue;
        ui::SavedDC saved(dc);
        POINT origin{};
        GetViewportOrgEx(dc, &origin);
        SetViewportOrgEx(dc, origin.x + child->Left(), origin.y + child->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, child->Width(), child->Height());
        PaintWindowInto(static_cast<ui::TWinControl&>(*child), dc);
    }
}

// The form's tile at a point of the form's client area.
COLORREF TileAt(int x, int y) {
    return PatternColor(x % 196, y % 196);
}

// Where the label's caption touches the pixels: its text drawn white on black in the label's font at
// the label's text origin (left-aligned, no shadow offset).
void CoverageOf(skin::TCoolLabel& label, ui::TBitmap& mask) {
    MakeFilled(mask, label.Width(), label.Height(), RGB(0, 0, 0));
    HDC dc = mask.Canvas().Handle();
    ui::SavedDC saved(dc);
    SelectObject(dc, label.Font().Handle());
    SetTextColor(dc, kWhite);
    SetBkMode(dc, TRANSPARENT);
    RECT r{0, 0, label.Width(), label.Height()};
    DrawTextA(dc, label.Caption().c_str(), static_cast<int>(label.Caption().size()), &r, DT_LEFT | DT_EXPANDTABS);
}

// A skinned form (the 196 x 196 pattern tiled by its hook) with a transparent panel holding a
// transparent label, and a transparent panel inside it holding another transparent label.
struct SkinnedPanels : ::testing::Test {
    SkinnedPanels() : skinned(skin::TCoolOptions{skin::ocPaintWallpaper}, 400, 300) {
        panel = NewPanel(skinned.form.get(), 37, 23, 300, 220);
        title = NewLabel(panel, 11, 9, "Tiles and text");
        inner = NewPanel(panel, 20, 80, 250, 120);
        credit = NewLabel(inner, 13, 17, "Nested: W&M");
        inner->HandleNeeded();
    }

    skin::TCoolPanel* NewPanel(ui::TWinControl* parent, int left, int top, int width, int height) {
        auto* created = new skin::TCoolPanel(skinned.form.get());
        created->SetParent(parent);
        created->SetBounds(left, top, width, height);
        created->SetTransparent(true);
        return created;
    }

    skin::TCoolLabel* NewLabel(ui::TWinControl* parent, int left, int top, const std::string& caption) {
        auto* created = new skin::TCoolLabel(skinned.form.get());
        created->SetParent(parent);
        created->SetLeft(left);
        created->SetTop(top);
        created->SetTransparent(true);
        created->SetShadowSize(0);
        created->Font().SetName("Comic Sans MS");
        created->Font().SetHeight(-29);
        created->Font().SetStyle(ui::fsBold);
        created->Font().SetColor(kInk);
        created->SetCaption(caption);
        return created;
    }

    // The form's client area as the windows paint it.
    void PaintForm(ui::TBitmap& picture) {
        MakeFilled(picture, 400, 300, kMagenta);
        PaintWindowInto(*skinned.form, picture.Canvas().Handle());
    }

    // Counts the pixels of a panel's client area (whose origin lies at `origin` in the picture) that are
    // not the form's tile under them, leaving out the bevel ring and the areas of its children.
    int WrongPixels(ui::TBitmap& picture, POINT origin, skin::TCoolPanel& where, POINT panelOnForm) {
        DibPixels pixels(picture);
        int wrong = 0;
        for (int y = 1; y < where.Height() - 1; ++y) {
            for (int x = 1; x < where.Width() - 1; ++x) {
                bool covered = false;
                for (ui::TControl* child : where.Controls()) {
                    const RECT bounds = child->BoundsRect();
                    covered = covered || PtInRect(&bounds, POINT{x, y});
                }
                if (covered) continue;
                const COLORREF expected = TileAt(panelOnForm.x + x, panelOnForm.y + y);
                const COLORREF actual = pixels.At(origin.x + x, origin.y + y);
                if (actual != expected && ++wrong <= 3)
                    ADD_FAILURE() << "panel pixel " << x << "," << y << ": " << Hex(actual) << " instead of "
                                  << Hex(expected);
            }
        }
        return wrong;
    }

    // Checks the label's pixels against the tiles where its caption does not touch them, and against
    // the font colour where it covers them; returns how many were wrong.
    int WrongLabelPixels(ui::TBitmap& picture, POINT labelInPicture, skin::TCoolLabel& label, POINT labelOnForm) {
        ui::TBitmap mask;
        CoverageOf(label, mask);
        DibPixels coverage(mask);
        DibPixels pixels(picture);
        int wrong = 0, text = 0;
        for (int y = 0; y < label.Height(); ++y) {
            for (int x = 0; x < label.Width(); ++x) {
                const COLORREF touch = coverage.At(x, y);
                if (touch != RGB(0, 0, 0) && touch != kWhite) continue;
                const COLORREF expected = touch == kWhite ? kInk : TileAt(labelOnForm.x + x, labelOnForm.y + y);
                const COLORREF actual = pixels.At(labelInPicture.x + x, labelInPicture.y + y);
                text += touch == kWhite ? 1 : 0;
                if (actual != expected && ++wrong <= 3)
                    ADD_FAILURE() << "label pixel " << x << "," << y << ": " << Hex(actual) << " instead of "
                                  << Hex(expected);
            }
        }
        EXPECT_GT(text, 50) << "the caption covers pixels completely";
        return wrong;
    }

    skintest::SkinnedForm skinned;
    skin::TCoolPanel* panel;
    skin::TCoolLabel* title;
    skin::TCoolPanel* inner;
    skin::TCoolLabel* credit;
};

TEST_F(SkinnedPanels, TransparentLabelsOnTransparentPanelsShowTheFormsTilesExactlyBehindTheirText) {
    ui::TBitmap picture;
    PaintForm(picture);
    const POINT panelAt{37, 23};
    const POINT innerAt{37 + 20, 23 + 80};
    const POINT titleAt{panelAt.x + 11, panelAt.y + 9};
    const POINT creditAt{innerAt.x + 13, innerAt.y + 17};
    EXPECT_EQ(WrongLabelPixels(picture, titleAt, *title, titleAt), 0);
    EXPECT_EQ(WrongLabelPixels(picture, creditAt, *credit, creditAt), 0)
        << "the nested panel adds its offset to its parent's";
    EXPECT_EQ(WrongPixels(picture, panelAt, *panel, panelAt), 0);
    EXPECT_EQ(WrongPixels(picture, innerAt, *inner, innerAt), 0);
    // The default raised bevel is drawn over the copied background.
    DibPixels pixels(picture);
    EXPECT_EQ(pixels.At(panelAt.x + 150, panelAt.y), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixels.At(panelAt.x + 150, panelAt.y + 219), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pixels.At(innerAt.x, innerAt.y + 60), GetSysColor(COLOR_BTNHIGHLIGHT));
}

// Copies what the window shows on the screen into a picture of its client size.
void Capture(HWND window, ui::TBitmap& picture) {
    RECT client{};
    GetClientRect(window, &client);
    MakeFilled(picture, client.right, client.bottom, kMagenta);
    HDC screen = GetDC(window);
    BitBlt(picture.Canvas().Handle(), 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    ReleaseDC(window, screen);
}

TEST_F(SkinnedPanels, OnScreenTheTilesStayAlignedWithTheFormWhenThePanelMoves) {
    skinned.form->Show();
    RedrawWindow(skinned.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ui::TBitmap picture;
    Capture(panel->Handle(), picture);
    EXPECT_EQ(WrongPixels(picture, POINT{0, 0}, *panel, POINT{37, 23}), 0);

    // A small step: most of the panel's old pixels could be copied to its new place.
    panel->SetBounds(40, 25, 300, 220);
    skintest::PumpMessages();
    RedrawWindow(skinned.Window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Capture(panel->Handle(), picture);
    EXPECT_EQ(WrongLabelPixels(picture, POINT{11, 9}, *title, POINT{40 + 11, 25 + 9}), 0);
    EXPECT_EQ(WrongPixels(picture, POINT{0, 0}, *panel, POINT{40, 25}), 0);
    Capture(inner->Handle(), picture);
    EXPECT_EQ(WrongLabelPixels(picture, POINT{13, 17}, *credit, POINT{40 + 20 + 13, 25 + 80 + 17}), 0);
    EXPECT_EQ(WrongPixels(picture, POINT{0, 0}, *inner, POINT{40 + 20, 25 + 80}), 0);
}

TEST_F(SkinnedPanels, TransparencyRepaintsAtOnceAndAWallpaperEndsIt) {
    panel->SetTransparent(false);
    panel->SetColor(RGB(200, 30, 30));
    skinned.form->Show();
    RedrawWindow(skinned.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC dc = GetDC(panel->Handle());
    EXPECT_EQ(GetPixel(dc, 200, 40), RGB(200, 30, 30));
    panel->SetTransparent(true);
    EXPECT_EQ(GetPixel(dc, 200, 40), TileAt(37 + 200, 23 + 40)) << "without waiting for the message loop";

    ui::TBitmap own;
    skintest::MakePattern(own, 50, 40);
    panel->SetWallpaper(own);
    EXPECT_FALSE(panel->Transparent()) << "a panel given a Wallpaper stops being transparent";
    EXPECT_EQ(GetPixel(dc, 200, 40), PatternColor(200 % 50, 40 % 40)) << "its own skin, tiled from its corner";
    ReleaseDC(panel->Handle(), dc);
    ui::TBitmap picture;
    PaintForm(picture);
    EXPECT_EQ(DibPixels(picture).At(37 + 20 + 30, 23 + 80 + 30), PatternColor((20 + 30) % 50, (80 + 30) % 40))
        << "the transparent panel inside now shows its parent's wallpaper";

    panel->Wallpaper().Clear();
    ui::TBitmap erased;
    MakeFilled(erased, 300, 220, kMagenta);
    SendMessageA(panel->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(erased.Canvas().Handle()), 0);
    EXPECT_EQ(DibPixels(erased).At(60, 50), RGB(200, 30, 30)) << "without a skin the erase fills the colour";
}

TEST_F(SkinnedPanels, ANewSkinOnTheFormReachesTheTransparentPanelsButNotAnOpaqueOne) {
    skin::TCoolPanel* opaque = NewPanel(skinned.form.get(), 345, 250, 50, 45);
    opaque->SetTransparent(false);
    opaque->SetColor(RGB(20, 20, 200));
    skinned.form->Show();
    RedrawWindow(skinned.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    skintest::PumpMessages();
    ASSERT_FALSE(GetUpdateRect(panel->Handle(), nullptr, FALSE));

    // The form hook tells the form of its new skin through the colour-changed notification, which the
    // form passes on to its children as their parent's.
    ui::TBitmap plain;
    MakeFilled(plain, 196, 196, RGB(30, 160, 30));
    skinned.images->Bitmaps().Items(0)->SetBitmap(plain);
    EXPECT_TRUE(GetUpdateRect(panel->Handle(), nullptr, FALSE)) << "the transparent panel repaints";
    EXPECT_TRUE(GetUpdateRect(inner->Handle(), nullptr, FALSE)) << "with the transparent panel inside";
    EXPECT_FALSE(GetUpdateRect(opaque->Handle(), nullptr, FALSE)) << "the opaque one keeps its colour";
    skintest::PumpMessages();
    HDC dc = GetDC(inner->Handle());
    EXPECT_EQ(GetPixel(dc, 200, 60), RGB(30, 160, 30));
    ReleaseDC(inner->Handle(), dc);
}

TEST(CoolPanel, DrawsItsBevelsBorderAndCaptionOverItsOwnSkin) {
    DistinctButtonColors colors;
    const auto held = ui::MakeForm<ui::TForm>(nullptr);
    ui::TForm& form = *held;
    auto* images = new skin::TCoolImages(&form);
    MakeFilled(images->Bitmaps().Add()->Bitmap(), 30, 30, kWhite);
    auto* panel = new skin::TCoolPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 160, 60);
    panel->SetCoolImages(images);
    panel->SetIdWallpaper(0);
    panel->SetColor(RGB(40, 50, 60));
    panel->SetBorderWidth(2);
    panel->SetBevelInner(ui::bvLowered);
    panel->Font().SetColor(kInk);
    panel->Font().SetHeight(-19);
    panel->SetCaption("Panel");
    char name[32] = {};
    GetClassNameA(panel->Handle(), name, sizeof name);
    EXPECT_STREQ(name, "TCoolPanel");

    ui::TBitmap picture;
    MakeFilled(picture, 160, 60, kMagenta);
    PaintWindowInto(*panel, picture.Canvas().Handle());
    DibPixels pixels(picture);
    // Raised outer bevel, two rings of border in the panel's colour, lowered inner bevel, then the skin.
    EXPECT_EQ(pixels.At(80, 0), DistinctButtonColors::kHighlight);
    EXPECT_EQ(pixels.At(159, 30), DistinctButtonColors::kShadow);
    EXPECT_EQ(pixels.At(80, 1), RGB(40, 50, 60));
    EXPECT_EQ(pixels.At(2, 30), RGB(40, 50, 60));
    EXPECT_EQ(pixels.At(80, 3), DistinctButtonColors::kShadow);
    EXPECT_EQ(pixels.At(156, 30), DistinctButtonColors::kHighlight);
    EXPECT_EQ(pixels.At(5, 5), kWhite);
    // The caption's line is centred both ways.
    RECT ink{160, 60, 0, 0};
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 160; ++x)
            if (pixels.At(x, y) == kInk)
                ink = RECT{std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x + 1),
                           std::max<LONG>(ink.bottom, y + 1)};
    ASSERT_LT(ink.left, ink.right);
    EXPECT_NEAR(ink.left, 160 - ink.right, 4);
    EXPECT_NEAR(ink.top, 60 - ink.bottom, 8) << "the line's cell is centred; its ink sits above the descent";

    delete images;
    EXPECT_EQ(panel->CoolImages(), nullptr) << "the destroyed set is let go";
}

TEST_F(SkinnedPanels, ALevelAboveCopiesTheAncestorsBackgroundAtTheAncestorsPlace) {
    inner->SetTransparencyLevel(1);
    ui::TBitmap erased;
    MakeFilled(erased, 250, 120, kMagenta);
    SendMessageA(inner->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(erased.Canvas().Handle()), 0);
    // What the form shows under the outer panel, at the outer panel's offset, with the outer panel's
    // own label painted in.
    EXPECT_EQ(DibPixels(erased).At(200, 100), TileAt(37 + 200, 23 + 100));
}

TEST_F(SkinnedPanels, RepeatedPaintsLeaveNoGdiObjectBehind) {
    ui::TBitmap glyph;
    MakeFilled(glyph, 24, 24, RGB(200, 0, 0));
    title->SetGlyph(&glyph);
    title->SetBevelOuter(ui::bvRaised);
    title->SetEdgeBorders(skin::TEdgeBorders{skin::ebLeft, skin::ebBottom});
    title->SetShadowSize(1);
    credit->SetEnabled(false);
    inner->SetCaption("Caption");
    inner->SetBorderWidth(2);
    ui::TBitmap picture;
    PaintForm(picture);
    const COLORREF painted = DibPixels(picture).At(37 + 200, 23 + 60);
    {
        // With 200 handles left, a paint or a measure that kept one object would run out long before the end.
        testing_support::GdiBudget budget(200);
        ASSERT_GT(budget.Capacity(), 5000);
        for (int i = 0; i < 1000; ++i) {
            title->SetCaption(i % 2 == 0 ? "Tiles and more text" : "Tiles and text");
            PaintWindowInto(*skinned.form, picture.Canvas().Handle());
        }
        EXPECT_TRUE(testing_support::GdiBudget::CanCreateObjects());
    }
    EXPECT_EQ(DibPixels(picture).At(37 + 200, 23 + 60), painted) << "the paints still drew the panels";
}

}  // namespace
