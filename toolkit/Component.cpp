#include "toolkit/Component.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr) {
        AOwner->InsertComponent(this);
    }
}

TComponent::~TComponent() {
    Destroying();
    // Copy: a notified component may unregister itself while we walk the list.
    std::vector<TComponent*> watchers = FFreeNotifies;
    FFreeNotifies.clear();
    for (TComponent* watcher : watchers) {
        watcher->RemoveFreeNotification(this);
        watcher->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner != nullptr) {
        FOwner->RemoveComponent(this);
    }
}

void TComponent::Loaded() {
    FState &= ~static_cast<unsigned>(csLoading);
}

void TComponent::Destroying() {
    if (IsDestroying()) {
        return;
    }
    FState |= csDestroying;
    for (TComponent* c : FComponents) {
        c->Destroying();
    }
}

void TComponent::SetDesigning(bool value) {
    if (value) {
        FState |= csDesigning;
    } else {
        FState &= ~static_cast<unsigned>(csDesigning);
    }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove) {
        RemoveFreeNotification(AComponent);
    }
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent == this) {
        return;
    }
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(AComponent);
    }
    auto& theirs = AComponent->FFreeNotifies;
    if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) {
        theirs.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    std::erase(FFreeNotifies, AComponent);
}

void TComponent::InsertComponent(TComponent* AComponent) {
    AComponent->FOwner = this;
    FComponents.push_back(AComponent);
    for (TComponent* c : std::vector<TComponent*>(FComponents)) {
        if (c != AComponent) {
            c->Notification(AComponent, opInsert);
        }
    }
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    std::erase(FComponents, AComponent);
    AComponent->FOwner = nullptr;
    Notification(AComponent, opRemove);
    for (TComponent* c : std::vector<TComponent*>(FComponents)) {
        c->Notification(AComponent, opRemove);
    }
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        RemoveComponent(last);
        delete last;
    }
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    for (TComponent* c : FComponents) {
        if (c->Name == name) {
            return c;
        }
    }
    return nullptr;
}
