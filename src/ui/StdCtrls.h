// The label (a caption painted on the parent's surface), the push button and the edit field.
#pragma once

#include <string>

#include "ui/Controls.h"

namespace ui {

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(base::TComponent* owner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    bool AutoSize() const { return autoSize_; }
    virtual void SetAutoSize(bool autoSize);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout layout);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool show);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    // The control the label's accelerator focuses; forgotten when that control goes, whoever owns it.
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);

    // Static text named by its caption; it names its focus control too.
    long AccessibleRole(int child) const override { return ROLE_SYSTEM_STATICTEXT; }
    std::optional<std::string> AccessibleName(int child) const override;
    TWinControl* LabelledControl() const override { return focusControl_; }

protected:
    void Paint() override;
    void Loaded() override;
    void TextChanged() override;
    void FontChanged() override;
    // Sizes the label to its caption (when AutoSize is on and it is not being loaded).
    virtual void AdjustBounds();
    // DrawText flags for the label's alignment, wrapping and accelerator setting.
    UINT TextFlags() const;
    void Notification(base::TComponent* component, bool removing) override;
    void WndProc(TMessage& message) override;

private:
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    bool transparent_ = false;
    TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
};

// The native push button. Enter presses the "active" button: the focused button, or the Default
// button while the focus is on a control that is not a button; Escape presses the Cancel button.
class TButton : public TWinControl {
public:
    explicit TButton(base::TComponent* owner);

    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool cancel) { cancel_ = cancel; }
    // A non-zero modal result ends the modal form the button lies on, once the click's handler returned
    // without an error.
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    void Click() override;

    // A push button named by its caption; the reader's "Press" clicks it once the reader's call returned.
    long AccessibleRole(int child) const override { return ROLE_SYSTEM_PUSHBUTTON; }
    std::optional<std::string> AccessibleName(int child) const override;
    std::optional<std::string> AccessibleDefaultAction(int child) const override { return std::string("Press"); }
    std::optional<std::string> AccessibleShortcut(int child) const override;
    long AccessibleState(int child) const override { return active_ ? STATE_SYSTEM_DEFAULT : 0; }
    void DoAccessibleDefaultAction(int child) override { PostAccessibleAction(); }

protected:
    const char* ClassName() const override { return "TButton"; }
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    // A push button, also one that paints itself, tells the dialog keyboard it is one.
    LRESULT DialogCode(const MSG* message) override;
    // Told on every focus move whether Enter would now press this button (Active() already answers it);
    // the native button shows it with its default-button style.
    virtual void SetDefaultStyle(bool active);
    bool Active() const { return active_; }

private:
    void FocusMoved(TWinControl* focused);

    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
    bool active_ = false;
};

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// The native edit field, superclassed under the control's class name, with the creation styles every
// field of ours has (a long text scrolls instead of wrapping or being refused, also in a descendant
// that makes the window multi-line). The text lives in the window while there is one and is carried
// over when the window is made anew. A field holds one line: line breaks and tabs never get into it.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(base::TComponent* owner);

    std::string Text() const;
    // Sets the window's text once (line breaks and tabs removed) and fires OnChange once, when it differs.
    void SetText(const std::string& text);
    void SelectAll();
    // Selects the whole text when the field gets the focus, unless the left button is held on it.
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }
    // The height follows the font: one line of text with a little room above and below, and the border.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    // Upper or lower case applies to typed text and to text set by the program, as the native style does.
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase charCase);
    // How many characters typing may bring the text to (0: no limit); text set by the program is not cut.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);

    // Editable text valued with its text, named by its label or by nothing (never by its text).
    long AccessibleRole(int child) const override { return ROLE_SYSTEM_TEXT; }
    std::optional<std::string> AccessibleName(int child) const override;
    std::optional<std::string> AccessibleValue(int child) const override { return Text(); }
    long AccessibleState(int child) const override { return readOnly_ ? STATE_SYSTEM_READONLY : 0; }

    TNotifyEvent OnChange;

protected:
    const char* ClassName() const override { return "TEdit"; }
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    void WndProc(TMessage& message) override;
    void ColorChanged() override;
    void FontChanged() override;
    void Loaded() override;
    // The text changed, typed or set: fires OnChange.
    virtual void Change();

private:
    void AdjustHeight();
    // How many UTF-16 units the limit leaves for text typed or pasted over the selection.
    size_t Room();
    // A paste: the clipboard's text as one line (without line breaks or tabs), cut where the limit comes
    // between two characters, never inside one.
    void PasteAsOneLine();
    // A character beyond the basic plane comes as two units, one message each: the first is held until the
    // second comes, and the two are typed together where both fit, never the first alone. False for any
    // other unit, which the native control types as it comes.
    bool TypeSurrogate(WPARAM unit);

    // The text while there is no window.
    std::string text_;
    bool autoSelect_ = true;
    bool autoSize_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    TEditCharCase charCase_ = ecNormal;
    int maxLength_ = 0;
    bool readOnly_ = false;
    bool leftButtonDown_ = false;
    BrushHandle background_;
    // The first bytes of a character being typed.
    wchar_t highSurrogate_ = 0;
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};

}  // namespace ui
