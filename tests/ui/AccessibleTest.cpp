#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/Boundary.h"
#include "ui/Accessible.h"

namespace {

using Text = std::optional<std::string>;

// A check box with two radio items, as a control would describe itself.
struct FakeDescription : ui::TAccessibleInfo {
    long AccessibleRole(int child) const override { return child ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_CHECKBUTTON; }
    Text AccessibleName(int child) const override {
        if (failing) throw std::runtime_error("no name");
        return child == 0 ? ui::StripAccelerator(caption) : "Item 2";
    }
    Text AccessibleValue(int child) const override { return child == 2 ? Text("two") : std::nullopt; }
    Text AccessibleDefaultAction(int child) const override { return child == 0 ? Text("Check") : std::nullopt; }
    Text AccessibleShortcut(int child) const override { return ui::ShortcutFromCaption(caption); }
    long AccessibleState(int child) const override { return child ? STATE_SYSTEM_SELECTABLE : STATE_SYSTEM_CHECKED; }
    void DoAccessibleDefaultAction(int child) override { actions.push_back(child); }
    int AccessibleChildCount() const override { return 2; }
    RECT AccessibleBounds(int child) const override { return RECT{10, 20 * child, 60, 20 * child + 15}; }
    int AccessibleSelection() const override { return selected; }
    bool SelectAccessible(int child, long flags) override { return (selected = child) > 0; }

    std::string caption = "&Save && close";
    std::vector<int> actions;
    int selected = 1;
    bool failing = false;
};

// A raw window whose procedure answers WM_GETOBJECT as a control's will.
struct DescribedWindow {
    DescribedWindow() {
        WNDCLASSA type{};
        type.lpfnWndProc = Procedure;
        type.hInstance = GetModuleHandleA(nullptr);
        type.lpszClassName = "AccessibleTestWindow";
        RegisterClassA(&type);
        current = this;
        handle = CreateWindowA(type.lpszClassName, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                               nullptr, type.hInstance, nullptr);
    }
    ~DescribedWindow() { DestroyWindow(handle); }
    static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        LRESULT result = 0;
        if (msg == WM_GETOBJECT && current->accessible.AnswerGetObject(window, wParam, lParam, current->info, result))
            return result;
        return DefWindowProcA(window, msg, wParam, lParam);
    }

    static inline DescribedWindow* current = nullptr;
    FakeDescription info;
    ui::TAccessible accessible;
    HWND handle = nullptr;
};

VARIANT Child(long id) {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A text property as the reader gets it, with the call's result.
using TextProperty = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
std::pair<HRESULT, std::wstring> Read(IAccessible* object, TextProperty property, long child) {
    BSTR text = nullptr;
    const HRESULT result = (object->*property)(Child(child), &text);
    const std::pair<HRESULT, std::wstring> read{result,
                                                text != nullptr ? std::wstring(text, SysStringLen(text)) : L"(none)"};
    SysFreeString(text);
    return read;
}

long Number(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, VARIANT*), long child) {
    VARIANT answer{};
    (object->*property)(Child(child), &answer);
    return answer.vt == VT_I4 ? answer.lVal : -1;
}

