#include "skin/CoolUtils.h"

#include <cstdint>
#include <limits>
#include <string>

#include "base/SysUtils.h"

namespace skin {

namespace {

int CheckedSum(int64_t value) {
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) throw EIntOverflow();
    return static_cast<int>(value);
}

// The low byte of a channel value that may have left 0..255.
BYTE LowByte(int value) {
    return static_cast<BYTE>(value & 0xFF);
}

void Line(ui::TCanvas& canvas, int x1, int y1, int x2, int y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

void TopLine(ui::TCanvas& canvas, const RECT& r) {
    Line(canvas, r.left, r.top + 1, r.right, r.top + 1);
}
void LeftLine(ui::TCanvas& canvas, const RECT& r) {
    Line(canvas, r.left + 1, r.top, r.left + 1, r.bottom);
}
void RightLine(ui::TCanvas& canvas, const RECT& r) {
    Line(canvas, r.right - 1, r.top, r.right - 1, r.bottom);
}
void BottomLine(ui::TCanvas& canvas, const RECT& r) {
    Line(canvas, r.left, r.bottom - 1, r.right, r.bottom - 1);
}

// The edges in their drawing order: top, left, right, bottom.
void DrawEdges(ui::TCanvas& canvas, const RECT& r, TEdgeBorders edges) {
    if (edges.Contains(ebTop)) TopLine(canvas, r);
    if (edges.Contains(ebLeft)) LeftLine(canvas, r);
    if (edges.Contains(ebRight)) RightLine(canvas, r);
    if (edges.Contains(ebBottom)) BottomLine(canvas, r);
}

}  // namespace

RECT WindowRectAtOrigin(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    OffsetRect(&rect, -rect.left, -rect.top);
    return rect;
}

void StretchBitmap(HDC dc, ui::TBitmap& bitmap, const RECT& dest, DWORD rop, const RECT& source) {
    StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, bitmap.Canvas().Handle(),
               source.left, source.top, source.right - source.left, source.bottom - source.top, rop);
}

void TileBitmap(HDC dc, ui::TBitmap& bitmap, const RECT& rect, bool stretch, DWORD rop) {
    if (stretch) {
        StretchBitmap(dc, bitmap, rect, rop, RECT{0, 0, bitmap.Width(), bitmap.Height()});
        return;
    }
    HDC source = bitmap.Canvas().Handle();
    // Every blit reaches to the far corner of the rectangle; the next tile overdraws what a blit copied
    // beyond the bitmap's own size, so the picture repeats and is cut at the right and bottom edges.
    for (int64_t y = rect.top; y < rect.bottom; y += bitmap.Height()) {
        for (int64_t x = rect.left; x < rect.right; x += bitmap.Width()) {
            BitBlt(dc, static_cast<int>(x), static_cast<int>(y), CheckedSum(rect.right - x),
                   CheckedSum(rect.bottom - y), source, 0, 0, rop);
        }
    }
}

