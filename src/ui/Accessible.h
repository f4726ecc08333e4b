// What a screen reader learns of a window of ours. A reader asks a window what it is through
// WM_GETOBJECT; a window that does not answer gets the system's standard object, which knows the window
// only as a plain client area. A control describes itself through TAccessibleInfo, and its window answers
// the reader with a TAccessible: an object that takes from the description what the control says and
// from the standard object everything else (position, navigation between windows, hit testing, parent).
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <optional>
#include <string>
#include <vector>

namespace ui {

class TAccessibleObject;

// A control's answers to a screen reader. Child 0 (CHILDID_SELF) is the control itself; 1 ..
// AccessibleChildCount() are its simple elements: parts without a window of their own (an item of a list,
// a cell, a windowless control that the window paints) that are described here rather than by an object
// of their own. Every answer has a default, so a control overrides only what differs.
// Text is in the program's code page, as captions are.
class TAccessibleInfo {
public:
    virtual ~TAccessibleInfo() = default;

    // The ROLE_SYSTEM_* number.
    virtual long AccessibleRole(int child) const { return ROLE_SYSTEM_CLIENT; }
    // No name of its own: for the control, the standard object's (the window text); for an element, none.
    virtual std::optional<std::string> AccessibleName(int child) const { return std::nullopt; }
    // The same rule for the value, the default action and the keyboard shortcut ("Alt+S").
    virtual std::optional<std::string> AccessibleValue(int child) const { return std::nullopt; }
    virtual std::optional<std::string> AccessibleDefaultAction(int child) const { return std::nullopt; }
    virtual std::optional<std::string> AccessibleShortcut(int child) const { return std::nullopt; }
    // The STATE_SYSTEM_* bits the control knows (checked, pressed, read-only, ...). What the window itself
    // tells (focused, focusable, unavailable, invisible) is added to the control's own bits from the
    // standard object; an element gets FOCUSED and SELECTED from AccessibleFocus and AccessibleSelection.
    // The control and its elements are UNAVAILABLE while the window takes no input (WindowTakesInput).
    virtual long AccessibleState(int child) const { return 0; }
    // Does what AccessibleDefaultAction names; called only where that has an answer and the control or
    // element is available. A reader waits for the call to come back, so the action is posted, not run here.
    virtual void DoAccessibleDefaultAction(int child) {}

    virtual int AccessibleChildCount() const { return 0; }
    // Where the element is, in the window's client coordinates (the object hands them on in screen
    // coordinates); an empty rectangle for one not shown.
    virtual RECT AccessibleBounds(int child) const { return RECT{}; }
    // The element that has the focus within the control (0 for none), and the selected one: one element
    // at most, as in a list of radio items or a grid's current cell.
    virtual int AccessibleFocus() const { return 0; }
    virtual int AccessibleSelection() const { return 0; }
    // Moves the focus or the selection to an element (SELFLAG_TAKEFOCUS, SELFLAG_TAKESELECTION); false
    // when the element cannot take what is asked. The control itself is selected by the standard object.
    virtual bool SelectAccessible(int child, long flags) { return false; }
};

// The name a caption gives: its accelerator marks taken out ("&Save" -> "Save", "&&" -> "&").
std::string StripAccelerator(const std::string& caption);
// The keyboard shortcut a caption gives: "Alt+S" for "&Save" (the first single '&' counts, as for
// IsAccel); empty for a caption without one.
std::string ShortcutFromCaption(const std::string& caption);

// The reader's object of one window, held by the control (one member, so a control owns at most one live
// object): made when a reader first asks, so a run that no reader looks at pays nothing. A reader may
// hold the object longer than the window lives; once the window goes it is disconnected, and every later
// call answers CO_E_OBJNOTCONNECTED without touching the control. Each request for its list of children
// (IEnumVARIANT) gets an enumerator of its own, so that readers walking the children at once do not move
// each other on. An error in answering a reader is answered as E_FAIL and shown to no one: the reader waits
// for its call, and could not read a box the call opened.
class TAccessible {
public:
    TAccessible() = default;
    ~TAccessible() { Disconnect(); }
    TAccessible(const TAccessible&) = delete;
    TAccessible& operator=(const TAccessible&) = delete;

    // For WM_GETOBJECT: answers the client object's request (OBJID_CLIENT) with this window's object,
    // made on the first request, and returns true with the message's result set. False for every other
    // object id: the caller hands the message to its default handling. The description must outlive the
    // object's connection: Disconnect before it goes.
    bool AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, TAccessibleInfo& info, LRESULT& result);
    // The window or the control goes: the objects let go of both, and a later request makes new ones.
    void Disconnect() noexcept;
    // Whether a reader has asked for an object since the last disconnection.
    bool HasObject() const { return standard_ != nullptr; }

private:
    friend class TAccessibleObject;
    void Forget(TAccessibleObject* object) noexcept;

    // The objects readers hold now (each leaves the list when the last reader lets go of it), and what
    // they share: the window, the description and the standard object.
    std::vector<TAccessibleObject*> objects_;
    HWND window_ = nullptr;
    TAccessibleInfo* info_ = nullptr;
    IAccessible* standard_ = nullptr;
};

// Whether a window takes input: it and every window it lies in are enabled. A modal window disables only the
// top windows under it, so a control on one of them is enabled itself and still takes none.
bool WindowTakesInput(HWND window);

// Tells the readers of a change, e.g. EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE,
// EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_VALUECHANGE or EVENT_OBJECT_SELECTION, of the window's client
// object or one of its elements. Nothing without a window.
void NotifyAccessibleEvent(DWORD event, HWND window, int child = CHILDID_SELF);

}  // namespace ui
