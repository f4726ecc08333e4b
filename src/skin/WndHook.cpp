#include "skin/WndHook.h"

#include <algorithm>
#include <array>
#include <exception>
#include <utility>

#include "base/Boundary.h"
#include "base/SysUtils.h"

namespace skin {

namespace {

// A window procedure carries no pointer of its own, yet each hook needs a procedure that is its own
// (a chain of hooks is told apart by procedure address) and that finds its hook. Instead of machine-code
// thunks, which would be specific to one processor, there is a fixed set of distinct procedures, one per
// slot; a slot lends its procedure to one hook at a time. A slot given back keeps passing messages to
// the procedure its last hook called on, so that a window still holding it keeps working; a slot that a
// window may still hold (another subclasser sat above the hook when it left) is never lent again.
constexpr int kSlotCount = 64;

struct Slot {
    TWndHook* hook = nullptr;
    WNDPROC passOn = nullptr;
    bool pinned = false;
};

std::array<Slot, kSlotCount> slots;
THookList* hookList = nullptr;

const char kListWindowClass[] = "THookListWindow";

}  // namespace

struct HookDispatch {
    static LRESULT Call(int slot, HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        TWndHook* hook = slots[static_cast<size_t>(slot)].hook;
        if (hook == nullptr) {
            WNDPROC passOn = slots[static_cast<size_t>(slot)].passOn;
            return passOn != nullptr ? CallWindowProcA(passOn, window, msg, wParam, lParam)
                                     : DefWindowProcA(window, msg, wParam, lParam);
        }
        ui::TMessage message{msg, wParam, lParam, 0};
        if (!base::Guarded([&] { hook->HookWndProc(window, message); })) message.Result = 0;
        return message.Result;
    }
};

namespace {

template <int N>
LRESULT CALLBACK SlotProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    return HookDispatch::Call(N, window, msg, wParam, lParam);
}

template <int... N>
constexpr std::array<WNDPROC, sizeof...(N)> MakeSlotProcedures(std::integer_sequence<int, N...>) {
    return {{&SlotProcedure<N>...}};
}

const std::array<WNDPROC, kSlotCount> slotProcedures =
    MakeSlotProcedures(std::make_integer_sequence<int, kSlotCount>{});

int AcquireSlot(TWndHook* hook) {
    for (int i = 0; i < kSlotCount; ++i) {
        Slot& slot = slots[static_cast<size_t>(i)];
        if (slot.hook == nullptr && !slot.pinned) {
            slot.hook = hook;
            slot.passOn = nullptr;
            return i;
        }
    }
    throw base::Exception("Too many window hooks");
}

void ReleaseSlot(int index, WNDPROC passOn, bool pinned) {
    Slot& slot = slots[static_cast<size_t>(index)];
    slot.hook = nullptr;
    slot.passOn = passOn;
    slot.pinned = pinned;
}

}  // namespace

// ---- TWndHook

TWndHook::TWndHook(base::TComponent* owner) : base::TComponent(owner) {
    if (hookList == nullptr) hookList = new THookList();
    hookList->hooks_.push_back(this);
}

TWndHook::~TWndHook() {
    SetWinControl(nullptr);
    // A hook whose control went away without telling it may still sit on a window.
    if (hookProcedure_ != nullptr) hookList->ServeUnhook(this);
    auto& hooks = hookList->hooks_;
    hooks.erase(std::remove(hooks.begin(), hooks.end(), this), hooks.end());
    if (hooks.empty()) {
        delete hookList;
        hookList = nullptr;
    }
}

HWND TWndHook::Handle() const {
    if (winControl_ == nullptr || !winControl_->HandleAllocated()) return nullptr;
    return winControl_->Handle();
}

void TWndHook::SetActive(bool active) {
    if (active == active_) return;
    if (active) {
        HookWindow(Handle());
    } else {
        SendMessageA(hookList->Window(), THookList::kUnhookRequest, reinterpret_cast<WPARAM>(winControl_),
                     reinterpret_cast<LPARAM>(this));
    }
}

void TWndHook::SetWinControl(ui::TWinControl* control) {
    if (control == winControl_) return;
    SendMessageA(hookList->Window(), THookList::kUnhookRequest, reinterpret_cast<WPARAM>(winControl_),
                 reinterpret_cast<LPARAM>(this));
    winControl_ = control;
    if (OnChangeWinControl) OnChangeWinControl(control);
}

void TWndHook::Notification(base::TComponent* component, bool removing) {
    base::TComponent::Notification(component, removing);
    if (removing && component == winControl_) SetWinControl(nullptr);
}

