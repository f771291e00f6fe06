// The 21 parameters in one constant table: the name the host shows, the
// value law and its unit, and what the engine makes of each. The engine's
// per-block update, the host's display texts and the editor's read-outs all
// read their laws here; each evaluates a law in its own precision.
//
// Constant data and pure functions; any thread, no allocation.
#pragma once

#include <cmath>

#include "engine/ParamIndex.h"

namespace trv4 {

// How a stored value p (0 .. 1) becomes the value a parameter shows.
enum class Law {
    kExponential,  // scale * base^p, in unit
    kLinear,       // scale * p + offset, in unit
    kWave1,        // modulator 1's wave number, nearest(10 p)
    kWave2,        // modulator 2's wave number, nearest(10 p); 0 follows modulator 1
    kSwitch,       // on above 0.5: "ON", else "OFF"
    kNone,         // no value shown
};

struct ParameterLaw {
    ParamIndex index;
    const char* name;  // as the host shows it; empty for the spare
    Law law;
    // Held in long double, the widest precision a layer computes in; 0.05L
    // and 0.02L narrow to the doubles 0.05 and 0.02.
    long double scale;
    long double baseOrOffset;  // base of kExponential, offset of kLinear
    const char* unit;          // with its leading blank, as the texts append it
};

// The rows in index order; after each, what the engine makes of p where the
// shown value does not say it.
inline constexpr ParameterLaw kParameterLaws[] = {
    {kDelay, "Delay", Law::kExponential, 0.05L, 12000, " ms"},  // 0.05 .. 600 ms, the base delay
    {kLevel, "Level", Law::kLinear, 20, -16, " dB"},            // -16 .. 4 dB; the engine's gain 10^p * 10^(-16/20)
    {kMix, "Mix", Law::kLinear, 100, 0, " %"},                  // wet share
    {kWave1, "Wave 1", Law::kWave1, 0, 0, ""},                  // 0 .. 10
    {kRate1, "Rate 1", Law::kExponential, 0.02L, 1000, " Hz"},  // 0.02 .. 20 Hz
    {kDepth, "Depth", Law::kLinear, 100, 0, " %"},              // share of the base delay
    {kAM, "AM", Law::kLinear, 100, 0, " %"},                    // amplitude modulation depth by modulator 1
    {kWave2, "Wave 2", Law::kWave2, 0, 0, ""},                  // 0 .. 10
    {kRate2, "Rate 2", Law::kExponential, 0.02L, 1000, " Hz"},
    {kOffset, "Offset", Law::kLinear, 360, 0, " Deg"},       // phase of modulator 2
    {kPan, "Pan", Law::kLinear, 100, 0, " %"},               // auto-pan depth by modulator 2
    {kHostOffset, "Host OS", Law::kLinear, 360, 0, " Deg"},  // phase against the song position
    {kFeedback, "F.B.", Law::kLinear, 200, -100, ""},        // -100 .. 100, no unit; the engine's gain (p - 0.5) * 1.98
    {kHigh, "High", Law::kExponential, 200, 100, " Hz"},     // 200 .. 20000 Hz, upper edge of the feedback band
    {kLow, "Low", Law::kExponential, 20, 100, " Hz"},        // 20 .. 2000 Hz, its lower edge
    {kMono, "Mono", Law::kSwitch, 0, 0, ""},
    {kMinus20dB, "-20dB", Law::kSwitch, 0, 0, ""},  // the engine attenuates continuously with p
    {kSpread, "Spread", Law::kSwitch, 0, 0, ""},    // the engine: modulator 2's share in the right tap's sweep
    {kSync, "Sync.", Law::kSwitch, 0, 0, ""},
    {kHiCut, "Hi-Cut", Law::kExponential, 2000, 10, " Hz"},  // 2000 .. 20000 Hz; off at exactly 1.0
    {kSpare, "", Law::kNone, 0, 0, ""},                      // stored, never read
};
static_assert(sizeof kParameterLaws / sizeof kParameterLaws[0] == kNumParams);
static_assert(
    [] {
        for (int i = 0; i < kNumParams; ++i)
            if (kParameterLaws[i].index != i) return false;
        return true;
    }(),
    "rows in index order");

// base^p of an exponential law, in Real.
template <typename Real>
Real lawPower(const ParameterLaw& law, Real p) {
    return std::pow(static_cast<Real>(law.baseOrOffset), p);
}

// The value a numeric law gives for p, computed in Real, the power taken as
// power(base, p): each layer keeps its own way. 0 for the other laws.
template <typename Real, typename Power>
Real lawValue(const ParameterLaw& law, Real p, Power power) {
    const auto scale = static_cast<Real>(law.scale);
    const auto baseOrOffset = static_cast<Real>(law.baseOrOffset);
    switch (law.law) {
    case Law::kExponential: return scale * power(baseOrOffset, p);
    case Law::kLinear: return scale * p + baseOrOffset;
    default: return 0;
    }
}

// The same with the power from std::pow.
template <typename Real>
Real lawValue(const ParameterLaw& law, Real p) {
    return lawValue(law, p, [](Real base, Real x) { return std::pow(base, x); });
}

}  // namespace trv4
