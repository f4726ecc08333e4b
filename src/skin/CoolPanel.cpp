#include "skin/CoolPanel.h"

#include "skin/CoolUtils.h"

namespace skin {

TCoolPanel::TCoolPanel(base::TComponent* owner) : ui::TCustomPanel(owner), TSkinSurface(TSkinRepeat::Ignored) {}

void TCoolPanel::BackgroundChanged() {
    // Transparent windowed children copy this panel's background, so they repaint with it.
    if (HandleAllocated() && !Destroying()) ui::RedrawShown(Handle(), RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TCoolPanel::SurfaceChanged(TSkinChange change) {
    switch (change) {
        case TSkinChange::Transparent:
            Repaint();
            return;
        case TSkinChange::WallpaperGiven:
        case TSkinChange::WallpaperRegiven:
            SetTransparent(false);
            return;
        default:
            BackgroundChanged();
    }
}

void TCoolPanel::Notification(base::TComponent* component, bool removing) {
    ui::TCustomPanel::Notification(component, removing);
    SkinNotification(component, removing);
}

void TCoolPanel::WndProc(ui::TMessage& message) {
    switch (message.Msg) {
        case WM_WINDOWPOSCHANGING:
            // A moved transparent panel must show the background at its new place: the window manager's
            // copy of the old pixels would keep the tiles of the old one.
            if (Transparent()) reinterpret_cast<WINDOWPOS*>(message.LParam)->flags |= SWP_NOCOPYBITS;
            ui::TCustomPanel::WndProc(message);
            return;
        case ui::CM_PARENTCOLORCHANGED:
            ui::TCustomPanel::WndProc(message);
            if (Transparent()) BackgroundChanged();
            return;
        default:
            ui::TCustomPanel::WndProc(message);
    }
}

void TCoolPanel::EraseBackground(HDC dc) {
    if (Transparent()) {
        PaintParentBackground(GetAncestorControl(this, TransparencyLevel()), dc);
        return;
    }
    if (PaintSkin(dc, ClientRect(), Stretched())) return;
    ui::TCustomPanel::EraseBackground(dc);
}

void TCoolPanel::Paint() {
    ui::TCanvas& canvas = Canvas();
    RECT rect = ClientRect();
    if (Transparent()) {
        PaintParentBackground(GetAncestorControl(this, TransparencyLevel()), canvas.Handle());
    } else if (!PaintSkin(canvas.Handle(), rect, Stretched())) {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(rect);
        canvas.Brush().SetStyle(ui::TBrushStyle::Clear);
    }
    PaintFrameAndCaption(rect);
}

}  // namespace skin
