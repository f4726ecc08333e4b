#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "SkinTesting.h"
#include "skin/CoolLabel.h"
#include "skin/CoolPanel.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace {

using skintest::DibPixels;
using skintest::DistinctButtonColors;
using skintest::MakeFilled;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kInk = RGB(0, 0, 160);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

void UseFont(ui::TFont& font, int height, ui::TColor color) {
    font.SetName("Comic Sans MS");
    font.SetHeight(height);
    font.SetStyle(ui::fsBold);
    font.SetColor(color);
}

// One line of the text as DrawText measures it in the font.
SIZE Extent(const ui::TFont& font, const std::string& text) {
    HDC screen = GetDC(nullptr);
    RECT r{0, 0, 0, 0};
    {
        ui::SavedDC saved(screen);
        SelectObject(screen, font.Handle());
        DrawTextA(screen, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
    }
    ReleaseDC(nullptr, screen);
    return SIZE{r.right, r.bottom};
}

// The smallest rectangle holding every pixel for which the test holds (left > right when none does).
RECT BoxWhere(ui::TBitmap& picture, const std::function<bool(COLORREF)>& test) {
    DibPixels pixels(picture);
    RECT box{picture.Width(), picture.Height(), 0, 0};
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (!test(pixels.At(x, y))) continue;
            box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                       std::max<LONG>(box.bottom, y + 1)};
        }
    }
    return box;
}

RECT BoxOf(ui::TBitmap& picture, COLORREF color) {
    return BoxWhere(picture, [color](COLORREF pixel) { return pixel == color; });
}

// A label on a form that is never shown: enough to measure it and to paint it into memory pictures.
struct LabelOnForm : ::testing::Test {
    LabelOnForm() : form(ui::MakeForm<ui::TForm>(nullptr)) {
        label = new skin::TCoolLabel(form.get());
        label->SetParent(form.get());
        label->SetBounds(200, 10, 65, 17);
        UseFont(label->Font(), -19, kInk);
    }

    // A label of a fixed size on white, for pixel tests.
    void FixedOnWhite(int width, int height, const std::string& caption) {
        label->SetAutoSize(false);
        label->SetBounds(0, 0, width, height);
        label->SetColor(kWhite);
        label->SetCaption(caption);
    }

    // The label painted over magenta into a picture of its size.
    void PaintLabel(ui::TBitmap& picture) {
        MakeFilled(picture, label->Width(), label->Height(), kMagenta);
        label->PaintTo(picture.Canvas().Handle());
    }

    base::Owned<ui::TForm> form;
    skin::TCoolLabel* label;
};

TEST_F(LabelOnForm, AnEmptyCaptionOrALoneAmpersandMeasuresOneLine) {
    label->SetShadowSize(0);
    label->SetCaption("x");
    label->SetCaption("");
    const SIZE blank = Extent(label->Font(), " ");
    EXPECT_EQ(label->Height(), blank.cy) << "one line of the font";
    EXPECT_EQ(label->Width(), blank.cx);
    label->SetCaption("&");
    EXPECT_EQ(label->Width(), blank.cx) << "the mark shows nothing: a blank is measured";
    label->SetShowAccelChar(false);
    EXPECT_EQ(label->Width(), Extent(label->Font(), "&").cx) << "without accelerators it is a character";
}

TEST_F(LabelOnForm, FitsItsCaptionAfterTextFontAutoSizeAndLoadingButOnlyWithAParent) {
    label->SetCaption("Reading inifile...");
    // The default shadow lies one pixel left of and above the text, which moves right and down by it.
    SIZE text = Extent(label->Font(), "Reading inifile...");
    EXPECT_EQ(label->Width(), text.cx + 1);
    EXPECT_EQ(label->Height(), text.cy + 1);
    UseFont(label->Font(), -29, kInk);
    text = Extent(label->Font(), "Reading inifile...");
    EXPECT_EQ(label->Width(), text.cx + 1) << "a font change fits again";
    EXPECT_EQ(label->Height(), text.cy + 1);

    label->SetAutoSize(false);
    label->SetCaption("Closing, a longer caption...");
    EXPECT_EQ(label->Width(), text.cx + 1) << "without AutoSize the size stays";
    label->SetAutoSize(true);
    EXPECT_EQ(label->Width(), Extent(label->Font(), "Closing, a longer caption...").cx + 1);

    skin::TCoolLabel orphan(nullptr);
    orphan.SetCaption("No parent to measure for");
    EXPECT_EQ(orphan.Width(), 65);

    form->BeginLoading();
    auto* loaded = new skin::TCoolLabel(form.get());
    loaded->SetParent(form.get());
    loaded->SetCaption("Loaded later");
    EXPECT_EQ(loaded->Width(), 65) << "nothing is measured while the layout loads";
    form->EndLoading();
    EXPECT_EQ(loaded->Width(), Extent(loaded->Font(), "Loaded later").cx + 1);
}

