// Where the system calls our code: window procedures, timer and hook windows, the keyboard step of the
// message loops, shell and dialog callbacks. Nothing thrown in our code may unwind into user32 or COM,
// so every such entry runs its work through Guarded, which ends every exception there.
#pragma once

#include <windows.h>

#include <exception>
#include <utility>

namespace base {

// Shows an exception to the user; the form layer installs the application's error box. Setting one
// answers the one it replaces.
using TExceptionHandler = void (*)(const std::exception& error);
TExceptionHandler SetExceptionHandler(TExceptionHandler handler);

// Hands the exception to the handler; an exception that the handler itself throws ends here too.
void ReportException(const std::exception& error) noexcept;
// For what is not a std::exception: the same box with a plain message.
void ReportUnknownException() noexcept;

// Runs the work and ends every exception it throws at this point, shown through the handler. True when
// the work returned normally.
template <typename Work>
bool Guarded(Work&& work) noexcept {
    try {
        std::forward<Work>(work)();
        return true;
    } catch (const std::exception& error) {
        ReportException(error);
    } catch (...) {
        ReportUnknownException();
    }
    return false;
}

// The keyboard step of every message loop (the dialog keys of the form a message is headed for): true
// when it used the message up. The form layer installs it; without one nothing is filtered.
using TMessageFilter = bool (*)(const MSG& message);
void SetMessageFilter(TMessageFilter filter);

// The one step by which our loops hand a message on: the filter first, then translation and dispatch. Every
// loop takes its messages in their wide form (GetMessageW, PeekMessageW): a character typed for a Unicode
// window then reaches it whole, where the single-byte form would cut it into the code page's bytes; a
// single-byte window gets its messages converted as the system always converts them.
void DispatchQueuedMessage(const MSG& message);

// Dispatches every message waiting now without waiting for more. A quit request is put back for the loop
// that owns the thread and ends the step: the answer is then false.
bool DispatchWaitingMessages();

}  // namespace base
