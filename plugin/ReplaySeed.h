// The replay seed: how a tool of ours makes a render repeatable. The
// plug-in's random generator (dither, random wave shapes) is seeded from the
// clock at construction; effVendorSpecific with index kReplaySeedIndex,
// value kReplaySeedValue and ptr pointing to a uint64_t seed reseeds it
// (for every effect object of the library) and answers 1. No host sends
// both numbers by accident.
#pragma once

#include <cstdint>

namespace trv4 {

constexpr int32_t kReplaySeedIndex = 0x54723473;   // 'T' 'r' '4' 's'
constexpr intptr_t kReplaySeedValue = 0x53656564;  // 'S' 'e' 'e' 'd'

}  // namespace trv4
