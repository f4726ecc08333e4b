#include "ui/Forms.h"

#include <objbase.h>

#include <vector>

#include "base/SysUtils.h"

namespace ui {

TApplication* Application = nullptr;

namespace {

// The application's other windows while a form is modal: disabled when it starts, enabled again, and the
// window that was active activated again, however the modal loop ends.
class ModalScope {
public:
    explicit ModalScope(HWND exceptWindow) : previousActive_(GetActiveWindow()), except_(exceptWindow) {
        EnumThreadWindows(GetCurrentThreadId(), &ModalScope::Disable, reinterpret_cast<LPARAM>(this));
    }
    ~ModalScope() { EnableOthers(); }
    // Enabled before the modal form hides, so that the activation can go back to one of them.
    void EnableOthers() {
        for (HWND window : disabled_) {
            if (IsWindow(window)) EnableWindow(window, TRUE);
        }
        disabled_.clear();
    }
    void RestoreActivation() const {
        if (previousActive_ != nullptr && IsWindow(previousActive_) && IsWindowVisible(previousActive_))
            SetActiveWindow(previousActive_);
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    static BOOL CALLBACK Disable(HWND window, LPARAM scope) {
        auto* self = reinterpret_cast<ModalScope*>(scope);
        if (window != self->except_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
            self->disabled_.push_back(window);
            EnableWindow(window, FALSE);
        }
        return TRUE;
    }

    HWND previousActive_;
    HWND except_;
    std::vector<HWND> disabled_;
};

UINT DialogCodeOf(HWND window, const MSG& message) {
    return static_cast<UINT>(SendMessageA(window, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message)));
}

bool KeyHeld(int key) {
    return GetKeyState(key) < 0;
}

}  // namespace

// ---- TForm

TForm::TForm(base::TComponent* owner) : TCustomControl(owner) {
    SetVisible(false);
    SetColor(clBtnFace);
}

TForm::~TForm() {
    // Freed without Free: OnDestroy still runs, if late.
    if (!destroyed_) {
        destroyed_ = true;
        if (OnDestroy) base::Guarded(OnDestroy);
    }
}

void TForm::BeforeDestruction() {
    if (!destroyed_) {
        destroyed_ = true;
        if (OnDestroy) base::Guarded(OnDestroy);
    }
    TCustomControl::BeforeDestruction();
}

void TForm::DoCreate() {
    if (OnCreate) OnCreate();
}

void TForm::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    TCreateParams params;
    CreateParams(params);
    SetBounds(params.X, params.Y, params.Width, params.Height);
}

void TForm::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    params.ExStyle = 0;
    switch (borderStyle_) {
        case bsNone:
            break;
        case bsSingle:
            params.Style |= WS_CAPTION | WS_BORDER;
            break;
        case bsDialog:
            params.Style |= WS_CAPTION | DS_MODALFRAME;
            params.ExStyle |= WS_EX_DLGMODALFRAME;
            break;
    }
    if (borderStyle_ != bsNone && (borderIcons_ & biSystemMenu) != 0) {
        params.Style |= WS_SYSMENU;
        if (borderStyle_ != bsDialog && (borderIcons_ & biMinimize) != 0) params.Style |= WS_MINIMIZEBOX;
        if (borderStyle_ != bsDialog && (borderIcons_ & biMaximize) != 0) params.Style |= WS_MAXIMIZEBOX;
    }
    if (formStyle_ == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
    // The program's icon (where the module has one) stands for its windows, on the taskbar too. Loaded
    // once, as the bounds are worked out from these parameters as well.
    static const HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    static const HICON smallIcon =
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                      GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    params.Icon = icon;
    params.SmallIcon = smallIcon;
    // The other forms are owned by the main form: they stay above it and give the activation back to it.
    if (Application != nullptr && Application->MainForm() != nullptr && Application->MainForm() != this &&
        Application->MainForm()->HandleAllocated())
        params.WndParent = Application->MainForm()->Handle();
    if (!Enabled()) params.Style |= WS_DISABLED;
    if (clientWidth_ > 0 || clientHeight_ > 0) {
        RECT outer{0, 0, clientWidth_, clientHeight_};
        if (StylesHaveFrame(params.Style, params.ExStyle))
            AdjustWindowRectEx(&outer, params.Style, FALSE, params.ExStyle);
        params.Width = outer.right - outer.left;
        params.Height = outer.bottom - outer.top;
    }
    if (position_ == poScreenCenter) {
        params.X = (GetSystemMetrics(SM_CXSCREEN) - params.Width) / 2;
        params.Y = (GetSystemMetrics(SM_CYSCREEN) - params.Height) / 2;
    }
}

void TForm::Show() {
    SetVisible(true);
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    // A form activated while still hidden (made topmost on creation, say) hears no new activation when
    // it shows: the focus goes to its active control now.
    if (GetActiveWindow() == Handle()) RestoreFocus();
}

void TForm::Hide() {
    SetVisible(false);
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(canClose);
    return canClose;
}

