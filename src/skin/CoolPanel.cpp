#include "skin/CoolPanel.h"

namespace skin {

TCoolPanel::TCoolPanel(ui::TComponent* owner) : ui::TCustomPanel(owner) {
    skin_.OnSetChanged = [this] { BackgroundChanged(); };
    skin_.OnWallpaperChanged = [this] { BackgroundChanged(); };
}

TCoolPanel::~TCoolPanel() {
    skin_.OnSetChanged = nullptr;
    skin_.OnWallpaperChanged = nullptr;
}

void TCoolPanel::BackgroundChanged() {
    // Transparent windowed children copy this panel's background, so they repaint with it.
    if (HandleAllocated() && !Destroying())
        ui::RedrawShown(Handle(), RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
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
    if (images == skin_.CoolImages()) return;
    skin_.SetCoolImages(images);
    BackgroundChanged();
}

void TCoolPanel::SetIdWallpaper(int id) {
    if (skin_.SetIdWallpaper(id)) BackgroundChanged();
}

void TCoolPanel::Notification(ui::TComponent* component, bool removing) {
    ui::TCustomPanel::Notification(component, removing);
    if (skin_.Notification(component, removing)) BackgroundChanged();
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
    if (skin_.Paint(dc, ClientRect(), stretched_, SRCCOPY)) return;
    ui::TCustomPanel::EraseBackground(dc);
}

void TCoolPanel::Paint() {
    ui::TCanvas& canvas = Canvas();
    RECT rect = ClientRect();
    if (transparent_) {
        PaintParentBackground(GetAncestorControl(this, transparencyLevel_), canvas.Handle());
    } else if (!skin_.Paint(canvas.Handle(), rect, stretched_, SRCCOPY)) {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(rect);
        canvas.Brush().SetStyle(ui::TBrushStyle::Clear);
    }
    PaintFrameAndCaption(rect);
}

}  // namespace skin
