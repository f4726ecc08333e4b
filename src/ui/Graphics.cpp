#include "ui/Graphics.h"

#include "base/SysUtils.h"

namespace ui {

COLORREF ColorToRGB(TColor color) {
    if ((color & clSystemColor) != 0) return GetSysColor(static_cast<int>(color & 0xFF));
    if (color == clNone || color == clDefault) return 0;
    return color & 0xFFFFFF;
}

// ---- TFont

TFont::TFont() : name_("MS Sans Serif"), height_(-11) {}

void TFont::Changed() {
    // The old handle lives until the listeners have heard of the change, so that a canvas can take it
    // out of its DC before it is deleted: a selected object must not be deleted.
    const FontHandle old = std::move(handle_);
    if (OnChange) OnChange();
}

void TFont::SetName(const std::string& name) {
    if (name == name_) return;
    name_ = name;
    Changed();
}

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TFont::Assign(const TFont& other) {
    if (SameAs(other)) return;
    name_ = other.name_;
    height_ = other.height_;
    style_ = other.style_;
    color_ = other.color_;
    Changed();
}

bool TFont::SameAs(const TFont& other) const {
    return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ && color_ == other.color_;
}

HFONT TFont::Handle() const {
    if (!handle_) {
        LOGFONTW log{};
        log.lfHeight = height_;
        log.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
        log.lfItalic = (style_ & fsItalic) ? TRUE : FALSE;
        log.lfUnderline = (style_ & fsUnderline) ? TRUE : FALSE;
        log.lfStrikeOut = (style_ & fsStrikeOut) ? TRUE : FALSE;
        log.lfCharSet = DEFAULT_CHARSET;
        log.lfOutPrecision = OUT_DEFAULT_PRECIS;
        log.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        log.lfQuality = DEFAULT_QUALITY;
        log.lfPitchAndFamily = DEFAULT_PITCH;
        lstrcpynW(log.lfFaceName, base::WideText(name_).c_str(), LF_FACESIZE);
        handle_.Reset(CreateFontIndirectW(&log));
    }
    return handle_.Get();
}

// ---- TPen

void TPen::Changed() {
    // The old handle lives until the listeners have heard of the change, so that a canvas can take it
    // out of its DC before it is deleted: a selected object must not be deleted.
    const PenHandle old = std::move(handle_);
    if (OnChange) OnChange();
}

void TPen::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TPen::SetWidth(int width) {
    if (width == width_) return;
    width_ = width;
    Changed();
}

void TPen::SetStyle(TPenStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TPen::Assign(const TPen& other) {
    if (color_ == other.color_ && width_ == other.width_ && style_ == other.style_) return;
    color_ = other.color_;
    width_ = other.width_;
    style_ = other.style_;
    Changed();
}

HPEN TPen::Handle() const {
    if (!handle_) {
        int style = PS_SOLID;
        switch (style_) {
            case TPenStyle::Solid:
                style = PS_SOLID;
                break;
            case TPenStyle::Dash:
                style = PS_DASH;
                break;
            case TPenStyle::Dot:
                style = PS_DOT;
                break;
            case TPenStyle::Clear:
                style = PS_NULL;
                break;
        }
        handle_.Reset(CreatePen(style, width_, ColorToRGB(color_)));
    }
    return handle_.Get();
}

// ---- TBrush

void TBrush::Changed() {
    // The old handle lives until the listeners have heard of the change, so that a canvas can take it
    // out of its DC before it is deleted: a selected object must not be deleted.
    const BrushHandle old = std::move(handle_);
    if (OnChange) OnChange();
}

void TBrush::SetColor(TColor color) {
    if (color == color_ && style_ == TBrushStyle::Solid) return;
    color_ = color;
    // Choosing a colour makes a clear brush solid again, as a brush is only clear by request.
    style_ = TBrushStyle::Solid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TBrush::Assign(const TBrush& other) {
    if (color_ == other.color_ && style_ == other.style_) return;
    color_ = other.color_;
    style_ = other.style_;
    Changed();
}

HBRUSH TBrush::Handle() const {
    if (style_ == TBrushStyle::Clear) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (!handle_) handle_.Reset(CreateSolidBrush(ColorToRGB(color_)));
    return handle_.Get();
}

// ---- TCanvas

TCanvas::TCanvas() {
    font_.OnChange = [this] { Deselect(); };
    pen_.OnChange = [this] { Deselect(); };
    brush_.OnChange = [this] { Deselect(); };
}

void TCanvas::Deselect() {
    if (dc_ == nullptr) return;
    SelectObject(dc_, GetStockObject(SYSTEM_FONT));
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    SelectObject(dc_, GetStockObject(NULL_BRUSH));
}

TCanvas::~TCanvas() {
    Detach();
}

void TCanvas::Attach(HDC dc) {
    Detach();
    if (dc == nullptr) return;
    dc_ = dc;
    saved_ = SaveDC(dc);
}

void TCanvas::Detach() {
    if (dc_ == nullptr) return;
    RestoreDC(dc_, saved_);
    dc_ = nullptr;
    saved_ = 0;
}

void TCanvas::Select() {
    SelectObject(dc_, font_.Handle());
    SelectObject(dc_, pen_.Handle());
    SelectObject(dc_, brush_.Handle());
    SetTextColor(dc_, ColorToRGB(font_.Color()));
    if (brush_.Style() == TBrushStyle::Clear) {
        SetBkMode(dc_, TRANSPARENT);
    } else {
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, ColorToRGB(brush_.Color()));
    }
}

HDC TCanvas::Handle() {
    if (dc_ != nullptr) Select();
    return dc_;
}

void TCanvas::FillRect(const RECT& rect) {
    ::FillRect(Handle(), &rect, brush_.Handle());
}

void TCanvas::FrameRect(const RECT& rect) {
    ::FrameRect(Handle(), &rect, brush_.Handle());
}

void TCanvas::Rectangle(const RECT& rect) {
    ::Rectangle(Handle(), rect.left, rect.top, rect.right, rect.bottom);
}

void TCanvas::MoveTo(int x, int y) {
    MoveToEx(Handle(), x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    ::LineTo(Handle(), x, y);
}

int DrawTextOf(HDC dc, const std::string& text, RECT& rect, UINT format) {
    const std::wstring wide = base::WideText(text);
    return ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rect, format);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    const std::wstring wide = base::WideText(text);
    ::TextOutW(Handle(), x, y, wide.c_str(), static_cast<int>(wide.size()));
}

int TCanvas::DrawText(const std::string& text, RECT& rect, UINT format) {
    return DrawTextOf(Handle(), text, rect, format);
}

SIZE TCanvas::TextExtent(const std::string& text) {
    SIZE size{};
    const std::wstring wide = base::WideText(text);
    GetTextExtentPoint32W(Handle(), wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    HDC source = bitmap.Canvas().Handle();
    if (bitmap.Transparent()) {
        // gdi32's own entry, which msimg32's TransparentBlt only forwards to: no library more to load.
        GdiTransparentBlt(Handle(), x, y, bitmap.Width(), bitmap.Height(), source, 0, 0, bitmap.Width(),
                          bitmap.Height(), ColorToRGB(bitmap.TransparentColor()));
    } else {
        BitBlt(Handle(), x, y, bitmap.Width(), bitmap.Height(), source, 0, 0, SRCCOPY);
    }
}

// ---- TBitmap

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    Clear();
}

void TBitmap::Clear() {
    canvas_.reset();
    if (dc_) {
        if (originalBitmap_ != nullptr) SelectObject(dc_->Get(), originalBitmap_);
        originalBitmap_ = nullptr;
        dc_.reset();
    }
    handle_.Reset();
    width_ = 0;
    height_ = 0;
}

void TBitmap::TakePicture(HBITMAP picture) {
    Clear();
    if (picture == nullptr) return;
    BITMAP info{};
    GetObjectA(picture, sizeof info, &info);
    handle_.Reset(picture);
    width_ = info.bmWidth;
    height_ = info.bmHeight;
    dc_ = std::make_unique<MemoryDC>();
    if (dc_->Get() == nullptr) {
        Clear();
        throw base::Exception("Out of system resources");
    }
    originalBitmap_ = SelectObject(dc_->Get(), picture);
    canvas_ = std::make_unique<TCanvas>();
    canvas_->Attach(dc_->Get());
}

HBITMAP CreateDib24(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

namespace {

// A picture of a positive size; a system out of GDI handles or memory is an error, never a bitmap without
// a picture that the next drawing would fall over.
HBITMAP NewPicture(int width, int height) {
    HBITMAP picture = CreateDib24(width, height);
    if (picture == nullptr) throw base::Exception("Out of system resources");
    return picture;
}

}  // namespace

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    TakePicture(width > 0 && height > 0 ? NewPicture(width, height) : nullptr);
    Changed();
}

void TBitmap::Assign(const TBitmap& other) {
    if (&other == this) return;
    if (other.Empty()) {
        Clear();
    } else {
        TakePicture(NewPicture(other.width_, other.height_));
        BitBlt(dc_->Get(), 0, 0, width_, height_, other.dc_->Get(), 0, 0, SRCCOPY);
    }
    transparentColor_ = other.transparentColor_;
    transparentMode_ = other.transparentMode_;
    transparent_ = other.transparent_;
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == tmFixed) return transparentColor_;
    if (Empty()) return clDefault;
    return GetPixel(dc_->Get(), 0, height_ - 1) & 0xFFFFFF;
}

void TBitmap::SetTransparentColor(TColor color) {
    const TTransparentMode mode = color == clDefault ? tmAuto : tmFixed;
    if (color == transparentColor_ && mode == transparentMode_) return;
    transparentColor_ = color;
    transparentMode_ = mode;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
    if (mode == transparentMode_) return;
    // Fixing the mode keeps the colour the bitmap shows as transparent right now.
    transparentColor_ = mode == tmFixed ? TransparentColor() : clDefault;
    transparentMode_ = mode;
    Changed();
}

void TBitmap::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    Changed();
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    HANDLE picture = LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (picture == nullptr) throw base::Exception(base::Format("Bitmap resource %s not found", name.c_str()));
    TakePicture(static_cast<HBITMAP>(picture));
    Changed();
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
    HANDLE picture = LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (picture == nullptr) throw base::Exception(base::Format("Bitmap resource %d not found", id));
    TakePicture(static_cast<HBITMAP>(picture));
    Changed();
}

void TBitmap::LoadFromFile(const std::string& path) {
    HANDLE picture = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE);
    if (picture == nullptr) throw base::Exception(base::Format("Cannot load the bitmap %s", path.c_str()));
    TakePicture(static_cast<HBITMAP>(picture));
    Changed();
}

TCanvas& TBitmap::Canvas() {
    if (!canvas_) {
        // An empty bitmap still has a canvas to measure with; it draws into the DC's default 1 x 1 picture.
        dc_ = std::make_unique<MemoryDC>();
        canvas_ = std::make_unique<TCanvas>();
        canvas_->Attach(dc_->Get());
    }
    return *canvas_;
}

void TBitmap::Changed() {
    if (OnChange) OnChange();
}

}  // namespace ui
