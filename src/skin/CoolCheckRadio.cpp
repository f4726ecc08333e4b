#include "skin/CoolCheckRadio.h"

#include "skin/CoolUtils.h"

#include <string>
#include <vector>

namespace skin {

namespace {

// The system mark's size; owner-drawn marks take their glyph's height.
constexpr int kMarkSize = 13;
// Between the client edge and the mark, and between the mark and the caption.
constexpr int kMarkSpacing = 4;

bool NoModifierHeld() {
    return GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
}

bool LeftButtonHeld() {
    return GetKeyState(VK_LBUTTON) < 0;
}

}  // namespace

TCoolCheckRadioBox::TCoolCheckRadioBox(base::TComponent* owner)
    : ui::TCustomControl(owner), TSkinSurface(TSkinRepeat::Reregisters) {
    SetBounds(0, 0, 147, 17);
    SetHoverEvents(true);
    // A check box is a tab stop by its type (as a change of type to check box makes it), so that the
    // keyboard reaches free-standing check boxes; a box turned into a radio box leaves the tab order.
    SetTabStop(true);
    // The box shows on its parent's surface: it takes the parent's colour until it is given its own.
    SetParentColor(true);
    glyphMarked_.OnChange = [this] { InvalidateBox(); };
    glyphNormal_.OnChange = [this] { InvalidateBox(); };
}

TCoolCheckRadioBox::~TCoolCheckRadioBox() {
    glyphMarked_.OnChange = nullptr;
    glyphNormal_.OnChange = nullptr;
}

// ---- Properties

void TCoolCheckRadioBox::SetChecked(bool checked) {
    if (!ChangeValue(checked_, checked)) return;
    state_ = checked ? cbChecked : cbUnchecked;
    InvalidateBox();
    NotifyAccessible(EVENT_OBJECT_STATECHANGE);
}

void TCoolCheckRadioBox::SetState(TCheckBoxState state) {
    if (!ChangeValue(state_, state)) return;
    InvalidateBox();
    NotifyAccessible(EVENT_OBJECT_STATECHANGE);
}

long TCoolCheckRadioBox::AccessibleRole(int child) const {
    return checkRadioType_ == crRadioBox ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_CHECKBUTTON;
}

std::optional<std::string> TCoolCheckRadioBox::AccessibleName(int child) const {
    return ui::TCustomControl::AccessibleName(child).value_or(CaptionName());
}

std::optional<std::string> TCoolCheckRadioBox::AccessibleDefaultAction(int child) const {
    if (checkRadioType_ == crRadioBox) return std::string("Select");
    return std::string(state_ == cbUnchecked ? "Check" : "Uncheck");
}

std::optional<std::string> TCoolCheckRadioBox::AccessibleShortcut(int child) const {
    const std::string shortcut = ui::ShortcutFromCaption(Caption());
    return shortcut.empty() ? std::nullopt : std::optional<std::string>(shortcut);
}

long TCoolCheckRadioBox::AccessibleState(int child) const {
    return (state_ == cbChecked  ? STATE_SYSTEM_CHECKED
            : state_ == cbGrayed ? STATE_SYSTEM_MIXED
                                 : 0) |
           (pressed_ ? STATE_SYSTEM_PRESSED : 0);
}

void TCoolCheckRadioBox::SetCheckRadioType(TCheckRadioType type) {
    if (!ChangeValue(checkRadioType_, type)) return;
    SetTabStop(type == crCheckBox);
    Invalidate();
}

void TCoolCheckRadioBox::SetAlignment(TLeftRight alignment) {
    if (ChangeValue(alignment_, alignment)) Invalidate();
}

void TCoolCheckRadioBox::SetFlat(bool flat) {
    if (ChangeValue(flat_, flat)) InvalidateBox();
}

void TCoolCheckRadioBox::SetOwnerDraw(bool ownerDraw) {
    if (ChangeValue(ownerDraw_, ownerDraw)) Invalidate();
}

void TCoolCheckRadioBox::SetGlyphMarked(const ui::TBitmap* bitmap) {
    glyphMarked_.AssignSource(bitmap);
    Invalidate();
}

void TCoolCheckRadioBox::SetGlyphNormal(const ui::TBitmap* bitmap) {
    glyphNormal_.AssignSource(bitmap);
    Invalidate();
}

void TCoolCheckRadioBox::SetNumGlyphsMarked(int count) {
    if (count > 2) count = 2;
    if (count == glyphMarked_.ImageCount()) return;
    glyphMarked_.ChangeImageCount(count);
    InvalidateBox();
}

void TCoolCheckRadioBox::SetNumGlyphsNormal(int count) {
    if (count > 2) count = 2;
    if (count == glyphNormal_.ImageCount()) return;
    glyphNormal_.ChangeImageCount(count);
    InvalidateBox();
}

void TCoolCheckRadioBox::SurfaceChanged(TSkinChange change) {
    switch (change) {
        case TSkinChange::OwnWallpaper:
            RepaintWithChildren(*this);
            return;
        case TSkinChange::WallpaperGiven:
            SetTransparent(false);
            Invalidate();
            return;
        case TSkinChange::WallpaperRegiven:
        case TSkinChange::BevelsOffset:
            return;
        default:
            Invalidate();
    }
}

void TCoolCheckRadioBox::Notification(base::TComponent* component, bool removing) {
    ui::TCustomControl::Notification(component, removing);
    SkinNotification(component, removing);
}

// ---- State

bool TCoolCheckRadioBox::Toggle() {
    const TCheckBoxState before = state_;
    if (checkRadioType_ == crRadioBox) {
        if (Parent() == nullptr) {
            SetChecked(true);
        } else {
            // The selected box is also the one Tab reaches, as after a focus move: a Tab onto any other
            // box would select that one instead.
            for (ui::TControl* control : std::vector<ui::TControl*>(Parent()->Controls())) {
                auto* box = dynamic_cast<TCoolCheckRadioBox*>(control);
                if (box == nullptr || box->checkRadioType_ != crRadioBox || box->groupIndex_ != groupIndex_) continue;
                box->SetChecked(box == this);
                box->SetTabStop(box == this);
            }
        }
    } else if (!allowGrayed_) {
        SetChecked(!checked_);
    } else {
        SetState(state_ == cbUnchecked ? cbChecked : state_ == cbChecked ? cbGrayed : cbUnchecked);
    }
    return state_ != before;
}

void TCoolCheckRadioBox::Click() {
    if (Toggle()) ui::TCustomControl::Click();
}

void TCoolCheckRadioBox::SetPressed(bool pressed) {
    pressed_ = pressed;
    InvalidateBox();
}

void TCoolCheckRadioBox::InvalidateBox() {
    if (!HandleAllocated()) return;
    const RECT mark = MarkRect();
    InvalidateWindowRect(Handle(), &mark, true);
}

// ---- Input

void TCoolCheckRadioBox::FocusMoved(ui::TWinControl* focused) {
    auto* box = dynamic_cast<TCoolCheckRadioBox*>(focused);
    if (box == nullptr || box->checkRadioType_ != crRadioBox || checkRadioType_ != crRadioBox ||
        box->groupIndex_ != groupIndex_ || box->Parent() != Parent())
        return;
    // A press of the mouse focuses the box before its click: the click selects it then.
    if (CurrentShiftState().Contains(ssLeft)) return;
    SetTabStop(box == this);
    if (box == this) Click();
}

void TCoolCheckRadioBox::MouseEnter() {
    if (Focused() && LeftButtonHeld()) SetPressed(true);
    if (OnMouseEnter) OnMouseEnter();
}

void TCoolCheckRadioBox::MouseLeave() {
    if (Focused() && LeftButtonHeld()) SetPressed(false);
    if (OnMouseLeave) OnMouseLeave();
}

void TCoolCheckRadioBox::WndProc(ui::TMessage& message) {
    // A click's handler may free the box: after one, nothing of it is read unless it lives.
    const base::TWatch watch = Watch();
    switch (message.Msg) {
        case WM_LBUTTONDOWN:
            if (Enabled()) {
                ::SetFocus(Handle());
                if (!watch) return;
                SetPressed(true);
            }
            break;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
        case WM_CANCELMODE:
            if (pressed_) SetPressed(false);
            break;
        case WM_KEYDOWN:
            if (message.WParam == VK_SPACE && NoModifierHeld()) SetPressed(true);
            break;
        case WM_KEYUP:
            if (message.WParam == VK_SPACE && NoModifierHeld() && pressed_) {
                SetPressed(false);
                Click();
                if (!watch) return;
            }
            break;
        case WM_SETFOCUS:
            ui::TCustomControl::WndProc(message);
            if (watch) Repaint();
            return;
        case WM_KILLFOCUS:
            ui::TCustomControl::WndProc(message);
            SetPressed(false);
            Repaint();
            return;
        case WM_MOVE:
        case ui::CM_PARENTCOLORCHANGED:
            // A see-through box shows what lies behind its new place, or its parent's new colour.
            ui::TCustomControl::WndProc(message);
            Invalidate();
            return;
        case ui::CM_FOCUSCHANGED:
            FocusMoved(reinterpret_cast<ui::TWinControl*>(message.LParam));
            return;
        case ui::CM_DIALOGCHAR:
            if (ui::IsAccel(static_cast<unsigned>(message.WParam), Caption()) && CanFocus()) {
                SetFocus();
                if (watch) Click();
                message.Result = 1;
                return;
            }
            break;
        default:
            break;
    }
    ui::TCustomControl::WndProc(message);
}

void TCoolCheckRadioBox::CreateParams(ui::TCreateParams& params) {
    ui::TCustomControl::CreateParams(params);
    // A quick second click is a second click, not a double click.
    params.ClassStyle &= ~static_cast<UINT>(CS_DBLCLKS);
}

// ---- Painting

void TCoolCheckRadioBox::EraseBackground(HDC dc) {
    if (Transparent()) {
        PaintParentBackground(GetAncestorControl(this, TransparencyLevel()), dc);
        return;
    }
    if (PaintSkin(dc, ClientRect(), Stretched())) return;
    ui::TCustomControl::EraseBackground(dc);
}

RECT TCoolCheckRadioBox::MarkRect() {
    int size = kMarkSize;
    if (ownerDraw_) size = (checked_ ? glyphMarked_ : glyphNormal_).Source().Height();
    const RECT client = ClientRect();
    const int top = client.bottom / 2 - size / 2;
    if (alignment_ == ui::taLeftJustify)
        return RECT{client.right - size - kMarkSpacing, top, client.right - kMarkSpacing, top + size};
    return RECT{kMarkSpacing, top, kMarkSpacing + size, top + size};
}

UINT TCoolCheckRadioBox::MarkState() const {
    UINT state = checkRadioType_ == crRadioBox ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
    if (state_ == cbChecked) state |= DFCS_CHECKED;
    if (state_ == cbGrayed) state |= DFCS_CHECKED | DFCS_INACTIVE;
    if (pressed_ || !Enabled()) state |= DFCS_INACTIVE;
    if (flat_) state |= DFCS_FLAT;
    return state;
}

RECT TCoolCheckRadioBox::CaptionRect(const RECT& mark) {
    ui::TCanvas& canvas = Canvas();
    const SIZE extent = canvas.TextExtent(Caption());
    // The accelerator's "&" is measured with the caption but not drawn: the rectangle leaves it out on
    // the side away from the mark.
    const int ampersand = Caption().find('&') != std::string::npos ? canvas.TextWidth("&") : 0;
    RECT caption{};
    caption.top = ClientHeight() / 2 - extent.cy / 2;
    caption.bottom = caption.top + extent.cy;
    if (alignment_ == ui::taLeftJustify) {
        caption.right = mark.left - kMarkSpacing;
        caption.left = caption.right - extent.cx + ampersand;
    } else {
        caption.left = mark.right + kMarkSpacing;
        caption.right = caption.left + extent.cx - ampersand;
    }
    return caption;
}

void TCoolCheckRadioBox::PaintCaption(RECT& caption) {
    ui::TCanvas& canvas = Canvas();
    const std::string& text = Caption();
    const UINT flags = DT_SINGLELINE | DT_NOCLIP | (alignment_ == ui::taLeftJustify ? DT_RIGHT : DT_LEFT);
    if (!Enabled()) {
        DrawDisabledText(canvas.Handle(), text, caption.left, caption.top);
    } else if (Shadow().SimpleView()) {
        canvas.DrawText(text, caption, flags);
    } else {
        DrawShadowedText(canvas.Handle(), caption, Shadow().Position(), text, flags, Font().Color(), Shadow().Color(),
                         Shadow().Size());
    }
}

void TCoolCheckRadioBox::Paint() {
    ui::TCanvas& canvas = Canvas();
    const RECT mark = MarkRect();
    if (ownerDraw_) {
        TGlyph& glyph = checked_ || state_ == cbChecked ? glyphMarked_ : glyphNormal_;
        glyph.PaintStateImage(canvas, POINT{mark.left, mark.top}, ui::clNone, true, Enabled());
    } else {
        RECT frame = mark;
        DrawFrameControl(canvas.Handle(), &frame, DFC_BUTTON, MarkState());
    }

    // The caption goes over the background as it is.
    canvas.Brush().SetStyle(ui::TBrushStyle::Clear);
    RECT caption = CaptionRect(mark);
    PaintCaption(caption);
    // The focus mark goes round the caption where the shadow left it.
    if (!Caption().empty() && Focused()) {
        InflateRect(&caption, Shadow().Size() + 1, Shadow().Size());
        DrawFocusRect(canvas.Handle(), &caption);
    }

    if (const UINT edges = BevelEdgeFlags(BevelInner(), BevelOuter())) {
        RECT client = ClientRect();
        DrawEdge(canvas.Handle(), &client, edges, BF_RECT);
    }
}

}  // namespace skin
