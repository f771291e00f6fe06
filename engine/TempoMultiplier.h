// The multiplier of the synced rates at a host tempo, shared by the engine's
// modulator set-up and the editor's note-value read-outs.
//
// Pure, any thread.
#pragma once

#include <cstdint>

#include "engine/Nearest.h"

namespace trv4 {

// From n, the low 16 bits of nearest(307.2 / tempo): the largest power of two
// not above n, capped at 256 (n = 512 included), and 1 below 2 or beyond
// 512. It keeps the synced rates near the free rates of the same knob
// position. A tempo of 0 gives an infinite quotient, taken as n = 0.
inline uint32_t tempoMultiplier(double tempo) {
    const auto n = static_cast<uint16_t>(nearestInt64(307.2 / tempo));
    if (n < 2 || n > 512) return 1;
    if (n == 512) return 256;
    uint32_t m = 1;
    while (m * 2 <= n) m *= 2;
    return m;
}

}  // namespace trv4
