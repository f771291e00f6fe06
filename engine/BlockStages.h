// The stages of the sample step for the fast block path, one per numbered
// step of the reference step (ReferenceStep.cpp), over both channels at once:
// left and right are the two lanes of an SSE2 double vector. Each stage
// loads its state into registers at the start of a run of frames and stores
// it back at the end. The input low-pass uses its closed form over the held
// input (HeldInput.h), so its result may differ from the step-by-step form in
// the last bits. Steps 1, 2 and 4 (smoothing, dither, modulators) and the tap
// positions are prepared per chunk ahead (ChunkPrepare.h). Audio thread.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "engine/EngineState.h"
#include "engine/HeldInput.h"
#include "engine/OutputFlush.h"

namespace trv4::stage {

inline __m128d broadcast(double v) { return _mm_set1_pd(v); }

// Rounds both lanes to float32 and back.
inline __m128d roundToFloat(__m128d v) { return _mm_cvtps_pd(_mm_cvtpd_ps(v)); }

// [a, b] as doubles from two floats.
inline __m128d pair(const float* a, const float* b) {
    return _mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(a), _mm_load_ss(b)));
}

// 3. Input stage: x = in + feedback + noise (float32), then x held through
// the low-pass into kOversampling new buffer rows. At two or four rows per
// frame in the closed form of HeldInput.h; at one the filter step is as
// short as the closed form and costs fewer operations, so it runs as the
// reference step runs it. Left and right run in the two lanes of each state.
template <int kOversampling>
class InputStage {
    static constexpr bool kClosedForm = kOversampling >= 2;
    static constexpr int kOrder = HeldInputResponse::kOrder;
    // z[r] of the next frame is z[r + kOversampling] + input[r] x below this.
    static constexpr int kShifted = kOrder - kOversampling;

public:
    explicit InputStage(EngineState& st)
        : st(st), h(st.heldInput), set(*st.input.set), rows(st.delay.rows), writeIndex(st.delay.writeIndex) {
        for (int k = 0; k < 2; ++k) {
            s[2 * k] = _mm_load_pd(st.input.s1[k]);
            s[2 * k + 1] = _mm_load_pd(st.input.s2[k]);
        }
        if constexpr (kClosedForm)
            for (int r = 0; r < kOrder; ++r) z[r] = weighted(h.toZ[r], s);
    }

    ~InputStage() {
        if constexpr (kClosedForm)
            for (int i = 0; i < kOrder; ++i) s[i] = weighted(h.fromZ[i], z);
        for (int k = 0; k < 2; ++k) {
            _mm_store_pd(st.input.s1[k], s[2 * k]);
            _mm_store_pd(st.input.s2[k], s[2 * k + 1]);
        }
        st.delay.writeIndex = writeIndex;
    }

    InputStage(const InputStage&) = delete;
    InputStage& operator=(const InputStage&) = delete;

    static __m128d sum(__m128d in, __m128d feedback, double noise) {
        return roundToFloat(_mm_add_pd(_mm_add_pd(in, feedback), broadcast(noise)));
    }

