#include "ui/Timer.h"

#include <map>

#include "base/Boundary.h"
#include "base/SysUtils.h"
#include "ui/Controls.h"

namespace ui {

// The timers of the GUI thread by their system timer id, and the hidden window their ticks arrive at.
struct TimerDispatch {
    static std::map<UINT_PTR, TTimer*>& Timers() {
        static std::map<UINT_PTR, TTimer*> timers;
        return timers;
    }

    static HWND& Window() {
        static HWND window = nullptr;
        return window;
    }

    static HWND WindowNeeded() {
        HWND& window = Window();
        if (window != nullptr) return window;
        window = CreateMessageWindow("TamberlynTimerWindow", &TimerDispatch::WindowProcedure);
        return window;
    }

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg != WM_TIMER) return DefWindowProcA(window, msg, wParam, lParam);
        const auto found = Timers().find(static_cast<UINT_PTR>(wParam));
        // A tick already queued when its timer stopped or went away is dropped.
        if (found == Timers().end() || !found->second->running_) return 0;
        TTimer* timer = found->second;
        // A handler may set a new handler: the one called is a copy.
        const TNotifyEvent handler = timer->OnTimer;
        if (handler) base::Guarded(handler);
        return 0;
    }
};

TTimer::TTimer(base::TComponent* owner) : base::TComponent(owner) {
    static UINT_PTR nextId = 1;
    id_ = nextId++;
    TimerDispatch::Timers()[id_] = this;
    UpdateTimer();
}

TTimer::~TTimer() {
    enabled_ = false;
    UpdateTimer();
    TimerDispatch::Timers().erase(id_);
    if (TimerDispatch::Timers().empty() && TimerDispatch::Window() != nullptr) {
        DestroyWindow(TimerDispatch::Window());
        TimerDispatch::Window() = nullptr;
    }
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned interval) {
    if (interval == interval_) return;
    interval_ = interval;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (running_) {
        KillTimer(TimerDispatch::Window(), id_);
        running_ = false;
    }
    if (!enabled_ || interval_ == 0) return;
    // A new period or a restart counts from now.
    if (SetTimer(TimerDispatch::WindowNeeded(), id_, interval_, nullptr) == 0) throw base::EOSError(GetLastError());
    running_ = true;
}

}  // namespace ui
