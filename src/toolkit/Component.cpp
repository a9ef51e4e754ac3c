#include "toolkit/Component.h"

#include <algorithm>

namespace {

void EraseValue(std::vector<TComponent*>& list, TComponent* value) {
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

}  // namespace

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    // Copy first: a notified component may drop its own free notice meanwhile.
    const std::vector<TComponent*> notifies = freeNotifies_;
    for (TComponent* other : notifies) {
        other->RemoveFreeNotification(this);
        other->Notification(this, opRemove);
    }
    freeNotifies_.clear();
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(const QString& name) const {
    for (TComponent* c : components_)
        if (c->name_.compare(name, Qt::CaseInsensitive) == 0) return c;
    return nullptr;
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) == freeNotifies_.end()) {
        freeNotifies_.push_back(AComponent);
        AComponent->FreeNotification(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    EraseValue(freeNotifies_, AComponent);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove) RemoveFreeNotification(AComponent);
    const std::vector<TComponent*> owned = components_;
    for (TComponent* c : owned)
        if (c != AComponent) c->Notification(AComponent, Operation);
}

void TComponent::InsertComponent(TComponent* AComponent) {
    components_.push_back(AComponent);
    AComponent->owner_ = this;
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    Notification(AComponent, opRemove);
    EraseValue(components_, AComponent);
    AComponent->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
    // Last created goes first; the ones still alive hear of each removal.
    while (!components_.empty()) {
        TComponent* last = components_.back();
        RemoveComponent(last);
        delete last;
    }
}
