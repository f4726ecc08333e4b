// TWinControl's window: its class, its creation and teardown, the procedure that hands each message to the
// control, and the notifications a parent reflects to the child they concern.
#include "ui/Controls.h"

#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/SysUtils.h"
#include "ui/ControlsInternal.h"

namespace ui {

namespace {

// The control bound to each of our windows. Kept in the process rather than as a window property: every
// message looks its control up, and under Wine a property is a round trip to the server each time.
std::unordered_map<HWND, TWinControl*>& BoundControls() {
    static std::unordered_map<HWND, TWinControl*> controls;
    return controls;
}

// The procedure a window class had before we took it over, by class name: messages that arrive before
// a window is bound to its control (and after it lets go) go there.
std::map<std::string, WNDPROC>& ClassProcedures() {
    static std::map<std::string, WNDPROC> procedures;
    return procedures;
}

WNDPROC DefaultProcedureOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    auto found = ClassProcedures().find(name);
    return found != ClassProcedures().end() ? found->second : DefWindowProcA;
}

// What InSendMessageEx says of the message being handled, without whether it has been replied to. Windows
// documents the answer as telling whether the current window procedure handles a message another thread
// sent; Wine answers for the whole thread: while a message from another thread is handled, every send the
// thread makes itself and every posted message it dispatches meanwhile answer ISMEX_SEND too. A message is
// taken as this thread's own when the answer is "not sent", or the one the thread had when its code made the
// send, which holds under either reading.
DWORD SendOrigin() {
    return InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_NOTIFY | ISMEX_CALLBACK);
}

bool FromThisThread(DWORD originAtSend) {
    const DWORD origin = SendOrigin();
    return origin == 0 || origin == originAtSend;
}

// The control whose window this thread is creating now: the window's WM_NCCREATE binds it, once. A creation
// message from anywhere else, or one for another window, binds nothing, whatever pointer it carries.
struct Creation {
    TWinControl* control;
    DWORD origin;
};
thread_local Creation creating{nullptr, 0};

class CreationScope {
public:
    explicit CreationScope(TWinControl* control) : outer_(creating) { creating = Creation{control, SendOrigin()}; }
    ~CreationScope() { creating = outer_; }
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

private:
    Creation outer_;
};

}  // namespace

TWinControl* FindControl(HWND window) {
    if (window == nullptr) return nullptr;
    const auto found = BoundControls().find(window);
    return found != BoundControls().end() ? found->second : nullptr;
}

// ---- TWinControl

TWinControl::TWinControl(base::TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    // Freed without Free: the same steps, now that the derived parts are gone.
    Teardown();
}

void TWinControl::BeforeDestruction() {
    Teardown();
    TControl::BeforeDestruction();
}

void TWinControl::Teardown() {
    if (tornDown_) return;
    tornDown_ = true;
    MarkDestroying();
    // Children go while this is still a whole window control: they unhook from it as they leave.
    DestroyComponents();
    for (TControl* control : std::vector<TControl*>(controls_)) control->SetParent(nullptr);
    if (handle_ != nullptr) {
        // The object stops hearing from its window before the window goes: messages sent while it is
        // destroyed reach the class's own procedure, never a half-destroyed control.
        HWND window = handle_;
        Unbind();
        DestroyWindow(window);
    }
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    if (control->IsWindowed()) tabList_.push_back(static_cast<TWinControl*>(control));
}

void TWinControl::RemoveControl(TControl* control) {
    if (mouseControl_ == control) mouseControl_ = nullptr;
    if (hoveredControl_ == control) hoveredControl_ = nullptr;
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), control), tabList_.end());
    if (control->IsWindowed()) static_cast<TWinControl*>(control)->DestroyHandle();
}

