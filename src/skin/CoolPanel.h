// The skinned panel: a windowed container whose background is its parent's (transparent), a skin
// bitmap or its colour, with the panel's bevels, border and caption drawn over it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "skin/CoolCtrls.h"
#include "skin/CoolUtils.h"
#include "ui/ExtCtrls.h"
#include "ui/Graphics.h"

namespace skin {

class TCoolPanel : public ui::TCustomPanel {
public:
    explicit TCoolPanel(ui::TComponent* owner);
    ~TCoolPanel() override;

    // The panel's own skin bitmap, created on first use. Giving the panel one makes it opaque.
    ui::TBitmap& Wallpaper() { return skin_.Wallpaper(); }
    void SetWallpaper(const ui::TBitmap& bitmap);
    // Shows the parent's background (the TransparencyLevel-th ancestor's) instead of its own; a change
    // repaints at once.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    uint8_t TransparencyLevel() const { return transparencyLevel_; }
    void SetTransparencyLevel(uint8_t level);
    // The skin bitmap stretched over the panel instead of tiled.
    bool Stretched() const { return stretched_; }
    void SetStretched(bool stretched);

    // The shared skin set and the index of the bitmap in it; the reference is cleared when the set goes.
    TCoolImages* CoolImages() const { return skin_.CoolImages(); }
    void SetCoolImages(TCoolImages* images);
    int IdWallpaper() const { return skin_.IdWallpaper(); }
    void SetIdWallpaper(int id);

    void Notification(ui::TComponent* component, bool removing) override;
    void WndProc(ui::TMessage& message) override;

protected:
    const char* ClassName() const override { return "TCoolPanel"; }
    void EraseBackground(HDC dc) override;
    void Paint() override;

private:
    // What the panel shows behind its children changed: the panel and its windowed children repaint.
    void BackgroundChanged();

    TSkinPicture skin_;
    bool transparent_ = false;
    uint8_t transparencyLevel_ = 0;
    bool stretched_ = false;
};

}  // namespace skin
