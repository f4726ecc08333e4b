#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "SkinTesting.h"
#include "skin/CoolCtrls.h"
#include "skin/CoolUtils.h"

namespace {

using skin::TCoolOptions;
using skintest::DibPixels;
using skintest::MakeFilled;
using skintest::PatternColor;
using skintest::SkinnedForm;

constexpr COLORREF kMagenta = RGB(255, 0, 255);

// Whether every pixel of the picture shows the skin tiled from its top-left corner.
bool ShowsTiles(ui::TBitmap& picture) {
    DibPixels pixels(picture);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (pixels.At(x, y) != PatternColor(x % 196, y % 196)) return false;
    return true;
}

TEST(FormHook, ErasesTheClientAreaWithTheSkinTiledFromTheCorner) {
    SkinnedForm skinned(TCoolOptions{skin::ocPaintWallpaper}, 400, 300);
    EXPECT_TRUE(skinned.hook->WndHook().Active());
    ui::TBitmap picture;
    skinned.EraseInto(picture, kMagenta);
    ASSERT_EQ(picture.Width(), 400);
    EXPECT_TRUE(ShowsTiles(picture));
}

TEST(FormHook, WithoutAUsableSkinTheWindowErasesInItsOwnColour) {
    SkinnedForm skinned(TCoolOptions{skin::ocPaintWallpaper}, 120, 80, -1);
    EXPECT_TRUE(skinned.hook->Wallpaper().Empty());
    ui::TBitmap picture;
    skinned.EraseInto(picture, kMagenta);
    DibPixels pixels(picture);
    const COLORREF face = ui::ColorToRGB(skinned.form->Color());
    for (int y = 0; y < 80; y += 7)
        for (int x = 0; x < 120; x += 7) ASSERT_EQ(pixels.At(x, y), face) << x << "," << y;

    // The own wallpaper stands in when the set has no such item.
    ui::TBitmap own;
    MakeFilled(own, 10, 10, RGB(1, 2, 3));
    skinned.hook->SetIdWallpaper(5);
    skinned.hook->SetWallpaper(own);
    skinned.EraseInto(picture, kMagenta);
    EXPECT_EQ(DibPixels(picture).At(119, 79), RGB(1, 2, 3));
}

TEST(FormHook, ASetOwnedByAnotherWindowAndDestroyedFirstIsLetGo) {
    SkinnedForm skinned(TCoolOptions{skin::ocPaintWallpaper}, 120, 80);
    auto other = ui::MakeForm<ui::TForm>(nullptr);
    auto* foreign = new skin::TCoolImages(other.get());
    skintest::MakePattern(foreign->Bitmaps().Add()->Bitmap(), 196, 196);
    skinned.hook->SetCoolImages(foreign);
    other.reset();
    EXPECT_EQ(skinned.hook->CoolImages(), nullptr);
    ui::TBitmap picture;
    skinned.EraseInto(picture, kMagenta);
    EXPECT_EQ(DibPixels(picture).At(60, 40), ui::ColorToRGB(skinned.form->Color())) << "nothing painted from it";
}

TEST(FormHook, TheGradientBeatsTheWallpaperWhenBothAreSet) {
    SkinnedForm skinned(TCoolOptions{skin::ocPaintWallpaper, skin::ocPaintGradiently}, 150, 90);
    skinned.hook->SetStartColor(RGB(240, 0, 0));
    skinned.hook->SetEndColor(RGB(0, 0, 240));
    ui::TBitmap picture;
    skinned.EraseInto(picture, kMagenta);
    ui::TBitmap expected;
    MakeFilled(expected, 150, 90, kMagenta);
    skin::FillGradient(expected.Canvas().Handle(), RECT{0, 0, 150, 90}, RGB(240, 0, 0), RGB(0, 0, 240), 128, false);
    DibPixels got(picture);
    DibPixels want(expected);
    EXPECT_EQ(got.At(0, 0), RGB(240, 0, 0));
    for (int y = 0; y < 90; ++y) ASSERT_EQ(got.At(75, y), want.At(75, y)) << y;
    EXPECT_NE(got.At(10, 50), got.At(10, 10)) << "vertical by default";

    skinned.hook->SetGradientDirection(skin::gdHorizontal);
    skinned.EraseInto(picture, kMagenta);
    EXPECT_EQ(DibPixels(picture).At(10, 80), DibPixels(picture).At(10, 0));
}

TEST(FormHook, CaptionHitsFollowTheDragOptions) {
    // The about box's options.
    SkinnedForm skinned(TCoolOptions{skin::ocPaintWallpaper, skin::ocNoDragUsingCaption}, 300, 160);
    skinned.form->Show();
    HWND window = skinned.Window();
    RECT bounds{};
    GetWindowRect(window, &bounds);
    RECT client{};
    GetClientRect(window, &client);
    POINT clientOrigin{0, 0};
    ClientToScreen(window, &clientOrigin);
    const int captionY = (bounds.top + clientOrigin.y) / 2;

    int captions = 0, closes = 0;
    for (int x = bounds.left + 1; x < bounds.right - 1; ++x) {
        const LPARAM at = MAKELPARAM(x, captionY);
        const LRESULT plain = DefWindowProcA(window, WM_NCHITTEST, 0, at);
        const LRESULT hooked = SendMessageA(window, WM_NCHITTEST, 0, at);
        captions += plain == HTCAPTION ? 1 : 0;
        closes += plain == HTCLOSE ? 1 : 0;
        ASSERT_EQ(hooked, plain == HTCAPTION ? HTNOWHERE : plain) << "x " << x;
    }
    EXPECT_GT(captions, 0);
    EXPECT_GT(closes, 0) << "the close box keeps working";

    const LPARAM inClient = MAKELPARAM(clientOrigin.x + 20, clientOrigin.y + 20);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, inClient), HTCLIENT);
    skinned.hook->SetOptions(TCoolOptions{skin::ocPaintWallpaper, skin::ocDragUsingClientArea});
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, inClient), HTCAPTION);
    skinned.hook->SetOptions(TCoolOptions{skin::ocDragUsingClientArea, skin::ocNoDragUsingCaption});
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, inClient), HTNOWHERE);
}

