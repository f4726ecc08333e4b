// The shared skin bitmap sets and the change links through which their users learn of their changes.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "base/Classes.h"
#include "base/Collections.h"
#include "ui/Graphics.h"

namespace skin {

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
class TBitmapItem : public base::TCollectionItem {
public:
    explicit TBitmapItem(base::TCollection* collection);
    ~TBitmapItem() override;

    ui::TBitmap& Bitmap() { return *bitmap_; }
    // Copies the bitmap's picture into the item's own.
    void SetBitmap(const ui::TBitmap& bitmap);

private:
    void AnnounceChange();

    std::unique_ptr<ui::TBitmap> bitmap_;
};

// The items of a skin set, by index 0 .. Count - 1.
class TBitmaps : public base::TCollection {
public:
    explicit TBitmaps(TCoolImages* owner) : owner_(owner) {}
    ~TBitmaps() override;

    TBitmapItem* Add() { return static_cast<TBitmapItem*>(base::TCollection::Add()); }
    TBitmapItem* Items(int index) const { return static_cast<TBitmapItem*>(Item(index)); }
    base::TComponent* Owner() const override;
    TCoolImages* Images() const { return owner_; }

protected:
    base::TCollectionItem* NewItem() override { return new TBitmapItem(this); }

private:
    TCoolImages* owner_;
};

// A numbered set of skin bitmaps shared by any number of controls and form hooks, which learn of its
// changes through their change links.
class TCoolImages : public base::TComponent {
public:
    explicit TCoolImages(base::TComponent* owner);
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

}  // namespace skin
