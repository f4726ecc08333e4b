#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "SkinTesting.h"
#include "skin/CoolCtrls.h"
#include "skin/CoolUtils.h"

namespace {

using skintest::DibPixels;
using skintest::Hex;
using skintest::MakeFilled;
using skintest::MakePattern;
using skintest::PatternColor;

constexpr COLORREF kMagenta = RGB(255, 0, 255);

struct Blit {
    int x, y, width, height;
};

int CALLBACK CollectBlits(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
    if (record->iType == EMR_BITBLT) {
        const auto* blit = reinterpret_cast<const EMRBITBLT*>(record);
        reinterpret_cast<std::vector<Blit>*>(data)->push_back(
            Blit{blit->xDest, blit->yDest, blit->cxDest, blit->cyDest});
    }
    return 1;
}

TEST(TileBitmap, RepeatsTheSkinFromTheCornerAndCutsItAtTheFarEdges) {
    ui::TBitmap skin;
    MakePattern(skin, 196, 196);
    ui::TBitmap canvas;
    MakeFilled(canvas, 230, 170, kMagenta);
    const RECT area{10, 5, 210, 155};
    skin::TileBitmap(canvas.Canvas().Handle(), skin, area, false, SRCCOPY);

    DibPixels pixels(canvas);
    int wrong = 0;
    for (int y = 0; y < 170; ++y) {
        for (int x = 0; x < 230; ++x) {
            const POINT p{x, y};
            const COLORREF expected =
                PtInRect(&area, p) ? PatternColor((x - area.left) % 196, (y - area.top) % 196) : kMagenta;
            if (pixels.At(x, y) != expected && ++wrong < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << Hex(pixels.At(x, y)) << ", not "
                              << Hex(expected);
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(TileBitmap, ATwoHundredByOneFiftyAreaTakesTwoBlitsTheSecondFourPixelsWide) {
    ui::TBitmap skin;
    MakePattern(skin, 196, 196);
    HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(recorder, nullptr);
    skin::TileBitmap(recorder, skin, RECT{0, 0, 200, 150}, false, SRCCOPY);
    HENHMETAFILE recording = CloseEnhMetaFile(recorder);
    std::vector<Blit> blits;
    EnumEnhMetaFile(nullptr, recording, &CollectBlits, &blits, nullptr);
    DeleteEnhMetaFile(recording);

    ASSERT_EQ(blits.size(), 2u);
    EXPECT_EQ(blits[0].x, 0);
    EXPECT_EQ(blits[0].width, 200);
    EXPECT_EQ(blits[0].height, 150);
    EXPECT_EQ(blits[1].x, 196);
    EXPECT_EQ(blits[1].width, 4);
    EXPECT_EQ(blits[1].height, 150);
}

TEST(TileBitmap, StretchesOverTheAreaAndClipsToTheClipRectangleKeepingTheLayoutCorner) {
    // Four solid quadrants stretched to 40 x 40: each quadrant becomes a 20 x 20 block.
    ui::TBitmap quad;
    quad.SetSize(2, 2);
    {
        DibPixels set(quad);
        set.Set(0, 0, RGB(255, 0, 0));
        set.Set(1, 0, RGB(0, 255, 0));
        set.Set(0, 1, RGB(0, 0, 255));
        set.Set(1, 1, RGB(255, 255, 0));
    }
    ui::TBitmap canvas;
    MakeFilled(canvas, 50, 50, kMagenta);
    skin::TileBitmap(canvas.Canvas().Handle(), quad, RECT{5, 5, 45, 45}, true, SRCCOPY);
    DibPixels stretched(canvas);
    EXPECT_EQ(stretched.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(stretched.At(24, 24), RGB(255, 0, 0));
    EXPECT_EQ(stretched.At(25, 5), RGB(0, 255, 0));
    EXPECT_EQ(stretched.At(5, 44), RGB(0, 0, 255));
    EXPECT_EQ(stretched.At(44, 44), RGB(255, 255, 0));
    EXPECT_EQ(stretched.At(45, 45), kMagenta);

    ui::TBitmap skin;
    MakePattern(skin, 196, 196);
    MakeFilled(canvas, 300, 300, kMagenta);
    HDC dc = canvas.Canvas().Handle();
    const RECT layout{0, 0, 300, 300};
    const RECT clip{50, 60, 220, 90};
    skin::TileBitmapClipped(dc, skin, layout, clip, false, SRCCOPY);
    HRGN left = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(GetClipRgn(dc, left), 0) << "the clip region stays selected";
    DeleteObject(left);
    DibPixels clipped(canvas);
    for (int y = 0; y < 300; y += 3) {
        for (int x = 0; x < 300; x += 3) {
            const POINT p{x, y};
            const COLORREF expected = PtInRect(&clip, p) ? PatternColor(x % 196, y % 196) : kMagenta;
            ASSERT_EQ(clipped.At(x, y), expected) << x << "," << y;
        }
    }
}

// The colour of band i, computed the plain way: each channel moves by the rounded share i/steps.
COLORREF BandColor(COLORREF start, COLORREF end, int i, int steps) {
    const auto channel = [&](int from, int to) {
        return static_cast<int>(std::lround(from + static_cast<double>(i) * (to - from) / steps)) & 0xFF;
    };
    return RGB(channel(GetRValue(start), GetRValue(end)), channel(GetGValue(start), GetGValue(end)),
               channel(GetBValue(start), GetBValue(end)));
}

TEST(FillGradient, PaintsStepsPlusOneBandsTheFirstInTheStartColourTheLastBeyondTheFarEdge) {
    const COLORREF face = ui::ColorToRGB(ui::clBtnFace);
    const COLORREF shadow = ui::ColorToRGB(ui::clBtnShadow);
    ASSERT_NE(face, shadow);
    ui::TBitmap canvas;
    MakeFilled(canvas, 120, 40, kMagenta);
    skin::FillGradient(canvas.Canvas().Handle(), RECT{0, 0, 109, 33}, ui::clBtnFace, ui::clBtnShadow, 128, true);

    DibPixels pixels(canvas);
    EXPECT_EQ(pixels.At(0, 0), face);
    EXPECT_EQ(pixels.At(0, 32), face);
    // Band i covers round(i * 109 / 128) up to round((i + 1) * 109 / 128): 129 bands of 0 or 1 pixel.
    int painted = 0;
    for (int i = 0; i <= 128; ++i) {
        const int from = static_cast<int>(std::lround(i * 109.0 / 128));
        const int to = static_cast<int>(std::lround((i + 1) * 109.0 / 128));
        ASSERT_LE(to - from, 1);
        for (int x = from; x < to; ++x, ++painted) {
            EXPECT_EQ(pixels.At(x, 0), BandColor(face, shadow, i, 128)) << "band " << i << " at x " << x;
            EXPECT_EQ(pixels.At(x, 32), pixels.At(x, 0));
        }
    }
    EXPECT_EQ(painted, 110);
    EXPECT_EQ(pixels.At(109, 16), shadow) << "the last band, in the end colour, lies just beyond the rectangle";
    EXPECT_EQ(pixels.At(110, 16), kMagenta);
    EXPECT_EQ(pixels.At(50, 33), kMagenta);
}

TEST(FillGradient, RunsTopToBottomWhenNotHorizontalAndPaintsNothingWithoutSteps) {
    ui::TBitmap canvas;
    MakeFilled(canvas, 20, 60, kMagenta);
    skin::FillGradient(canvas.Canvas().Handle(), RECT{0, 0, 20, 50}, RGB(0, 0, 0), RGB(200, 100, 50), 10, false);
    DibPixels vertical(canvas);
    for (int i = 0; i <= 10; ++i) {
        const int from = static_cast<int>(std::lround(i * 50.0 / 10));
        EXPECT_EQ(vertical.At(7, from), BandColor(RGB(0, 0, 0), RGB(200, 100, 50), i, 10)) << "band " << i;
    }
    EXPECT_EQ(vertical.At(19, 0), vertical.At(0, 0));

    MakeFilled(canvas, 20, 60, kMagenta);
    skin::FillGradient(canvas.Canvas().Handle(), RECT{0, 0, 20, 50}, RGB(0, 0, 0), RGB(200, 100, 50), 0, false);
    skin::FillGradient(canvas.Canvas().Handle(), RECT{0, 0, 20, 50}, RGB(0, 0, 0), RGB(200, 100, 50), -1, true);
    DibPixels untouched(canvas);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(untouched.At(x, y), kMagenta) << x << "," << y;
}

// Text drawn with a font without smoothing, so that every pixel is either text or background.
class ShadowedText : public ::testing::Test {
protected:
    static constexpr COLORREF kText = RGB(200, 0, 0);
    static constexpr COLORREF kShadow = RGB(0, 0, 200);
    static constexpr COLORREF kPaper = RGB(255, 255, 255);
    static constexpr UINT kFormat = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
    const RECT textRect_{10, 8, 110, 40};
    const std::string text_ = "Skin Wg";

    void SetUp() override {
        font_.Reset(CreateFontA(-18, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Tahoma"));
        ui::TBitmap reference;
        HDC dc = Prepare(reference);
        SetTextColor(dc, RGB(0, 0, 0));
        RECT r = textRect_;
        DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &r, kFormat);
        DibPixels pixels(reference);
        ink_.assign(kWidth * kHeight, false);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) ink_[y * kWidth + x] = pixels.At(x, y) == RGB(0, 0, 0);
        RestoreDC(dc, -1);
    }

    // A white picture with the font selected and transparent background mode; undone by RestoreDC(-1).
    HDC Prepare(ui::TBitmap& picture) {
        MakeFilled(picture, kWidth, kHeight, kPaper);
        HDC dc = picture.Canvas().Handle();
        SaveDC(dc);
        SelectObject(dc, font_.Get());
        SetBkMode(dc, TRANSPARENT);
        return dc;
    }

    bool Ink(int x, int y) const { return x >= 0 && y >= 0 && x < kWidth && y < kHeight && ink_[y * kWidth + x]; }

    static constexpr int kWidth = 140;
    static constexpr int kHeight = 50;
    ui::FontHandle font_;
    std::vector<bool> ink_;
};

TEST_F(ShadowedText, PutsTheShadowOnTheNamedSideAndMovesTheCallersRectangle) {
    struct Case {
        skin::TShadowPosition position;
        POINT textShift;
        POINT shadowShift;
    };
    const int d = 2;
    // Where text and shadow land relative to the rectangle handed over.
    const Case cases[] = {
        {skin::spLeftTop, {d, d}, {0, 0}},
        {skin::spLeftBottom, {d, 0}, {0, d}},
        {skin::spRightBottom, {0, 0}, {d, d}},
        {skin::spRightTop, {0, d}, {d, 0}},
    };
    int inkPixels = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) inkPixels += Ink(x, y) ? 1 : 0;
    ASSERT_GT(inkPixels, 50) << "the reference text drew nothing";

    for (const Case& c : cases) {
        ui::TBitmap picture;
        HDC dc = Prepare(picture);
        RECT r = textRect_;
        skin::DrawShadowedText(dc, r, c.position, text_, kFormat, kText, kShadow, d);
        RECT moved = textRect_;
        OffsetRect(&moved, c.textShift.x, c.textShift.y);
        EXPECT_TRUE(EqualRect(&r, &moved)) << "position " << c.position;
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        EXPECT_EQ(GetTextColor(dc), kText);
        RestoreDC(dc, -1);

        DibPixels pixels(picture);
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                COLORREF expected = kPaper;
                if (Ink(x - c.textShift.x, y - c.textShift.y))
                    expected = kText;
                else if (Ink(x - c.shadowShift.x, y - c.shadowShift.y))
                    expected = kShadow;
                if (pixels.At(x, y) != expected) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << "position " << c.position;
    }
}

TEST_F(ShadowedText, WithSizeZeroDrawsTwiceInPlaceTheTextColourWinning) {
    ui::TBitmap picture;
    HDC dc = Prepare(picture);
    // An opaque first pass shows that the shadow pass ran: it fills its text box with the background colour.
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 160, 0));
    RECT r = textRect_;
    skin::DrawShadowedText(dc, r, skin::spLeftTop, text_, kFormat, kText, kShadow, 0);
    EXPECT_TRUE(EqualRect(&r, &textRect_));
    RestoreDC(dc, -1);

    DibPixels pixels(picture);
    int box = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (Ink(x, y)) {
                ASSERT_EQ(pixels.At(x, y), kText) << x << "," << y;
            } else {
                ASSERT_NE(pixels.At(x, y), kShadow) << x << "," << y;
                ASSERT_NE(pixels.At(x, y), kText) << x << "," << y;
                box += pixels.At(x, y) == RGB(0, 160, 0) ? 1 : 0;
            }
        }
    }
    EXPECT_GT(box, 0);
}

TEST(PaintSkinWallpaper, TakesTheSetsItemThenTheOwnWallpaperElsePaintsNothing) {
    skin::TCoolImages images(nullptr);
    MakePattern(images.Bitmaps().Add()->Bitmap(), 196, 196);
    ui::TBitmap own;
    MakeFilled(own, 8, 8, RGB(10, 20, 30));
    ui::TBitmap canvas;
    const RECT area{0, 0, 30, 20};

    MakeFilled(canvas, 30, 20, kMagenta);
    EXPECT_FALSE(skin::PaintSkinWallpaper(canvas.Canvas().Handle(), area, false, SRCCOPY, &images, 5, nullptr));
    ui::TBitmap empty;
    EXPECT_FALSE(skin::PaintSkinWallpaper(canvas.Canvas().Handle(), area, false, SRCCOPY, nullptr, -1, &empty));
    {
        DibPixels pixels(canvas);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) ASSERT_EQ(pixels.At(x, y), kMagenta);
    }

