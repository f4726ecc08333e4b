#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "SkinTesting.h"
#include "skin/CoolLabel.h"
#include "skin/CoolPanel.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace {

using skintest::DibPixels;
using skintest::DistinctButtonColors;
using skintest::Hex;
using skintest::MakeFilled;
using skintest::PatternColor;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kInk = RGB(0, 0, 160);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

void UseFont(ui::TFont& font, int height, ui::TColor color, ui::TFontStyles style = ui::fsBold) {
    font.SetName("Comic Sans MS");
    font.SetHeight(height);
    font.SetStyle(style);
    font.SetColor(color);
}

// The text's extent in the font as DrawText measures one line of it, and the font's cell metrics.
struct TextMeasure {
    SIZE extent{};
    TEXTMETRICA metrics{};
};

TextMeasure Measure(const ui::TFont& font, const std::string& text) {
    TextMeasure measure;
    HDC screen = GetDC(nullptr);
    {
        ui::SavedDC saved(screen);
        SelectObject(screen, font.Handle());
        RECT r{0, 0, 0, 0};
        DrawTextA(screen, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
        measure.extent = SIZE{r.right, r.bottom};
        GetTextMetricsA(screen, &measure.metrics);
    }
    ReleaseDC(nullptr, screen);
    return measure;
}

// The smallest rectangle holding every pixel of exactly the colour (empty when there is none).
RECT BoxOf(ui::TBitmap& picture, COLORREF color) {
    DibPixels pixels(picture);
    RECT box{picture.Width(), picture.Height(), 0, 0};
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (pixels.At(x, y) != color) continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    }
    return box;
}

// The smallest rectangle holding every pixel that is not the colour.
RECT BoxOfAllBut(ui::TBitmap& picture, COLORREF color) {
    DibPixels pixels(picture);
    RECT box{picture.Width(), picture.Height(), 0, 0};
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (pixels.At(x, y) == color) continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    }
    return box;
}

// A label on a form that is never shown: enough to measure and to paint into memory pictures.
struct LabelOnForm : ::testing::Test {
    LabelOnForm() : form(std::make_unique<ui::TForm>(nullptr)) {
        label = new skin::TCoolLabel(form.get());
        label->SetParent(form.get());
        label->SetBounds(200, 10, 65, 17);
        UseFont(label->Font(), -19, kInk);
    }

    // The label painted over magenta into a picture of its size.
    void PaintLabel(ui::TBitmap& picture) {
        MakeFilled(picture, label->Width(), label->Height(), kMagenta);
        label->PaintTo(picture.Canvas().Handle());
    }

    std::unique_ptr<ui::TForm> form;
    skin::TCoolLabel* label;
};

TEST_F(LabelOnForm, StartsWithTheDefaultsOfItsTable) {
    skin::TCoolLabel fresh(nullptr);
    EXPECT_EQ(fresh.ShadowColor(), ui::clBtnHighlight);
    EXPECT_EQ(fresh.ShadowSize(), 1);
    EXPECT_EQ(fresh.ShadowPos(), skin::spLeftTop);
    EXPECT_FALSE(fresh.SimpleView());
    EXPECT_FALSE(fresh.Stretched());
    EXPECT_EQ(fresh.BevelInner(), ui::bvNone);
    EXPECT_EQ(fresh.BevelOuter(), ui::bvNone);
    EXPECT_EQ(fresh.BevelsOffset(), 0);
    EXPECT_TRUE(fresh.Glyph().Empty());
    EXPECT_EQ(fresh.NumGlyphs(), 1);
    EXPECT_EQ(fresh.CoolImages(), nullptr);
    EXPECT_EQ(fresh.IdWallpaper(), -1);
    EXPECT_TRUE(fresh.EdgeBorders().Empty());
    EXPECT_EQ(fresh.Alignment(), ui::taLeftJustify);
    EXPECT_TRUE(fresh.AutoSize());
    EXPECT_EQ(fresh.Layout(), ui::tlTop);
    EXPECT_FALSE(fresh.WordWrap());
    EXPECT_TRUE(fresh.ShowAccelChar());
    EXPECT_FALSE(fresh.Transparent());
    EXPECT_TRUE(skin::IsCoolControl(&fresh));
}