HWND TWinControl::Handle() {
    // A control on its way out makes no new window (a focus move during its teardown may ask for one).
    if (handle_ == nullptr && !Destroying()) CreateWnd();
    return handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = Caption();
    params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (tabStop_) params.Style |= WS_TABSTOP;
    if (Visible()) params.Style |= WS_VISIBLE;
    if (!Enabled()) params.Style |= WS_DISABLED;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.WinClassName = ClassName();
    // A system cursor is shared: loaded once, it serves every class.
    static const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    params.Cursor = arrow;
}

static void RegisterWindowClass(const TCreateParams& params, WNDPROC procedure) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (ClassProcedures().count(params.WinClassName) != 0 &&
        GetClassInfoA(instance, params.WinClassName.c_str(), &existing))
        return;
    if (params.Unicode) {
        // Only native controls take text from the keyboard: a Unicode class is always a superclass.
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        if (!GetClassInfoExW(nullptr, base::WideText(params.SuperclassOf).c_str(), &windowClass))
            throw base::Exception(base::Format("Window class %s is missing", params.SuperclassOf.c_str()));
        const WNDPROC original = windowClass.lpfnWndProc;
        const std::wstring name = base::WideText(params.WinClassName);
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = name.c_str();
        if (!RegisterClassExW(&windowClass)) throw base::EOSError(GetLastError());
        ClassProcedures()[params.WinClassName] = original;
        return;
    }
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    WNDPROC original = DefWindowProcA;
    if (!params.SuperclassOf.empty()) {
        if (!GetClassInfoExA(nullptr, params.SuperclassOf.c_str(), &windowClass))
            throw base::Exception(base::Format("Window class %s is missing", params.SuperclassOf.c_str()));
        original = windowClass.lpfnWndProc;
    } else {
        windowClass.style = params.ClassStyle;
        windowClass.hCursor = params.Cursor;
        windowClass.hIcon = params.Icon;
        windowClass.hIconSm = params.SmallIcon;
    }
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = params.WinClassName.c_str();
    if (!RegisterClassExA(&windowClass)) throw base::EOSError(GetLastError());
    ClassProcedures()[params.WinClassName] = original;
}

void TWinControl::CreateWnd() {
    HWND parentWindow = nullptr;
    if (Parent() != nullptr) parentWindow = Parent()->Handle();
    // Making the parent's window made its children's, this one's among them.
    if (handle_ != nullptr) return;
    TCreateParams params;
    CreateParams(params);
    if (parentWindow != nullptr) params.WndParent = parentWindow;
    RegisterWindowClass(params, &TWinControl::WindowProcedure);
    defaultProc_ = ClassProcedures()[params.WinClassName];
    native_ = !params.SuperclassOf.empty();
    unicode_ = params.Unicode;
    // A child window's identifier lets its parent find it from notifications that carry only that.
    HMENU id = (params.Style & WS_CHILD) != 0 && params.WndParent != nullptr
                   ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FreeChildId(params.WndParent)))
                   : nullptr;
    HWND window = nullptr;
    {
        const CreationScope scope(this);
        window = unicode_ ? CreateWindowExW(params.ExStyle, base::WideText(params.WinClassName).c_str(),
                                            base::WideText(params.Caption).c_str(), params.Style, params.X, params.Y,
                                            params.Width, params.Height, params.WndParent, id,
                                            GetModuleHandleA(nullptr), this)
                          : CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(),
                                            params.Style, params.X, params.Y, params.Width, params.Height,
                                            params.WndParent, id, GetModuleHandleA(nullptr), this);
    }
    if (window == nullptr) throw base::EOSError(GetLastError());
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
    // Until now the children were aligned in the bounds alone, which for a window with a frame are larger
    // than its client area: they take their places in the real client area before their windows exist.
    AlignControls();
    for (TControl* control : std::vector<TControl*>(controls_)) {
        if (control->IsWindowed()) static_cast<TWinControl*>(control)->HandleNeeded();
    }
    CreateHandleDone();
}

bool StylesHaveFrame(DWORD style, DWORD exStyle) {
    return (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_HSCROLL | WS_VSCROLL)) != 0 ||
           (exStyle & (WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE)) != 0;
}

