// The skinned label: a caption painted on its parent's surface with a shadow copy, over a skin bitmap,
// its own colour or (transparent) whatever the parent shows, with optional bevels, glyph and edge lines.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "skin/CoolControl.h"
#include "skin/Glyph.h"
#include "skin/SkinSurface.h"
#include "skin/SkinTypes.h"
#include "ui/Graphics.h"
#include "ui/StdCtrls.h"

namespace skin {

//
// Its transparency is the label's own (Transparent of the label base). Its skin picture ignores a set
// given again. A non-zero bevels' offset (the caption's inset from the bevels) turns AutoSize off: a
// label with an inset keeps the size it is given.
class TCoolLabel : public ui::TCustomLabel,
                   public TCoolControl,
                   public TSkinSurface,
                   public TSkinStretch,
                   public TSkinShadow,
                   public TSkinBevels {
public:
    explicit TCoolLabel(base::TComponent* owner);
    ~TCoolLabel() override;

    // The picture before the caption: its source strip, and the number of images in it (at most 2 are
    // used: enabled and disabled).
    ui::TBitmap& Glyph() { return glyph_.Source(); }
    void SetGlyph(const ui::TBitmap* bitmap);
    int NumGlyphs() const { return glyph_.ImageCount(); }
    void SetNumGlyphs(int count);

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
    void Notification(base::TComponent* component, bool removing) override;
    // Every place the label base re-measures (loading, AutoSize, caption, font, wrapping) fits the
    // skinned label to its caption.
    void AdjustBounds() override { FitToCaption(); }
    // Draws the caption into the rectangle or, with DT_CALCRECT in the flags, measures it there. The
    // rectangle follows the caption as DrawShadowedText moves it.
    virtual void DrawCaptionText(RECT& rect, UINT flags);
    void SurfaceChanged(TSkinChange change) override;

private:
    TGlyph glyph_;
    TEdgeBorders edgeBorders_;
    ui::TPen borderPen_;
};

}  // namespace skin
