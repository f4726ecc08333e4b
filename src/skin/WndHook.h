// Window-procedure hooks: a procedure of our own in front of a control's window procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "base/Classes.h"
#include "ui/Controls.h"

namespace skin {

class TWndHook;

using TWinMessageEvent = std::function<void(base::TComponent* sender, ui::TMessage& message, bool& handled)>;
using TWinControlEvent = std::function<void(ui::TWinControl* control)>;

// Puts a procedure of its own in front of a control's window procedure and lets OnBeforeMessage and
// OnAfterMessage see (and change) every message of that window. Several hooks on one window are kept
// chained; a hook can leave in any order, and it is put back when its control's window is recreated.
class TWndHook : public base::TComponent {
public:
    explicit TWndHook(base::TComponent* owner);
    ~TWndHook() override;

    bool Active() const { return active_; }
    void SetActive(bool active);
    ui::TWinControl* WinControl() const { return winControl_; }
    // Leaves the old control's window; the hook is not installed on the new one by this.
    void SetWinControl(ui::TWinControl* control);
    // The control's window, nullptr when there is no control or its window does not exist.
    HWND Handle() const;

    // The procedure this hook installs and the one it calls on; nullptr while not installed.
    WNDPROC HookProcedure() const { return hookProcedure_; }
    WNDPROC PreviousProcedure() const { return previousProcedure_; }

    TWinMessageEvent OnBeforeMessage;
    TWinMessageEvent OnAfterMessage;
    TWinControlEvent OnChangeWinControl;

    void Notification(base::TComponent* component, bool removing) override;

protected:
    virtual void HookWindow(HWND window);
    virtual void FreeHookProc(HWND window);
    virtual void UnhookWindow(HWND window);
    // The hooked window's procedure.
    virtual void HookWndProc(HWND window, ui::TMessage& message);
    virtual void Rehook();

private:
    friend class THookList;
    friend struct HookDispatch;

    bool active_ = false;
    ui::TWinControl* winControl_ = nullptr;
    // The window the procedure is installed on; it outlives a recreation of the control's window.
    HWND hookedWindow_ = nullptr;
    int slot_ = -1;
    WNDPROC hookProcedure_ = nullptr;
    WNDPROC previousProcedure_ = nullptr;
};

// The process-wide list of hooks, in creation order, with a hidden window that serves the unhook and
// re-hook requests. It exists while any hook exists.
class THookList {
public:
    static constexpr UINT kUnhookRequest = WM_USER + 301;
    static constexpr UINT kRehookRequest = WM_USER + 302;

    // The list, or nullptr while there is no hook.
    static THookList* Instance();
    const std::vector<TWndHook*>& Hooks() const { return hooks_; }
    bool Contains(const TWndHook* hook) const;
    HWND Window() const { return window_; }

    ~THookList();
    THookList(const THookList&) = delete;
    THookList& operator=(const THookList&) = delete;

private:
    friend class TWndHook;
    THookList();
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void ServeUnhook(TWndHook* hook);
    void ServeRehook(TWndHook* hook);

    std::vector<TWndHook*> hooks_;
    HWND window_ = nullptr;
};

}  // namespace skin
