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
#include <immintrin.h>

#include <cfloat>
#include <cstdint>

#include "engine/EngineState.h"
#include "engine/HeldInput.h"
#include "engine/OutputFlush.h"

// The 256-bit helpers of the input stage are always inlined into code
// compiled for AVX: the warning about passing such vectors without AVX does
// not apply.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

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
    [[gnu::always_inline]] explicit InputStage(EngineState& st)
        : st(st), h(st.heldInput), set(*st.input.set), rows(st.delay.rows), writeIndex(st.delay.writeIndex) {
        for (int k = 0; k < 2; ++k) {
            s[2 * k] = _mm_load_pd(st.input.s1[k]);
            s[2 * k + 1] = _mm_load_pd(st.input.s2[k]);
        }
        if constexpr (kClosedForm)
            for (int r = 0; r < kOrder; ++r) z[r] = weighted(h.toZ[r], s);
    }

    [[gnu::always_inline]] ~InputStage() {
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

    // One frame's input x, in the middle of a run of frames.
    [[gnu::always_inline]] void run(__m128d x) { step(x, z, s, rows, writeIndex); }

    // Frames 0..n-1 one after the other, the held input of frame j from
    // source(j) (which may run the frame's other stages first), with the
    // state in locals for the run: the row stores may alias any member or
    // the engine state, locals stay in registers.
    template <typename Source>
    [[gnu::always_inline]] void run(int n, Source source) {
        float(*const r)[2] = rows;
        int32_t w = writeIndex;
        if constexpr (kClosedForm) {
            __m128d z0 = z[0], z1 = z[1], z2 = z[2], z3 = z[3];
            __m128d out[kOversampling], input[kOrder], feed[kOrder][kOrder];
            for (int i = 0; i < kOrder; ++i) {
                input[i] = lanes(h.input[i]);
                for (int k = 0; k < kOrder; ++k) feed[i][k] = lanes(h.feed[i][k]);
            }
            for (int i = 0; i < kOversampling; ++i) out[i] = lanes(h.out[i]);
            for (int j = 0; j < n; ++j) {
                const __m128d v = source(j);
                __m128 samples[kOversampling];
                const __m128d now[kOrder] = {z0, z1, z2, z3};
                for (int i = 0; i < kOversampling; ++i)
                    samples[i] = _mm_cvtpd_ps(_mm_add_pd(now[i], _mm_mul_pd(out[i], v)));
                __m128d next[kOrder];
                for (int i = 0; i < kShifted; ++i)
                    next[i] = _mm_add_pd(now[i + kOversampling], _mm_mul_pd(input[i], v));
                for (int i = kShifted; i < kOrder; ++i) {
                    const __m128d early = _mm_add_pd(_mm_mul_pd(input[i], v), _mm_mul_pd(feed[i][0], z0));
                    const __m128d late = _mm_add_pd(_mm_mul_pd(feed[i][1], z1), _mm_mul_pd(feed[i][2], z2));
                    next[i] = _mm_add_pd(_mm_add_pd(early, _mm_mul_pd(feed[i][3], z3)), late);
                }
                write(samples, r, w);
                z0 = next[0];
                z1 = next[1];
                z2 = next[2];
                z3 = next[3];
            }
            z[0] = z0;
            z[1] = z1;
            z[2] = z2;
            z[3] = z3;
        } else {
            for (int j = 0; j < n; ++j) step(source(j), z, s, r, w);
        }
        writeIndex = w;
    }

    // run(n, source) in 256-bit vectors for processors with AVX: z[0] and z[1]
    // share one vector, z[2] and z[3] another, so that one multiply and one
    // add give two rows, one conversion four samples (two whole rows) and
    // one store writes them. Each lane computes what run(n, source) computes for
    // it, operation for operation, so the results are the same bits.
    template <typename Source>
    [[gnu::target("avx")]] void runWide(int n, Source source) {
        if constexpr (!kClosedForm) {
            run(n, source);
        } else {
            float(*const r)[2] = rows;
            int32_t w = writeIndex;
            // Pairs of z: [0, 1] and [2, 3]; weights paired the same way.
            __m256d z01 = _mm256_insertf128_pd(_mm256_castpd128_pd256(z[0]), z[1], 1);
            __m256d z23 = _mm256_insertf128_pd(_mm256_castpd128_pd256(z[2]), z[3], 1);
            const __m256d out01 = join(h.out[0], h.out[1]);
            const __m256d out23 = kOversampling == 4 ? join(h.out[2], h.out[3]) : out01;
            const __m256d input01 = join(h.input[0], h.input[1]), input23 = join(h.input[2], h.input[3]);
            __m256d feed01[kOrder], feed23[kOrder];
            for (int k = 0; k < kOrder; ++k) {
                feed01[k] = join(h.feed[0][k], h.feed[1][k]);
                feed23[k] = join(h.feed[2][k], h.feed[3][k]);
            }
            for (int j = 0; j < n; ++j) {
                const __m128d held = source(j);
                const __m256d v = _mm256_insertf128_pd(_mm256_castpd128_pd256(held), held, 1);
                const __m256d z0 = _mm256_permute2f128_pd(z01, z01, 0x00), z1 = _mm256_permute2f128_pd(z01, z01, 0x11);
                const __m256d z2 = _mm256_permute2f128_pd(z23, z23, 0x00), z3 = _mm256_permute2f128_pd(z23, z23, 0x11);
                const __m128 rows01 = _mm256_cvtpd_ps(_mm256_add_pd(z01, _mm256_mul_pd(out01, v)));
                __m128 rows23 = rows01;
                if constexpr (kOversampling == 4) {
                    rows23 = _mm256_cvtpd_ps(_mm256_add_pd(z23, _mm256_mul_pd(out23, v)));
                    z01 = fed(input01, feed01, v, z0, z1, z2, z3);
                } else {
                    z01 = _mm256_add_pd(z23, _mm256_mul_pd(input01, v));
                }
                z23 = fed(input23, feed23, v, z0, z1, z2, z3);
                if (w + kOversampling <= DelayLine::kMask) {
                    _mm_storeu_ps(r[w + 1], rows01);
                    if constexpr (kOversampling == 4) _mm_storeu_ps(r[w + 3], rows23);
                    w += kOversampling;
                } else {
                    const __m128 samples[4] = {rows01, _mm_movehl_ps(rows01, rows01), rows23,
                                               _mm_movehl_ps(rows23, rows23)};
                    write(samples, r, w);
                }
            }
            z[0] = _mm256_castpd256_pd128(z01);
            z[1] = _mm256_extractf128_pd(z01, 1);
            z[2] = _mm256_castpd256_pd128(z23);
            z[3] = _mm256_extractf128_pd(z23, 1);
            writeIndex = w;
        }
    }

private:
    [[gnu::target("avx"), gnu::always_inline]] static __m256d join(const HeldInputResponse::Lanes& lo,
                                                                   const HeldInputResponse::Lanes& hi) {
        return _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_load_pd(lo)), _mm_load_pd(hi), 1);
    }

    // ((input x + feed0 z0) + feed3 z3) + (feed1 z1 + feed2 z2), as run().
    [[gnu::target("avx"), gnu::always_inline]] static __m256d fed(__m256d input, const __m256d* feed, __m256d v,
                                                                  __m256d z0, __m256d z1, __m256d z2, __m256d z3) {
        const __m256d early = _mm256_add_pd(_mm256_mul_pd(input, v), _mm256_mul_pd(feed[0], z0));
        const __m256d late = _mm256_add_pd(_mm256_mul_pd(feed[1], z1), _mm256_mul_pd(feed[2], z2));
        return _mm256_add_pd(_mm256_add_pd(early, _mm256_mul_pd(feed[3], z3)), late);
    }

    [[gnu::always_inline]] void step(__m128d x, __m128d* z, __m128d* s, float (*rows)[2], int32_t& writeIndex) const {
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
            write(samples, rows, writeIndex);
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
            write(samples, rows, writeIndex);
        }
    }

    static __m128d lanes(const HeldInputResponse::Lanes& w) { return _mm_load_pd(w); }

    static __m128d weighted(const double* w, const __m128d* v) {
        return _mm_add_pd(_mm_add_pd(_mm_mul_pd(broadcast(w[0]), v[0]), _mm_mul_pd(broadcast(w[1]), v[1])),
                          _mm_add_pd(_mm_mul_pd(broadcast(w[2]), v[2]), _mm_mul_pd(broadcast(w[3]), v[3])));
    }

    static void write(const __m128* samples, float (*rows)[2], int32_t& writeIndex) {
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

// [left, right] as doubles from a stored pair.
inline __m128d pair(const float (&lr)[2]) {
    return _mm_cvtps_pd(_mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(lr))));
}

