#include "skin/CoolBtn.h"

#include "skin/CoolUtils.h"

namespace skin {

namespace {

// The ground an animation frame is drawn on before it becomes a glyph; it stays see-through.
constexpr ui::TColor kFrameGround = RGB(255, 0, 255);

// The caption reads left to right: no DrawText flags beyond the glyph's own.
constexpr UINT kCaptionFlags = 0;

void FillSolid(HDC dc, const RECT& rect, ui::TColor color) {
    ui::BrushHandle brush(CreateSolidBrush(ui::ColorToRGB(color)));
    FillRect(dc, &rect, brush.Get());
}

// Clip regions are in device units: the rectangle goes through the DC's mapping first, so that the clip
// lands right in a DC whose origin a parent or a caller has moved.
void IntersectClipEllipse(HDC dc, const RECT& rect) {
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    LPtoDP(dc, corners, 2);
    ui::RegionHandle region(CreateEllipticRgn(corners[0].x, corners[0].y, corners[1].x, corners[1].y));
    ExtSelectClipRgn(dc, region.Get(), RGN_AND);
}

// One ellipse in a one-pixel pen of the colour, filled with the brush.
void DrawEllipse(HDC dc, int left, int top, int right, int bottom, ui::TColor penColor, HBRUSH brush) {
    ui::PenHandle pen(CreatePen(PS_SOLID, 1, ui::ColorToRGB(penColor)));
    ui::SelectObjectScope penSelected(dc, pen.Get());
    ui::SelectObjectScope brushSelected(dc, brush);
    Ellipse(dc, left, top, right, bottom);
}

// The elliptic button's rim: three rings and a shadow arc along the lower right, the light and dark
// rings swapping places when the button is pressed.
void DrawRim(HDC dc, const RECT& r, bool pressed, HBRUSH brush) {
    DrawEllipse(dc, r.left, r.top, r.right - 1, r.bottom - 1, ui::clBtnShadow, brush);
    DrawEllipse(dc, r.left + 1, r.top + 1, r.right, r.bottom, pressed ? ui::clBtnHighlight : ui::clWindowFrame, brush);
    DrawEllipse(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, pressed ? ui::clWindowFrame : ui::clBtnHighlight,
                brush);
    ui::PenHandle pen(CreatePen(PS_SOLID, 1, ui::ColorToRGB(ui::clBtnShadow)));
    ui::SelectObjectScope penSelected(dc, pen.Get());
    const int direction = SetArcDirection(dc, AD_COUNTERCLOCKWISE);
    Arc(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, r.left, r.bottom, r.right, r.top);
    SetArcDirection(dc, direction);
}

}  // namespace

TCoolBtn::TCoolBtn(base::TComponent* owner)
    : ui::TButton(owner),
      TSkinSurface(TSkinRepeat::Ignored),
      canvas_(std::make_unique<ui::TCanvas>()),
      glyph_(std::make_unique<TGlyph>()),
      imagesLink_(std::make_unique<ui::TChangeLink>()),
      timer_(std::make_unique<ui::TTimer>(nullptr)) {
    SetHoverEvents(true);
    glyph_->OnChange = [this] { Invalidate(); };
    imagesLink_->OnChange = [this] { Invalidate(); };
    timer_->SetEnabled(false);
    timer_->SetInterval(1000);
    timer_->OnTimer = [this] { AnimationTick(); };
}

// The members go in reverse order: the change links and the timer first, so that nothing calls back
// into a button being taken apart; the window goes last, with the base.
TCoolBtn::~TCoolBtn() = default;

// ---- Window and messages

void TCoolBtn::CreateParams(ui::TCreateParams& params) {
    ui::TButton::CreateParams(params);
    params.Style = (params.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TCoolBtn::SetDefaultStyle(bool active) {
    // The native default-button style would replace the owner-drawn one: only the painted frame changes.
    if (ChangeValue(defaultActive_, active)) Repaint();
}

void TCoolBtn::WndProc(ui::TMessage& message) {
    switch (message.Msg) {
        case ui::CN_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
            PaintButton(item.hDC, item.itemState);
            message.Result = TRUE;
            return;
        }
        case ui::CN_MEASUREITEM: {
            auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
            item.itemWidth = static_cast<UINT>(Width());
            item.itemHeight = static_cast<UINT>(Height());
            message.Result = TRUE;
            return;
        }
        case ui::CM_PARENTCOLORCHANGED:
            ui::TButton::WndProc(message);
            if (options_.Contains(ocPaintTransparently) || options_.Contains(ocRoundedForm)) Invalidate();
            return;
        case WM_LBUTTONDBLCLK:
            // An owner-drawn button takes a quick second click for a double click and does not press;
            // as a push button it is a second press.
            message.Msg = WM_LBUTTONDOWN;
            break;
        default:
            break;
    }
    ui::TButton::WndProc(message);
}

void TCoolBtn::EraseBackground(HDC dc) {
    const RECT client = ClientRect();
    if (options_.Contains(ocPaintTransparently))
        PaintParentBackground(GetAncestorControl(this, TransparencyLevel()), dc);
    else if (options_.Contains(ocPaintWallpaper))
        PaintWallpaper(dc, client);
    else if (options_.Contains(ocPaintGradiently))
        FillGradient(dc, client, colorStart_, colorEnd_, 128, gradientDirection_ == gdHorizontal);
    else
        ui::TButton::EraseBackground(dc);
}

void TCoolBtn::MouseEnter() {
    if (options_.Contains(ocFlatBorder)) Invalidate();
    if (OnMouseEnter) OnMouseEnter();
}

void TCoolBtn::MouseLeave() {
    if (options_.Contains(ocFlatBorder)) Invalidate();
    if (OnMouseLeave) OnMouseLeave();
}

void TCoolBtn::Notification(base::TComponent* component, bool removing) {
    ui::TButton::Notification(component, removing);
    if (!removing) return;
    if (component == images_) {
        images_ = nullptr;
        Invalidate();
    }
    SkinNotification(component, removing);
}

// ---- Painting

void TCoolBtn::PaintButton(HDC dc, UINT itemState) {
    const bool pressed = (itemState & ODS_SELECTED) != 0;
    const bool focused = (itemState & ODS_FOCUS) != 0;
    ui::CanvasBinding binding(*canvas_, dc);
    // Everything the canvas needs is set before it first selects anything into the DC, so that no pen,
    // brush or font is replaced while it is selected.
    canvas_->Font().Assign(Font());
    canvas_->Pen().SetColor(ui::clWindowFrame);
    canvas_->Pen().SetWidth(1);
    canvas_->Brush().SetStyle(ui::TBrushStyle::Clear);
    if (options_.Contains(ocRoundedForm))
        PaintElliptic(dc, pressed, focused);
    else
        PaintRectangular(dc, pressed, focused);
    if (OnDrawButton) OnDrawButton(this, *canvas_, ClientRect());
}

void TCoolBtn::PaintRectangular(HDC dc, bool pressed, bool focused) {
    RECT r = ClientRect();
    if (options_.Contains(ocPaintTransparently))
        PaintParentBackground(GetAncestorControl(this, TransparencyLevel()), dc);
    else if (options_.Contains(ocPaintWallpaper))
        PaintWallpaper(dc, r);
    else if (options_.Contains(ocPaintGradiently))
        FillGradient(dc, r, colorStart_, colorEnd_, 128, gradientDirection_ == gdHorizontal);
    else
        FillSolid(dc, r, Color());

    if ((focused || defaultActive_) && btnPaintOptions_.Contains(bpoDrawDefault)) {
        canvas_->Rectangle(r);
        InflateRect(&r, -1, -1);
    }
    if (pressed)
        DrawEdge(dc, &r, BDR_SUNKENINNER, BF_RECT | BF_ADJUST);
    else if (FrameShown())
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);

    PaintGlyphAndCaption(pressed);

    if (focused && defaultActive_ && btnPaintOptions_.Contains(bpoDrawFocus)) {
        RECT focus = ClientRect();
        InflateRect(&focus, -4, -4);
        canvas_->Brush().SetColor(InvertColor(Font().Color()));
        DrawFocusRect(canvas_->Handle(), &focus);
    }
}

void TCoolBtn::PaintElliptic(HDC dc, bool pressed, bool focused) {
    const RECT r = ClientRect();
    // Outside the ellipse the parent shows.
    PaintParentBackground(this, dc);
    // Inside, the members count in the reverse order of the rectangular shape.
    bool fill = true;
    if (options_.Contains(ocPaintGradiently)) {
        ui::SavedDC saved(dc);
        IntersectClipEllipse(dc, r);
        FillGradient(dc, r, colorStart_, colorEnd_, 128, gradientDirection_ == gdHorizontal);
        fill = false;
    } else if (options_.Contains(ocPaintWallpaper)) {
        ui::SavedDC saved(dc);
        IntersectClipEllipse(dc, r);
        // Without a skin bitmap the ellipse is filled with the colour, as any control without its skin is.
        fill = !PaintWallpaper(dc, r);
    } else if (options_.Contains(ocPaintTransparently)) {
        PaintParentBackgroundClipped(GetAncestorControl(this, TransparencyLevel()), dc, r);
        fill = false;
    }

    if (FrameShown()) {
        ui::BrushHandle solid;
        if (fill) solid.Reset(CreateSolidBrush(ui::ColorToRGB(Color())));
        DrawRim(dc, r, pressed, fill ? solid.Get() : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    }

    PaintGlyphAndCaption(pressed);

    if (focused && defaultActive_ && btnPaintOptions_.Contains(bpoDrawFocus)) {
        RECT focus = r;
        InflateRect(&focus, -4, -4);
        DrawEllipse(dc, focus.left, focus.top, focus.right, focus.bottom, ui::clBtnShadow,
                    static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    }
}

void TCoolBtn::PaintGlyphAndCaption(bool pressed) {
    RECT client = ClientRect();
    if (pressed) OffsetRect(&client, 1, 1);
    // While the animation runs, its current frame stands in for the glyph.
    std::unique_ptr<TGlyph> frame = animated_ ? FrameGlyph() : nullptr;
    TGlyph& glyph = frame ? *frame : *glyph_;
    RECT textBounds{};
    glyph.PaintGlyphAndCaption(*canvas_, client, textBounds, kCaptionFlags, Shadow().Size(), Shadow().Color(),
                               Shadow().Position(), Shadow().SimpleView(), ui::clNone, true, Enabled(), spacing_,
                               margin_, layout_, Caption());
}

std::unique_ptr<TGlyph> TCoolBtn::FrameGlyph() const {
    ui::TCustomImageList* images = Images();
    if (images == nullptr || frameIndex_ < 0 || frameIndex_ >= images->Count()) return nullptr;
    ui::TBitmap picture;
    picture.SetSize(images->Width(), images->Height());
    RECT all{0, 0, images->Width(), images->Height()};
    picture.Canvas().Brush().SetColor(kFrameGround);
    picture.Canvas().FillRect(all);
    images->DrawEx(picture.Canvas().Handle(), 0, 0, frameIndex_, ui::clNone, ui::clNone, ILD_TRANSPARENT);
    picture.SetTransparentColor(kFrameGround);
    auto glyph = std::make_unique<TGlyph>();
    glyph->AssignSource(&picture);
    // A frame is one image whatever its shape.
    glyph->ChangeImageCount(1);
    return glyph;
}

bool TCoolBtn::FrameShown() const {
    return !options_.Contains(ocFlatBorder) || MouseInside();
}

bool TCoolBtn::PaintWallpaper(HDC dc, const RECT& rect) {
    return PaintSkin(dc, rect, options_.Contains(ocStretchWallpaper));
}

UINT TCoolBtn::CurrentItemState() {
    HWND window = Handle();
    const LRESULT state = SendMessageA(window, BM_GETSTATE, 0, 0);
    UINT itemState = 0;
    if ((state & BST_PUSHED) != 0) itemState |= ODS_SELECTED;
    if ((state & BST_FOCUS) != 0) itemState |= ODS_FOCUS;
    if (!IsWindowEnabled(window)) itemState |= ODS_DISABLED;
    return itemState;
}

// ---- Animation

void TCoolBtn::AnimationTick() {
    ui::TCustomImageList* images = Images();
    if (images == nullptr || !HandleAllocated() || !IsWindowVisible(Handle())) return;
    // The step is painted off screen and copied in one piece, so the frame changes without flicker.
    const RECT client = ClientRect();
    ui::WindowDC target(Handle());
    ui::MemoryDC memory(target.Get());
    ui::BitmapHandle picture(CreateCompatibleBitmap(target.Get(), client.right, client.bottom));
    {
        ui::SelectObjectScope selected(memory.Get(), picture.Get());
        PaintButton(memory.Get(), CurrentItemState());
        BitBlt(target.Get(), 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
    }
    frameIndex_ = frameIndex_ < images->Count() - 1 ? frameIndex_ + 1 : 0;
}

// ---- Properties

void TCoolBtn::SetGlyph(const ui::TBitmap* bitmap) {
    glyph_->AssignSource(bitmap);
}

void TCoolBtn::SetNumGlyphs(int count) {
    if (count > 2) count = 2;
    if (count < 1 || count == glyph_->ImageCount()) return;
    // The glyph tells of the change, which repaints the button.
    glyph_->ChangeImageCount(count);
}

void TCoolBtn::SetOptions(TCoolOptions options) {
    if (!ChangeValue(options_, options)) return;
    RecreateWnd();
    ui::Notify(this, ui::CM_COLORCHANGED);
}

void TCoolBtn::SetLayout(TButtonLayout layout) {
    if (ChangeValue(layout_, layout)) Invalidate();
}

void TCoolBtn::SetSpacing(int spacing) {
    if (ChangeValue(spacing_, spacing)) Invalidate();
}

void TCoolBtn::SetMargin(int margin) {
    if (margin >= -1 && ChangeValue(margin_, margin)) Invalidate();
}

void TCoolBtn::SetImages(ui::TCustomImageList* images) {
    if (images == Images()) return;
    if (Images() != nullptr) Images()->UnRegisterChanges(imagesLink_.get());
    images_ = images;
    if (images_ != nullptr) images_->RegisterChanges(imagesLink_.get());
    Invalidate();
}

void TCoolBtn::SetInterval(unsigned interval) {
    timer_->SetInterval(interval);
}

void TCoolBtn::SetAnimated(bool animated) {
    if (!ChangeValue(animated_, animated)) return;
    timer_->SetEnabled(animated_);
    Invalidate();
}

void TCoolBtn::SetColorStart(ui::TColor color) {
    if (ChangeValue(colorStart_, color)) GradientChanged();
}

void TCoolBtn::SetColorEnd(ui::TColor color) {
    if (ChangeValue(colorEnd_, color)) GradientChanged();
}

void TCoolBtn::SetGradientDirection(TGradientDirection direction) {
    if (ChangeValue(gradientDirection_, direction)) GradientChanged();
}

void TCoolBtn::GradientChanged() {
    if (options_.Contains(ocPaintGradiently)) Invalidate();
}

void TCoolBtn::SurfaceChanged(TSkinChange change) {
    switch (change) {
        case TSkinChange::OwnWallpaper:
            RepaintWithChildren(*this);
            return;
        case TSkinChange::WallpaperGiven:
        case TSkinChange::WallpaperRegiven:
            // A copy told its change as the own wallpaper's.
            return;
        default:
            Invalidate();
    }
}

void TCoolBtn::SetBtnPaintOptions(TBtnPaintOptions options) {
    if (ChangeValue(btnPaintOptions_, options)) Invalidate();
}

}  // namespace skin
