#include "skin/Glyph.h"

#include <algorithm>

#include "skin/CoolUtils.h"

namespace skin {

namespace {

// Paints the DC's brush where the monochrome source is set and keeps the destination elsewhere (the
// destination's text colour must be black and its background colour white).
constexpr DWORD kStampBrush = 0x00E20746;

TGlyphCache* glyphCache = nullptr;

// A monochrome mask of one image's size, selected in a DC of its own while the glyph's images are made.
class MonoMask {
public:
    MonoMask(int width, int height)
        : width_(width), height_(height), bitmap_(CreateBitmap(width, height, 1, 1, nullptr)) {
        if (!bitmap_) throw base::EOSError(GetLastError());
        previous_ = SelectObject(dc_.Get(), bitmap_.Get());
    }
    ~MonoMask() { SelectObject(dc_.Get(), previous_); }
    MonoMask(const MonoMask&) = delete;
    MonoMask& operator=(const MonoMask&) = delete;

    // Sets the bits where the source area shows the colour: a colour-to-monochrome copy sets the pixels
    // that match the source's background colour.
    void Take(HDC source, int x, int y, ui::TColor color) {
        ui::SavedDC saved(source);
        SetBkColor(source, ui::ColorToRGB(color));
        BitBlt(dc_.Get(), 0, 0, width_, height_, source, x, y, SRCCOPY);
    }

