// The two window routines every window of the program uses: staying on top, and pausing while painting.
#pragma once

#include <windows.h>

#include <cstdint>

namespace core {

// Makes a window topmost or not, keeping its position and size; a refusal is ignored.
void SetFormOnTop(HWND window, bool on);

// What a pause needs of the machine: the local time, a clock that only moves forward, and the
// thread's message queue.
class PauseClock {
public:
    virtual ~PauseClock() = default;
    virtual SYSTEMTIME LocalTime() = 0;
    virtual uint64_t MonotonicMilliseconds() = 0;
    virtual void DispatchWaitingMessages() = 0;
    // Returns when a message arrives or the time is up, whichever comes first.
    virtual void WaitForMessages(DWORD milliseconds) = 0;
};

// The machine's own clock and queue; dispatching re-posts a quit request for the loop that owns it.
PauseClock& SystemPauseClock();

constexpr int kLongestPause = 6400;

// Waits n hundredths of a second (at most 6400) while waiting window messages are dispatched, so
// that windows keep painting. The target is a time of day; a target that wraps past midnight is
// already reached. The pause also ends when the date changes or the pause's length has elapsed on
// the monotonic clock, so that no change of the clock makes it last into the next day.
void DelayHundredths(int n, PauseClock& clock);
void DelayHundredths(int n);

}  // namespace core
