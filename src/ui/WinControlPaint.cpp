// A window's paint: its own client area, then its children without windows painted into the same DC.
#include "ui/Controls.h"

#include <vector>

namespace ui {

void InvalidateShown(HWND window, const RECT* rect, bool erase) {
    if (IsWindowVisible(window)) InvalidateRect(window, rect, erase ? TRUE : FALSE);
}

void RedrawShown(HWND window, UINT flags) {
    if (IsWindowVisible(window)) RedrawWindow(window, nullptr, nullptr, flags);
}

void TWinControl::PaintHandler(TMessage& message) {
    // A native control paints itself; it has no children of ours painted on it.
    if (native_) {
        DefaultHandler(message);
        return;
    }
    // WM_PRINTCLIENT, and a WM_PAINT that hands over a DC, paint into that DC.
    if (message.WParam != 0) {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        PaintWindow(dc);
        PaintControls(dc);
        return;
    }
    PaintDC paint(handle_);
    PaintWindow(paint.Get());
    PaintControls(paint.Get());
}

void TWinControl::PaintWindow(HDC dc) {
    TMessage message{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(message);
}

void TWinControl::EraseBackground(HDC dc) {
    if (native_) {
        TMessage message{WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0, 0};
        DefaultHandler(message);
        return;
    }
    BrushHandle brush(CreateSolidBrush(ColorToRGB(Color())));
    const RECT client = ClientRect();
    FillRect(dc, &client, brush.Get());
}

void TWinControl::PaintControls(HDC dc) {
    for (TControl* control : std::vector<TControl*>(controls_)) {
        if (control->IsWindowed() || !control->Visible()) continue;
        const RECT bounds = control->BoundsRect();
        if (!RectVisible(dc, &bounds)) continue;
        SavedDC saved(dc);
        POINT origin{};
        GetViewportOrgEx(dc, &origin);
        SetViewportOrgEx(dc, origin.x + bounds.left, origin.y + bounds.top, nullptr);
        IntersectClipRect(dc, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
        static_cast<TGraphicControl*>(control)->PaintTo(dc);
    }
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
    HWND window = Handle();
    SavedDC saved(dc);
    OffsetViewportOrgEx(dc, x, y, nullptr);
    RECT frame{};
    GetWindowRect(window, &frame);
    OffsetRect(&frame, -frame.left, -frame.top);
    IntersectClipRect(dc, 0, 0, frame.right, frame.bottom);
    // The frame as the window manager draws it for the border styles our controls use.
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0)
        DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
    else if ((style & WS_BORDER) != 0)
        DrawEdge(dc, &frame, BDR_OUTER, BF_RECT | BF_MONO);
    POINT client{0, 0};
    ::ClientToScreen(window, &client);
    RECT bounds{};
    GetWindowRect(window, &bounds);
    OffsetViewportOrgEx(dc, client.x - bounds.left, client.y - bounds.top, nullptr);
    const RECT area = ClientRect();
    IntersectClipRect(dc, 0, 0, area.right, area.bottom);
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(window, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    for (TControl* control : std::vector<TControl*>(controls_)) {
        if (!control->IsWindowed() || !control->Visible()) continue;
        auto* child = static_cast<TWinControl*>(control);
        if (child->HandleAllocated()) child->PaintTo(dc, child->Left(), child->Top());
    }
}

void TWinControl::Invalidate() {
    if (handle_ != nullptr) InvalidateShown(handle_, nullptr, true);
}

void TWinControl::Update() {
    if (handle_ != nullptr) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
    if (handle_ != nullptr)
        RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// ---- TCustomControl

void TCustomControl::PaintWindow(HDC dc) {
    CanvasBinding binding(canvas_, dc);
    canvas_.Font().Assign(Font());
    canvas_.Brush().SetColor(Color());
    Paint();
}

}  // namespace ui
