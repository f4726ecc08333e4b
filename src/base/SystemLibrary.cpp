#include "base/SystemLibrary.h"

#include <map>
#include <string>

#include "base/SysUtils.h"

namespace base {

namespace {

// From the system folder only: a DLL of the same name beside the exe or in the current folder is never
// taken for it.
HMODULE LoadSystemLibrary(const char* library) {
    static std::map<std::string, HMODULE> loaded;
    const auto found = loaded.find(library);
    if (found != loaded.end()) return found->second;
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) throw EOSError(GetLastError());
    HMODULE module = LoadLibraryW((std::wstring(folder) + L"\\" + WideText(library)).c_str());
    if (module == nullptr)
        throw Exception(Format("%s could not be loaded: %s", library, SysErrorMessage(GetLastError()).c_str()));
    loaded[library] = module;
    return module;
}

}  // namespace

FARPROC SystemProc(const char* library, const char* name) {
    FARPROC proc = GetProcAddress(LoadSystemLibrary(library), name);
    if (proc == nullptr) throw Exception(Format("%s has no %s", library, name));
    return proc;
}

}  // namespace base
