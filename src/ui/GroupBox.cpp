#include "ui/GroupBox.h"

namespace ui {

TCustomGroupBox::TCustomGroupBox(base::TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 105);
    // The box shows on its parent's surface: it takes the parent's colour until it is given its own.
    SetParentColor(true);
}

void TCustomGroupBox::SetCtl3D(bool ctl3D) {
    if (ctl3D == ctl3D_) return;
    ctl3D_ = ctl3D;
    Invalidate();
}

void TCustomGroupBox::PaintFrame(int captionHeight) {
    TCanvas& canvas = Canvas();
    RECT frame{0, captionHeight / 2 - 1, Width(), Height()};
    if (ctl3D_) {
        // An etched line: a light frame one pixel right of and below a dark one.
        ++frame.left;
        ++frame.top;
        canvas.Brush().SetColor(clBtnHighlight);
        canvas.FrameRect(frame);
        OffsetRect(&frame, -1, -1);
        canvas.Brush().SetColor(clBtnShadow);
    } else {
        canvas.Brush().SetColor(clWindowFrame);
    }
    canvas.FrameRect(frame);
}

RECT TCustomGroupBox::CaptionRect(int captionHeight) {
    RECT caption{8, 0, 0, captionHeight};
    Canvas().DrawText(Caption(), caption, kCaptionFlags | DT_CALCRECT);
    return caption;
}

void TCustomGroupBox::Paint() {
    TCanvas& canvas = Canvas();
    const int height = canvas.TextHeight("0");
    PaintFrame(height);
    if (Caption().empty()) return;
    RECT caption = CaptionRect(height);
    // The caption's opaque ground hides the frame line behind it.
    canvas.Brush().SetColor(Color());
    canvas.DrawText(Caption(), caption, kCaptionFlags);
}

}  // namespace ui
