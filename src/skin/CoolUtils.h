// The skinned controls' shared ground: their sets and enumerations, the stateless drawing routines,
// the window-procedure hooks and the multi-state glyph.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "base/Classes.h"
#include "ui/Controls.h"
#include "ui/ExtCtrls.h"
#include "ui/Graphics.h"
#include "ui/ImgList.h"
#include "base/SysUtils.h"

namespace skin {

// A set of the members of an enumeration whose values are 0, 1, 2 ...: member n is bit n of the mask,
// which is also how a set is stored.
template <typename E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> members) {
        for (E member : members) bits_ |= Bit(member);
    }
    static constexpr TSet FromBits(uint32_t bits) {
        TSet set;
        set.bits_ = bits;
        return set;
    }

    constexpr uint32_t Bits() const { return bits_; }
    constexpr bool Contains(E member) const { return (bits_ & Bit(member)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TSet& Include(E member) {
        bits_ |= Bit(member);
        return *this;
    }
    constexpr TSet& Exclude(E member) {
        bits_ &= ~Bit(member);
        return *this;
    }

    friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(a.bits_ | b.bits_); }
    friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(a.bits_ & ~b.bits_); }
    friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(a.bits_ & b.bits_); }
    friend constexpr bool operator==(TSet a, TSet b) { return a.bits_ == b.bits_; }
    friend constexpr bool operator!=(TSet a, TSet b) { return a.bits_ != b.bits_; }

private:
    static constexpr uint32_t Bit(E member) { return uint32_t{1} << static_cast<unsigned>(member); }
    uint32_t bits_ = 0;
};

// Where a caption's shadow copy lies relative to the caption.
enum TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };

// The shadow copy of a caption that the skinned controls share: its colour, offset and side, or
// SimpleView for a caption drawn once. A new colour, size or side brings the shadow back (clears
// SimpleView). Each setter answers whether anything changed, so that its control repaints only then.
class TCaptionShadow {
public:
    ui::TColor Color() const { return color_; }
    uint8_t Size() const { return size_; }
    TShadowPosition Position() const { return position_; }
    bool SimpleView() const { return simpleView_; }

    bool SetColor(ui::TColor color) { return ChangeShadow(color_, color); }
    bool SetSize(uint8_t size) { return ChangeShadow(size_, size); }
    bool SetPosition(TShadowPosition position) { return ChangeShadow(position_, position); }
    bool SetSimpleView(bool simpleView) {
        if (simpleView == simpleView_) return false;
        simpleView_ = simpleView;
        return true;
    }

private:
    template <typename Value>
    bool ChangeShadow(Value& field, Value value) {
        if (value == field) return false;
        field = value;
        simpleView_ = false;
        return true;
    }

    ui::TColor color_ = ui::clBtnHighlight;
    uint8_t size_ = 1;
    TShadowPosition position_ = spLeftTop;
    bool simpleView_ = false;
};

// The class library's own enumerations that the skinned controls reuse.
using ui::bvLowered;
using ui::bvNone;
using ui::bvRaised;
using ui::bvSpace;
using ui::taCenter;
using ui::taLeftJustify;
using ui::TAlignment;
using ui::taRightJustify;
using ui::TBevelCut;
using ui::tlBottom;
using ui::tlCenter;
using ui::tlTop;
using ui::TTextLayout;

// Which edges of a control get a line.
enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = TSet<TEdgeBorder>;

