#include "platform/ClassInfo.h"

#include <map>
#include <mutex>
#include <utility>

namespace platform {

// The classes of this library (Controls.cpp).
std::vector<const ClassInfo*> PlatformClasses();

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

ClassInfo::ClassInfo(std::string name, const ClassInfo* base) : name_(std::move(name)), base_(base) {}

bool ClassInfo::InheritsFrom(const ClassInfo& other) const {
    for (const ClassInfo* c = this; c; c = c->base_)
        if (c == &other) return true;
    return false;
}

const PropertyInfo* ClassInfo::Find(std::string_view name) const {
    for (const ClassInfo* c = this; c; c = c->base_)
        for (const PropertyInfo& p : c->properties)
            if (SameName(p.name, name)) return &p;
    return nullptr;
}

std::vector<const PropertyInfo*> ClassInfo::All() const {
    std::vector<const PropertyInfo*> all = base_ ? base_->All() : std::vector<const PropertyInfo*>{};
    for (const PropertyInfo& p : properties) all.push_back(&p);
    return all;
}

namespace {

std::string Lower(std::string_view name) {
    std::string s(name);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Our own classes are in from the first use on.
struct Registry {
    Registry() {
        for (const ClassInfo* info : PlatformClasses()) classes[Lower(info->Name())] = info;
    }
    std::mutex mutex;
    std::map<std::string, const ClassInfo*> classes;  // lower-case names
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

void ClassRegistry::Register(const ClassInfo& info) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.classes[Lower(info.Name())] = &info;
}

const ClassInfo* ClassRegistry::Find(std::string_view name) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto it = r.classes.find(Lower(name));
    return it == r.classes.end() ? nullptr : it->second;
}

}  // namespace platform
