// What the engine hands back to the host. A limited result stays within
// +-2.0: the limiter's reduction r is a float32, so (1 - r) x alone misses
// 2.0 by up to |x| 2^-25, and above a peak of about 3e7 the nearest gains a
// float32 r leaves are 0 and 6e-8 (60 for a peak of 1e9). An abrupt retune
// of the feedback band-pass at full feedback can release such peaks (the
// band-pass holds its narrow band's energy in states far above its output).
// Where the rounding lands on or below 2.0, holding changes nothing.
//
// Right after a resume, a long delay reads rows written before it (zeros);
// the hi-cut's float32 states then decay through the subnormal range and,
// with Mix at 1, become the output. A result below the smallest normal
// float (1.2e-38, far under the dither) leaves as 0, so the host never
// receives a subnormal number, which costs many times a normal one in every
// plug-in after ours. Audio thread.
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

// The scalar form of the hold at the limiter's ceiling.
inline float holdAtCeiling(float x) { return std::fmin(std::fmax(x, -2.0f), 2.0f); }

// Both lanes at once.
inline __m128 holdAtCeiling(__m128 x) { return _mm_min_ps(_mm_max_ps(x, _mm_set1_ps(-2.0f)), _mm_set1_ps(2.0f)); }

}  // namespace trv4