// 5, 6. Taps: (1 - f) row + f next row, the left lane from the left tap's
// rows, the right lane from the right tap's. One load takes a tap's row and
// the next, both channels: [L0 R0 L1 R1]; the left tap's L0, L1 and the
// right tap's R0, R1 are picked from the two loads (one blend where the
// processor has it, two shuffles otherwise).
inline __m128d readTaps(const float (*rows)[2], int32_t rowL, int32_t rowR, __m128d f) {
    const __m128 left = _mm_loadu_ps(rows[rowL]), right = _mm_loadu_ps(rows[rowR]);
    const __m128 both = __builtin_shufflevector(left, right, 0, 5, 2, 7);  // L0 R0 L1 R1
    const __m128d first = _mm_cvtps_pd(both), second = _mm_cvtps_pd(_mm_movehl_ps(both, both));
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
          a1(broadcast(bp.a1)),
          a2(broadcast(bp.a2)),
          e1(broadcast(-(double(bp.b0) * bp.a1))),
          e2(broadcast(bp.b2 - double(bp.b0) * bp.a2)),
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

    // y = b0 w + b2 s2 with w = tap - a2 s2 - a1 s1 is taken as
    // b0 tap + (b2 - b0 a2) s2 - b0 a1 s1, so that only one product and one
    // sum wait for the tap.
    void run(__m128d tap) {
        // s2's product first: only the a1 product waits for the last w.
        const __m128d w = _mm_sub_pd(_mm_sub_pd(tap, _mm_mul_pd(a2, s2)), _mm_mul_pd(a1, s1));
        const __m128d y = _mm_add_pd(_mm_mul_pd(b0, tap), _mm_add_pd(_mm_mul_pd(e2, s2), _mm_mul_pd(e1, s1)));
        s2 = s1;
        s1 = w;
        value = roundToFloat(_mm_mul_pd(y, gain));
    }

    FeedbackBandpass& bp;
    __m128d s1, s2;
    const __m128d b0, a1, a2, e1, e2, gain;
    __m128d value;  // the feedback of the last frame
};

