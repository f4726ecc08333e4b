#include "support/SymbolicLink.h"

#include <windows.h>

#include "base/SysUtils.h"

namespace testing_support {

namespace {

using UnixFileName = char*(CDECL*)(const wchar_t*);

UnixFileName WineUnixFileName() {
    return reinterpret_cast<UnixFileName>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
}

std::string UnixPath(UnixFileName unixFileName, const std::string& path) {
    char* name = unixFileName(base::WideText(path).c_str());
    if (name == nullptr) return std::string();
    const std::string unix(name);
    HeapFree(GetProcessHeap(), 0, name);
    return unix;
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(base::WideText(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whether the name comes to lead somewhere (or nowhere) within a few seconds.
bool Becomes(const std::string& path, bool existing) {
    for (int wait = 0; wait < 500 && Exists(path) != existing; ++wait) Sleep(10);
    return Exists(path) == existing;
}

// Starts a Unix program of /bin under Wine, which runs a Unix executable as it is; its process handle says
// nothing of it (it is signalled at once, with exit code 2), so callers wait for what it does.
void RunUnix(const std::string& program, const std::string& arguments) {
    std::wstring command = base::WideText("/bin/" + program + " " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(base::WideText("Z:\\bin\\" + program).c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace

SymbolicLink::SymbolicLink(const std::string& link, const std::string& target) : link_(link) {
    if (const UnixFileName unixFileName = WineUnixFileName()) {
        RunUnix("ln", "-s \"" + UnixPath(unixFileName, target) + "\" \"" + UnixPath(unixFileName, link) + "\"");
        made_ = Becomes(link, true);
    } else {
        const DWORD unprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
        made_ =
            CreateSymbolicLinkW(base::WideText(link).c_str(), base::WideText(target).c_str(), unprivileged) != FALSE;
    }
}

SymbolicLink::~SymbolicLink() {
    if (!made_) return;
    if (const UnixFileName unixFileName = WineUnixFileName()) {
        RunUnix("rm", "-f \"" + UnixPath(unixFileName, link_) + "\"");
        Becomes(link_, false);
    } else {
        DeleteFileW(base::WideText(link_).c_str());
    }
}

}  // namespace testing_support
