#include "ui/Accessible.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "base/Boundary.h"
#include "base/SysUtils.h"
#include "base/SystemLibrary.h"

namespace ui {

namespace {

// oleacc.dll is not one of the system's known DLLs, so the exe does not import it: it is loaded from the
// system folder when a reader first asks a window of ours.
template <typename Function>
Function Oleacc(const char* name) {
    return SystemFunction<Function>("oleacc.dll", name);
}

// The readers' strings come from oleaut32.dll, loaded the same way: the exe does not import it, so a run
// that no reader looks at does not load it.
template <typename Function>
Function Automation(const char* name) {
    return SystemFunction<Function>("oleaut32.dll", name);
}

struct ReleaseInterface {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};
using StandardObject = std::unique_ptr<IAccessible, ReleaseInterface>;

// The reader's text, which comes back to it as a string it frees.
HRESULT Answer(const std::string& text, BSTR* out) {
    const int length = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(units) + 1);
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), units);
    static const auto allocate = Automation<decltype(&SysAllocStringLen)>("SysAllocStringLen");
    *out = allocate(wide.data(), static_cast<UINT>(units));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, int child) {
    *out = VARIANT{};
    if (child <= 0) return;
    out->vt = VT_I4;
    out->lVal = child;
}

}  // namespace

// The object a reader holds. It answers from the control's description while connected and leaves the
// window's own part to the standard object; a call of a reader that still holds it after the window has
// gone is answered as not connected. The interfaces are private bases: the object reaches a reader only
// as the interface pointers it hands out itself, and is deleted only by its last Release.
class TAccessibleObject final : private IAccessible, private IOleWindow, private IEnumVARIANT {
public:
    TAccessibleObject(HWND window, TAccessibleInfo& info, StandardObject standard)
        : window_(window), info_(&info), standard_(std::move(standard)) {}
    TAccessibleObject(const TAccessibleObject&) = delete;
    TAccessibleObject& operator=(const TAccessibleObject&) = delete;

    IAccessible* Interface() { return this; }
    HWND Window() const { return window_; }
    bool Describes(const TAccessibleInfo& info) const { return info_ == &info; }