TEST(FormHook, SkinChangesAndResizesSendTheColourChangedNotification) {
    SkinnedForm skinned(TCoolOptions{skin::ocPaintWallpaper}, 200, 100);
    auto& changes = skinned.form->colorChanges;

    int before = changes;
    skinned.images->Bitmaps().Items(0)->Bitmap().SetSize(50, 50);
    EXPECT_EQ(changes, before + 1) << "an item's bitmap changed";
    before = changes;
    skinned.hook->SetIdWallpaper(0);
    EXPECT_EQ(changes, before + 1);
    before = changes;
    SendMessageA(skinned.Window(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 100));
    SendMessageA(skinned.Window(), WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(200, 100));
    SendMessageA(skinned.Window(), WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(changes, before + 2);
    before = changes;
    skinned.hook->SetOptions(TCoolOptions{});
    EXPECT_EQ(changes, before + 1) << "the wallpaper option went";
    before = changes;
    SendMessageA(skinned.Window(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 100));
    EXPECT_EQ(changes, before) << "nothing painted, nothing to tell";

    // The set goes away: the hook lets go of it and erases no more with it.
    skinned.hook->SetOptions(TCoolOptions{skin::ocPaintWallpaper});
    delete skinned.images;
    EXPECT_EQ(skinned.hook->CoolImages(), nullptr);
    ui::TBitmap picture;
    skinned.EraseInto(picture, kMagenta);
    EXPECT_EQ(DibPixels(picture).At(3, 3), ui::ColorToRGB(skinned.form->Color()));
}

TEST(FormHook, StartsWithTheDefaultsOfItsTableAndIgnoresTheFlatBorder) {
    SkinnedForm skinned(TCoolOptions{}, 200, 100);
    skin::TCoolFormHook& hook = *skinned.hook;
    EXPECT_EQ(hook.IdWallpaper(), 0);
    skin::TCoolFormHook fresh(skinned.form.get());
    EXPECT_EQ(fresh.IdWallpaper(), -1);
    EXPECT_EQ(fresh.Options(), TCoolOptions{});
    EXPECT_EQ(fresh.StartColor(), ui::clBlue);
    EXPECT_EQ(fresh.EndColor(), ui::clBlack);
    EXPECT_EQ(fresh.GradientDirection(), skin::gdVertical);
    EXPECT_EQ(fresh.RoundXOffset(), 0);
    EXPECT_EQ(fresh.RoundYOffset(), 0);
    EXPECT_EQ(fresh.TransparencyIntense(), 128);
    EXPECT_EQ(fresh.CoolImages(), nullptr);
    EXPECT_EQ(fresh.HookedControl(), skinned.form.get());
    EXPECT_FALSE(fresh.WndHook().Active()) << "installed only when loading ends";

    HWND window = skinned.Window();
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    hook.SetOptions(TCoolOptions{skin::ocFlatBorder});
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE), style);
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE), exStyle);
    ui::RegionHandle region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(window, region.Get()), ERROR);
}

