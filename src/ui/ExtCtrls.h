// The panel (a windowed container with bevels) and the image (a bitmap on the parent's surface).
#pragma once

#include "ui/Controls.h"

namespace ui {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(base::TComponent* owner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut bevel);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut bevel);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);

    // A pane: the controls on it are its children.
    long AccessibleRole(int child) const override {
        return child == CHILDID_SELF ? ROLE_SYSTEM_PANE : TCustomControl::AccessibleRole(child);
    }

protected:
    const char* ClassName() const override { return "TPanel"; }
    void Paint() override;
    // Draws the bevels, the border and the caption over whatever background is already there.
    void PaintFrameAndCaption(RECT& rect);

private:
    TAlignment alignment_ = taCenter;
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;
};

// Draws a 3-D frame of a width inside the rectangle and shrinks the rectangle by it.
void Frame3D(HDC dc, RECT& rect, TColor topLeft, TColor bottomRight, int width);

class TImage : public TGraphicControl {
public:
    explicit TImage(base::TComponent* owner);

    TBitmap& Picture() { return picture_; }
    bool Center() const { return center_; }
    void SetCenter(bool center);

protected:
    void Paint() override;

private:
    TBitmap picture_;
    bool center_ = false;
};

}  // namespace ui