TEST_F(LabelOnForm, AnEmptyCaptionOrALoneAmpersandMeasuresOneLine) {
    label->SetShadowSize(0);
    label->SetCaption("x");
    label->SetCaption("");
    const TextMeasure blank = Measure(label->Font(), " ");
    EXPECT_EQ(label->Height(), blank.metrics.tmHeight) << "one line of the font";
    EXPECT_EQ(label->Width(), blank.extent.cx);
    label->SetCaption("&");
    EXPECT_EQ(label->Height(), blank.metrics.tmHeight);
    EXPECT_EQ(label->Width(), blank.extent.cx) << "the mark shows nothing: a blank is measured";
    label->SetShowAccelChar(false);
    EXPECT_EQ(label->Width(), Measure(label->Font(), "&").extent.cx) << "without accelerators it is a character";
}

TEST_F(LabelOnForm, FitsItsCaptionWithTheShadowAndTheFontAfterLoadingAndOnlyWithAParentAndAutoSize) {
    label->SetCaption("Reading inifile...");
    TextMeasure text = Measure(label->Font(), "Reading inifile...");
    // The default shadow lies one pixel left of and above the text, which moves right and down by it.
    EXPECT_EQ(label->Width(), text.extent.cx + 1);
    EXPECT_EQ(label->Height(), text.extent.cy + 1);
    EXPECT_EQ(label->Left(), 200);

    UseFont(label->Font(), -29, kInk);
    text = Measure(label->Font(), "Reading inifile...");
    EXPECT_EQ(label->Width(), text.extent.cx + 1) << "a font change fits again";
    EXPECT_EQ(label->Height(), text.extent.cy + 1);

    label->SetAutoSize(false);
    label->SetCaption("Closing Tamberlyn, a longer caption...");
    EXPECT_EQ(label->Width(), text.extent.cx + 1) << "without AutoSize the size stays";
    label->SetAutoSize(true);
    EXPECT_EQ(label->Width(), Measure(label->Font(), "Closing Tamberlyn, a longer caption...").extent.cx + 1)
        << "turning AutoSize on fits at once";

    skin::TCoolLabel orphan(nullptr);
    orphan.SetCaption("No parent to measure for");
    EXPECT_EQ(orphan.Width(), 65);
    EXPECT_EQ(orphan.Height(), 17);

    form->BeginLoading();
    auto* loaded = new skin::TCoolLabel(form.get());
    loaded->SetParent(form.get());
    loaded->SetCaption("Loaded later");
    EXPECT_EQ(loaded->Width(), 65) << "nothing is measured while the layout loads";
    form->EndLoading();
    EXPECT_EQ(loaded->Width(), Measure(loaded->Font(), "Loaded later").extent.cx + 1);
}

TEST_F(LabelOnForm, ARightAlignedLabelKeepsItsRightEdgeAsItsCaptionGrows) {
    label->SetAlignment(ui::taRightJustify);
    label->SetCaption("Dir:");
    const int right = label->Left() + label->Width();
    label->SetCaption("A much longer directory caption:");
    EXPECT_GT(label->Width(), Measure(label->Font(), "Dir:").extent.cx + 1);
    EXPECT_EQ(label->Left() + label->Width(), right);
    label->SetCaption("D:");
    EXPECT_EQ(label->Left() + label->Width(), right) << "and as it shrinks";

    label->SetAlignment(ui::taLeftJustify);
    const int left = label->Left();
    label->SetCaption("A much longer directory caption:");
    EXPECT_EQ(label->Left(), left) << "a left-aligned label grows to the right";
}