HWND CreateMessageWindow(const char* className, WNDPROC procedure) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (!GetClassInfoA(instance, className, &existing)) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = className;
        if (!RegisterClassA(&windowClass)) throw base::EOSError(GetLastError());
    }
    // A popup: an overlapped window, even one never shown, has the system work out a frame, which under
    // Wine makes and measures fonts.
    HWND window = CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (window == nullptr) throw base::EOSError(GetLastError());
    return window;
}

UINT TWinControl::FreeChildId(HWND parentWindow) {
    for (UINT id = 100; id <= 0xFFFF; ++id) {
        if (GetDlgItem(parentWindow, static_cast<int>(id)) == nullptr) return id;
    }
    throw base::Exception("No free child window identifier");
}

void TWinControl::Bind(HWND window) {
    handle_ = window;
    BoundControls()[window] = this;
}

void TWinControl::Unbind() {
    // A reader that still holds the window's object hears from now on that it is gone.
    accessible_.Disconnect();
    if (handle_ == nullptr) return;
    BoundControls().erase(handle_);
    handle_ = nullptr;
}

void TWinControl::DestroyHandle() {
    if (handle_ != nullptr) DestroyWindow(handle_);
}

void TWinControl::RecreateWnd() {
    if (handle_ == nullptr) return;
    DestroyHandle();
    HandleNeeded();
}

namespace {

// The private message this thread's code is sending now. The window procedure takes it once: the permission
// ends as it is used, so the same message from another program, handled in a modal loop that the send's
// handler runs, finds none. A send within a send restores the outer one when it returns.
struct PrivateSend {
    HWND window;
    UINT msg;
    DWORD origin;
    bool open;
};
thread_local PrivateSend currentPrivateSend{nullptr, 0, 0, false};

// A private message the window may take: our own send of it, or a form's release or a control's reader's
// action, which are posted and which the window checks against its own request.
bool TakeOwnPrivateMessage(HWND window, UINT msg) {
    if (msg == CM_RELEASE || msg == CM_ACCESSIBLEACTION) return true;
    PrivateSend& send = currentPrivateSend;
    if (!send.open || send.window != window || send.msg != msg || !FromThisThread(send.origin)) return false;
    send.open = false;
    return true;
}

}  // namespace

bool IsPrivateMessage(UINT msg) {
    return msg >= CM_BASE && msg <= CN_BASE + 0x3FF;
}

LRESULT SendPrivate(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    const PrivateSend outer = currentPrivateSend;
    currentPrivateSend = PrivateSend{window, msg, SendOrigin(), true};
    const LRESULT result = SendMessageA(window, msg, wParam, lParam);
    currentPrivateSend = outer;
    return result;
}

LRESULT CALLBACK TWinControl::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = FindControl(window);
    if (control == nullptr && msg == WM_NCCREATE && creating.control != nullptr && FromThisThread(creating.origin) &&
        reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams == creating.control) {
        control = creating.control;
        creating.control = nullptr;
        control->Bind(window);
    }
    if (control == nullptr || (IsPrivateMessage(msg) && !TakeOwnPrivateMessage(window, msg)))
        return IsWindowUnicode(window) ? CallWindowProcW(DefaultProcedureOf(window), window, msg, wParam, lParam)
                                       : CallWindowProcA(DefaultProcedureOf(window), window, msg, wParam, lParam);

    TMessage message{msg, wParam, lParam, 0};
    // The message may free the control: what follows reads it only while it lives.
    const base::TWatch watch = control->Watch();
    if (!base::Guarded([&] { control->WndProc(message); })) message.Result = 0;
    if (msg == WM_NCDESTROY && watch) control->Unbind();
    return message.Result;
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (handle_ == nullptr) {
        message.Result = 0;
        return;
    }
    message.Result = unicode_ ? CallWindowProcW(defaultProc_, handle_, message.Msg, message.WParam, message.LParam)
                              : CallWindowProcA(defaultProc_, handle_, message.Msg, message.WParam, message.LParam);
}

