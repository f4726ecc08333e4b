#include "skin/CoolEdit.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "skin/CoolUtils.h"
#include "ui/Controls.h"

namespace skin {

namespace {

void SystemBeep() {
    MessageBeep(0);
}

TBeep editBeep = &SystemBeep;

// The caret is hidden for a scope, if the window shows it.
class HiddenCaret {
public:
    explicit HiddenCaret(HWND window) : window_(window), hidden_(HideCaret(window) != FALSE) {}
    ~HiddenCaret() {
        if (hidden_) ShowCaret(window_);
    }
    HiddenCaret(const HiddenCaret&) = delete;
    HiddenCaret& operator=(const HiddenCaret&) = delete;

private:
    HWND window_;
    bool hidden_;
};

}  // namespace

TBeep SetEditBeep(TBeep beep) {
    return std::exchange(editBeep, beep != nullptr ? beep : &SystemBeep);
}

// ---- TEditSkin

TEditSkin::TEditSkin(ui::TCustomEdit& field, TEditSkinKind kind)
    : TSkinSurface(TSkinRepeat::Reregisters), field_(field), kind_(kind) {
    borderPen_.OnChange = [this] { field_.Invalidate(); };
}

void TEditSkin::SetOptions(TCoolOptions options) {
    if (options == options_) return;
    if (options.Contains(ocPaintTransparently) && options_.Contains(ocPaintWallpaper))
        options.Exclude(ocPaintWallpaper);
    else if (options.Contains(ocPaintWallpaper) && options_.Contains(ocPaintTransparently))
        options.Exclude(ocPaintTransparently);
    options_ = options;
    field_.RecreateWnd();
    ui::Notify(&field_, ui::CM_COLORCHANGED);
}

void TEditSkin::SetTextAlign(TAlignment align) {
    if (ChangeValue(textAlign_, align)) field_.RecreateWnd();
}

DWORD TEditSkin::AlignmentStyle() const {
    switch (textAlign_) {
        case taRightJustify:
            return ES_RIGHT;
        case taCenter:
            return ES_CENTER;
        default:
            return ES_LEFT;
    }
}

void TEditSkin::SetEdgeBorders(TEdgeBorders edges) {
    if (ChangeValue(edgeBorders_, edges)) field_.Invalidate();
}

void TEditSkin::SetBorderPen(const ui::TPen& pen) {
    borderPen_.Assign(pen);
}

void TEditSkin::SetBordersTrColor(ui::TColor color) {
    if (ChangeValue(bordersTrColor_, color)) field_.Invalidate();
}

void TEditSkin::SurfaceChanged(TSkinChange change) {
    switch (change) {
        case TSkinChange::OwnWallpaper:
            RepaintWithChildren(field_);
            return;
        case TSkinChange::WallpaperGiven:
        case TSkinChange::WallpaperRegiven:
            // A copy told its change as the own wallpaper's.
            return;
        default:
            field_.Invalidate();
    }
}

bool TEditSkin::PictureInUse() const {
    return options_.Contains(ocPaintWallpaper) && SkinBitmap() != nullptr;
}

bool TEditSkin::SkinInUse() const {
    return options_.Contains(ocPaintTransparently) || PictureInUse();
}

bool TEditSkin::PaintSkinBackground(HDC dc) {
    if (options_.Contains(ocPaintTransparently)) {
        PaintParentBackground(GetAncestorControl(&field_, TransparencyLevel()), dc);
        return true;
    }
    return options_.Contains(ocPaintWallpaper) &&
           PaintSkin(dc, field_.ClientRect(), options_.Contains(ocStretchWallpaper));
}

void TEditSkin::PaintFrame(HDC dc) {
    if (options_.Contains(ocFlatBorder)) DrawFlatBorder(nullptr, &field_, field_.Focused());
    DrawEdgeBorders(dc, &field_, edgeBorders_, bordersTrColor_, borderPen_);
}

void TEditSkin::ShowFlatBorder(bool hot) {
    if (options_.Contains(ocFlatBorder) && field_.HandleAllocated()) DrawFlatBorder(nullptr, &field_, hot);
}

void TEditSkin::Overpaint() {
    if (overpainting_ || !SkinInUse() || !field_.HandleAllocated()) return;
    const base::RaisedFlag running(overpainting_);
    HWND window = field_.Handle();
    std::optional<HiddenCaret> caret;
    if (kind_ == TEditSkinKind::Field) caret.emplace(window);
    const ui::WindowDC target(window);
    const RECT client = field_.ClientRect();
    // One pixel larger than the client area: the copy starts one pixel in, and with a border it lands one
    // pixel up and left, so that the image's client area meets the window's.
    const ui::MemoryDC memory(target.Get());
    const ui::BitmapHandle picture(CreateCompatibleBitmap(target.Get(), client.right + 1, client.bottom + 1));
    const ui::SelectObjectScope selected(memory.Get(), picture.Get());
    field_.PaintTo(memory.Get(), 0, 0);
    if (options_.Contains(ocFlatBorder))
        DrawFlatBorder(memory.Get(), &field_, kind_ == TEditSkinKind::CellEditor || field_.Focused());
    const int at = field_.BorderStyle() == ui::bsSingle ? -1 : 1;
    BitBlt(target.Get(), at, at, client.right, client.bottom, memory.Get(), 1, 1, SRCCOPY);
}

void TEditSkin::SkinMessage(ui::TMessage& message, const std::function<void(ui::TMessage&)>& inherited) {
    switch (message.Msg) {
        case WM_ERASEBKGND:
            if (PaintSkinBackground(reinterpret_cast<HDC>(message.WParam))) {
                message.Result = 1;
                return;
            }
            break;
        case ui::CN_CTLCOLOREDIT:
        case ui::CN_CTLCOLORSTATIC:
            inherited(message);
            if (SkinInUse()) {
                SetBkMode(reinterpret_cast<HDC>(message.WParam), TRANSPARENT);
                // The native control fills what it paints with this brush (Wine's in every paint,
                // Windows' in its erase): the hollow one leaves the skin under the text.
                message.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            }
            return;
        case WM_PAINT:
            inherited(message);
            Overpaint();
            PaintFrame(reinterpret_cast<HDC>(message.WParam));
            return;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            inherited(message);
            ShowFlatBorder(message.Msg == WM_SETFOCUS);
            return;
        case ui::CM_MOUSEENTER:
        case ui::CM_MOUSELEAVE:
            // While a skinned control has the focus, its border shows where the keys go.
            if (!IsCoolControl(ui::TWinControl::FocusedControl())) ShowFlatBorder(message.Msg == ui::CM_MOUSEENTER);
            inherited(message);
            return;
        case WM_MOVE:
            inherited(message);
            field_.Invalidate();
            return;
        case ui::CM_PARENTCOLORCHANGED:
            inherited(message);
            if (options_.Contains(ocPaintTransparently)) field_.Invalidate();
            return;
        case WM_KEYDOWN:
            inherited(message);
            ctrlEnter_ = message.WParam == VK_RETURN &&
                         CurrentShiftState() * TShiftState{ssShift, ssAlt, ssCtrl} == TShiftState{ssCtrl};
            return;
        case WM_CHAR:
            // A single-line field has no line to break: Enter, and Ctrl+Enter's line feed, only beep.
            if (message.WParam == '\r' || ctrlEnter_) {
                message.Result = 0;
                editBeep();
                return;
            }
            break;
        default:
            break;
    }
    inherited(message);
}

// ---- TCoolEdit

TCoolEdit::TCoolEdit(base::TComponent* owner)
    : ui::TCustomEdit(owner), TEditSkin(static_cast<ui::TCustomEdit&>(*this)) {
    SetHoverEvents(true);
}

void TCoolEdit::CreateParams(ui::TCreateParams& params) {
    ui::TCustomEdit::CreateParams(params);
    params.Style |= ES_MULTILINE | AlignmentStyle();
}

void TCoolEdit::WndProc(ui::TMessage& message) {
    SkinMessage(message, [this](ui::TMessage& inner) { ui::TCustomEdit::WndProc(inner); });
}

void TCoolEdit::Notification(base::TComponent* component, bool removing) {
    ui::TCustomEdit::Notification(component, removing);
    SkinNotification(component, removing);
}

void TCoolEdit::Change() {
    Overpaint();
    ui::TCustomEdit::Change();
}

void TCoolEdit::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter();
}

