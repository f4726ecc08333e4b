// Functions of system DLLs that only a chooser or a help request needs, loaded when first called: a run
// that opens no dialog does not pay for loading them (and what they load in turn) at every start.
#pragma once

#include <windows.h>

namespace base {

// The function of the DLL in the system folder; the DLL is loaded on the first call and stays. Throws
// base::Exception when the DLL or the function is missing.
FARPROC SystemProc(const char* library, const char* name);

template <typename Function>
Function SystemFunction(const char* library, const char* name) {
    return reinterpret_cast<Function>(SystemProc(library, name));
}

}  // namespace base
