#include "skin/CoolUtils.h"

#include <cstdint>
#include <limits>

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

}  // namespace

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
    const int length = static_cast<int>(text.size());
    SetTextColor(dc, ui::ColorToRGB(shadowColor));
    DrawTextA(dc, text.c_str(), length, &shadow, format);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ui::ColorToRGB(textColor));
    DrawTextA(dc, text.c_str(), length, &textRect, format);
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

UINT BevelEdgeFlags(ui::TBevelCut inner, ui::TBevelCut outer) {
    UINT flags = 0;
    if (inner == ui::bvLowered) flags |= BDR_SUNKENINNER;
    if (inner == ui::bvRaised) flags |= BDR_RAISEDINNER;
    if (outer == ui::bvLowered) flags |= BDR_SUNKENOUTER;
    if (outer == ui::bvRaised) flags |= BDR_RAISEDOUTER;
    return flags;
}

}  // namespace skin
