// One property value of a stored form description, as the text writes it:
// an integer (12, -3, $00C0C0C0), a float (1.5), a string ('It''s', #13), an
// identifier (True, clBlack, FormCreate), a set ([biSystemMenu]) or a binary
// block ({ 0A1B... }). Collections are read and written through their items'
// own properties (see ClassInfo).
//
// Conversions raise ValueError; the form reader turns that into an error
// with the line number.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

class ValueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Value {
    enum class Kind { Integer, Float, String, Identifier, Set, Binary };

    Kind kind = Kind::Integer;
    int64_t integer = 0;
    double real = 0.0;
    std::string text;                // String and Identifier
    std::vector<std::string> names;  // Set
    std::vector<uint8_t> bytes;      // Binary

    static Value Integer(int64_t v);
    static Value Float(double v);
    static Value String(std::string v);
    static Value Identifier(std::string v);
    static Value Set(std::vector<std::string> v);
    static Value Binary(std::vector<uint8_t> v);

    // Integers within [lo, hi] only.
    int64_t AsInteger(int64_t lo, int64_t hi) const;
    // Floats and integers.
    double AsFloat() const;
    const std::string& AsString() const;
    const std::string& AsIdentifier() const;
    bool AsBool() const;  // True / False

    bool operator==(const Value&) const = default;
};

}  // namespace platform
