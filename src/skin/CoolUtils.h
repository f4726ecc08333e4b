// The skinned controls' shared ground: the stateless drawing routines, with the sets, enumerations,
// caption shadow, window-procedure hooks and multi-state glyph they build on.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "skin/CaptionShadow.h"
#include "skin/Glyph.h"
#include "skin/Set.h"
#include "skin/SkinTypes.h"
#include "skin/WndHook.h"
#include "ui/Controls.h"
#include "ui/Graphics.h"

namespace skin {

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
// The system's engraved look of disabled text, its accelerator underlined, from the given point.
void DrawDisabledText(HDC dc, const std::string& text, int x, int y);
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
// The DrawText flag that aligns text as the alignment says.
UINT AlignmentFormat(ui::TAlignment alignment);
// The window's rectangle with its top-left corner at 0, 0.
RECT WindowRectAtOrigin(HWND window);

// What lines the bottom-right corner of a flat border: an edit has no scroll bars to make room for, a
// list box or memo may have both, and a grid leaves its window-colour inner frame out.
enum class TFlatBorderKind { Edit, Scrolling, Grid };

// The flat two-pixel non-client frame of edit-like controls, raised as a sunken line when hot. Without a
// DC it draws on the control's window DC.
void DrawFlatBorder(HDC dc, ui::TWinControl* control, bool hot, TFlatBorderKind kind = TFlatBorderKind::Edit);
// Lines along the chosen edges of the control's window, after the erase colour (unless clNone) has been
// painted under all four edges. Without a DC it draws on the control's window DC.
void DrawEdgeBorders(HDC dc, ui::TWinControl* control, TEdgeBorders edges, ui::TColor eraseColor, const ui::TPen& pen);
// Lines along the chosen edges of a client rectangle, with the canvas's pen set to the given one.
void DrawClientEdges(ui::TCanvas& canvas, const RECT& client, TEdgeBorders edges, const ui::TPen& pen);

}  // namespace skin
