// The skinned check/radio box: a window of its own that draws the system's check or radio mark (or a
// pair of glyphs), a shadowed caption beside it and an optional bevel, over its parent's background, a
// skin bitmap or its colour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "skin/CoolControl.h"
#include "skin/Glyph.h"
#include "skin/SkinSurface.h"
#include "skin/SkinTypes.h"
#include "ui/Controls.h"
#include "ui/ExtCtrls.h"
#include "ui/Graphics.h"

namespace skin {

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// Which side the caption takes: taRightJustify puts the mark at the left and the caption to its right,
// taLeftJustify the other way round. No other alignment is used.
using TLeftRight = ui::TAlignment;

// Its skin picture registers again on a set given again. Giving it an own wallpaper makes it opaque;
// its bevels' offset is kept with the other skinned controls' settings, as the box's painting has no
// inset to apply it to.
class TCoolCheckRadioBox : public ui::TCustomControl,
                           public TCoolControl,
                           public TSkinSurface,
                           public TSkinTransparency,
                           public TSkinTransparencyLevel,
                           public TSkinStretch,
                           public TSkinShadow,
                           public TSkinBevels {
public:
    explicit TCoolCheckRadioBox(base::TComponent* owner);
    ~TCoolCheckRadioBox() override;

    // The checked flag; setting it sets State to match, and fires no event.
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    // The state the mark shows; setting it leaves Checked as it is.
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState state);
    // A check box takes part in the tab order, a radio box does not until the focus or its group makes
    // it the one to reach.
    TCheckRadioType CheckRadioType() const { return checkRadioType_; }
    void SetCheckRadioType(TCheckRadioType type);
    // A click on a check box steps through three states instead of two.
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool allowGrayed) { allowGrayed_ = allowGrayed; }
    // Radio boxes of one parent with the same group index exclude each other.
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index) { groupIndex_ = index; }
    TLeftRight Alignment() const { return alignment_; }
    void SetAlignment(TLeftRight alignment);
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);

    // Glyphs in place of the system mark: the marked one for a checked box, the normal one otherwise.
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool ownerDraw);
    ui::TBitmap& GlyphMarked() { return glyphMarked_.Source(); }
    void SetGlyphMarked(const ui::TBitmap* bitmap);
    ui::TBitmap& GlyphNormal() { return glyphNormal_.Source(); }
    void SetGlyphNormal(const ui::TBitmap* bitmap);
    // Images side by side in each glyph strip: the first for the enabled box, the second for the disabled
    // one; counts above 2 are taken as 2.
    int NumGlyphsMarked() const { return glyphMarked_.ImageCount(); }
    void SetNumGlyphsMarked(int count);
    int NumGlyphsNormal() const { return glyphNormal_.ImageCount(); }
    void SetNumGlyphsNormal(int count);

    // Changes the state as a user's click does; true when State changed.
    virtual bool Toggle();
    // Repaints only the mark.
    virtual void InvalidateBox();

    // A check or radio button named by its caption, checked (or mixed, grayed) as its mark shows; the
    // reader's action is the user's click.
    long AccessibleRole(int child) const override;
    std::optional<std::string> AccessibleName(int child) const override;
    std::optional<std::string> AccessibleDefaultAction(int child) const override;
    std::optional<std::string> AccessibleShortcut(int child) const override;
    long AccessibleState(int child) const override;
    void DoAccessibleDefaultAction(int child) override { PostAccessibleAction(); }

    ui::TNotifyEvent OnMouseEnter;
    ui::TNotifyEvent OnMouseLeave;

    void Notification(base::TComponent* component, bool removing) override;
    void WndProc(ui::TMessage& message) override;

protected:
    const char* ClassName() const override { return "TCoolCheckRadioBox"; }
    void CreateParams(ui::TCreateParams& params) override;
    void EraseBackground(HDC dc) override;
    void Paint() override;
    // Only a click that changed the state is a click.
    void Click() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void SurfaceChanged(TSkinChange change) override;

private:
    // The mark's rectangle in client coordinates.
    RECT MarkRect();
    // The DrawFrameControl state of the system mark.
    UINT MarkState() const;
    // The caption's rectangle for the mark's, before any shadow offset.
    RECT CaptionRect(const RECT& mark);
    void PaintCaption(RECT& caption);
    void SetPressed(bool pressed);
    // Radio boxes of one parent and group: the newly focused one is selected and is the only tab stop.
    void FocusMoved(ui::TWinControl* focused);

    bool checked_ = false;
    TCheckBoxState state_ = cbUnchecked;
    TCheckRadioType checkRadioType_ = crCheckBox;
    bool allowGrayed_ = false;
    int groupIndex_ = 0;
    TLeftRight alignment_ = ui::taRightJustify;
    bool flat_ = false;
    bool ownerDraw_ = false;
    TGlyph glyphMarked_;
    TGlyph glyphNormal_;
    // Shown pushed while the mouse button or the Space key is held on the box.
    bool pressed_ = false;
};

}  // namespace skin
