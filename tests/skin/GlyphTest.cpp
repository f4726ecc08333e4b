#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "SkinTesting.h"
#include "skin/CoolUtils.h"

namespace {

using skintest::DibPixels;
using skintest::DistinctButtonColors;
using skintest::Hex;
using skintest::MakeFilled;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kOlive = RGB(128, 128, 0);

// A picture drawn pixel by pixel from a function of the position.
void Paint(ui::TBitmap& bitmap, int width, int height, const std::function<COLORREF(int, int)>& color) {
    bitmap.SetSize(width, height);
    DibPixels pixels(bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.Set(x, y, color(x, y));
}

// Draws the state image onto magenta at (3, 3) and returns the picture.
void DrawState(skin::TGlyph& glyph, bool enabled, ui::TBitmap& picture) {
    MakeFilled(picture, 32, 32, kMagenta);
    glyph.PaintStateImage(picture.Canvas(), POINT{3, 3}, ui::clNone, true, enabled);
}

TEST(GlyphCache, GlyphsOfOneSizeShareAListWhoseSlotsAreReusedAndTheLastGlyphFreesEverything) {
    ASSERT_EQ(skin::TGlyphCache::Instance(), nullptr) << "no glyph is alive between tests";
    ui::TBitmap red, blue, green, small;
    MakeFilled(red, 24, 24, RGB(200, 0, 0));
    MakeFilled(blue, 24, 24, RGB(0, 0, 200));
    MakeFilled(green, 24, 24, RGB(0, 200, 0));
    MakeFilled(small, 16, 16, RGB(9, 9, 9));
    // The transparent colour is each picture's bottom-left pixel: mark one so that the rest is drawn.
    for (ui::TBitmap* picture : {&red, &blue, &green}) DibPixels(*picture).Set(0, 23, kOlive);

    auto a = std::make_unique<skin::TGlyph>();
    auto b = std::make_unique<skin::TGlyph>();
    ASSERT_NE(skin::TGlyphCache::Instance(), nullptr);
    a->AssignSource(&red);
    b->AssignSource(&blue);
    const int slotA = a->MakeStateImage(true);
    const int slotB = b->MakeStateImage(true);
    ASSERT_NE(a->GlyphList(), nullptr);
    EXPECT_EQ(a->GlyphList(), b->GlyphList());
    EXPECT_NE(slotA, slotB);
    skin::TGlyphList* list = a->GlyphList();
    EXPECT_EQ(list->UsedCount(), 2);
    EXPECT_EQ(skin::TGlyphCache::Instance()->ListCount(), 1);

    {
        skin::TGlyph other;
        other.AssignSource(&small);
        other.MakeStateImage(true);
        EXPECT_NE(other.GlyphList(), list);
        EXPECT_EQ(skin::TGlyphCache::Instance()->ListCount(), 2);
    }
    EXPECT_EQ(skin::TGlyphCache::Instance()->ListCount(), 1) << "a list nobody uses goes";

    a->AssignSource(&green);
    EXPECT_EQ(a->StateIndex(true), -1);
    EXPECT_EQ(list->UsedCount(), 1);
    EXPECT_EQ(a->MakeStateImage(true), slotA) << "the freed slot is taken again";
    EXPECT_EQ(a->GlyphList(), list);
    EXPECT_EQ(list->Count(), 2);

    ui::TBitmap picture;
    DrawState(*a, true, picture);
    EXPECT_EQ(DibPixels(picture).At(10, 10), RGB(0, 200, 0));
    EXPECT_EQ(DibPixels(picture).At(3, 26), kMagenta) << "the transparent colour";
    DrawState(*b, true, picture);
    EXPECT_EQ(DibPixels(picture).At(10, 10), RGB(0, 0, 200));

    a.reset();
    EXPECT_NE(skin::TGlyphCache::Instance(), nullptr);
    EXPECT_EQ(list->UsedCount(), 1);
    b.reset();
    EXPECT_EQ(skin::TGlyphCache::Instance(), nullptr);
}

TEST(Glyph, CountsItsImagesFromTheStripsShape) {
    skin::TGlyph glyph;
    int changes = 0;
    glyph.OnChange = [&changes] { ++changes; };
    ui::TBitmap strip;
    const auto assign = [&](int width) {
        MakeFilled(strip, width, 24, RGB(1, 1, 1));
        glyph.AssignSource(&strip);
        return glyph.ImageCount();
    };
    EXPECT_EQ(assign(24), 1);
    EXPECT_GT(changes, 0);
    EXPECT_EQ(assign(48), 2);
    EXPECT_EQ(assign(30), 2) << "not a whole multiple: the count stays";
    EXPECT_EQ(assign(96), 4);
    EXPECT_EQ(assign(120), 1) << "more than four images count as one";

    strip.SetTransparentColor(RGB(7, 7, 7));
    glyph.AssignSource(&strip);
    EXPECT_EQ(glyph.TransparentColor(), RGB(7, 7, 7));
    glyph.AssignSource(nullptr);
    EXPECT_TRUE(glyph.Source().Empty());
    EXPECT_EQ(glyph.MakeStateImage(true), -1);
}

TEST(Glyph, AOneImageGlyphIsEngravedWhenDisabled) {
    DistinctButtonColors colors;
    // Black strokes on a light ground; the bottom-left pixel is not black.
    const auto black = [](int x, int y) {
        return (x == y && x < 20) || (x >= 14 && x < 18 && y >= 3 && y < 12) || (x == 23 && y == 0);
    };
    ui::TBitmap source;
    Paint(source, 24, 24, [&](int x, int y) { return black(x, y) ? RGB(0, 0, 0) : RGB(30, 160, 90); });
    skin::TGlyph glyph;
    glyph.AssignSource(&source);
    ASSERT_EQ(glyph.ImageCount(), 1);

    ui::TBitmap picture;
    DrawState(glyph, false, picture);
    DibPixels pixels(picture);
    int wrong = 0;
    for (int y = -3; y < 29; ++y) {
        for (int x = -3; x < 29; ++x) {
            COLORREF expected = kMagenta;
            const bool inside = x >= 0 && y >= 0 && x < 24 && y < 24;
            if (inside && black(x, y))
                expected = colors.kShadow;
            else if (inside && black(x - 1, y - 1))
                expected = colors.kHighlight;
            if (pixels.At(x + 3, y + 3) != expected && ++wrong < 5)
                ADD_FAILURE() << x << "," << y << ": " << Hex(pixels.At(x + 3, y + 3)) << " instead of "
                              << Hex(expected);
        }
    }
    EXPECT_EQ(wrong, 0);

    DrawState(glyph, true, picture);
    EXPECT_EQ(DibPixels(picture).At(3 + 5, 3 + 5), RGB(0, 0, 0));
    EXPECT_EQ(DibPixels(picture).At(3 + 1, 3 + 20), kMagenta) << "the ground is the bottom-left colour";
}

TEST(Glyph, ATwoImageStripShowsItsSecondHalfWithTheStandardColoursReplacedWhenDisabled) {
    DistinctButtonColors colors;
    const COLORREF white = RGB(255, 255, 255), grey = RGB(128, 128, 128), blue = RGB(0, 0, 210), red = RGB(200, 0, 0);
    // Right half: bands of white, grey, blue and the transparent colour; left half: red on olive.
    const auto right = [&](int x, int y) {
        if (y < 6) return white;
        if (y < 12) return grey;
        if (y < 18) return x < 12 ? blue : white;
        return kOlive;
    };
    ui::TBitmap strip;
    Paint(strip, 48, 24, [&](int x, int y) { return x < 24 ? (y < 20 ? red : kOlive) : right(x - 24, y); });
    skin::TGlyph glyph;
    glyph.AssignSource(&strip);
    ASSERT_EQ(glyph.ImageCount(), 2);
    EXPECT_EQ(glyph.TransparentColor(), kOlive);

    ui::TBitmap picture;
    DrawState(glyph, false, picture);
    DibPixels disabled(picture);
    int wrong = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
            const COLORREF original = right(x, y);
            const COLORREF expected = original == white  ? colors.kHighlight
                                      : original == grey ? colors.kShadow
                                      : original == blue ? blue
                                                         : kMagenta;
            if (disabled.At(x + 3, y + 3) != expected && ++wrong < 5)
                ADD_FAILURE() << x << "," << y << ": " << Hex(disabled.At(x + 3, y + 3)) << " instead of "
                              << Hex(expected);
        }
    }
    EXPECT_EQ(wrong, 0);

