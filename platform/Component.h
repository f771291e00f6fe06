// The base of everything a form holds: a name, an owner that frees it, the
// components it owns (freed with it, last created first), a Tag, the loading
// state that setters can test while a form description is read, and the
// hook that runs when reading is done.
//
// Events are Event<Signature> members. A form registers its handler methods
// by name (RegisterMethod), so that a stored description can bind them
// (`OnClick = LogoClick`) and the writer can name them again.
//
// Window thread only.
#pragma once

#include <any>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/ClassInfo.h"

namespace platform {

template <typename Signature>
struct Event {
    std::string name;  // the bound method's name; empty when set in code
    std::function<Signature> handler;

    explicit operator bool() const { return static_cast<bool>(handler); }
    template <typename... Args>
    void operator()(Args&&... args) const {
        if (handler) handler(std::forward<Args>(args)...);
    }
    void Set(std::function<Signature> f) {
        name.clear();
        handler = std::move(f);
    }
};

class Component;
using NotifyEvent = Event<void(Component* sender)>;

class Component : public Persistent {
public:
    explicit Component(Component* owner);
    ~Component() override;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    static const ClassInfo& StaticClass();
    const ClassInfo& Class() const override { return StaticClass(); }

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    Component* Owner() const { return owner_; }
    // The top of the owner chain: the form.
    Component* Root();
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    const std::vector<Component*>& Components() const { return components_; }
    Component* FindComponent(std::string_view name) const;
    template <typename T>
    T* Find(std::string_view name) const {
        return dynamic_cast<T*>(FindComponent(name));
    }

    // True while the form description that creates this component is read.
    bool IsLoading() const { return loading_; }
    void SetLoading(bool loading) { loading_ = loading; }
    // After reading: every component read, in creation order. Overrides call
    // the base first (it ends the loading state).
    virtual void Loaded();

    // Asks other to be told (Notification) when this component is freed.
    void FreeNotification(Component* other);
    void RemoveFreeNotification(Component* other);
    virtual void Notification(Component* component) {}

    // The form's handler methods, for stored event bindings.
    template <typename Signature>
    void RegisterMethod(const std::string& name, std::function<Signature> method) {
        methods_[name] = std::move(method);
    }
    template <typename Signature>
    const std::function<Signature>* FindMethod(const std::string& name) const {
        auto it = methods_.find(name);
        return it == methods_.end() ? nullptr : std::any_cast<std::function<Signature>>(&it->second);
    }

    // Where the writer nests this component: its parent control, or none
    // (directly in the form).
    virtual Component* StreamParent() const { return nullptr; }
    // Called by the reader for an object nested in this one's text.
    virtual void AdoptStreamed(Component* child) {}

protected:
    // Frees the owned components now; a derived destructor calls it while
    // it is still whole, so that they can still reach it.
    void DestroyComponents();

private:
    void Insert(Component* c) { components_.push_back(c); }
    void Remove(Component* c);

    std::string name_;
    Component* owner_;
    int tag_ = 0;
    bool loading_ = false;
    std::vector<Component*> components_;
    std::vector<Component*> notified_;
    std::map<std::string, std::any> methods_;
};

// An event property bound by method name: `.Add(...)` helper for ClassBuilder.
template <typename C, typename Signature>
void AddEventProperty(ClassBuilder<C>& builder, std::string name, Event<Signature> C::*member) {
    builder.Add(
        std::move(name),
        [member](C& c, const Value& v) {
            const std::string& method = v.AsIdentifier();
            const auto* handler = c.Root()->template FindMethod<Signature>(method);
            if (!handler) throw ValueError("the form has no method '" + method + "' of this kind");
            (c.*member).name = method;
            (c.*member).handler = *handler;
        },
        [member](const C& c) { return Value::Identifier((c.*member).name); });
    builder.StoredWhen([member](const C& c) { return !(c.*member).name.empty(); });
}

}  // namespace platform
