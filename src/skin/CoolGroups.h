// The skinned group box (a framed, captioned container over its parent's background, a skin bitmap or
// its colour) and the check/radio group: a group box that lays out one check/radio box per string of
// its items in columns, with one selected index and one click event for the whole group.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "skin/CoolCheckRadio.h"
#include "skin/CoolCtrls.h"
#include "skin/CoolUtils.h"
#include "ui/GroupBox.h"
#include "base/StringList.h"

namespace skin {

class TCoolGroupBox : public ui::TCustomGroupBox {
public:
    explicit TCoolGroupBox(ui::TComponent* owner);
    ~TCoolGroupBox() override;

    // Shows the background of the TransparencyLevel-th ancestor's parent, under the caption too.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    uint8_t TransparencyLevel() const { return transparencyLevel_; }
    void SetTransparencyLevel(uint8_t level);
    bool Stretched() const { return stretched_; }
    void SetStretched(bool stretched);
    // The shared skin set and the index of the bitmap in it; the reference is cleared when the set goes.
    TCoolImages* CoolImages() const { return skin_.CoolImages(); }
    void SetCoolImages(TCoolImages* images);
    int IdWallpaper() const { return skin_.IdWallpaper(); }
    void SetIdWallpaper(int id);
    // The group box's own skin bitmap, created on first use.
    ui::TBitmap& Wallpaper() { return skin_.Wallpaper(); }
    void SetWallpaper(const ui::TBitmap& bitmap);

    ui::TColor ShadowColor() const { return shadow_.Color(); }
    void SetShadowColor(ui::TColor color);
    uint8_t ShadowSize() const { return shadow_.Size(); }
    void SetShadowSize(uint8_t size);
    TShadowPosition ShadowPos() const { return shadow_.Position(); }
    void SetShadowPos(TShadowPosition position);
    // The caption drawn once, without its shadow copy; a new shadow colour, size or position clears it.
    bool SimpleView() const { return shadow_.SimpleView(); }
    void SetSimpleView(bool simpleView);

    void Notification(ui::TComponent* component, bool removing) override;
    void WndProc(ui::TMessage& message) override;

protected:
    const char* ClassName() const override { return "TCoolGroupBox"; }
    void EraseBackground(HDC dc) override;
    void Paint() override;
    // Sends the control a notification through its window, where it has one, so that hooks see it too.
    void Notify(UINT msg);

private:
    void WallpaperChanged();

    bool transparent_ = false;
    uint8_t transparencyLevel_ = 0;
    bool stretched_ = false;
    TSkinPicture skin_;
    TCaptionShadow shadow_;
};

class TCustomCoolCheckRadioGroup : public TCoolGroupBox {
public:
    explicit TCustomCoolCheckRadioGroup(ui::TComponent* owner);
    ~TCustomCoolCheckRadioGroup() override;

    // One item box per string, captioned with it; every change of the strings rebuilds the items.
    ui::TStringList& Items() { return items_; }
    void SetItems(const ui::TStringList& items) { items_.Assign(items); }
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

    void Notification(ui::TComponent* component, bool removing) override;
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

    ui::TStringList items_;
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
};

}  // namespace skin
