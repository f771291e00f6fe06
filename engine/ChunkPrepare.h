// First half of the fast block path: everything of the sample step that does
// not depend on the audio, computed for a chunk of frames ahead of the serial
// loop. Per frame, in the order of the sample step: the smoothing of base
// delay and depth, the dither draw, both modulators (with their random
// draws), and the two tap read positions. Audio thread.
#pragma once

#include <cstdint>

#include "engine/BlockScratch.h"
#include "engine/EngineState.h"
#include "engine/Nearest.h"

namespace trv4 {

namespace chunk {

// One modulator's outputs for frames 0..n-1 of a chunk, fixed shape: the
// shape function is inlined per case so the loop carries no switch.
template <Wave W>
inline void renderShape(Modulator& m, float* out, int n) {
    uint32_t phase = m.phase;
    for (int j = 0; j < n; ++j) {
        out[j] = shapeValue(W, phase);
        phase += m.increment;
    }
    m.phase = phase;
    if (n > 0) m.output = out[n - 1];
}

inline void renderShape(Modulator& m, float* out, int n) {
    switch (m.wave) {
    case Wave::RaisedCosine: renderShape<Wave::RaisedCosine>(m, out, n); break;
    case Wave::SignedSquareCosine: renderShape<Wave::SignedSquareCosine>(m, out, n); break;
    case Wave::SquaredCosine: renderShape<Wave::SquaredCosine>(m, out, n); break;
    case Wave::InvertedSquaredCosine: renderShape<Wave::InvertedSquaredCosine>(m, out, n); break;
    case Wave::Triangle: renderShape<Wave::Triangle>(m, out, n); break;
    case Wave::SignedSquareTriangle: renderShape<Wave::SignedSquareTriangle>(m, out, n); break;
    case Wave::SquaredTriangle: renderShape<Wave::SquaredTriangle>(m, out, n); break;
    case Wave::InvertedParabola: renderShape<Wave::InvertedParabola>(m, out, n); break;
    case Wave::FastRiseFall: renderShape<Wave::FastRiseFall>(m, out, n); break;
    case Wave::Off:
    case Wave::Random:
        renderShape<Wave::Off>(m, out, n);
        break;
    }
}

// Dither and modulators. The shared generator is drawn in the order of the
// sample step: dither, then modulator 1, then modulator 2 of each frame; only
// the random shape draws besides the dither, so without it the dither of the
// whole chunk comes first.
inline void modulate(EngineState& st, BlockScratch& s, int n, RandomStream& random) {
    if (st.mod1.wave != Wave::Random && st.mod2.wave != Wave::Random) {
        for (int j = 0; j < n; ++j) s.noise[j] = (random.next() - 0.5) * 6e-8;
        renderShape(st.mod1, s.lfo1, n);
        renderShape(st.mod2, s.lfo2, n);
        return;
    }
    for (int j = 0; j < n; ++j) {
        s.noise[j] = (random.next() - 0.5) * 6e-8;
        stepModulators(st.mod1, st.mod2, random);
        s.lfo1[j] = st.mod1.output;
        s.lfo2[j] = st.mod2.output;
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
    tapPosition(writeIndex, st.baseDelay, posL, s.rowL[j], s.fracL[j]);
    tapPosition(writeIndex, st.baseDelay, posR, s.rowR[j], s.fracR[j]);
}

// All of the above for frames 0..n-1. depth and spread are p5 and p17.
inline void prepare(EngineState& st, BlockScratch& s, int n, float depth, float spread, RandomStream& random) {
    modulate(st, s, n, random);
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
    for (; j < n; ++j) {
        writeIndex = (writeIndex + step) & DelayLine::kMask;
        tapPositions(st, s, j, writeIndex, spread);
    }
}

}  // namespace chunk

}  // namespace trv4
