#include "ui/Controls.h"

#include <algorithm>
#include <map>

#include "ui/SysUtils.h"

namespace ui {

namespace {

const char kControlProperty[] = "TamberlynControl";
TExceptionHandler exceptionHandler = nullptr;

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

// Tells a child something: through its window where it has one, so that hooks on it see the message too.
void Notify(TControl* control, UINT msg) {
    if (control->IsWindowed() && static_cast<TWinControl*>(control)->HandleAllocated())
        SendMessageA(static_cast<TWinControl*>(control)->Handle(), msg, 0, 0);
    else
        control->Perform(msg);
}

}  // namespace

void SetWindowExceptionHandler(TExceptionHandler handler) {
    exceptionHandler = handler;
}

TWinControl* FindControl(HWND window) {
    return window != nullptr ? static_cast<TWinControl*>(GetPropA(window, kControlProperty)) : nullptr;
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
    if (!visible) Invalidate();
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
    InvalidateRect(parent_->Handle(), &bounds, opaque_ ? FALSE : TRUE);
}

void TControl::Repaint() {
    if (!visible_ || parent_ == nullptr || !parent_->HandleAllocated()) return;
    if (!opaque_) {
        // What lies under a see-through control has to be painted first: let the parent do it now.
        Invalidate();
        parent_->Update();
        return;
    }
    HDC dc = GetDC(parent_->Handle());
    {
        SavedDC saved(dc);
        SetViewportOrgEx(dc, left_, top_, nullptr);
        IntersectClipRect(dc, 0, 0, width_, height_);
        static_cast<TGraphicControl*>(this)->PaintTo(dc);
    }
    ReleaseDC(parent_->Handle(), dc);
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
            if (click && clickEvents_ && PtInRect(&client, point)) Click();
            MouseUp(ButtonOf(message.Msg), x, y);
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
    if (IsMouseMessage(message.Msg) && enabled_ && HandleMouse(message)) {
        if (IsWindowed()) DefaultHandler(message);
        return;
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
    canvas_.Attach(dc);
    canvas_.Font().Assign(Font());
    canvas_.Brush().SetColor(Color());
    Paint();
    canvas_.Detach();
}

// ---- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    MarkDestroying();
    // Children go while this is still a whole window control: they unhook from it as they leave.
    DestroyComponents();
    for (TControl* control : std::vector<TControl*>(controls_)) control->SetParent(nullptr);
    if (handle_ != nullptr) {
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
    if (handle_ == nullptr) CreateWnd();
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
    params.Cursor = LoadCursor(nullptr, IDC_ARROW);
}

static void RegisterWindowClass(const TCreateParams& params, WNDPROC procedure) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (ClassProcedures().count(params.WinClassName) != 0 &&
        GetClassInfoA(instance, params.WinClassName.c_str(), &existing))
        return;
    WNDCLASSA windowClass{};
    WNDPROC original = DefWindowProcA;
    if (!params.SuperclassOf.empty()) {
        if (!GetClassInfoA(nullptr, params.SuperclassOf.c_str(), &windowClass))
            throw Exception(Format("Window class %s is missing", params.SuperclassOf.c_str()));
        original = windowClass.lpfnWndProc;
    } else {
        windowClass.style = params.ClassStyle;
        windowClass.hCursor = params.Cursor;
        windowClass.hIcon = params.Icon;
    }
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = params.WinClassName.c_str();
    if (!RegisterClassA(&windowClass)) throw EOSError(GetLastError());
    ClassProcedures()[params.WinClassName] = original;
}

void TWinControl::CreateWnd() {
    HWND parentWindow = nullptr;
    if (Parent() != nullptr) parentWindow = Parent()->Handle();
    TCreateParams params;
    CreateParams(params);
    if (parentWindow != nullptr) params.WndParent = parentWindow;
    RegisterWindowClass(params, &TWinControl::WindowProcedure);
    defaultProc_ = ClassProcedures()[params.WinClassName];
    native_ = !params.SuperclassOf.empty();
    // A child window's identifier lets its parent find it from notifications that carry only that.
    static UINT_PTR nextChildId = 100;
    HMENU id = (params.Style & WS_CHILD) != 0 ? reinterpret_cast<HMENU>(nextChildId++) : nullptr;
    HWND window =
        CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style, params.X,
                        params.Y, params.Width, params.Height, params.WndParent, id, GetModuleHandleA(nullptr), this);
    if (window == nullptr) throw EOSError(GetLastError());
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
    for (TControl* control : std::vector<TControl*>(controls_)) {
        if (control->IsWindowed()) static_cast<TWinControl*>(control)->HandleNeeded();
    }
    CreateHandleDone();
}

