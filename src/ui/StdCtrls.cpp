#include "ui/StdCtrls.h"

#include <algorithm>
#include <limits>

#include "base/SysUtils.h"
#include "ui/Forms.h"

namespace ui {

TCustomLabel::TCustomLabel(base::TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
    SetOpaque(true);
    // A label shows on its parent's surface: it takes the parent's colour until it is given its own.
    SetParentColor(true);
}

void TCustomLabel::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool autoSize) {
    if (autoSize == autoSize_) return;
    autoSize_ = autoSize;
    AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool wordWrap) {
    if (wordWrap == wordWrap_) return;
    wordWrap_ = wordWrap;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool show) {
    if (show == showAccelChar_) return;
    showAccelChar_ = show;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    SetOpaque(!transparent);
    Invalidate();
}

UINT TCustomLabel::TextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (wordWrap_) flags |= DT_WORDBREAK;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    switch (alignment_) {
        case taLeftJustify:
            flags |= DT_LEFT;
            break;
        case taRightJustify:
            flags |= DT_RIGHT;
            break;
        case taCenter:
            flags |= DT_CENTER;
            break;
    }
    return flags;
}

void TCustomLabel::Paint() {
    RECT client = ClientRect();
    if (!transparent_) {
        Canvas().Brush().SetColor(Color());
        Canvas().FillRect(client);
    }
    Canvas().Brush().SetStyle(TBrushStyle::Clear);
    RECT text = client;
    if (layout_ != tlTop) {
        RECT measured = client;
        Canvas().DrawText(Caption(), measured, TextFlags() | DT_CALCRECT);
        const int room = Height() - measured.bottom;
        OffsetRect(&text, 0, layout_ == tlBottom ? room : room / 2);
    }
    if (!Enabled()) {
        OffsetRect(&text, 1, 1);
        Canvas().Font().SetColor(clBtnHighlight);
        Canvas().DrawText(Caption(), text, TextFlags());
        OffsetRect(&text, -1, -1);
        Canvas().Font().SetColor(clBtnShadow);
    }
    Canvas().DrawText(Caption(), text, TextFlags());
}