TEST_F(LabelOnForm, AGlyphWidensTheLabelAndAtMostTwoOfItsImagesCount) {
    label->SetShadowSize(0);
    label->SetCaption("Ok");
    const TextMeasure text = Measure(label->Font(), "Ok");
    ui::TBitmap strip;
    MakeFilled(strip, 48, 40, RGB(0, 128, 0));
    label->SetGlyph(&strip);
    ASSERT_EQ(label->NumGlyphs(), 1) << "a 48 x 40 strip is not a row of squares";
    EXPECT_EQ(label->Width(), text.extent.cx + 48 + 2);
    EXPECT_EQ(label->Height(), std::max<int>(text.extent.cy, 40)) << "the taller of glyph and text";

    label->SetNumGlyphs(3);
    EXPECT_EQ(label->NumGlyphs(), 2) << "NumGlyphs 3 is stored as 2";
    label->SetNumGlyphs(0);
    EXPECT_EQ(label->NumGlyphs(), 2);
    label->SetCaption("Okay");
    EXPECT_EQ(label->Width(), Measure(label->Font(), "Okay").extent.cx + 24 + 2) << "each image is half the strip";
    label->SetGlyph(nullptr);
    EXPECT_EQ(label->Width(), Measure(label->Font(), "Okay").extent.cx);
}

TEST_F(LabelOnForm, TheGlyphGoesBeforeTheCaptionForEachAlignment) {
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 240, 40);
    label->SetColor(kWhite);
    label->SetShadowSize(0);
    label->SetCaption("Glyph");
    constexpr COLORREF kGreen = RGB(0, 150, 0);
    ui::TBitmap glyph;
    MakeFilled(glyph, 24, 24, kGreen);
    // The bottom-left pixel names the transparent colour.
    DibPixels(glyph).Set(0, 23, RGB(128, 128, 0));
    ui::TBitmap picture;
    PaintLabel(picture);
    const RECT bare = BoxOf(picture, kInk);
    label->SetGlyph(&glyph);
    const int textWidth = Measure(label->Font(), "Glyph").extent.cx;

    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kGreen).left, 0);
    EXPECT_EQ(BoxOf(picture, kGreen).top, 0);
    EXPECT_EQ(BoxOf(picture, kInk).left, bare.left + 24 + 2) << "the caption moves right of the glyph";

    label->SetAlignment(ui::taRightJustify);
    label->SetGlyph(nullptr);
    PaintLabel(picture);
    const RECT right = BoxOf(picture, kInk);
    label->SetGlyph(&glyph);
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kGreen).left, 240 - textWidth - 24 - 2);
    EXPECT_EQ(BoxOf(picture, kInk).right, right.right) << "the caption stays at the right edge";

    label->SetAlignment(ui::taCenter);
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kGreen).left, 240 / 2 - (textWidth + 24 + 2) / 2) << "glyph and caption centred together";
    label->SetGlyph(nullptr);
    PaintLabel(picture);
    const RECT centred = BoxOf(picture, kInk);
    label->SetGlyph(&glyph);
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kInk).left, centred.left + 13);

    label->SetEnabled(false);
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kGreen).right, 0) << "the disabled glyph is the engraved one";
}

TEST_F(LabelOnForm, BevelsOffsetTurnsAutoSizeOffAndInsetsTheCaptionFromTheBevels) {
    label->SetBevelsOffset(0);
    EXPECT_TRUE(label->AutoSize());
    label->SetBevelsOffset(3);
    EXPECT_FALSE(label->AutoSize()) << "BevelsOffset 3 turns AutoSize off";
    const int width = label->Width();
    label->SetCaption("Bevels");
    EXPECT_EQ(label->Width(), width) << "the size stays as it was";

    DistinctButtonColors colors;
    label->SetBounds(0, 0, 120, 50);
    label->SetColor(RGB(255, 255, 255));
    label->SetShadowSize(0);
    label->SetBevelOuter(ui::bvLowered);
    label->SetBevelInner(ui::bvRaised);
    ui::TBitmap picture;
    PaintLabel(picture);
    DibPixels pixels(picture);
    // Sunken outer ring: shadow at the top and left, highlight at the bottom and right; raised inner ring
    // the other way round.
    EXPECT_EQ(pixels.At(60, 0), DistinctButtonColors::kShadow);
    EXPECT_EQ(pixels.At(0, 25), DistinctButtonColors::kShadow);
    EXPECT_EQ(pixels.At(60, 49), DistinctButtonColors::kHighlight);
    EXPECT_EQ(pixels.At(119, 25), DistinctButtonColors::kHighlight);
    EXPECT_EQ(pixels.At(60, 1), DistinctButtonColors::kHighlight);
    EXPECT_EQ(pixels.At(118, 25), DistinctButtonColors::kShadow);
    EXPECT_EQ(pixels.At(60, 2), kWhite) << "the label's colour inside the bevels";

    const RECT ink3 = BoxOf(picture, kInk);
    label->SetBevelsOffset(11);
    PaintLabel(picture);
    const RECT ink11 = BoxOf(picture, kInk);
    ASSERT_LT(ink3.left, ink3.right);
    EXPECT_EQ(ink11.left - ink3.left, 8);
    EXPECT_EQ(ink11.top - ink3.top, 8);

    label->SetBevelOuter(ui::bvSpace);
    label->SetBevelInner(ui::bvNone);
    PaintLabel(picture);
    EXPECT_EQ(DibPixels(picture).At(60, 0), kWhite) << "a space bevel draws no edge";
    EXPECT_EQ(BoxOf(picture, kInk).left, ink3.left - 3) << "and without an edge there is no inset";
}

