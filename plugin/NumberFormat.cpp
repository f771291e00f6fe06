#include "plugin/NumberFormat.h"

#include <cstdint>
#include <cstring>

namespace trv4 {

namespace {

// A float32 is m * 2^e with m < 2^24 and -149 <= e <= 104. Its exact decimal
// expansion is the integer m * 2^e (e >= 0) or m * 5^-e scaled by 10^e
// (e < 0). The largest of these, 2^24 * 5^149, has 371 bits: 12 limbs.
class BigDecimal {
public:
    static constexpr int kLimbs = 13;

    explicit BigDecimal(uint32_t value) { limb[0] = value; used = value ? 1 : 0; }

    void multiply(uint32_t factor) {
        uint64_t carry = 0;
        for (int i = 0; i < used; ++i) {
            uint64_t product = static_cast<uint64_t>(limb[i]) * factor + carry;
            limb[i] = static_cast<uint32_t>(product);
            carry = product >> 32;
        }
        if (carry) limb[used++] = static_cast<uint32_t>(carry);
    }

    // Divides in place and answers the remainder.
    uint32_t divide(uint32_t divisor) {
        uint64_t remainder = 0;
        for (int i = used - 1; i >= 0; --i) {
            uint64_t part = (remainder << 32) | limb[i];
            limb[i] = static_cast<uint32_t>(part / divisor);
            remainder = part % divisor;
        }
        while (used > 0 && limb[used - 1] == 0) --used;
        return static_cast<uint32_t>(remainder);
    }

    bool isZero() const { return used == 0; }

private:
    uint32_t limb[kLimbs] = {};
    int used;
};

// The first digits of a positive value: value = 0.d1 d2 d3 d4 ... * 10^exponent
// with d1 != 0. Four digits are enough: with halves rounded away from zero,
// the fourth digit alone decides the rounding to three.
struct LeadingDigits {
    int digit[4];
    int exponent;
};

LeadingDigits leadingDigits(uint32_t mantissa, int binaryExponent) {
    BigDecimal n(mantissa);
    int decimalShift = 0;  // value = n * 10^decimalShift
    if (binaryExponent >= 0) {
        for (int i = 0; i < binaryExponent; ++i) n.multiply(2);
    } else {
        for (int i = 0; i < -binaryExponent; ++i) n.multiply(5);
        decimalShift = binaryExponent;
    }

    // Collect all decimal digits, least significant first.
    char reversed[128];
    int count = 0;
    while (!n.isZero()) {
        uint32_t chunk = n.divide(1000000000u);
        bool last = n.isZero();
        for (int i = 0; i < 9 && (!last || chunk != 0); ++i) {
            reversed[count++] = static_cast<char>(chunk % 10);
            chunk /= 10;
        }
    }

    LeadingDigits out{};
    for (int i = 0; i < 4; ++i) out.digit[i] = i < count ? reversed[count - 1 - i] : 0;
    out.exponent = count + decimalShift;
    return out;
}

class TextBuilder {
public:
    explicit TextBuilder(NumberText& out) : out(out) { out.length = 0; }
    void put(char c) {
        if (out.length < NumberText::kCapacity - 1) out.text[out.length++] = c;
        out.text[out.length] = 0;
    }
    void put(const char* s) {
        while (*s) put(*s++);
    }

private:
    NumberText& out;
};

}  // namespace

NumberText num(float v) {
    NumberText result{};
    TextBuilder text(result);

    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const bool negative = (bits >> 31) != 0;
    const int biasedExponent = static_cast<int>((bits >> 23) & 0xFF);
    const uint32_t fraction = bits & 0x7FFFFF;

    if (biasedExponent == 0xFF) {
        if (fraction) {
            text.put("NAN");
        } else {
            if (negative) text.put('-');
            text.put("INF");
        }
        return result;
    }
    if (biasedExponent == 0 && fraction == 0) {
        text.put('0');  // also for -0
        return result;
    }

    const uint32_t mantissa = biasedExponent ? (fraction | 0x800000u) : fraction;
    const int binaryExponent = (biasedExponent ? biasedExponent : 1) - 150;
    LeadingDigits lead = leadingDigits(mantissa, binaryExponent);

    // Round to three significant digits; 999.6 carries over into 1000.
    int rounded = lead.digit[0] * 100 + lead.digit[1] * 10 + lead.digit[2];
    int exponent = lead.exponent;  // rounded value = 0.ddd * 10^exponent
    if (lead.digit[3] >= 5) ++rounded;
    if (rounded == 1000) {
        rounded = 100;
        ++exponent;
    }
    char digits[4] = {static_cast<char>('0' + rounded / 100), static_cast<char>('0' + rounded / 10 % 10),
                      static_cast<char>('0' + rounded % 10), 0};
    int numDigits = 3;
    while (numDigits > 1 && digits[numDigits - 1] == '0') digits[--numDigits] = 0;

    if (negative) text.put('-');
    if (exponent >= -3 && exponent <= 3) {
        if (exponent <= 0) {
            text.put("0.");
            for (int i = 0; i < -exponent; ++i) text.put('0');
            text.put(digits);
        } else {
            for (int i = 0; i < exponent; ++i) text.put(i < numDigits ? digits[i] : '0');
            if (numDigits > exponent) {
                text.put('.');
                text.put(digits + exponent);
            }
        }
    } else {
        text.put(digits[0]);
        if (numDigits > 1) {
            text.put('.');
            text.put(digits + 1);
        }
        const int shown = exponent - 1;
        const int magnitude = shown < 0 ? -shown : shown;
        // A float32 exponent lies within -45..38: three digits, the first 0.
        text.put('E');
        text.put(shown < 0 ? '-' : '+');
        text.put('0');
        text.put(static_cast<char>('0' + magnitude / 10));
        text.put(static_cast<char>('0' + magnitude % 10));
    }
    return result;
}

}  // namespace trv4