bool TForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(action);
    return action != caNone;
}

void TForm::SetModalResult(int result) {
    modalResult_ = result;
    // The modal loop waits in GetMessage, which handles a message sent from another thread (another
    // program closing the dialog, say) without returning: a result set by one must wake the loop.
    if (modal_ && result != mrNone && HandleAllocated()) PostMessageA(Handle(), WM_NULL, 0, 0);
}

void TForm::Close() {
    if (modal_) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    const base::TWatch watch = Watch();
    if (!DoClose(action) || !watch) return;
    const bool mainForm = Application != nullptr && Application->MainForm() == this;
    Hide();
    if (action == caFree) Release();
    if (mainForm) Application->Terminate();
}

void TForm::Release() {
    if (!HandleAllocated()) return;
    releaseRequested_ = true;
    PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

bool TForm::CloseModal() {
    bool accepted = false;
    const base::TWatch watch = Watch();
    // A failing handler keeps the form open, as a refusal would.
    base::Guarded([&] {
        if (!CloseQuery()) return;
        TCloseAction action = caHide;
        if (!DoClose(action)) return;
        if (action == caFree) Release();
        accepted = true;
    });
    if (watch && !accepted) modalResult_ = mrNone;
    return accepted;
}

TForm* TForm::Of(TControl* control) {
    while (control != nullptr && control->Parent() != nullptr) control = control->Parent();
    return dynamic_cast<TForm*>(control);
}

void TForm::SetActiveControl(TWinControl* control) {
    if (control == activeControl_) return;
    if (activeControl_ != nullptr) RemoveFreeNotification(activeControl_);
    activeControl_ = control;
    if (activeControl_ != nullptr) {
        FreeNotification(activeControl_);
        if (HandleAllocated() && GetActiveWindow() == Handle() && activeControl_->CanFocus() &&
            !activeControl_->Focused())
            activeControl_->SetFocus();
    }
}

void TForm::Notification(base::TComponent* component, bool removing) {
    TCustomControl::Notification(component, removing);
    if (removing && component == activeControl_) activeControl_ = nullptr;
}

void TForm::RememberFocus() {
    TWinControl* focused = FocusedControl();
    if (focused != nullptr && focused != this && Of(focused) == this) SetActiveControl(focused);
}

void TForm::RestoreFocus() {
    TWinControl* target = activeControl_;
    if (target == nullptr || !target->CanFocus()) target = FindNextControl(nullptr, true);
    if (target != nullptr && target->CanFocus() && !target->Focused()) target->SetFocus();
}

int TForm::ShowModal() {
    const base::TWatch watch = Watch();
    ModalScope scope(HandleAllocated() ? Handle() : nullptr);
    modalResult_ = mrNone;
    modal_ = true;
    bool quit = false;
    try {
        Show();
        while (!quit) {
            quit = !Application->HandleMessage();
            // Freed by a handler during its own loop: nothing of it may be read any more.
            if (!watch) break;
            if (modalResult_ != mrNone && CloseModal()) break;
        }
    } catch (...) {
        scope.EnableOthers();
        if (watch) {
            modal_ = false;
            Hide();
        }
        scope.RestoreActivation();
        throw;
    }
    if (quit) PostQuitMessage(0);
    scope.EnableOthers();
    int result = mrCancel;
    if (watch) {
        if (modalResult_ != mrNone) result = modalResult_;
        modal_ = false;
        Hide();
    }
    scope.RestoreActivation();
    return result;
}

bool TForm::DialogNavigationKey(const MSG& message, UINT code) {
    TWinControl* focused = FocusedControl();
    switch (message.wParam) {
        case VK_TAB: {
            if (KeyHeld(VK_CONTROL) || KeyHeld(VK_MENU) || (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) != 0)
                return false;
            if (TWinControl* next = FindNextControl(focused, !KeyHeld(VK_SHIFT))) next->SetFocus();
            return true;
        }
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if ((code & (DLGC_WANTARROWS | DLGC_WANTALLKEYS)) != 0) return false;
            const bool forward = message.wParam == VK_RIGHT || message.wParam == VK_DOWN;
            TWinControl* next = FindNextSibling(focused, forward);
            if (next == nullptr) return false;
            next->SetFocus();
            return true;
        }
        case VK_RETURN:
        case VK_ESCAPE:
            if ((code & DLGC_WANTALLKEYS) != 0) return false;
            return Broadcast(CM_DIALOGKEY, message.wParam, 0) != 0;
        case VK_F1: {
            if (KeyHeld(VK_SHIFT) || KeyHeld(VK_CONTROL) || KeyHeld(VK_MENU)) return false;
            // The platform's route: WM_HELP to the window with the focus, passed up to the form.
            HELPINFO info{};
            info.cbSize = sizeof info;
            info.iContextType = HELPINFO_WINDOW;
            info.hItemHandle = message.hwnd;
            info.iCtrlId = GetDlgCtrlID(message.hwnd);
            GetCursorPos(&info.MousePos);
            SendMessageA(message.hwnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
            return true;
        }
        default:
            return false;
    }
}

bool TForm::DialogKey(const MSG& message) {
    switch (message.message) {
        case WM_KEYDOWN:
            return DialogNavigationKey(message, DialogCodeOf(message.hwnd, message));
        case WM_SYSCHAR:
            return Broadcast(CM_DIALOGCHAR, message.wParam, 0) != 0;
        case WM_CHAR:
            // A plain letter is an accelerator only where the focused control takes no characters.
            if ((DialogCodeOf(message.hwnd, message) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) != 0) return false;
            return Broadcast(CM_DIALOGCHAR, message.wParam, 0) != 0;
        default:
            return false;
    }
}

void TForm::WndProc(TMessage& message) {
    switch (message.Msg) {
        case CM_FOCUSCHANGED: {
            auto* focused = reinterpret_cast<TWinControl*>(message.LParam);
            if (focused != this && Of(focused) == this) SetActiveControl(focused);
            // A radio box clicks itself when it takes the focus, and its click may free it.
            BroadcastControl(CM_FOCUSCHANGED, message.WParam, focused);
            return;
        }
        case WM_ACTIVATE: {
            const bool active = LOWORD(message.WParam) != WA_INACTIVE;
            // The focus goes elsewhere (a message box, a shell dialog): it comes back where the user left it.
            if (!active) RememberFocus();
            TCustomControl::WndProc(message);
            if (!active) return;
            const base::TWatch watch = Watch();
            if (HIWORD(message.WParam) == 0) RestoreFocus();
            if (watch && OnActivate) OnActivate();
            return;
        }
        case WM_SETFOCUS:
            TCustomControl::WndProc(message);
            // The form itself has nothing to type into: the focus goes on to its active control.
            RestoreFocus();
            return;
        case WM_CLOSE:
            message.Result = 0;
            Close();
            return;
        case CM_RELEASE:
            // Posted messages carry no sender: only the form's own request frees it.
            if (releaseRequested_) Free();
            return;
        case WM_HELP:
            // The controls have no topics of their own: every request on the form names the form's.
            if (helpContext_ != 0 && Application != nullptr) Application->HelpCommand(HELP_CONTEXT, helpContext_);
            message.Result = TRUE;
            return;
        default:
            TCustomControl::WndProc(message);
    }
}

// ---- TApplication

namespace {

// The error boxes open now. A paint or a timer that fails while one is open runs again inside that box's
// message loop and would open another, and so on: one box at a time, the failures of the system's calls
// meanwhile are not shown again.
int errorBoxesOpen = 0;

void ShowWindowException(const std::exception& error) {
    if (errorBoxesOpen == 0 && Application != nullptr) Application->ShowException(error);
}

// The dialog keys of the form a keyboard message is headed for.
bool PreTranslate(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSCHAR && message.message != WM_CHAR) return false;
    TForm* form = TForm::Of(FindControl(GetAncestor(message.hwnd, GA_ROOT)));
    return form != nullptr && form->DialogKey(message);
}

}  // namespace

