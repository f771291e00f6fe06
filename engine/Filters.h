// The engine's recursive filters as plain structs: coefficients, states and a
// one-sample step for one channel (channel 0 left, 1 right). States are laid
// out [.. ][channel] so that the block code can load both channels as one
// two-lane vector. All of them are owned by the engine and run on the audio
// thread; the per-block update (on the same thread) writes the coefficients.
#pragma once

#include <cstdint>

namespace trv4 {

// Coefficients of the fourth-order elliptic input low-pass, one set per
// buffer rate: two sections with numerator 1 + b1 z^-1 + z^-2 and an overall
// gain. Flat within 0.1 dB to 20 kHz, -1.3 dB at 22.05 kHz, about -45 dB and
// lower from 40 kHz up.
struct InputLowpassSet {
    double b1[2];
    double a1[2];
    double a2[2];
    double gain;
};

extern const InputLowpassSet kInputLowpass176k;  // buffer at 176.4 kHz (set A)
extern const InputLowpassSet kInputLowpass192k;  // buffer at 192 kHz (set B)

// Band-limits the input before it is written at the oversampled rate.
struct InputLowpass {
    const InputLowpassSet* set = &kInputLowpass176k;
    alignas(16) double s1[2][2] = {};  // [section][channel], float64 states
    alignas(16) double s2[2][2] = {};

    void reset() { *this = InputLowpass{set}; }

    // Per section: w = x - a1 s1 - a2 s2; y = b1 s1 + w + s2; then y * gain.
    float run(int ch, float x) {
        double y = x;
        for (int k = 0; k < 2; ++k) {
            const double w = y - set->a1[k] * s1[k][ch] - set->a2[k] * s2[k][ch];
            y = set->b1[k] * s1[k][ch] + w + s2[k][ch];
            s2[k][ch] = s1[k][ch];
            s1[k][ch] = w;
        }
        return static_cast<float>(y * set->gain);
    }
};

// Band-pass in the feedback path (b1 = 0) and the scaled feedback value that
// the next sample adds to the input.
struct FeedbackBandpass {
    float b0 = 0, b2 = 0, a1 = 0, a2 = 0;  // float32 coefficients
    float gain = 0;                        // -0.99 .. +0.99
    alignas(16) double s1[2] = {};         // [channel], float64 states
    alignas(16) double s2[2] = {};
    float feedback[2] = {};  // band-passed, scaled tap of the last sample

    void resetState() {
        s1[0] = s1[1] = s2[0] = s2[1] = 0;
        feedback[0] = feedback[1] = 0;
    }

    // w = tap - a1 s1 - a2 s2; fb = b0 w + b2 s2; feedback = fb * gain.
    void run(int ch, double tap) {
        const double w = tap - a1 * s1[ch] - a2 * s2[ch];
        const double fb = b0 * w + b2 * s2[ch];
        s2[ch] = s1[ch];
        s1[ch] = w;
        feedback[ch] = static_cast<float>(fb * gain);
    }
};

// Sixth-order low-pass after the modulation stages: three biquad sections in
// series with quality factors 0.5, 0.7 and 1.9, float32 states.
struct HiCut {
    static constexpr int kSections = 3;
    float c0[kSections] = {}, c1[kSections] = {}, c2[kSections] = {};
    float a1[kSections] = {}, a2[kSections] = {};
    float s1[kSections][2] = {};  // [section][channel]
    float s2[kSections][2] = {};

    void resetState() {
        for (int k = 0; k < kSections; ++k) s1[k][0] = s1[k][1] = s2[k][0] = s2[k][1] = 0;
    }

    // Per section: w = x - a1 s1 - a2 s2; x = c0 w + c1 s1 + c2 s2.
    double run(int ch, double x) {
        for (int k = 0; k < kSections; ++k) {
            const double z1 = s1[k][ch], z2 = s2[k][ch];
            const double w = x - a1[k] * z1 - a2[k] * z2;
            x = c0[k] * w + c1[k] * z1 + c2[k] * z2;
            s2[k][ch] = s1[k][ch];
            s1[k][ch] = static_cast<float>(w);
        }
        return x;
    }
};

// Bilinear one-pole low-pass at 63 rad/s that glides the base delay and the
// depth while a smoothing ramp runs. Its states sit next to the values they
// smooth in the engine state.
struct Smoother {
    float b0 = 0, b1 = 0, a = 0;  // set at resume; DC gain 1

    // w = x - a z; y = b0 w + b1 z; z = w (float32).
    double run(double x, float& z) const {
        const double w = x - a * static_cast<double>(z);
        const double y = b0 * w + b1 * static_cast<double>(z);
        z = static_cast<float>(w);
        return y;
    }
};

}  // namespace trv4
