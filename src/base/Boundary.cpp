#include "base/Boundary.h"

#include <stdexcept>
#include <utility>

namespace base {

namespace {

TExceptionHandler exceptionHandler = nullptr;
TMessageFilter messageFilter = nullptr;

}  // namespace

TExceptionHandler SetExceptionHandler(TExceptionHandler handler) {
    return std::exchange(exceptionHandler, handler);
}

void ReportException(const std::exception& error) noexcept {
    try {
        if (exceptionHandler != nullptr) exceptionHandler(error);
    } catch (...) {
        // The error box could not be shown (no memory for its text, say): the error still ends here.
    }
}

void ReportUnknownException() noexcept {
    try {
        ReportException(std::runtime_error("Unknown error"));
    } catch (...) {
    }
}

void SetMessageFilter(TMessageFilter filter) {
    messageFilter = filter;
}

void DispatchQueuedMessage(const MSG& message) {
    bool used = false;
    // A key whose handler failed was still taken by it: it goes no further.
    if (messageFilter != nullptr && !Guarded([&] { used = messageFilter(message); })) used = true;
    if (used) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool DispatchWaitingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        DispatchQueuedMessage(message);
    }
    return true;
}

}  // namespace base
