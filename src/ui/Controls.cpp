#include "ui/Controls.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <utility>

#include "base/SysUtils.h"

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

TMouseButton ButtonOf(UINT msg) {
    switch (msg) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return mbRight;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return mbMiddle;
        default:
            return mbLeft;
    }
}

bool IsMouseMessage(UINT msg) {
    return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK;
}

// The client point of a mouse message (signed: a captured mouse can be left of or above the window).
POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

}  // namespace

void Notify(TControl* control, UINT msg) {
    if (control->IsWindowed() && static_cast<TWinControl*>(control)->HandleAllocated())
        SendMessageA(static_cast<TWinControl*>(control)->Handle(), msg, 0, 0);
    else
        control->Perform(msg);
}

TWinControl* FindControl(HWND window) {
    if (window == nullptr) return nullptr;
    const auto found = BoundControls().find(window);
    return found != BoundControls().end() ? found->second : nullptr;
}

bool IsAccel(unsigned key, const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        char pair[2] = {caption[i + 1], static_cast<char>(key)};
        CharUpperBuffA(pair, 2);
        return pair[0] == pair[1];
    }
    return false;
}

// ---- TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {
    font_.OnChange = [this] { Perform(CM_FONTCHANGED); };
}

TControl::~TControl() {
    if (parent_ != nullptr) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_ != nullptr) {
        Invalidate();
        parent_->RemoveControl(this);
    }
    parent_ = parent;
    if (parent_ == nullptr) return;
    parent_->InsertControl(this);
    if (parentFont_) ParentFontChanged();
    if (parentColor_) ParentColorChanged();
    RequestAlign();
    if (IsWindowed() && parent_->HandleAllocated()) static_cast<TWinControl*>(this)->HandleNeeded();
    Invalidate();
}

void TControl::SetBoundsQuiet(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    Invalidate();
    SetBoundsQuiet(left, top, width, height);
    RequestAlign();
    Invalidate();
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    RequestAlign();
}

void TControl::RequestAlign() {
    if (parent_ != nullptr && align_ != alNone) parent_->AlignControls();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    // What a control without a window covered is its parent's to paint again; a window being hidden
    // has the system repaint what it covered.
    if (!visible && !IsWindowed()) Invalidate();
    visible_ = visible;
    Perform(CM_VISIBLECHANGED);
}

void TControl::VisibleChanged() {
    RequestAlign();
    Invalidate();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetParentFont(bool parentFont) {
    if (parentFont == parentFont_) return;
    parentFont_ = parentFont;
    if (parentFont_) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || parent_ == nullptr) return;
    adoptingFont_ = true;
    font_.Assign(parent_->Font());
    adoptingFont_ = false;
}

void TControl::FontChanged() {
    if (!adoptingFont_) parentFont_ = false;
    Invalidate();
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_) return;
    color_ = color;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool parentColor) {
    if (parentColor == parentColor_) return;
    parentColor_ = parentColor;
    if (parentColor_) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || parent_ == nullptr || parent_->Color() == color_) return;
    color_ = parent_->Color();
    Perform(CM_COLORCHANGED);
}

void TControl::ColorChanged() {
    Invalidate();
}

void TControl::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Perform(CM_TEXTCHANGED);
}

void TControl::Invalidate() {
    if (!visible_ || parent_ == nullptr || !parent_->HandleAllocated()) return;
    RECT bounds = BoundsRect();
    InvalidateShown(parent_->Handle(), &bounds, !opaque_);
}

void TControl::Repaint() {
    if (!visible_ || parent_ == nullptr || !parent_->HandleAllocated()) return;
    if (!opaque_) {
        // What lies under a see-through control has to be painted first: let the parent do it now.
        Invalidate();
        parent_->Update();
        return;
    }
    WindowDC dc(parent_->Handle());
    SavedDC saved(dc.Get());
    SetViewportOrgEx(dc.Get(), left_, top_, nullptr);
    IntersectClipRect(dc.Get(), 0, 0, width_, height_);
    static_cast<TGraphicControl*>(this)->PaintTo(dc.Get());
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    WndProc(message);
    return message.Result;
}

