#include "skin/CoolImages.h"

#include <algorithm>

namespace skin {

// ---- TCoolChangeLink

TCoolChangeLink::~TCoolChangeLink() {
    if (images_ != nullptr) images_->UnRegisterChanges(this);
}

void TCoolChangeLink::Change() {
    if (OnChange) OnChange(images_);
}

// ---- TBitmapItem

TBitmapItem::TBitmapItem(base::TCollection* collection)
    : base::TCollectionItem(collection), bitmap_(std::make_unique<ui::TBitmap>()) {
    bitmap_->OnChange = [this] { AnnounceChange(); };
}

TBitmapItem::~TBitmapItem() {
    AnnounceChange();
    bitmap_->OnChange = nullptr;
    bitmap_.reset();
}

void TBitmapItem::SetBitmap(const ui::TBitmap& bitmap) {
    bitmap_->Assign(bitmap);
}

void TBitmapItem::AnnounceChange() {
    auto* bitmaps = dynamic_cast<TBitmaps*>(Collection());
    if (bitmaps != nullptr && bitmaps->Images() != nullptr) bitmaps->Images()->Change();
}

// ---- TBitmaps

TBitmaps::~TBitmaps() {
    Clear();
}

base::TComponent* TBitmaps::Owner() const {
    return owner_;
}

// ---- TCoolImages

TCoolImages::TCoolImages(base::TComponent* owner)
    : base::TComponent(owner), bitmaps_(std::make_unique<TBitmaps>(this)) {}

TCoolImages::~TCoolImages() {
    while (!links_.empty()) {
        links_.back()->images_ = nullptr;
        links_.pop_back();
    }
    bitmaps_.reset();
}

void TCoolImages::RegisterChanges(TCoolChangeLink* link) {
    link->images_ = this;
    links_.push_back(link);
}

void TCoolImages::UnRegisterChanges(TCoolChangeLink* link) {
    const auto found = std::find(links_.begin(), links_.end(), link);
    if (found == links_.end()) return;
    link->images_ = nullptr;
    links_.erase(found);
}

void TCoolImages::Change() {
    // A link's user may leave the set while it is told; a link that left is not told any more.
    const std::vector<TCoolChangeLink*> links = links_;
    for (TCoolChangeLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
    }
}

}  // namespace skin
