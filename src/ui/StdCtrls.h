// The label (a caption painted on the parent's surface), the push button and the edit field.
#pragma once

#include "ui/Controls.h"

namespace ui {

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* owner);

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

protected:
    void Paint() override;
    void Loaded() override;
    void TextChanged() override;
    void FontChanged() override;
    // Sizes the label to its caption (when AutoSize is on and it is not being loaded).
    virtual void AdjustBounds();
    // DrawText flags for the label's alignment, wrapping and accelerator setting.
    UINT TextFlags() const;
    void Notification(TComponent* component, bool removing) override;
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
    explicit TButton(TComponent* owner);

    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool cancel) { cancel_ = cancel; }
    // A non-zero modal result ends the modal form the button lies on, once the click's handler returned
    // without an error.
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    void Click() override;

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

// The native single-line edit field.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);

    std::string Text() const;
    void SetText(const std::string& text);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase charCase);
    bool BorderSingle() const { return borderSingle_; }
    void SetBorderSingle(bool single);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);

    TNotifyEvent OnChange;

protected:
    const char* ClassName() const override { return "TEdit"; }
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    void WndProc(TMessage& message) override;
    void ColorChanged() override;

private:
    int maxLength_ = 0;
    TEditCharCase charCase_ = ecNormal;
    bool borderSingle_ = true;
    bool readOnly_ = false;
    BrushHandle background_;
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};

}  // namespace ui
