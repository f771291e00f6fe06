#include "platform/Value.h"

#include <utility>

namespace platform {

Value Value::Integer(int64_t v) {
    Value value;
    value.integer = v;
    return value;
}

Value Value::Float(double v) {
    Value value;
    value.kind = Kind::Float;
    value.real = v;
    return value;
}

Value Value::String(std::string v) {
    Value value;
    value.kind = Kind::String;
    value.text = std::move(v);
    return value;
}

Value Value::Identifier(std::string v) {
    Value value;
    value.kind = Kind::Identifier;
    value.text = std::move(v);
    return value;
}

Value Value::Set(std::vector<std::string> v) {
    Value value;
    value.kind = Kind::Set;
    value.names = std::move(v);
    return value;
}

Value Value::Binary(std::vector<uint8_t> v) {
    Value value;
    value.kind = Kind::Binary;
    value.bytes = std::move(v);
    return value;
}

int64_t Value::AsInteger(int64_t lo, int64_t hi) const {
    if (kind != Kind::Integer) throw ValueError("an integer is expected");
    if (integer < lo || integer > hi)
        throw ValueError(std::to_string(integer) + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
    return integer;
}

double Value::AsFloat() const {
    if (kind == Kind::Float) return real;
    if (kind == Kind::Integer) return static_cast<double>(integer);
    throw ValueError("a number is expected");
}

const std::string& Value::AsString() const {
    if (kind != Kind::String) throw ValueError("a string is expected");
    return text;
}

const std::string& Value::AsIdentifier() const {
    if (kind != Kind::Identifier) throw ValueError("a name is expected");
    return text;
}

bool Value::AsBool() const {
    if (kind == Kind::Identifier) {
        if (text == "True") return true;
        if (text == "False") return false;
    }
    throw ValueError("True or False is expected");
}

}  // namespace platform
