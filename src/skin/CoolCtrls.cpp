#include "skin/CoolCtrls.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

#include "ui/Forms.h"

namespace skin {

namespace {

RECT WindowRectAtOrigin(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    OffsetRect(&rect, -rect.left, -rect.top);
    return rect;
}

// The client area's offset inside the window.
POINT ClientOffset(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return POINT{origin.x - bounds.left, origin.y - bounds.top};
}

void Line(ui::TCanvas& canvas, int x1, int y1, int x2, int y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

void TopLine(ui::TCanvas& canvas, const RECT& r) {
    Line(canvas, r.left, r.top + 1, r.right, r.top + 1);
}
void LeftLine(ui::TCanvas& canvas, const RECT& r) {
    Line(canvas, r.left + 1, r.top, r.left + 1, r.bottom);
}
void RightLine(ui::TCanvas& canvas, const RECT& r) {
    Line(canvas, r.right - 1, r.top, r.right - 1, r.bottom);
}
void BottomLine(ui::TCanvas& canvas, const RECT& r) {
    Line(canvas, r.left, r.bottom - 1, r.right, r.bottom - 1);
}

// The edges in their drawing order: top, left, right, bottom.
void DrawEdges(ui::TCanvas& canvas, const RECT& r, TEdgeBorders edges) {
    if (edges.Contains(ebTop)) TopLine(canvas, r);
    if (edges.Contains(ebLeft)) LeftLine(canvas, r);
    if (edges.Contains(ebRight)) RightLine(canvas, r);
    if (edges.Contains(ebBottom)) BottomLine(canvas, r);
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

// ---- TCoolChangeLink

TCoolChangeLink::~TCoolChangeLink() {
    if (images_ != nullptr) images_->UnRegisterChanges(this);
}

void TCoolChangeLink::Change() {
    if (OnChange) OnChange(images_);
}

// ---- TBitmapItem

TBitmapItem::TBitmapItem(ui::TCollection* collection)
    : ui::TCollectionItem(collection), bitmap_(std::make_unique<ui::TBitmap>()) {
    bitmap_->OnChange = [this] { AnnounceChange(); };
}

TBitmapItem::~TBitmapItem() {
    AnnounceChange();
    bitmap_->OnChange = nullptr;
    bitmap_.reset();
}

void TBitmapItem::SetBitmap(const ui::TBitmap& bitmap) {
    bitmap_->Assign(bitmap);
}

void TBitmapItem::AnnounceChange() {
    auto* bitmaps = dynamic_cast<TBitmaps*>(Collection());
    if (bitmaps != nullptr && bitmaps->Images() != nullptr) bitmaps->Images()->Change();
}

// ---- TBitmaps

TBitmaps::~TBitmaps() {
    Clear();
}

ui::TComponent* TBitmaps::Owner() const {
    return owner_;
}

// ---- TCoolImages

TCoolImages::TCoolImages(ui::TComponent* owner) : ui::TComponent(owner), bitmaps_(std::make_unique<TBitmaps>(this)) {}

TCoolImages::~TCoolImages() {
    while (!links_.empty()) {
        links_.back()->images_ = nullptr;
        links_.pop_back();
    }
    bitmaps_.reset();
}

void TCoolImages::RegisterChanges(TCoolChangeLink* link) {
    link->images_ = this;
    links_.push_back(link);
}

void TCoolImages::UnRegisterChanges(TCoolChangeLink* link) {
    const auto found = std::find(links_.begin(), links_.end(), link);
    if (found == links_.end()) return;
    link->images_ = nullptr;
    links_.erase(found);
}

void TCoolImages::Change() {
    // A link's user may leave the set while it is told; a link that left is not told any more.
    const std::vector<TCoolChangeLink*> links = links_;
    for (TCoolChangeLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
    }
}

// ---- Shared painting routines

ui::TBitmap* ChooseSkinPicture(TCoolImages* images, int idWallpaper, ui::TBitmap* wallpaper) {
    if (images != nullptr && idWallpaper >= 0 && idWallpaper <= images->Bitmaps().Count() - 1) {
        ui::TBitmap& bitmap = images->Bitmaps().Items(idWallpaper)->Bitmap();
        if (!bitmap.Empty()) return &bitmap;
    }
    if (wallpaper != nullptr && !wallpaper->Empty()) return wallpaper;
    return nullptr;
}

bool PaintSkinWallpaper(HDC dc, const RECT& rect, bool stretch, DWORD rop, TCoolImages* images, int idWallpaper,
                        ui::TBitmap* wallpaper) {
    ui::TBitmap* picture = ChooseSkinPicture(images, idWallpaper, wallpaper);
    if (picture == nullptr) return false;
    TileBitmap(dc, *picture, rect, stretch, rop);
    return true;
}

bool IsCoolControl(const ui::TControl* control) {
    // The class library has no run-time class names for controls without a window, so the C++ type's
    // name stands in; every compiler keeps the class identifier in it.
    return control != nullptr && std::strstr(typeid(*control).name(), "Cool") != nullptr;
}

void DrawFlatBorder(HDC dc, ui::TWinControl* control, bool hot, TFlatBorderKind kind) {
    HWND window = control->Handle();
    ui::WindowDC target(window, ui::WindowDC::Whole, dc);
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    RECT r = WindowRectAtOrigin(window);
    FrameRect(target.Get(), &r, face);
    InflateRect(&r, -1, -1);
    FrameRect(target.Get(), &r, face);
    if (hot) {
        InflateRect(&r, 1, 1);
        DrawEdge(target.Get(), &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
    if (kind == TFlatBorderKind::Edit) {
        InflateRect(&r, -1, -1);
    } else {
        // The corner where the scroll bars meet keeps the face colour, and the inner frame runs along the
        // scroll bars rather than over them.
        const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        const int scrollSize = GetSystemMetrics(SM_CYHSCROLL);
        int bars = 0;
        if ((style & WS_VSCROLL) != 0) {
            RECT corner{r.right - scrollSize, r.bottom - 2, r.right, r.bottom - 1};
            FillRect(target.Get(), &corner, face);
            bars = 2;
        }
        if ((style & WS_HSCROLL) != 0) {
            RECT corner{r.right - 2, r.bottom - scrollSize, r.right - 1, r.bottom};
            FillRect(target.Get(), &corner, face);
            bars = bars == 2 ? 3 : 1;
        }
        switch (bars) {
            case 0:
                InflateRect(&r, -1, -1);
                break;
            case 1:
                r.bottom -= 1;
                break;
            case 2:
                r.right -= 1;
                break;
            default:
                r.right -= 1;
                r.bottom -= 1;
                break;
        }
    }
    if (kind != TFlatBorderKind::Grid) FrameRect(target.Get(), &r, GetSysColorBrush(COLOR_WINDOW));
}

void DrawEdgeBorders(HDC dc, ui::TWinControl* control, TEdgeBorders edges, ui::TColor eraseColor, const ui::TPen& pen) {
    if (edges.Empty()) return;
    HWND window = control->Handle();
    ui::WindowDC target(window, ui::WindowDC::Whole, dc);
    const RECT r = WindowRectAtOrigin(window);
    ui::TCanvas canvas;
    ui::CanvasBinding binding(canvas, target.Get());
    if (eraseColor != ui::clNone) {
        canvas.Pen().SetColor(eraseColor);
        canvas.Pen().SetWidth(2);
        TopLine(canvas, r);
        LeftLine(canvas, r);
        RightLine(canvas, r);
        BottomLine(canvas, r);
    }
    canvas.Pen().Assign(pen);
    DrawEdges(canvas, r, edges);
}

void DrawClientEdges(ui::TCanvas& canvas, const RECT& client, TEdgeBorders edges, const ui::TPen& pen) {
    canvas.Pen().Assign(pen);
    DrawEdges(canvas, client, edges);
}

// ---- TCoolFormHook

TCoolFormHook::TCoolFormHook(ui::TComponent* owner)
    : ui::TComponent(owner), hookedControl_(dynamic_cast<ui::TWinControl*>(owner)) {
    wndHook_ = new TWndHook(this);
    wndHook_->OnBeforeMessage = [this](ui::TComponent*, ui::TMessage& message, bool& handled) {
        BeforeMessage(message, handled);
    };
    wndHook_->OnAfterMessage = [this](ui::TComponent*, ui::TMessage& message, bool&) { AfterMessage(message); };
    wndHook_->OnChangeWinControl = [this](ui::TWinControl* control) { hookedControl_ = control; };
    skin_.OnSetChanged = [this] { SkinChanged(); };
    skin_.OnWallpaperChanged = [this] { WallpaperChanged(); };
}

TCoolFormHook::~TCoolFormHook() {
    // Caption, region and layering go back to what the window had, unless the window goes anyway.
    if (hookedControl_ != nullptr && hookedControl_->HandleAllocated() && !hookedControl_->Destroying())
        SetOptions(TCoolOptions{});
    skin_.OnSetChanged = nullptr;
    skin_.OnWallpaperChanged = nullptr;
    TWndHook* hook = std::exchange(wndHook_, nullptr);
    delete hook;
}

void TCoolFormHook::Loaded() {
    ui::TComponent::Loaded();
    wndHook_->SetWinControl(dynamic_cast<ui::TWinControl*>(Owner()));
    wndHook_->SetActive(true);
}

void TCoolFormHook::Notification(ui::TComponent* component, bool removing) {
    ui::TComponent::Notification(component, removing);
    if (skin_.Notification(component, removing)) SkinChanged();
    if (wndHook_ != nullptr && component != wndHook_) wndHook_->Notification(component, removing);
}

HWND TCoolFormHook::HookedWindow() const {
    if (hookedControl_ == nullptr || !hookedControl_->HandleAllocated()) return nullptr;
    return hookedControl_->Handle();
}

void TCoolFormHook::SkinChanged() {
    if (hookedControl_ == nullptr || hookedControl_->Destroying()) return;
    HWND window = HookedWindow();
    if (window == nullptr) {
        hookedControl_->Perform(ui::CM_COLORCHANGED);
        return;
    }
    SendMessageA(window, ui::CM_COLORCHANGED, 0, 0);
    ui::InvalidateShown(window, nullptr, true);
}

void TCoolFormHook::SetCoolImages(TCoolImages* images) {
    skin_.SetCoolImages(images);
    SkinChanged();
}

void TCoolFormHook::SetIdWallpaper(int id) {
    skin_.SetIdWallpaper(id);
    SkinChanged();
}

void TCoolFormHook::SetWallpaper(const ui::TBitmap& bitmap) {
    Wallpaper().Assign(bitmap);
    SkinChanged();
}

void TCoolFormHook::WallpaperChanged() {
    HWND window = HookedWindow();
    if (window == nullptr) return;
    ui::InvalidateShown(window, nullptr, true);
    SendMessageA(window, ui::CM_COLORCHANGED, 0, 0);
}

void TCoolFormHook::SetStartColor(ui::TColor color) {
    if (color == startColor_) return;
    startColor_ = color;
    if (options_.Contains(ocPaintGradiently) && HookedWindow() != nullptr)
        ui::InvalidateShown(HookedWindow(), nullptr, true);
}

void TCoolFormHook::SetEndColor(ui::TColor color) {
    if (color == endColor_) return;
    endColor_ = color;
    if (options_.Contains(ocPaintGradiently) && HookedWindow() != nullptr)
        ui::InvalidateShown(HookedWindow(), nullptr, true);
}

void TCoolFormHook::SetGradientDirection(TGradientDirection direction) {
    if (direction == gradientDirection_) return;
    gradientDirection_ = direction;
    if (options_.Contains(ocPaintGradiently) && HookedWindow() != nullptr)
        ui::InvalidateShown(HookedWindow(), nullptr, true);
}

void TCoolFormHook::SetTransparencyIntense(TTransparencyIntense intense) {
    if (intense == transparencyIntense_) return;
    transparencyIntense_ = intense;
    if (!options_.Contains(ocPaintFormSemiTransparently)) return;
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
        handled = skin_.Paint(dc, client, options_.Contains(ocStretchWallpaper), SRCCOPY);
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
                SendMessageA(HookedWindow(), ui::CM_COLORCHANGED, 0, 0);
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
        SendMessageA(window, ui::CM_COLORCHANGED, 0, 0);

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
