#include "ui/Forms.h"

#include <objbase.h>

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

void TForm::WndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_ACTIVATE:
            TCustomControl::WndProc(message);
            if (LOWORD(message.WParam) != WA_INACTIVE && OnActivate) OnActivate();
            return;
        case WM_CLOSE:
            // Closing hides the form; closing the main form ends the application's message loop.
            Hide();
            if (Application != nullptr && Application->MainForm() == this) Application->Terminate();
            message.Result = 0;
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
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    terminated_ = true;
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