    DrawState(glyph, true, picture);
    DibPixels enabled(picture);
    EXPECT_EQ(enabled.At(3 + 10, 3 + 10), red);
    EXPECT_EQ(enabled.At(3 + 10, 3 + 22), kMagenta);
}

TEST(GlyphLayout, CentresGlyphAndCaptionAsAGroupWithTheGivenSpacing) {
    // A 109 x 33 client, a 24 x 24 glyph and a 40 x 19 caption, margin chosen, spacing 4.
    skin::TGlyphTextPlacement p =
        skin::ArrangeGlyphAndText(SIZE{109, 33}, SIZE{24, 24}, SIZE{40, 19}, 4, -1, skin::blGlyphLeft);
    EXPECT_EQ(p.Glyph.x, 21);
    EXPECT_EQ(p.Text.x, 49);
    EXPECT_EQ(p.Glyph.y, 5);
    EXPECT_EQ(p.Text.y, 7);

    p = skin::ArrangeGlyphAndText(SIZE{109, 33}, SIZE{24, 24}, SIZE{40, 19}, 4, -1, skin::blGlyphRight);
    EXPECT_EQ(p.Glyph.x, 109 - 21 - 24);
    EXPECT_EQ(p.Text.x, 109 - 21 - 24 - 4 - 40);

    // Both chosen: a third of the room each side and between.
    p = skin::ArrangeGlyphAndText(SIZE{109, 33}, SIZE{24, 24}, SIZE{40, 19}, -1, -1, skin::blGlyphLeft);
    EXPECT_EQ(p.Glyph.x, 15);
    EXPECT_EQ(p.Text.x, 15 + 24 + 15);

    // Margin given: the caption centred in what is left.
    p = skin::ArrangeGlyphAndText(SIZE{109, 33}, SIZE{24, 24}, SIZE{40, 19}, -1, 2, skin::blGlyphLeft);
    EXPECT_EQ(p.Text.x, 2 + 24 + (109 - 26 - 40) / 2);

    // Top: the axes swap.
    p = skin::ArrangeGlyphAndText(SIZE{60, 80}, SIZE{24, 24}, SIZE{40, 19}, 4, -1, skin::blGlyphTop);
    EXPECT_EQ(p.Glyph.x, (60 - 24 + 1) / 2);
    EXPECT_EQ(p.Text.x, (60 - 40 + 1) / 2);
    EXPECT_EQ(p.Glyph.y, (80 - 47 + 1) / 2);
    EXPECT_EQ(p.Text.y, p.Glyph.y + 28);

    // No caption: no spacing.
    p = skin::ArrangeGlyphAndText(SIZE{109, 33}, SIZE{24, 24}, SIZE{0, 0}, 4, -1, skin::blGlyphLeft);
    EXPECT_EQ(p.Glyph.x, (109 - 24 + 1) / 2);
}

