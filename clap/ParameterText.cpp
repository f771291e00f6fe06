#include "clap/ParameterText.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "engine/Nearest.h"
#include "engine/ParameterLaws.h"
#include "plugin/ParameterDisplay.h"

namespace trv4clap {

namespace {

bool sameIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 32) : *a;
        char y = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 32) : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

const char* skipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

double clamp01(double v) { return v > 1.0 ? 1.0 : (v >= 0.0 ? v : 0.0); }

}  // namespace

bool isWaveParameter(int index) { return index == trv4::kWave1 || index == trv4::kWave2; }

double hostValue(int index, float stored) {
    return isWaveParameter(index) ? std::nearbyint(static_cast<double>(stored) * kWaveSteps)
                                  : static_cast<double>(stored);
}

double storedValue(int index, double value) { return isWaveParameter(index) ? value / kWaveSteps : value; }

void formatParameterText(int index, double value, char* text, std::size_t capacity) {
    if (!text || capacity == 0) return;
    char display[trv4::kDisplayTextCapacity] = {};
    const float x = static_cast<float>(clamp01(value));
    const auto wave = static_cast<unsigned>(trv4::nearestInt64(static_cast<double>(x) * 10.0));
    trv4::formatParameterDisplay(index, x, wave, wave, display);
    std::size_t n = std::strlen(display);
    if (n >= capacity) n = capacity - 1;
    std::memcpy(text, display, n);
    text[n] = 0;
}

bool parseParameterText(int index, const char* text, double& value) {
    if (!text || index < 0 || index >= trv4::kNumParams) return false;
    const trv4::ParameterLaw& law = trv4::kParameterLaws[index];
    const char* p = skipBlanks(text);
    if (law.law == trv4::Law::kSwitch) {
        if (sameIgnoringCase(p, "ON") || sameIgnoringCase(p, "1")) {
            value = 1.0;
            return true;
        }
        if (sameIgnoringCase(p, "OFF") || sameIgnoringCase(p, "0")) {
            value = 0.0;
            return true;
        }
        return false;
    }
    if (law.law == trv4::Law::kNone) return false;

    const char* end = p + std::strlen(p);
    double number = 0;
    const auto [rest, error] = std::from_chars(p, end, number);
    if (error != std::errc() || !std::isfinite(number)) return false;
    // What may follow: nothing, or the law's unit (with or without its blank).
    const char* tail = skipBlanks(rest);
    const char* unit = skipBlanks(law.unit);
    if (*tail && !sameIgnoringCase(tail, unit)) return false;

    const auto scale = static_cast<double>(law.scale);
    const auto baseOrOffset = static_cast<double>(law.baseOrOffset);
    switch (law.law) {
    case trv4::Law::kWave1:
    case trv4::Law::kWave2: value = clamp01(number / 10.0); return true;
    case trv4::Law::kLinear: value = clamp01((number - baseOrOffset) / scale); return true;
    case trv4::Law::kExponential:
        if (!(number > 0)) {
            value = 0.0;
            return true;
        }
        value = clamp01(std::log(number / scale) / std::log(baseOrOffset));
        return true;
    default: return false;
    }
}

}  // namespace trv4clap