bool TControl::HandleMouse(TMessage& message) {
    const POINT point = PointOf(message.LParam);
    const int x = point.x;
    const int y = point.y;
    switch (message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (message.Msg == WM_LBUTTONDOWN) mouseDown_ = true;
            MouseDown(ButtonOf(message.Msg), x, y);
            return true;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            const bool click = message.Msg == WM_LBUTTONUP && mouseDown_;
            if (message.Msg == WM_LBUTTONUP) mouseDown_ = false;
            const RECT client = ClientRect();
            // A click is a left press and release on the control; a release elsewhere clicks nothing.
            // The click's handler may free the control: then the release ends with it.
            const TWatch watch = Watch();
            if (click && clickEvents_ && PtInRect(&client, point)) Click();
            if (watch) MouseUp(ButtonOf(message.Msg), x, y);
            return true;
        }
        default:
            return false;
    }
}

void TControl::WndProc(TMessage& message) {
    switch (message.Msg) {
        case CM_FONTCHANGED:
            FontChanged();
            return;
        case CM_PARENTFONTCHANGED:
            ParentFontChanged();
            return;
        case CM_COLORCHANGED:
            ColorChanged();
            return;
        case CM_PARENTCOLORCHANGED:
            ParentColorChanged();
            return;
        case CM_TEXTCHANGED:
            TextChanged();
            return;
        case CM_VISIBLECHANGED:
            VisibleChanged();
            return;
        case CM_ENABLEDCHANGED:
            EnabledChanged();
            return;
        case CM_MOUSEENTER:
            mouseInside_ = true;
            MouseEnter();
            return;
        case CM_MOUSELEAVE:
            mouseInside_ = false;
            MouseLeave();
            return;
        default:
            break;
    }
    if (IsMouseMessage(message.Msg) && enabled_) {
        const TWatch watch = Watch();
        if (HandleMouse(message)) {
            if (watch && IsWindowed()) DefaultHandler(message);
            return;
        }
    }
    DefaultHandler(message);
}

void TControl::Click() {
    if (OnClick) OnClick();
}

void TControl::MouseDown(TMouseButton button, int x, int y) {
    if (OnMouseDown) OnMouseDown(button, x, y);
}

void TControl::MouseUp(TMouseButton button, int x, int y) {
    if (OnMouseUp) OnMouseUp(button, x, y);
}

POINT TControl::ClientToScreen(POINT point) const {
    if (IsWindowed()) {
        auto* self = const_cast<TWinControl*>(static_cast<const TWinControl*>(this));
        if (self->HandleAllocated()) {
            ::ClientToScreen(self->Handle(), &point);
            return point;
        }
    }
    POINT shifted{point.x + left_, point.y + top_};
    return parent_ != nullptr ? parent_->ClientToScreen(shifted) : shifted;
}

// ---- TGraphicControl

void TGraphicControl::PaintTo(HDC dc) {
    CanvasBinding binding(canvas_, dc);
    canvas_.Font().Assign(Font());
    canvas_.Brush().SetColor(Color());
    Paint();
}

// ---- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

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
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    WNDPROC original = DefWindowProcA;
    if (!params.SuperclassOf.empty()) {
        if (!GetClassInfoExA(nullptr, params.SuperclassOf.c_str(), &windowClass))
            throw Exception(Format("Window class %s is missing", params.SuperclassOf.c_str()));
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
    if (!RegisterClassExA(&windowClass)) throw EOSError(GetLastError());
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
    // A child window's identifier lets its parent find it from notifications that carry only that.
    HMENU id = (params.Style & WS_CHILD) != 0 && params.WndParent != nullptr
                   ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FreeChildId(params.WndParent)))
                   : nullptr;
    HWND window =
        CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style, params.X,
                        params.Y, params.Width, params.Height, params.WndParent, id, GetModuleHandleA(nullptr), this);
    if (window == nullptr) throw EOSError(GetLastError());
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
        if (!RegisterClassA(&windowClass)) throw EOSError(GetLastError());
    }
    // A popup: an overlapped window, even one never shown, has the system work out a frame, which under
    // Wine makes and measures fonts.
    HWND window = CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (window == nullptr) throw EOSError(GetLastError());
    return window;
}

void InvalidateShown(HWND window, const RECT* rect, bool erase) {
    if (IsWindowVisible(window)) InvalidateRect(window, rect, erase ? TRUE : FALSE);
}

void RedrawShown(HWND window, UINT flags) {
    if (IsWindowVisible(window)) RedrawWindow(window, nullptr, nullptr, flags);
}

UINT TWinControl::FreeChildId(HWND parentWindow) {
    for (UINT id = 100; id <= 0xFFFF; ++id) {
        if (GetDlgItem(parentWindow, static_cast<int>(id)) == nullptr) return id;
    }
    throw Exception("No free child window identifier");
}

void TWinControl::Bind(HWND window) {
    handle_ = window;
    BoundControls()[window] = this;
}