TEST_F(LabelOnForm, ARightAlignedLabelKeepsItsRightEdgeAsItsCaptionGrows) {
    label->SetAlignment(ui::taRightJustify);
    label->SetCaption("Dir:");
    const int right = label->Left() + label->Width();
    label->SetCaption("A much longer directory caption:");
    EXPECT_GT(label->Width(), Extent(label->Font(), "Dir:").cx + 1);
    EXPECT_EQ(label->Left() + label->Width(), right);
    label->SetCaption("D:");
    EXPECT_EQ(label->Left() + label->Width(), right) << "and as it shrinks";

    label->SetAlignment(ui::taLeftJustify);
    const int left = label->Left();
    label->SetCaption("A much longer directory caption:");
    EXPECT_EQ(label->Left(), left) << "a left-aligned label grows to the right";
}

TEST_F(LabelOnForm, AGlyphWidensTheLabelAndGoesBeforeTheCaptionForEachAlignment) {
    label->SetShadowSize(0);
    label->SetCaption("Ok");
    constexpr COLORREF kGreen = RGB(0, 150, 0);
    ui::TBitmap strip;
    MakeFilled(strip, 48, 40, kGreen);
    // The bottom-left pixel names the transparent colour.
    DibPixels(strip).Set(0, 39, RGB(128, 128, 0));
    label->SetGlyph(&strip);
    ASSERT_EQ(label->NumGlyphs(), 1) << "a 48 x 40 strip is not a row of squares";
    EXPECT_EQ(label->Width(), Extent(label->Font(), "Ok").cx + 48 + 2);
    EXPECT_EQ(label->Height(), std::max<int>(Extent(label->Font(), "Ok").cy, 40)) << "the taller of the two";
    label->SetNumGlyphs(3);
    EXPECT_EQ(label->NumGlyphs(), 2) << "NumGlyphs 3 is stored as 2";
    label->SetCaption("Glyph");
    const int textWidth = Extent(label->Font(), "Glyph").cx;
    EXPECT_EQ(label->Width(), textWidth + 24 + 2) << "each image is half the strip";

    FixedOnWhite(240, 40, "Glyph");
    ui::TBitmap picture;
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kGreen).left, 0);
    const int captionWithGlyph = BoxOf(picture, kInk).left;
    label->SetAlignment(ui::taRightJustify);
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kGreen).left, 240 - textWidth - 24 - 2);
    label->SetAlignment(ui::taCenter);
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kGreen).left, 240 / 2 - (textWidth + 24 + 2) / 2) << "centred with the caption";
    label->SetAlignment(ui::taLeftJustify);
    label->SetGlyph(nullptr);
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kInk).left, captionWithGlyph - 24 - 2) << "the glyph pushed the caption right";
}

TEST_F(LabelOnForm, BevelsOffsetTurnsAutoSizeOffAndInsetsTheCaptionFromTheBevels) {
    label->SetBevelsOffset(3);
    EXPECT_FALSE(label->AutoSize()) << "BevelsOffset 3 turns AutoSize off";
    const int width = label->Width();
    label->SetCaption("Bevels");
    EXPECT_EQ(label->Width(), width);

    DistinctButtonColors colors;
    FixedOnWhite(120, 50, "Bevels");
    label->SetShadowSize(0);
    label->SetBevelOuter(ui::bvLowered);
    label->SetBevelInner(ui::bvRaised);
    ui::TBitmap picture;
    PaintLabel(picture);
    DibPixels pixels(picture);
    // A sunken outer ring (shadow at the top) around a raised inner one (highlight at the top).
    EXPECT_EQ(pixels.At(60, 0), DistinctButtonColors::kShadow);
    EXPECT_EQ(pixels.At(60, 1), DistinctButtonColors::kHighlight);
    EXPECT_EQ(pixels.At(119, 25), DistinctButtonColors::kHighlight);
    const RECT inset3 = BoxOf(picture, kInk);
    label->SetBevelsOffset(11);
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kInk).left - inset3.left, 8);
    EXPECT_EQ(BoxOf(picture, kInk).top - inset3.top, 8);
}

