#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/FormSplash.h"
#include "base/SysUtils.h"
#include "support/GdiBudget.h"
#include "ui/Forms.h"
#include "ui/Graphics.h"

namespace {

// The splash painted through its own paint path into a 24-bit memory picture of its client area.
class SplashPicture {
public:
    explicit SplashPicture(app::TfrmSplash& splash) {
        picture_.SetSize(splash.ClientWidth(), splash.ClientHeight());
        Paint(splash);
    }

    // withNativeControls false leaves out the progress bar, whose painting is the system's.
    void Paint(app::TfrmSplash& splash, bool withNativeControls = true) {
        HDC dc = picture_.Canvas().Handle();
        PaintWindowInto(splash, dc, withNativeControls);
    }

    COLORREF Pixel(int x, int y) { return GetPixel(picture_.Canvas().Handle(), x, y); }

    // Counts the pixels of a colour inside a rectangle.
    int Count(const RECT& area, COLORREF colour) {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) count += Pixel(x, y) == colour ? 1 : 0;
        return count;
    }

private:
    // Erase and paint of the form, then each child window at its place, as the window manager would.
    static void PaintWindowInto(ui::TWinControl& control, HDC dc, bool withNativeControls) {
        SendMessageA(control.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        SendMessageA(control.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SendMessageA(control.Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        for (ui::TControl* child : control.Controls()) {
            if (!child->IsWindowed()) continue;
            if (!withNativeControls && dynamic_cast<ui::TProgressBar*>(child) != nullptr) continue;
            auto& window = static_cast<ui::TWinControl&>(*child);
            ui::SavedDC saved(dc);
            POINT origin{};
            GetViewportOrgEx(dc, &origin);
            SetViewportOrgEx(dc, origin.x + child->Left(), origin.y + child->Top(), nullptr);
            IntersectClipRect(dc, 0, 0, child->Width(), child->Height());
            PaintWindowInto(window, dc, withNativeControls);
        }
    }

    ui::TBitmap picture_;
};

struct SplashWindow : ::testing::Test {
    SplashWindow() {
        application.Initialize();
        splash = new app::TfrmSplash(&application, {});
        splash->DoCreate();
    }
    ui::TApplication application;
    app::TfrmSplash* splash;
};

TEST_F(SplashWindow, LayoutAsDesigned) {
    EXPECT_EQ(splash->ClientWidth(), 324);
    EXPECT_EQ(splash->ClientHeight(), 151);
    EXPECT_EQ(GetWindowLongA(splash->Handle(), GWL_STYLE) & (WS_CAPTION | WS_BORDER | WS_THICKFRAME), 0);
    char name[32];
    GetClassNameA(splash->Handle(), name, sizeof name);
    EXPECT_STREQ(name, "TfrmSplash");
    char caption[32];
    GetWindowTextA(splash->Handle(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Tamberlyn");
    EXPECT_NE(GetClassLongPtrA(splash->Handle(), GCLP_HICON), 0) << "the program's icon stands for the window";
    RECT window{};
    GetWindowRect(splash->Handle(), &window);
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - 324) / 2);
    EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - 151) / 2);
    EXPECT_EQ(splash->cpnlProgress->Top(), 84) << "below the other top-aligned panel";
    EXPECT_EQ(splash->prgrssbrProgress->Position(), 0);
    EXPECT_EQ(splash->clblTitle->Caption(), "Tamberlyn v1.1");
    EXPECT_EQ(base::WideText(splash->clblCopyright->Caption()), L"Copyright \u00A9 2026 Tamberlyn");
    EXPECT_EQ(splash->clblProgress->Caption(), "Initialising...");
    const int status = splash->cpnlProgress->AccessibleElementOf(splash->clblProgress);
    EXPECT_EQ(splash->cpnlProgress->AccessibleName(status).value_or("none"), "Initialising...") << "for a reader";
    EXPECT_EQ(splash->imgLogo->Picture().Width(), 104);
    EXPECT_EQ(splash->imgLogo->Picture().Height(), 76);
}

TEST_F(SplashWindow, ProgressCaptionIsABlackBarWithWhiteCentredText) {
    SplashPicture picture(*splash);
    const RECT bar = splash->clblProgress->BoundsRect();
    const int top = splash->cpnlProgress->Top();
    const RECT onForm{bar.left, bar.top + top, bar.right, bar.bottom + top};
    const int black = picture.Count(onForm, RGB(0, 0, 0));
    const int white = picture.Count(onForm, RGB(255, 255, 255));
    const int area = (onForm.right - onForm.left) * (onForm.bottom - onForm.top);
    EXPECT_GT(white, 50) << "the caption is drawn in white";
    EXPECT_GT(black + white, area * 9 / 10) << "the rest of the bar is black (anti-aliased edges aside)";
    // The text is centred: as much white in the left half as in the right, give or take a glyph.
    const int middle = (onForm.left + onForm.right) / 2;
    const int left = picture.Count(RECT{onForm.left, onForm.top, middle, onForm.bottom}, RGB(255, 255, 255));
    EXPECT_NEAR(left, white - left, white / 5);
    // The logo shows at its place, centred in its 104 x 76 frame.
    EXPECT_NE(picture.Pixel(4 + 52, 4 + 38), GetSysColor(COLOR_BTNFACE));
}

TEST_F(SplashWindow, SkinShowsThroughTheTransparentPanelsAndOnTheFreeRow) {
    SplashPicture picture(*splash);
    ui::TBitmap skin;
    skin.LoadFromResourceName(GetModuleHandleA(nullptr), "SKIN");
    ASSERT_EQ(skin.Width(), 196);
    ASSERT_EQ(skin.Height(), 196);
    // The panels cover rows 0 to 149; the last row is the form's own, tiled from the skin's origin.
    const int row = splash->ClientHeight() - 1;
    for (int x = 0; x < splash->ClientWidth(); ++x) {
        ASSERT_EQ(picture.Pixel(x, row), GetPixel(skin.Canvas().Handle(), x % 196, row % 196)) << "x " << x;
    }
    EXPECT_EQ(splash->cfhSplash->HookedControl(), splash);
    // Inside the panels, away from their bevels and from every control, the form's tiles show.
    for (POINT at : {POINT{10, 114}, POINT{310, 50}, POINT{300, 140}, POINT{5, 82}}) {
        EXPECT_EQ(picture.Pixel(at.x, at.y), GetPixel(skin.Canvas().Handle(), at.x % 196, at.y % 196))
            << at.x << "," << at.y;
    }
}

TEST_F(SplashWindow, PaintingLeaksNoGdiObjects) {
    SplashPicture picture(*splash);
    const COLORREF logo = picture.Pixel(4 + 52, 4 + 38);
    {
        // With 200 handles left, a paint that leaked one object would run out within 200 paints.
        testing_support::GdiBudget budget(200);
        ASSERT_GT(budget.Capacity(), 5000);
        for (int i = 0; i < 1000; ++i) picture.Paint(*splash, false);
        EXPECT_TRUE(testing_support::GdiBudget::CanCreateObjects());
    }
    EXPECT_EQ(picture.Pixel(4 + 52, 4 + 38), logo) << "the paints still drew the splash";
}

}  // namespace
