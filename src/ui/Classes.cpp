#include "ui/Classes.h"

#include <algorithm>

namespace ui {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_ != nullptr) {
        owner_->components_.push_back(this);
        if (owner_->loading_) loading_ = true;
    }
}

TComponent::~TComponent() {
    destroying_ = true;
    DestroyComponents();
    if (owner_ != nullptr) {
        auto& siblings = owner_->components_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        for (TComponent* sibling : siblings) sibling->Notification(this, true);
        owner_->Notification(this, true);
    }
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) delete components_.back();
}

void TComponent::BeginLoading() {
    loading_ = true;
    for (TComponent* component : components_) component->loading_ = true;
}

void TComponent::EndLoading() {
    std::vector<TComponent*> loaded{this};
    loaded.insert(loaded.end(), components_.begin(), components_.end());
    for (TComponent* component : loaded) component->loading_ = false;
    for (TComponent* component : components_) component->Loaded();
    Loaded();
}

}  // namespace ui
