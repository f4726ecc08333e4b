// The form hook: paints its window's background with a skin bitmap or a gradient, and can drop the
// caption, reshape the window, make it semi-transparent and change how it is dragged.
#pragma once

#include <windows.h>

#include "base/Classes.h"
#include "skin/SkinSurface.h"
#include "skin/SkinTypes.h"
#include "skin/WndHook.h"
#include "ui/Controls.h"
#include "ui/Graphics.h"

namespace skin {

// Paints its window's background with a skin bitmap or a gradient, and can drop the caption, reshape
// the window, make it semi-transparent and change how it is dragged. It hooks the window procedure of
// the window control that owns it once that window's layout has been loaded.
//
// Its skin surface refreshes on every setting: the set, the index or the own wallpaper given again
// still tells the window its colour changed and repaints it with its children, as it always has.
class TCoolFormHook : public base::TComponent, public TSkinSurface {
public:
    explicit TCoolFormHook(base::TComponent* owner);
    ~TCoolFormHook() override;

    TCoolOptions Options() const { return options_; }
    virtual void SetOptions(TCoolOptions options);
    ui::TColor StartColor() const { return startColor_; }
    void SetStartColor(ui::TColor color);
    ui::TColor EndColor() const { return endColor_; }
    void SetEndColor(ui::TColor color);
    TGradientDirection GradientDirection() const { return gradientDirection_; }
    void SetGradientDirection(TGradientDirection direction);
    // Insets of a rounded window's ellipse; made non-positive when the rounded region is made.
    int RoundXOffset() const { return roundXOffset_; }
    void SetRoundXOffset(int offset) { roundXOffset_ = offset; }
    int RoundYOffset() const { return roundYOffset_; }
    void SetRoundYOffset(int offset) { roundYOffset_ = offset; }
    TTransparencyIntense TransparencyIntense() const { return transparencyIntense_; }
    void SetTransparencyIntense(TTransparencyIntense intense);

    // The control whose window the hook paints.
    ui::TWinControl* HookedControl() const { return hookedControl_; }
    TWndHook& WndHook() { return *wndHook_; }

    // The window regions the hook gives its window, in window coordinates: the frame and the visible
    // children without the client background; and the ellipse inside the client size (a ring plus the
    // children when transparent is set).
    ui::RegionHandle TransparentRegion();
    ui::RegionHandle RoundedRegion(bool transparent);

    void Notification(base::TComponent* component, bool removing) override;

protected:
    void Loaded() override;
    void SurfaceChanged(TSkinChange change) override;

private:
    void BeforeMessage(ui::TMessage& message, bool& handled);
    void AfterMessage(ui::TMessage& message);
    void WallpaperChanged();
    // The gradient repaints when it is painted.
    void GradientChanged();
    // The colour-changed notification to the hooked window, which then repaints with its children.
    void SkinChanged();
    HWND HookedWindow() const;
    void ApplyRegion(ui::RegionHandle region);

    // Owned as a component of this hook, destroyed ahead of the other components.
    TWndHook* wndHook_ = nullptr;
    ui::TWinControl* hookedControl_ = nullptr;
    TCoolOptions options_;
    ui::TColor startColor_ = ui::clBlue;
    ui::TColor endColor_ = ui::clBlack;
    TGradientDirection gradientDirection_ = gdVertical;
    int roundXOffset_ = 0;
    int roundYOffset_ = 0;
    TTransparencyIntense transparencyIntense_ = 128;
};

}  // namespace skin
