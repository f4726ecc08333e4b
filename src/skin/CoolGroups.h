// The skinned group box (a framed, captioned container over its parent's background, a skin bitmap or
// its colour) and the check/radio group: a group box that lays out one check/radio box per string of
// its items in columns, with one selected index and one click event for the whole group.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/StringList.h"
#include "skin/CoolCheckRadio.h"
#include "skin/CoolControl.h"
#include "skin/SkinSurface.h"
#include "skin/SkinTypes.h"
#include "ui/GroupBox.h"

namespace skin {

// The box is transparent under its caption too. Its skin picture registers again on a set given again.
// Whatever changes what the box shows behind its children (its transparency, its own wallpaper) tells
// the box its colour changed, so that its see-through children repaint with it; a new caption shadow is
// a change of the box (CM_CHANGED), which a check/radio group hands on to its items.
class TCoolGroupBox : public ui::TCustomGroupBox,
                      public TCoolControl,
                      public TSkinSurface,
                      public TSkinTransparency,
                      public TSkinTransparencyLevel,
                      public TSkinStretch,
                      public TSkinShadow {
public:
    explicit TCoolGroupBox(base::TComponent* owner);

    void Notification(base::TComponent* component, bool removing) override;
    void WndProc(ui::TMessage& message) override;

protected:
    const char* ClassName() const override { return "TCoolGroupBox"; }
    void EraseBackground(HDC dc) override;
    void Paint() override;
    void SurfaceChanged(TSkinChange change) override;
};

class TCustomCoolCheckRadioGroup : public TCoolGroupBox {
public:
    explicit TCustomCoolCheckRadioGroup(base::TComponent* owner);
    ~TCustomCoolCheckRadioGroup() override;

    // One item box per string, captioned with it; every change of the strings rebuilds the items.
    base::TStringList& Items() { return items_; }
    void SetItems(const base::TStringList& items) { items_.Assign(items); }
    // The selected item, -1 for none; kept within -1 .. the last item. Setting it fires no OnClick.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    // Item columns, 1 to 16.
    int Columns() const { return columns_; }
    void SetColumns(int columns);
    TCheckRadioType CheckRadioType() const { return checkRadioType_; }
    void SetCheckRadioType(TCheckRadioType type);
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    // Glyphs handed to every item, which draws them in place of the system mark; created on first use.
    ui::TBitmap& GlyphMarked();
    void SetGlyphMarked(const ui::TBitmap& bitmap);
    ui::TBitmap& GlyphNormal();
    void SetGlyphNormal(const ui::TBitmap& bitmap);

    // The item boxes, in the order of the strings.
    const std::vector<TCoolCheckRadioBox*>& Buttons() const { return buttons_; }

    void Notification(base::TComponent* component, bool removing) override;
    void WndProc(ui::TMessage& message) override;

protected:
    void Loaded() override;
    void FontChanged() override;
    void EnabledChanged() override;
    void BeforeDestruction() override;

private:
    void ItemsChanged();
    // Brings the item boxes in line with the strings, checks the selected one and lays them out.
    void BuildItems();
    TCoolCheckRadioBox* NewItem();
    void ArrangeItems();
    void ItemClicked(TCoolCheckRadioBox* item);
    // Whether the items draw the group's glyphs.
    bool HasGlyphs() const;
    // Hands the shadow and glyph settings on to every item.
    void ItemSettingsChanged();
    void FreeItems();

    base::TStringList items_;
    std::vector<TCoolCheckRadioBox*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    TCheckRadioType checkRadioType_ = crRadioBox;
    bool flat_ = false;
    std::unique_ptr<ui::TBitmap> glyphMarked_;
    std::unique_ptr<ui::TBitmap> glyphNormal_;
};

class TCoolCheckRadioGroup : public TCustomCoolCheckRadioGroup {
public:
    using TCustomCoolCheckRadioGroup::TCustomCoolCheckRadioGroup;

protected:
    // Automation and screen readers tell the group from a plain group box by its window class.
    const char* ClassName() const override { return "TCoolCheckRadioGroup"; }
};

}  // namespace skin
