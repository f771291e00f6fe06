#include "editor/ReadoutText.h"

#include <cmath>

#include "engine/Nearest.h"
#include "engine/ParameterLaws.h"
#include "engine/TempoMultiplier.h"
#include "text/ExactDecimal.h"
#include "text/TextWriter.h"

namespace trv4 {

namespace {

constexpr uint64_t kPow10[] = {1, 10, 100, 1000};

}  // namespace

ReadoutText FixedReadout(float v) {
    ReadoutText result{};
    TextWriter text(result.text, ReadoutText::kCapacity);
    if (!(std::fabs(v) < 1e10f)) {  // also not-a-number
        text.put("-----");
    } else {
        const ExactDecimal exact(v);
        // Decimals kept: 3, or fewer when the integer part has more than two
        // digits (5 significant digits in all).
        const int integerDigits = exact.exponent() >= 0 ? exact.exponent() + 1 : 1;
        const int decimals = integerDigits >= 5 ? 0 : (integerDigits <= 2 ? 3 : 5 - integerDigits);
        const uint64_t rounded = exact.rounded(decimals);

        char full[24];
        TextWriter whole(full, sizeof full);
        if (exact.negative() && rounded != 0) whole.put('-');
        whole.putDecimal(rounded / kPow10[decimals]);
        whole.put('.');
        if (decimals > 0) whole.putDecimal(rounded % kPow10[decimals], decimals);
        for (int i = decimals; i < 3; ++i) whole.put('0');

        // The first five characters; no read-out ends in a bare point.
        for (int i = 0; i < 5 && full[i]; ++i) text.put(i == 4 && full[i] == '.' ? ' ' : full[i]);
    }
    result.length = text.length();
    return result;
}

bool ReadoutValue(int index, float p, float& value) {
    if (index < 0 || index >= kNumParams) return false;
    const ParameterLaw& law = kParameterLaws[index];
    if (law.law != Law::kExponential && law.law != Law::kLinear) return false;
    value = static_cast<float>(lawValue<long double>(law, p));
    return true;
}

ReadoutText TempoCode(float rate, double hostTempo) {
    ReadoutText result{};
    TextWriter text(result.text, ReadoutText::kCapacity);
    if (hostTempo == 0) {
        text.put("--------");
    } else {
        // One cycle lasts 256 / g beats: g = 2^nearest(10 rate) * multiplier.
        int64_t n = nearestInt64(10.0 * static_cast<double>(rate));
        if (n < 0) n = 0;
        if (n > 10) n = 10;
        const uint32_t g = (1u << n) * tempoMultiplier(hostTempo);
        if (g <= 64) {
            text.putDecimal(static_cast<uint64_t>(nearestInt64(64.0 / g)));
            text.put("/1");
        } else {
            text.put("1/");
            text.putDecimal(static_cast<uint64_t>(nearestInt64(g / 64.0)));
        }
    }
    result.length = text.length();
    return result;
}

}  // namespace trv4
