// Per-chunk values the fast block path computes ahead of its serial loop:
// the host's samples as the chain takes them, dither, modulator outputs and
// the gains they make, the tap read positions of each frame and how far
// behind the newest row they read. Pairs are [left, right], so that the loop
// loads both channels at once. Owned by the engine, used only on the audio thread.
#pragma once

#include <cstdint>

namespace trv4 {

struct BlockScratch {
    static constexpr int kFrames = 256;
    alignas(16) float in[kFrames][2];  // the host's samples, mended (InputMend.h)
    alignas(16) double noise[kFrames];
    alignas(16) float lfo1[kFrames];
    alignas(16) float lfo2[kFrames];
    // Amplitude modulation and auto-pan gains ([left, right]) of each frame,
    // prepared only while AM or Pan is above 0.
    alignas(16) double am[kFrames];
    alignas(16) double pan[kFrames][2];
    alignas(16) int32_t rowL[kFrames];   // first row of the left tap
    alignas(16) int32_t rowR[kFrames];   // first row of the right tap
    alignas(16) float frac[kFrames][2];  // weight of each tap's second row
    // Rows between the newest row after the frame's writes and the nearer
    // of the two taps' first rows.
    alignas(16) int32_t age[kFrames];
    int32_t nearestAge;  // the smallest age of the chunk
};

}  // namespace trv4
