#include "editor/ReadoutText.h"

#include <cmath>
#include <cstring>

#include "engine/Nearest.h"

namespace trv4 {

namespace {

class TextBuilder {
public:
    explicit TextBuilder(ReadoutText& out) : out(out) {
        out.length = 0;
        out.text[0] = 0;
    }
    void put(char c) {
        if (out.length < ReadoutText::kCapacity - 1) out.text[out.length++] = c;
        out.text[out.length] = 0;
    }
    void put(const char* s) {
        while (*s) put(*s++);
    }
    void putDecimal(uint64_t value, int minDigits = 1) {
        char reversed[24];
        int n = 0;
        do {
            reversed[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0 || n < minDigits);
        while (n > 0) put(reversed[--n]);
    }

private:
    ReadoutText& out;
};

constexpr uint64_t kPow10[] = {1, 10, 100, 1000, 10000};

// floor(|v| * 10^4), exact, for finite |v| below 10^10 (a float32 is
// m * 2^e with m < 2^24, so m * 10^4 < 2^38 and the shift stays in range).
uint64_t ScaledFloor(uint32_t bits) {
    const int biased = static_cast<int>((bits >> 23) & 0xFF);
    const uint32_t fraction = bits & 0x7FFFFF;
    const uint64_t mantissa = biased ? (fraction | 0x800000u) : fraction;
    const int exponent = (biased ? biased : 1) - 150;
    const uint64_t scaled = mantissa * 10000;
    if (exponent >= 0) return scaled << exponent;
    return -exponent >= 64 ? 0 : scaled >> -exponent;
}

}  // namespace

ReadoutText FixedReadout(float v) {
    ReadoutText result{};
    TextBuilder text(result);
    if (!(std::fabs(v) < 1e10f)) {  // also not-a-number
        text.put("-----");
        return result;
    }
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const bool negative = (bits >> 31) != 0;
    const uint64_t q = ScaledFloor(bits);

    // Decimals kept: 3, or fewer when the integer part has more than two
    // digits (5 significant digits in all).
    int integerDigits = 1;
    for (uint64_t i = q / 10000; i >= 10; i /= 10) ++integerDigits;
    const int decimals = integerDigits >= 5 ? 0 : (integerDigits <= 2 ? 3 : 5 - integerDigits);

    // Halves away from zero: on the exact value, the next digit alone decides.
    uint64_t rounded = q / kPow10[4 - decimals];
    if ((q / kPow10[3 - decimals]) % 10 >= 5) ++rounded;

    char full[32];
    ReadoutText scratch{};
    TextBuilder whole(scratch);
    if (negative && rounded != 0) whole.put('-');
    whole.putDecimal(rounded / kPow10[decimals]);
    whole.put('.');
    if (decimals > 0) whole.putDecimal(rounded % kPow10[decimals], decimals);
    for (int i = decimals; i < 3; ++i) whole.put('0');
    std::memcpy(full, scratch.text, static_cast<size_t>(scratch.length) + 1);

    // The first five characters; no read-out ends in a bare point.
    for (int i = 0; i < 5 && full[i]; ++i) text.put(i == 4 && full[i] == '.' ? ' ' : full[i]);
    return result;
}

bool ReadoutValue(int index, float p, float& value) {
    const long double x = p;
    long double v;
    switch (index) {
    case 0: v = 0.05L * std::pow(12000.0L, x); break;               // Delay, ms
    case 1: v = 20.0L * x - 16.0L; break;                           // Level, dB
    case 2: case 5: case 6: case 10: v = 100.0L * x; break;          // Mix, Depth, AM, Pan, %
    case 4: case 8: v = 0.02L * std::pow(1000.0L, x); break;         // Rate 1 and 2, Hz
    case 9: case 11: v = 360.0L * x; break;                          // Offset, Host OS, degrees
    case 12: v = 200.0L * x - 100.0L; break;                         // F.B., %
    case 13: v = 200.0L * std::pow(100.0L, x); break;                // High, Hz
    case 14: v = 20.0L * std::pow(100.0L, x); break;                 // Low, Hz
    case 19: v = 2000.0L * std::pow(10.0L, x); break;                // Hi-Cut, Hz
    default: return false;
    }
    value = static_cast<float>(v);
    return true;
}

ReadoutText TempoCode(float rate, double hostTempo) {
    ReadoutText result{};
    TextBuilder text(result);
    if (hostTempo == 0) {
        text.put("--------");
        return result;
    }
    // f: the low 16 bits of nearest(307.2 / tempo) picks the shift.
    const auto f = static_cast<uint16_t>(nearestInt64(307.2 / hostTempo));
    int64_t n = nearestInt64(10.0 * static_cast<double>(rate));
    if (n < 0) n = 0;
    if (n > 10) n = 10;
    int shift = 0;
    if (f >= 2 && f <= 512)
        while ((2u << shift) <= f && shift < 8) ++shift;
    const uint32_t g = (1u << n) << shift;

    if (g <= 64) {
        text.putDecimal(static_cast<uint64_t>(nearestInt64(64.0 / g)));
        text.put("/1");
    } else {
        text.put("1/");
        text.putDecimal(static_cast<uint64_t>(nearestInt64(g / 64.0)));
    }
    return result;
}

}  // namespace trv4
