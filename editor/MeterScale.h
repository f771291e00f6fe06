// The meter's scale as pure functions: how many of the nine segments a
// meter level lights, and how tall the dark cover over the lit column is
// then. Any thread; no allocation.
#pragma once

#include <cstdint>

namespace trv4 {

constexpr int kMeterSegments = 9;
constexpr int kMeterSegmentRows = 7;
constexpr int kMeterCoverFullHeight = 64;

// L = 20 log10(11.22 m + 1e-20) / 3 in extended precision, stored as float32
// (one step per 3 dB, 0 at about -21 dBFS).
float MeterSteps(float level);

// The integer part of MeterSteps, 0 below 0, held in 8 bits: levels far
// above full scale give at most 127, a level that is not a number 0.
int8_t MeterSegmentCount(float level);

// 64 - 7 x count for counts 0..8; 1 (the whole column lit) from 9 up.
int MeterCoverHeight(int count);

}  // namespace trv4