bool TWinControl::ReflectNotification(TMessage& message) {
    HWND child = nullptr;
    switch (message.Msg) {
        case WM_COMMAND:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            child = reinterpret_cast<HWND>(message.LParam);
            break;
        case WM_DRAWITEM:
            child = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam)->hwndItem;
            break;
        case WM_MEASUREITEM:
            child = GetDlgItem(handle_,
                               static_cast<int>(reinterpret_cast<const MEASUREITEMSTRUCT*>(message.LParam)->CtlID));
            break;
        default:
            return false;
    }
    if (child == nullptr || child == handle_ || FindControl(child) == nullptr) return false;
    message.Result = SendPrivate(child, CN_BASE + message.Msg, message.WParam, message.LParam);
    return true;
}

void TWinControl::WndProc(TMessage& message) {
    if (ReflectNotification(message)) return;
    if (message.Msg == WM_CAPTURECHANGED || message.Msg == WM_CANCELMODE) DropPress(message.Msg);
    if (message.Msg == WM_MOUSEMOVE) {
        const base::TWatch watch = Watch();
        TControl* under = ControlAtPos(PointOf(message.LParam));
        if (under != nullptr && !under->hoverEvents_) under = nullptr;
        // Nobody here to tell of the mouse's leaving, nothing to watch for.
        if (hoverEvents_ || under != nullptr) TrackMouse();
        if (!watch) return;
        if (mouseControl_ == nullptr) SetHoveredControl(under);
        if (!watch) return;
    }
    switch (message.Msg) {
        case WM_GETDLGCODE:
            message.Result = DialogCode(reinterpret_cast<const MSG*>(message.LParam));
            return;
        case WM_NEXTDLGCTL:
        case DM_GETDEFID:
            DialogManagerMessage(message);
            return;
        case WM_GETOBJECT:
            if (accessible_.AnswerGetObject(handle_, message.WParam, message.LParam, *this, message.Result)) return;
            break;
        case CM_ACCESSIBLEACTION:
            RunAccessibleActions();
            return;
        case WM_CLOSE:
            if ((GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) != 0) {
                DialogManagerMessage(message);
                return;
            }
            break;
        case WM_MOUSEWHEEL: {
            const POINT point = PointOf(message.LParam);
            if (!MouseWheel(GET_WHEEL_DELTA_WPARAM(message.WParam), point)) DefaultHandler(message);
            return;
        }
        case WM_PRINTCLIENT:
            PaintHandler(message);
            return;
        case WM_SETCURSOR:
            if (SetPointer(message)) return;
            break;
        case WM_SETFOCUS:
            DefaultHandler(message);
            // The window at the top learns of every focus move, to tell its buttons which one Enter presses.
            Root()->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
            return;
        case WM_MOUSELEAVE:
            trackingMouse_ = false;
            SetHoveredControl(nullptr);
            Perform(CM_MOUSELEAVE);
            DefaultHandler(message);
            return;
        case WM_PAINT:
            PaintHandler(message);
            return;
        case WM_NCPAINT:
            // Without frame, edge, caption or scroll bar the window has nothing outside its client area,
            // and the system's handler would only take and release a drawing context: under Wine a dozen
            // requests to its server, for each window at each showing.
            if (!HasNonClientArea()) return;
            break;
        case WM_NCCALCSIZE:
            // Without frame or menu the client area is the whole window, as the proposed rectangle already
            // says. A native control keeps its own handler (the classic progress bar keeps its edge there).
            if (!native_) {
                const DWORD style = GetWindowLongA(handle_, GWL_STYLE);
                const bool menu = (style & WS_CHILD) == 0 && GetMenu(handle_) != nullptr;
                if (!menu && !StylesHaveFrame(style, GetWindowLongA(handle_, GWL_EXSTYLE))) {
                    message.Result = 0;
                    return;
                }
            }
            break;
        case WM_NCACTIVATE:
            // The same for the repaint of the frame that a change of activation asks for; -1 keeps the
            // system's bookkeeping of the active state and leaves out only that repaint.
            if (!HasNonClientArea()) message.LParam = -1;
            break;
        case WM_ERASEBKGND:
            EraseBackground(reinterpret_cast<HDC>(message.WParam));
            message.Result = 1;
            return;
        case WM_WINDOWPOSCHANGED: {
            DefaultHandler(message);
            const auto* position = reinterpret_cast<const WINDOWPOS*>(message.LParam);
            if ((position->flags & SWP_NOSIZE) == 0 || (position->flags & SWP_NOMOVE) == 0) {
                RECT bounds{};
                GetWindowRect(handle_, &bounds);
                HWND parentWindow = GetParent(handle_);
                if (parentWindow != nullptr && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) != 0)
                    MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&bounds), 2);
                SetBoundsQuiet(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
                AlignControls();
            }
            return;
        }
        default:
            break;
    }
    // Mouse messages over a non-windowed child, or while one holds the mouse, are the child's.
    if (IsMouseMessage(message.Msg) && (mouseControl_ != nullptr || ControlAtPos(PointOf(message.LParam)) != nullptr)) {
        ForwardMouse(message);
        return;
    }
    TControl::WndProc(message);
}