    // Paints the colour into the image wherever the mask is set, the mask's corner at (x, y).
    void Stamp(HDC image, int x, int y, ui::TColor color) {
        ui::BrushHandle brush(CreateSolidBrush(ui::ColorToRGB(color)));
        ui::SavedDC saved(image);
        SetTextColor(image, RGB(0, 0, 0));
        SetBkColor(image, RGB(255, 255, 255));
        SelectObject(image, brush.Get());
        BitBlt(image, x, y, width_, height_, dc_.Get(), 0, 0, kStampBrush);
    }

private:
    int width_;
    int height_;
    ui::MemoryDC dc_;
    ui::BitmapHandle bitmap_;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace

// ---- TGlyphList

TGlyphList::TGlyphList(int width, int height) : ui::TCustomImageList(nullptr, width, height) {}

int TGlyphList::AcquireSlot() {
    const auto found = std::find(used_.begin(), used_.end(), false);
    const int index = static_cast<int>(found - used_.begin());
    if (found == used_.end()) {
        SetCount(Count() + 1);
        used_.resize(static_cast<size_t>(index) + 1);
    }
    used_[static_cast<size_t>(index)] = true;
    return index;
}

int TGlyphList::AddImage(ui::TBitmap& image, ui::TColor maskColor) {
    const int index = AcquireSlot();
    ReplaceMasked(index, image, maskColor);
    ++usedCount_;
    return index;
}

void TGlyphList::FreeSlot(int index) {
    if (index < 0 || index >= static_cast<int>(used_.size()) || !used_[static_cast<size_t>(index)]) return;
    --usedCount_;
    used_[static_cast<size_t>(index)] = false;
}

// ---- TGlyphCache

TGlyphCache* TGlyphCache::Instance() {
    return glyphCache;
}

TGlyphCache& TGlyphCache::InstanceNeeded() {
    if (glyphCache == nullptr) glyphCache = new TGlyphCache();
    return *glyphCache;
}

void TGlyphCache::FreeIfEmpty() {
    if (glyphCache != nullptr && glyphCache->IsEmpty()) {
        delete glyphCache;
        glyphCache = nullptr;
    }
}

TGlyphList* TGlyphCache::ListForSize(int width, int height) {
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it) {
        if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
    }
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::ReturnListIfUnused(TGlyphList* list) {
    if (list == nullptr || list->UsedCount() != 0) return;
    lists_.erase(std::remove_if(lists_.begin(), lists_.end(),
                                [list](const std::unique_ptr<TGlyphList>& held) { return held.get() == list; }),
                 lists_.end());
}

// ---- Layout

TGlyphTextPlacement ArrangeGlyphAndText(SIZE client, SIZE glyph, SIZE text, int spacing, int margin,
                                        TButtonLayout layout) {
    TGlyphTextPlacement placement{};
    // Glyph and caption follow each other along one axis (x for a glyph left or right of the caption)
    // and are each centred on the other.
    const bool across = layout == blGlyphLeft || layout == blGlyphRight;
    LONG POINT::*const along = across ? &POINT::x : &POINT::y;
    LONG POINT::*const centred = across ? &POINT::y : &POINT::x;
    placement.Glyph.*centred = ((across ? client.cy - glyph.cy : client.cx - glyph.cx) + 1) / 2;
    placement.Text.*centred = ((across ? client.cy - text.cy : client.cx - text.cx) + 1) / 2;
    if (text.cx == 0 || glyph.cx == 0) spacing = 0;
    const int clientSize = across ? client.cx : client.cy;
    const int glyphSize = across ? glyph.cx : glyph.cy;
    const int textSize = across ? text.cx : text.cy;
    if (margin == -1 && spacing == -1) {
        margin = (clientSize - (glyphSize + textSize)) / 3;
        spacing = margin;
    } else if (margin == -1) {
        // Glyph and caption centred as one group.
        margin = (clientSize - (glyphSize + spacing + textSize) + 1) / 2;
    } else if (spacing == -1) {
        spacing = (clientSize - (margin + glyphSize) - textSize) / 2;
    }
    // The margin is measured from the edge the glyph is nearest to.
    const bool glyphFirst = layout == blGlyphLeft || layout == blGlyphTop;
    const int glyphAt = glyphFirst ? margin : clientSize - margin - glyphSize;
    placement.Glyph.*along = glyphAt;
    placement.Text.*along = glyphFirst ? glyphAt + glyphSize + spacing : glyphAt - spacing - textSize;
    return placement;
}

// ---- TGlyph

TGlyph::TGlyph() {
    source_.OnChange = [this] { SourceChanged(); };
    TGlyphCache::InstanceNeeded();
}

TGlyph::~TGlyph() {
    source_.OnChange = nullptr;
    ReleaseImages();
    TGlyphCache::FreeIfEmpty();
}

void TGlyph::ReleaseImages() {
    for (int& index : indexes_) {
        if (index != -1 && glyphList_ != nullptr) glyphList_->FreeSlot(index);
        index = -1;
    }
    if (glyphList_ != nullptr && TGlyphCache::Instance() != nullptr)
        TGlyphCache::Instance()->ReturnListIfUnused(glyphList_);
    glyphList_ = nullptr;
}

void TGlyph::SourceChanged() {
    transparentColor_ = source_.TransparentColor();
    ReleaseImages();
    if (OnChange) OnChange();
}

void TGlyph::AssignSource(const ui::TBitmap* bitmap) {
    ReleaseImages();
    const ui::TBitmap none;
    source_.Assign(bitmap != nullptr ? *bitmap : none);
    if (bitmap == nullptr || bitmap->Height() <= 0) return;
    transparentColor_ = bitmap->TransparentColor();
    // A strip's images are square: its shape tells how many there are.
    if (bitmap->Width() % bitmap->Height() == 0) {
        int count = bitmap->Width() / bitmap->Height();
        if (count > 4) count = 1;
        ChangeImageCount(count);
    }
}

void TGlyph::ChangeImageCount(int count) {
    if (count == 0) return;
    // A strip holds one to four images; a count beyond either end would divide the strip into nothing.
    count = std::clamp(count, 1, 4);
    if (count == imageCount_) return;
    ReleaseImages();
    imageCount_ = count;
    SourceChanged();
}

int TGlyph::MakeStateImage(bool enabled) {
    int& index = indexes_[enabled ? 1 : 0];
    if (index != -1) return index;
    if (source_.Empty()) return -1;
    const int width = source_.Width() / imageCount_;
    const int height = source_.Height();
    if (glyphList_ == nullptr) glyphList_ = TGlyphCache::InstanceNeeded().ListForSize(width, height);

    ui::TBitmap image;
    image.SetSize(width, height);
    image.Canvas().Brush().SetColor(ui::clBtnFace);
    int sourceImage = enabled ? 0 : 1;
    if (sourceImage >= imageCount_) sourceImage = 1;
    const int sourceLeft = sourceImage * width;
    HDC source = source_.Canvas().Handle();
    HDC target = image.Canvas().Handle();

    if (enabled) {
        BitBlt(target, 0, 0, width, height, source, sourceLeft, 0, SRCCOPY);
        index =
            glyphList_->AddImage(image, source_.TransparentMode() == ui::tmFixed ? transparentColor_ : ui::clDefault);
    } else if (imageCount_ < 2) {
        // Engraved: the glyph's black pixels in the shadow colour over a highlight copy one pixel to the
        // right and down, on the face colour.
        MonoMask mask(width, height);
        mask.Take(source, 0, 0, ui::clBlack);
        RECT all{0, 0, width, height};
        image.Canvas().FillRect(all);
        mask.Stamp(target, 1, 1, ui::clBtnHighlight);
        mask.Stamp(target, 0, 0, ui::clBtnShadow);
        index = glyphList_->AddImage(image, ui::clDefault);
    } else {
        BitBlt(target, 0, 0, width, height, source, sourceLeft, 0, SRCCOPY);
        const std::pair<ui::TColor, ui::TColor> replacements[] = {
            {ui::clWhite, ui::clBtnHighlight},
            {ui::clGray, ui::clBtnShadow},
            {transparentColor_, ui::clBtnFace},
        };
        MonoMask mask(width, height);
        // Every mask is taken from the source image, so a replaced colour is never replaced again.
        for (const auto& [from, to] : replacements) {
            mask.Take(source, sourceLeft, 0, from);
            mask.Stamp(target, 0, 0, to);
        }
        index = glyphList_->AddImage(image, ui::clDefault);
    }
    return index;
}

void TGlyph::LayoutGlyphAndText(ui::TCanvas& canvas, const RECT& client, UINT flags, RECT& textBounds, POINT& glyphPos,
                                int spacing, int margin, TButtonLayout layout, const std::string& caption) {
    // DT_RIGHT marks right-to-left reading here: the glyph changes sides.
    if ((flags & DT_RIGHT) != 0) {
        if (layout == blGlyphLeft)
            layout = blGlyphRight;
        else if (layout == blGlyphRight)
            layout = blGlyphLeft;
    }
    const SIZE clientSize{client.right - client.left, client.bottom - client.top};
    const SIZE glyphSize{source_.Width() / imageCount_, source_.Height()};
    if (caption.empty()) {
        textBounds = RECT{0, 0, 0, 0};
    } else if (measureSingleLine_) {
        const SIZE extent = canvas.TextExtent(caption);
        textBounds = RECT{0, 0, extent.cx, extent.cy};
    } else {
        textBounds = RECT{0, 0, clientSize.cx, 0};
        canvas.DrawText(caption, textBounds, flags | DT_CALCRECT);
    }
    const SIZE textSize{textBounds.right - textBounds.left, textBounds.bottom - textBounds.top};
    const TGlyphTextPlacement placement = ArrangeGlyphAndText(clientSize, glyphSize, textSize, spacing, margin, layout);
    glyphPos = POINT{placement.Glyph.x + client.left, placement.Glyph.y + client.top};
    OffsetRect(&textBounds, placement.Text.x + client.left, placement.Text.y + client.top);
}

void TGlyph::PaintStateImage(ui::TCanvas& canvas, POINT pos, ui::TColor color, bool transparent, bool enabled) {
    if (source_.Empty()) return;
    const int index = MakeStateImage(enabled);
    if (index < 0) return;
    if (transparent) {
        const UINT style = ILD_TRANSPARENT | (color != ui::clNone ? ILD_BLEND50 : 0);
        glyphList_->DrawEx(canvas.Handle(), pos.x, pos.y, index, ui::clNone, ui::clNone, style);
    } else {
        glyphList_->DrawEx(canvas.Handle(), pos.x, pos.y, index, color, ui::clNone, ILD_NORMAL);
    }
}

void TGlyph::PaintCaption(ui::TCanvas& canvas, const std::string& caption, UINT flags, int shadowSize,
                          ui::TColor shadowColor, TShadowPosition shadowPos, bool simpleView, bool enabled,
                          const RECT& textBounds) {
    // A clear brush leaves the DC in transparent mode, which the shadow pass relies on.
    canvas.Brush().SetStyle(ui::TBrushStyle::Clear);
    flags |= DT_CENTER | DT_VCENTER;
    RECT bounds = textBounds;
    if (!enabled) {
        DrawShadowedText(canvas.Handle(), bounds, spRightBottom, caption, flags, ui::clBtnShadow, ui::clBtnHighlight,
                         1);
    } else if (simpleView) {
        canvas.DrawText(caption, bounds, flags);
    } else {
        DrawShadowedText(canvas.Handle(), bounds, shadowPos, caption, flags, canvas.Font().Color(), shadowColor,
                         shadowSize);
    }
}

void TGlyph::PaintGlyphAndCaption(ui::TCanvas& canvas, const RECT& client, RECT& textBounds, UINT flags, int shadowSize,
                                  ui::TColor shadowColor, TShadowPosition shadowPos, bool simpleView, ui::TColor color,
                                  bool transparent, bool enabled, int spacing, int margin, TButtonLayout layout,
                                  const std::string& caption) {
    HDC dc = canvas.Handle();
    ui::SavedDC saved(dc);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    POINT glyphPos{};
    LayoutGlyphAndText(canvas, client, flags, textBounds, glyphPos, spacing, margin, layout, caption);
    PaintStateImage(canvas, glyphPos, color, transparent, enabled);
    PaintCaption(canvas, caption, flags, shadowSize, shadowColor, shadowPos, simpleView, enabled, textBounds);
}

void TGlyph::PaintGlyphOnly(ui::TCanvas& canvas, const RECT& client, UINT flags, ui::TColor color, bool transparent,
                            bool enabled, int spacing, int margin, TButtonLayout layout, const std::string& caption) {
    RECT textBounds{};
    POINT glyphPos{};
    LayoutGlyphAndText(canvas, client, flags, textBounds, glyphPos, spacing, margin, layout, caption);
    PaintStateImage(canvas, glyphPos, color, transparent, enabled);
}

}  // namespace skin
