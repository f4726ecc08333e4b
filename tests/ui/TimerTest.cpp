#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>

#include "ui/Timer.h"

namespace {

// Dispatches the thread's messages until the condition holds or the time is up; whether it held.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    return true;
}

void PumpFor(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

TEST(Timer, TicksFromTheMessageLoopOnlyWhileEnabledWithAnInterval) {
    ui::TTimer timer(nullptr);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_TRUE(timer.Running());
    int ticks = 0;
    timer.OnTimer = [&ticks] { ++ticks; };
    timer.SetInterval(10);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, 3000));

    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
    const int stopped = ticks;
    PumpFor(100);
    EXPECT_EQ(ticks, stopped);

    timer.SetInterval(0);
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Running()) << "no period, no ticks";
    PumpFor(50);
    EXPECT_EQ(ticks, stopped);
}

TEST(Timer, ATickAlreadyTakenFromTheQueueWhenTheTimerStoppedIsDropped) {
    ui::TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&ticks] { ++ticks; };
    timer.SetInterval(1);
    // A tick taken from the queue, not yet dispatched, when the timer stops.
    MSG tick{};
    const DWORD start = GetTickCount();
    while (!PeekMessageA(&tick, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        ASSERT_LT(GetTickCount() - start, 3000u);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_TIMER);
    }
    timer.SetEnabled(false);
    DispatchMessageA(&tick);
    EXPECT_EQ(ticks, 0);
}

TEST(Timer, TimersTickIndependentlyAndOneMayDestroyItselfInItsHandler) {
    {
        auto fast = std::make_unique<ui::TTimer>(nullptr);
        ui::TTimer slow(nullptr);
        int fastTicks = 0, slowTicks = 0;
        fast->SetInterval(5);
        fast->OnTimer = [&] {
            if (++fastTicks == 2) fast.reset();
        };
        slow.SetInterval(60);
        slow.OnTimer = [&slowTicks] { ++slowTicks; };
        EXPECT_TRUE(PumpUntil([&] { return slowTicks >= 2; }, 3000));
        EXPECT_EQ(fast, nullptr);
        EXPECT_EQ(fastTicks, 2) << "a destroyed timer ticks no more";
    }
    // Every timer is gone, and with them the window their ticks came to; a new timer makes it anew.
    ui::TTimer later(nullptr);
    int laterTicks = 0;
    later.SetInterval(5);
    later.OnTimer = [&laterTicks] { ++laterTicks; };
    EXPECT_TRUE(PumpUntil([&] { return laterTicks >= 1; }, 3000));
}

}  // namespace
