// The skinned control set: shared skin bitmap sets with their change links, the form hook that paints a
// window's background, and the painting routines several controls share.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "skin/CoolUtils.h"
#include "base/Collections.h"
#include "ui/Controls.h"
#include "ui/Graphics.h"

namespace skin {

// Behaviour switches of the skinned controls and the form hook; which ones a class reads is its own.
enum TCoolOption {
    ocPaintWallpaper,
    ocStretchWallpaper,
    ocPaintSelWallpaper,
    ocPaintCaptionWallpaper,
    ocInvertWallpaperAsSelect,
    ocPaintGradiently,
    ocBevelOnlyIfSel,
    ocUseImageList,
    oc3dMDIForm,
    ocWallpaperForMDIChildren,
    ocGradientForMDIChildren,
    ocNoCaption,
    ocSmallCaption,
    ocNoMDIChildrensCaptions,
    ocDragUsingClientArea,
    ocNoDragUsingCaption,
    ocRoundedForm,
    ocFlatBorder,
    ocPaintFormSemiTransparently,
    ocPaintTransparently
};
using TCoolOptions = TSet<TCoolOption>;

enum TGradientDirection { gdHorizontal, gdVertical };
enum TCheckRadioType { crCheckBox, crRadioBox };
enum TBtnPaintOption { bpoDrawFocus, bpoDrawDefault };
using TBtnPaintOptions = TSet<TBtnPaintOption>;
// Opacity of a semi-transparent window, 0 (invisible) to 255 (opaque).
using TTransparencyIntense = uint8_t;

class TCoolImages;

// Registered with a skin bitmap set, a link tells its user of every change of the set.
class TCoolChangeLink {
public:
    TCoolChangeLink() = default;
    // Leaves the set it is registered with.
    ~TCoolChangeLink();
    TCoolChangeLink(const TCoolChangeLink&) = delete;
    TCoolChangeLink& operator=(const TCoolChangeLink&) = delete;

    TCoolImages* Images() const { return images_; }
    // Calls OnChange with the set as sender.
    void Change();

    std::function<void(TCoolImages* sender)> OnChange;

private:
    friend class TCoolImages;
    TCoolImages* images_ = nullptr;
};

// One bitmap of a skin set. Every change of the bitmap is a change of the set.
class TBitmapItem : public ui::TCollectionItem {
public:
    explicit TBitmapItem(ui::TCollection* collection);
    ~TBitmapItem() override;

    ui::TBitmap& Bitmap() { return *bitmap_; }
    // Copies the bitmap's picture into the item's own.
    void SetBitmap(const ui::TBitmap& bitmap);

private:
    void AnnounceChange();

    std::unique_ptr<ui::TBitmap> bitmap_;
};

// The items of a skin set, by index 0 .. Count - 1.
class TBitmaps : public ui::TCollection {
public:
    explicit TBitmaps(TCoolImages* owner) : owner_(owner) {}
    ~TBitmaps() override;

    TBitmapItem* Add() { return static_cast<TBitmapItem*>(ui::TCollection::Add()); }
    TBitmapItem* Items(int index) const { return static_cast<TBitmapItem*>(Item(index)); }
    ui::TComponent* Owner() const override;
    TCoolImages* Images() const { return owner_; }

protected:
    ui::TCollectionItem* NewItem() override { return new TBitmapItem(this); }

private:
    TCoolImages* owner_;
};

// A numbered set of skin bitmaps shared by any number of controls and form hooks, which learn of its
// changes through their change links.
class TCoolImages : public ui::TComponent {
public:
    explicit TCoolImages(ui::TComponent* owner);
    ~TCoolImages() override;

    TBitmaps& Bitmaps() { return *bitmaps_; }

    void RegisterChanges(TCoolChangeLink* link);
    void UnRegisterChanges(TCoolChangeLink* link);
    // Tells every registered link, in the order they registered.
    void Change();

private:
    std::vector<TCoolChangeLink*> links_;
    std::unique_ptr<TBitmaps> bitmaps_;
};

// The skin bitmap of a control: the set's item idWallpaper when there is such an item with a picture,
// else the own wallpaper when it has one; nullptr when neither has a picture.
ui::TBitmap* ChooseSkinPicture(TCoolImages* images, int idWallpaper, ui::TBitmap* wallpaper);
// Paints the chosen skin bitmap over the rectangle; false when there was nothing to paint.
bool PaintSkinWallpaper(HDC dc, const RECT& rect, bool stretch, DWORD rop, TCoolImages* images, int idWallpaper,
                        ui::TBitmap* wallpaper);

// The skin picture behind a control or a form hook's window, held the same way by all of them:
// Item idWallpaper of a shared skin set when the set has such an item with a picture, else the owner's
// own wallpaper. The set is reached through the picture's change link only, so a set destroyed before
// its users is simply gone: nothing keeps a pointer to it. Setters store; what a change means (invalidate,
// tell the children) is the owner's to decide, through the events and the setters' answers.
class TSkinPicture {
public:
    TSkinPicture();
    TSkinPicture(const TSkinPicture&) = delete;
    TSkinPicture& operator=(const TSkinPicture&) = delete;

    // The shared set; nullptr once it has been destroyed.
    TCoolImages* CoolImages() const { return link_.Images(); }
    // Moves the change link from the set held to the new one (also when it is the same set).
    void SetCoolImages(TCoolImages* images);
    int IdWallpaper() const { return idWallpaper_; }
    // False when the index is the one held.
    bool SetIdWallpaper(int id);

