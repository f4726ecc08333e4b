#include "skin/SkinPicture.h"

#include "skin/CoolUtils.h"

namespace skin {

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

TSkinPicture::TSkinPicture() {
    link_.OnChange = [this](TCoolImages*) {
        if (OnSetChanged) OnSetChanged();
    };
}

void TSkinPicture::SetCoolImages(TCoolImages* images) {
    if (TCoolImages* current = link_.Images()) current->UnRegisterChanges(&link_);
    if (images != nullptr) images->RegisterChanges(&link_);
    givenSet_ = images;
}

bool TSkinPicture::SetIdWallpaper(int id) {
    if (id == idWallpaper_) return false;
    idWallpaper_ = id;
    return true;
}

ui::TBitmap& TSkinPicture::Wallpaper() {
    if (!wallpaper_) {
        wallpaper_ = std::make_unique<ui::TBitmap>();
        wallpaper_->OnChange = [this] {
            if (OnWallpaperChanged) OnWallpaperChanged();
        };
    }
    return *wallpaper_;
}

ui::TBitmap* TSkinPicture::Picture() const {
    return ChooseSkinPicture(link_.Images(), idWallpaper_, wallpaper_.get());
}

bool TSkinPicture::Paint(HDC dc, const RECT& rect, bool stretch, DWORD rop) const {
    return PaintSkinWallpaper(dc, rect, stretch, rop, link_.Images(), idWallpaper_, wallpaper_.get());
}

bool TSkinPicture::Notification(const base::TComponent* component, bool removing) {
    if (!removing || component == nullptr || component != givenSet_) return false;
    givenSet_ = nullptr;
    return true;
}

}  // namespace skin
