#include "skin/CoolPanel.h"

namespace skin {

TCoolPanel::TCoolPanel(ui::TComponent* owner)
    : ui::TCustomPanel(owner), changeLink_(std::make_unique<TCoolChangeLink>()) {
    changeLink_->OnChange = [this](TCoolImages*) { BackgroundChanged(); };
}

TCoolPanel::~TCoolPanel() {
    if (wallpaper_) wallpaper_->OnChange = nullptr;
}

void TCoolPanel::BackgroundChanged() {
    // Transparent windowed children copy this panel's background, so they repaint with it.
    if (HandleAllocated() && !Destroying())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

ui::TBitmap& TCoolPanel::Wallpaper() {
    if (!wallpaper_) {
        wallpaper_ = std::make_unique<ui::TBitmap>();
        wallpaper_->OnChange = [this] { BackgroundChanged(); };
    }
    return *wallpaper_;
}

void TCoolPanel::SetWallpaper(const ui::TBitmap& bitmap) {
    Wallpaper().Assign(bitmap);
    SetTransparent(false);
}

void TCoolPanel::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    Repaint();
}

void TCoolPanel::SetTransparencyLevel(uint8_t level) {
    if (level == transparencyLevel_) return;
    transparencyLevel_ = level;
    BackgroundChanged();
}

void TCoolPanel::SetStretched(bool stretched) {
    if (stretched == stretched_) return;
    stretched_ = stretched;
    BackgroundChanged();
}

void TCoolPanel::SetCoolImages(TCoolImages* images) {
    TCoolImages* current = changeLink_->Images();
    if (images == current) return;
    if (current != nullptr) current->UnRegisterChanges(changeLink_.get());
    if (images != nullptr) images->RegisterChanges(changeLink_.get());
    notifiedImages_ = images;
    BackgroundChanged();
}

void TCoolPanel::SetIdWallpaper(int id) {
    if (id == idWallpaper_) return;
    idWallpaper_ = id;
    BackgroundChanged();
}

void TCoolPanel::Notification(ui::TComponent* component, bool removing) {
    ui::TCustomPanel::Notification(component, removing);
    // The set has already let go of the change link, through which the panel reaches it.
    if (removing && component == notifiedImages_) {
        notifiedImages_ = nullptr;
        BackgroundChanged();
    }
}

void TCoolPanel::WndProc(ui::TMessage& message) {
    switch (message.Msg) {
        case WM_WINDOWPOSCHANGING:
            // A moved transparent panel must show the background at its new place: the window manager's
            // copy of the old pixels would keep the tiles of the old one.
            if (transparent_) reinterpret_cast<WINDOWPOS*>(message.LParam)->flags |= SWP_NOCOPYBITS;
            ui::TCustomPanel::WndProc(message);
            return;
        case ui::CM_PARENTCOLORCHANGED:
            ui::TCustomPanel::WndProc(message);
            if (transparent_) BackgroundChanged();
            return;
        default:
            ui::TCustomPanel::WndProc(message);
    }
}

void TCoolPanel::EraseBackground(HDC dc) {
    if (transparent_) {
        PaintParentBackground(GetAncestorControl(this, transparencyLevel_), dc);
        return;
    }
    if (PaintSkinWallpaper(dc, ClientRect(), stretched_, SRCCOPY, CoolImages(), idWallpaper_, wallpaper_.get())) return;
    ui::TCustomPanel::EraseBackground(dc);
}

void TCoolPanel::Paint() {
    ui::TCanvas& canvas = Canvas();
    RECT rect = ClientRect();
    if (transparent_) {
        PaintParentBackground(GetAncestorControl(this, transparencyLevel_), canvas.Handle());
    } else if (!PaintSkinWallpaper(canvas.Handle(), rect, stretched_, SRCCOPY, CoolImages(), idWallpaper_,
                                   wallpaper_.get())) {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(rect);
        canvas.Brush().SetStyle(ui::TBrushStyle::Clear);
    }
    PaintFrameAndCaption(rect);
}

}  // namespace skin