void TWinControl::Unbind() {
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

LRESULT CALLBACK TWinControl::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = FindControl(window);
    if (control == nullptr && msg == WM_NCCREATE) {
        control = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (control != nullptr) control->Bind(window);
    }
    if (control == nullptr) return CallWindowProcA(DefaultProcedureOf(window), window, msg, wParam, lParam);

    TMessage message{msg, wParam, lParam, 0};
    // The message may free the control: what follows reads it only while it lives.
    const TWatch watch = control->Watch();
    if (!Guarded([&] { control->WndProc(message); })) message.Result = 0;
    if (msg == WM_NCDESTROY && watch) control->Unbind();
    return message.Result;
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (handle_ == nullptr) {
        message.Result = 0;
        return;
    }
    message.Result = CallWindowProcA(defaultProc_, handle_, message.Msg, message.WParam, message.LParam);
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
    message.Result = SendMessageA(child, CN_BASE + message.Msg, message.WParam, message.LParam);
    return true;
}

void TWinControl::TrackMouse() {
    if (trackingMouse_) return;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
    trackingMouse_ = TrackMouseEvent(&track) != FALSE;
    Perform(CM_MOUSEENTER);
}

void TWinControl::SetHoveredControl(TControl* control) {
    if (control == hoveredControl_) return;
    const TWatch watch = Watch();
    TControl* left = std::exchange(hoveredControl_, control);
    if (left != nullptr) left->Perform(CM_MOUSELEAVE);
    if (watch && hoveredControl_ == control && control != nullptr) control->Perform(CM_MOUSEENTER);
}

void TWinControl::WndProc(TMessage& message) {
    if (ReflectNotification(message)) return;
    if (message.Msg == WM_MOUSEMOVE) {
        const TWatch watch = Watch();
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

void TWinControl::ForwardMouse(TMessage& message) {
    const POINT point = PointOf(message.LParam);
    const bool press = message.Msg == WM_LBUTTONDOWN || message.Msg == WM_RBUTTONDOWN || message.Msg == WM_MBUTTONDOWN;
    const bool release = message.Msg == WM_LBUTTONUP || message.Msg == WM_RBUTTONUP || message.Msg == WM_MBUTTONUP;
    TControl* target = mouseControl_ != nullptr ? mouseControl_ : ControlAtPos(point);
    if (target == nullptr || !target->Enabled()) return;
    // The control pressed keeps the mouse until the button comes up, wherever the pointer goes.
    if (press) {
        mouseControl_ = target;
        SetCapture(handle_);
    }
    // The capture ends with the release whatever the target's handlers do, even if they free this control.
    HWND window = handle_;
    if (release) {
        mouseControl_ = nullptr;
        if (GetCapture() == window) ReleaseCapture();
    }
    TMessage forwarded{
        message.Msg, message.WParam,
        MAKELPARAM(static_cast<WORD>(point.x - target->Left()), static_cast<WORD>(point.y - target->Top())), 0};
    target->WndProc(forwarded);
}

bool TWinControl::SetPointer(TMessage& message) {
    if (reinterpret_cast<HWND>(message.WParam) != handle_ || LOWORD(message.LParam) != HTCLIENT) return false;
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(handle_, &point);
    const TControl* under = ControlAtPos(point);
    HCURSOR cursor = under != nullptr && under->Cursor() != nullptr ? under->Cursor() : Cursor();
    if (cursor == nullptr) return false;
    ::SetCursor(cursor);
    message.Result = TRUE;
    return true;
}

TControl* TWinControl::ControlAtPos(POINT point) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* control = *it;
        if (control->IsWindowed() || !control->Visible()) continue;
        const RECT bounds = control->BoundsRect();
        if (PtInRect(&bounds, point)) return control;
    }
    return nullptr;
}

void TWinControl::PaintHandler(TMessage& message) {
    // A native control paints itself; it has no children of ours painted on it.
    if (native_) {
        DefaultHandler(message);
        return;
    }
    // WM_PRINTCLIENT, and a WM_PAINT that hands over a DC, paint into that DC.
    if (message.WParam != 0) {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        PaintWindow(dc);
        PaintControls(dc);
        return;
    }
    PaintDC paint(handle_);
    PaintWindow(paint.Get());
    PaintControls(paint.Get());
}