void TCoolEdit::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave();
}

// ---- TCoolEditBtn

TCoolEditBtn::TCoolEditBtn(base::TComponent* owner) : TCoolEdit(owner), button_(new ui::TSpeedButton(this)) {
    // Square, from the height the field has before any layout sizes it; only its height follows the field.
    button_->SetBounds(0, 0, Height(), Height());
    button_->SetParent(this);
    button_->OnClick = [this] {
        if (OnBtnClick) OnBtnClick();
    };
}

void TCoolEditBtn::Notification(base::TComponent* component, bool removing) {
    TCoolEdit::Notification(component, removing);
    // The field owns its button, but a form that frees it must not leave the field pointing at nothing.
    if (removing && component == button_) {
        button_ = nullptr;
        if (HandleAllocated()) SetTextRect();
    }
}

ui::TSpeedButton& TCoolEditBtn::TheButton() const {
    if (button_ == nullptr) throw base::Exception("The field's button has been freed");
    return *button_;
}

void TCoolEditBtn::CreateParams(ui::TCreateParams& params) {
    TCoolEdit::CreateParams(params);
    // The field's own painting leaves its button alone.
    params.Style |= WS_CLIPCHILDREN;
}

void TCoolEditBtn::CreateHandleDone() {
    TCoolEdit::CreateHandleDone();
    SetTextRect();
}