TEST_F(LabelOnForm, TheShadowLiesWhereItsPositionSaysSimpleViewDrawsOnceAndDisabledIsEngraved) {
    FixedOnWhite(160, 40, "Shadow");
    label->SetShadowColor(kRed);
    label->SetShadowSize(2);
    ui::TBitmap picture;
    PaintLabel(picture);
    RECT text = BoxOf(picture, kInk);
    ASSERT_LT(text.left, text.right);
    EXPECT_EQ(BoxOf(picture, kRed).left, text.left - 2) << "left of and above the text";
    EXPECT_EQ(BoxOf(picture, kRed).top, text.top - 2);
    label->SetShadowPos(skin::spRightBottom);
    PaintLabel(picture);
    text = BoxOf(picture, kInk);
    EXPECT_EQ(BoxOf(picture, kRed).right, text.right + 2);
    EXPECT_EQ(BoxOf(picture, kRed).bottom, text.bottom + 2);

    label->SetSimpleView(true);
    PaintLabel(picture);
    EXPECT_GT(BoxOf(picture, kRed).left, BoxOf(picture, kRed).right) << "no shadow copy";
    label->SetShadowSize(1);
    EXPECT_FALSE(label->SimpleView()) << "a shadow setting brings the shadow back";
    label->SetSimpleView(true);
    label->SetShadowPos(skin::spLeftBottom);
    EXPECT_FALSE(label->SimpleView());
    label->SetSimpleView(true);
    label->SetShadowColor(kWhite);
    EXPECT_FALSE(label->SimpleView());

    DistinctButtonColors colors;
    label->SetShadowColor(kRed);
    label->SetEnabled(false);
    PaintLabel(picture);
    text = BoxOf(picture, DistinctButtonColors::kShadow);
    ASSERT_LT(text.left, text.right);
    EXPECT_EQ(BoxOf(picture, DistinctButtonColors::kHighlight).right, text.right + 1) << "engraved copy right, down";
    EXPECT_EQ(BoxOf(picture, DistinctButtonColors::kHighlight).bottom, text.bottom + 1);
    EXPECT_GT(BoxOf(picture, kRed).left, BoxOf(picture, kRed).right) << "neither the shadow colour";
    EXPECT_GT(BoxOf(picture, kInk).left, BoxOf(picture, kInk).right) << "nor the font colour";
}

TEST_F(LabelOnForm, LayoutMovesTheMeasuredCaptionToTheMiddleOrTheBottom) {
    FixedOnWhite(160, 70, "Layout");
    ui::TBitmap picture;
    PaintLabel(picture);
    const int top = BoxOf(picture, kInk).top;
    // The measured caption (one line, plus the one-pixel shadow) moves down by the room under it.
    const int room = 70 - (Extent(label->Font(), "Layout").cy + 1);
    label->SetLayout(ui::tlBottom);
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kInk).top, top + room);
    label->SetLayout(ui::tlCenter);
    PaintLabel(picture);
    EXPECT_EQ(BoxOf(picture, kInk).top, top + room / 2);
}

TEST_F(LabelOnForm, AnOpaqueLabelTakesItsParentsColourUntilItIsGivenItsOwn) {
    auto* panel = new ui::TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetColor(RGB(10, 120, 200));
    auto* onPanel = new skin::TCoolLabel(form.get());
    onPanel->SetParent(panel);
    EXPECT_EQ(onPanel->Color(), RGB(10, 120, 200));
    panel->SetColor(RGB(200, 120, 10));
    EXPECT_EQ(onPanel->Color(), RGB(200, 120, 10)) << "and follows it";
    onPanel->SetColor(kWhite);
    panel->SetColor(RGB(1, 2, 3));
    EXPECT_EQ(onPanel->Color(), kWhite);
}

