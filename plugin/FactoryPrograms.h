// The factory programs: 45 names and 45 rows of 21 parameter values,
// constant data read at construction of the plug-in object (and by tests and
// benchmarks that need the presets). Row i, column j is parameter j of
// program i, in the order of engine/ParamIndex.h.
#pragma once

#include "engine/ParamIndex.h"

namespace trv4 {

// The plug-in has exactly these programs: the count is also its record's.
constexpr int kNumPrograms = 45;

extern const char* const kFactoryProgramNames[kNumPrograms];
extern const float kFactoryProgramValues[kNumPrograms][kNumParams];

}  // namespace trv4
