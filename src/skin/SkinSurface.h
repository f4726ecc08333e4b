// The skin surface of a skinned control: the properties that say what shows behind and around its
// content (the skin picture, the transparency, the stretching, the caption's shadow, the bevels), each
// stored by one rule: a setting equal to what is held changes nothing; a new value is stored, then the
// control is told which part changed and answers (repaints, tells its children, ...).
//
// The surface comes in parts, each a base class of the controls that have its properties, so that a
// control shows exactly the properties it has. Every part tells its control through the same virtual,
// SurfaceChanged, which the control overrides once for all the parts it holds.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/Classes.h"
#include "skin/CaptionShadow.h"
#include "skin/CoolImages.h"
#include "skin/SkinPicture.h"
#include "skin/SkinTypes.h"
#include "ui/Controls.h"
#include "ui/Graphics.h"

namespace skin {

// Stores the value unless it equals the one held; whether it stored it.
template <typename Value>
bool ChangeValue(Value& field, const Value& value) {
    if (value == field) return false;
    field = value;
    return true;
}

// The answer of a control whose background others show to a change of that background: it repaints and
// tells itself its colour changed, which hands the change on to its children.
void RepaintWithChildren(ui::TControl& control);

// What changed on a surface, told to its control after the new value is stored.
enum class TSkinChange {
    // The shared set was given, changed its bitmaps or went away, or the index of the bitmap used changed.
    Skin,
    // The own wallpaper's picture changed.
    OwnWallpaper,
    // SetWallpaper copied a bitmap into the own wallpaper (told after the OwnWallpaper that the copy is).
    WallpaperGiven,
    // SetWallpaper was handed the own wallpaper itself: no picture changed.
    WallpaperRegiven,
    Transparent,
    TransparencyLevel,
    Stretched,
    // The caption shadow's colour, size, side or simple view.
    Shadow,
    // The inner or the outer bevel.
    Bevel,
    BevelsOffset
};

// How a surface takes the shared set, or the index of its bitmap, given again.
enum class TSkinRepeat {
    // Nothing happens.
    Ignored,
    // The same set is registered again, which puts the control's link last among the set's links (it is
    // told of the set's changes after every control registered since), and the control hears Skin; the
    // index given again changes nothing.
    Reregisters,
    // Every setting of the set, the index or the own wallpaper is told as a change, repeated or not.
    Refreshes
};

// The skin picture part, which every skinned control and the form hook have: a shared set held through
// a change link, the index of its bitmap, and the own wallpaper painted when the set has no picture.
class TSkinSurface {
public:
    // The shared set; nullptr once the set has been destroyed, wherever it was owned.
    TCoolImages* CoolImages() const { return picture_.CoolImages(); }
    void SetCoolImages(TCoolImages* images);
    int IdWallpaper() const { return picture_.IdWallpaper(); }
    void SetIdWallpaper(int id);
    // The own skin bitmap, created on first use.
    ui::TBitmap& Wallpaper() { return picture_.Wallpaper(); }
    // Copies the bitmap into the own wallpaper.
    void SetWallpaper(const ui::TBitmap& bitmap);

    TSkinSurface(const TSkinSurface&) = delete;
    TSkinSurface& operator=(const TSkinSurface&) = delete;

protected:
    explicit TSkinSurface(TSkinRepeat repeat);
    ~TSkinSurface();

    virtual void SurfaceChanged(TSkinChange change) = 0;
    // The control passes its component notices on: the set's removal is a change of the skin.
    void SkinNotification(const base::TComponent* component, bool removing);