TApplication::TApplication() : base::TComponent(nullptr) {
    Application = this;
    base::SetExceptionHandler(&ShowWindowException);
    base::SetMessageFilter(&PreTranslate);
}

TApplication::~TApplication() {
    DestroyComponents();
    base::SetMessageFilter(nullptr);
    base::SetExceptionHandler(nullptr);
    if (comInitialized_) CoUninitialize();
    if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
    if (comInitialized_) return;
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comInitialized_ = SUCCEEDED(result);
}

void TApplication::Run() {
    if (mainForm_ != nullptr) mainForm_->Show();
    // Runs until the quit request is taken from the queue, so that none is left behind for later loops.
    while (HandleMessage()) {
    }
    terminated_ = true;
}

bool TApplication::HandleMessage() {
    MSG message;
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) return false;
    base::DispatchQueuedMessage(message);
    return true;
}

void TApplication::ProcessMessages() {
    if (!base::DispatchWaitingMessages()) terminated_ = true;
}

void TApplication::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    PostQuitMessage(0);
}

void TApplication::Notification(base::TComponent* component, bool removing) {
    if (removing && component == mainForm_) mainForm_ = nullptr;
}

bool TApplication::HelpCommand(uint16_t command, intptr_t data) {
    bool callHelp = true;
    return OnHelp ? OnHelp(command, data, callHelp) : false;
}

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

void TApplication::ShowException(const std::exception& error) {
    // Owned by the active window, the box stays in front of it even when that window is topmost.
    HWND owner = GetActiveWindow();
    if (owner == nullptr && mainForm_ != nullptr && mainForm_->HandleAllocated() && mainForm_->Visible())
        owner = mainForm_->Handle();
    const std::string text = ErrorBoxText(error.what());
    ++errorBoxesOpen;
    // The single-byte box reads its text in the active code page, the one the program's text is in.
    MessageBoxA(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
    --errorBoxesOpen;
}

}  // namespace ui