TEST(Accessible, AReaderReadsTheDescriptionOfAWindowUntilItIsDisconnected) {
    EXPECT_EQ(ui::ShortcutFromCaption("e&xit"), "Alt+X");
    EXPECT_EQ(ui::ShortcutFromCaption("Fish && chips"), "");
    EXPECT_EQ(ui::StripAccelerator("&&&Fish"), "&Fish");
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    DescribedWindow window;
    EXPECT_FALSE(window.accessible.HasObject()) << "nothing is made before a reader asks for the client";
    IAccessible* object = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(window.handle, OBJID_CLIENT, IID_PPV_ARGS(&object)), S_OK);
    // Wine's role words differ from Windows' ("check button"): the numbers are what a reader compares.
    EXPECT_EQ(Number(object, &IAccessible::get_accRole, 0), ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_EQ(Read(object, &IAccessible::get_accName, 0).second, L"Save & close");
    const long state = STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSABLE;  // the latter the standard object's
    EXPECT_EQ(Number(object, &IAccessible::get_accState, 0) & state, state);
    EXPECT_EQ(Read(object, &IAccessible::get_accDefaultAction, 0).second, L"Check");
    EXPECT_EQ(object->accDoDefaultAction(Child(0)), S_OK);
    EXPECT_EQ(window.info.actions, std::vector<int>{0});
    EXPECT_EQ(Read(object, &IAccessible::get_accKeyboardShortcut, 0).second, L"Alt+S");
    long count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 2);
    IDispatch* element = object;
    EXPECT_EQ(object->get_accChild(Child(2), &element), S_FALSE);
    EXPECT_EQ(element, nullptr);
    EXPECT_EQ(Read(object, &IAccessible::get_accName, 2).second, L"Item 2");
    EXPECT_EQ(Read(object, &IAccessible::get_accValue, 2).second, L"two");
    EXPECT_EQ(Read(object, &IAccessible::get_accValue, 1), std::make_pair(S_FALSE, std::wstring(L"(none)")));
    EXPECT_EQ(Number(object, &IAccessible::get_accRole, 2), ROLE_SYSTEM_RADIOBUTTON);
    EXPECT_EQ(Number(object, &IAccessible::get_accState, 2), STATE_SYSTEM_SELECTABLE);
    EXPECT_EQ(object->accSelect(SELFLAG_TAKESELECTION, Child(2)), S_OK);
    EXPECT_EQ(Number(object, &IAccessible::get_accState, 2), STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_SELECTED);
    long left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(object->accLocation(&left, &top, &width, &height, Child(0)), S_OK);
    EXPECT_GT(width * height, 0) << "the window's place comes from the standard object";
    POINT origin{0, 0};
    ClientToScreen(window.handle, &origin);
    EXPECT_EQ(object->accLocation(&left, &top, &width, &height, Child(2)), S_OK);
    EXPECT_EQ(std::vector<long>({left, top, width, height}), std::vector<long>({origin.x + 10, origin.y + 40, 50, 15}));
    VARIANT hit{};
    EXPECT_EQ(object->accHitTest(left + 5, top + 5, &hit), S_OK);
    EXPECT_EQ(hit.lVal, 2);
    // A disabled window performs no action; a failing answer is a failed call, never a box the reader waits on.
    EnableWindow(window.handle, FALSE);
    EXPECT_EQ(object->accDoDefaultAction(Child(0)), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Number(object, &IAccessible::get_accState, 2),
              STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_SELECTED | STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(window.info.actions, std::vector<int>{0});
    const base::TExceptionHandler shown =
        base::SetExceptionHandler([](const std::exception&) { ADD_FAILURE() << "a box opened in a reader's call"; });
    window.info.failing = true;
    EXPECT_EQ(Read(object, &IAccessible::get_accName, 0).first, E_FAIL);
    base::SetExceptionHandler(shown);
    window.accessible.Disconnect();
    EXPECT_EQ(Read(object, &IAccessible::get_accName, 0).first, CO_E_OBJNOTCONNECTED);
    object->Release();
    ASSERT_EQ(AccessibleObjectFromWindow(window.handle, OBJID_CLIENT, IID_PPV_ARGS(&object)), S_OK);
    EXPECT_EQ(Number(object, &IAccessible::get_accRole, 0), ROLE_SYSTEM_CHECKBUTTON) << "a later request, a new object";
    object->Release();
    CoUninitialize();
}

std::vector<std::pair<DWORD, LONG>> heard;

void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (window == DescribedWindow::current->handle && object == OBJID_CLIENT) heard.emplace_back(event, child);
}

TEST(Accessible, EventsRaisedForAWindowReachAReadersHook) {
    DescribedWindow window;
    const std::unique_ptr<std::remove_pointer_t<HWINEVENTHOOK>, decltype(&UnhookWinEvent)> hook(
        SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, nullptr, Hear, GetCurrentProcessId(), 0,
                        WINEVENT_OUTOFCONTEXT),
        UnhookWinEvent);
    ui::NotifyAccessibleEvent(EVENT_OBJECT_FOCUS, window.handle, 2);
    ui::NotifyAccessibleEvent(EVENT_OBJECT_STATECHANGE, window.handle);
    // An out-of-context hook hears of events through its thread's queue.
    for (const DWORD start = GetTickCount(); heard.size() < 2 && GetTickCount() - start < 3000; Sleep(10)) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    EXPECT_EQ(heard, (std::vector<std::pair<DWORD, LONG>>{{EVENT_OBJECT_FOCUS, 2}, {EVENT_OBJECT_STATECHANGE, 0}}));
}

}  // namespace