// 8, 9. Amplitude modulation by lfo1: both channels times 1 - (1 - lfo1) am;
// auto-pan by lfo2: left times 1 - (1 - lfo2) pan, right times 1 - pan lfo2.
// The gains are prepared per frame (chunk::amplitudeGains).
inline __m128d modulateAmplitude(__m128d tap, const double& am, const double (&pan)[2]) {
    return _mm_mul_pd(_mm_mul_pd(tap, _mm_load1_pd(&am)), _mm_load_pd(pan));
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
            a1[k] = broadcast(hc.a1[k]);
            a2[k] = broadcast(hc.a2[k]);
            // The products of two float32 values are exact in float64.
            d1[k] = broadcast(hc.c1[k] - double(hc.c0[k]) * hc.a1[k]);
            d2[k] = broadcast(hc.c2[k] - double(hc.c0[k]) * hc.a2[k]);
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

    // y = c0 w + c1 s1 + c2 s2 with w = x - a1 s1 - a2 s2 is taken as
    // c0 x + (c1 - c0 a1) s1 + (c2 - c0 a2) s2: the same value within the
    // rounding of a double, but only one product and one sum wait for x, so
    // the three sections of a frame follow each other in half the time.
    __m128d run(__m128d x) {
        for (int k = 0; k < HiCut::kSections; ++k) {
            // w in the reference step's order: it is rounded to float32 as it
            // is stored, and large against x at low cut-offs, so a sum in
            // another order could round it to the next float32 now and then.
            const __m128d w = _mm_sub_pd(_mm_sub_pd(x, _mm_mul_pd(a1[k], s1[k])), _mm_mul_pd(a2[k], s2[k]));
            const __m128d held = _mm_add_pd(_mm_mul_pd(d1[k], s1[k]), _mm_mul_pd(d2[k], s2[k]));
            x = _mm_add_pd(_mm_mul_pd(c0[k], x), held);
            s2[k] = s1[k];
            s1[k] = roundToFloat(w);
        }
        return x;
    }

private:
    HiCut& hc;
    __m128d s1[HiCut::kSections], s2[HiCut::kSections];
    __m128d c0[HiCut::kSections], d1[HiCut::kSections], d2[HiCut::kSections];
    __m128d a1[HiCut::kSections], a2[HiCut::kSections];
};

