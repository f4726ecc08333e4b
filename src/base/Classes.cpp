#include "base/Classes.h"

#include <algorithm>

namespace base {

namespace {

void Erase(std::vector<TComponent*>& list, TComponent* component) {
    list.erase(std::remove(list.begin(), list.end(), component), list.end());
}

}  // namespace

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_ != nullptr) {
        owner_->components_.push_back(this);
        if (owner_->loading_) loading_ = true;
    }
}

TComponent::~TComponent() {
    destroying_ = true;
    DestroyComponents();
    // The others may drop their references as they are told; nobody is told twice.
    const std::vector<TComponent*> watchers = std::exchange(freeNotifies_, {});
    for (TComponent* watcher : watchers) Erase(watcher->freeNotifies_, this);
    if (owner_ != nullptr) {
        Erase(owner_->components_, this);
        const std::vector<TComponent*> siblings = owner_->components_;
        for (TComponent* sibling : siblings) {
            if (std::find(watchers.begin(), watchers.end(), sibling) == watchers.end())
                sibling->Notification(this, true);
        }
        if (std::find(watchers.begin(), watchers.end(), owner_) == watchers.end()) owner_->Notification(this, true);
    }
    for (TComponent* watcher : watchers) watcher->Notification(this, true);
}

void TComponent::Free() {
    if (!beforeDestructionDone_) {
        beforeDestructionDone_ = true;
        BeforeDestruction();
    }
    delete this;
}

void TComponent::BeforeDestruction() {
    destroying_ = true;
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) components_.back()->Free();
}

void TComponent::FreeNotification(TComponent* other) {
    if (other == nullptr || other == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) {
        freeNotifies_.push_back(other);
        other->freeNotifies_.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    if (other == nullptr) return;
    Erase(freeNotifies_, other);
    Erase(other->freeNotifies_, this);
}

void TComponent::BeginLoading() {
    loading_ = true;
    for (TComponent* component : components_) component->loading_ = true;
}

void TComponent::EndLoading() {
    std::vector<TComponent*> loaded{this};
    loaded.insert(loaded.end(), components_.begin(), components_.end());
    for (TComponent* component : loaded) component->loading_ = false;
    // A Loaded step may make or free components: the list is walked as it stood, skipping the freed.
    std::vector<TWatch> watches;
    for (TComponent* component : loaded) watches.push_back(component->Watch());
    for (size_t i = 1; i < loaded.size(); ++i) {
        if (watches[i]) loaded[i]->Loaded();
    }
    Loaded();
}

}  // namespace base
