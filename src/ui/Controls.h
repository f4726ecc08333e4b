// Controls: non-windowed ones painted by their parent, and windowed ones whose Win32 window carries the
// control's class name. Every control sees its messages through one virtual window procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Boundary.h"
#include "base/Classes.h"
#include "ui/Accessible.h"
#include "ui/Graphics.h"

namespace ui {

class TWinControl;

// Notifications between controls, numbered as the skinned controls and their peers expect
// (the colour-changed notification is 0xB00D).
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
// A form asked to be freed once the message that asked for it has been handled.
constexpr UINT CM_RELEASE = CM_BASE + 33;
// A control tells itself that settings it passes on to the controls it made have changed.
constexpr UINT CM_CHANGED = CM_BASE + 37;
// A reader's default action, posted by the control to itself: a reader waits for the action's call to
// return, and the control's click may open a modal window.
constexpr UINT CM_ACCESSIBLEACTION = CM_BASE + 38;

// Notifications a parent window reflects back to the child control they concern, so that a native
// control's owner-draw and command messages reach the control's own window procedure.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

// The layer's own messages (CM_ and CN_) carry the layer's pointers and mean "this program says so", but
// their numbers lie in the range other programs use for theirs. A window takes one only from the send this
// thread's own code is making now (SendPrivate), once, or from Perform; the same number posted or sent by
// anyone else, even while the own send is being handled, is passed to the window's default handling untouched.
bool IsPrivateMessage(UINT msg);
LRESULT SendPrivate(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

// True when the caption marks key as its accelerator ("&F" for F or f; "&&" is a plain ampersand).
bool IsAccel(unsigned key, const std::string& caption);

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
// A window's border: none, a single line (a control's sunken edge) or a dialog frame (forms only).
enum TFormBorderStyle { bsNone, bsSingle, bsDialog };
// A control's border: bsNone or bsSingle.
using TBorderStyle = TFormBorderStyle;

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

using TMouseEvent = std::function<void(TMouseButton button, int x, int y)>;

// Every control describes itself to a screen reader (TAccessibleInfo): the defaults answer as the
// system's standard object does for a plain window; each kind of control answers as the standard control
// it stands for.
class TControl : public base::TComponent, public TAccessibleInfo {
public:
    explicit TControl(base::TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    virtual RECT ClientRect() const { return RECT{0, 0, width_, height_}; }
    int ClientWidth() const { return ClientRect().right; }
    int ClientHeight() const { return ClientRect().bottom; }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // The font and colour follow the parent's until they are set on the control itself.
    TFont& Font() { return font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool parentColor);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    // The mouse pointer over the control; nullptr leaves it to the window's class.
    HCURSOR Cursor() const { return cursor_; }
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; }

    // Invalidate: paint when the message loop gets to it. Repaint: paint now.
    virtual void Invalidate();
    virtual void Repaint();

    // Sends a message straight to the control's window procedure.
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // The one window procedure of the control; overrides handle what they need and pass the rest on.
    virtual void WndProc(TMessage& message);

    virtual bool IsWindowed() const { return false; }
    // True for controls whose paint covers every pixel of their bounds.
    bool Opaque() const { return opaque_; }

    // The control's position in screen coordinates.
    POINT ClientToScreen(POINT point) const;

    // Kept for controls that hear of the mouse coming and going (SetHoverEvents); false for the others.
    bool MouseInside() const { return mouseInside_; }

    // The control that this one names for a reader, as a label names its focus control; nullptr for none.
    virtual TWinControl* LabelledControl() const { return nullptr; }
    // What a reader calls a control whose purpose no caption tells (a button that shows only a glyph);
    // empty leaves the control's own answer.
    void SetAccessibleName(const std::string& name) { accessibleName_ = name; }
    std::optional<std::string> AccessibleName(int child) const override;

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    // Tells a reader that watches of a change of the control: of its window's object, or of its element
    // in its parent's. Nothing while there is no window to speak of.
    void NotifyAccessible(DWORD event) const;
    // The caption as a reader reads it: without its accelerator marks.
    std::string CaptionName() const { return StripAccelerator(caption_); }
    virtual void DefaultHandler(TMessage& message) { message.Result = 0; }
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void TextChanged() { Invalidate(); }
    virtual void VisibleChanged();
    virtual void EnabledChanged() { Invalidate(); }
    virtual void Click();
    virtual void MouseDown(TMouseButton button, int x, int y);
    virtual void MouseUp(TMouseButton button, int x, int y);
    // The mouse came over the control or left it (windowed or not), for controls that hear of it.
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    // Whether the control hears of the mouse coming over it and leaving it. Off unless a control reacts:
    // watching for the mouse to leave a window is work for the system (under Wine a timer that polls
    // the pointer for as long as it rests over the window).
    void SetHoverEvents(bool hoverEvents) { hoverEvents_ = hoverEvents; }
    // The wheel turned over the focused control; true when the control used it (else its parent may).
    virtual bool MouseWheel(int delta, POINT screenPoint) { return false; }
    void SetOpaque(bool opaque) { opaque_ = opaque; }
    // Whether a left press and release on the control is its click; native controls report their own.
    void SetClickEvents(bool clickEvents) { clickEvents_ = clickEvents; }
    // Lets the parent lay its aligned children out again.
    void RequestAlign();
    void SetBoundsQuiet(int left, int top, int width, int height);

private:
    void ParentFontChanged();
    void ParentColorChanged();
    bool HandleMouse(TMessage& message);
    // A left press holds the mouse, as the system's buttons do, so that its release comes back here
    // wherever it happens; a press whose capture goes elsewhere is forgotten.
    void CaptureForPress();
    void ReleasePressCapture();

    TWinControl* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    TAlign align_ = alNone;
    bool visible_ = true;
    bool enabled_ = true;
    TFont font_;
    bool parentFont_ = true;
    bool adoptingFont_ = false;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    std::string caption_;
    HCURSOR cursor_ = nullptr;
    bool opaque_ = false;
    bool mouseDown_ = false;
    // The press took the mouse for this control's window: the press ends when the window loses it.
    bool capturedByPress_ = false;
    bool mouseInside_ = false;
    bool clickEvents_ = true;
    bool hoverEvents_ = false;
    std::string accessibleName_;

    friend class TWinControl;
};

// A control without a window: its parent paints it through Paint() into the parent's DC.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(base::TComponent* owner) : TControl(owner) {}

    // Paints the control into a DC whose origin is the control's top-left corner.
    void PaintTo(HDC dc);

protected:
    TCanvas& Canvas() { return canvas_; }
    virtual void Paint() {}

private:
    TCanvas canvas_;
};

// What a windowed control asks of CreateWindowEx.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    // The Win32 window class: the control's class name. A native control is superclassed from
    // SuperclassOf under that name, so its look and behaviour stay the native class's.
    std::string WinClassName;
    std::string SuperclassOf;
    UINT ClassStyle = CS_DBLCLKS;
    HCURSOR Cursor = nullptr;
    HICON Icon = nullptr;
    // Without it the system makes the small icon from the large one, which costs more than loading it.
    HICON SmallIcon = nullptr;
    // A window that takes text from the keyboard is a Unicode window: a single-byte window gets typed
    // characters in the system's conversion to the code page, which under UTF-8 (and under Wine's own)
    // does not carry every character whole.
    bool Unicode = false;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(base::TComponent* owner);
    ~TWinControl() override;

