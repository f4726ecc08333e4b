#include "core/WindowRoutines.h"

#include <algorithm>

#include "base/Boundary.h"

namespace core {

void SetFormOnTop(HWND window, bool on) {
    SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

namespace {

class SystemClock : public PauseClock {
public:
    SYSTEMTIME LocalTime() override {
        SYSTEMTIME now;
        GetLocalTime(&now);
        return now;
    }
    uint64_t MonotonicMilliseconds() override { return GetTickCount64(); }
    // The same step as the application's loops take, dialog keys included.
    void DispatchWaitingMessages() override { base::DispatchWaitingMessages(); }
    void WaitForMessages(DWORD milliseconds) override {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
    }
};

struct TimeOfDay {
    int hours, minutes, seconds, milliseconds;

    int64_t Milliseconds() const {
        return ((static_cast<int64_t>(hours) * 60 + minutes) * 60 + seconds) * 1000 + milliseconds;
    }
};

TimeOfDay TimeOfDayOf(const SYSTEMTIME& time) {
    return TimeOfDay{time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

// The time of day n hundredths after start, carried field by field; past 23 hours the hour wraps to 0.
TimeOfDay TargetAfter(const TimeOfDay& start, int hundredths) {
    TimeOfDay target = start;
    target.milliseconds += hundredths * 10;
    while (target.milliseconds > 999) {
        target.milliseconds -= 1000;
        ++target.seconds;
    }
    while (target.seconds > 59) {
        target.seconds -= 60;
        ++target.minutes;
    }
    if (target.minutes > 59) {
        target.minutes -= 60;
        ++target.hours;
        if (target.hours > 23) target.hours = 0;
    }
    return target;
}

// Short enough that waiting messages are still dispatched promptly, long enough not to spin.
constexpr DWORD kLongestWait = 10;

}  // namespace

PauseClock& SystemPauseClock() {
    static SystemClock clock;
    return clock;
}

void DelayHundredths(int n, PauseClock& clock) {
    n = std::min(std::max(n, 0), kLongestPause);
    const SYSTEMTIME start = clock.LocalTime();
    const uint64_t startTick = clock.MonotonicMilliseconds();
    const uint64_t length = static_cast<uint64_t>(n) * 10;
    const int64_t target = TargetAfter(TimeOfDayOf(start), n).Milliseconds();
    for (;;) {
        const SYSTEMTIME now = clock.LocalTime();
        const int64_t timeOfDay = TimeOfDayOf(now).Milliseconds();
        const uint64_t elapsed = clock.MonotonicMilliseconds() - startTick;
        if (timeOfDay >= target || !SameDay(now, start) || elapsed >= length) return;
        clock.DispatchWaitingMessages();
        const uint64_t left = std::min<uint64_t>(static_cast<uint64_t>(target - timeOfDay), length - elapsed);
        clock.WaitForMessages(static_cast<DWORD>(std::min<uint64_t>(left, kLongestWait)));
    }
}

void DelayHundredths(int n) {
    DelayHundredths(n, SystemPauseClock());
}

}  // namespace core
