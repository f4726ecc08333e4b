#include "skin/CoolFormHook.h"

#include <utility>

#include "skin/CoolUtils.h"
#include "ui/Forms.h"

namespace skin {

namespace {

// The client area's offset inside the window.
POINT ClientOffset(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return POINT{origin.x - bounds.left, origin.y - bounds.top};
}

// Cuts every visible child's bounds, moved into window coordinates, out of the region or adds them.
void CombineChildren(HRGN region, ui::TWinControl& control, POINT offset, int mode) {
    for (ui::TControl* child : control.Controls()) {
        if (!child->Visible()) continue;
        RECT bounds = child->BoundsRect();
        OffsetRect(&bounds, offset.x, offset.y);
        ui::RegionHandle piece(CreateRectRgnIndirect(&bounds));
        CombineRgn(region, region, piece.Get(), mode);
    }
}

}  // namespace

// ---- TCoolFormHook

TCoolFormHook::TCoolFormHook(base::TComponent* owner)
    : base::TComponent(owner),
      TSkinSurface(TSkinRepeat::Refreshes),
      hookedControl_(dynamic_cast<ui::TWinControl*>(owner)) {
    wndHook_ = new TWndHook(this);
    wndHook_->OnBeforeMessage = [this](base::TComponent*, ui::TMessage& message, bool& handled) {
        BeforeMessage(message, handled);
    };
    wndHook_->OnAfterMessage = [this](base::TComponent*, ui::TMessage& message, bool&) { AfterMessage(message); };
    wndHook_->OnChangeWinControl = [this](ui::TWinControl* control) { hookedControl_ = control; };
}

TCoolFormHook::~TCoolFormHook() {
    // Caption, region and layering go back to what the window had, unless the window goes anyway.
    if (hookedControl_ != nullptr && hookedControl_->HandleAllocated() && !hookedControl_->Destroying())
        SetOptions(TCoolOptions{});
    TWndHook* hook = std::exchange(wndHook_, nullptr);
    delete hook;
}

void TCoolFormHook::Loaded() {
    base::TComponent::Loaded();
    wndHook_->SetWinControl(dynamic_cast<ui::TWinControl*>(Owner()));
    wndHook_->SetActive(true);
}

void TCoolFormHook::Notification(base::TComponent* component, bool removing) {
    base::TComponent::Notification(component, removing);
    SkinNotification(component, removing);
    if (wndHook_ != nullptr && component != wndHook_) wndHook_->Notification(component, removing);
}

HWND TCoolFormHook::HookedWindow() const {
    if (hookedControl_ == nullptr || !hookedControl_->HandleAllocated()) return nullptr;
    return hookedControl_->Handle();
}

void TCoolFormHook::SkinChanged() {
    if (hookedControl_ == nullptr || hookedControl_->Destroying()) return;
    HWND window = HookedWindow();
    ui::Notify(hookedControl_, ui::CM_COLORCHANGED);
    if (window != nullptr) ui::InvalidateShown(window, nullptr, true);
}

void TCoolFormHook::SurfaceChanged(TSkinChange change) {
    if (change == TSkinChange::OwnWallpaper)
        WallpaperChanged();
    else
        SkinChanged();
}

void TCoolFormHook::WallpaperChanged() {
    HWND window = HookedWindow();
    if (window == nullptr) return;
    ui::InvalidateShown(window, nullptr, true);
    ui::SendPrivate(window, ui::CM_COLORCHANGED);
}

void TCoolFormHook::GradientChanged() {
    if (options_.Contains(ocPaintGradiently) && HookedWindow() != nullptr)
        ui::InvalidateShown(HookedWindow(), nullptr, true);
}

void TCoolFormHook::SetStartColor(ui::TColor color) {
    if (ChangeValue(startColor_, color)) GradientChanged();
}

void TCoolFormHook::SetEndColor(ui::TColor color) {
    if (ChangeValue(endColor_, color)) GradientChanged();
}

void TCoolFormHook::SetGradientDirection(TGradientDirection direction) {
    if (ChangeValue(gradientDirection_, direction)) GradientChanged();
}

void TCoolFormHook::SetTransparencyIntense(TTransparencyIntense intense) {
    if (!ChangeValue(transparencyIntense_, intense) || !options_.Contains(ocPaintFormSemiTransparently)) return;
    // Turning the layering off and on again applies the new opacity.
    const TCoolOptions options = options_;
    SetOptions(options - TCoolOptions{ocPaintFormSemiTransparently});
    SetOptions(options);
}

void TCoolFormHook::BeforeMessage(ui::TMessage& message, bool& handled) {
    handled = false;
    if (hookedControl_ == nullptr || message.Msg != WM_ERASEBKGND) return;
    if (!options_.Contains(ocPaintGradiently) && !options_.Contains(ocPaintWallpaper)) return;
    RECT client{};
    GetClientRect(hookedControl_->Handle(), &client);
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    if (options_.Contains(ocPaintGradiently)) {
        FillGradient(dc, client, startColor_, endColor_, 128, gradientDirection_ == gdHorizontal);
        handled = true;
    } else {
        // Nothing to paint: the window erases in its own colour.
        handled = PaintSkin(dc, client, options_.Contains(ocStretchWallpaper));
    }
}

void TCoolFormHook::AfterMessage(ui::TMessage& message) {
    if (hookedControl_ == nullptr) return;
    switch (message.Msg) {
        case WM_SIZE:
            // Every transparent control shows a piece of the background, which moved with the new size.
            if ((message.WParam == SIZE_RESTORED || message.WParam == SIZE_MAXIMIZED) &&
                (options_.Contains(ocPaintGradiently) || options_.Contains(ocPaintWallpaper)) &&
                HookedWindow() != nullptr)
                ui::SendPrivate(HookedWindow(), ui::CM_COLORCHANGED);
            break;
        case WM_NCHITTEST:
            if (message.Result == HTCLIENT && options_.Contains(ocDragUsingClientArea)) message.Result = HTCAPTION;
            if (message.Result == HTCAPTION && options_.Contains(ocNoDragUsingCaption)) message.Result = HTNOWHERE;
            break;
        default:
            break;
    }
}

ui::RegionHandle TCoolFormHook::TransparentRegion() {
    HWND window = hookedControl_->Handle();
    const RECT bounds = WindowRectAtOrigin(window);
    const POINT offset = ClientOffset(window);
    RECT client{};
    GetClientRect(window, &client);
    OffsetRect(&client, offset.x, offset.y);
    ui::RegionHandle region(CreateRectRgnIndirect(&bounds));
    ui::RegionHandle background(CreateRectRgnIndirect(&client));
    CombineRgn(region.Get(), region.Get(), background.Get(), RGN_DIFF);
    CombineChildren(region.Get(), *hookedControl_, offset, RGN_OR);
    return region;
}

ui::RegionHandle TCoolFormHook::RoundedRegion(bool transparent) {
    if (roundXOffset_ > 0) roundXOffset_ = -roundXOffset_;
    if (roundYOffset_ > 0) roundYOffset_ = -roundYOffset_;
    HWND window = hookedControl_->Handle();
    RECT r{};
    GetClientRect(window, &r);
    InflateRect(&r, roundXOffset_, roundYOffset_);
    ui::RegionHandle outer(CreateEllipticRgnIndirect(&r));
    if (transparent) {
        const POINT offset = ClientOffset(window);
        InflateRect(&r, -offset.x, -offset.y);
        ui::RegionHandle inner(CreateEllipticRgnIndirect(&r));
        CombineChildren(inner.Get(), *hookedControl_, offset, RGN_DIFF);
        CombineRgn(outer.Get(), outer.Get(), inner.Get(), RGN_DIFF);
    }
    return outer;
}

void TCoolFormHook::ApplyRegion(ui::RegionHandle region) {
    // The window owns a region it accepted.
    if (SetWindowRgn(hookedControl_->Handle(), region.Get(), TRUE) != 0) region.Release();
}

void TCoolFormHook::SetOptions(TCoolOptions options) {
    if (hookedControl_ == nullptr || options == options_) {
        options_ = options;
        return;
    }
    // Reading the style needs the window: during loading this is where the owner's window is made.
    HWND window = hookedControl_->Handle();

    if (auto* form = dynamic_cast<ui::TForm*>(hookedControl_); form != nullptr && form->BorderStyle() != ui::bsNone) {
        const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        const bool hasCaption = (style & WS_CAPTION) == WS_CAPTION;
        const bool wantCaption = !options.Contains(ocNoCaption);
        if (hasCaption != wantCaption) {
            SetWindowLongPtrA(window, GWL_STYLE, wantCaption ? (style | WS_CAPTION) : (style & ~LONG_PTR{WS_CAPTION}));
            SetWindowPos(window, nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    const bool transparentNow = options.Contains(ocPaintTransparently);
    const bool roundedNow = options.Contains(ocRoundedForm);
    if (transparentNow != options_.Contains(ocPaintTransparently)) {
        if (roundedNow)
            ApplyRegion(RoundedRegion(transparentNow));
        else
            ApplyRegion(transparentNow ? TransparentRegion() : ui::RegionHandle());
    }
    if (roundedNow != options_.Contains(ocRoundedForm)) {
        if (roundedNow)
            ApplyRegion(RoundedRegion(transparentNow));
        else
            ApplyRegion(transparentNow ? TransparentRegion() : ui::RegionHandle());
    }

    if (options.Contains(ocPaintWallpaper) != options_.Contains(ocPaintWallpaper))
        ui::SendPrivate(window, ui::CM_COLORCHANGED);

    const bool layeredNow = options.Contains(ocPaintFormSemiTransparently);
    if (layeredNow != options_.Contains(ocPaintFormSemiTransparently)) {
        const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
        if (layeredNow) {
            SetWindowLongPtrA(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
            // Looked up at run time: systems without layered windows get the style alone.
            using SetLayeredWindowAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
            HMODULE user32 = GetModuleHandleA("user32.dll");
            auto setAttributes = user32 != nullptr ? reinterpret_cast<SetLayeredWindowAttributesFunction>(
                                                         GetProcAddress(user32, "SetLayeredWindowAttributes"))
                                                   : nullptr;
            if (setAttributes != nullptr) setAttributes(window, 0, transparencyIntense_, LWA_ALPHA);
        } else {
            SetWindowLongPtrA(window, GWL_EXSTYLE, exStyle & ~LONG_PTR{WS_EX_LAYERED});
        }
    }

    ui::InvalidateShown(window, nullptr, true);
    options_ = options;
}

}  // namespace skin
