// The skinned panel: a windowed container whose background is its parent's (transparent), a skin
// bitmap or its colour, with the panel's bevels, border and caption drawn over it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "skin/CoolControl.h"
#include "skin/SkinSurface.h"
#include "ui/ExtCtrls.h"
#include "ui/Graphics.h"

namespace skin {

//
// Giving the panel an own wallpaper makes it opaque (also when it is handed its own wallpaper again); a
// change of its transparency repaints it at once. Its skin picture ignores a set given again; any other
// change of what it shows behind its children repaints them with it.
class TCoolPanel : public ui::TCustomPanel,
                   public TCoolControl,
                   public TSkinSurface,
                   public TSkinTransparency,
                   public TSkinTransparencyLevel,
                   public TSkinStretch {
public:
    explicit TCoolPanel(base::TComponent* owner);

    void Notification(base::TComponent* component, bool removing) override;
    void WndProc(ui::TMessage& message) override;

protected:
    const char* ClassName() const override { return "TCoolPanel"; }
    void EraseBackground(HDC dc) override;
    void Paint() override;
    void SurfaceChanged(TSkinChange change) override;

private:
    // What the panel shows behind its children changed: the panel and its windowed children repaint.
    void BackgroundChanged();
};

}  // namespace skin
