// Colours, GDI object owners, fonts, pens, brushes, the canvas and device-independent bitmaps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace ui {

// A colour: plain RGB (red in the low byte), 0x80000000 plus a system colour index, clNone or clDefault.
using TColor = uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clGray = 0x808080;
constexpr TColor clOlive = 0x008080;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clSystemColor = 0x80000000;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;

// System colours through the system colour table; every other colour as the RGB it holds.
COLORREF ColorToRGB(TColor color);

// Owns one GDI object and deletes it; move-only.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr) DeleteObject(handle_);
        handle_ = handle;
    }
    Handle Release() { return std::exchange(handle_, nullptr); }

private:
    Handle handle_ = nullptr;
};

using FontHandle = GdiObject<HFONT>;
using PenHandle = GdiObject<HPEN>;
using BrushHandle = GdiObject<HBRUSH>;
using BitmapHandle = GdiObject<HBITMAP>;
using RegionHandle = GdiObject<HRGN>;

// Owns a memory device context; move-only.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDC(MemoryDC&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
    MemoryDC& operator=(MemoryDC&&) = delete;
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// Selects an object into a DC for a scope and puts the previous one back.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectObjectScope() { SelectObject(dc_, previous_); }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Saves a DC's state for a scope (SaveDC) and restores exactly that state (RestoreDC).
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDC() { RestoreDC(dc_, saved_); }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

private:
    HDC dc_;
    int saved_;
};

// A window's paint for a scope: BeginPaint when made, EndPaint when left, also when the paint throws.
class PaintDC {
public:
    explicit PaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDC() { EndPaint(window_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC Get() const { return dc_; }
    const RECT& UpdateRect() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A DC of a window (its client area, or the whole window with its frame) or of the screen (no window),
// released when the scope is left. Given a DC already, it borrows that one and releases nothing.
class WindowDC {
public:
    enum Area { Client, Whole };
    explicit WindowDC(HWND window, Area area = Client, HDC given = nullptr)
        : window_(window), dc_(given), owned_(given == nullptr) {
        if (owned_) dc_ = area == Whole ? GetWindowDC(window) : GetDC(window);
    }
    ~WindowDC() {
        if (owned_ && dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
    bool owned_;
};

using TNotifyEvent = std::function<void()>;

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// A logical font created on demand; any change drops the handle and tells OnChange.
class TFont {
public:
    TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    // Negative: character height in pixels; positive: cell height.
    int Height() const { return height_; }
    void SetHeight(int height);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    void Assign(const TFont& other);
    bool SameAs(const TFont& other) const;
    HFONT Handle() const;

    TNotifyEvent OnChange;

private:
    void Changed();

    std::string name_;
    int height_;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    mutable FontHandle handle_;
};

enum class TPenStyle { Solid, Dash, Dot, Clear };

class TPen {
public:
    TPen() = default;
    TPen(const TPen&) = delete;
    TPen& operator=(const TPen&) = delete;

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    void Assign(const TPen& other);
    HPEN Handle() const;

    TNotifyEvent OnChange;

private:
    void Changed();

    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::Solid;
    mutable PenHandle handle_;
};

enum class TBrushStyle { Solid, Clear };

class TBrush {
public:
    TBrush() = default;
    TBrush(const TBrush&) = delete;
    TBrush& operator=(const TBrush&) = delete;

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    void Assign(const TBrush& other);
    HBRUSH Handle() const;  // the stock null brush for a clear brush

    TNotifyEvent OnChange;

private:
    void Changed();

    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::Solid;
    mutable BrushHandle handle_;
};

class TBitmap;

// GDI's single-byte text calls read the text in the system's code page, never in the program's UTF-8
// (Windows documents this for its UTF-8 code page; Wine 8 takes the code page of the font's character set,
// 1252 for a Western font): text is drawn and measured through the wide calls. There Windows draws a
// character the font lacks from a font it picks for the character's script, and from the fonts linked to the
// face (FontLink\SystemLink); Wine 8 only follows the links, which the test and demo prefixes set.
int DrawTextOf(HDC dc, const std::string& text, RECT& rect, UINT format);

// Draws through a borrowed DC with a current font, pen and brush. Fetching Handle() selects all three
// and sets the background mode from the brush (clear: transparent; solid: opaque in the brush colour).
// The canvas saves the DC's state when it takes a DC and restores it when it lets go, so whatever it
// selected is deselected before the DC's owner deletes anything.
class TCanvas {
public:
    TCanvas();
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    void Attach(HDC dc);
    void Detach();
    bool HandleAllocated() const { return dc_ != nullptr; }
    HDC Handle();

    TFont& Font() { return font_; }
    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }

    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);
    void Rectangle(const RECT& rect);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, const std::string& text);
    int DrawText(const std::string& text, RECT& rect, UINT format);
    SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    // Copies the bitmap's picture with its top-left corner at (x, y); a transparent bitmap leaves the
    // pixels of its transparent colour untouched.
    void Draw(int x, int y, TBitmap& bitmap);

private:
    // Puts stock objects into the DC in place of the canvas's own, which are about to change.
    void Deselect();
    void Select();

    HDC dc_ = nullptr;
    int saved_ = 0;
    TFont font_;
    TPen pen_;
    TBrush brush_;
};

// A canvas bound to a DC for a scope: attached when made, detached (its DC state restored) when left,
// also when what draws through it throws.
class CanvasBinding {
public:
    CanvasBinding(TCanvas& canvas, HDC dc) : canvas_(canvas) { canvas_.Attach(dc); }
    ~CanvasBinding() { canvas_.Detach(); }
    CanvasBinding(const CanvasBinding&) = delete;
    CanvasBinding& operator=(const CanvasBinding&) = delete;

private:
    TCanvas& canvas_;
};

// How a bitmap picks its transparent colour: the colour of its bottom-left pixel, or one set on it.
enum TTransparentMode { tmAuto, tmFixed };

// A new 24-bit, bottom-up DIB section of the size (nullptr when the system refuses it).
HBITMAP CreateDib24(int width, int height);

// A bitmap of its own (a DIB section), with a memory canvas while it has a picture.
class TBitmap {
public:
    TBitmap();
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return !handle_; }
    HBITMAP Handle() const { return handle_.Get(); }

    // A blank 24-bit picture of the size (an empty bitmap for a zero size).
    void SetSize(int width, int height);
    // A copy of the other bitmap's picture (empty when it is empty).
    void Assign(const TBitmap& other);
    // A BITMAP resource of the module; throws base::Exception when there is none.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    void LoadFromResourceID(HINSTANCE instance, int id);
    void LoadFromFile(const std::string& path);
    void Clear();

    // The colour that counts as see-through: the set colour in tmFixed mode, else the bottom-left
    // pixel's colour (clDefault while the bitmap is empty).
    TColor TransparentColor() const;
    // Fixes the transparent colour; clDefault goes back to the bottom-left pixel.
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode);
    // Whether drawing the bitmap leaves its transparent colour out.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);

    // The bitmap's own canvas; valid while the bitmap has a picture.
    TCanvas& Canvas();

    TNotifyEvent OnChange;

private:
    void TakePicture(HBITMAP picture);
    void Changed();

    BitmapHandle handle_;
    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<MemoryDC> dc_;
    std::unique_ptr<TCanvas> canvas_;
    HGDIOBJ originalBitmap_ = nullptr;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = tmAuto;
    bool transparent_ = false;
};

}  // namespace ui