    EXPECT_TRUE(skin::PaintSkinWallpaper(canvas.Canvas().Handle(), area, false, SRCCOPY, &images, 0, &own));
    EXPECT_EQ(DibPixels(canvas).At(29, 19), PatternColor(29, 19));

    // Out of range on either side, or an item without a picture: the own wallpaper.
    for (int id : {5, -1}) {
        MakeFilled(canvas, 30, 20, kMagenta);
        EXPECT_TRUE(skin::PaintSkinWallpaper(canvas.Canvas().Handle(), area, false, SRCCOPY, &images, id, &own));
        EXPECT_EQ(DibPixels(canvas).At(29, 19), RGB(10, 20, 30)) << id;
    }
    images.Bitmaps().Add();
    MakeFilled(canvas, 30, 20, kMagenta);
    EXPECT_TRUE(skin::PaintSkinWallpaper(canvas.Canvas().Handle(), area, false, SRCCOPY, &images, 1, &own));
    EXPECT_EQ(DibPixels(canvas).At(0, 0), RGB(10, 20, 30));
}

TEST(ColourAndRectangleHelpers, InvertChannelsAndMoveSidesWithOverflowAsAnError) {
    EXPECT_EQ(skin::InvertColor(RGB(0, 100, 255)), RGB(255, 155, 0));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(skin::InvertColor(ui::clBtnFace),
              RGB(255 - GetRValue(face), 255 - GetGValue(face), 255 - GetBValue(face)));

    RECT r{10, 20, 30, 40};
    skin::OffsetRectSides(r, 1, -2, 3, -4);
    EXPECT_EQ(r.left, 11);
    EXPECT_EQ(r.top, 18);
    EXPECT_EQ(r.right, 33);
    EXPECT_EQ(r.bottom, 36);
    RECT edge{0, 0, std::numeric_limits<int>::max(), 10};
    EXPECT_THROW(skin::OffsetRectSides(edge, 0, 0, 1, 0), skin::EIntOverflow);

    skin::TCoolOptions options{skin::ocRoundedForm, skin::ocPaintTransparently};
    EXPECT_EQ(options.Bits(), (1u << 16) | (1u << 19));
    EXPECT_EQ(skin::TCoolOptions{skin::ocFlatBorder}.Bits(), 1u << 17);
    EXPECT_EQ((skin::TEdgeBorders{skin::ebLeft, skin::ebBottom}.Bits()), 0x9u);
    EXPECT_EQ(skin::TBtnPaintOptions{skin::bpoDrawDefault}.Bits(), 2u);
}

