#include <windows.h>

#include <gtest/gtest.h>

#include "SkinTesting.h"
#include "skin/CoolCtrls.h"
#include "skin/CoolUtils.h"

namespace {

using skintest::DibPixels;
using skintest::Hex;
using skintest::MakeFilled;
using skintest::PatternColor;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kSpot = RGB(250, 10, 10);

// A skinned form holding a transparent container, which holds a transparent box and a solid spot that
// overlaps the box.
class NestedTransparency : public ::testing::Test {
protected:
    static constexpr POINT kContainer{37, 23};
    static constexpr POINT kBox{11, 9};

    NestedTransparency() : skinned_(skin::TCoolOptions{skin::ocPaintWallpaper}, 400, 300) {
        container_ = new skintest::TransparentBox(skinned_.form.get());
        container_->SetParent(skinned_.form.get());
        container_->SetBounds(kContainer.x, kContainer.y, 200, 150);
        box_ = new skintest::TransparentBox(skinned_.form.get());
        box_->SetParent(container_);
        box_->SetBounds(kBox.x, kBox.y, 120, 80);
        spot_ = new skintest::SolidSpot(skinned_.form.get());
        spot_->SetParent(container_);
        spot_->SetBounds(100, 50, 60, 60);
        spot_->SetColor(kSpot);
        box_->HandleNeeded();
    }

    // The spot in the box's client coordinates.
    static RECT SpotInBox() { return RECT{100 - kBox.x, 50 - kBox.y, 160 - kBox.x, 110 - kBox.y}; }

    skintest::SkinnedForm skinned_;
    skintest::TransparentBox* container_ = nullptr;
    skintest::TransparentBox* box_ = nullptr;
    skintest::SolidSpot* spot_ = nullptr;
};

TEST_F(NestedTransparency, TheInnerBoxShowsTheFormsTilesUnderItAndTheContainersSpot) {
    ui::TBitmap picture;
    MakeFilled(picture, 120, 80, kMagenta);
    HDC dc = picture.Canvas().Handle();
    SendMessageA(box_->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    POINT origin{};
    GetWindowOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);

    const RECT spot = SpotInBox();
    DibPixels pixels(picture);
    int wrong = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 120; ++x) {
            const POINT p{x, y};
            const COLORREF expected =
                PtInRect(&spot, p) ? kSpot
                                   : PatternColor((kContainer.x + kBox.x + x) % 196, (kContainer.y + kBox.y + y) % 196);
            if (pixels.At(x, y) != expected && ++wrong < 5)
                ADD_FAILURE() << x << "," << y << ": " << Hex(pixels.At(x, y)) << " instead of " << Hex(expected);
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(NestedTransparency, ALevelAboveCopiesWhatTheAncestorShowsInItsOwnParent) {
    EXPECT_EQ(skin::GetAncestorControl(box_, 0), box_);
    EXPECT_EQ(skin::GetAncestorControl(box_, 1), container_);
    EXPECT_EQ(skin::GetAncestorControl(box_, 2), skinned_.form.get());
    EXPECT_EQ(skin::GetAncestorControl(box_, 200), skinned_.form.get());

    ui::TBitmap picture;
    MakeFilled(picture, 120, 80, kMagenta);
    skin::PaintParentBackground(skin::GetAncestorControl(box_, 1), picture.Canvas().Handle());
    DibPixels pixels(picture);
    for (int y = 0; y < 80; y += 2)
        for (int x = 0; x < 120; x += 2)
            ASSERT_EQ(pixels.At(x, y), PatternColor((kContainer.x + x) % 196, (kContainer.y + y) % 196))
                << x << "," << y;
}

TEST_F(NestedTransparency, TheClippedCopyTouchesOnlyItsRectangleAndAControlWithoutParentNothing) {
    ui::TBitmap picture;
    MakeFilled(picture, 120, 80, kMagenta);
    const RECT part{10, 12, 30, 40};
    skin::PaintParentBackgroundClipped(box_, picture.Canvas().Handle(), part);
    DibPixels pixels(picture);
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 120; ++x) {
            const POINT p{x, y};
            const COLORREF expected =
                PtInRect(&part, p) ? PatternColor((kContainer.x + kBox.x + x) % 196, (kContainer.y + kBox.y + y) % 196)
                                   : kMagenta;
            ASSERT_EQ(pixels.At(x, y), expected) << x << "," << y;
        }
    }

    skintest::TransparentBox orphan(nullptr);
    MakeFilled(picture, 120, 80, kMagenta);
    skin::PaintParentBackground(&orphan, picture.Canvas().Handle());
    EXPECT_EQ(DibPixels(picture).At(5, 5), kMagenta);
}

TEST_F(NestedTransparency, OnScreenTheBoxShowsTheTilesThroughBothLevels) {
    skinned_.form->Show();
    RedrawWindow(skinned_.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC screen = GetDC(box_->Handle());
    // A few points away from the spot.
    const POINT samples[] = {{0, 0}, {5, 70}, {60, 20}, {119, 0}, {80, 10}};
    for (const POINT& p : samples) {
        EXPECT_EQ(GetPixel(screen, p.x, p.y),
                  PatternColor((kContainer.x + kBox.x + p.x) % 196, (kContainer.y + kBox.y + p.y) % 196))
            << p.x << "," << p.y;
    }
    EXPECT_EQ(GetPixel(screen, 100, 60), kSpot);
    ReleaseDC(box_->Handle(), screen);
}

}  // namespace
