// What the engine hands back to the host. Right after a resume, a long
// delay reads rows written before it (zeros); the hi-cut's float32 states
// then decay through the subnormal range and, with Mix at 1, become the
// output. A result below the smallest normal float (1.2e-38, far under the
// dither) leaves as 0, so the host never receives a subnormal number, which
// costs many times a normal one in every plug-in after ours. Audio thread.
#pragma once

#include <emmintrin.h>

#include <cfloat>
#include <cmath>

namespace trv4 {

// The scalar form, used by the reference step.
inline float flushSubnormal(float x) { return std::fabs(x) >= FLT_MIN ? x : 0.0f; }

// Both lanes at once (the low two of the vector), for the fast path.
inline __m128 flushSubnormal(__m128 x) {
    const __m128 magnitude = _mm_and_ps(x, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)));
    return _mm_and_ps(x, _mm_cmpge_ps(magnitude, _mm_set1_ps(FLT_MIN)));
}

}  // namespace trv4