// 11. Mix with the raw input.
inline __m128d mix(__m128d tap, __m128d in, __m128d wet, __m128d dry) {
    return _mm_add_pd(_mm_mul_pd(tap, wet), _mm_mul_pd(in, dry));
}

// 12. Mono sum over a run of frames, when on.
inline void monoSum(__m128d* mixed, int n) {
    for (int j = 0; j < n; ++j) {
        const __m128d half = _mm_mul_pd(mixed[j], broadcast(0.5));
        mixed[j] = _mm_add_pd(half, _mm_shuffle_pd(half, half, 1));
    }
}

// 13. Limiter over a run of frames, after the frames: a channel peak above
// 2.0 is brought to 2.0 at once; the reduction then decays by the release
// factor per frame. Writes each frame's larger channel peak (for the meter)
// and the results, float32, held within +-2.0 and with subnormal results
// flushed to 0 (OutputFlush.h).
//
// Most runs have no peak above 2.0 and a reduction too small to move
// 1 - reduction off 1.0 (it decays towards a fixed point far below that and
// stays there): then every gain is exactly 1, and the run takes the short
// way, two frames per step. Otherwise the frames go one by one as the
// reference step runs them.
template <bool kAccumulate>
class LimiterStage {
public:
    explicit LimiterStage(EngineState& st) : st(st), reduction(st.limiterReduction), release(st.limiterRelease) {}
    ~LimiterStage() { st.limiterReduction = reduction; }

    LimiterStage(const LimiterStage&) = delete;
    LimiterStage& operator=(const LimiterStage&) = delete;

    [[gnu::always_inline]] void run(const __m128d* mixed, int n, float* peaks, float* outL, float* outR) {
        if (measurePeaks(mixed, n, peaks) || 1.0 - reduction != 1.0) {
            for (int j = 0; j < n; ++j) frame(mixed[j], peaks[j], outL + j, outR + j);
            return;
        }
        passRun(mixed, peaks, 0, n, outL, outR);
    }

