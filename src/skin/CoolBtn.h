// The skinned push button: a native button made owner-drawn, which paints its own background, frame,
// glyph and shadowed caption, and can animate its glyph from an image list.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "skin/CoolControl.h"
#include "skin/Glyph.h"
#include "skin/SkinSurface.h"
#include "skin/SkinTypes.h"
#include "ui/Controls.h"
#include "ui/Graphics.h"
#include "ui/ImgList.h"
#include "ui/StdCtrls.h"
#include "ui/Timer.h"

namespace skin {

// Called after every paint of a button, while its canvas is still bound to the paint's DC.
using TDrawButtonEvent = std::function<void(ui::TControl* sender, ui::TCanvas& canvas, const RECT& rect)>;

// The platform keeps handling focus, keys, clicks and the default and cancel buttons; the button paints
// everything itself: a background (the parent's, a skin bitmap, a gradient or its colour), a raised
// rectangular or elliptic frame that may show only while the mouse is over it, the glyph beside its
// shadowed caption, a frame while it is the active default and a focus mark while it has the focus.
//
// Its skin picture ignores a set given again.
class TCoolBtn : public ui::TButton,
                 public TCoolControl,
                 public TSkinSurface,
                 public TSkinTransparencyLevel,
                 public TSkinShadow {
public:
    explicit TCoolBtn(base::TComponent* owner);
    ~TCoolBtn() override;

    // The glyph's source strip; SetGlyph copies a bitmap into it (nullptr empties it).
    ui::TBitmap& Glyph() { return glyph_->Source(); }
    void SetGlyph(const ui::TBitmap* bitmap);
    int NumGlyphs() const { return glyph_->ImageCount(); }
    // At most two images of a strip are shown: larger counts become 2, counts below 1 are ignored.
    void SetNumGlyphs(int count);

    TCoolOptions Options() const { return options_; }
    // A new set of options makes the window anew and tells the button its colour changed.
    void SetOptions(TCoolOptions options);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    // Pixels between glyph and caption; -1 chooses.
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    // Pixels from the edge to the glyph; -1 centres glyph and caption as one group, lower values are ignored.
    int Margin() const { return margin_; }
    void SetMargin(int margin);

    // The animation's frames; nullptr once the list has been destroyed.
    ui::TCustomImageList* Images() const { return imagesLink_->Sender(); }
    void SetImages(ui::TCustomImageList* images);
    unsigned Interval() const { return timer_->Interval(); }
    void SetInterval(unsigned interval);
    bool Animated() const { return animated_; }
    void SetAnimated(bool animated);
    // The frame the next animation step shows.
    int FrameIndex() const { return frameIndex_; }

    ui::TColor ColorStart() const { return colorStart_; }
    void SetColorStart(ui::TColor color);
    ui::TColor ColorEnd() const { return colorEnd_; }
    void SetColorEnd(ui::TColor color);
    TGradientDirection GradientDirection() const { return gradientDirection_; }
    void SetGradientDirection(TGradientDirection direction);

    TBtnPaintOptions BtnPaintOptions() const { return btnPaintOptions_; }
    void SetBtnPaintOptions(TBtnPaintOptions options);

    // Whether Enter would press this button now: its default frame shows.
    bool DefaultActive() const { return defaultActive_; }

    TDrawButtonEvent OnDrawButton;
    ui::TNotifyEvent OnMouseEnter;
    ui::TNotifyEvent OnMouseLeave;

    void Notification(base::TComponent* component, bool removing) override;
    void WndProc(ui::TMessage& message) override;

protected:
    const char* ClassName() const override { return "TCoolBtn"; }
    void CreateParams(ui::TCreateParams& params) override;
    // Keeps the owner-drawn style: the default frame is painted, not a native style.
    void SetDefaultStyle(bool active) override;
    void EraseBackground(HDC dc) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void SurfaceChanged(TSkinChange change) override;

private:
    // The whole button into a DC whose origin is the button's client origin, for the owner-draw item state.
    void PaintButton(HDC dc, UINT itemState);
    void PaintRectangular(HDC dc, bool pressed, bool focused);
    void PaintElliptic(HDC dc, bool pressed, bool focused);
    void PaintGlyphAndCaption(bool pressed);
    // The current animation frame as a one-image glyph; nullptr without such a frame.
    std::unique_ptr<TGlyph> FrameGlyph() const;
    // The state the platform would hand an owner-draw paint now.
    UINT CurrentItemState();
    // The frame shows unless it is flat and the mouse is elsewhere.
    bool FrameShown() const;
    bool PaintWallpaper(HDC dc, const RECT& rect);
    void AnimationTick();
    // The gradient repaints when it is painted.
    void GradientChanged();

    bool defaultActive_ = false;
    std::unique_ptr<ui::TCanvas> canvas_;
    std::unique_ptr<TGlyph> glyph_;
    TCoolOptions options_;
    TButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
    int margin_ = -1;
    std::unique_ptr<ui::TChangeLink> imagesLink_;
    // The image list the link was registered with, to recognise it when it goes.
    ui::TCustomImageList* images_ = nullptr;
    bool animated_ = false;
    int frameIndex_ = 0;
    std::unique_ptr<ui::TTimer> timer_;
    ui::TColor colorStart_ = ui::clBtnFace;
    ui::TColor colorEnd_ = ui::clBtnShadow;
    TGradientDirection gradientDirection_ = gdHorizontal;
    TBtnPaintOptions btnPaintOptions_{bpoDrawFocus, bpoDrawDefault};
};

}  // namespace skin