// Where a glyph sits relative to its caption.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The modifier keys and mouse buttons held down.
enum TShiftStateMember { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateMember>;

// Coordinate arithmetic that leaves the range of a 32-bit integer.
class EIntOverflow : public ui::Exception {
public:
    EIntOverflow() : ui::Exception("Integer overflow") {}
};

// ---- Drawing routines. Each leaves the DC as it found it unless it says otherwise.

// Tiles the bitmap over the rectangle from its top-left corner, cut at the right and bottom edges, or
// stretches it over the rectangle. The bitmap must not be empty.
void TileBitmap(HDC dc, ui::TBitmap& bitmap, const RECT& rect, bool stretch, DWORD rop);
// One StretchBlt from the source rectangle of the bitmap onto the destination rectangle.
void StretchBitmap(HDC dc, ui::TBitmap& bitmap, const RECT& dest, DWORD rop, const RECT& source);
// Tiles over the layout rectangle, so that the tiles stay aligned to its corner, touching only the clip
// rectangle.
void TileBitmapClipped(HDC dc, ui::TBitmap& bitmap, const RECT& layout, const RECT& clip, bool stretch, DWORD rop);

// Makes the DC (whose origin is the control's client origin) show what the control's parent shows
// beneath the control: the parent's background and its non-windowed children. Nested calls add their
// offsets. A control without a parent paints nothing.
void PaintParentBackground(ui::TControl* control, HDC dc);
// The same, touching only the rectangle.
void PaintParentBackgroundClipped(ui::TControl* control, HDC dc, const RECT& rect);
// The control's level-th ancestor, or the topmost one when there are fewer; level 0 is the control.
ui::TControl* GetAncestorControl(ui::TControl* control, uint8_t level);

// Draws the text twice: a shadow copy in shadowColor, then the text in textColor on the transparent
// background, size pixels apart on the side named by position. The text rectangle is moved in place.
// The shadow pass uses the DC's background mode as the caller left it; the DC keeps the transparent
// mode and the text colour afterwards.
void DrawShadowedText(HDC dc, RECT& textRect, TShadowPosition position, const std::string& text, UINT format,
                      ui::TColor textColor, ui::TColor shadowColor, int size);
// steps + 1 solid bands from start to end colour, left to right when horizontal, else top to bottom.
// The last band, in the end colour, lies just beyond the far edge.
void FillGradient(HDC dc, const RECT& rect, ui::TColor startColor, ui::TColor endColor, int steps, bool horizontal);
// The colour's RGB with every channel turned into 255 - channel.
ui::TColor InvertColor(ui::TColor color);
void OffsetRectSides(RECT& rect, int left, int top, int right, int bottom);
// InvalidateRect of the window (the whole client area for nullptr); whether it succeeded.
bool InvalidateWindowRect(HWND window, const RECT* rect, bool erase);
TShiftState CurrentShiftState();
// The DrawEdge flags of an inner and an outer bevel (lowered: sunken, raised: raised); 0 when neither
// draws a line.
UINT BevelEdgeFlags(ui::TBevelCut inner, ui::TBevelCut outer);

// ---- Window-procedure hooks

class TWndHook;

using TWinMessageEvent = std::function<void(ui::TComponent* sender, ui::TMessage& message, bool& handled)>;
using TWinControlEvent = std::function<void(ui::TWinControl* control)>;

// Puts a procedure of its own in front of a control's window procedure and lets OnBeforeMessage and
// OnAfterMessage see (and change) every message of that window. Several hooks on one window are kept
// chained; a hook can leave in any order, and it is put back when its control's window is recreated.
class TWndHook : public ui::TComponent {
public:
    explicit TWndHook(ui::TComponent* owner);
    ~TWndHook() override;

    bool Active() const { return active_; }
    void SetActive(bool active);
    ui::TWinControl* WinControl() const { return winControl_; }
    // Leaves the old control's window; the hook is not installed on the new one by this.
    void SetWinControl(ui::TWinControl* control);
    // The control's window, nullptr when there is no control or its window does not exist.
    HWND Handle() const;

    // The procedure this hook installs and the one it calls on; nullptr while not installed.
    WNDPROC HookProcedure() const { return hookProcedure_; }
    WNDPROC PreviousProcedure() const { return previousProcedure_; }

    TWinMessageEvent OnBeforeMessage;
    TWinMessageEvent OnAfterMessage;
    TWinControlEvent OnChangeWinControl;

    void Notification(ui::TComponent* component, bool removing) override;

protected:
    virtual void HookWindow(HWND window);
    virtual void FreeHookProc(HWND window);
    virtual void UnhookWindow(HWND window);
    // The hooked window's procedure.
    virtual void HookWndProc(HWND window, ui::TMessage& message);
    virtual void Rehook();

private:
    friend class THookList;
    friend struct HookDispatch;

    bool active_ = false;
    ui::TWinControl* winControl_ = nullptr;
    // The window the procedure is installed on; it outlives a recreation of the control's window.
    HWND hookedWindow_ = nullptr;
    int slot_ = -1;
    WNDPROC hookProcedure_ = nullptr;
    WNDPROC previousProcedure_ = nullptr;
};

// The process-wide list of hooks, in creation order, with a hidden window that serves the unhook and
// re-hook requests. It exists while any hook exists.
class THookList {
public:
    static constexpr UINT kUnhookRequest = WM_USER + 301;
    static constexpr UINT kRehookRequest = WM_USER + 302;

    // The list, or nullptr while there is no hook.
    static THookList* Instance();
    const std::vector<TWndHook*>& Hooks() const { return hooks_; }
    bool Contains(const TWndHook* hook) const;
    HWND Window() const { return window_; }

    ~THookList();
    THookList(const THookList&) = delete;
    THookList& operator=(const THookList&) = delete;

private:
    friend class TWndHook;
    THookList();
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void ServeUnhook(TWndHook* hook);
    void ServeRehook(TWndHook* hook);

    std::vector<TWndHook*> hooks_;
    HWND window_ = nullptr;
};

// ---- Multi-state glyph

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
