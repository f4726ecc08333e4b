#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/WindowRoutines.h"

namespace {

// A clock that moves only when the pause waits: each wait advances both clocks by the time asked for
// (or by a fixed tick, to model a coarse clock).
class FakeClock : public core::PauseClock {
public:
    FakeClock(int year, int month, int day, int hour, int minute, int second, int millisecond) {
        now_.wYear = static_cast<WORD>(year);
        now_.wMonth = static_cast<WORD>(month);
        now_.wDay = static_cast<WORD>(day);
        now_.wHour = static_cast<WORD>(hour);
        now_.wMinute = static_cast<WORD>(minute);
        now_.wSecond = static_cast<WORD>(second);
        now_.wMilliseconds = static_cast<WORD>(millisecond);
    }

    SYSTEMTIME LocalTime() override { return now_; }
    uint64_t MonotonicMilliseconds() override { return tick_; }
    void DispatchWaitingMessages() override { ++dispatches; }
    void WaitForMessages(DWORD milliseconds) override {
        waits.push_back(milliseconds);
        if (onFirstWait) {
            auto once = std::move(onFirstWait);
            onFirstWait = nullptr;
            once();
        }
        const DWORD step = fixedStep != 0 ? fixedStep : milliseconds;
        Advance(step);
        tick_ += step;
        ASSERT_LT(waits.size(), 100000u) << "the pause does not end";
    }

    // Moves the local time only, as a user changing the clock would.
    void Advance(DWORD milliseconds) {
        FILETIME file;
        SystemTimeToFileTime(&now_, &file);
        ULARGE_INTEGER value{};
        value.LowPart = file.dwLowDateTime;
        value.HighPart = file.dwHighDateTime;
        value.QuadPart += static_cast<ULONGLONG>(milliseconds) * 10000;
        file.dwLowDateTime = value.LowPart;
        file.dwHighDateTime = value.HighPart;
        FileTimeToSystemTime(&file, &now_);
    }

    void SetLocalTime(const SYSTEMTIME& time) { now_ = time; }
    uint64_t Elapsed() const { return tick_; }
    std::function<void()> onFirstWait;

    int dispatches = 0;
    DWORD fixedStep = 0;
    std::vector<DWORD> waits;

private:
    SYSTEMTIME now_{};
    uint64_t tick_ = 0;
};

TEST(DelayHundredths, ZeroReturnsAtOnce) {
    FakeClock clock(2026, 12, 7, 12, 0, 0, 0);
    core::DelayHundredths(0, clock);
    EXPECT_TRUE(clock.waits.empty());
    EXPECT_EQ(clock.dispatches, 0);
}

TEST(DelayHundredths, WaitsTheLengthDispatchingOnEveryTurnWithoutSpinning) {
    FakeClock clock(2026, 12, 7, 12, 0, 59, 990);
    core::DelayHundredths(50, clock);
    EXPECT_EQ(clock.Elapsed(), 500u);
    // Each turn dispatches what is waiting, then sleeps until a message comes or a short while passes.
    EXPECT_EQ(clock.dispatches, static_cast<int>(clock.waits.size()));
    for (DWORD wait : clock.waits) {
        EXPECT_GT(wait, 0u);
        EXPECT_LE(wait, 10u);
    }
}

TEST(DelayHundredths, LongerPausesCountAs6400) {
    FakeClock clock(2026, 12, 7, 10, 0, 0, 0);
    core::DelayHundredths(7000, clock);
    EXPECT_EQ(clock.Elapsed(), 64000u);
}

TEST(DelayHundredths, CarriesSecondsMinutesAndHours) {
    FakeClock clock(2026, 12, 7, 10, 59, 59, 500);
    core::DelayHundredths(100, clock);
    EXPECT_EQ(clock.Elapsed(), 1000u);
    EXPECT_EQ(clock.LocalTime().wHour, 11);
    EXPECT_EQ(clock.LocalTime().wSecond, 0);
    EXPECT_EQ(clock.LocalTime().wMilliseconds, 500);
}

TEST(DelayHundredths, TargetPastMidnightEndsAtOnce) {
    FakeClock clock(2026, 12, 7, 23, 59, 59, 800);
    core::DelayHundredths(50, clock);
    EXPECT_TRUE(clock.waits.empty());
}

TEST(DelayHundredths, CoarseClockJumpingPastMidnightEndsThePause) {
    // The target 23:59:59.995 lies between two ticks of a clock that advances 16 ms at a time; the
    // time of day restarts at 0 below the target, and only the new date tells that it has passed.
    FakeClock clock(2026, 12, 7, 23, 59, 59, 985);
    clock.fixedStep = 16;
    core::DelayHundredths(1, clock);
    EXPECT_EQ(clock.waits.size(), 1u);
    EXPECT_EQ(clock.LocalTime().wDay, 8);
}

TEST(DelayHundredths, ClockSetBackDoesNotStretchThePause) {
    FakeClock clock(2026, 12, 7, 12, 0, 0, 0);
    clock.onFirstWait = [&clock] {
        SYSTEMTIME earlier = clock.LocalTime();
        earlier.wHour = 11;
        clock.SetLocalTime(earlier);
    };
    core::DelayHundredths(50, clock);
    EXPECT_EQ(clock.Elapsed(), 500u);
}

}  // namespace