    // run() for processors with AVX: the peaks and the short way four frames
    // per step, the same values.
    [[gnu::target("avx")]] void runWide(const __m128d* mixed, int n, float* peaks, float* outL, float* outR) {
        const __m256d tiny = _mm256_set1_pd(1e-20);
        const __m256d sign = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7FFFFFFFFFFFFFFFll));
        __m128 above = _mm_setzero_ps();
        int j = 0;
        for (; j + 4 <= n; j += 4) {
            // [L0 R0 L1 R1] and [L2 R2 L3 R3]: lefts [L0 L2 L1 L3], rights the same.
            const __m256d a = _mm256_and_pd(_mm256_loadu_pd(reinterpret_cast<const double*>(mixed + j)), sign);
            const __m256d b = _mm256_and_pd(_mm256_loadu_pd(reinterpret_cast<const double*>(mixed + j + 2)), sign);
            const __m256d larger = _mm256_max_pd(_mm256_unpacklo_pd(a, b), _mm256_unpackhi_pd(a, b));
            const __m128 crossed = _mm256_cvtpd_ps(_mm256_add_pd(larger, tiny));
            const __m128 four = _mm_shuffle_ps(crossed, crossed, _MM_SHUFFLE(3, 1, 2, 0));
            _mm_storeu_ps(peaks + j, four);
            above = _mm_or_ps(above, _mm_cmpgt_ps(four, _mm_set1_ps(2.0f)));
        }
        bool any = _mm_movemask_ps(above) != 0;
        for (int k = j; k < n; ++k) {
            peaks[k] = peakOf(mixed[k]);
            any = any || peaks[k] > 2.0f;
        }
        if (any || 1.0 - reduction != 1.0) {
            for (int k = 0; k < n; ++k) frame(mixed[k], peaks[k], outL + k, outR + k);
            return;
        }
        const __m256 minimum = _mm256_set1_ps(FLT_MIN);
        const __m256 magnitude = _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF));
        j = 0;
        for (; j + 4 <= n; j += 4) {
            // [L0 R0 L1 R1 | L2 R2 L3 R3], flushed, as [L0 L1 R0 R1 | L2 L3 R2 R3].
            const __m128 lo = _mm256_cvtpd_ps(_mm256_loadu_pd(reinterpret_cast<const double*>(mixed + j)));
            const __m128 hi = _mm256_cvtpd_ps(_mm256_loadu_pd(reinterpret_cast<const double*>(mixed + j + 2)));
            __m256 v = _mm256_insertf128_ps(_mm256_castps128_ps256(lo), hi, 1);
            v = _mm256_and_ps(v, _mm256_cmp_ps(_mm256_and_ps(v, magnitude), minimum, _CMP_GE_OQ));
            v = _mm256_permute_ps(v, _MM_SHUFFLE(3, 1, 2, 0));
            const __m128d first = _mm_castps_pd(_mm256_castps256_ps128(v));
            const __m128d second = _mm_castps_pd(_mm256_extractf128_ps(v, 1));
            store4(outL + j, _mm_castpd_ps(_mm_unpacklo_pd(first, second)));
            store4(outR + j, _mm_castpd_ps(_mm_unpackhi_pd(first, second)));
        }
        decay(j);
        passRun(mixed, peaks, j, n, outL, outR);
    }