TEST_F(LabelOnForm, TheBackgroundIsTheSkinElseTheColourNoneWhenTransparentAndEdgesUseACopiedPen) {
    FixedOnWhite(60, 30, "");
    auto* images = new skin::TCoolImages(form.get());
    skintest::MakePattern(images->Bitmaps().Add()->Bitmap(), 196, 196);
    label->SetCoolImages(images);
    label->SetIdWallpaper(0);
    ui::TBitmap picture;
    PaintLabel(picture);
    EXPECT_EQ(DibPixels(picture).At(30, 15), skintest::PatternColor(30, 15)) << "tiled from the label's corner";
    delete images;
    EXPECT_EQ(label->CoolImages(), nullptr) << "the destroyed set is let go";
    PaintLabel(picture);
    EXPECT_EQ(DibPixels(picture).At(30, 15), kWhite);

    ui::TPen pen;
    pen.SetColor(RGB(0, 130, 0));
    label->SetBorderPen(pen);
    pen.SetColor(RGB(130, 0, 0));
    label->SetEdgeBorders(skin::TEdgeBorders{skin::ebTop, skin::ebRight});
    label->SetTransparent(true);
    PaintLabel(picture);
    DibPixels pixels(picture);
    EXPECT_EQ(pixels.At(30, 15), kMagenta) << "a transparent label leaves what lies under it";
    EXPECT_EQ(pixels.At(30, 1), RGB(0, 130, 0)) << "the label keeps its own copy of the pen";
    EXPECT_EQ(pixels.At(59, 15), RGB(0, 130, 0));
    EXPECT_EQ(pixels.At(1, 15), kMagenta);
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
    ui::TBitmap picture;
    PaintLabel(picture);
    const SIZE text = Extent(label->Font(), "Initialising...");
    const int textLeft = (261 - text.cx) / 2;
    DibPixels pixels(picture);
    int white = 0;
    for (int y = 0; y < 28; ++y) {
        for (int x = 0; x < 261; ++x) {
            white += pixels.At(x, y) == kWhite ? 1 : 0;
            // Give or take the overhang of a glyph beyond its advance.
            const bool inText = x >= textLeft - 2 && x < textLeft + text.cx + 2 && y < text.cy;
            if (!inText) {
                ASSERT_EQ(pixels.At(x, y), kBlack) << x << "," << y << " lies outside the caption";
            }
        }
    }
    EXPECT_GT(white, 40) << "the caption is white, drawn over its silver copy";
    const RECT ink = BoxWhere(picture, [](COLORREF pixel) { return pixel != kBlack; });
    EXPECT_NEAR(ink.left, 261 - ink.right, 4) << "centred, give or take the side bearings";
}

TEST_F(LabelOnForm, TheAcceleratorIsUnderlinedUnlessAccelCharsAreOff) {
    FixedOnWhite(200, 40, "Filename:");
    label->SetShadowSize(0);
    ui::TBitmap plain, marked;
    PaintLabel(plain);
    label->SetCaption("&Filename:");
    PaintLabel(marked);
    // What the mark adds: a line under the F, below the baseline.
    DibPixels before(plain), after(marked);
    RECT changed{200, 40, 0, 0};
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (before.At(x, y) != after.At(x, y))
                changed = RECT{std::min<LONG>(changed.left, x), std::min<LONG>(changed.top, y),
                               std::max<LONG>(changed.right, x + 1), std::max<LONG>(changed.bottom, y + 1)};
    ASSERT_LT(changed.left, changed.right) << "the marked caption shows a line the plain one has not";
    TEXTMETRICA metrics{};
    HDC screen = GetDC(nullptr);
    {
        ui::SavedDC saved(screen);
        SelectObject(screen, label->Font().Handle());
        GetTextMetricsA(screen, &metrics);
    }
    ReleaseDC(nullptr, screen);
    const int f = Extent(label->Font(), "F").cx;
    EXPECT_LE(changed.right, f + 1) << "only under the F";
    EXPECT_GE(changed.right - changed.left, f / 2);
    EXPECT_GE(changed.top, metrics.tmAscent - 1) << "below the baseline";
    EXPECT_LE(changed.bottom - changed.top, 3) << "a line, not a character";

    label->SetShowAccelChar(false);
    PaintLabel(marked);
    EXPECT_GT(BoxOf(marked, kInk).right, BoxOf(plain, kInk).right) << "the ampersand itself is drawn";
}

// Alt plus the marked letter on a real dialog, the field caption lying on a transparent panel.
TEST(CoolLabelAccelerator, AltAndTheMarkedLetterFocusTheLabelsControl) {
    ui::TApplication application;
    auto* form = new ui::TForm(&application);
    form->SetClientSize(360, 100);
    auto* panel = new skin::TCoolPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 360, 100);
    panel->SetTransparent(true);
    auto* caption = new skin::TCoolLabel(form);
    caption->SetParent(panel);
    caption->SetBounds(10, 14, 60, 20);
    caption->SetTransparent(true);
    caption->SetCaption("&Filename:");
    auto* fileName = new ui::TEdit(form);
    fileName->SetParent(panel);
    fileName->SetBounds(90, 10, 200, 24);
    caption->SetFocusControl(fileName);
    auto* other = new ui::TEdit(form);
    other->SetParent(panel);
    other->SetBounds(90, 60, 200, 24);
    form->Show();
    const auto altChar = [&application](char c) {
        PostMessageA(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(c), 1 << 29);
        application.ProcessMessages();
    };

    other->SetFocus();
    altChar('f');
    EXPECT_EQ(GetFocus(), fileName->Handle());
    other->SetFocus();
    fileName->SetEnabled(false);
    altChar('F');
    EXPECT_EQ(GetFocus(), other->Handle()) << "a control that cannot take the focus is not focused";
    fileName->SetEnabled(true);
    caption->SetShowAccelChar(false);
    altChar('f');
    EXPECT_EQ(GetFocus(), other->Handle()) << "without accelerators the letter is no accelerator";
}

}  // namespace
