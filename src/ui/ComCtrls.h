// The native progress bar, superclassed under our class name.
#pragma once

#include "ui/Controls.h"

namespace ui {

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(base::TComponent* owner);

    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetRange(int min, int max);
    int Step() const { return step_; }
    void SetStep(int step);
    int Position() const;
    void SetPosition(int position);
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool smooth);
    // Advances the position by the step (wrapping past the maximum, as the native bar does).
    void StepIt();

    // The standard object knows the native bar only by our class name: the bar says what it is itself.
    long AccessibleRole(int child) const override { return ROLE_SYSTEM_PROGRESSBAR; }
    std::optional<std::string> AccessibleValue(int child) const override;

protected:
    const char* ClassName() const override { return "TProgressBar"; }
    void WndProc(TMessage& message) override;
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;

private:
    int min_ = 0;
    int max_ = 100;
    int step_ = 10;
    int position_ = 0;
    bool smooth_ = false;
};

}  // namespace ui
