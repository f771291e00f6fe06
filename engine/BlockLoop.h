// Second half of the fast block path: the serial part of the sample step for
// a chunk whose dither, modulators and tap positions are prepared. Left and
// right run as the two lanes of one SSE2 double vector; every lane operation
// is the scalar operation of the sample step in the same order, and each
// float32 store is a cvtpd2ps, so the output equals the scalar step's bit for
// bit. The recursions (input low-pass, band-pass, hi-cut, limiter, meter) are
// independent chains the processor overlaps; the input low-pass, four
// dependent writes per frame at 44.1 kHz, is the longest. Audio thread.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "engine/BlockScratch.h"
#include "engine/EngineState.h"
#include "engine/InputMend.h"
#include "engine/OutputFlush.h"

namespace trv4 {

namespace loop {

inline __m128d broadcast(double v) { return _mm_set1_pd(v); }

// Rounds both lanes to float32 and back.
inline __m128d roundToFloat(__m128d v) { return _mm_cvtps_pd(_mm_cvtpd_ps(v)); }

// [a, b] as doubles from two floats.
inline __m128d pair(const float* a, const float* b) {
    return _mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(a), _mm_load_ss(b)));
}

struct Options {
    float am, pan;  // p6, p10
    bool hiCut;     // p19 < 1
    bool amPan;     // p6 or p10 above 0
    bool mono;      // p15 > 0.5
};