private:
    // Frames first..n-1 the short way, every gain exactly 1, then the decay
    // that the frames would have applied.
    [[gnu::always_inline]] void passRun(const __m128d* mixed, const float* peaks, int first, int n, float* outL,
                                        float* outR) {
        int j = first;
        for (; j + 2 <= n; j += 2) {
            // [L0 R0 L1 R1], flushed, as [L0 L1 R0 R1].
            const __m128 both = flushSubnormal(_mm_movelh_ps(_mm_cvtpd_ps(mixed[j]), _mm_cvtpd_ps(mixed[j + 1])));
            const __m128 channels = _mm_shuffle_ps(both, both, _MM_SHUFFLE(3, 1, 2, 0));
            store(outL + j, channels);
            store(outR + j, _mm_movehl_ps(channels, channels));
        }
        if (j < n) frame(mixed[j], peaks[j], outL + j, outR + j);
        decay(j - first);
    }

    // The decay of frames frames, until it stops changing.
    void decay(int frames) {
        for (int k = 0; k < frames; ++k) {
            const float next = reduction * release;
            if (next == reduction) break;
            reduction = next;
        }
    }

    static float peakOf(__m128d out) {
        const __m128 peaks = _mm_cvtpd_ps(_mm_add_pd(magnitude(out), broadcast(1e-20)));
        const float peakL = _mm_cvtss_f32(peaks);
        const float peakR = _mm_cvtss_f32(_mm_shuffle_ps(peaks, peaks, 1));
        return peakR > peakL ? peakR : peakL;
    }

    static __m128d magnitude(__m128d v) {
        return _mm_and_pd(v, _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFFll)));
    }

    // Peaks of all frames; answers whether one lies above 2.0.
    static bool measurePeaks(const __m128d* mixed, int n, float* peaks) {
        const __m128d tiny = broadcast(1e-20);
        __m128 above = _mm_setzero_ps();
        int j = 0;
        for (; j + 2 <= n; j += 2) {
            // Rounding to float32 and adding 1e-20 keep the order of two
            // magnitudes, so the larger channel is picked before them.
            const __m128d a = magnitude(mixed[j]), b = magnitude(mixed[j + 1]);
            const __m128d larger = _mm_max_pd(_mm_unpacklo_pd(a, b), _mm_unpackhi_pd(a, b));
            const __m128 pair = _mm_cvtpd_ps(_mm_add_pd(larger, tiny));
            _mm_storel_pi(reinterpret_cast<__m64*>(peaks + j), pair);
            above = _mm_or_ps(above, _mm_cmpgt_ps(pair, _mm_set1_ps(2.0f)));
        }
        bool any = _mm_movemask_ps(above) != 0;
        for (; j < n; ++j) {
            peaks[j] = peakOf(mixed[j]);
            any = any || peaks[j] > 2.0f;
        }
        return any;
    }

    // One frame as the reference step runs it.
    void frame(__m128d out, float peak, float* left, float* right) {
        reduction = reduction * release;  // exact product of two floats, one rounding
        // For a peak of at most 2 the quotient (peak - 2) / peak is not
        // positive and cannot exceed the reduction.
        if (peak > 2.0f) {
            const double t = (peak - 2.0) / peak;
            if (t > reduction) reduction = static_cast<float>(t);
        }
        const __m128 result = flushSubnormal(holdAtCeiling(_mm_cvtpd_ps(_mm_mul_pd(broadcast(1.0 - reduction), out))));
        const __m128 right1 = _mm_shuffle_ps(result, result, 1);
        if constexpr (kAccumulate) {
            *left += _mm_cvtss_f32(result);
            *right += _mm_cvtss_f32(right1);
        } else {
            *left = _mm_cvtss_f32(result);
            *right = _mm_cvtss_f32(right1);
        }
    }

    // v to four consecutive samples.
    static void store4(float* to, __m128 v) {
        if constexpr (kAccumulate) v = _mm_add_ps(v, _mm_loadu_ps(to));
        _mm_storeu_ps(to, v);
    }

    // The low two lanes of v to two consecutive samples.
    static void store(float* to, __m128 v) {
        if constexpr (kAccumulate)
            v = _mm_add_ps(v, _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(to)));
        _mm_storel_pi(reinterpret_cast<__m64*>(to), v);
    }

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

    [[gnu::always_inline]] void run(const float* peaks, int n) {
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

    // run() for processors with AVX: the a and b of four groups of four
    // frames at once, one group per lane, the same operations as run(); then
    // the four steps of the level.
    [[gnu::target("avx")]] void runWide(const float* peaks, int n) {
        const double keep4 = keep * keep * keep * keep;
        const __m256d keepV = _mm256_set1_pd(keep), takeV = _mm256_set1_pd(take);
        int j = 0;
        for (; j + 16 <= n; j += 16) {
            // Frame k of each group in lane k of row k.
            __m128 g0 = _mm_loadu_ps(peaks + j), g1 = _mm_loadu_ps(peaks + j + 4);
            __m128 g2 = _mm_loadu_ps(peaks + j + 8), g3 = _mm_loadu_ps(peaks + j + 12);
            _MM_TRANSPOSE4_PS(g0, g1, g2, g3);
            const __m256d p[4] = {_mm256_cvtps_pd(g0), _mm256_cvtps_pd(g1), _mm256_cvtps_pd(g2), _mm256_cvtps_pd(g3)};
            __m256d a = p[0], b = _mm256_mul_pd(takeV, p[0]);
            for (int k = 1; k < 4; ++k) {
                const __m256d taken = _mm256_mul_pd(takeV, p[k]);
                // max(decayed, p) is decayed > p ? decayed : p.
                a = _mm256_max_pd(_mm256_add_pd(_mm256_mul_pd(keepV, a), taken), p[k]);
                b = _mm256_add_pd(_mm256_mul_pd(keepV, b), taken);
            }
            alignas(32) double as[4], bs[4];
            _mm256_store_pd(as, a);
            _mm256_store_pd(bs, b);
            for (int g = 0; g < 4; ++g) {
                const double decayed = keep4 * level + bs[g];
                level = decayed > as[g] ? decayed : as[g];
            }
        }
        run(peaks + j, n - j);
    }

private:
    EngineState& st;
    double level;
    const double keep, take;
};

}  // namespace trv4::stage

#pragma GCC diagnostic pop