bool TWinControl::HasNonClientArea() const {
    RECT window{};
    RECT client{};
    GetWindowRect(handle_, &window);
    GetClientRect(handle_, &client);
    return window.right - window.left != client.right || window.bottom - window.top != client.bottom;
}

LRESULT TWinControl::Broadcast(UINT msg, WPARAM wParam, LPARAM lParam) {
    return BroadcastWatching(msg, wParam, lParam, nullptr);
}

LRESULT TWinControl::BroadcastControl(UINT msg, WPARAM wParam, TControl* subject) {
    const base::TWatch watch = subject != nullptr ? subject->Watch() : base::TWatch();
    return BroadcastWatching(msg, wParam, reinterpret_cast<LPARAM>(subject), subject != nullptr ? &watch : nullptr);
}

LRESULT TWinControl::BroadcastWatching(UINT msg, WPARAM wParam, LPARAM lParam, const base::TWatch* subject) {
    const base::TWatch self = Watch();
    const std::vector<TControl*> controls = controls_;
    std::vector<base::TWatch> watches;
    for (TControl* control : controls) watches.push_back(control->Watch());
    for (size_t i = 0; i < controls.size(); ++i) {
        if (!self) return 0;
        if (!watches[i]) continue;
        if (subject != nullptr && !*subject) lParam = 0;
        TControl* control = controls[i];
        const LRESULT result = control->Perform(msg, wParam, lParam);
        if (result != 0) return result;
        if (watches[i] && control->IsWindowed()) {
            const LRESULT inner = static_cast<TWinControl*>(control)->BroadcastWatching(msg, wParam, lParam, subject);
            if (inner != 0) return inner;
        }
    }
    return 0;
}

TWinControl* TWinControl::Root() {
    TWinControl* root = this;
    while (root->Parent() != nullptr) root = root->Parent();
    return root;
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    if (handle_ != nullptr) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
    for (TControl* control : std::vector<TControl*>(controls_)) Notify(control, CM_PARENTFONTCHANGED);
}

void TWinControl::ColorChanged() {
    TControl::ColorChanged();
    for (TControl* control : std::vector<TControl*>(controls_)) Notify(control, CM_PARENTCOLORCHANGED);
}

void TWinControl::VisibleChanged() {
    if (handle_ != nullptr) ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
    RequestAlign();
}

void TWinControl::EnabledChanged() {
    if (handle_ != nullptr) EnableWindow(handle_, Enabled());
    TControl::EnabledChanged();
}

void TWinControl::TextChanged() {
    if (handle_ != nullptr) SetWindowTextA(handle_, Caption().c_str());
    TControl::TextChanged();
}

}  // namespace ui
