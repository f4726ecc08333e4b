#include "ui/ComCtrls.h"

#include <commctrl.h>

#include <string>

#include "ui/CommonControls.h"

namespace ui {

TProgressBar::TProgressBar(base::TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 150, 16);
    InitCommonControlClasses(ICC_PROGRESS_CLASS);
}

void TProgressBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SuperclassOf = PROGRESS_CLASSA;
    if (smooth_) params.Style |= PBS_SMOOTH;
}

void TProgressBar::WndProc(TMessage& message) {
    // The program asks for no version 6 of the common controls, so Windows draws this bar classic, with
    // a sunken edge. Wine 8's controls theme every bar regardless, and the theme stretches nine images
    // with halftone filtering at each step: about a millisecond a step, the largest single cost of a
    // run. The bar settles its look and its edge as it is created, so the theme goes before that.
    // (" ": Wine refuses an empty name.)
    if (message.Msg == WM_CREATE) SetWindowThemeNames(Handle(), L" ", L" ");
    TWinControl::WndProc(message);
}

void TProgressBar::CreateHandleDone() {
    SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    SendMessageA(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
    SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
    if (HandleAllocated()) SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
}

void TProgressBar::SetStep(int step) {
    step_ = step;
    if (HandleAllocated()) SendMessageA(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

int TProgressBar::Position() const {
    auto* self = const_cast<TProgressBar*>(this);
    if (self->HandleAllocated()) return static_cast<int>(SendMessageA(self->Handle(), PBM_GETPOS, 0, 0));
    return position_;
}

std::optional<std::string> TProgressBar::AccessibleValue(int child) const {
    if (child != CHILDID_SELF || max_ <= min_) return std::nullopt;
    const long long done = static_cast<long long>(Position() - min_) * 100 / (max_ - min_);
    return std::to_string(done) + "%";
}

void TProgressBar::SetPosition(int position) {
    position_ = position;
    if (HandleAllocated()) SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void TProgressBar::SetSmooth(bool smooth) {
    if (smooth == smooth_) return;
    smooth_ = smooth;
    RecreateWnd();
}

void TProgressBar::StepIt() {
    if (HandleAllocated()) {
        SendMessageA(Handle(), PBM_STEPIT, 0, 0);
        position_ = Position();
        return;
    }
    position_ += step_;
    if (position_ > max_) position_ = min_ + (position_ - max_);
}

}  // namespace ui
