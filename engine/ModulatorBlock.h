// Modulator shapes for a run of frames, two frames per SSE2 double vector.
// Each lane computes exactly what shapeValue() and modulatorSine() compute
// for its phase, operation for operation, so the outputs are the same bits.
// Used by the fast block path on the audio thread.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "engine/Modulator.h"

namespace trv4::modblock {

inline __m128d splat(double v) { return _mm_set1_pd(v); }
inline __m128d absolute(__m128d v) { return _mm_and_pd(v, _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFFll))); }
inline __m128d roundToFloat(__m128d v) { return _mm_cvtps_pd(_mm_cvtpd_ps(v)); }

// modulatorSine() on both lanes.
inline __m128d sine(__m128d a) {
    const __m128d fold = _mm_cmpgt_pd(a, splat(4.71238898038469));
    a = _mm_sub_pd(a, _mm_and_pd(fold, splat(6.283185307179586)));
    const __m128d r = _mm_min_pd(_mm_sub_pd(splat(3.141592653589793), a), a);
    const __m128d r2 = _mm_mul_pd(r, r);
    __m128d p = splat(1.0 / 355687428096000.0);
    p = _mm_sub_pd(_mm_mul_pd(p, r2), splat(1.0 / 1307674368000.0));
    p = _mm_add_pd(_mm_mul_pd(p, r2), splat(1.0 / 6227020800.0));
    p = _mm_sub_pd(_mm_mul_pd(p, r2), splat(1.0 / 39916800.0));
    p = _mm_add_pd(_mm_mul_pd(p, r2), splat(1.0 / 362880.0));
    p = _mm_sub_pd(_mm_mul_pd(p, r2), splat(1.0 / 5040.0));
    p = _mm_add_pd(_mm_mul_pd(p, r2), splat(1.0 / 120.0));
    p = _mm_sub_pd(_mm_mul_pd(p, r2), splat(1.0 / 6.0));
    return _mm_add_pd(r, _mm_mul_pd(_mm_mul_pd(r, r2), p));
}

// Shapes 1 to 9 from theta (radians) and x = (P - 2^31) / 2^31.
template <Wave W>
inline __m128d shape(__m128d theta, __m128d x) {
    const __m128d half = splat(0.5), one = splat(1.0);
    if constexpr (W == Wave::RaisedCosine) {
        return _mm_add_pd(_mm_mul_pd(half, sine(_mm_sub_pd(theta, splat(kQuarterTurn)))), half);
    } else if constexpr (W == Wave::SignedSquareCosine) {
        const __m128d s = roundToFloat(sine(_mm_sub_pd(theta, splat(kQuarterTurn))));
        return _mm_add_pd(_mm_mul_pd(_mm_mul_pd(half, s), absolute(s)), half);
    } else if constexpr (W == Wave::SquaredCosine) {
        const __m128d v = _mm_add_pd(_mm_mul_pd(half, sine(_mm_sub_pd(theta, splat(kQuarterTurn)))), half);
        return _mm_mul_pd(v, v);
    } else if constexpr (W == Wave::InvertedSquaredCosine) {
        const __m128d v = _mm_add_pd(_mm_mul_pd(half, sine(_mm_add_pd(theta, splat(kQuarterTurn)))), half);
        return _mm_sub_pd(one, _mm_mul_pd(v, v));
    } else if constexpr (W == Wave::Triangle) {
        return _mm_sub_pd(one, absolute(x));
    } else if constexpr (W == Wave::SignedSquareTriangle) {
        const __m128d t = roundToFloat(_mm_sub_pd(_mm_mul_pd(splat(2.0), _mm_sub_pd(one, absolute(x))), one));
        return _mm_add_pd(_mm_mul_pd(_mm_mul_pd(half, t), absolute(t)), half);
    } else if constexpr (W == Wave::SquaredTriangle) {
        const __m128d v = _mm_sub_pd(one, absolute(x));
        return _mm_mul_pd(v, v);
    } else if constexpr (W == Wave::InvertedParabola) {
        return _mm_sub_pd(one, _mm_mul_pd(x, x));
    } else if constexpr (W == Wave::FastRiseFall) {
        const __m128d rise = _mm_sub_pd(one, _mm_mul_pd(x, x));
        const __m128d d = _mm_sub_pd(x, one);
        const __m128d fall = _mm_mul_pd(d, d);
        const __m128d rising = _mm_cmplt_pd(x, _mm_setzero_pd());
        return _mm_or_pd(_mm_and_pd(rising, rise), _mm_andnot_pd(rising, fall));
    } else {
        return _mm_setzero_pd();
    }
}

// Outputs of one modulator for frames 0..n-1; advances its phase by n steps.
template <Wave W>
inline void render(Modulator& m, float* out, int n) {
    const uint32_t inc = m.increment;
    uint32_t phase = m.phase;
    const __m128d toRadians = splat(kPhaseToRadians), toUnit = splat(1.0 / 2147483648.0);
    const __m128d signBit = splat(2147483648.0);
    const __m128i step = _mm_set1_epi32(static_cast<int32_t>(2 * inc));
    // Lanes hold P - 2^31 as signed integers: exact as doubles, and x at once.
    __m128i centred = _mm_setr_epi32(static_cast<int32_t>(phase - 0x80000000u),
                                     static_cast<int32_t>(phase + inc - 0x80000000u), 0, 0);
    int j = 0;
    for (; j + 2 <= n; j += 2) {
        const __m128d c = _mm_cvtepi32_pd(centred);
        const __m128d theta = _mm_mul_pd(_mm_add_pd(c, signBit), toRadians);
        const __m128d x = _mm_mul_pd(c, toUnit);  // exact: a power of two
        _mm_storel_pi(reinterpret_cast<__m64*>(out + j), _mm_cvtpd_ps(shape<W>(theta, x)));
        centred = _mm_add_epi32(centred, step);
        phase += 2 * inc;
    }
    for (; j < n; ++j) {
        out[j] = shapeValue(W, phase);
        phase += inc;
    }
    m.phase = phase;
    if (n > 0) m.output = out[n - 1];
}

}  // namespace trv4::modblock