    // The window, created (with its parents') on first use.
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    void DestroyHandle();
    // Destroys the window and makes it anew, e.g. after a change of window style.
    void RecreateWnd();

    const std::vector<TControl*>& Controls() const { return controls_; }
    int ControlCount() const { return static_cast<int>(controls_.size()); }

    bool IsWindowed() const override { return true; }
    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    void Invalidate() override;
    void Repaint() override;
    void Update();
    void SetFocus();
    bool Focused() const;
    // Visible and enabled, with every parent; a control that cannot show or take input cannot be focused.
    bool CanFocus() const;

    // Keyboard navigation: Tab visits the controls with TabStop in TabOrder, entering containers.
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop);
    int TabOrder() const;
    void SetTabOrder(int order);
    // The next (or previous) focusable control after current among this control's descendants, wrapping.
    // A current control outside the tab order (a grid's cell editor) counts as the nearest of its
    // parents that is in it.
    TWinControl* FindNextControl(TWinControl* current, bool forward) const;
    // Sends a message to every descendant, depth first, until one answers it with a non-zero result.
    // A descendant that a handler frees on the way is skipped; the walk ends if this control goes.
    LRESULT Broadcast(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // The same, with a control as the lParam: once a handler frees that control, the rest of the walk
    // hands on a null pointer instead of a dangling one.
    LRESULT BroadcastControl(UINT msg, WPARAM wParam, TControl* subject);
    // The focusable control after (or before) current among current's siblings, wrapping, whatever their
    // tab stops: the arrow keys move this way among the items of one group.
    static TWinControl* FindNextSibling(TWinControl* current, bool forward);
    // The control of ours that has the focus, or holds the native window that has it; nullptr if none.
    static TWinControl* FocusedControl();
    // The top of the parent chain (the form).
    TWinControl* Root();

    // Paints the non-windowed children into a DC whose origin is this control's client origin.
    void PaintControls(HDC dc);
    // Paints the whole control as its window shows it (its border, background, client area and windowed
    // children) into a DC, with the control's top-left corner at (x, y).
    void PaintTo(HDC dc, int x, int y);
    // The child that is visible under a client point, non-windowed children only.
    TControl* ControlAtPos(POINT point) const;

    void WndProc(TMessage& message) override;

    // A reader's answers: a window's elements are its children without windows that describe
    // themselves (labels); a control that reads its own elements overrides them all. A control that a
    // label names takes its name and shortcut from that label, as the dialog manager does for a static
    // text before a field.
    std::optional<std::string> AccessibleName(int child) const override;
    std::optional<std::string> AccessibleValue(int child) const override;
    std::optional<std::string> AccessibleShortcut(int child) const override;
    long AccessibleRole(int child) const override;
    long AccessibleState(int child) const override;
    int AccessibleChildCount() const override;
    RECT AccessibleBounds(int child) const override;
    // The element by which a reader knows a child without a window; 0 when it is none.
    int AccessibleElementOf(const TControl* control) const;

protected:
    virtual const char* ClassName() const = 0;
    // Which keys the control keeps from the dialog keyboard (WM_GETDLGCODE: DLGC_WANTARROWS,
    // DLGC_WANTTAB, DLGC_WANTALLKEYS, DLGC_WANTCHARS ...); message is the key message about to be
    // handed on, or nullptr. The base answers as the window's class does.
    virtual LRESULT DialogCode(const MSG* message);
    // Stops dispatching to the object and destroys the window, children first; the owned components are
    // destroyed before, while the object is still whole.
    void BeforeDestruction() override;
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    // After the window exists: children's windows are created and the control can set native state.
    virtual void CreateHandleDone() {}
    // Paints the client area into a DC.
    virtual void PaintWindow(HDC dc);
    // Fills the background in the control's colour; a native control erases as its class does.
    virtual void EraseBackground(HDC dc);
    void DefaultHandler(TMessage& message) override;
    void AlignControls();
    void FontChanged() override;
    void ColorChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void TextChanged() override;
    // Called as the mouse moves over the window; sets up the leave notification on entry.
    void TrackMouse();
    // The label that names this control for a reader, nullptr for none.
    const TControl* NamingLabel() const;
    // The reader's default action, run once the reader's call has returned: the control's click, if the
    // control still takes input then.
    void PostAccessibleAction();

private:
    friend class TControl;
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void Bind(HWND window);
    void Unbind();
    void Teardown();
    // The identifier of a new child window: unused among the parent window's children, 16 bits wide as
    // WM_COMMAND carries it.
    static UINT FreeChildId(HWND parentWindow);
    void DialogManagerMessage(TMessage& message);
    LRESULT BroadcastWatching(UINT msg, WPARAM wParam, LPARAM lParam, const base::TWatch* subject);
    // WM_SETCURSOR over the client area: the pointer of the child under it, else the control's own.
    bool SetPointer(TMessage& message);
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void PaintHandler(TMessage& message);
    void ForwardMouse(TMessage& message);
    // The mouse went elsewhere (WM_CAPTURECHANGED) or a mode is cancelled (WM_CANCELMODE): a press on a
    // child ends without a click.
    void DropPress(UINT msg);
    // Whether the window has anything outside its client area: frame, edge, caption or scroll bar.
    bool HasNonClientArea() const;
    bool ReflectNotification(TMessage& message);
    void SetHoveredControl(TControl* control);
    void CollectTabOrder(std::vector<TWinControl*>& list) const;
    // The children without windows that a reader knows as this window's elements.
    std::vector<const TControl*> AccessibleElements() const;
    // The element of that id, nullptr for none.
    const TControl* AccessibleElement(int child) const;
    // Runs the readers' actions answered so far, in their order (CM_ACCESSIBLEACTION).
    static void RunAccessibleActions();

    HWND handle_ = nullptr;
    TAccessible accessible_;
    WNDPROC defaultProc_ = nullptr;
    bool native_ = false;
    bool unicode_ = false;
    std::vector<TControl*> controls_;
    TControl* mouseControl_ = nullptr;
    TControl* hoveredControl_ = nullptr;
    bool trackingMouse_ = false;
    bool tabStop_ = false;
    bool tornDown_ = false;
    std::vector<TWinControl*> tabList_;
};

