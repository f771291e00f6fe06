// The 21 parameters as the host sees them: name and display law of each, in
// one constant table, and the display text built from a stored value.
//
// Pure data and pure functions: called on the dispatcher's thread (display
// queries) and by the editor; no allocation, no locale.
#pragma once

#include <cstddef>

#include "engine/ParamIndex.h"

namespace trv4 {

// How a stored value x (0..1) becomes its display text.
enum class DisplayLaw {
    kExponential,  // num(scale * base^x) + unit, the power taken as e^(x ln base)
    kLinear,       // num(scale * x + offset) + unit
    kWave1,        // modulator 1's wave number from the engine, decimal
    kWave2,        // modulator 2's wave number from the engine, decimal
    kSwitch,       // "ON" above 0.5, else "OFF"
    kNone,         // the spare: no text
};

struct ParameterInfo {
    const char* name;  // empty for the spare
    DisplayLaw law;
    double scale;
    double baseOrOffset;  // base of kExponential, offset of kLinear
    const char* unit;     // appended to the number, with its leading space
};

extern const ParameterInfo kParameterTable[kNumParams];

// Display texts are at most 13 characters ("-9.54E-007 dB"), terminator apart.
constexpr std::size_t kDisplayTextCapacity = 14;

// The value a numeric law shows for x, computed in double and held as
// float32 (what num() formats). 0 for the other laws.
float displayValue(const ParameterInfo& info, float x);

// Writes the display text of parameter index for stored value x into text
// (kDisplayTextCapacity bytes). Wave numbers come from the engine's last
// per-block update. Indices outside 0..19 give an empty text.
void formatParameterDisplay(int index, float x, unsigned wave1, unsigned wave2, char* text);

}  // namespace trv4