void TCustomLabel::AdjustBounds() {
    if (Loading() || !autoSize_) return;
    RECT measured = ClientRect();
    {
        WindowDC screen(nullptr);
        SavedDC saved(screen.Get());
        SelectObject(screen.Get(), Font().Handle());
        std::string text = Caption();
        // An empty caption still measures one line.
        if (text.empty() || (showAccelChar_ && text == "&")) text += ' ';
        DrawTextOf(screen.Get(), text, measured,
                   (TextFlags() & ~static_cast<UINT>(DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
    }
    int left = Left();
    if (alignment_ == taRightJustify) left = Left() + Width() - measured.right;
    SetBounds(left, Top(), measured.right, measured.bottom);
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::TextChanged() {
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
    if (control == focusControl_) return;
    if (focusControl_ != nullptr) RemoveFreeNotification(focusControl_);
    focusControl_ = control;
    if (focusControl_ != nullptr) FreeNotification(focusControl_);
}

std::optional<std::string> TCustomLabel::AccessibleName(int child) const {
    if (std::optional<std::string> own = TGraphicControl::AccessibleName(child)) return own;
    return showAccelChar_ ? CaptionName() : Caption();
}

void TCustomLabel::Notification(base::TComponent* component, bool removing) {
    TGraphicControl::Notification(component, removing);
    if (removing && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::WndProc(TMessage& message) {
    // The label's accelerator focuses the control the label names.
    if (message.Msg == CM_DIALOGCHAR && showAccelChar_ && focusControl_ != nullptr &&
        IsAccel(static_cast<unsigned>(message.WParam), Caption()) && focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        message.Result = 1;
        return;
    }
    TGraphicControl::WndProc(message);
}

// ---- TButton

TButton::TButton(base::TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
    SetClickEvents(false);
}

void TButton::SetDefault(bool isDefault) {
    if (isDefault == default_) return;
    default_ = isDefault;
    if (HandleAllocated()) FocusMoved(FindControl(GetFocus()));
}

namespace {

// Whether Enter on the control presses the control itself, as a focused push button does; radio and check
// buttons and every other control leave Enter to the default button.
bool IsPushButton(TWinControl* control) {
    if (control == nullptr || !control->HandleAllocated()) return false;
    const LRESULT code = SendMessageA(control->Handle(), WM_GETDLGCODE, 0, 0);
    return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

}  // namespace

void TButton::FocusMoved(TWinControl* focused) {
    // Which button Enter presses is the base's to know, whatever a descendant's look makes of it.
    const bool focusedIsPushButton = IsPushButton(focused);
    active_ = (focused == this && focusedIsPushButton) || (default_ && !focusedIsPushButton);
    SetDefaultStyle(active_);
}

LRESULT TButton::DialogCode(const MSG* message) {
    LRESULT code = TWinControl::DialogCode(message);
    // An owner-drawn button answers only DLGC_BUTTON, yet it is a push button all the same.
    if ((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_RADIOBUTTON)) == 0)
        code |= active_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    return code;
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SuperclassOf = "BUTTON";
    params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefaultStyle(bool active) {
    const LONG style = GetWindowLongA(Handle(), GWL_STYLE) & 0x0F;
    const LONG wanted = active ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (style != wanted) SendMessageA(Handle(), BM_SETSTYLE, static_cast<WPARAM>(wanted), TRUE);
}

std::optional<std::string> TButton::AccessibleName(int child) const {
    if (std::optional<std::string> own = TWinControl::AccessibleName(child)) return own;
    return CaptionName();
}

std::optional<std::string> TButton::AccessibleShortcut(int child) const {
    const std::string shortcut = ShortcutFromCaption(Caption());
    return shortcut.empty() ? std::nullopt : std::optional<std::string>(shortcut);
}

void TButton::Click() {
    // A handler that fails leaves the dialog open; one that frees the button ends the click with it.
    const base::TWatch watch = Watch();
    TWinControl::Click();
    if (!watch || modalResult_ == 0) return;
    if (TForm* form = TForm::Of(this)) form->SetModalResult(modalResult_);
}

void TButton::WndProc(TMessage& message) {
    switch (message.Msg) {
        case CN_COMMAND:
            if (HIWORD(message.WParam) == BN_CLICKED) Click();
            return;
        case CM_FOCUSCHANGED:
            FocusMoved(reinterpret_cast<TWinControl*>(message.LParam));
            return;
        case CM_DIALOGKEY:
            if (((message.WParam == VK_RETURN && active_) || (message.WParam == VK_ESCAPE && cancel_)) && CanFocus()) {
                Click();
                message.Result = 1;
            }
            return;
        case CM_DIALOGCHAR:
            if (IsAccel(static_cast<unsigned>(message.WParam), Caption()) && CanFocus()) {
                Click();
                message.Result = 1;
            }
            return;
        default:
            TWinControl::WndProc(message);
    }
}

// ---- TCustomEdit

namespace {

// No file or folder name holds a tab either, and one pasted would only go into the settings file.
template <typename Text>
Text OneLine(Text text) {
    text.erase(std::remove_if(text.begin(), text.end(), [](auto c) { return c == '\r' || c == '\n' || c == '\t'; }),
               text.end());
    return text;
}

// The clipboard, open for a scope.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope() {
        if (open_) CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// Global memory locked for a scope.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HANDLE memory) : memory_(memory), data_(GlobalLock(memory)) {}
    ~GlobalLockScope() {
        if (data_ != nullptr) GlobalUnlock(memory_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    const wchar_t* Text() const { return static_cast<const wchar_t*>(data_); }

private:
    HANDLE memory_;
    void* data_;
};

// The wide text: the system makes the single-byte text of the clipboard in the code page of the clipboard's
// locale, not in the program's UTF-8.
std::wstring ClipboardText(HWND owner) {
    const OpenClipboardScope clipboard(owner);
    HANDLE data = clipboard.IsOpen() ? GetClipboardData(CF_UNICODETEXT) : nullptr;
    if (data == nullptr) return std::wstring();
    const GlobalLockScope locked(data);
    if (locked.Text() == nullptr) return std::wstring();
    // Another program's text need not end in a zero: nothing beyond its block is read.
    const wchar_t* end = std::find(locked.Text(), locked.Text() + GlobalSize(data) / sizeof(wchar_t), L'\0');
    return std::wstring(locked.Text(), end);
}

}  // namespace

TCustomEdit::TCustomEdit(base::TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetClickEvents(false);
    SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SuperclassOf = "EDIT";
    params.Caption = text_;
    // A field has no child windows to keep its painting off; a descendant that gives it one asks for that.
    params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (charCase_ == ecUpperCase) params.Style |= ES_UPPERCASE;
    if (charCase_ == ecLowerCase) params.Style |= ES_LOWERCASE;
    if (readOnly_) params.Style |= ES_READONLY;
    if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
    params.Unicode = true;
}

void TCustomEdit::CreateHandleDone() {
    SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

std::string TCustomEdit::Text() const {
    auto* self = const_cast<TCustomEdit*>(this);
    if (!self->HandleAllocated()) return text_;
    const int length = GetWindowTextLengthA(self->Handle());
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(self->Handle(), &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

void TCustomEdit::SetText(const std::string& text) {
    const std::string line = OneLine(text);
    if (line == Text()) return;
    if (!HandleAllocated()) {
        text_ = line;
        Change();
        return;
    }
    SetWindowTextA(Handle(), line.c_str());
    // A single-line window reports its new text as a change; a multi-line one reports nothing.
    if ((GetWindowLongPtrA(Handle(), GWL_STYLE) & ES_MULTILINE) != 0) Change();
}

void TCustomEdit::SelectAll() {
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::Change() {
    NotifyAccessible(EVENT_OBJECT_VALUECHANGE);
    if (OnChange) OnChange();
}

std::optional<std::string> TCustomEdit::AccessibleName(int child) const {
    // The standard object would name the field by its text, which is its value.
    return TWinControl::AccessibleName(child).value_or(std::string());
}

void TCustomEdit::SetAutoSize(bool autoSize) {
    if (autoSize == autoSize_) return;
    autoSize_ = autoSize;
    AdjustHeight();
}

void TCustomEdit::AdjustHeight() {
    if (!autoSize_ || Loading()) return;
    TEXTMETRICA metrics{};
    {
        WindowDC screen(nullptr);
        SelectObjectScope font(screen.Get(), Font().Handle());
        GetTextMetricsA(screen.Get(), &metrics);
    }
    const int room = 2 * GetSystemMetrics(SM_CYBORDER);
    const int edge = borderStyle_ == bsSingle ? GetSystemMetrics(SM_CYEDGE) : 0;
    SetHeight(metrics.tmHeight + 2 * (room + edge));
}

void TCustomEdit::FontChanged() {
    TWinControl::FontChanged();
    AdjustHeight();
}

void TCustomEdit::Loaded() {
    TWinControl::Loaded();
    AdjustHeight();
}

void TCustomEdit::SetMaxLength(int length) {
    if (length == maxLength_) return;
    maxLength_ = length;
    if (HandleAllocated()) SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(length), 0);
}

void TCustomEdit::SetCharCase(TEditCharCase charCase) {
    if (charCase == charCase_) return;
    charCase_ = charCase;
    RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
    AdjustHeight();
}

void TCustomEdit::SetReadOnly(bool readOnly) {
    if (readOnly == readOnly_) return;
    readOnly_ = readOnly;
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

void TCustomEdit::ColorChanged() {
    background_.Reset();
    TWinControl::ColorChanged();
}

size_t TCustomEdit::Room() {
    if (maxLength_ <= 0) return std::numeric_limits<size_t>::max();
    DWORD start = 0, end = 0;
    SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const size_t kept = static_cast<size_t>(GetWindowTextLengthW(Handle())) - (end - start);
    return static_cast<size_t>(maxLength_) > kept ? static_cast<size_t>(maxLength_) - kept : 0;
}

void TCustomEdit::PasteAsOneLine() {
    std::wstring text = OneLine(ClipboardText(Handle()));
    if (readOnly_ || text.empty()) return;
    if (text.size() > Room()) {
        text.resize(Room());
        if (!text.empty() && IS_HIGH_SURROGATE(text.back())) text.pop_back();
    }
    // Over the selection, in the field's case, as the native control pastes.
    SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

bool TCustomEdit::TypeSurrogate(WPARAM unit) {
    if (IS_HIGH_SURROGATE(unit)) {
        highSurrogate_ = static_cast<wchar_t>(unit);
        return true;
    }
    const wchar_t high = highSurrogate_;
    highSurrogate_ = 0;
    if (!IS_LOW_SURROGATE(unit)) return false;
    const wchar_t pair[] = {high, static_cast<wchar_t>(unit), L'\0'};
    if (high != 0 && !readOnly_ && Room() >= 2)
        SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pair));
    return true;
}

void TCustomEdit::WndProc(TMessage& message) {
    switch (message.Msg) {
        case CN_COMMAND:
            if (HIWORD(message.WParam) == EN_CHANGE) Change();
            return;
        case CN_CTLCOLOREDIT:
        case CN_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(message.WParam);
            SetTextColor(dc, ColorToRGB(Font().Color()));
            SetBkColor(dc, ColorToRGB(Color()));
            if (!background_) background_.Reset(CreateSolidBrush(ColorToRGB(Color())));
            message.Result = reinterpret_cast<LRESULT>(background_.Get());
            return;
        }
        case WM_CHAR:
            // Ctrl+Enter and Ctrl+J type a line feed, which a multi-line window would take as a line break.
            if (message.WParam == '\n' || TypeSurrogate(message.WParam)) return;
            break;
        case WM_PASTE:
            PasteAsOneLine();
            return;
        case WM_DESTROY:
            // The window goes (made anew, or with its parent's): the text stays with the field.
            text_ = Text();
            break;
        case WM_LBUTTONDOWN: {
            // A click places the caret where it lands; the focus it gives selects nothing.
            leftButtonDown_ = true;
            const base::TWatch watch = Watch();
            TWinControl::WndProc(message);
            if (watch) leftButtonDown_ = false;
            return;
        }
        case WM_SETFOCUS: {
            const base::TWatch watch = Watch();
            TWinControl::WndProc(message);
            if (watch && autoSelect_ && !leftButtonDown_) SelectAll();
            return;
        }
        default:
            break;
    }
    TWinControl::WndProc(message);
}

}  // namespace ui
