#include "ui/Forms.h"

#include <objbase.h>

#include <vector>

#include "ui/SysUtils.h"

namespace ui {

TApplication* Application = nullptr;

// ---- TForm

TForm::TForm(TComponent* owner) : TCustomControl(owner) {
    SetVisible(false);
    SetColor(clBtnFace);
}

TForm::~TForm() {
    if (OnDestroy) OnDestroy();
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
    // The program's icon (where the module has one) stands for its windows, on the taskbar too.
    params.Icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    // The other forms are owned by the main form: they stay above it and give the activation back to it.
    if (Application != nullptr && Application->MainForm() != nullptr && Application->MainForm() != this &&
        Application->MainForm()->HandleAllocated())
        params.WndParent = Application->MainForm()->Handle();
    if (!Enabled()) params.Style |= WS_DISABLED;
    if (clientWidth_ > 0 || clientHeight_ > 0) {
        RECT outer{0, 0, clientWidth_, clientHeight_};
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
}

void TForm::Hide() { SetVisible(false); }

void TForm::Close() {
    if (HandleAllocated())
        SendMessageA(Handle(), WM_CLOSE, 0, 0);
    else
        Perform(WM_CLOSE);
}

TForm* TForm::Of(TControl* control) {
    while (control != nullptr && control->Parent() != nullptr) control = control->Parent();
    return dynamic_cast<TForm*>(control);
}

namespace {

BOOL CALLBACK DisableWindow(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && IsWindowEnabled(window)) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        EnableWindow(window, FALSE);
    }
    return TRUE;
}

UINT DialogCodeOf(HWND window, const MSG& message) {
    return static_cast<UINT>(SendMessageA(window, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message)));
}

}  // namespace

int TForm::ShowModal() {
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), &DisableWindow, reinterpret_cast<LPARAM>(&disabled));
    modalResult_ = mrNone;
    modal_ = true;
    Show();
    bool quit = false;
    while (modalResult_ == mrNone && !quit) quit = !Application->HandleMessage();
    // Enable the others before hiding, so that the activation goes back to one of them.
    for (HWND window : disabled) EnableWindow(window, TRUE);
    Hide();
    modal_ = false;
    if (quit) PostQuitMessage(0);
    return modalResult_;
}

bool TForm::DialogKey(const MSG& message) {
    HWND target = message.hwnd;
    switch (message.message) {
        case WM_KEYDOWN: {
            const UINT code = DialogCodeOf(target, message);
            if ((code & DLGC_WANTALLKEYS) != 0) return false;
            const bool control = GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
            if (message.wParam == VK_TAB && !control && (code & DLGC_WANTTAB) == 0) {
                TWinControl* current = FindControl(GetFocus());
                if (TWinControl* next = FindNextControl(current, GetKeyState(VK_SHIFT) >= 0)) next->SetFocus();
                return true;
            }
            if (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)
                return Broadcast(CM_DIALOGKEY, message.wParam, 0) != 0;
            return false;
        }
        case WM_SYSCHAR:
            return Broadcast(CM_DIALOGCHAR, message.wParam, 0) != 0;
        case WM_CHAR:
            // A plain letter is an accelerator only where the focused control takes no characters.
            if ((DialogCodeOf(target, message) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) != 0) return false;
            return Broadcast(CM_DIALOGCHAR, message.wParam, 0) != 0;
        default:
            return false;
    }
}

void TForm::WndProc(TMessage& message) {
    switch (message.Msg) {
        case CM_FOCUSCHANGED:
            Broadcast(CM_FOCUSCHANGED, message.WParam, message.LParam);
            return;
        case WM_ACTIVATE:
            TCustomControl::WndProc(message);
            if (LOWORD(message.WParam) != WA_INACTIVE && OnActivate) OnActivate();
            return;
        case WM_CLOSE:
            // Closing a modal form ends its loop; any other closing hides the form, and closing the
            // main form ends the application's message loop.
            message.Result = 0;
            if (modal_) {
                modalResult_ = mrCancel;
                return;
            }
            Hide();
            if (Application != nullptr && Application->MainForm() == this) Application->Terminate();
            return;
        default:
            TCustomControl::WndProc(message);
    }
}

// ---- TApplication

namespace {

void ShowWindowException(const std::exception& error) {
    if (Application != nullptr) Application->ShowException(error);
}

}  // namespace

TApplication::TApplication() : TComponent(nullptr) {
    Application = this;
    SetWindowExceptionHandler(&ShowWindowException);
}

TApplication::~TApplication() {
    DestroyComponents();
    SetWindowExceptionHandler(nullptr);
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

static bool PreTranslate(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSCHAR && message.message != WM_CHAR) return false;
    TForm* form = TForm::Of(FindControl(GetAncestor(message.hwnd, GA_ROOT)));
    return form != nullptr && form->DialogKey(message);
}

bool TApplication::HandleMessage() {
    MSG message;
    if (GetMessageA(&message, nullptr, 0, 0) <= 0) return false;
    if (!PreTranslate(message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

void TApplication::ProcessMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            terminated_ = true;
            // Leave it for the loop that owns the thread.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void TApplication::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    PostQuitMessage(0);
}

bool TApplication::HelpCommand(uint16_t command, int32_t data) {
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
    MessageBoxA(owner, ErrorBoxText(error.what()).c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace ui