void TileBitmapClipped(HDC dc, ui::TBitmap& bitmap, const RECT& layout, const RECT& clip, bool stretch, DWORD rop) {
    if (EqualRect(&layout, &clip)) {
        TileBitmap(dc, bitmap, clip, stretch, rop);
        return;
    }
    ui::SavedDC saved(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    TileBitmap(dc, bitmap, layout, stretch, rop);
}

ui::TControl* GetAncestorControl(ui::TControl* control, uint8_t level) {
    for (int i = 0; i < level && control->Parent() != nullptr; ++i) control = control->Parent();
    return control;
}

void PaintParentBackground(ui::TControl* control, HDC dc) {
    ui::TWinControl* parent = control->Parent();
    if (parent == nullptr) return;
    ui::SavedDC saved(dc);
    POINT origin = control->ClientToScreen(POINT{0, 0});
    ScreenToClient(parent->Handle(), &origin);
    // Relative to the origin already set: a transparent control inside a transparent container adds
    // its own offset to the container's.
    OffsetWindowOrgEx(dc, origin.x, origin.y, nullptr);
    SendMessageA(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    parent->PaintControls(dc);
}

void PaintParentBackgroundClipped(ui::TControl* control, HDC dc, const RECT& rect) {
    ui::SavedDC saved(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    PaintParentBackground(control, dc);
}

void DrawDisabledText(HDC dc, const std::string& text, int x, int y) {
    // Wide, as all text is drawn: the single-byte call reads the font's code page, not the program's UTF-8.
    const std::wstring wide = base::WideText(text);
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(wide.c_str()), static_cast<WPARAM>(wide.size()), x, y, 0,
               0, DST_PREFIXTEXT | DSS_DISABLED);
}

void DrawShadowedText(HDC dc, RECT& textRect, TShadowPosition position, const std::string& text, UINT format,
                      ui::TColor textColor, ui::TColor shadowColor, int size) {
    RECT shadow = textRect;
    switch (position) {
        case spLeftTop:
            OffsetRect(&textRect, size, size);
            break;
        case spLeftBottom:
            OffsetRect(&textRect, size, 0);
            OffsetRect(&shadow, 0, size);
            break;
        case spRightBottom:
            OffsetRect(&shadow, size, size);
            break;
        case spRightTop:
            OffsetRect(&textRect, 0, size);
            OffsetRect(&shadow, size, 0);
            break;
    }
    SetTextColor(dc, ui::ColorToRGB(shadowColor));
    ui::DrawTextOf(dc, text, shadow, format);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ui::ColorToRGB(textColor));
    ui::DrawTextOf(dc, text, textRect, format);
}

void FillGradient(HDC dc, const RECT& rect, ui::TColor startColor, ui::TColor endColor, int steps, bool horizontal) {
    if (steps < 0) return;
    const COLORREF start = ui::ColorToRGB(startColor);
    const COLORREF end = ui::ColorToRGB(endColor);
    const int startRed = GetRValue(start), startGreen = GetGValue(start), startBlue = GetBValue(start);
    const int deltaRed = GetRValue(end) - startRed;
    const int deltaGreen = GetGValue(end) - startGreen;
    const int deltaBlue = GetBValue(end) - startBlue;
    const int nearEdge = horizontal ? rect.left : rect.top;
    const int extent = horizontal ? rect.right - rect.left : rect.bottom - rect.top;
    for (int i = 0; i <= steps; ++i) {
        RECT band = rect;
        // MulDiv rounds to the nearest integer; with steps 0 it answers -1 and every band is empty.
        const int from = CheckedSum(int64_t{nearEdge} + MulDiv(i, extent, steps));
        const int to = CheckedSum(int64_t{nearEdge} + MulDiv(i + 1, extent, steps));
        if (horizontal) {
            band.left = from;
            band.right = to;
        } else {
            band.top = from;
            band.bottom = to;
        }
        ui::BrushHandle brush(CreateSolidBrush(RGB(LowByte(startRed + MulDiv(i, deltaRed, steps)),
                                                   LowByte(startGreen + MulDiv(i, deltaGreen, steps)),
                                                   LowByte(startBlue + MulDiv(i, deltaBlue, steps)))));
        FillRect(dc, &band, brush.Get());
    }
}

ui::TColor InvertColor(ui::TColor color) {
    const COLORREF rgb = ui::ColorToRGB(color);
    return RGB(255 - GetRValue(rgb), 255 - GetGValue(rgb), 255 - GetBValue(rgb));
}

void OffsetRectSides(RECT& rect, int left, int top, int right, int bottom) {
    rect.left = CheckedSum(int64_t{rect.left} + left);
    rect.top = CheckedSum(int64_t{rect.top} + top);
    rect.right = CheckedSum(int64_t{rect.right} + right);
    rect.bottom = CheckedSum(int64_t{rect.bottom} + bottom);
}

bool InvalidateWindowRect(HWND window, const RECT* rect, bool erase) {
    return InvalidateRect(window, rect, erase ? TRUE : FALSE) != FALSE;
}

TShiftState CurrentShiftState() {
    BYTE keys[256] = {};
    TShiftState state;
    if (!GetKeyboardState(keys)) return state;
    const auto down = [&keys](int key) { return (keys[key] & 0x80) != 0; };
    if (down(VK_SHIFT)) state.Include(ssShift);
    if (down(VK_MENU)) state.Include(ssAlt);
    if (down(VK_CONTROL)) state.Include(ssCtrl);
    if (down(VK_LBUTTON)) state.Include(ssLeft);
    if (down(VK_RBUTTON)) state.Include(ssRight);
    if (down(VK_MBUTTON)) state.Include(ssMiddle);
    return state;
}

UINT AlignmentFormat(ui::TAlignment alignment) {
    switch (alignment) {
        case ui::taRightJustify:
            return DT_RIGHT;
        case ui::taCenter:
            return DT_CENTER;
        default:
            return DT_LEFT;
    }
}

UINT BevelEdgeFlags(ui::TBevelCut inner, ui::TBevelCut outer) {
    UINT flags = 0;
    if (inner == ui::bvLowered) flags |= BDR_SUNKENINNER;
    if (inner == ui::bvRaised) flags |= BDR_RAISEDINNER;
    if (outer == ui::bvLowered) flags |= BDR_SUNKENOUTER;
    if (outer == ui::bvRaised) flags |= BDR_RAISEDOUTER;
    return flags;
}

void DrawFlatBorder(HDC dc, ui::TWinControl* control, bool hot, TFlatBorderKind kind) {
    HWND window = control->Handle();
    ui::WindowDC target(window, ui::WindowDC::Whole, dc);
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    RECT r = WindowRectAtOrigin(window);
    FrameRect(target.Get(), &r, face);
    InflateRect(&r, -1, -1);
    FrameRect(target.Get(), &r, face);
    if (hot) {
        InflateRect(&r, 1, 1);
        DrawEdge(target.Get(), &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
    if (kind == TFlatBorderKind::Edit) {
        InflateRect(&r, -1, -1);
    } else {
        // The corner where the scroll bars meet keeps the face colour, and the inner frame runs along the
        // scroll bars rather than over them.
        const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        const int scrollSize = GetSystemMetrics(SM_CYHSCROLL);
        int bars = 0;
        if ((style & WS_VSCROLL) != 0) {
            RECT corner{r.right - scrollSize, r.bottom - 2, r.right, r.bottom - 1};
            FillRect(target.Get(), &corner, face);
            bars = 2;
        }
        if ((style & WS_HSCROLL) != 0) {
            RECT corner{r.right - 2, r.bottom - scrollSize, r.right - 1, r.bottom};
            FillRect(target.Get(), &corner, face);
            bars = bars == 2 ? 3 : 1;
        }
        switch (bars) {
            case 0:
                InflateRect(&r, -1, -1);
                break;
            case 1:
                r.bottom -= 1;
                break;
            case 2:
                r.right -= 1;
                break;
            default:
                r.right -= 1;
                r.bottom -= 1;
                break;
        }
    }
    if (kind != TFlatBorderKind::Grid) FrameRect(target.Get(), &r, GetSysColorBrush(COLOR_WINDOW));
}

void DrawEdgeBorders(HDC dc, ui::TWinControl* control, TEdgeBorders edges, ui::TColor eraseColor, const ui::TPen& pen) {
    if (edges.Empty()) return;
    HWND window = control->Handle();
    ui::WindowDC target(window, ui::WindowDC::Whole, dc);
    const RECT r = WindowRectAtOrigin(window);
    ui::TCanvas canvas;
    ui::CanvasBinding binding(canvas, target.Get());
    if (eraseColor != ui::clNone) {
        canvas.Pen().SetColor(eraseColor);
        canvas.Pen().SetWidth(2);
        TopLine(canvas, r);
        LeftLine(canvas, r);
        RightLine(canvas, r);
        BottomLine(canvas, r);
    }
    canvas.Pen().Assign(pen);
    DrawEdges(canvas, r, edges);
}

void DrawClientEdges(ui::TCanvas& canvas, const RECT& client, TEdgeBorders edges, const ui::TPen& pen) {
    canvas.Pen().Assign(pen);
    DrawEdges(canvas, client, edges);
}

}  // namespace skin
