#include "skin/SkinSurface.h"

namespace skin {

void RepaintWithChildren(ui::TControl& control) {
    control.Invalidate();
    ui::Notify(&control, ui::CM_COLORCHANGED);
}

TSkinSurface::TSkinSurface(TSkinRepeat repeat) : repeat_(repeat) {
    picture_.OnSetChanged = [this] { SurfaceChanged(TSkinChange::Skin); };
    picture_.OnWallpaperChanged = [this] { SurfaceChanged(TSkinChange::OwnWallpaper); };
}

// The control is gone by now: nothing the picture does while it goes may reach it.
TSkinSurface::~TSkinSurface() {
    picture_.OnSetChanged = nullptr;
    picture_.OnWallpaperChanged = nullptr;
}

void TSkinSurface::SetCoolImages(TCoolImages* images) {
    if (images == picture_.CoolImages() && repeat_ == TSkinRepeat::Ignored) return;
    picture_.SetCoolImages(images);
    SurfaceChanged(TSkinChange::Skin);
}

void TSkinSurface::SetIdWallpaper(int id) {
    if (picture_.SetIdWallpaper(id) || repeat_ == TSkinRepeat::Refreshes) SurfaceChanged(TSkinChange::Skin);
}

void TSkinSurface::SetWallpaper(const ui::TBitmap& bitmap) {
    const bool regiven = &bitmap == picture_.OwnWallpaper();
    Wallpaper().Assign(bitmap);
    SurfaceChanged(regiven ? TSkinChange::WallpaperRegiven : TSkinChange::WallpaperGiven);
}

void TSkinSurface::SkinNotification(const base::TComponent* component, bool removing) {
    if (picture_.Notification(component, removing)) SurfaceChanged(TSkinChange::Skin);
}

}  // namespace skin
