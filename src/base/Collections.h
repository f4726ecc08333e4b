// Collections: an ordered list of items that the collection owns; items join it when they are created
// for it and leave it when they are destroyed.
#pragma once

#include <vector>

#include "base/Classes.h"

namespace base {

class TCollection;

class TCollectionItem {
public:
    // Appends the item to the collection (if one is given), which then owns it.
    explicit TCollectionItem(TCollection* collection);
    virtual ~TCollectionItem();
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    TCollection* Collection() const { return collection_; }
    // The item's position in its collection; -1 without one.
    int Index() const;

protected:
    // Tells the collection that this item changed.
    void Changed();

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
};

class TCollection {
public:
    TCollection() = default;
    // Destroys the remaining items, last first.
    virtual ~TCollection();
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    // Throws EListError for an index outside 0 .. Count - 1.
    TCollectionItem* Item(int index) const;
    // Creates a new item at the end.
    TCollectionItem* Add() { return NewItem(); }
    void Delete(int index);
    void Clear();

    // The component the collection belongs to, if any.
    virtual TComponent* Owner() const { return nullptr; }

protected:
    // Creates an item of the collection's kind for this collection.
    virtual TCollectionItem* NewItem() = 0;
    // An item changed; nullptr stands for the whole collection.
    virtual void Update(TCollectionItem* item) {}

private:
    friend class TCollectionItem;
    std::vector<TCollectionItem*> items_;
};

}  // namespace base
