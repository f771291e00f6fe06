#include "text/ExactDecimal.h"

#include <charconv>
#include <cmath>

namespace trv4 {

ExactDecimal::ExactDecimal(float v) { read(v, kFloatDigits); }

ExactDecimal::ExactDecimal(double v) { read(v, kDoubleDigits); }

template <typename Real>
void ExactDecimal::read(Real v, int significantDigits) {
    negative_ = std::signbit(v);
    // "d.ddd...e+XX" with significantDigits digits: the whole expansion, then
    // zeros.
    char text[kDoubleDigits + 8];
    const char* end =
        std::to_chars(text, text + sizeof text, std::fabs(v), std::chars_format::scientific, significantDigits - 1).ptr;
    const char* p = text;
    for (; p != end && *p != 'e'; ++p)
        if (*p != '.') digits_[count_++] = *p;
    if (p != end) std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent_);
    while (count_ > 0 && digits_[count_ - 1] == '0') --count_;  // zero keeps no digit
    if (count_ == 0) exponent_ = 0;
}

uint64_t ExactDecimal::rounded(int decimals) const {
    // The digits before the point of |v| * 10^decimals, then the next one
    // decides: on the exact value a half or more rounds up.
    const int whole = exponent_ + 1 + decimals;
    uint64_t units = 0;
    for (int i = 0; i < whole; ++i) units = units * 10 + static_cast<uint64_t>(digitAt(i) - '0');
    if (whole >= 0 && digitAt(whole) >= '5') ++units;
    return units;
}

}  // namespace trv4
