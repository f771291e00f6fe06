// The parameters as a CLAP host sees them: their values, and their texts
// both ways (the VST 2 display text of any value, not only the stored one,
// and the value of a text such a display wrote). A host's value is the
// stored VST 2 value (0..1), except on the two wave knobs, where it is the
// wave number (0..10, stepped) the stored value stands for. Pure functions;
// any thread, no allocation.
#pragma once

#include <cstddef>

namespace trv4clap {

constexpr double kWaveSteps = 10.0;

bool isWaveParameter(int index);
// The host's value of a stored value, and the stored value of a host's.
double hostValue(int index, float stored);
double storedValue(int index, double value);

// The display text of parameter index (0..20) at value (0..1) into text
// (capacity bytes, always terminated): the number and unit of its law, the
// wave number the engine would take (nearest(10 value)), "ON" or "OFF".
// The spare shows an empty text.
void formatParameterText(int index, double value, char* text, std::size_t capacity);

// The value (0..1) whose display is text: the number with or without its
// unit, a wave number, "ON" or "OFF" (any case). False for texts that are
// none of these and for the spare.
bool parseParameterText(int index, const char* text, double& value);

}  // namespace trv4clap