// The control object bound to a window of ours, or nullptr.
TWinControl* FindControl(HWND window);

// Tells a control something: through its window where it has one, so that hooks on it see the message
// too, else straight to the control.
void Notify(TControl* control, UINT msg);

// Marks (part of) a window for repainting, or redraws it with RedrawWindow's flags, only while the window
// is on the screen: a window is painted whole when it is shown, and marking a hidden one would only cost a
// request to the window server, one for every property set while a form is being built.
void InvalidateShown(HWND window, const RECT* rect, bool erase);
void RedrawShown(HWND window, UINT flags);

// Whether window styles ask for a frame, edge, caption or scroll bar. Without them the client area is the
// whole window; the system's own reckoning of that goes through its non-client metrics, which under Wine
// makes and measures three fonts each time.
bool StylesHaveFrame(DWORD style, DWORD exStyle);

// A hidden message-only window of the module's class of that name (registered with the procedure on
// first use), never shown, never enumerated: there only to receive messages.
HWND CreateMessageWindow(const char* className, WNDPROC procedure);

// A windowed control with a canvas over its own client area.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(base::TComponent* owner) : TWinControl(owner) {}

protected:
    TCanvas& Canvas() { return canvas_; }
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

private:
    TCanvas canvas_;
};

}  // namespace ui
