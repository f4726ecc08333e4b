// The skin picture behind a control or a form hook's window: an item of a shared skin set, else the
// owner's own wallpaper.
#pragma once

#include <windows.h>

#include <memory>

#include "base/Classes.h"
#include "skin/CoolImages.h"
#include "ui/Graphics.h"

namespace skin {

// The skin bitmap of a control: the set's item idWallpaper when there is such an item with a picture,
// else the own wallpaper when it has one; nullptr when neither has a picture.
ui::TBitmap* ChooseSkinPicture(TCoolImages* images, int idWallpaper, ui::TBitmap* wallpaper);
// Paints the chosen skin bitmap over the rectangle; false when there was nothing to paint.
bool PaintSkinWallpaper(HDC dc, const RECT& rect, bool stretch, DWORD rop, TCoolImages* images, int idWallpaper,
                        ui::TBitmap* wallpaper);

// The skin picture behind a control or a form hook's window, held the same way by all of them:
// Item idWallpaper of a shared skin set when the set has such an item with a picture, else the owner's
// own wallpaper. The set is reached through the picture's change link only, so a set destroyed before
// its users is simply gone: nothing keeps a pointer to it. Setters store; what a change means (invalidate,
// tell the children) is the owner's to decide, through the events and the setters' answers.
class TSkinPicture {
public:
    TSkinPicture();
    TSkinPicture(const TSkinPicture&) = delete;
    TSkinPicture& operator=(const TSkinPicture&) = delete;

    // The shared set; nullptr once it has been destroyed.
    TCoolImages* CoolImages() const { return link_.Images(); }
    // Moves the change link from the set held to the new one (also when it is the same set).
    void SetCoolImages(TCoolImages* images);
    int IdWallpaper() const { return idWallpaper_; }
    // False when the index is the one held.
    bool SetIdWallpaper(int id);

    // The owner's own wallpaper, made on first use.
    ui::TBitmap& Wallpaper();
    // The own wallpaper when it has been made, else nullptr.
    ui::TBitmap* OwnWallpaper() const { return wallpaper_.get(); }

    // The bitmap painted: the set's item, else the own wallpaper; nullptr when neither has a picture.
    ui::TBitmap* Picture() const;
    // Tiles (or stretches) the picture over the rectangle; false when there is none.
    bool Paint(HDC dc, const RECT& rect, bool stretch, DWORD rop) const;

    // The owner passes its component notices on: true when the set it holds went away.
    bool Notification(const base::TComponent* component, bool removing);

    // The set announced a change of its bitmaps.
    ui::TNotifyEvent OnSetChanged;
    // The own wallpaper's picture changed.
    ui::TNotifyEvent OnWallpaperChanged;

private:
    TCoolChangeLink link_;
    // The set as last given, only to recognise its removal among the owner's notices.
    const base::TComponent* givenSet_ = nullptr;
    int idWallpaper_ = -1;
    std::unique_ptr<ui::TBitmap> wallpaper_;
};

}  // namespace skin