class TMarkedProbePanel : public ui::TPanel, public skin::TCoolControl {
public:
    using ui::TPanel::TPanel;
};

// Named like the skinned classes, without their mark.
class TCoolLookalikePanel : public ui::TPanel {
public:
    using ui::TPanel::TPanel;
};

TEST(ControlHelpers, TellSkinnedClassesReadTheHeldKeysAndInvalidateWindows) {
    ui::TPanel plain(nullptr);
    TMarkedProbePanel cool(nullptr);
    TCoolLookalikePanel lookalike(nullptr);
    EXPECT_FALSE(skin::IsCoolControl(&plain));
    EXPECT_TRUE(skin::IsCoolControl(&cool));
    EXPECT_FALSE(skin::IsCoolControl(&lookalike));
    EXPECT_FALSE(skin::IsCoolControl(nullptr));

    BYTE saved[256] = {};
    ASSERT_TRUE(GetKeyboardState(saved));
    BYTE keys[256] = {};
    keys[VK_SHIFT] = 0x80;
    keys[VK_CONTROL] = 0x80;
    keys[VK_RBUTTON] = 0x80;
    keys[VK_MENU] = 0x01;  // toggled, not held
    SetKeyboardState(keys);
    const skin::TShiftState state = skin::CurrentShiftState();
    SetKeyboardState(saved);
    EXPECT_EQ(state, (skin::TShiftState{skin::ssShift, skin::ssCtrl, skin::ssRight}));

    const auto held = ui::MakeForm<ui::TForm>(nullptr);
    ui::TForm& form = *held;
    form.SetClientSize(80, 40);
    HWND window = form.Handle();
    // A hidden window keeps no update region. Showing it has the window manager repaint it (under Wine
    // through events that arrive a little later): let all of that settle before the update region is read.
    ShowWindow(window, SW_SHOWNA);
    for (int settle = 0; settle < 5; ++settle) {
        UpdateWindow(window);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(10);
    }
    ValidateRect(window, nullptr);
    RECT part{5, 6, 20, 30};
    EXPECT_TRUE(skin::InvalidateWindowRect(window, &part, false));
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &part));
    form.DestroyHandle();
    EXPECT_FALSE(skin::InvalidateWindowRect(window, nullptr, true));
}

