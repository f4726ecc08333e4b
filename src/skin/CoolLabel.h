// The skinned label: a caption painted on its parent's surface with a shadow copy, over a skin bitmap,
// its own colour or (transparent) whatever the parent shows, with optional bevels, glyph and edge lines.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "skin/CoolCtrls.h"
#include "skin/CoolUtils.h"
#include "ui/Graphics.h"
#include "ui/StdCtrls.h"

namespace skin {

class TCoolLabel : public ui::TCustomLabel {
public:
    explicit TCoolLabel(ui::TComponent* owner);
    ~TCoolLabel() override;

    ui::TColor ShadowColor() const { return shadow_.Color(); }
    void SetShadowColor(ui::TColor color);
    uint8_t ShadowSize() const { return shadow_.Size(); }
    void SetShadowSize(uint8_t size);
    TShadowPosition ShadowPos() const { return shadow_.Position(); }
    void SetShadowPos(TShadowPosition position);
    // The caption drawn once, without its shadow copy.
    bool SimpleView() const { return shadow_.SimpleView(); }
    void SetSimpleView(bool simpleView);
    // The skin bitmap stretched over the label instead of tiled.
    bool Stretched() const { return stretched_; }
    void SetStretched(bool stretched);

    // The label's own skin bitmap, created on first use; painted when the skin set has none.
    ui::TBitmap& Wallpaper() { return skin_.Wallpaper(); }
    void SetWallpaper(const ui::TBitmap& bitmap);

    ui::TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(ui::TBevelCut bevel);
    ui::TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(ui::TBevelCut bevel);
    // Inset of the caption from the bevels; a label with an inset keeps the size it is given, so a
    // non-zero value turns AutoSize off.
    int BevelsOffset() const { return bevelsOffset_; }
    void SetBevelsOffset(int offset);

    // The picture before the caption: its source strip, and the number of images in it (at most 2 are
    // used: enabled and disabled).
    ui::TBitmap& Glyph() { return glyph_.Source(); }
    void SetGlyph(const ui::TBitmap* bitmap);
    int NumGlyphs() const { return glyph_.ImageCount(); }
    void SetNumGlyphs(int count);

    // The shared skin set and the index of the bitmap in it; the reference is cleared when the set goes.
    TCoolImages* CoolImages() const { return skin_.CoolImages(); }
    void SetCoolImages(TCoolImages* images);
    int IdWallpaper() const { return skin_.IdWallpaper(); }
    void SetIdWallpaper(int id);

    TEdgeBorders EdgeBorders() const { return edgeBorders_; }
    void SetEdgeBorders(TEdgeBorders edges);
    const ui::TPen& BorderPen() const { return borderPen_; }
    // Copies the pen.
    void SetBorderPen(const ui::TPen& pen);

protected:
    // Sizes the label to its caption and glyph, keeping the right edge of a right-aligned label. Does
    // nothing while the label is loaded, without AutoSize or without a parent.
    virtual void FitToCaption();
    void Paint() override;
    void Notification(ui::TComponent* component, bool removing) override;
    // Every place the label base re-measures (loading, AutoSize, caption, font, wrapping) fits the
    // skinned label to its caption.
    void AdjustBounds() override { FitToCaption(); }
    // Draws the caption into the rectangle or, with DT_CALCRECT in the flags, measures it there. The
    // rectangle follows the caption as DrawShadowedText moves it.
    virtual void DrawCaptionText(RECT& rect, UINT flags);

private:
    TCaptionShadow shadow_;
    bool stretched_ = false;
    TSkinPicture skin_;
    ui::TBevelCut bevelInner_ = ui::bvNone;
    ui::TBevelCut bevelOuter_ = ui::bvNone;
    int bevelsOffset_ = 0;
    TGlyph glyph_;
    TEdgeBorders edgeBorders_;
    ui::TPen borderPen_;
};

}  // namespace skin