TEST(FormHook, DropsAndRestoresTheCaption) {
    SkinnedForm skinned(TCoolOptions{skin::ocPaintWallpaper}, 200, 100);
    HWND window = skinned.Window();
    ASSERT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    skinned.hook->SetOptions(TCoolOptions{skin::ocPaintWallpaper, skin::ocNoCaption});
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION, 0);
    skinned.hook->SetOptions(TCoolOptions{skin::ocPaintWallpaper});
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
}

bool RegionHas(HWND window, int x, int y) {
    ui::RegionHandle region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(window, region.Get()) == ERROR) return true;
    return PtInRegion(region.Get(), x, y) != FALSE;
}

bool HasRegion(HWND window) {
    ui::RegionHandle region(CreateRectRgn(0, 0, 0, 0));
    return GetWindowRgn(window, region.Get()) != ERROR;
}

class ShapedForm : public ::testing::Test {
protected:
    ShapedForm() : skinned_(TCoolOptions{skin::ocPaintWallpaper}, 300, 200) {
        child_ = new ui::TPanel(skinned_.form.get());
        child_->SetParent(skinned_.form.get());
        child_->SetBounds(20, 20, 50, 40);
        window_ = skinned_.Window();
        RECT bounds{};
        GetWindowRect(window_, &bounds);
        POINT origin{0, 0};
        ClientToScreen(window_, &origin);
        offset_ = POINT{origin.x - bounds.left, origin.y - bounds.top};
    }

    SkinnedForm skinned_;
    ui::TPanel* child_ = nullptr;
    HWND window_ = nullptr;
    POINT offset_{};
};

TEST_F(ShapedForm, RoundedRegionIsTheEllipseInsideTheInsetsWhichBecomeNegative) {
    skinned_.hook->SetRoundXOffset(10);
    skinned_.hook->SetRoundYOffset(6);
    skinned_.hook->SetOptions(TCoolOptions{skin::ocPaintWallpaper, skin::ocRoundedForm});
    EXPECT_EQ(skinned_.hook->RoundXOffset(), -10);
    EXPECT_EQ(skinned_.hook->RoundYOffset(), -6);
    ASSERT_TRUE(HasRegion(window_));
    // The ellipse inscribed in (10, 6, 290, 194).
    EXPECT_TRUE(RegionHas(window_, 150, 100));
    EXPECT_TRUE(RegionHas(window_, 13, 100));
    EXPECT_FALSE(RegionHas(window_, 8, 100));
    EXPECT_TRUE(RegionHas(window_, 150, 8));
    EXPECT_FALSE(RegionHas(window_, 150, 4));
    EXPECT_FALSE(RegionHas(window_, 20, 20));

    skinned_.hook->SetOptions(TCoolOptions{skin::ocPaintWallpaper});
    EXPECT_FALSE(HasRegion(window_));
}

TEST_F(ShapedForm, TransparentRegionKeepsTheFrameAndTheChildrenOnly) {
    skinned_.hook->SetOptions(TCoolOptions{skin::ocPaintTransparently});
    ASSERT_TRUE(HasRegion(window_));
    EXPECT_TRUE(RegionHas(window_, 1, 1)) << "frame";
    EXPECT_TRUE(RegionHas(window_, offset_.x + 150, offset_.y / 2)) << "caption";
    EXPECT_FALSE(RegionHas(window_, offset_.x + 150, offset_.y + 100)) << "client background";
    EXPECT_TRUE(RegionHas(window_, offset_.x + 45, offset_.y + 40)) << "child";

    // Rounded as well: a ring of the ellipse plus the children.
    skinned_.hook->SetOptions(TCoolOptions{skin::ocPaintTransparently, skin::ocRoundedForm});
    EXPECT_FALSE(RegionHas(window_, 150, 100)) << "inside the ring";
    EXPECT_TRUE(RegionHas(window_, 150, 2)) << "on the ring";
    EXPECT_TRUE(RegionHas(window_, offset_.x + 45, offset_.y + 40)) << "child";

    // Rounded goes: back to the plain transparent region.
    skinned_.hook->SetOptions(TCoolOptions{skin::ocPaintTransparently});
    EXPECT_TRUE(RegionHas(window_, 1, 1));
    skinned_.hook->SetOptions(TCoolOptions{});
    EXPECT_FALSE(HasRegion(window_));
}

