// A timer that calls its handler from the thread's message loop, without a window of its owner's.
#pragma once

#include <windows.h>

#include "base/Classes.h"
#include "ui/Graphics.h"

namespace ui {

// Calls OnTimer every Interval milliseconds while it is enabled and the interval is above zero. Every
// timer of the GUI thread is a system timer of one hidden message-only window, made when the first timer
// starts and destroyed with the last timer, so that a control whose window is recreated (or that has
// none) keeps its timer.
class TTimer : public base::TComponent {
public:
    explicit TTimer(base::TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned interval);
    // Whether a system timer is counting for this timer now.
    bool Running() const { return running_; }

    TNotifyEvent OnTimer;

private:
    friend struct TimerDispatch;
    void UpdateTimer();

    bool enabled_ = true;
    unsigned interval_ = 1000;
    UINT_PTR id_ = 0;
    bool running_ = false;
};

}  // namespace ui
