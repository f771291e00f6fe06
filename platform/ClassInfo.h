// Run-time class information for stored form descriptions: a class name,
// its base class, a factory (for components the reader may create) and the
// published properties, each with a setter and a getter over Value.
//
// Properties are found by name (case-insensitive), own class first, then the
// base classes; the writer lists them base class first, in registration
// order. A dotted name such as "Font.Height" or "DIB.Width" is simply the
// name of one property. A collection property has no Value: the reader
// clears it and adds one item per `item ... end`, the writer lists them.
//
// Build the information once, in a function-local static, with ClassBuilder
// (see FormReader.h for an example). Window thread only.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Value.h"

namespace platform {

class Component;
class ClassInfo;

// Anything that has published properties: components and collection items.
class Persistent {
public:
    virtual ~Persistent() = default;
    virtual const ClassInfo& Class() const = 0;
};

struct PropertyInfo {
    std::string name;
    std::function<void(Persistent&, const Value&)> set;
    std::function<Value(const Persistent&)> get;
    // Whether the writer writes it; none: always.
    std::function<bool(const Persistent&)> stored;

    // Collections only.
    bool isCollection = false;
    std::function<void(Persistent&)> clear;
    std::function<Persistent&(Persistent&)> add;
    std::function<size_t(const Persistent&)> count;
    std::function<const Persistent&(const Persistent&, size_t)> item;
};

class ClassInfo {
public:
    ClassInfo(std::string name, const ClassInfo* base);

    const std::string& Name() const { return name_; }
    const ClassInfo* Base() const { return base_; }
    bool InheritsFrom(const ClassInfo& other) const;

    // Creates a component owned by owner; empty for classes the reader may
    // not create (abstract classes, collection items).
    std::function<Component*(Component* owner)> create;

    const PropertyInfo* Find(std::string_view name) const;
    // Base class properties first.
    std::vector<const PropertyInfo*> All() const;

    std::vector<PropertyInfo> properties;

private:
    std::string name_;
    const ClassInfo* base_;
};

// The classes the form reader can create, by name. Our own classes are
// registered on first use; other libraries call Register for theirs before
// reading a form that names them.
class ClassRegistry {
public:
    static void Register(const ClassInfo& info);
    static const ClassInfo* Find(std::string_view name);
};

bool SameName(std::string_view a, std::string_view b);

// Fluent construction of ClassInfo for class C. Getters and setters are
// member function pointers or callables taking (const C&) and (C&, value).
template <typename C>
class ClassBuilder {
public:
    ClassBuilder(std::string name, const ClassInfo* base) : info_(std::move(name), base) {}

    // The reader may create C with an owner.
    ClassBuilder& Creatable() {
        info_.create = [](Component* owner) -> Component* { return new C(owner); };
        return *this;
    }

    template <typename G, typename S>
    ClassBuilder& Integer(std::string name, G get, S set, int64_t lo, int64_t hi) {
        return Add(
            std::move(name), [=](C& c, const Value& v) { std::invoke(set, c, static_cast<int>(v.AsInteger(lo, hi))); },
            [=](const C& c) { return Value::Integer(std::invoke(get, c)); });
    }
    template <typename G, typename S>
    ClassBuilder& Bool(std::string name, G get, S set) {
        return Add(
            std::move(name), [=](C& c, const Value& v) { std::invoke(set, c, v.AsBool()); },
            [=](const C& c) { return Value::Identifier(std::invoke(get, c) ? "True" : "False"); });
    }
    template <typename G, typename S>
    ClassBuilder& Float(std::string name, G get, S set) {
        return Add(
            std::move(name), [=](C& c, const Value& v) { std::invoke(set, c, v.AsFloat()); },
            [=](const C& c) { return Value::Float(std::invoke(get, c)); });
    }
    template <typename G, typename S>
    ClassBuilder& String(std::string name, G get, S set) {
        return Add(
            std::move(name), [=](C& c, const Value& v) { std::invoke(set, c, v.AsString()); },
            [=](const C& c) { return Value::String(std::string(std::invoke(get, c))); });
    }
    // Any Value kind: the setter checks it.
    template <typename G, typename S>
    ClassBuilder& Raw(std::string name, G get, S set) {
        return Add(
            std::move(name), [=](C& c, const Value& v) { std::invoke(set, c, v); },
            [=](const C& c) { return Value(std::invoke(get, c)); });
    }
    // An enumeration stored by name: names[i] is the name of value i.
    template <typename G, typename S>
    ClassBuilder& Enum(std::string name, G get, S set, std::vector<std::string> names) {
        return Add(
            std::move(name),
            [=](C& c, const Value& v) {
                const std::string& id = v.AsIdentifier();
                for (size_t i = 0; i < names.size(); ++i)
                    if (SameName(names[i], id)) return std::invoke(set, c, static_cast<int>(i));
                throw ValueError("'" + id + "' is not a valid value");
            },
            [=](const C& c) {
                const int i = static_cast<int>(std::invoke(get, c));
                return Value::Identifier(i >= 0 && i < static_cast<int>(names.size()) ? names[i] : "?");
            });
    }
    template <typename G, typename S>
    ClassBuilder& Binary(std::string name, G get, S set) {
        return Add(
            std::move(name),
            [=](C& c, const Value& v) {
                if (v.kind != Value::Kind::Binary) throw ValueError("a binary block is expected");
                std::invoke(set, c, v.bytes);
            },
            [=](const C& c) { return Value::Binary(std::invoke(get, c)); });
    }
    // Items of type I held by C: clear(C&), add(C&) -> I&, count(const C&),
    // item(const C&, index) -> const I&.
    template <typename I, typename Clear, typename AddItem, typename Count, typename Item>
    ClassBuilder& Collection(std::string name, Clear clear, AddItem add, Count count, Item item) {
        PropertyInfo p;
        p.name = std::move(name);
        p.isCollection = true;
        p.clear = [=](Persistent& o) { std::invoke(clear, static_cast<C&>(o)); };
        p.add = [=](Persistent& o) -> Persistent& { return static_cast<I&>(std::invoke(add, static_cast<C&>(o))); };
        p.count = [=](const Persistent& o) {
            return static_cast<size_t>(std::invoke(count, static_cast<const C&>(o)));
        };
        p.item = [=](const Persistent& o, size_t i) -> const Persistent& {
            return static_cast<const I&>(std::invoke(item, static_cast<const C&>(o), i));
        };
        info_.properties.push_back(std::move(p));
        return *this;
    }
    // Writes the last added property only when the predicate holds.
    template <typename P>
    ClassBuilder& StoredWhen(P predicate) {
        info_.properties.back().stored = [=](const Persistent& o) {
            return std::invoke(predicate, static_cast<const C&>(o));
        };
        return *this;
    }
    // Writes the last added property only when it differs from v.
    ClassBuilder& Default(Value v) {
        auto get = info_.properties.back().get;
        info_.properties.back().stored = [get, v](const Persistent& o) { return !(get(o) == v); };
        return *this;
    }

    template <typename Set, typename Get>
    ClassBuilder& Add(std::string name, Set set, Get get) {
        PropertyInfo p;
        p.name = std::move(name);
        p.set = [=](Persistent& o, const Value& v) { set(static_cast<C&>(o), v); };
        p.get = [=](const Persistent& o) { return get(static_cast<const C&>(o)); };
        info_.properties.push_back(std::move(p));
        return *this;
    }

    ClassInfo Build() { return std::move(info_); }

private:
    ClassInfo info_;
};

}  // namespace platform