TEST_F(LabelOnForm, TheShadowLiesWhereItsPositionSaysAndSimpleViewDrawsTheTextOnce) {
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 160, 40);
    label->SetColor(RGB(255, 255, 255));
    label->SetShadowColor(kRed);
    label->SetShadowSize(2);
    label->SetCaption("Shadow");
    ui::TBitmap picture;

    label->SetShadowPos(skin::spLeftTop);
    PaintLabel(picture);
    RECT text = BoxOf(picture, kInk);
    RECT shadow = BoxOf(picture, kRed);
    ASSERT_LT(text.left, text.right);
    EXPECT_EQ(shadow.left, text.left - 2);
    EXPECT_EQ(shadow.top, text.top - 2);

    label->SetShadowPos(skin::spRightBottom);
    PaintLabel(picture);
    text = BoxOf(picture, kInk);
    shadow = BoxOf(picture, kRed);
    EXPECT_EQ(shadow.right, text.right + 2);
    EXPECT_EQ(shadow.bottom, text.bottom + 2);

    label->SetSimpleView(true);
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kRed).right, 0) << "no shadow copy";
    EXPECT_EQ(BoxOf(picture, kInk).left, text.left);
    label->SetShadowSize(1);
    EXPECT_FALSE(label->SimpleView()) << "a shadow setting brings the shadow back";
    label->SetSimpleView(true);
    label->SetShadowPos(skin::spLeftBottom);
    EXPECT_FALSE(label->SimpleView());
    label->SetSimpleView(true);
    label->SetShadowColor(kWhite);
    EXPECT_FALSE(label->SimpleView());
}

TEST_F(LabelOnForm, ADisabledCaptionIsEngravedInTheButtonColours) {
    DistinctButtonColors colors;
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 160, 40);
    label->SetColor(RGB(255, 255, 255));
    label->SetShadowColor(kRed);
    label->SetCaption("Engraved");
    label->SetEnabled(false);
    ui::TBitmap picture;
    PaintLabel(picture);
    const RECT text = BoxOf(picture, DistinctButtonColors::kShadow);
    const RECT highlight = BoxOf(picture, DistinctButtonColors::kHighlight);
    ASSERT_LT(text.left, text.right);
    EXPECT_EQ(highlight.right, text.right + 1) << "the highlight copy lies one pixel right and down";
    EXPECT_EQ(highlight.bottom, text.bottom + 1);
    EXPECT_EQ(BoxOf(picture, kRed).right, 0) << "neither the shadow colour";
    EXPECT_EQ(BoxOf(picture, kInk).right, 0) << "nor the font colour";
}

TEST_F(LabelOnForm, LayoutPutsTheMeasuredCaptionInTheMiddleOrAtTheBottom) {
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 160, 70);
    label->SetColor(RGB(255, 255, 255));
    label->SetCaption("Layout");
    ui::TBitmap picture;
    PaintLabel(picture);
    const RECT top = BoxOf(picture, kInk);
    ASSERT_LT(top.top, top.bottom);
    // The measured caption (one line, plus the one-pixel shadow) moves down by the room under it.
    const int room = 70 - (Measure(label->Font(), "Layout").extent.cy + 1);
    label->SetLayout(ui::tlBottom);
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kInk).top, top.top + room);
    label->SetLayout(ui::tlCenter);
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kInk).top, top.top + room / 2);
}