    void Disconnect() noexcept {
        info_ = nullptr;
        windows_.reset();
        standard_.reset();
        // A reader in another process reaches the object through a stub that holds it; letting go of
        // the stub's references frees the object now rather than when that reader lets go.
        CoDisconnectObject(static_cast<IAccessible*>(this), 0);
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
        } else if (iid == __uuidof(IOleWindow)) {
            *out = static_cast<IOleWindow*>(this);
        } else if (iid == __uuidof(IEnumVARIANT)) {
            *out = static_cast<IEnumVARIANT*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: readers call IAccessible directly; there is no type information to script it by.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IOleWindow: how a reader finds the window of an object (WindowFromAccessibleObject).
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) return E_POINTER;
        *window = info_ != nullptr ? window_ : nullptr;
        return info_ != nullptr ? S_OK : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Call([&] { return standard_->get_accParent(parent); });
    }
    // The children are the elements, then the child windows the standard object counts.
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return Call([&] {
            const HRESULT result = standard_->get_accChildCount(count);
            if (SUCCEEDED(result)) *count += info_->AccessibleChildCount();
            return result;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return Call([&] {
            if (Element(child) <= 0) return standard_->get_accChild(child, object);
            // A simple element is no object of its own: the reader asks this object about it by its id.
            *object = nullptr;
            return S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, &TAccessibleInfo::AccessibleName, &IAccessible::get_accName);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, value, &TAccessibleInfo::AccessibleValue, &IAccessible::get_accValue);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return Text(child, text, nullptr, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Call([&] {
            const int element = Element(child);
            if (element < 0) return standard_->get_accRole(child, role);
            *role = VARIANT{};
            role->vt = VT_I4;
            role->lVal = info_->AccessibleRole(element);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Call([&] {
            const int element = Element(child);
            if (element < 0) return standard_->get_accState(child, state);
            long bits = info_->AccessibleState(element);
            if (element == 0) {
                // The standard object's state is a number, which holds nothing to free.
                VARIANT window{};
                if (SUCCEEDED(standard_->get_accState(child, &window)) && window.vt == VT_I4) bits |= window.lVal;
            } else {
                if (element == info_->AccessibleFocus() && GetFocus() == window_) bits |= STATE_SYSTEM_FOCUSED;
                if (element == info_->AccessibleSelection()) bits |= STATE_SYSTEM_SELECTED;
                if (!IsWindowEnabled(window_)) bits |= STATE_SYSTEM_UNAVAILABLE;
            }
            *state = VARIANT{};
            state->vt = VT_I4;
            state->lVal = bits;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return Text(child, help, nullptr, &IAccessible::get_accHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return Call([&] {
            if (Element(child) <= 0) return standard_->get_accHelpTopic(file, child, topic);
            *file = nullptr;
            *topic = 0;
            return S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Text(child, shortcut, &TAccessibleInfo::AccessibleShortcut, &IAccessible::get_accKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return Call([&] {
            const int element = info_->AccessibleChildCount() > 0 ? info_->AccessibleFocus() : 0;
            if (element <= 0 || GetFocus() != window_) return standard_->get_accFocus(focus);
            SetChild(focus, element);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return Call([&] {
            if (info_->AccessibleChildCount() == 0) return standard_->get_accSelection(selection);
            const int element = info_->AccessibleSelection();
            SetChild(selection, element);
            return element > 0 ? S_OK : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(child, action, &TAccessibleInfo::AccessibleDefaultAction, &IAccessible::get_accDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return Call([&] {
            const int element = Element(child);
            if (element <= 0) return standard_->accSelect(flags, child);
            return info_->SelectAccessible(element, flags) ? S_OK : DISP_E_MEMBERNOTFOUND;
        });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return Call([&] {
            const int element = Element(child);
            if (element <= 0) return standard_->accLocation(left, top, width, height, child);
            RECT bounds = info_->AccessibleBounds(element);
            MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
            *left = bounds.left;
            *top = bounds.top;
            *width = bounds.right - bounds.left;
            *height = bounds.bottom - bounds.top;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return Call([&] {
            const int element = Element(start);
            const int count = info_->AccessibleChildCount();
            const bool intoElements =
                element == 0 && count > 0 && (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD);
            if (element < 0 || (element == 0 && !intoElements)) return standard_->accNavigate(direction, start, end);
            // Among the elements only in their order: they have no children, and where they lie beside
            // each other on the screen is not known here.
            int to = 0;
            if (direction == NAVDIR_FIRSTCHILD && element == 0) to = 1;
            if (direction == NAVDIR_LASTCHILD && element == 0) to = count;
            if (direction == NAVDIR_NEXT && element > 0 && element < count) to = element + 1;
            if (direction == NAVDIR_PREVIOUS && element > 1) to = element - 1;
            SetChild(end, to);
            return to > 0 ? S_OK : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        return Call([&] {
            const HRESULT result = standard_->accHitTest(x, y, hit);
            // The standard object finds the window's client area or a child window; which element of the
            // client area is under the point only the description knows.
            if (FAILED(result) || hit->vt != VT_I4 || hit->lVal != CHILDID_SELF) return result;
            POINT point{x, y};
            ScreenToClient(window_, &point);
            for (int element = 1, count = info_->AccessibleChildCount(); element <= count; ++element) {
                const RECT bounds = info_->AccessibleBounds(element);
                if (PtInRect(&bounds, point)) {
                    SetChild(hit, element);
                    break;
                }
            }
            return result;
        });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Call([&] {
            const int element = Element(child);
            if (element >= 0 && info_->AccessibleDefaultAction(element)) {
                info_->DoAccessibleDefaultAction(element);
                return S_OK;
            }
            return element > 0 ? DISP_E_MEMBERNOTFOUND : standard_->accDoDefaultAction(child);
        });
    }
    // IEnumVARIANT: how a reader lists the children (AccessibleChildren): the elements by their ids, then
    // the child windows' objects from the standard object's own list.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        return Call([&] {
            ULONG done = 0;
            const int elements = info_->AccessibleChildCount();
            for (; done < count && nextElement_ < elements; ++done) SetChild(&items[done], ++nextElement_);
            if (done < count && Windows() != nullptr) {
                ULONG more = 0;
                if (SUCCEEDED(windows_->Next(count - done, items + done, &more))) done += more;
            }
            if (fetched != nullptr) *fetched = done;
            return done == count ? S_OK : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        return Call([&] {
            const ULONG elements = static_cast<ULONG>(info_->AccessibleChildCount());
            const ULONG skipped = std::min(count, elements - std::min(elements, static_cast<ULONG>(nextElement_)));
            nextElement_ += static_cast<int>(skipped);
            if (skipped == count) return S_OK;
            return Windows() != nullptr ? windows_->Skip(count - skipped) : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        return Call([&] {
            nextElement_ = 0;
            return Windows() != nullptr ? windows_->Reset() : S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
        if (copy != nullptr) *copy = nullptr;
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return Call([&] { return standard_->put_accName(child, name); });
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return Call([&] { return standard_->put_accValue(child, value); });
    }

private:
    ~TAccessibleObject() = default;

    // Every call of a reader: refused once disconnected; an exception of the control's answer ends here,
    // shown as every error of a window procedure is. The object stays alive through the call even if the
    // control's action destroys the window and with it the control's reference.
    template <typename Work>
    HRESULT Call(Work&& work) {
        if (info_ == nullptr) return CO_E_OBJNOTCONNECTED;
        AddRef();
        HRESULT result = E_FAIL;
        Guarded([&] { result = work(); });
        Release();
        return result;
    }

    // The element a reader names: 0 for the control itself, 1 .. the element count, -1 for an id the
    // description does not know (a child window's, which the standard object answers).
    int Element(const VARIANT& child) const {
        if (child.vt == VT_EMPTY) return CHILDID_SELF;
        if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > info_->AccessibleChildCount()) return -1;
        return static_cast<int>(child.lVal);
    }

    // The standard object's list of the child windows, asked for once.
    IEnumVARIANT* Windows() {
        if (windows_ == nullptr) {
            IEnumVARIANT* windows = nullptr;
            if (SUCCEEDED(standard_->QueryInterface(IID_PPV_ARGS(&windows)))) windows_.reset(windows);
        }
        return windows_.get();
    }

    using InfoText = std::optional<std::string> (TAccessibleInfo::*)(int) const;
    using StandardText = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);

    // A text property: the description's answer where it has one; else the standard object's for the
    // window, and none for an element.
    HRESULT Text(VARIANT child, BSTR* out, InfoText answer, StandardText standard) {
        return Call([&] {
            const int element = Element(child);
            const std::optional<std::string> text =
                element >= 0 && answer != nullptr ? (info_->*answer)(element) : std::nullopt;
            if (text) return Answer(*text, out);
            if (element <= 0) return (standard_.get()->*standard)(child, out);
            *out = nullptr;
            return S_FALSE;
        });
    }

    LONG references_ = 1;
    HWND window_;
    TAccessibleInfo* info_;
    StandardObject standard_;
    std::unique_ptr<IEnumVARIANT, ReleaseInterface> windows_;
    // The next element the list gives, counted from 0.
    int nextElement_ = 0;
};

std::string StripAccelerator(const std::string& caption) {
    std::string name;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') ++i;
        if (i < caption.size()) name += caption[i];
    }
    return name;
}

std::string ShortcutFromCaption(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        // The whole character after the mark, which in UTF-8 may be more than one byte.
        return "Alt+" + UpperCaseText(caption.substr(i + 1, CharacterBytes(caption, i + 1)));
    }
    return std::string();
}

bool TAccessible::AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, TAccessibleInfo& info, LRESULT& result) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) return false;
    using CreateFunction = decltype(&CreateStdAccessibleObject);
    using MarshalFunction = decltype(&LresultFromObject);
    CreateFunction create = nullptr;
    MarshalFunction marshal = nullptr;
    try {
        static const auto createStandard = Oleacc<CreateFunction>("CreateStdAccessibleObject");
        static const auto marshalObject = Oleacc<MarshalFunction>("LresultFromObject");
        create = createStandard;
        marshal = marshalObject;
    } catch (const Exception&) {
        // Without the system's accessibility library no reader can read any object: the default
        // handling answers as for any window.
        return false;
    }
    // A window made anew since (or a description that is not the one the object reads) gets a new object.
    if (object_ != nullptr && (object_->Window() != window || !object_->Describes(info))) Disconnect();
    if (object_ == nullptr) {
        IAccessible* standard = nullptr;
        if (FAILED(create(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))))
            return false;
        object_ = new TAccessibleObject(window, info, StandardObject(standard));
    }
    result = marshal(__uuidof(IAccessible), wParam, object_->Interface());
    return true;
}

void TAccessible::Disconnect() noexcept {
    if (object_ == nullptr) return;
    object_->Disconnect();
    object_->Release();
    object_ = nullptr;
}

void NotifyAccessibleEvent(DWORD event, HWND window, int child) {
    if (window != nullptr) NotifyWinEvent(event, window, OBJID_CLIENT, child);
}

}  // namespace ui
