// A window's bounds and the places of its aligned children in its client area.
#include "ui/Controls.h"

#include <vector>

namespace ui {

void TWinControl::SetBounds(int left, int top, int width, int height) {
    if (left == Left() && top == Top() && width == Width() && height == Height()) return;
    SetBoundsQuiet(left, top, width, height);
    if (handle_ != nullptr) SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    RequestAlign();
    AlignControls();
}

RECT TWinControl::ClientRect() const {
    RECT client{0, 0, Width(), Height()};
    if (handle_ != nullptr) GetClientRect(handle_, &client);
    return client;
}

void TWinControl::AlignControls() {
    RECT rest = ClientRect();
    for (TControl* control : std::vector<TControl*>(controls_)) {
        if (!control->Visible() || control->Align() == alNone) continue;
        int left = control->Left(), top = control->Top(), width = control->Width(), height = control->Height();
        switch (control->Align()) {
            case alTop:
                left = rest.left, top = rest.top, width = rest.right - rest.left;
                rest.top += height;
                break;
            case alBottom:
                left = rest.left, top = rest.bottom - height, width = rest.right - rest.left;
                rest.bottom -= height;
                break;
            case alLeft:
                left = rest.left, top = rest.top, height = rest.bottom - rest.top;
                rest.left += width;
                break;
            case alRight:
                left = rest.right - width, top = rest.top, height = rest.bottom - rest.top;
                rest.right -= width;
                break;
            case alClient:
                left = rest.left, top = rest.top, width = rest.right - rest.left, height = rest.bottom - rest.top;
                break;
            case alNone:
                break;
        }
        if (left == control->Left() && top == control->Top() && width == control->Width() &&
            height == control->Height())
            continue;
        const TAlign align = control->align_;
        // Placing an aligned child must not ask for another alignment pass.
        control->align_ = alNone;
        control->SetBounds(left, top, width, height);
        control->align_ = align;
    }
}

}  // namespace ui
