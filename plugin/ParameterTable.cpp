#include "plugin/ParameterTable.h"

#include <cmath>

#include "plugin/NumberFormat.h"

namespace trv4 {

const ParameterInfo kParameterTable[] = {
    {"Delay", DisplayLaw::kExponential, 0.05, 12000, " ms"},  // 0.05 .. 600 ms
    {"Level", DisplayLaw::kLinear, 20, -16, " dB"},           // -16 .. 4 dB
    {"Mix", DisplayLaw::kLinear, 100, 0, " %"},
    {"Wave 1", DisplayLaw::kWave1, 0, 0, ""},                // 0 .. 10
    {"Rate 1", DisplayLaw::kExponential, 0.02, 1000, " Hz"},  // 0.02 .. 20 Hz
    {"Depth", DisplayLaw::kLinear, 100, 0, " %"},
    {"AM", DisplayLaw::kLinear, 100, 0, " %"},
    {"Wave 2", DisplayLaw::kWave2, 0, 0, ""},
    {"Rate 2", DisplayLaw::kExponential, 0.02, 1000, " Hz"},
    {"Offset", DisplayLaw::kLinear, 360, 0, " Deg"},
    {"Pan", DisplayLaw::kLinear, 100, 0, " %"},
    {"Host OS", DisplayLaw::kLinear, 360, 0, " Deg"},
    {"F.B.", DisplayLaw::kLinear, 200, -100, ""},             // -100 .. 100, no unit
    {"High", DisplayLaw::kExponential, 200, 100, " Hz"},      // 200 .. 20000 Hz
    {"Low", DisplayLaw::kExponential, 20, 100, " Hz"},        // 20 .. 2000 Hz
    {"Mono", DisplayLaw::kSwitch, 0, 0, ""},
    {"-20dB", DisplayLaw::kSwitch, 0, 0, ""},
    {"Spread", DisplayLaw::kSwitch, 0, 0, ""},
    {"Sync.", DisplayLaw::kSwitch, 0, 0, ""},
    {"Hi-Cut", DisplayLaw::kExponential, 2000, 10, " Hz"},    // 2000 .. 20000 Hz
    {"", DisplayLaw::kNone, 0, 0, ""},                        // spare
};
static_assert(sizeof kParameterTable / sizeof kParameterTable[0] == kNumParams);

float displayValue(const ParameterInfo& info, float x) {
    const double p = x;
    switch (info.law) {
        case DisplayLaw::kExponential:
            return static_cast<float>(info.scale * std::exp(p * std::log(info.baseOrOffset)));
        case DisplayLaw::kLinear:
            return static_cast<float>(info.scale * p + info.baseOrOffset);
        default:
            return 0;
    }
}

namespace {

// Appends src to text at *length, keeping the terminator and the capacity.
void append(char* text, std::size_t& length, const char* src) {
    while (*src && length + 1 < kDisplayTextCapacity) text[length++] = *src++;
    text[length] = 0;
}

void appendUnsigned(char* text, std::size_t& length, unsigned value) {
    unsigned divisor = 1;
    while (value / divisor >= 10) divisor *= 10;
    for (; divisor; divisor /= 10) {
        const char digit[2] = {static_cast<char>('0' + value / divisor % 10), 0};
        append(text, length, digit);
    }
}

}  // namespace

void formatParameterDisplay(int index, float x, unsigned wave1, unsigned wave2, char* text) {
    std::size_t length = 0;
    text[0] = 0;
    if (index < 0 || index >= kNumParams) return;
    const ParameterInfo& info = kParameterTable[index];
    switch (info.law) {
        case DisplayLaw::kExponential:
        case DisplayLaw::kLinear:
            append(text, length, num(displayValue(info, x)).text);
            append(text, length, info.unit);
            break;
        case DisplayLaw::kWave1:
            appendUnsigned(text, length, wave1);
            break;
        case DisplayLaw::kWave2:
            appendUnsigned(text, length, wave2);
            break;
        case DisplayLaw::kSwitch:
            append(text, length, x > 0.5f ? "ON" : "OFF");
            break;
        case DisplayLaw::kNone:
            break;
    }
}

}  // namespace trv4
