#include "plugin/NumberFormat.h"

#include <cmath>

#include "text/ExactDecimal.h"
#include "text/TextWriter.h"

namespace trv4 {

NumberText num(float v) {
    NumberText result{};
    TextWriter text(result.text, NumberText::kCapacity);
    if (std::isnan(v)) {
        text.put("NAN");
    } else if (std::isinf(v)) {
        text.put(v < 0 ? "-INF" : "INF");
    } else if (v == 0) {
        text.put('0');  // also for -0
    } else {
        const ExactDecimal exact(v);
        // Three significant digits: |v| rounds to 0.ddd * 10^exponent;
        // 999.6 carries over into 1000.
        int exponent = exact.exponent() + 1;
        auto rounded = static_cast<int>(exact.rounded(3 - exponent));
        if (rounded == 1000) {
            rounded = 100;
            ++exponent;
        }
        char digits[4] = {static_cast<char>('0' + rounded / 100), static_cast<char>('0' + rounded / 10 % 10),
                          static_cast<char>('0' + rounded % 10), 0};
        int numDigits = 3;
        while (numDigits > 1 && digits[numDigits - 1] == '0') digits[--numDigits] = 0;

        if (v < 0) text.put('-');
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
            // A float32 exponent lies within -45..38: three digits, the first 0.
            const int shown = exponent - 1;
            text.put('E');
            text.put(shown < 0 ? '-' : '+');
            text.putDecimal(static_cast<uint64_t>(shown < 0 ? -shown : shown), 3);
        }
    }
    result.length = text.length();
    return result;
}

}  // namespace trv4
