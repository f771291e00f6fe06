#include "platform/Component.h"

#include <algorithm>

namespace platform {

Component::Component(Component* owner) : owner_(owner) {
    if (owner_) owner_->Insert(this);
}

Component::~Component() {
    DestroyComponents();
    // Copy: a notified component may change the lists it is in.
    const std::vector<Component*> notified = notified_;
    for (Component* c : notified) {
        c->RemoveFreeNotification(this);
        c->Notification(this);
    }
    if (owner_) {
        owner_->Remove(this);
        owner_->Notification(this);
    }
}

const ClassInfo& Component::StaticClass() {
    static const ClassInfo info = [] {
        ClassBuilder<Component> b("TComponent", nullptr);
        b.Integer("Tag", &Component::Tag, &Component::SetTag, INT32_MIN, INT32_MAX).Default(Value::Integer(0));
        return b.Build();
    }();
    return info;
}

Component* Component::Root() {
    Component* c = this;
    while (c->owner_) c = c->owner_;
    return c;
}

Component* Component::FindComponent(std::string_view name) const {
    for (Component* c : components_)
        if (SameName(c->Name(), name)) return c;
    return nullptr;
}

void Component::Loaded() { loading_ = false; }

void Component::FreeNotification(Component* other) {
    if (!other || other == this) return;
    if (std::find(notified_.begin(), notified_.end(), other) == notified_.end()) notified_.push_back(other);
    if (std::find(other->notified_.begin(), other->notified_.end(), this) == other->notified_.end())
        other->notified_.push_back(this);
}

void Component::RemoveFreeNotification(Component* other) {
    notified_.erase(std::remove(notified_.begin(), notified_.end(), other), notified_.end());
}

void Component::DestroyComponents() {
    while (!components_.empty()) {
        Component* last = components_.back();
        last->owner_ = nullptr;
        components_.pop_back();
        delete last;
    }
}

void Component::Remove(Component* c) {
    components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
}

}  // namespace platform