// Frames 0..n-1 of a chunk. in/out point at the chunk's first frame.
// kTapsFirst: the taps of a frame read only rows written before the frame
// (base delay - floor(depth) - 1 >= oversampling factor), so they may be read
// before the frame's writes.
template <int kOversampling, bool kHiCut, bool kAmPan, bool kTapsFirst, bool kAccumulate>
void run(EngineState& st, const BlockScratch& s, const float* inL, const float* inR, float* outL, float* outR,
         int n, const Options& opt) {
    // Input low-pass: states and coefficients of both sections.
    const InputLowpassSet& lp = *st.input.set;
    __m128d s1a = _mm_load_pd(st.input.s1[0]), s2a = _mm_load_pd(st.input.s2[0]);
    __m128d s1b = _mm_load_pd(st.input.s1[1]), s2b = _mm_load_pd(st.input.s2[1]);
    const __m128d a1a = broadcast(lp.a1[0]), a2a = broadcast(lp.a2[0]), b1a = broadcast(lp.b1[0]);
    const __m128d a1b = broadcast(lp.a1[1]), a2b = broadcast(lp.a2[1]), b1b = broadcast(lp.b1[1]);
    const __m128d lpGain = broadcast(lp.gain);
    float (*rows)[2] = st.delay.rows;
    int32_t writeIndex = st.delay.writeIndex;

    // Feedback band-pass.
    FeedbackBandpass& bp = st.feedback;
    __m128d fb = pair(&bp.feedback[0], &bp.feedback[1]);
    __m128d bs1 = _mm_load_pd(bp.s1), bs2 = _mm_load_pd(bp.s2);
    const __m128d bb0 = broadcast(bp.b0), bb2 = broadcast(bp.b2), ba1 = broadcast(bp.a1), ba2 = broadcast(bp.a2);
    const __m128d fbGain = broadcast(bp.gain);

    // Hi-cut: float32 states held as doubles.
    HiCut& hc = st.hiCut;
    __m128d hs1[HiCut::kSections], hs2[HiCut::kSections];
    __m128d hc0[HiCut::kSections], hc1[HiCut::kSections], hc2[HiCut::kSections];
    __m128d ha1[HiCut::kSections], ha2[HiCut::kSections];
    for (int k = 0; k < HiCut::kSections; ++k) {
        hs1[k] = pair(&hc.s1[k][0], &hc.s1[k][1]);
        hs2[k] = pair(&hc.s2[k][0], &hc.s2[k][1]);
        hc0[k] = broadcast(hc.c0[k]);
        hc1[k] = broadcast(hc.c1[k]);
        hc2[k] = broadcast(hc.c2[k]);
        ha1[k] = broadcast(hc.a1[k]);
        ha2[k] = broadcast(hc.a2[k]);
    }

    const __m128d one = broadcast(1.0);
    const __m128d wet = broadcast(st.wetGain), dry = broadcast(st.dryGain);
    const double am = opt.am, pan = opt.pan;
    const __m128d signMask = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFFll));
    const __m128d peakFloor = broadcast(1e-20);
    float reduction = st.limiterReduction;
    const float release = st.limiterRelease;
    float meter = st.meterLevel;
    const double meterCoefficient = st.meterCoefficient;

    for (int j = 0; j < n; ++j) {
        // Input stage: the host's samples mended (InputMend.h); x = in +
        // feedback + noise (float32), then the same x through the low-pass
        // into the buffer, kOversampling times.
        const __m128d in = mendInput(pair(inL + j, inR + j));
        const __m128d x = roundToFloat(_mm_add_pd(_mm_add_pd(in, fb), broadcast(s.noise[j])));
        // Taps: (1 - f) row + f next row, left lane from the left tap's
        // rows, right lane from the right tap's; then the feedback band-pass,
        // whose result enters the next frame's input.
        __m128d tap;
        auto tapAndFeedback = [&] {
            const int32_t rl = s.rowL[j], rr = s.rowR[j];
            const __m128d f = pair(&s.fracL[j], &s.fracR[j]);
            const __m128d first = pair(&rows[rl][0], &rows[rr][1]);
            const __m128d second = pair(&rows[rl + 1][0], &rows[rr + 1][1]);
            tap = _mm_add_pd(_mm_mul_pd(_mm_sub_pd(one, f), first), _mm_mul_pd(f, second));
            const __m128d w = _mm_sub_pd(_mm_sub_pd(tap, _mm_mul_pd(ba1, bs1)), _mm_mul_pd(ba2, bs2));
            const __m128d y = _mm_add_pd(_mm_mul_pd(bb0, w), _mm_mul_pd(bb2, bs2));
            bs2 = bs1;
            bs1 = w;
            fb = roundToFloat(_mm_mul_pd(y, fbGain));
        };
        // Reading first lets the feedback for the next frame start while
        // this frame's writes run; allowed when no read reaches them.
        if constexpr (kTapsFirst) tapAndFeedback();

        __m128 samples[kOversampling];
        for (int r = 0; r < kOversampling; ++r) {
            __m128d w = _mm_sub_pd(_mm_sub_pd(x, _mm_mul_pd(a1a, s1a)), _mm_mul_pd(a2a, s2a));
            __m128d y = _mm_add_pd(_mm_add_pd(_mm_mul_pd(b1a, s1a), w), s2a);
            s2a = s1a;
            s1a = w;
            w = _mm_sub_pd(_mm_sub_pd(y, _mm_mul_pd(a1b, s1b)), _mm_mul_pd(a2b, s2b));
            y = _mm_add_pd(_mm_add_pd(_mm_mul_pd(b1b, s1b), w), s2b);
            s2b = s1b;
            s1b = w;
            samples[r] = _mm_cvtpd_ps(_mm_mul_pd(y, lpGain));
        }
        if (writeIndex + kOversampling <= DelayLine::kMask) {
            // No wrap within this frame: plain consecutive rows.
            for (int r = 0; r < kOversampling; ++r)
                _mm_storel_pi(reinterpret_cast<__m64*>(rows[writeIndex + 1 + r]), samples[r]);
            writeIndex += kOversampling;
        } else {
            for (int r = 0; r < kOversampling; ++r) {
                writeIndex = (writeIndex + 1) & DelayLine::kMask;
                _mm_storel_pi(reinterpret_cast<__m64*>(rows[writeIndex]), samples[r]);
                if (writeIndex == 0) _mm_storel_pi(reinterpret_cast<__m64*>(rows[DelayLine::kLength]), samples[r]);
            }
        }

        if constexpr (!kTapsFirst) tapAndFeedback();

        // Amplitude modulation by lfo1, auto-pan by lfo2. With AM and Pan at
        // 0 both gains are exactly 1 and the products change nothing.
        if constexpr (kAmPan) {
            const double lfo1 = s.lfo1[j], lfo2 = s.lfo2[j];
            tap = _mm_mul_pd(tap, broadcast(1 - (1 - lfo1) * am));
            tap = _mm_mul_pd(tap, _mm_set_pd(1 - pan * lfo2, 1 - (1 - lfo2) * pan));
        }

        if constexpr (kHiCut) {
            for (int k = 0; k < HiCut::kSections; ++k) {
                const __m128d w = _mm_sub_pd(_mm_sub_pd(tap, _mm_mul_pd(ha1[k], hs1[k])), _mm_mul_pd(ha2[k], hs2[k]));
                tap = _mm_add_pd(_mm_add_pd(_mm_mul_pd(hc0[k], w), _mm_mul_pd(hc1[k], hs1[k])), _mm_mul_pd(hc2[k], hs2[k]));
                hs2[k] = hs1[k];
                hs1[k] = roundToFloat(w);
            }
        }

        __m128d mix = _mm_add_pd(_mm_mul_pd(tap, wet), _mm_mul_pd(in, dry));
        if (opt.mono) {
            const __m128d half = _mm_mul_pd(mix, broadcast(0.5));
            mix = _mm_add_pd(half, _mm_shuffle_pd(half, half, 1));
        }

        // Limiter. For a peak of at most 2 the quotient (peak - 2) / peak is
        // not positive and cannot exceed the reduction, so it is skipped.
        const __m128 peaks = _mm_cvtpd_ps(_mm_add_pd(_mm_and_pd(mix, signMask), peakFloor));
        const float peakL = _mm_cvtss_f32(peaks);
        const float peakR = _mm_cvtss_f32(_mm_shuffle_ps(peaks, peaks, 1));
        const float peak = peakR > peakL ? peakR : peakL;
        reduction = reduction * release;  // exact product of two floats, one rounding
        if (peak > 2.0f) {
            const double t = (peak - 2.0) / peak;
            if (t > reduction) reduction = static_cast<float>(t);
        }
        const __m128 result = flushSubnormal(_mm_cvtpd_ps(_mm_mul_pd(broadcast(1.0 - reduction), mix)));
        if constexpr (kAccumulate) {
            outL[j] += _mm_cvtss_f32(result);
            outR[j] += _mm_cvtss_f32(_mm_shuffle_ps(result, result, 1));
        } else {
            outL[j] = _mm_cvtss_f32(result);
            outR[j] = _mm_cvtss_f32(_mm_shuffle_ps(result, result, 1));
        }

        // Meter.
        if (meter < peak)
            meter = peak;
        else
            meter = static_cast<float>(meter + (peak - static_cast<double>(meter)) * meterCoefficient);
    }

    _mm_store_pd(st.input.s1[0], s1a);
    _mm_store_pd(st.input.s2[0], s2a);
    _mm_store_pd(st.input.s1[1], s1b);
    _mm_store_pd(st.input.s2[1], s2b);
    st.delay.writeIndex = writeIndex;
    const __m128 fbFloat = _mm_cvtpd_ps(fb);
    bp.feedback[0] = _mm_cvtss_f32(fbFloat);
    bp.feedback[1] = _mm_cvtss_f32(_mm_shuffle_ps(fbFloat, fbFloat, 1));
    _mm_store_pd(bp.s1, bs1);
    _mm_store_pd(bp.s2, bs2);
    for (int k = 0; k < HiCut::kSections; ++k) {
        _mm_storel_pi(reinterpret_cast<__m64*>(hc.s1[k]), _mm_cvtpd_ps(hs1[k]));
        _mm_storel_pi(reinterpret_cast<__m64*>(hc.s2[k]), _mm_cvtpd_ps(hs2[k]));
    }
    st.limiterReduction = reduction;
    st.meterLevel = meter;
}

}  // namespace loop

}  // namespace trv4