    [[gnu::always_inline]] void run(__m128d x) {
        __m128 samples[kOversampling];
        if constexpr (kClosedForm) {
            for (int r = 0; r < kOversampling; ++r)
                samples[r] = _mm_cvtpd_ps(_mm_add_pd(z[r], _mm_mul_pd(lanes(h.out[r]), x)));
            __m128d next[kOrder];
            for (int r = 0; r < kShifted; ++r)
                next[r] = _mm_add_pd(z[r + kOversampling], _mm_mul_pd(lanes(h.input[r]), x));
            for (int r = kShifted; r < kOrder; ++r) {
                // The input's share first: each z waits for the last frame's
                // through one multiply and two adds.
                const HeldInputResponse::Lanes* feed = h.feed[r];
                const __m128d early = _mm_add_pd(_mm_mul_pd(lanes(h.input[r]), x), _mm_mul_pd(lanes(feed[0]), z[0]));
                const __m128d late = _mm_add_pd(_mm_mul_pd(lanes(feed[1]), z[1]), _mm_mul_pd(lanes(feed[2]), z[2]));
                next[r] = _mm_add_pd(_mm_add_pd(early, _mm_mul_pd(lanes(feed[3]), z[3])), late);
            }
            write(samples);
            for (int r = 0; r < kOrder; ++r) z[r] = next[r];
        } else {
            for (int r = 0; r < kOversampling; ++r) {
                // Per section: w = x - a1 s1 - a2 s2; y = b1 s1 + w + s2.
                __m128d y = x;
                for (int k = 0; k < 2; ++k) {
                    __m128d& s1 = s[2 * k];
                    __m128d& s2 = s[2 * k + 1];
                    const __m128d w = _mm_sub_pd(_mm_sub_pd(y, _mm_mul_pd(broadcast(set.a1[k]), s1)),
                                                 _mm_mul_pd(broadcast(set.a2[k]), s2));
                    y = _mm_add_pd(_mm_add_pd(_mm_mul_pd(broadcast(set.b1[k]), s1), w), s2);
                    s2 = s1;
                    s1 = w;
                }
                samples[r] = _mm_cvtpd_ps(_mm_mul_pd(y, broadcast(set.gain)));
            }
            write(samples);
        }
    }

private:
    static __m128d lanes(const HeldInputResponse::Lanes& w) { return _mm_load_pd(w); }

    static __m128d weighted(const double* w, const __m128d* v) {
        return _mm_add_pd(_mm_add_pd(_mm_mul_pd(broadcast(w[0]), v[0]), _mm_mul_pd(broadcast(w[1]), v[1])),
                          _mm_add_pd(_mm_mul_pd(broadcast(w[2]), v[2]), _mm_mul_pd(broadcast(w[3]), v[3])));
    }

    void write(const __m128* samples) {
        if (writeIndex + kOversampling <= DelayLine::kMask) {
            // No wrap within this frame: plain consecutive rows.
            for (int r = 0; r < kOversampling; ++r)
                _mm_storel_pi(reinterpret_cast<__m64*>(rows[writeIndex + 1 + r]), samples[r]);
            writeIndex += kOversampling;
            return;
        }
        for (int r = 0; r < kOversampling; ++r) {
            writeIndex = (writeIndex + 1) & DelayLine::kMask;
            _mm_storel_pi(reinterpret_cast<__m64*>(rows[writeIndex]), samples[r]);
            if (writeIndex == 0) _mm_storel_pi(reinterpret_cast<__m64*>(rows[DelayLine::kLength]), samples[r]);
        }
    }

    EngineState& st;
    const HeldInputResponse& h;
    const InputLowpassSet& set;
    float (*rows)[2];
    int32_t writeIndex;
    __m128d s[kOrder];  // s1, s2 of section 1, then of section 2
    __m128d z[kOrder];  // closed form: the next four outputs with the input at 0 from now on
};

// 5, 6. Taps: (1 - f) row + f next row, the left lane from the left tap's
// rows, the right lane from the right tap's.
inline __m128d readTaps(const float (*rows)[2], int32_t rowL, int32_t rowR, __m128d f) {
    const __m128d first = pair(&rows[rowL][0], &rows[rowR][1]);
    const __m128d second = pair(&rows[rowL + 1][0], &rows[rowR + 1][1]);
    return _mm_add_pd(_mm_mul_pd(_mm_sub_pd(broadcast(1.0), f), first), _mm_mul_pd(f, second));
}

// 7. Feedback band-pass: w = tap - a1 s1 - a2 s2; fb = b0 w + b2 s2;
// value = fb * gain (float32), added to the next frame's input.
class FeedbackStage {
public:
    explicit FeedbackStage(FeedbackBandpass& bp)
        : bp(bp),
          s1(_mm_load_pd(bp.s1)),
          s2(_mm_load_pd(bp.s2)),
          b0(broadcast(bp.b0)),
          b2(broadcast(bp.b2)),
          a1(broadcast(bp.a1)),
          a2(broadcast(bp.a2)),
          gain(broadcast(bp.gain)),
          value(pair(&bp.feedback[0], &bp.feedback[1])) {}

