// What the engine takes from the host's input buffers. A host that hands us a
// non-number, an infinity or a value no audio can mean (beyond 1e10, 200 dB
// above full scale) would otherwise leave it in the delay buffers and the
// recursive filters, where the feedback path keeps it for as long as the
// plug-in stays loaded. Such a sample enters the chain, dry path included, as
// 0; every other sample passes unchanged, bit for bit. Audio thread.
#pragma once

#include <emmintrin.h>

#include <cmath>

namespace trv4 {

// Magnitudes at or above this are treated as broken input.
constexpr float kInputCeiling = 1e10f;

// The scalar form, used by the reference step. A non-number compares false.
inline float mendInput(float x) { return std::fabs(x) < kInputCeiling ? x : 0.0f; }

// Both lanes at once, for the fast path: the same decision per lane.
inline __m128d mendInput(__m128d x) {
    const __m128d magnitude = _mm_and_pd(x, _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFFll)));
    return _mm_and_pd(x, _mm_cmplt_pd(magnitude, _mm_set1_pd(kInputCeiling)));
}

}  // namespace trv4