void TWndHook::HookWindow(HWND window) {
    if (window == nullptr || hookProcedure_ != nullptr) return;
    active_ = true;
    slot_ = AcquireSlot(this);
    hookProcedure_ = slotProcedures[static_cast<size_t>(slot_)];
    hookedWindow_ = window;
    previousProcedure_ =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hookProcedure_)));
}

void TWndHook::FreeHookProc(HWND window) {
    if (window == nullptr || hookProcedure_ == nullptr) return;
    ReleaseSlot(slot_, previousProcedure_, false);
    slot_ = -1;
    active_ = false;
    hookProcedure_ = nullptr;
    previousProcedure_ = nullptr;
    hookedWindow_ = nullptr;
}

void TWndHook::UnhookWindow(HWND window) {
    if (window == nullptr || hookProcedure_ == nullptr) return;
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure_));
    FreeHookProc(window);
}

void TWndHook::HookWndProc(HWND window, ui::TMessage& message) {
    // The window goes while its control lives on: it is being recreated, and the hook has to follow it to
    // the new window once that exists.
    if (message.Msg == WM_DESTROY && hookList != nullptr && winControl_ != nullptr && !winControl_->Destroying())
        PostMessageA(hookList->Window(), THookList::kRehookRequest, 0, reinterpret_cast<LPARAM>(this));
    // A handler may take the hook off the window; the message still goes where it was headed.
    const WNDPROC headedFor = previousProcedure_;
    const base::TWatch watch = Watch();
    bool handled = false;
    if (OnBeforeMessage) OnBeforeMessage(this, message, handled);
    if (!watch) return;
    if (!handled) {
        const WNDPROC previous = previousProcedure_ != nullptr ? previousProcedure_ : headedFor;
        message.Result = CallWindowProcA(previous, window, message.Msg, message.WParam, message.LParam);
    }
    // The message may have freed this hook (and its window's control with it).
    if (watch && hookList != nullptr && hookList->Contains(this) && OnAfterMessage)
        OnAfterMessage(this, message, handled);
}

void TWndHook::Rehook() {
    SendMessageA(hookList->Window(), THookList::kUnhookRequest, reinterpret_cast<WPARAM>(winControl_),
                 reinterpret_cast<LPARAM>(this));
    HookWindow(Handle());
}

// ---- THookList

THookList* THookList::Instance() {
    return hookList;
}

THookList::THookList() {
    window_ = ui::CreateMessageWindow(kListWindowClass, &THookList::WindowProcedure);
}

THookList::~THookList() {
    if (window_ != nullptr) DestroyWindow(window_);
}

bool THookList::Contains(const TWndHook* hook) const {
    return std::find(hooks_.begin(), hooks_.end(), hook) != hooks_.end();
}

LRESULT CALLBACK THookList::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg != kUnhookRequest && msg != kRehookRequest) || hookList == nullptr || hookList->window_ != window)
        return DefWindowProcA(window, msg, wParam, lParam);
    base::Guarded([&] {
        auto* hook = reinterpret_cast<TWndHook*>(lParam);
        if (msg == kUnhookRequest)
            hookList->ServeUnhook(hook);
        else
            hookList->ServeRehook(hook);
    });
    return 0;
}

void THookList::ServeUnhook(TWndHook* hook) {
    if (!Contains(hook) || hook->hookProcedure_ == nullptr) return;
    HWND window = hook->hookedWindow_;
    // The window is gone, and with it the whole chain: nothing calls the procedure any more.
    if (!IsWindow(window)) {
        hook->FreeHookProc(window);
        return;
    }
    // The hook installed last on the window: the window gets back what the hook called on.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) == hook->hookProcedure_) {
        hook->UnhookWindow(window);
        return;
    }
    // A hook installed later on the same window calls this one: it calls on what this one called on.
    for (TWndHook* later : hooks_) {
        if (later != hook && later->hookedWindow_ == window && later->previousProcedure_ == hook->hookProcedure_) {
            later->previousProcedure_ = hook->previousProcedure_;
            hook->FreeHookProc(window);
            return;
        }
    }
    // Someone outside this list subclassed the window after the hook: the chain still runs through the
    // hook's procedure, which from now on only passes messages on.
    const int slot = hook->slot_;
    const WNDPROC previous = hook->previousProcedure_;
    hook->FreeHookProc(window);
    ReleaseSlot(slot, previous, true);
}

void THookList::ServeRehook(TWndHook* hook) {
    if (Contains(hook)) hook->Rehook();
}

}  // namespace skin
