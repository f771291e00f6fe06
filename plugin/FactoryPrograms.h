// The factory programs: 45 names and 45 rows of 21 parameter values,
// constant data read at construction of the plug-in object (and by tests and
// benchmarks that need the presets). Row i, column j is parameter j of
// program i, in the order of engine/ParamIndex.h.
#pragma once

#include "engine/ParamIndex.h"

namespace trv4 {

constexpr int kNumFactoryPrograms = 45;

extern const char* const kFactoryProgramNames[kNumFactoryPrograms];
extern const float kFactoryProgramValues[kNumFactoryPrograms][kNumParams];

}  // namespace trv4
