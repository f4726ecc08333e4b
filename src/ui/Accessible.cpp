#include "ui/Accessible.h"

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "base/SysUtils.h"
#include "base/SystemLibrary.h"

namespace ui {

namespace {

// oleacc.dll is not one of the system's known DLLs, so the exe does not import it: it is loaded from the
// system folder when a reader first asks a window of ours.
template <typename Function>
Function Oleacc(const char* name) {
    return base::SystemFunction<Function>("oleacc.dll", name);
}

// The readers' strings come from oleaut32.dll, loaded the same way: the exe does not import it, so a run
// that no reader looks at does not load it.
template <typename Function>
Function Automation(const char* name) {
    return base::SystemFunction<Function>("oleaut32.dll", name);
}

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

// The child windows of a window, in the order the standard object counts them.
std::vector<HWND> ChildWindows(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

}  // namespace

// The object a reader holds. It answers from the control's description while connected and leaves the
// window's own part to the standard object; a call of a reader that still holds it after the window has
// gone is answered as not connected. Every request of a reader makes one, with its own place in the list
// of children (IEnumVARIANT): several readers, or a reader and the system's automation bridge, each walk
// the children through their own. The interfaces are private bases: the object reaches a reader only as
// the interface pointers it hands out itself, and is deleted only by its last Release.
//
// The ids a reader names children by: 0 for the control itself, 1 .. the element count for the elements,
// and after them the child windows. The standard object numbers the child windows from 1, so an id after
// the elements reaches it less the element count, and one it answers comes back plus that count. (That is
// Windows' numbering; Wine's standard object refuses every child-window id.)
class TAccessibleObject final : private IAccessible, private IOleWindow, private IEnumVARIANT {
public:
    TAccessibleObject(TAccessible& home, ULONG position)
        : home_(&home), window_(home.window_), info_(home.info_), standard_(home.standard_), position_(position) {
        standard_->AddRef();
        home.objects_.push_back(this);
    }
    TAccessibleObject(const TAccessibleObject&) = delete;
    TAccessibleObject& operator=(const TAccessibleObject&) = delete;

    IAccessible* Interface() { return this; }