TEST_F(LabelOnForm, TheBackgroundIsTheSkinThenTheOwnWallpaperThenTheColourAndNoneWhenTransparent) {
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 60, 30);
    label->SetColor(RGB(10, 200, 30));
    label->SetCaption("");
    ui::TBitmap picture;
    PaintLabel(picture);
    EXPECT_EQ(DibPixels(picture).At(30, 15), RGB(10, 200, 30));

    ui::TBitmap own;
    MakeFilled(own, 8, 8, RGB(7, 7, 77));
    label->SetWallpaper(own);
    PaintLabel(picture);
    EXPECT_EQ(DibPixels(picture).At(30, 15), RGB(7, 7, 77));

    auto* images = new skin::TCoolImages(form.get());
    skintest::MakePattern(images->Bitmaps().Add()->Bitmap(), 196, 196);
    label->SetCoolImages(images);
    label->SetIdWallpaper(0);
    PaintLabel(picture);
    EXPECT_EQ(DibPixels(picture).At(30, 15), PatternColor(30, 15)) << "tiled from the label's corner";
    label->SetStretched(true);
    PaintLabel(picture);
    EXPECT_NE(DibPixels(picture).At(30, 15), PatternColor(30, 15)) << "the whole skin squeezed into the label";
    label->SetStretched(false);
    label->SetIdWallpaper(5);
    PaintLabel(picture);
    EXPECT_EQ(DibPixels(picture).At(30, 15), RGB(7, 7, 77)) << "an index out of range falls back to the own bitmap";
    label->SetIdWallpaper(0);

    delete images;
    EXPECT_EQ(label->CoolImages(), nullptr) << "the destroyed set is let go";
    PaintLabel(picture);
    EXPECT_EQ(DibPixels(picture).At(30, 15), RGB(7, 7, 77));

    label->SetTransparent(true);
    PaintLabel(picture);
    EXPECT_EQ(DibPixels(picture).At(30, 15), kMagenta) << "a transparent label leaves what lies under it";
}

TEST_F(LabelOnForm, EdgeLinesUseACopyOfTheBorderPen) {
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 60, 30);
    label->SetColor(RGB(255, 255, 255));
    label->SetCaption("");
    ui::TPen pen;
    pen.SetColor(RGB(0, 130, 0));
    label->SetBorderPen(pen);
    pen.SetColor(RGB(130, 0, 0));
    EXPECT_EQ(label->BorderPen().Color(), RGB(0, 130, 0)) << "the label keeps its own copy";
    label->SetEdgeBorders(skin::TEdgeBorders{skin::ebTop, skin::ebRight});
    ui::TBitmap picture;
    PaintLabel(picture);
    DibPixels pixels(picture);
    EXPECT_EQ(pixels.At(30, 1), RGB(0, 130, 0));
    EXPECT_EQ(pixels.At(59, 15), RGB(0, 130, 0));
    EXPECT_EQ(pixels.At(1, 15), kWhite);
    EXPECT_EQ(pixels.At(30, 29), kWhite);
}

TEST_F(LabelOnForm, TheOpaqueProgressCaptionIsABlackBarWithCentredWhiteText) {
    // Set as the splash window sets its progress caption.
    label->SetAutoSize(false);
    label->SetBounds(32, 34, 261, 28);
    label->SetAlignment(ui::taCenter);
    label->SetColor(ui::clBlack);
    UseFont(label->Font(), -19, ui::clWhite);
    label->SetShadowColor(ui::clSilver);
    label->SetShadowSize(0);
    label->SetCaption("Initialising...");
    EXPECT_EQ(label->Width(), 261);
    EXPECT_EQ(label->Height(), 28);

    ui::TBitmap picture;
    PaintLabel(picture);
    const TextMeasure text = Measure(label->Font(), "Initialising...");
    const int textLeft = (261 - text.extent.cx) / 2;
    DibPixels pixels(picture);
    int white = 0;
    for (int y = 0; y < 28; ++y) {
        for (int x = 0; x < 261; ++x) {
            const COLORREF pixel = pixels.At(x, y);
            white += pixel == kWhite ? 1 : 0;
            // Give or take the overhang of a glyph beyond its advance.
            const bool inText = x >= textLeft - 2 && x < textLeft + text.extent.cx + 2 && y < text.extent.cy;
            if (!inText) ASSERT_EQ(pixel, RGB(0, 0, 0)) << x << "," << y << " lies outside the caption";
        }
    }
    EXPECT_GT(white, 40) << "the caption is white, drawn over its silver copy";
    // The ink is centred: the margins left and right of it differ by no more than the side bearings.
    const RECT ink = BoxOfAllBut(picture, RGB(0, 0, 0));
    EXPECT_NEAR(ink.left, 261 - ink.right, 4);
}

