// WriteForm: the text form of a component tree (the format of FormReader.h).
#include <charconv>
#include <string>

#include "platform/Component.h"
#include "platform/FormReader.h"

namespace platform {

namespace {

void Indent(std::string& out, int depth) { out.append(static_cast<size_t>(depth) * 2, ' '); }

void WriteString(std::string& out, const std::string& s) {
    bool quoted = false;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F) {
            if (!quoted) out += '\'';
            quoted = true;
            if (c == '\'') out += '\'';
            out += static_cast<char>(c);
        } else {
            if (quoted) out += '\'';
            quoted = false;
            out += '#';
            out += std::to_string(c);
        }
    }
    if (quoted) out += '\'';
    if (s.empty()) out += "''";
}

void WriteFloat(std::string& out, double v) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    std::string s(buffer, r.ptr);
    if (s.find_first_of(".en") == std::string::npos) s += ".0";
    out += s;
}

void WriteValue(std::string& out, const Value& v, int depth) {
    switch (v.kind) {
    case Value::Kind::Integer: out += std::to_string(v.integer); break;
    case Value::Kind::Float: WriteFloat(out, v.real); break;
    case Value::Kind::String: WriteString(out, v.text); break;
    case Value::Kind::Identifier: out += v.text; break;
    case Value::Kind::Set:
        out += '[';
        for (size_t i = 0; i < v.names.size(); ++i) {
            if (i) out += ", ";
            out += v.names[i];
        }
        out += ']';
        break;
    case Value::Kind::Binary: {
        static const char kHex[] = "0123456789ABCDEF";
        out += '{';
        for (size_t i = 0; i < v.bytes.size(); ++i) {
            if (i % 32 == 0) {
                out += '\n';
                Indent(out, depth + 1);
            }
            out += kHex[v.bytes[i] >> 4];
            out += kHex[v.bytes[i] & 15];
        }
        out += '}';
        break;
    }
    }
}

void WriteProperties(std::string& out, const Persistent& object, int depth) {
    for (const PropertyInfo* p : object.Class().All()) {
        if (p->stored && !p->stored(object)) continue;
        Indent(out, depth);
        out += p->name;
        out += " = ";
        if (p->isCollection) {
            const size_t n = p->count(object);
            out += '<';
            for (size_t i = 0; i < n; ++i) {
                out += '\n';
                Indent(out, depth + 1);
                out += "item\n";
                WriteProperties(out, p->item(object, i), depth + 2);
                Indent(out, depth + 1);
                out += "end";
            }
            out += ">\n";
            continue;
        }
        WriteValue(out, p->get(object), depth);
        out += '\n';
    }
}

void WriteObject(std::string& out, const Component& root, const Component& object, int depth) {
    Indent(out, depth);
    out += "object " + object.Name() + ": " + object.Class().Name() + "\n";
    WriteProperties(out, object, depth + 1);
    const Component* self = &object == &root ? nullptr : &object;
    for (const Component* c : root.Components()) {
        const Component* parent = c->StreamParent();
        if (parent == &root) parent = nullptr;
        if (parent == self) WriteObject(out, root, *c, depth + 1);
    }
    Indent(out, depth);
    out += "end\n";
}

}  // namespace

std::string WriteForm(const Component& root) {
    std::string out;
    WriteObject(out, root, root, 0);
    return out;
}

}  // namespace platform
