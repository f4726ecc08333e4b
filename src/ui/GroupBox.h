// The group box: a windowed container framed by an etched line, with its caption set into the top edge.
#pragma once

#include "ui/Controls.h"

namespace ui {

class TCustomGroupBox : public TCustomControl {
public:
    explicit TCustomGroupBox(base::TComponent* owner);

    // An etched (3-D) frame, or one line in the window-frame colour.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool ctl3D);

    // A grouping named by its caption; its controls are its children.
    long AccessibleRole(int child) const override {
        return child == CHILDID_SELF ? ROLE_SYSTEM_GROUPING : TCustomControl::AccessibleRole(child);
    }
    std::optional<std::string> AccessibleName(int child) const override {
        if (child != CHILDID_SELF) return TCustomControl::AccessibleName(child);
        return TCustomControl::AccessibleName(child).value_or(CaptionName());
    }

protected:
    const char* ClassName() const override { return "TGroupBox"; }
    void Paint() override;
    // Draws the frame for a caption of the height: it runs through the middle of the caption's line.
    void PaintFrame(int captionHeight);
    // The caption's single-line DrawText flags.
    static constexpr UINT kCaptionFlags = DT_SINGLELINE;
    // The caption's rectangle, measured from 8 pixels in along the top edge.
    RECT CaptionRect(int captionHeight);

private:
    bool ctl3D_ = true;
};

class TGroupBox : public TCustomGroupBox {
public:
    using TCustomGroupBox::TCustomGroupBox;
};

}  // namespace ui
