#include "skin/CoolGroups.h"

#include <algorithm>
#include <string>

#include "skin/CoolUtils.h"

namespace skin {

// ---- TCoolGroupBox

TCoolGroupBox::TCoolGroupBox(base::TComponent* owner)
    : ui::TCustomGroupBox(owner), TSkinSurface(TSkinRepeat::Reregisters) {}

void TCoolGroupBox::SurfaceChanged(TSkinChange change) {
    switch (change) {
        case TSkinChange::Transparent:
        case TSkinChange::OwnWallpaper:
        case TSkinChange::WallpaperGiven:
            RepaintWithChildren(*this);
            return;
        case TSkinChange::Shadow:
            Invalidate();
            ui::Notify(this, ui::CM_CHANGED);
            return;
        case TSkinChange::WallpaperRegiven:
            return;
        default:
            Invalidate();
    }
}

void TCoolGroupBox::Notification(base::TComponent* component, bool removing) {
    ui::TCustomGroupBox::Notification(component, removing);
    SkinNotification(component, removing);
}

void TCoolGroupBox::WndProc(ui::TMessage& message) {
    switch (message.Msg) {
        case ui::CM_PARENTCOLORCHANGED:
            // What the parent shows changed: so does what this box's see-through children show.
            ui::TCustomGroupBox::WndProc(message);
            ui::Notify(this, ui::CM_COLORCHANGED);
            Invalidate();
            return;
        case WM_MOVE:
            ui::TCustomGroupBox::WndProc(message);
            Invalidate();
            return;
        default:
            ui::TCustomGroupBox::WndProc(message);
    }
}

void TCoolGroupBox::EraseBackground(HDC dc) {
    if (Transparent()) {
        PaintParentBackground(GetAncestorControl(this, TransparencyLevel()), dc);
        return;
    }
    if (PaintSkin(dc, ClientRect(), Stretched())) return;
    ui::TCustomGroupBox::EraseBackground(dc);
}

void TCoolGroupBox::Paint() {
    ui::TCanvas& canvas = Canvas();
    const int height = canvas.TextHeight("0");
    PaintFrame(height);
    const std::string& text = Caption();
    if (text.empty()) return;
    RECT caption = CaptionRect(height);
    caption.left -= Shadow().Size();
    caption.right += Shadow().Size();

    // The caption's background covers the frame line behind it: the parent's, the skin, or the colour
    // as the opaque ground of the text.
    canvas.Brush().SetStyle(ui::TBrushStyle::Clear);
    if (Transparent())
        PaintParentBackgroundClipped(GetAncestorControl(this, TransparencyLevel()), canvas.Handle(), caption);
    else if (!PaintSkin(canvas.Handle(), caption, Stretched()))
        canvas.Brush().SetColor(Color());

    if (!Enabled()) {
        // The text in the font colour lays the ground; the engraved copy covers its strokes.
        canvas.DrawText(text, caption, kCaptionFlags);
        DrawDisabledText(canvas.Handle(), text, caption.left, caption.top);
    } else if (Shadow().SimpleView()) {
        canvas.DrawText(text, caption, kCaptionFlags);
    } else {
        DrawShadowedText(canvas.Handle(), caption, Shadow().Position(), text, kCaptionFlags, Font().Color(),
                         Shadow().Color(), Shadow().Size());
    }
}

// ---- TCustomCoolCheckRadioGroup

TCustomCoolCheckRadioGroup::TCustomCoolCheckRadioGroup(base::TComponent* owner) : TCoolGroupBox(owner) {
    // Only the items click; the group tells of their clicks.
    SetClickEvents(false);
    items_.OnChange = [this] { ItemsChanged(); };
}

TCustomCoolCheckRadioGroup::~TCustomCoolCheckRadioGroup() {
    FreeItems();
    items_.OnChange = nullptr;
}

void TCustomCoolCheckRadioGroup::BeforeDestruction() {
    FreeItems();
    TCoolGroupBox::BeforeDestruction();
}

void TCustomCoolCheckRadioGroup::FreeItems() {
    while (!buttons_.empty()) {
        TCoolCheckRadioBox* item = buttons_.back();
        buttons_.pop_back();
        item->Free();
    }
}

void TCustomCoolCheckRadioGroup::Notification(base::TComponent* component, bool removing) {
    TCoolGroupBox::Notification(component, removing);
    if (!removing) return;
    const auto gone = std::find(buttons_.begin(), buttons_.end(), component);
    if (gone == buttons_.end()) return;
    // The index keeps naming the same box, or none once the chosen one is gone.
    const int index = static_cast<int>(gone - buttons_.begin());
    if (index == itemIndex_)
        itemIndex_ = -1;
    else if (index < itemIndex_)
        --itemIndex_;
    buttons_.erase(gone);
}

void TCustomCoolCheckRadioGroup::SetItemIndex(int index) {
    // While the layout loads, the items do not exist yet: the index waits for them.
    if (Loading()) {
        itemIndex_ = index;
        return;
    }
    index = std::max(-1, std::min(index, static_cast<int>(buttons_.size()) - 1));
    if (index == itemIndex_) return;
    if (itemIndex_ >= 0) {
        TCoolCheckRadioBox* old = buttons_[static_cast<size_t>(itemIndex_)];
        old->SetChecked(false);
        // Tab reaches a radio group at its selected item only: focusing any other would select that one.
        if (checkRadioType_ == crRadioBox) old->SetTabStop(false);
    }
    itemIndex_ = index;
    if (itemIndex_ >= 0) {
        TCoolCheckRadioBox* selected = buttons_[static_cast<size_t>(itemIndex_)];
        selected->SetChecked(true);
        selected->SetTabStop(true);
    }
}

void TCustomCoolCheckRadioGroup::SetColumns(int columns) {
    columns = std::max(1, std::min(columns, 16));
    if (!ChangeValue(columns_, columns)) return;
    ArrangeItems();
    Invalidate();
}

void TCustomCoolCheckRadioGroup::SetCheckRadioType(TCheckRadioType type) {
    if (!ChangeValue(checkRadioType_, type)) return;
    for (TCoolCheckRadioBox* item : buttons_) item->SetCheckRadioType(type);
}

void TCustomCoolCheckRadioGroup::SetFlat(bool flat) {
    if (!ChangeValue(flat_, flat)) return;
    for (TCoolCheckRadioBox* item : buttons_) item->SetFlat(flat);
}

ui::TBitmap& TCustomCoolCheckRadioGroup::GlyphMarked() {
    if (!glyphMarked_) glyphMarked_ = std::make_unique<ui::TBitmap>();
    return *glyphMarked_;
}

void TCustomCoolCheckRadioGroup::SetGlyphMarked(const ui::TBitmap& bitmap) {
    GlyphMarked().Assign(bitmap);
    ui::Notify(this, ui::CM_CHANGED);
}

ui::TBitmap& TCustomCoolCheckRadioGroup::GlyphNormal() {
    if (!glyphNormal_) glyphNormal_ = std::make_unique<ui::TBitmap>();
    return *glyphNormal_;
}

void TCustomCoolCheckRadioGroup::SetGlyphNormal(const ui::TBitmap& bitmap) {
    GlyphNormal().Assign(bitmap);
    ui::Notify(this, ui::CM_CHANGED);
}

bool TCustomCoolCheckRadioGroup::HasGlyphs() const {
    return (glyphNormal_ && !glyphNormal_->Empty()) || (glyphMarked_ && !glyphMarked_->Empty());
}

void TCustomCoolCheckRadioGroup::ItemsChanged() {
    if (!Loading()) BuildItems();
}

void TCustomCoolCheckRadioGroup::BuildItems() {
    const int count = items_.Count();
    itemIndex_ = std::max(-1, std::min(itemIndex_, count - 1));
    while (static_cast<int>(buttons_.size()) < count) buttons_.push_back(NewItem());
    while (static_cast<int>(buttons_.size()) > count) {
        TCoolCheckRadioBox* surplus = buttons_.back();
        buttons_.pop_back();
        surplus->Free();
    }
    for (int i = 0; i < count; ++i) buttons_[static_cast<size_t>(i)]->SetCaption(items_[i]);
    if (itemIndex_ >= 0) buttons_[static_cast<size_t>(itemIndex_)]->SetChecked(true);
    ArrangeItems();
    Invalidate();
}

TCoolCheckRadioBox* TCustomCoolCheckRadioGroup::NewItem() {
    auto* item = new TCoolCheckRadioBox(this);
    item->SetCheckRadioType(checkRadioType_);
    item->SetTransparent(true);
    // In this order: a shadow setting that changes clears the item's SimpleView again.
    item->SetSimpleView(SimpleView());
    item->SetShadowSize(ShadowSize());
    item->SetShadowColor(ShadowColor());
    item->SetShadowPos(ShadowPos());
    item->SetEnabled(Enabled());
    item->OnClick = [this, item] { ItemClicked(item); };
    item->SetParent(this);
    item->SetOwnerDraw(HasGlyphs());
    item->SetGlyphNormal(glyphNormal_.get());
    item->SetGlyphMarked(glyphMarked_.get());
    item->SetFlat(flat_);
    return item;
}

void TCustomCoolCheckRadioGroup::ArrangeItems() {
    if (Loading() || buttons_.empty()) return;
    TEXTMETRICW metrics{};
    {
        ui::WindowDC screen(nullptr);
        ui::SelectObjectScope font(screen.Get(), Font().Handle());
        GetTextMetricsW(screen.Get(), &metrics);
    }
    const int count = static_cast<int>(buttons_.size());
    const int perColumn = (count + columns_ - 1) / columns_;
    const int width = (Width() - 10) / columns_;
    const int spare = Height() - metrics.tmHeight - 5;
    const int height = spare / perColumn;
    const int margin = metrics.tmHeight + 1 + (spare % perColumn) / 2;
    // Items that have their windows move in one batch, so the group repaints once; before the windows
    // exist the bounds are only stored.
    const bool windows =
        HandleAllocated() &&
        std::all_of(buttons_.begin(), buttons_.end(), [](TCoolCheckRadioBox* item) { return item->HandleAllocated(); });
    HDWP batch = windows ? BeginDeferWindowPos(count) : nullptr;
    for (int i = 0; i < count; ++i) {
        TCoolCheckRadioBox* item = buttons_[static_cast<size_t>(i)];
        const int left = (i / perColumn) * width + 8;
        const int top = (i % perColumn) * height + margin;
        item->SetVisible(true);
        if (windows)
            batch =
                DeferWindowPos(batch, item->Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        else
            item->SetBounds(left, top, width, height);
    }
    if (batch != nullptr) EndDeferWindowPos(batch);
}

void TCustomCoolCheckRadioGroup::ItemClicked(TCoolCheckRadioBox* item) {
    const int index = static_cast<int>(std::find(buttons_.begin(), buttons_.end(), item) - buttons_.begin());
    if (checkRadioType_ == crRadioBox)
        itemIndex_ = index;
    else
        itemIndex_ = item->Checked() ? index : -1;
    ui::Notify(this, ui::CM_CHANGED);
    Click();
}

void TCustomCoolCheckRadioGroup::ItemSettingsChanged() {
    const bool glyphs = HasGlyphs();
    for (TCoolCheckRadioBox* item : std::vector<TCoolCheckRadioBox*>(buttons_)) {
        item->SetSimpleView(SimpleView());
        item->SetShadowSize(ShadowSize());
        item->SetShadowColor(ShadowColor());
        item->SetShadowPos(ShadowPos());
        item->SetOwnerDraw(glyphs);
        item->SetGlyphNormal(glyphNormal_.get());
        item->SetGlyphMarked(glyphMarked_.get());
    }
}

void TCustomCoolCheckRadioGroup::Loaded() {
    TCoolGroupBox::Loaded();
    BuildItems();
    ui::Notify(this, ui::CM_CHANGED);
    if (itemIndex_ >= 0) buttons_[static_cast<size_t>(itemIndex_)]->SetTabStop(true);
}

void TCustomCoolCheckRadioGroup::FontChanged() {
    TCoolGroupBox::FontChanged();
    ArrangeItems();
}

void TCustomCoolCheckRadioGroup::EnabledChanged() {
    TCoolGroupBox::EnabledChanged();
    for (TCoolCheckRadioBox* item : buttons_) item->SetEnabled(Enabled());
}

void TCustomCoolCheckRadioGroup::WndProc(ui::TMessage& message) {
    switch (message.Msg) {
        case WM_SIZE:
            TCoolGroupBox::WndProc(message);
            ArrangeItems();
            return;
        case ui::CM_CHANGED:
            TCoolGroupBox::WndProc(message);
            ItemSettingsChanged();
            return;
        default:
            TCoolGroupBox::WndProc(message);
    }
}

}  // namespace skin