    // The bitmap painted: the set's item, else the own wallpaper; nullptr when neither has a picture.
    ui::TBitmap* SkinBitmap() const { return picture_.Picture(); }
    // Tiles (or stretches) the skin bitmap over the rectangle; false when there is none.
    bool PaintSkin(HDC dc, const RECT& rect, bool stretch) const { return picture_.Paint(dc, rect, stretch, SRCCOPY); }

private:
    TSkinPicture picture_;
    TSkinRepeat repeat_;
};

// Shows what the parent shows beneath the control instead of a background of its own.
class TSkinTransparency {
public:
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent) {
        if (ChangeValue(transparent_, transparent)) SurfaceChanged(TSkinChange::Transparent);
    }

protected:
    TSkinTransparency() = default;
    ~TSkinTransparency() = default;
    virtual void SurfaceChanged(TSkinChange change) = 0;

private:
    bool transparent_ = false;
};

// How many parents up the background shows through: the TransparencyLevel-th ancestor's parent's.
class TSkinTransparencyLevel {
public:
    uint8_t TransparencyLevel() const { return transparencyLevel_; }
    void SetTransparencyLevel(uint8_t level) {
        if (ChangeValue(transparencyLevel_, level)) SurfaceChanged(TSkinChange::TransparencyLevel);
    }

protected:
    TSkinTransparencyLevel() = default;
    ~TSkinTransparencyLevel() = default;
    virtual void SurfaceChanged(TSkinChange change) = 0;

private:
    uint8_t transparencyLevel_ = 0;
};

// The skin bitmap stretched over the control instead of tiled.
class TSkinStretch {
public:
    bool Stretched() const { return stretched_; }
    void SetStretched(bool stretched) {
        if (ChangeValue(stretched_, stretched)) SurfaceChanged(TSkinChange::Stretched);
    }

protected:
    TSkinStretch() = default;
    ~TSkinStretch() = default;
    virtual void SurfaceChanged(TSkinChange change) = 0;

private:
    bool stretched_ = false;
};

// The shadow copy of the caption.
class TSkinShadow {
public:
    ui::TColor ShadowColor() const { return shadow_.Color(); }
    void SetShadowColor(ui::TColor color) { Told(shadow_.SetColor(color)); }
    uint8_t ShadowSize() const { return shadow_.Size(); }
    void SetShadowSize(uint8_t size) { Told(shadow_.SetSize(size)); }
    TShadowPosition ShadowPos() const { return shadow_.Position(); }
    void SetShadowPos(TShadowPosition position) { Told(shadow_.SetPosition(position)); }
    // The caption drawn once, without its shadow copy; a new shadow colour, size or position clears it.
    bool SimpleView() const { return shadow_.SimpleView(); }
    void SetSimpleView(bool simpleView) { Told(shadow_.SetSimpleView(simpleView)); }

protected:
    TSkinShadow() = default;
    ~TSkinShadow() = default;
    virtual void SurfaceChanged(TSkinChange change) = 0;
    const TCaptionShadow& Shadow() const { return shadow_; }

private:
    void Told(bool changed) {
        if (changed) SurfaceChanged(TSkinChange::Shadow);
    }

    TCaptionShadow shadow_;
};

// The bevels drawn round the control's content, and the content's inset from them.
class TSkinBevels {
public:
    ui::TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(ui::TBevelCut bevel) {
        if (ChangeValue(bevelInner_, bevel)) SurfaceChanged(TSkinChange::Bevel);
    }
    ui::TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(ui::TBevelCut bevel) {
        if (ChangeValue(bevelOuter_, bevel)) SurfaceChanged(TSkinChange::Bevel);
    }
    int BevelsOffset() const { return bevelsOffset_; }
    void SetBevelsOffset(int offset) {
        if (ChangeValue(bevelsOffset_, offset)) SurfaceChanged(TSkinChange::BevelsOffset);
    }

protected:
    TSkinBevels() = default;
    ~TSkinBevels() = default;
    virtual void SurfaceChanged(TSkinChange change) = 0;

private:
    ui::TBevelCut bevelInner_ = ui::bvNone;
    ui::TBevelCut bevelOuter_ = ui::bvNone;
    int bevelsOffset_ = 0;
};

}  // namespace skin