TEST_F(ShapedForm, SemiTransparentWindowIsLayeredWithTheChosenOpacity) {
    skinned_.hook->SetOptions(TCoolOptions{skin::ocPaintFormSemiTransparently});
    EXPECT_NE(GetWindowLongPtrA(window_, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window_, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(flags & LWA_ALPHA, static_cast<DWORD>(LWA_ALPHA));
    skinned_.hook->SetTransparencyIntense(200);
    ASSERT_TRUE(GetLayeredWindowAttributes(window_, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 200);
    skinned_.hook->SetOptions(TCoolOptions{});
    EXPECT_EQ(GetWindowLongPtrA(window_, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

TEST_F(ShapedForm, DestroyingTheHookUndoesItsChangesAndLeavesTheWindowProcedure) {
    skinned_.hook->SetRoundXOffset(5);
    skinned_.hook->SetOptions(TCoolOptions{skin::ocNoCaption, skin::ocRoundedForm, skin::ocPaintFormSemiTransparently});
    const WNDPROC hookProcedure = skinned_.hook->WndHook().HookProcedure();
    ASSERT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window_, GWLP_WNDPROC)), hookProcedure);
    const WNDPROC original = skinned_.hook->WndHook().PreviousProcedure();
    delete skinned_.hook;
    EXPECT_EQ(GetWindowLongPtrA(window_, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(HasRegion(window_));
    EXPECT_EQ(GetWindowLongPtrA(window_, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window_, GWLP_WNDPROC)), original);
}

TEST(FormHook, ABorderlessWindowWithOpaquePanelsShowsTheSkinOnlyWhereThePanelsLeaveRoom) {
    // Laid out as the splash window: two opaque panels stacked at the top leave the bottom row free.
    const auto held = ui::MakeForm<ui::TForm>(nullptr);
    ui::TForm& form = *held;
    form.BeginLoading();
    form.SetBorderStyle(ui::bsNone);
    form.SetClientSize(324, 151);
    auto* top = new ui::TPanel(&form);
    top->SetParent(&form);
    top->SetBounds(0, 0, 324, 84);
    top->SetAlign(ui::alTop);
    auto* bottom = new ui::TPanel(&form);
    bottom->SetParent(&form);
    bottom->SetBounds(0, 84, 324, 66);
    bottom->SetAlign(ui::alTop);
    auto* images = new skin::TCoolImages(&form);
    skintest::MakePattern(images->Bitmaps().Add()->Bitmap(), 196, 196);
    auto* hook = new skin::TCoolFormHook(&form);
    hook->SetOptions(TCoolOptions{skin::ocPaintWallpaper, skin::ocFlatBorder});
    hook->SetCoolImages(images);
    hook->SetIdWallpaper(0);
    form.EndLoading();
    ASSERT_TRUE(hook->WndHook().Active());

    form.Show();
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC screen = GetDC(form.Handle());
    for (int x = 0; x < 324; x += 17) EXPECT_EQ(GetPixel(screen, x, 150), PatternColor(x % 196, 150)) << x;
    EXPECT_EQ(GetPixel(screen, 160, 120), ui::ColorToRGB(bottom->Color()));
    ReleaseDC(form.Handle(), screen);
}

TEST(FormHook, FollowsTheWindowWhenItIsRecreated) {
    SkinnedForm skinned(TCoolOptions{skin::ocPaintWallpaper}, 250, 120);
    HWND first = skinned.Window();
    skinned.form->RecreateWnd();
    HWND second = skinned.Window();
    ASSERT_NE(second, nullptr);
    ASSERT_FALSE(IsWindow(first));
    skintest::PumpMessages();
    EXPECT_TRUE(skinned.hook->WndHook().Active());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(second, GWLP_WNDPROC)),
              skinned.hook->WndHook().HookProcedure());
    ui::TBitmap picture;
    skinned.EraseInto(picture, kMagenta);
    EXPECT_TRUE(ShowsTiles(picture));
}

}  // namespace
