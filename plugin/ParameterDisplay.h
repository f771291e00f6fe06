// The display texts of the 21 parameters as the host sees them, built from a
// stored value by the laws of engine/ParameterLaws.h.
//
// Pure functions: called on the dispatcher's thread (display queries) and by
// the editor; no allocation, no locale.
#pragma once

#include <cstddef>

#include "engine/ParameterLaws.h"

namespace trv4 {

// Display texts are at most 13 characters ("-9.54E-007 dB"), terminator apart.
constexpr std::size_t kDisplayTextCapacity = 14;

// The value a numeric law shows for x, computed in double, the power taken
// as e^(x ln base), and held as float32 (what num() formats). 0 for the
// other laws.
float displayValue(const ParameterLaw& law, float x);

// Writes the display text of parameter index for stored value x into text
// (kDisplayTextCapacity bytes): num(value) and the unit, the wave number,
// "ON" or "OFF". Wave numbers come from the engine's last per-block update.
// Indices outside 0..19 give an empty text.
void formatParameterDisplay(int index, float x, unsigned wave1, unsigned wave2, char* text);

}  // namespace trv4
