// The in-process server that stands in for the shell's desktop object in the test Wine prefix; see
// RecordingDesktop.h for how it is told what to do and where it writes what it saw.
#include <memory>
#include <vector>

#include "fakes/RecordingDesktop.h"

namespace {

// The wide call: under the UTF-8 code page Wine 8's single-byte one ends the text where its length in
// UTF-16 units ends (a path with "ę" came back one byte short).
std::unique_ptr<fakes::JournalStore> MakeStore() {
    std::vector<wchar_t> path(32768);
    const DWORD length =
        GetEnvironmentVariableW(L"TAMBERLYN_TEST_DESKTOP", path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return std::make_unique<fakes::MemoryStore>();
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(length), &narrow[0], bytes, nullptr, nullptr);
    return std::make_unique<fakes::FileStore>(narrow);
}

// One factory for the life of the process; COM's references to it come and go.
IClassFactory* Factory() {
    static const std::unique_ptr<fakes::JournalStore> store = MakeStore();
    static IClassFactory* const factory = fakes::NewRecordingFactory(*store);
    return factory;
}

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_ActiveDesktop)) return CLASS_E_CLASSNOTAVAILABLE;
    return Factory()->QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return fakes::RecordingObjectsInUse() ? S_FALSE : S_OK;
}