    ~FeedbackStage() {
        _mm_store_pd(bp.s1, s1);
        _mm_store_pd(bp.s2, s2);
        const __m128 v = _mm_cvtpd_ps(value);
        bp.feedback[0] = _mm_cvtss_f32(v);
        bp.feedback[1] = _mm_cvtss_f32(_mm_shuffle_ps(v, v, 1));
    }

    FeedbackStage(const FeedbackStage&) = delete;
    FeedbackStage& operator=(const FeedbackStage&) = delete;

    void run(__m128d tap) {
        // s2's product first: only the a1 product waits for the last w.
        const __m128d w = _mm_sub_pd(_mm_sub_pd(tap, _mm_mul_pd(a2, s2)), _mm_mul_pd(a1, s1));
        const __m128d y = _mm_add_pd(_mm_mul_pd(b0, w), _mm_mul_pd(b2, s2));
        s2 = s1;
        s1 = w;
        value = roundToFloat(_mm_mul_pd(y, gain));
    }

    FeedbackBandpass& bp;
    __m128d s1, s2;
    const __m128d b0, b2, a1, a2, gain;
    __m128d value;  // the feedback of the last frame
};

// 8, 9. Amplitude modulation by lfo1: both channels times 1 - (1 - lfo1) am;
// auto-pan by lfo2: left times 1 - (1 - lfo2) pan, right times 1 - pan lfo2.
inline __m128d modulateAmplitude(__m128d tap, double lfo1, double lfo2, double am, double pan) {
    tap = _mm_mul_pd(tap, broadcast(1 - (1 - lfo1) * am));
    return _mm_mul_pd(tap, _mm_set_pd(1 - pan * lfo2, 1 - (1 - lfo2) * pan));
}

// 10. Hi-cut, three sections: w = x - a1 s1 - a2 s2; x = c0 w + c1 s1 + c2 s2;
// float32 states held as doubles.
class HiCutStage {
public:
    explicit HiCutStage(HiCut& hc) : hc(hc) {
        for (int k = 0; k < HiCut::kSections; ++k) {
            s1[k] = pair(&hc.s1[k][0], &hc.s1[k][1]);
            s2[k] = pair(&hc.s2[k][0], &hc.s2[k][1]);
            c0[k] = broadcast(hc.c0[k]);
            c1[k] = broadcast(hc.c1[k]);
            c2[k] = broadcast(hc.c2[k]);
            a1[k] = broadcast(hc.a1[k]);
            a2[k] = broadcast(hc.a2[k]);
        }
    }

    ~HiCutStage() {
        for (int k = 0; k < HiCut::kSections; ++k) {
            _mm_storel_pi(reinterpret_cast<__m64*>(hc.s1[k]), _mm_cvtpd_ps(s1[k]));
            _mm_storel_pi(reinterpret_cast<__m64*>(hc.s2[k]), _mm_cvtpd_ps(s2[k]));
        }
    }

    HiCutStage(const HiCutStage&) = delete;
    HiCutStage& operator=(const HiCutStage&) = delete;

    __m128d run(__m128d x) {
        for (int k = 0; k < HiCut::kSections; ++k) {
            // In the reference step's order: w is rounded to float32 as it is
            // stored, and large against x at low cut-offs, so a sum in another
            // order could round it to the next float32 now and then.
            const __m128d w = _mm_sub_pd(_mm_sub_pd(x, _mm_mul_pd(a1[k], s1[k])), _mm_mul_pd(a2[k], s2[k]));
            x = _mm_add_pd(_mm_add_pd(_mm_mul_pd(c0[k], w), _mm_mul_pd(c1[k], s1[k])), _mm_mul_pd(c2[k], s2[k]));
            s2[k] = s1[k];
            s1[k] = roundToFloat(w);
        }
        return x;
    }

private:
    HiCut& hc;
    __m128d s1[HiCut::kSections], s2[HiCut::kSections];
    __m128d c0[HiCut::kSections], c1[HiCut::kSections], c2[HiCut::kSections];
    __m128d a1[HiCut::kSections], a2[HiCut::kSections];
};

