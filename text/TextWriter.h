// Appends characters and whole numbers to a NUL-terminated text of fixed
// capacity, as the display texts and read-outs are built: what does not fit
// is dropped, the terminator always stays. Decimal digits come from
// std::to_chars, which never consults the process locale.
//
// Pure, any thread; no allocation.
#pragma once

#include <charconv>
#include <cstdint>

namespace trv4 {

class TextWriter {
public:
    // Starts an empty text in text[0 .. capacity - 1].
    TextWriter(char* text, int capacity) : text_(text), capacity_(capacity) { text_[0] = 0; }

    void put(char c) {
        if (length_ >= capacity_ - 1) return;
        text_[length_++] = c;
        text_[length_] = 0;
    }
    void put(const char* s) {
        while (*s) put(*s++);
    }
    // value in decimal, zeros in front up to minDigits digits.
    void putDecimal(uint64_t value, int minDigits = 1) {
        char digits[20];
        const int count = static_cast<int>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
        for (int i = count; i < minDigits; ++i) put('0');
        for (int i = 0; i < count; ++i) put(digits[i]);
    }

    int length() const { return length_; }

private:
    char* text_;
    int capacity_;
    int length_ = 0;
};

}  // namespace trv4
