// First half of the fast block path: everything of the sample step that does
// not depend on the audio, computed for a chunk of frames ahead of the serial
// loop. Per frame, in the order of the sample step: the smoothing of base
// delay and depth, the dither draw, both modulators (with their random
// draws), the two tap read positions and how far the nearer tap reads behind
// the newest row. Audio thread.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "engine/BlockScratch.h"
#include "engine/EngineState.h"
#include "engine/ModulatorBlock.h"
#include "engine/ModulatorBlockWide.h"
#include "engine/Nearest.h"

namespace trv4 {

namespace chunk {

// One modulator's outputs for frames 0..n-1 of a chunk, two frames per
// vector (four with wide vectors), one loop per shape.
template <Wave W>
inline void renderOne(Modulator& m, float* out, int n, bool wide) {
    if (wide)
        modwide::render<W>(m, out, n);
    else
        modblock::render<W>(m, out, n);
}

inline void renderShape(Modulator& m, float* out, int n, bool wide) {
    switch (m.wave) {
    case Wave::RaisedCosine: renderOne<Wave::RaisedCosine>(m, out, n, wide); break;
    case Wave::SignedSquareCosine: renderOne<Wave::SignedSquareCosine>(m, out, n, wide); break;
    case Wave::SquaredCosine: renderOne<Wave::SquaredCosine>(m, out, n, wide); break;
    case Wave::InvertedSquaredCosine: renderOne<Wave::InvertedSquaredCosine>(m, out, n, wide); break;
    case Wave::Triangle: renderOne<Wave::Triangle>(m, out, n, wide); break;
    case Wave::SignedSquareTriangle: renderOne<Wave::SignedSquareTriangle>(m, out, n, wide); break;
    case Wave::SquaredTriangle: renderOne<Wave::SquaredTriangle>(m, out, n, wide); break;
    case Wave::InvertedParabola: renderOne<Wave::InvertedParabola>(m, out, n, wide); break;
    case Wave::FastRiseFall: renderOne<Wave::FastRiseFall>(m, out, n, wide); break;
    case Wave::Off:
    case Wave::Random: modblock::render<Wave::Off>(m, out, n); break;
    }
}

// Dither and modulators. The shared generator is drawn in the order of the
// sample step: dither, then modulator 1, then modulator 2 of each frame; only
// the random shape draws besides the dither, so without it the dither of the
// whole chunk comes first.
[[gnu::always_inline]] inline void modulate(EngineState& st, BlockScratch& s, int n, RandomStream& random, bool wide) {
    if (st.mod1.wave != Wave::Random && st.mod2.wave != Wave::Random) {
        random.fill(s.noise, n);
        for (int j = 0; j < n; ++j) s.noise[j] = (s.noise[j] - 0.5) * 6e-8;
        renderShape(st.mod1, s.lfo1, n, wide);
        renderShape(st.mod2, s.lfo2, n, wide);
        return;
    }
    for (int j = 0; j < n; ++j) {
        s.noise[j] = (random.next() - 0.5) * 6e-8;
        stepModulators(st.mod1, st.mod2, random);
        s.lfo1[j] = st.mod1.output;
        s.lfo2[j] = st.mod2.output;
    }
}

// The amplitude modulation gain 1 - (1 - lfo1) am and the auto-pan gains
// 1 - (1 - lfo2) pan (left) and 1 - pan lfo2 (right) of frames 0..n-1.
[[gnu::always_inline]] inline void amplitudeGains(BlockScratch& s, int n, double am, double pan) {
    for (int j = 0; j < n; ++j) {
        const double lfo1 = s.lfo1[j], lfo2 = s.lfo2[j];
        s.am[j] = 1 - (1 - lfo1) * am;
        s.pan[j][0] = 1 - (1 - lfo2) * pan;
        s.pan[j][1] = 1 - pan * lfo2;
    }
}

// Tap rows and weights of one frame; writeIndex is the newest row after the
// frame's writes.
inline void tapPosition(int32_t writeIndex, int32_t baseDelay, float pos, int32_t& row, float& frac) {
    const int32_t i = static_cast<int32_t>(pos);
    row = (writeIndex - baseDelay + i) & DelayLine::kMask;
    frac = pos - static_cast<float>(i);
}

inline void tapPositions(EngineState& st, BlockScratch& s, int j, int32_t writeIndex, double spread) {
    const double lfo1 = s.lfo1[j];
    const double lfo2 = s.lfo2[j];
    const float posL = static_cast<float>(st.depthSamples * lfo1);
    const float posR = static_cast<float>(((1.0 - spread) * lfo1 + spread * lfo2) * st.depthSamples);
    tapPosition(writeIndex, st.baseDelay, posL, s.rowL[j], s.frac[j][0]);
    tapPosition(writeIndex, st.baseDelay, posR, s.rowR[j], s.frac[j][1]);
    const int32_t ageL = (writeIndex - s.rowL[j]) & DelayLine::kMask;
    const int32_t ageR = (writeIndex - s.rowR[j]) & DelayLine::kMask;
    s.age[j] = ageL < ageR ? ageL : ageR;
    if (s.age[j] < s.nearestAge) s.nearestAge = s.age[j];
}

// Tap positions of frames j0..n-1 outside a ramp (base delay and depth
// fixed), four frames per vector. posL = depth * lfo1 is an exact product of
// two floats rounded once, so float32 arithmetic gives it bit for bit; the
// right tap's crossfade needs doubles unless Spread is exactly 0 (the left
// position) or 1 (depth * lfo2).
[[gnu::always_inline]] inline void steadyTapPositions(EngineState& st, BlockScratch& s, int j0, int n,
                                                      int32_t writeIndex, double spread) {
    const int32_t step = st.oversampling;
    int j = j0;
    if (n - j >= 4) {
        const __m128 depth = _mm_set1_ps(st.depthSamples);
        const __m128d depthD = _mm_set1_pd(st.depthSamples);
        const __m128d keep = _mm_set1_pd(1.0 - spread), take = _mm_set1_pd(spread);
        const __m128i mask = _mm_set1_epi32(DelayLine::kMask);
        const __m128i advance = _mm_set1_epi32(4 * step);
        const __m128i base = _mm_set1_epi32(st.baseDelay);
        __m128i nearest = _mm_set1_epi32(s.nearestAge);
        // Newest row of frames j..j+3, before the mask.
        __m128i newest = _mm_setr_epi32(writeIndex + step - st.baseDelay, writeIndex + 2 * step - st.baseDelay,
                                        writeIndex + 3 * step - st.baseDelay, writeIndex + 4 * step - st.baseDelay);
        for (; j + 4 <= n; j += 4) {
            const __m128 lfo1 = _mm_loadu_ps(s.lfo1 + j);
            const __m128 lfo2 = _mm_loadu_ps(s.lfo2 + j);
            const __m128 posL = _mm_mul_ps(depth, lfo1);
            __m128 posR;
            if (spread == 0.0) {
                posR = posL;
            } else if (spread == 1.0) {
                posR = _mm_mul_ps(depth, lfo2);
            } else {
                const __m128d lo = _mm_mul_pd(
                    _mm_add_pd(_mm_mul_pd(keep, _mm_cvtps_pd(lfo1)), _mm_mul_pd(take, _mm_cvtps_pd(lfo2))), depthD);
                const __m128d hi = _mm_mul_pd(_mm_add_pd(_mm_mul_pd(keep, _mm_cvtps_pd(_mm_movehl_ps(lfo1, lfo1))),
                                                         _mm_mul_pd(take, _mm_cvtps_pd(_mm_movehl_ps(lfo2, lfo2)))),
                                              depthD);
                posR = _mm_movelh_ps(_mm_cvtpd_ps(lo), _mm_cvtpd_ps(hi));
            }
            const __m128i iL = _mm_cvttps_epi32(posL), iR = _mm_cvttps_epi32(posR);
            const __m128 fracL = _mm_sub_ps(posL, _mm_cvtepi32_ps(iL)), fracR = _mm_sub_ps(posR, _mm_cvtepi32_ps(iR));
            _mm_storeu_ps(s.frac[j], _mm_unpacklo_ps(fracL, fracR));
            _mm_storeu_ps(s.frac[j + 2], _mm_unpackhi_ps(fracL, fracR));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(s.rowL + j), _mm_and_si128(_mm_add_epi32(newest, iL), mask));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(s.rowR + j), _mm_and_si128(_mm_add_epi32(newest, iR), mask));
            // The newest row less a tap's row is the base delay less its i.
            const __m128i ageL = _mm_and_si128(_mm_sub_epi32(base, iL), mask);
            const __m128i ageR = _mm_and_si128(_mm_sub_epi32(base, iR), mask);
            const __m128i right = _mm_cmpgt_epi32(ageL, ageR);
            const __m128i age = _mm_or_si128(_mm_and_si128(right, ageR), _mm_andnot_si128(right, ageL));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(s.age + j), age);
            const __m128i older = _mm_cmpgt_epi32(nearest, age);
            nearest = _mm_or_si128(_mm_and_si128(older, age), _mm_andnot_si128(older, nearest));
            newest = _mm_add_epi32(newest, advance);
        }
        writeIndex = (writeIndex + (j - j0) * step) & DelayLine::kMask;
        alignas(16) int32_t lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), nearest);
        for (int32_t age : lanes) s.nearestAge = age < s.nearestAge ? age : s.nearestAge;
    }
    for (; j < n; ++j) {
        writeIndex = (writeIndex + step) & DelayLine::kMask;
        tapPositions(st, s, j, writeIndex, spread);
    }
}

// All of the above for frames 0..n-1. depth, spread, am and pan are the
// Depth, Spread, AM and Pan parameters.
[[gnu::always_inline]] inline void prepare(EngineState& st, BlockScratch& s, int n, float depth, float spread, float am,
                                           float pan, RandomStream& random, bool wide) {
    modulate(st, s, n, random, wide);
    if (am != 0 || pan != 0) amplitudeGains(s, n, am, pan);
    s.nearestAge = DelayLine::kLength;
    const int32_t step = st.oversampling;
    int32_t writeIndex = st.delay.writeIndex;
    int j = 0;
    for (; j < n && st.rampCounter > 0; ++j) {
        st.baseDelay = nearestInt32(st.smoother.run(st.delayTarget, st.zDelay));
        const double d = st.smoother.run(depth, st.zDepth);
        st.depthSamples = static_cast<float>(st.baseDelay * d);
        --st.rampCounter;
        writeIndex = (writeIndex + step) & DelayLine::kMask;
        tapPositions(st, s, j, writeIndex, spread);
    }
    steadyTapPositions(st, s, j, n, writeIndex, spread);
}

}  // namespace chunk

}  // namespace trv4