// 11, 12. Mix with the raw input, then the mono sum when on.
inline __m128d mix(__m128d tap, __m128d in, __m128d wet, __m128d dry, bool mono) {
    __m128d out = _mm_add_pd(_mm_mul_pd(tap, wet), _mm_mul_pd(in, dry));
    if (mono) {
        const __m128d half = _mm_mul_pd(out, broadcast(0.5));
        out = _mm_add_pd(half, _mm_shuffle_pd(half, half, 1));
    }
    return out;
}

// 13. Limiter: a channel peak above 2.0 is brought to 2.0 at once; the
// reduction then decays by the release factor per frame. Hands back the
// larger channel peak (for the meter) and the two results, float32, with
// subnormal results flushed to 0 (OutputFlush.h).
class LimiterStage {
public:
    explicit LimiterStage(EngineState& st) : st(st), reduction(st.limiterReduction), release(st.limiterRelease) {}
    ~LimiterStage() { st.limiterReduction = reduction; }

    LimiterStage(const LimiterStage&) = delete;
    LimiterStage& operator=(const LimiterStage&) = delete;

    __m128 run(__m128d out, float& peak) {
        const __m128d magnitude = _mm_and_pd(out, _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFFll)));
        const __m128 peaks = _mm_cvtpd_ps(_mm_add_pd(magnitude, broadcast(1e-20)));
        const float peakL = _mm_cvtss_f32(peaks);
        const float peakR = _mm_cvtss_f32(_mm_shuffle_ps(peaks, peaks, 1));
        peak = peakR > peakL ? peakR : peakL;
        reduction = reduction * release;  // exact product of two floats, one rounding
        // For a peak of at most 2 the quotient (peak - 2) / peak is not
        // positive and cannot exceed the reduction.
        if (peak > 2.0f) {
            const double t = (peak - 2.0) / peak;
            if (t > reduction) reduction = static_cast<float>(t);
        }
        return flushSubnormal(_mm_cvtpd_ps(_mm_mul_pd(broadcast(1.0 - reduction), out)));
    }

private:
    EngineState& st;
    float reduction;
    const float release;
};

// 14. Meter: instant attack, release by the meter coefficient c: per frame
// level = max(peak, (1 - c) level + c peak), which is the peak when the level
// is below it and the decayed level otherwise. Run over the peaks of a whole
// run of frames after the frames, four at a time: four such steps make one
// step of the same form, max(a, (1 - c)^4 level + b), whose a and b do not
// depend on the level. The level is kept in float64 within the run and
// stored as float32 at its end.
class MeterStage {
public:
    explicit MeterStage(EngineState& st)
        : st(st), level(st.meterLevel), keep(1 - static_cast<double>(st.meterCoefficient)), take(st.meterCoefficient) {}
    ~MeterStage() { st.meterLevel = static_cast<float>(level); }

    MeterStage(const MeterStage&) = delete;
    MeterStage& operator=(const MeterStage&) = delete;

    void run(const float* peaks, int n) {
        const double keep4 = keep * keep * keep * keep;
        int j = 0;
        for (; j + 4 <= n; j += 4) {
            double a = peaks[j], b = take * peaks[j];
            for (int k = 1; k < 4; ++k) {
                const double p = peaks[j + k];
                const double decayed = keep * a + take * p;
                a = decayed > p ? decayed : p;
                b = keep * b + take * p;
            }
            const double decayed = keep4 * level + b;
            level = decayed > a ? decayed : a;
        }
        for (; j < n; ++j) {
            const double decayed = level * keep + peaks[j] * take;
            level = decayed > peaks[j] ? decayed : peaks[j];
        }
    }

private:
    EngineState& st;
    double level;
    const double keep, take;
};

}  // namespace trv4::stage
