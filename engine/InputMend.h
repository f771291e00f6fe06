// What the engine takes from the host's input buffers. A host that hands us a
// non-number, an infinity or a value no audio can mean (beyond 1e10, 200 dB
// above full scale) would otherwise leave it in the delay buffers and the
// recursive filters, where the feedback path keeps it for as long as the
// plug-in stays loaded. Such a sample enters the chain, dry path included, as
// 0; every other sample passes unchanged, bit for bit. Audio thread.
#pragma once

#include <emmintrin.h>
#include <immintrin.h>

#include <cmath>

namespace trv4 {

// Magnitudes at or above this are treated as broken input.
constexpr float kInputCeiling = 1e10f;

// The scalar form, used by the reference step. A non-number compares false.
inline float mendInput(float x) { return std::fabs(x) < kInputCeiling ? x : 0.0f; }

// Frames 0..n-1 of both channels, mended, into [left, right] pairs for the
// fast path: the same decision per sample, four frames per step.
inline void mendInputs(const float* left, const float* right, int n, float (*pairs)[2]) {
    const __m128 sign = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    const __m128 ceiling = _mm_set1_ps(kInputCeiling);
    const auto mend = [&](__m128 x) { return _mm_and_ps(x, _mm_cmplt_ps(_mm_and_ps(x, sign), ceiling)); };
    int j = 0;
    for (; j + 4 <= n; j += 4) {
        const __m128 l = mend(_mm_loadu_ps(left + j)), r = mend(_mm_loadu_ps(right + j));
        _mm_storeu_ps(pairs[j], _mm_unpacklo_ps(l, r));
        _mm_storeu_ps(pairs[j + 2], _mm_unpackhi_ps(l, r));
    }
    for (; j < n; ++j) {
        pairs[j][0] = mendInput(left[j]);
        pairs[j][1] = mendInput(right[j]);
    }
}

// mendInputs for processors with AVX, eight frames per step.
[[gnu::target("avx")]] inline void mendInputsWide(const float* left, const float* right, int n, float (*pairs)[2]) {
    const __m256 sign = _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF));
    const __m256 ceiling = _mm256_set1_ps(kInputCeiling);
    int j = 0;
    for (; j + 8 <= n; j += 8) {
        const __m256 l = _mm256_loadu_ps(left + j), r = _mm256_loadu_ps(right + j);
        const __m256 lm = _mm256_and_ps(l, _mm256_cmp_ps(_mm256_and_ps(l, sign), ceiling, _CMP_LT_OQ));
        const __m256 rm = _mm256_and_ps(r, _mm256_cmp_ps(_mm256_and_ps(r, sign), ceiling, _CMP_LT_OQ));
        // Frames 0, 1, 4, 5 and 2, 3, 6, 7, then put in order.
        const __m256 lo = _mm256_unpacklo_ps(lm, rm), hi = _mm256_unpackhi_ps(lm, rm);
        _mm256_storeu_ps(pairs[j], _mm256_permute2f128_ps(lo, hi, 0x20));
        _mm256_storeu_ps(pairs[j + 4], _mm256_permute2f128_ps(lo, hi, 0x31));
    }
    mendInputs(left + j, right + j, n - j, pairs + j);
}

}  // namespace trv4
