// The exact decimal value of a float or double, and its rounding at any
// decimal place with halves away from zero: the one rule behind every number
// the plug-in and its editor write. The digits come from std::to_chars, asked
// for as many as the binary value has, so nothing is rounded on the way and
// the process locale plays no part.
//
// Pure, any thread; no allocation. Not for the audio path (a few hundred
// digits are produced per value).
#pragma once

#include <cstdint>

namespace trv4 {

class ExactDecimal {
public:
    // v must be finite. A float converts to double exactly; its own
    // constructor only asks for fewer digits.
    explicit ExactDecimal(float v);
    explicit ExactDecimal(double v);

    bool negative() const { return negative_; }  // the sign bit, also of -0
    // The power of ten of the leading digit: |v| = d1.d2d3... * 10^exponent,
    // d1 != 0; 0 for zero.
    int exponent() const { return exponent_; }
    // |v| * 10^decimals rounded to a whole number, halves away from zero
    // (decimals may be negative). The result must have at most 19 digits:
    // exponent() + decimals < 19.
    uint64_t rounded(int decimals) const;

private:
    // A double's exact expansion has at most 767 significant digits
    // (m * 2^-1074 with m below 2^53), a float's at most 112.
    static constexpr int kDoubleDigits = 767;
    static constexpr int kFloatDigits = 112;

    template <typename Real>
    void read(Real v, int significantDigits);
    char digitAt(int i) const { return i < count_ ? digits_[i] : '0'; }

    char digits_[kDoubleDigits];  // the significant digits of |v|, '0' .. '9'
    int count_ = 0;
    int exponent_ = 0;
    bool negative_ = false;
};

}  // namespace trv4