    void Disconnect() noexcept {
        home_ = nullptr;
        info_ = nullptr;
        ReleaseStandard();
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
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return Call([&] {
            *count = static_cast<long>(ChildCount());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return Call([&] {
            if (Element(child) <= 0) return standard_->get_accChild(ToStandard(child), object);
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
            if (element < 0) return standard_->get_accRole(ToStandard(child), role);
            *role = VARIANT{};
            role->vt = VT_I4;
            role->lVal = info_->AccessibleRole(element);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Call([&] {
            const int element = Element(child);
            if (element < 0) return standard_->get_accState(ToStandard(child), state);
            *state = VARIANT{};
            state->vt = VT_I4;
            state->lVal = State(element);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return Text(child, help, nullptr, &IAccessible::get_accHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return Call([&] {
            if (Element(child) <= 0) return standard_->get_accHelpTopic(file, ToStandard(child), topic);
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
            const int element = info_->AccessibleFocus();
            if (element <= 0 || element > info_->AccessibleChildCount() || GetFocus() != window_)
                return FromStandard(standard_->get_accFocus(focus), focus);
            SetChild(focus, element);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return Call([&] {
            if (info_->AccessibleChildCount() == 0)
                return FromStandard(standard_->get_accSelection(selection), selection);
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
            if (element <= 0) return standard_->accSelect(flags, ToStandard(child));
            return info_->SelectAccessible(element, flags) ? S_OK : DISP_E_MEMBERNOTFOUND;
        });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return Call([&] {
            const int element = Element(child);
            if (element <= 0) return standard_->accLocation(left, top, width, height, ToStandard(child));
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
            if (element < 0 || (element == 0 && !intoElements))
                return FromStandard(standard_->accNavigate(direction, ToStandard(start), end), end);
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
            const HRESULT result = FromStandard(standard_->accHitTest(x, y, hit), hit);
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
    // A control that takes no input (disabled, or on a form under a modal window) performs no action: the
    // answer the documentation gives for a control that does not.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Call([&] {
            const int element = Element(child);
            if (element < 0) return standard_->accDoDefaultAction(ToStandard(child));
            if (!info_->AccessibleDefaultAction(element))
                return element > 0 ? DISP_E_MEMBERNOTFOUND : standard_->accDoDefaultAction(ToStandard(child));
            if ((State(element) & STATE_SYSTEM_UNAVAILABLE) != 0) return DISP_E_MEMBERNOTFOUND;
            info_->DoAccessibleDefaultAction(element);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return Call([&] { return standard_->put_accName(ToStandard(child), name); });
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return Call([&] { return standard_->put_accValue(ToStandard(child), value); });
    }

    // IEnumVARIANT: how a reader lists the children (AccessibleChildren): the elements by their ids, then
    // the child windows' own objects, as the standard object lists them.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        if (fetched != nullptr) *fetched = 0;
        return Call([&] {
            static const auto objectFromWindow =
                Oleacc<decltype(&AccessibleObjectFromWindow)>("AccessibleObjectFromWindow");
            const ULONG elements = static_cast<ULONG>(info_->AccessibleChildCount());
            const std::vector<HWND> windows = ChildWindows(window_);
            const ULONG start = position_;
            ULONG done = 0;
            for (; done < count && position_ < elements + windows.size(); ++done, ++position_) {
                VARIANT& item = items[done];
                SetChild(&item, static_cast<int>(position_) + 1);
                if (position_ < elements) continue;
                IDispatch* object = nullptr;
                const HRESULT result = objectFromWindow(windows[position_ - elements], OBJID_WINDOW, IID_IDispatch,
                                                        reinterpret_cast<void**>(&object));
                if (FAILED(result)) {
                    ForgetItems(items, done);
                    position_ = start;
                    return result;
                }
                item.vt = VT_DISPATCH;
                item.pdispVal = object;
            }
            if (fetched != nullptr) *fetched = done;
            return done == count ? S_OK : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        return Call([&] {
            const ULONG total = ChildCount();
            const ULONG skipped = std::min(count, total - std::min(total, position_));
            position_ += skipped;
            return skipped == count ? S_OK : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        return Call([&] {
            position_ = 0;
            return S_OK;
        });
    }
    // A copy that goes on from where this one stands, as another object of the same window.
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
        if (copy == nullptr) return E_POINTER;
        *copy = nullptr;
        return Call([&] {
            *copy = static_cast<IEnumVARIANT*>(new TAccessibleObject(*home_, position_));
            return S_OK;
        });
    }

private:
    ~TAccessibleObject() {
        if (home_ != nullptr) home_->Forget(this);
        ReleaseStandard();
    }

    void ReleaseStandard() noexcept {
        if (standard_ != nullptr) standard_->Release();
        standard_ = nullptr;
    }

    // Every call of a reader: refused once disconnected. An error of the control's answer ends here as a
    // failed call, written where a debugger sees it: a box would open inside the reader's call, which
    // waits for it and cannot read it. The object stays alive through the call even if the control's
    // action destroys the window and with it the control's reference.
    template <typename Work>
    HRESULT Call(Work&& work) noexcept {
        if (info_ == nullptr) return CO_E_OBJNOTCONNECTED;
        AddRef();
        HRESULT result = E_FAIL;
        try {
            result = work();
        } catch (const std::exception& error) {
            Log(error.what());
        } catch (...) {
            Log("Unknown error");
        }
        Release();
        return result;
    }

    // In pieces: a message put together could itself fail for want of memory.
    static void Log(const char* error) noexcept {
        OutputDebugStringA("A screen reader's call failed: ");
        OutputDebugStringA(error);
        OutputDebugStringA("\n");
    }

    // The element a reader names: 0 for the control itself, 1 .. the element count, -1 for an id the
    // description does not know (a child window's, which the standard object answers).
    int Element(const VARIANT& child) const {
        if (child.vt == VT_EMPTY) return CHILDID_SELF;
        if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > info_->AccessibleChildCount()) return -1;
        return static_cast<int>(child.lVal);
    }
    VARIANT ToStandard(VARIANT child) const {
        // The standard object knows the control itself only as the number 0.
        if (child.vt == VT_EMPTY) {
            child.vt = VT_I4;
            child.lVal = CHILDID_SELF;
        }
        if (child.vt == VT_I4 && child.lVal > info_->AccessibleChildCount())
            child.lVal -= info_->AccessibleChildCount();
        return child;
    }
    HRESULT FromStandard(HRESULT result, VARIANT* child) const {
        if (SUCCEEDED(result) && child->vt == VT_I4 && child->lVal > 0) child->lVal += info_->AccessibleChildCount();
        return result;
    }

    ULONG ChildCount() const {
        return static_cast<ULONG>(info_->AccessibleChildCount()) + static_cast<ULONG>(ChildWindows(window_).size());
    }

    // The control's state and the window's: unavailable while the window takes no input.
    long State(int element) const {
        long bits = info_->AccessibleState(element);
        if (element == 0) {
            // The standard object's state is a number, which holds nothing to free.
            VARIANT window{};
            if (SUCCEEDED(standard_->get_accState(ToStandard(VARIANT{}), &window)) && window.vt == VT_I4)
                bits |= window.lVal;
        } else {
            if (element == info_->AccessibleFocus() && GetFocus() == window_) bits |= STATE_SYSTEM_FOCUSED;
            if (element == info_->AccessibleSelection()) bits |= STATE_SYSTEM_SELECTED;
        }
        if (!WindowTakesInput(window_)) bits = (bits & ~STATE_SYSTEM_FOCUSABLE) | STATE_SYSTEM_UNAVAILABLE;
        return bits;
    }

    static void ForgetItems(VARIANT* items, ULONG count) {
        for (ULONG i = 0; i < count; ++i) {
            if (items[i].vt == VT_DISPATCH) items[i].pdispVal->Release();
            items[i] = VARIANT{};
        }
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
            if (element <= 0) return (standard_->*standard)(ToStandard(child), out);
            *out = nullptr;
            return S_FALSE;
        });
    }

    LONG references_ = 1;
    TAccessible* home_;
    HWND window_;
    TAccessibleInfo* info_;
    IAccessible* standard_;
    // The next child the list gives, counted from 0.
    ULONG position_;
};

bool WindowTakesInput(HWND window) {
    if (window == nullptr || !IsWindow(window)) return false;
    for (HWND at = window; at != nullptr; at = GetAncestor(at, GA_PARENT)) {
        if (!IsWindowEnabled(at)) return false;
        if ((GetWindowLongA(at, GWL_STYLE) & WS_CHILD) == 0) break;
    }
    return true;
}

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
        return "Alt+" + base::UpperCaseText(caption.substr(i + 1, base::CharacterBytes(caption, i + 1)));
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
    } catch (const base::Exception&) {
        // Without the system's accessibility library no reader can read any object: the default
        // handling answers as for any window.
        return false;
    }
    // A window made anew since (or a description that is not the one the objects read): the objects of
    // the old one are disconnected.
    if (window != window_ || &info != info_) Disconnect();
    if (standard_ == nullptr) {
        IAccessible* standard = nullptr;
        if (FAILED(create(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))))
            return false;
        standard_ = standard;
        window_ = window;
        info_ = &info;
    }
    // The marshalled reference keeps the object until the reader takes it, or until the window goes.
    auto* object = new TAccessibleObject(*this, 0);
    result = marshal(__uuidof(IAccessible), wParam, object->Interface());
    object->Interface()->Release();
    return true;
}

void TAccessible::Disconnect() noexcept {
    const std::vector<TAccessibleObject*> objects = std::move(objects_);
    objects_.clear();
    for (TAccessibleObject* object : objects) {
        // Held through its disconnection, which may let go of its last reader.
        object->Interface()->AddRef();
        object->Disconnect();
        object->Interface()->Release();
    }
    if (standard_ != nullptr) standard_->Release();
    standard_ = nullptr;
    window_ = nullptr;
    info_ = nullptr;
}

void TAccessible::Forget(TAccessibleObject* object) noexcept {
    objects_.erase(std::remove(objects_.begin(), objects_.end(), object), objects_.end());
}

void NotifyAccessibleEvent(DWORD event, HWND window, int child) {
    if (window != nullptr) NotifyWinEvent(event, window, OBJID_CLIENT, child);
}

}  // namespace ui
