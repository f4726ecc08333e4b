// The multi-state glyph beside a control's caption, the shared image lists that hold its state images,
// and the arithmetic that places glyph and caption.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/SkinTypes.h"
#include "ui/Graphics.h"
#include "ui/ImgList.h"

namespace skin {

// A native image list of one image size whose slots are lent to glyphs and reused once given back.
class TGlyphList : public ui::TCustomImageList {
public:
    TGlyphList(int width, int height);

    // The first free slot, appending a blank image when every slot is taken.
    int AcquireSlot();
    // Puts the image, masked by the colour, into a fresh slot and returns its index.
    int AddImage(ui::TBitmap& image, ui::TColor maskColor);
    // Gives the slot back; its image stays until the slot is reused.
    void FreeSlot(int index);
    // Slots in use.
    int UsedCount() const { return usedCount_; }

private:
    std::vector<bool> used_;
    int usedCount_ = 0;
};

// The process's glyph lists, one per image size.
class TGlyphCache {
public:
    // The cache, or nullptr while there is none.
    static TGlyphCache* Instance();
    static TGlyphCache& InstanceNeeded();
    // Frees the cache when it holds no list.
    static void FreeIfEmpty();

    TGlyphList* ListForSize(int width, int height);
    // Frees the list once no slot of it is in use.
    void ReturnListIfUnused(TGlyphList* list);
    bool IsEmpty() const { return lists_.empty(); }
    int ListCount() const { return static_cast<int>(lists_.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

// Where a glyph and a caption go inside a client area, both relative to its top-left corner.
struct TGlyphTextPlacement {
    POINT Glyph;
    POINT Text;
};

// The arithmetic of the glyph-and-caption layout over sizes alone: margin and spacing -1 mean "choose".
TGlyphTextPlacement ArrangeGlyphAndText(SIZE client, SIZE glyph, SIZE text, int spacing, int margin,
                                        TButtonLayout layout);

// The picture beside a control's caption: up to four equal-width images side by side in one source
// strip; the first is shown when the control is enabled, the second (or a generated engraved image)
// when it is disabled. State images live in shared image lists, one per image size.
class TGlyph {
public:
    TGlyph();
    ~TGlyph();
    TGlyph(const TGlyph&) = delete;
    TGlyph& operator=(const TGlyph&) = delete;

    ui::TBitmap& Source() { return source_; }
    // Copies the bitmap (nullptr: empty) into the source and counts its images from its shape.
    void AssignSource(const ui::TBitmap* bitmap);
    int ImageCount() const { return imageCount_; }
    void ChangeImageCount(int count);
    ui::TColor TransparentColor() const { return transparentColor_; }
    bool MeasureSingleLine() const { return measureSingleLine_; }
    void SetMeasureSingleLine(bool single) { measureSingleLine_ = single; }

    // Called after the source or the image count changed.
    ui::TNotifyEvent OnChange;

    // The list index of the state's image, made on first use; -1 for an empty source.
    int MakeStateImage(bool enabled);
    TGlyphList* GlyphList() const { return glyphList_; }
    int StateIndex(bool enabled) const { return indexes_[enabled ? 1 : 0]; }

    // Places glyph and caption inside the client rectangle; textBounds gets the caption's rectangle.
    void LayoutGlyphAndText(ui::TCanvas& canvas, const RECT& client, UINT flags, RECT& textBounds, POINT& glyphPos,
                            int spacing, int margin, TButtonLayout layout, const std::string& caption);
    void PaintStateImage(ui::TCanvas& canvas, POINT pos, ui::TColor color, bool transparent, bool enabled);
    void PaintCaption(ui::TCanvas& canvas, const std::string& caption, UINT flags, int shadowSize,
                      ui::TColor shadowColor, TShadowPosition shadowPos, bool simpleView, bool enabled,
                      const RECT& textBounds);
    void PaintGlyphAndCaption(ui::TCanvas& canvas, const RECT& client, RECT& textBounds, UINT flags, int shadowSize,
                              ui::TColor shadowColor, TShadowPosition shadowPos, bool simpleView, ui::TColor color,
                              bool transparent, bool enabled, int spacing, int margin, TButtonLayout layout,
                              const std::string& caption);
    void PaintGlyphOnly(ui::TCanvas& canvas, const RECT& client, UINT flags, ui::TColor color, bool transparent,
                        bool enabled, int spacing, int margin, TButtonLayout layout, const std::string& caption);

private:
    void SourceChanged();
    void ReleaseImages();

    ui::TBitmap source_;
    TGlyphList* glyphList_ = nullptr;
    int indexes_[2] = {-1, -1};
    ui::TColor transparentColor_ = ui::clOlive;
    int imageCount_ = 1;
    bool measureSingleLine_ = false;
};

}  // namespace skin