TEST_F(LabelOnForm, TheAcceleratorIsUnderlinedUnlessAccelCharsAreOff) {
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 200, 40);
    label->SetColor(RGB(255, 255, 255));
    label->SetShadowSize(0);
    ui::TBitmap plain, marked;
    label->SetCaption("Filename:");
    PaintLabel(plain);
    label->SetCaption("&Filename:");
    PaintLabel(marked);

    const TextMeasure f = Measure(label->Font(), "F");
    DibPixels a(plain), b(marked);
    RECT changed{200, 40, 0, 0};
    int count = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (a.At(x, y) == b.At(x, y)) continue;
            ++count;
            changed.left = std::min<LONG>(changed.left, x);
            changed.top = std::min<LONG>(changed.top, y);
            changed.right = std::max<LONG>(changed.right, x + 1);
            changed.bottom = std::max<LONG>(changed.bottom, y + 1);
        }
    }
    ASSERT_GT(count, 0) << "the marked caption shows a line the plain one has not";
    EXPECT_GE(changed.left, 0);
    EXPECT_LE(changed.right, f.extent.cx + 1) << "only under the F";
    EXPECT_GE(changed.top, f.metrics.tmAscent - 1) << "below the baseline";
    EXPECT_LE(changed.bottom - changed.top, 3) << "a line, not a character";
    EXPECT_GE(count, f.extent.cx / 2);

    label->SetShowAccelChar(false);
    PaintLabel(marked);
    DibPixels c(marked);
    int differences = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) differences += a.At(x, y) != c.At(x, y) ? 1 : 0;
    EXPECT_GT(differences, count) << "the ampersand itself is drawn";
}

// The accelerator on a real dialog: Alt plus the marked letter focuses the label's control.
struct AcceleratorDialog : ::testing::Test {
    AcceleratorDialog() {
        form = new ui::TForm(&application);
        form->SetPosition(ui::poScreenCenter);
        form->SetClientSize(360, 140);
        panel = new skin::TCoolPanel(form);
        panel->SetParent(form);
        panel->SetBounds(0, 0, 360, 140);
        panel->SetTransparent(true);
        caption = new skin::TCoolLabel(form);
        caption->SetParent(panel);
        caption->SetBounds(10, 14, 60, 20);
        caption->SetTransparent(true);
        caption->SetShadowSize(0);
        caption->SetCaption("&Filename:");
        fileName = new ui::TEdit(form);
        fileName->SetParent(panel);
        fileName->SetBounds(90, 10, 200, 24);
        caption->SetFocusControl(fileName);
        other = new ui::TEdit(form);
        other->SetParent(panel);
        other->SetBounds(90, 60, 200, 24);
        form->Show();
        application.ProcessMessages();
    }

    void AltChar(char c) {
        PostMessageA(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(c), 1 << 29);
        application.ProcessMessages();
    }

    ui::TApplication application;
    ui::TForm* form;
    skin::TCoolPanel* panel;
    skin::TCoolLabel* caption;
    ui::TEdit* fileName;
    ui::TEdit* other;
};

TEST_F(AcceleratorDialog, AltAndTheMarkedLetterFocusTheLabelsControl) {
    other->SetFocus();
    AltChar('f');
    EXPECT_EQ(GetFocus(), fileName->Handle());

    other->SetFocus();
    fileName->SetEnabled(false);
    AltChar('F');
    EXPECT_EQ(GetFocus(), other->Handle()) << "a control that cannot take the focus is not focused";
    fileName->SetEnabled(true);

    caption->SetShowAccelChar(false);
    AltChar('f');
    EXPECT_EQ(GetFocus(), other->Handle()) << "without accelerators the letter is no accelerator";
}

}  // namespace