void TWinControl::Bind(HWND window) {
    handle_ = window;
    SetPropA(window, kControlProperty, this);
}

void TWinControl::Unbind() {
    if (handle_ == nullptr) return;
    RemovePropA(handle_, kControlProperty);
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
    auto* control = static_cast<TWinControl*>(GetPropA(window, kControlProperty));
    if (control == nullptr && msg == WM_NCCREATE) {
        control = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (control != nullptr) control->Bind(window);
    }
    if (control == nullptr) return CallWindowProcA(DefaultProcedureOf(window), window, msg, wParam, lParam);

    TMessage message{msg, wParam, lParam, 0};
    try {
        control->WndProc(message);
    } catch (const std::exception& error) {
        if (exceptionHandler != nullptr) exceptionHandler(error);
        message.Result = 0;
    }
    if (msg == WM_NCDESTROY) control->Unbind();
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
    if (hoveredControl_ != nullptr) hoveredControl_->Perform(CM_MOUSELEAVE);
    hoveredControl_ = control;
    if (hoveredControl_ != nullptr) hoveredControl_->Perform(CM_MOUSEENTER);
}

void TWinControl::WndProc(TMessage& message) {
    if (ReflectNotification(message)) return;
    if (message.Msg == WM_MOUSEMOVE) {
        TrackMouse();
        if (mouseControl_ == nullptr) SetHoveredControl(ControlAtPos(PointOf(message.LParam)));
    }
    switch (message.Msg) {
        case WM_SETFOCUS: {
            DefaultHandler(message);
            // The window at the top learns of every focus move, to tell its buttons which one Enter presses.
            TWinControl* root = this;
            while (root->Parent() != nullptr) root = root->Parent();
            root->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
            return;
        }
        case WM_MOUSELEAVE:
            trackingMouse_ = false;
            SetHoveredControl(nullptr);
            Perform(CM_MOUSELEAVE);
            DefaultHandler(message);
            return;
        case WM_PAINT:
            PaintHandler(message);
            return;
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
    TMessage forwarded{
        message.Msg, message.WParam,
        MAKELPARAM(static_cast<WORD>(point.x - target->Left()), static_cast<WORD>(point.y - target->Top())), 0};
    target->WndProc(forwarded);
    if (release && mouseControl_ != nullptr) {
        mouseControl_ = nullptr;
        if (GetCapture() == handle_) ReleaseCapture();
    }
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
    if (message.WParam != 0) {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        PaintWindow(dc);
        PaintControls(dc);
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle_, &paint);
    PaintWindow(dc);
    PaintControls(dc);
    EndPaint(handle_, &paint);
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
    for (TControl* control : controls_) {
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
    for (TControl* control : controls_) {
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
    if (handle_ != nullptr) InvalidateRect(handle_, nullptr, TRUE);
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
        if (!control->Visible() || !control->Enabled()) return false;
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
    for (TControl* control : std::vector<TControl*>(controls_)) {
        const LRESULT result = control->Perform(msg, wParam, lParam);
        if (result != 0) return result;
        if (control->IsWindowed()) {
            const LRESULT inner = static_cast<TWinControl*>(control)->Broadcast(msg, wParam, lParam);
            if (inner != 0) return inner;
        }
    }
    return 0;
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
    const auto found = std::find(list.begin(), list.end(), current);
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
    canvas_.Attach(dc);
    canvas_.Font().Assign(Font());
    canvas_.Brush().SetColor(Color());
    Paint();
    canvas_.Detach();
}

}  // namespace ui