void TWinControl::PaintWindow(HDC dc) {
    TMessage message{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(message);
}

void TWinControl::EraseBackground(HDC dc) {
    if (native_) {
        TMessage message{WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0, 0};
        DefaultHandler(message);
        return;
    }
    BrushHandle brush(CreateSolidBrush(ColorToRGB(Color())));
    const RECT client = ClientRect();
    FillRect(dc, &client, brush.Get());
}

void TWinControl::PaintControls(HDC dc) {
    for (TControl* control : std::vector<TControl*>(controls_)) {
        if (control->IsWindowed() || !control->Visible()) continue;
        const RECT bounds = control->BoundsRect();
        if (!RectVisible(dc, &bounds)) continue;
        SavedDC saved(dc);
        POINT origin{};
        GetViewportOrgEx(dc, &origin);
        SetViewportOrgEx(dc, origin.x + bounds.left, origin.y + bounds.top, nullptr);
        IntersectClipRect(dc, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
        static_cast<TGraphicControl*>(control)->PaintTo(dc);
    }
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
    HWND window = Handle();
    SavedDC saved(dc);
    OffsetViewportOrgEx(dc, x, y, nullptr);
    RECT frame{};
    GetWindowRect(window, &frame);
    OffsetRect(&frame, -frame.left, -frame.top);
    IntersectClipRect(dc, 0, 0, frame.right, frame.bottom);
    // The frame as the window manager draws it for the border styles our controls use.
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0)
        DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
    else if ((style & WS_BORDER) != 0)
        DrawEdge(dc, &frame, BDR_OUTER, BF_RECT | BF_MONO);
    POINT client{0, 0};
    ::ClientToScreen(window, &client);
    RECT bounds{};
    GetWindowRect(window, &bounds);
    OffsetViewportOrgEx(dc, client.x - bounds.left, client.y - bounds.top, nullptr);
    const RECT area = ClientRect();
    IntersectClipRect(dc, 0, 0, area.right, area.bottom);
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(window, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    for (TControl* control : std::vector<TControl*>(controls_)) {
        if (!control->IsWindowed() || !control->Visible()) continue;
        auto* child = static_cast<TWinControl*>(control);
        if (child->HandleAllocated()) child->PaintTo(dc, child->Left(), child->Top());
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    if (left == Left() && top == Top() && width == Width() && height == Height()) return;
    SetBoundsQuiet(left, top, width, height);
    if (handle_ != nullptr) SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    RequestAlign();
    AlignControls();
}

RECT TWinControl::ClientRect() const {
    RECT client{0, 0, Width(), Height()};
    if (handle_ != nullptr) GetClientRect(handle_, &client);
    return client;
}

void TWinControl::AlignControls() {
    RECT rest = ClientRect();
    for (TControl* control : std::vector<TControl*>(controls_)) {
        if (!control->Visible() || control->Align() == alNone) continue;
        int left = control->Left(), top = control->Top(), width = control->Width(), height = control->Height();
        switch (control->Align()) {
            case alTop:
                left = rest.left, top = rest.top, width = rest.right - rest.left;
                rest.top += height;
                break;
            case alBottom:
                left = rest.left, top = rest.bottom - height, width = rest.right - rest.left;
                rest.bottom -= height;
                break;
            case alLeft:
                left = rest.left, top = rest.top, height = rest.bottom - rest.top;
                rest.left += width;
                break;
            case alRight:
                left = rest.right - width, top = rest.top, height = rest.bottom - rest.top;
                rest.right -= width;
                break;
            case alClient:
                left = rest.left, top = rest.top, width = rest.right - rest.left, height = rest.bottom - rest.top;
                break;
            case alNone:
                break;
        }
        if (left == control->Left() && top == control->Top() && width == control->Width() &&
            height == control->Height())
            continue;
        const TAlign align = control->align_;
        // Placing an aligned child must not ask for another alignment pass.
        control->align_ = alNone;
        control->SetBounds(left, top, width, height);
        control->align_ = align;
    }
}

void TWinControl::Invalidate() {
    if (handle_ != nullptr) InvalidateShown(handle_, nullptr, true);
}

void TWinControl::Update() {
    if (handle_ != nullptr) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
    if (handle_ != nullptr)
        RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWinControl::SetFocus() {
    ::SetFocus(Handle());
}

bool TWinControl::Focused() const {
    return handle_ != nullptr && GetFocus() == handle_;
}

bool TWinControl::CanFocus() const {
    for (const TControl* control = this; control != nullptr; control = control->Parent()) {
        if (!control->Visible() || !control->Enabled() || control->Destroying()) return false;
    }
    return true;
}

void TWinControl::SetTabStop(bool tabStop) {
    if (tabStop == tabStop_) return;
    tabStop_ = tabStop;
    if (handle_ != nullptr) {
        const LONG style = GetWindowLongA(handle_, GWL_STYLE);
        SetWindowLongA(handle_, GWL_STYLE, tabStop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
}

int TWinControl::TabOrder() const {
    if (Parent() == nullptr) return -1;
    const auto& list = Parent()->tabList_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (Parent() == nullptr) return;
    auto& list = Parent()->tabList_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    order = std::max(0, std::min(order, static_cast<int>(list.size())));
    list.insert(list.begin() + order, this);
}

LRESULT TWinControl::Broadcast(UINT msg, WPARAM wParam, LPARAM lParam) {
    const TWatch self = Watch();
    const std::vector<TControl*> controls = controls_;
    std::vector<TWatch> watches;
    for (TControl* control : controls) watches.push_back(control->Watch());
    for (size_t i = 0; i < controls.size(); ++i) {
        if (!self) return 0;
        if (!watches[i]) continue;
        TControl* control = controls[i];
        const LRESULT result = control->Perform(msg, wParam, lParam);
        if (result != 0) return result;
        if (watches[i] && control->IsWindowed()) {
            const LRESULT inner = static_cast<TWinControl*>(control)->Broadcast(msg, wParam, lParam);
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

TWinControl* TWinControl::FocusedControl() {
    for (HWND window = GetFocus(); window != nullptr; window = GetParent(window)) {
        if (TWinControl* control = FindControl(window)) return control;
    }
    return nullptr;
}

TWinControl* TWinControl::FindNextSibling(TWinControl* current, bool forward) {
    if (current == nullptr || current->Parent() == nullptr) return nullptr;
    std::vector<TWinControl*> siblings;
    for (TWinControl* control : current->Parent()->tabList_) {
        if (control == current || control->CanFocus()) siblings.push_back(control);
    }
    const auto found = std::find(siblings.begin(), siblings.end(), current);
    const size_t count = siblings.size();
    if (found == siblings.end() || count < 2) return nullptr;
    const size_t at = static_cast<size_t>(found - siblings.begin());
    return siblings[forward ? (at + 1) % count : (at + count - 1) % count];
}

LRESULT TWinControl::DialogCode(const MSG* message) {
    TMessage request{WM_GETDLGCODE, message != nullptr ? message->wParam : 0, reinterpret_cast<LPARAM>(message), 0};
    DefaultHandler(request);
    return request.Result;
}

// A multi-line edit field that was asked for its dialog code with a message talks to its parent as to a
// dialog: Tab sends WM_NEXTDLGCTL, Enter asks DM_GETDEFID, Escape posts WM_CLOSE. Our containers are no
// dialogs: they answer for the form, and never let the default procedure see these (it would destroy a
// child window on WM_CLOSE, taking the field with it).
void TWinControl::DialogManagerMessage(TMessage& message) {
    message.Result = 0;
    switch (message.Msg) {
        case WM_NEXTDLGCTL: {
            TWinControl* next = nullptr;
            if (LOWORD(message.LParam) != 0)
                next = FindControl(reinterpret_cast<HWND>(message.WParam));
            else
                next = Root()->FindNextControl(FocusedControl(), message.WParam == 0);
            if (next != nullptr && next->CanFocus()) next->SetFocus();
            return;
        }
        case DM_GETDEFID:
            // No default identifier: Enter stays the field's, which decides what it means.
            return;
        case WM_CLOSE:
            // Escape in the field: the form's Cancel button, as Escape anywhere else would press it.
            Root()->Broadcast(CM_DIALOGKEY, VK_ESCAPE, 0);
            return;
        default:
            return;
    }
}

void TWinControl::CollectTabOrder(std::vector<TWinControl*>& list) const {
    for (TWinControl* control : tabList_) {
        if (!control->CanFocus()) continue;
        if (control->tabStop_) list.push_back(control);
        control->CollectTabOrder(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward) const {
    std::vector<TWinControl*> list;
    CollectTabOrder(list);
    if (list.empty()) return nullptr;
    auto found = list.end();
    for (const TWinControl* control = current; control != nullptr && found == list.end(); control = control->Parent())
        found = std::find(list.begin(), list.end(), control);
    if (found == list.end()) return forward ? list.front() : list.back();
    const size_t count = list.size();
    const size_t at = static_cast<size_t>(found - list.begin());
    return list[forward ? (at + 1) % count : (at + count - 1) % count];
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

// ---- TCustomControl

void TCustomControl::PaintWindow(HDC dc) {
    CanvasBinding binding(canvas_, dc);
    canvas_.Font().Assign(Font());
    canvas_.Brush().SetColor(Color());
    Paint();
}

}  // namespace ui
