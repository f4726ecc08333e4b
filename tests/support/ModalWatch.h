// A timer of the test's thread that looks for a window that a modal call (a system chooser, say) is about
// to open, while that call runs. When the window does not come within the limit, the test fails and every
// dialog box of the thread is cancelled, so that the modal call returns instead of hanging the suite.
#pragma once

#include <windows.h>

#include <functional>

namespace testing_support {

class ModalWatch {
public:
    // `look` runs at every tick and answers true once it has found and handled the window.
    ModalWatch(const char* what, std::function<bool()> look, DWORD limitMs = 15000);
    ~ModalWatch();
    ModalWatch(const ModalWatch&) = delete;
    ModalWatch& operator=(const ModalWatch&) = delete;

private:
    static VOID CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Stop();

    const char* what_;
    std::function<bool()> look_;
    ULONGLONG deadline_;
    UINT_PTR timer_;
};

}  // namespace testing_support