TEST(GlyphLayout, MeasuresTheCaptionOnTheCanvasAndPlacesBothInsideTheClientRectangle) {
    ui::TBitmap picture;
    MakeFilled(picture, 140, 60, kMagenta);
    ui::TCanvas& canvas = picture.Canvas();
    canvas.Font().SetHeight(-13);
    const std::string caption = "Browse";
    RECT measured{0, 0, 109, 0};
    canvas.DrawText(caption, measured, DT_SINGLELINE | DT_CALCRECT);
    const SIZE textSize{measured.right, measured.bottom};
    ASSERT_GT(textSize.cx, 0);

    skin::TGlyph glyph;
    ui::TBitmap source;
    MakeFilled(source, 24, 24, RGB(0, 0, 0));
    glyph.AssignSource(&source);
    const RECT client{5, 7, 114, 40};
    RECT bounds{};
    POINT glyphPos{};
    glyph.LayoutGlyphAndText(canvas, client, DT_SINGLELINE, bounds, glyphPos, 4, -1, skin::blGlyphLeft, caption);
    const skin::TGlyphTextPlacement expected =
        skin::ArrangeGlyphAndText(SIZE{109, 33}, SIZE{24, 24}, textSize, 4, -1, skin::blGlyphLeft);
    EXPECT_EQ(glyphPos.x, 5 + expected.Glyph.x);
    EXPECT_EQ(glyphPos.y, 7 + expected.Glyph.y);
    EXPECT_EQ(bounds.left, 5 + expected.Text.x);
    EXPECT_EQ(bounds.top, 7 + expected.Text.y);
    EXPECT_EQ(bounds.right - bounds.left, textSize.cx);
    EXPECT_EQ(bounds.bottom - bounds.top, textSize.cy);

    // Right-to-left reading puts the glyph on the other side.
    glyph.LayoutGlyphAndText(canvas, client, DT_SINGLELINE | DT_RIGHT, bounds, glyphPos, 4, -1, skin::blGlyphLeft,
                             caption);
    EXPECT_EQ(glyphPos.x, 5 + 109 - expected.Glyph.x - 24);
    EXPECT_LT(bounds.left, glyphPos.x);
}

