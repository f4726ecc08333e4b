// The skinned edit fields: the single-line field with a skin behind its text, and the field with a
// push button at its right end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "skin/CoolControl.h"
#include "skin/SkinSurface.h"
#include "skin/SkinTypes.h"
#include "ui/Buttons.h"
#include "ui/Graphics.h"
#include "ui/StdCtrls.h"

namespace skin {

// The sound of a key a skinned field refuses. Tests put a counter in its place; nullptr restores the
// system's default beep. Answers the one it replaces.
using TBeep = void (*)();
TBeep SetEditBeep(TBeep beep);

// What every skinned edit field adds to its native edit control, whatever edit class it derives from:
// the background behind the text (the parent's, a skin bitmap or the field's colour) with the text
// drawn over it, the overpaint that makes the picture whole again after the native control's partial
// paints, the flat border that follows the focus and the mouse, the edge lines, and the Enter rule
// (Enter and Ctrl+Enter never reach the text, they beep).
//
// A field derives from its edit class and from this, passes every message to SkinMessage with its
// edit class's handling, its component notices to SkinNotification, adds ES_MULTILINE and
// AlignmentStyle() to its window style and runs Overpaint when its text changed.
//
// A grid's cell editor overpaints with its caret left shown and its flat border drawn hot in the image.
enum class TEditSkinKind { Field, CellEditor };

//
// Its skin picture registers again on a set given again.
class TEditSkin : public TSkinSurface, public TSkinTransparencyLevel {
public:
    TCoolOptions Options() const { return options_; }
    // Reads ocPaintWallpaper, ocStretchWallpaper, ocPaintTransparently and ocFlatBorder. The wallpaper and
    // the transparency exclude each other: the one newly added wins. A new set makes the window anew and
    // tells the field its colour changed.
    void SetOptions(TCoolOptions options);
    // Makes the window anew on a change.
    TAlignment TextAlign() const { return textAlign_; }
    void SetTextAlign(TAlignment align);

    // Lines along the window's edges in BorderPen, after BordersTrColor (unless clNone) under all four.
    TEdgeBorders EdgeBorders() const { return edgeBorders_; }
    void SetEdgeBorders(TEdgeBorders edges);
    ui::TPen& BorderPen() { return borderPen_; }
    void SetBorderPen(const ui::TPen& pen);
    ui::TColor BordersTrColor() const { return bordersTrColor_; }
    void SetBordersTrColor(ui::TColor color);

    // A skin picture or the parent's background shows behind the text.
    bool SkinInUse() const;

protected:
    explicit TEditSkin(ui::TCustomEdit& field, TEditSkinKind kind = TEditSkinKind::Field);
    ~TEditSkin() = default;
    TEditSkin(const TEditSkin&) = delete;
    TEditSkin& operator=(const TEditSkin&) = delete;

    // The field's messages; `inherited` is the handling of the field's edit class.
    void SkinMessage(ui::TMessage& message, const std::function<void(ui::TMessage&)>& inherited);
    void SurfaceChanged(TSkinChange change) override;
    // Paints the whole field off screen and copies its client area in, when a skin is in use.
    void Overpaint();
    DWORD AlignmentStyle() const;
    // The last key down was Enter with Ctrl, and no other modifier, held.
    bool CtrlEnter() const { return ctrlEnter_; }

private:
    bool PictureInUse() const;
    // The skin under the text; false when the field's own erase is to paint its colour.
    bool PaintSkinBackground(HDC dc);
    // The flat border and the edge lines, into the paint's DC (nullptr: the window's).
    void PaintFrame(HDC dc);
    void ShowFlatBorder(bool hot);

    ui::TCustomEdit& field_;
    TEditSkinKind kind_;
    TCoolOptions options_;
    TAlignment textAlign_ = taLeftJustify;
    TEdgeBorders edgeBorders_;
    ui::TPen borderPen_;
    ui::TColor bordersTrColor_ = ui::clNone;
    bool overpainting_ = false;
    bool ctrlEnter_ = false;
};

// The skinned single-line field: the native edit control made multi-line, so that its text can be
// aligned, with the skin behind it.
class TCoolEdit : public ui::TCustomEdit, public TCoolControl, public TEditSkin {
public:
    explicit TCoolEdit(base::TComponent* owner);

    // After the flat border has followed the mouse.
    ui::TNotifyEvent OnMouseEnter;
    ui::TNotifyEvent OnMouseLeave;

    void WndProc(ui::TMessage& message) override;
    void Notification(base::TComponent* component, bool removing) override;

protected:
    const char* ClassName() const override { return "TCoolEdit"; }
    void CreateParams(ui::TCreateParams& params) override;
    void Change() override;
    void MouseEnter() override;
    void MouseLeave() override;
};

// The skinned field with a speed button at its right end that fires OnBtnClick, as Ctrl+Enter in the
// field does. The button is square, as wide as the field was high when it was made; the field is never
// lower than its font needs with the button's frame, and its text stays clear of the button.
class TCoolEditBtn : public TCoolEdit {
public:
    explicit TCoolEditBtn(base::TComponent* owner);

    ui::TBitmap& Glyph() { return TheButton().Glyph(); }
    // Copies the bitmap into the button's glyph.
    void SetGlyph(const ui::TBitmap& bitmap) { TheButton().SetGlyph(bitmap); }
    // 1 to 4 images in the glyph.
    int NumGlyphs() const { return TheButton().NumGlyphs(); }
    void SetNumGlyphs(int count) { TheButton().SetNumGlyphs(count); }
    // The button inside the field; null once someone has freed it.
    ui::TSpeedButton* Button() const { return button_; }
    const std::string& BtnCaption() const { return TheButton().Caption(); }
    void SetBtnCaption(const std::string& caption) { TheButton().SetCaption(caption); }
    // The lowest the field may be: a line of its font, a quarter of the smaller of that line and the
    // system font's, and room for the frames.
    int MinHeight();

    ui::TNotifyEvent OnBtnClick;

    void WndProc(ui::TMessage& message) override;
    void Notification(base::TComponent* component, bool removing) override;

protected:
    const char* ClassName() const override { return "TCoolEditBtn"; }
    void CreateParams(ui::TCreateParams& params) override;
    void CreateHandleDone() override;
    void FontChanged() override;
    void EnabledChanged() override;

private:
    // Keeps the height at its minimum or places the button and the text rectangle.
    void Resized();
    void SetTextRect();
    // The button, or an error when it has been freed: the field lays itself out without it, but its
    // glyph and caption are gone with it.
    ui::TSpeedButton& TheButton() const;

    ui::TSpeedButton* button_;
};

}  // namespace skin
