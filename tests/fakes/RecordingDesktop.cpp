#include "fakes/RecordingDesktop.h"

#include <cwchar>
#include <stdexcept>
#include <utility>

namespace fakes {

namespace {

LONG g_objectsAndLocks = 0;

class RecordingDesktop final : public IActiveDesktop {
public:
    RecordingDesktop(JournalStore& store, int number) : store_(store), number_(number) {
        InterlockedIncrement(&g_objectsAndLocks);
    }
    ~RecordingDesktop() { InterlockedDecrement(&g_objectsAndLocks); }
    RecordingDesktop(const RecordingDesktop&) = delete;
    RecordingDesktop& operator=(const RecordingDesktop&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) ||
            (IsEqualIID(iid, IID_IActiveDesktop) && !store_.Open().State.RefuseInterface)) {
            *out = static_cast<IActiveDesktop*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            --store_.Open().Alive;
            store_.Commit();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE ApplyChanges(DWORD flags) override {
        DesktopCall call = Call("ApplyChanges", flags);
        return Answer(std::move(call), [](DesktopState&) { return S_OK; });
    }

    HRESULT STDMETHODCALLTYPE GetWallpaper(PWSTR wallpaper, UINT units, DWORD flags) override {
        DesktopCall call = Call("GetWallpaper", flags);
        return Answer(std::move(call), [&](DesktopState& state) {
            if (wallpaper == nullptr || units <= state.Wallpaper.size()) return E_INVALIDARG;
            wcscpy(wallpaper, state.Wallpaper.c_str());
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE SetWallpaper(PCWSTR wallpaper, DWORD reserved) override {
        DesktopCall call = Call("SetWallpaper", reserved);
        if (wallpaper != nullptr) {
            // The caller's buffer holds MAX_PATH units; the terminator must come within them.
            size_t length = 0;
            while (length < MAX_PATH && wallpaper[length] != L'\0') ++length;
            call.Text.assign(wallpaper, length);
            call.Terminated = length < MAX_PATH;
        }
        const std::wstring text = call.Text;
        return Answer(std::move(call), [&](DesktopState& state) {
            if (wallpaper == nullptr) return E_INVALIDARG;
            state.Wallpaper = text;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetWallpaperOptions(LPWALLPAPEROPT options, DWORD reserved) override {
        DesktopCall call = Call("GetWallpaperOptions", reserved);
        if (options != nullptr) call.Options = *options;
        return Answer(std::move(call), [&](DesktopState& state) {
            if (options == nullptr || options->dwSize != sizeof(WALLPAPEROPT)) return E_INVALIDARG;
            options->dwStyle = state.Style;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE SetWallpaperOptions(LPCWALLPAPEROPT options, DWORD reserved) override {
        DesktopCall call = Call("SetWallpaperOptions", reserved);
        if (options != nullptr) call.Options = *options;
        return Answer(std::move(call), [&](DesktopState& state) {
            if (options == nullptr || options->dwSize != sizeof(WALLPAPEROPT)) return E_INVALIDARG;
            state.Style = options->dwStyle;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetDesktopItemOptions(LPCOMPONENTSOPT options, DWORD reserved) override {
        DesktopCall call = Call("GetDesktopItemOptions", reserved);
        if (options != nullptr) call.Components = *options;
        return Answer(std::move(call), [&](DesktopState& state) {
            if (options == nullptr || options->dwSize != sizeof(COMPONENTSOPT)) return E_INVALIDARG;
            options->fEnableComponents = state.EnableComponents;
            options->fActiveDesktop = state.ActiveDesktop;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE SetDesktopItemOptions(LPCCOMPONENTSOPT options, DWORD reserved) override {
        DesktopCall call = Call("SetDesktopItemOptions", reserved);
        if (options != nullptr) call.Components = *options;
        return Answer(std::move(call), [&](DesktopState& state) {
            if (options == nullptr || options->dwSize != sizeof(COMPONENTSOPT)) return E_INVALIDARG;
            state.EnableComponents = options->fEnableComponents;
            state.ActiveDesktop = options->fActiveDesktop;
            return S_OK;
        });
    }

    // The rest of the interface is recorded and refused: the program has no business with it.
    HRESULT STDMETHODCALLTYPE GetPattern(PWSTR, UINT, DWORD) override { return Refuse("GetPattern"); }
    HRESULT STDMETHODCALLTYPE SetPattern(PCWSTR, DWORD) override { return Refuse("SetPattern"); }
    HRESULT STDMETHODCALLTYPE AddDesktopItem(LPCCOMPONENT, DWORD) override { return Refuse("AddDesktopItem"); }
    HRESULT STDMETHODCALLTYPE AddDesktopItemWithUI(HWND, LPCOMPONENT, DWORD) override {
        return Refuse("AddDesktopItemWithUI");
    }
    HRESULT STDMETHODCALLTYPE ModifyDesktopItem(LPCCOMPONENT, DWORD) override { return Refuse("ModifyDesktopItem"); }
    HRESULT STDMETHODCALLTYPE RemoveDesktopItem(LPCCOMPONENT, DWORD) override { return Refuse("RemoveDesktopItem"); }
    HRESULT STDMETHODCALLTYPE GetDesktopItemCount(int*, DWORD) override { return Refuse("GetDesktopItemCount"); }
    HRESULT STDMETHODCALLTYPE GetDesktopItem(int, LPCOMPONENT, DWORD) override { return Refuse("GetDesktopItem"); }
    HRESULT STDMETHODCALLTYPE GetDesktopItemByID(ULONG_PTR, LPCOMPONENT, DWORD) override {
        return Refuse("GetDesktopItemByID");
    }
    HRESULT STDMETHODCALLTYPE GenerateDesktopItemHtml(PCWSTR, LPCOMPONENT, DWORD) override {
        return Refuse("GenerateDesktopItemHtml");
    }
    HRESULT STDMETHODCALLTYPE AddUrl(HWND, PCWSTR, LPCOMPONENT, DWORD) override { return Refuse("AddUrl"); }
    HRESULT STDMETHODCALLTYPE GetDesktopItemBySource(PCWSTR, LPCOMPONENT, DWORD) override {
        return Refuse("GetDesktopItemBySource");
    }

private:
    DesktopCall Call(const char* method, DWORD argument) const {
        DesktopCall call;
        call.Object = number_;
        call.Method = method;
        call.Argument = argument;
        return call;
    }

    // Records the call with its answer. The change runs against the current state unless the stand-in
    // plays a desktop without Active Desktop, which answers E_NOTIMPL to everything.
    template <typename Change>
    HRESULT Answer(DesktopCall call, Change change) {
        DesktopJournal& journal = store_.Open();
        call.Answer = journal.State.NotImplemented ? E_NOTIMPL : change(journal.State);
        const HRESULT answer = call.Answer;
        journal.Calls.push_back(std::move(call));
        store_.Commit();
        return answer;
    }

    HRESULT Refuse(const char* method) {
        return Answer(Call(method, 0), [](DesktopState&) { return E_NOTIMPL; });
    }

    JournalStore& store_;
    const int number_;
    LONG references_ = 1;
};

class RecordingFactory final : public IClassFactory {
public:
    explicit RecordingFactory(JournalStore& store) : store_(store) {}
    RecordingFactory(const RecordingFactory&) = delete;
    RecordingFactory& operator=(const RecordingFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        DesktopJournal& journal = store_.Open();
        const DesktopState& state = journal.State;
        if (state.FailFromCreation != 0 && journal.Created + 1 >= state.FailFromCreation) {
            DesktopCall refused;
            refused.Method = "CreateInstance";
            refused.Answer = state.CreateFailure;
            journal.Calls.push_back(refused);
            store_.Commit();
            return refused.Answer;
        }
        const int number = ++journal.Created;
        ++journal.Alive;
        store_.Commit();
        auto* object = new RecordingDesktop(store_, number);
        const HRESULT answer = object->QueryInterface(iid, out);
        object->Release();
        return answer;
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            InterlockedIncrement(&g_objectsAndLocks);
        else
            InterlockedDecrement(&g_objectsAndLocks);
        return S_OK;
    }

private:
    JournalStore& store_;
    LONG references_ = 1;
};

}  // namespace

IClassFactory* NewRecordingFactory(JournalStore& store) {
    return new RecordingFactory(store);
}

bool RecordingObjectsInUse() {
    return InterlockedCompareExchange(&g_objectsAndLocks, 0, 0) != 0;
}

InProcessDesktop::InProcessDesktop() : factory_(NewRecordingFactory(store_)) {
    const HRESULT registered =
        CoRegisterClassObject(CLSID_ActiveDesktop, factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
    if (FAILED(registered)) {
        factory_->Release();
        throw std::runtime_error("CoRegisterClassObject failed");
    }
}

InProcessDesktop::~InProcessDesktop() {
    CoRevokeClassObject(cookie_);
    factory_->Release();
}

}  // namespace fakes
