#include "support/ModalWatch.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace testing_support {

namespace {

// A thread timer carries no context: one watch at a time.
ModalWatch* active = nullptr;

BOOL CALLBACK CancelDialogBox(HWND window, LPARAM) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770") PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

}  // namespace

ModalWatch::ModalWatch(const char* what, std::function<bool()> look, DWORD limitMs)
    : what_(what), look_(std::move(look)), deadline_(GetTickCount64() + limitMs) {
    active = this;
    timer_ = SetTimer(nullptr, 0, 50, &ModalWatch::Tick);
}

ModalWatch::~ModalWatch() {
    Stop();
    if (active == this) active = nullptr;
}

void ModalWatch::Stop() {
    if (timer_ != 0) KillTimer(nullptr, timer_);
    timer_ = 0;
}

VOID CALLBACK ModalWatch::Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    ModalWatch* watch = active;
    if (watch == nullptr || watch->timer_ != timer) {
        KillTimer(nullptr, timer);
        return;
    }
    if (watch->look_()) {
        watch->Stop();
    } else if (GetTickCount64() > watch->deadline_) {
        watch->Stop();
        ADD_FAILURE() << watch->what_ << " did not come within the time limit";
        EnumThreadWindows(GetCurrentThreadId(), CancelDialogBox, 0);
    }
}

}  // namespace testing_support