class FramedPanel : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = ui::MakeForm<ui::TForm>(nullptr);
        form_->SetClientSize(200, 100);
        panel_ = new ui::TPanel(form_.get());
        panel_->SetParent(form_.get());
        panel_->SetBounds(10, 10, 60, 30);
        panel_->HandleNeeded();
    }

    base::Owned<ui::TForm> form_;
    ui::TPanel* panel_ = nullptr;
};

TEST_F(FramedPanel, FlatBorderIsTwoFaceRingsAWindowRingInsideAndASunkenLineWhenHot) {
    skintest::DistinctButtonColors colors;
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    ui::TBitmap picture;
    for (bool hot : {false, true}) {
        MakeFilled(picture, 60, 30, kMagenta);
        skin::DrawFlatBorder(picture.Canvas().Handle(), panel_, hot);
        DibPixels pixels(picture);
        EXPECT_EQ(pixels.At(30, 1), colors.kFace) << hot;
        EXPECT_EQ(pixels.At(1, 15), colors.kFace) << hot;
        EXPECT_EQ(pixels.At(30, 2), window) << hot;
        EXPECT_EQ(pixels.At(57, 15), window) << hot;
        EXPECT_EQ(pixels.At(30, 3), kMagenta) << hot;
        EXPECT_EQ(pixels.At(30, 0), hot ? colors.kShadow : colors.kFace);
        EXPECT_EQ(pixels.At(0, 15), hot ? colors.kShadow : colors.kFace);
        EXPECT_EQ(pixels.At(30, 29), hot ? colors.kHighlight : colors.kFace);
        EXPECT_EQ(pixels.At(59, 15), hot ? colors.kHighlight : colors.kFace);
    }
}

