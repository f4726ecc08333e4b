// The speed button: a push button that shows a glyph and never takes the focus.
#pragma once

#include <windows.h>

#include "ui/Controls.h"
#include "ui/Graphics.h"

namespace ui {

// A push button with a glyph (and an optional caption) that leaves the focus where it is. It looks
// pressed while the left button is held on it and clicks when the button is released over it; the mouse
// stays with it until then, wherever the pointer goes.
//
// The glyph is a strip of up to four images of equal width: up, disabled, pressed and down. An image
// the strip lacks is shown as the up image; a disabled button without its own image shows the up image
// engraved. The glyph's bottom-left pixel gives the colour that lets the face show through.
class TSpeedButton : public TCustomControl {
public:
    explicit TSpeedButton(base::TComponent* owner);

    TBitmap& Glyph() { return glyph_; }
    // Copies the bitmap into the glyph.
    void SetGlyph(const TBitmap& bitmap);
    int NumGlyphs() const { return numGlyphs_; }
    // 1 to 4; other counts are ignored.
    void SetNumGlyphs(int count);
    bool Pressed() const { return pressed_; }

    // A push button named by its caption, or by the purpose SetAccessibleName gives a glyph alone; the
    // reader's "Press" clicks it once the reader's call returned (the click may open a modal window).
    long AccessibleRole(int child) const override { return ROLE_SYSTEM_PUSHBUTTON; }
    std::optional<std::string> AccessibleName(int child) const override {
        return TCustomControl::AccessibleName(child).value_or(CaptionName());
    }
    std::optional<std::string> AccessibleDefaultAction(int child) const override { return std::string("Press"); }
    long AccessibleState(int child) const override { return pressed_ ? STATE_SYSTEM_PRESSED : 0; }
    void DoAccessibleDefaultAction(int child) override { PostAccessibleAction(); }

    void WndProc(TMessage& message) override;

protected:
    const char* ClassName() const override { return "TSpeedButton"; }
    void CreateParams(TCreateParams& params) override;
    void Paint() override;

private:
    void SetPressed(bool pressed);
    // Draws image `index` of the strip with its top-left corner at (x, y).
    void DrawImage(int index, int x, int y);
    void DrawEngravedImage(int x, int y);

    TBitmap glyph_;
    int numGlyphs_ = 1;
    bool pressed_ = false;
};

}  // namespace ui