TEST(Glyph, PaintsADisabledCaptionEngravedBesideTheGlyph) {
    DistinctButtonColors colors;
    ui::TBitmap picture;
    MakeFilled(picture, 160, 40, kMagenta);
    ui::TCanvas& canvas = picture.Canvas();
    canvas.Font().SetHeight(-16);
    canvas.Font().SetStyle(ui::fsBold);
    skin::TGlyph glyph;
    ui::TBitmap source;
    Paint(source, 24, 24, [](int x, int y) { return y == 23 ? kOlive : RGB(0, 0, 0); });
    glyph.AssignSource(&source);
    RECT bounds{};
    glyph.PaintGlyphAndCaption(canvas, RECT{0, 0, 150, 36}, bounds, DT_SINGLELINE, 1, ui::clBtnHighlight,
                               skin::spLeftTop, false, ui::clNone, true, false, 4, -1, skin::blGlyphLeft, "Save");
    DibPixels pixels(picture);
    int shadow = 0, highlight = 0;
    for (int y = bounds.top; y <= bounds.bottom; ++y) {
        for (int x = bounds.left; x <= bounds.right; ++x) {
            const COLORREF c = pixels.At(x, y);
            shadow += c == colors.kShadow ? 1 : 0;
            highlight += c == colors.kHighlight ? 1 : 0;
        }
    }
    EXPECT_GT(shadow, 10);
    EXPECT_GT(highlight, 10);
    // The engraved glyph: black became the shadow colour, its copy is one pixel right and down.
    const int glyphX = bounds.left - 4 - 24;
    const int glyphY = (36 - 24 + 1) / 2;
    EXPECT_EQ(pixels.At(glyphX + 2, glyphY + 2), colors.kShadow);
    EXPECT_EQ(pixels.At(glyphX + 23, glyphY + 23), colors.kHighlight);
    EXPECT_EQ(pixels.At(150, 20), kMagenta) << "the caption stays inside the client rectangle";
}

}  // namespace