int TCoolEditBtn::MinHeight() {
    TEXTMETRICA system{};
    TEXTMETRICA own{};
    {
        // A screen DC starts with the system font.
        const ui::WindowDC screen(nullptr);
        GetTextMetricsA(screen.Get(), &system);
        const ui::SelectObjectScope font(screen.Get(), Font().Handle());
        GetTextMetricsA(screen.Get(), &own);
    }
    return own.tmHeight + std::min(system.tmHeight, own.tmHeight) / 4 + 4 * GetSystemMetrics(SM_CYBORDER) + 2;
}

void TCoolEditBtn::Resized() {
    RECT bounds{};
    GetWindowRect(Handle(), &bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    const int minimum = MinHeight();
    if (height < minimum) {
        // The new height comes back as another size change, which places the button.
        SetHeight(minimum);
        return;
    }
    if (button_ != nullptr) button_->SetBounds(width - button_->Width() - 4, 0, button_->Width(), height - 4);
    SetTextRect();
}

void TCoolEditBtn::SetTextRect() {
    RECT text = ClientRect();
    OffsetRectSides(text, 2, 0, button_ != nullptr ? -(button_->Height() + 2) : -2, 0);
    SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&text));
}

void TCoolEditBtn::FontChanged() {
    TCoolEdit::FontChanged();
    // A new font puts the native text rectangle back to the whole client area.
    if (HandleAllocated()) SetTextRect();
}

void TCoolEditBtn::EnabledChanged() {
    TCoolEdit::EnabledChanged();
    if (button_ != nullptr) button_->SetEnabled(Enabled());
}

void TCoolEditBtn::WndProc(ui::TMessage& message) {
    switch (message.Msg) {
        case WM_SIZE:
            TCoolEdit::WndProc(message);
            Resized();
            return;
        case WM_KEYDOWN: {
            const base::TWatch watch = Watch();
            TCoolEdit::WndProc(message);
            // Before the beep of the line feed that the key down is followed by.
            if (watch && CtrlEnter() && OnBtnClick) OnBtnClick();
            return;
        }
        default:
            TCoolEdit::WndProc(message);
    }
}

}  // namespace skin