    // The owner's own wallpaper, made on first use.
    ui::TBitmap& Wallpaper();
    // The own wallpaper when it has been made, else nullptr.
    ui::TBitmap* OwnWallpaper() const { return wallpaper_.get(); }

    // The bitmap painted: the set's item, else the own wallpaper; nullptr when neither has a picture.
    ui::TBitmap* Picture() const;
    // Tiles (or stretches) the picture over the rectangle; false when there is none.
    bool Paint(HDC dc, const RECT& rect, bool stretch, DWORD rop) const;

    // The owner passes its component notices on: true when the set it holds went away.
    bool Notification(const ui::TComponent* component, bool removing);

    // The set announced a change of its bitmaps.
    ui::TNotifyEvent OnSetChanged;
    // The own wallpaper's picture changed.
    ui::TNotifyEvent OnWallpaperChanged;

private:
    TCoolChangeLink link_;
    // The set as last given, only to recognise its removal among the owner's notices.
    const ui::TComponent* givenSet_ = nullptr;
    int idWallpaper_ = -1;
    std::unique_ptr<ui::TBitmap> wallpaper_;
};

// Whether the control is one of the skinned ("Cool") classes.
bool IsCoolControl(const ui::TControl* control);

// What lines the bottom-right corner of a flat border: an edit has no scroll bars to make room for, a
// list box or memo may have both, and a grid leaves its window-colour inner frame out.
enum class TFlatBorderKind { Edit, Scrolling, Grid };

// The flat two-pixel non-client frame of edit-like controls, raised as a sunken line when hot. Without a
// DC it draws on the control's window DC.
void DrawFlatBorder(HDC dc, ui::TWinControl* control, bool hot, TFlatBorderKind kind = TFlatBorderKind::Edit);
// Lines along the chosen edges of the control's window, after the erase colour (unless clNone) has been
// painted under all four edges. Without a DC it draws on the control's window DC.
void DrawEdgeBorders(HDC dc, ui::TWinControl* control, TEdgeBorders edges, ui::TColor eraseColor, const ui::TPen& pen);
// Lines along the chosen edges of a client rectangle, with the canvas's pen set to the given one.
void DrawClientEdges(ui::TCanvas& canvas, const RECT& client, TEdgeBorders edges, const ui::TPen& pen);

// Paints its window's background with a skin bitmap or a gradient, and can drop the caption, reshape
// the window, make it semi-transparent and change how it is dragged. It hooks the window procedure of
// the window control that owns it once that window's layout has been loaded.
class TCoolFormHook : public ui::TComponent {
public:
    explicit TCoolFormHook(ui::TComponent* owner);
    ~TCoolFormHook() override;

    // The shared skin set; nullptr once the set has been destroyed, wherever it was owned.
    TCoolImages* CoolImages() const { return skin_.CoolImages(); }
    void SetCoolImages(TCoolImages* images);
    int IdWallpaper() const { return skin_.IdWallpaper(); }
    void SetIdWallpaper(int id);
    // The hook's own skin bitmap, created on first use.
    ui::TBitmap& Wallpaper() { return skin_.Wallpaper(); }
    void SetWallpaper(const ui::TBitmap& bitmap);
    TCoolOptions Options() const { return options_; }
    virtual void SetOptions(TCoolOptions options);
    ui::TColor StartColor() const { return startColor_; }
    void SetStartColor(ui::TColor color);
    ui::TColor EndColor() const { return endColor_; }
    void SetEndColor(ui::TColor color);
    TGradientDirection GradientDirection() const { return gradientDirection_; }
    void SetGradientDirection(TGradientDirection direction);
    // Insets of a rounded window's ellipse; made non-positive when the rounded region is made.
    int RoundXOffset() const { return roundXOffset_; }
    void SetRoundXOffset(int offset) { roundXOffset_ = offset; }
    int RoundYOffset() const { return roundYOffset_; }
    void SetRoundYOffset(int offset) { roundYOffset_ = offset; }
    TTransparencyIntense TransparencyIntense() const { return transparencyIntense_; }
    void SetTransparencyIntense(TTransparencyIntense intense);

    // The control whose window the hook paints.
    ui::TWinControl* HookedControl() const { return hookedControl_; }
    TWndHook& WndHook() { return *wndHook_; }

    // The window regions the hook gives its window, in window coordinates: the frame and the visible
    // children without the client background; and the ellipse inside the client size (a ring plus the
    // children when transparent is set).
    ui::RegionHandle TransparentRegion();
    ui::RegionHandle RoundedRegion(bool transparent);

    void Notification(ui::TComponent* component, bool removing) override;

protected:
    void Loaded() override;

private:
    void BeforeMessage(ui::TMessage& message, bool& handled);
    void AfterMessage(ui::TMessage& message);
    void WallpaperChanged();
    // The colour-changed notification to the hooked window, which then repaints with its children.
    void SkinChanged();
    HWND HookedWindow() const;
    void ApplyRegion(ui::RegionHandle region);

    // Owned as a component of this hook, destroyed ahead of the other components.
    TWndHook* wndHook_ = nullptr;
    TSkinPicture skin_;
    ui::TWinControl* hookedControl_ = nullptr;
    TCoolOptions options_;
    ui::TColor startColor_ = ui::clBlue;
    ui::TColor endColor_ = ui::clBlack;
    TGradientDirection gradientDirection_ = gdVertical;
    int roundXOffset_ = 0;
    int roundYOffset_ = 0;
    TTransparencyIntense transparencyIntense_ = 128;
};

}  // namespace skin