TEST_F(FramedPanel, EdgeBordersDrawTheChosenEdgesOverTheEraseColour) {
    ui::TBitmap picture;
    MakeFilled(picture, 60, 30, kMagenta);
    ui::TPen pen;
    pen.SetColor(RGB(200, 0, 0));
    skin::DrawEdgeBorders(picture.Canvas().Handle(), panel_, skin::TEdgeBorders{}, RGB(0, 200, 0), pen);
    EXPECT_EQ(DibPixels(picture).At(30, 29), kMagenta) << "no edges, nothing drawn";

    skin::DrawEdgeBorders(picture.Canvas().Handle(), panel_, skin::TEdgeBorders{skin::ebTop, skin::ebLeft},
                          RGB(0, 200, 0), pen);
    DibPixels pixels(picture);
    EXPECT_EQ(pixels.At(30, 1), RGB(200, 0, 0));
    EXPECT_EQ(pixels.At(1, 15), RGB(200, 0, 0));
    EXPECT_EQ(pixels.At(30, 29), RGB(0, 200, 0));
    EXPECT_EQ(pixels.At(59, 15), RGB(0, 200, 0));
    EXPECT_EQ(pixels.At(30, 15), kMagenta);

    MakeFilled(picture, 60, 30, kMagenta);
    ui::TCanvas canvas;
    canvas.Attach(picture.Canvas().Handle());
    skin::DrawClientEdges(canvas, RECT{0, 0, 60, 30}, skin::TEdgeBorders{skin::ebRight, skin::ebBottom}, pen);
    canvas.Detach();
    DibPixels client(picture);
    EXPECT_EQ(client.At(59, 10), RGB(200, 0, 0));
    EXPECT_EQ(client.At(10, 29), RGB(200, 0, 0));
    EXPECT_EQ(client.At(10, 1), kMagenta);
    EXPECT_EQ(client.At(1, 10), kMagenta);
}

}  // namespace
