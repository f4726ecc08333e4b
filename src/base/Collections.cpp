#include "base/Collections.h"

#include <algorithm>

#include "base/SysUtils.h"

namespace base {

TCollectionItem::TCollectionItem(TCollection* collection) : collection_(collection) {
    if (collection_ != nullptr) collection_->items_.push_back(this);
}

TCollectionItem::~TCollectionItem() {
    if (collection_ == nullptr) return;
    auto& items = collection_->items_;
    items.erase(std::remove(items.begin(), items.end(), this), items.end());
    collection_->Update(nullptr);
}

int TCollectionItem::Index() const {
    if (collection_ == nullptr) return -1;
    const auto& items = collection_->items_;
    const auto found = std::find(items.begin(), items.end(), this);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

void TCollectionItem::Changed() {
    if (collection_ != nullptr) collection_->Update(this);
}

TCollection::~TCollection() {
    // Items leave by themselves as they go; nothing is told about them any more.
    while (!items_.empty()) {
        TCollectionItem* last = items_.back();
        items_.pop_back();
        last->collection_ = nullptr;
        delete last;
    }
}

TCollectionItem* TCollection::Item(int index) const {
    if (index < 0 || index >= Count()) throw EListError(index);
    return items_[static_cast<size_t>(index)];
}

void TCollection::Delete(int index) {
    delete Item(index);
}

void TCollection::Clear() {
    while (!items_.empty()) delete items_.back();
}

}  // namespace base
