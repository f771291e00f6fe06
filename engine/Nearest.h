// Rounding helpers: nearest(x) is x rounded to the nearest integer with ties
// to even, the rounding of the floating-point unit's default mode. Called from
// the audio thread; none of them can trap or overflow.
#pragma once

#include <cmath>
#include <cstdint>
#include <emmintrin.h>

namespace trv4 {

// nearest(x) as a 32-bit integer, for values well inside the int32 range
// (buffer positions). One cvtsd2si.
inline int32_t nearestInt32(double x) { return _mm_cvtsd_si32(_mm_set_sd(x)); }

// nearest(x) as a 64-bit integer; a value that is not a number or lies
// outside the int64 range counts as 0.
inline int64_t nearestInt64(double x) {
    if (!(std::fabs(x) < 9.2e18)) return 0;
    return static_cast<int64_t>(std::nearbyint(x));
}

// The low 32 bits of nearest(x): phases and increments, where a whole number
// of cycles is invisible. Values beyond the int64 range are first reduced by
// whole cycles (2^32); a value that is not a number or infinite counts as 0.
inline uint32_t nearestModulo32(double x) {
    if (std::fabs(x) < 9.2e18)
        return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(std::nearbyint(x))));
    if (!std::isfinite(x)) return 0;
    return static_cast<uint32_t>(
        static_cast<uint64_t>(static_cast<int64_t>(std::nearbyint(std::fmod(x, 4294967296.0)))));
}

}  // namespace trv4
