// All running state and per-block coefficients of the engine, grouped by
// stage. Lives inside the effect object (the delay buffers make it larger
// than 1 MB), so nothing is allocated while audio runs. Written on the audio
// thread by the block operations and on the dispatching thread by
// suspend/resume, never both at once.
#pragma once

#include <cmath>
#include <cstdint>

#include "engine/DelayLine.h"
#include "engine/Filters.h"
#include "engine/HeldInput.h"
#include "engine/Modulator.h"

namespace trv4 {

// The rate every derived constant is computed from. Hosts may send anything;
// below about 40 Hz the smoothing filter at 63 rad/s would turn unstable and
// a rate that is not a number poisons every constant, so rates outside
// 1 kHz .. 10 MHz are limited to that range (not a number counts as 44.1 kHz).
// The exact comparisons that pick the supported rates use the stored rate.
inline double workingRate(double sampleRate) {
    if (std::isnan(sampleRate)) return 44100;
    return std::fmin(std::fmax(sampleRate, 1000.0), 1e7);
}

struct EngineState {
    // Rate and its derived constants (recomputed at resume when changed).
    double sampleRate = 44100;  // Hz, as the host set it
    bool sampleRateChanged = true;
    int32_t oversampling = 4;  // buffer samples written per input sample: 1, 2 or 4
    float delayScale = 0;      // normalised delay -> buffer samples; 0 at unsupported rates
    int32_t rampLength = 0;    // samples per smoothing ramp (ten time constants)
    int32_t rampCounter = 0;   // samples left in the current ramp

    // Input stage and delay.
    InputLowpass input;
    HeldInputResponse heldInput = HeldInputResponse::of(kInputLowpass176k, 4);  // follows input.set and oversampling
    DelayLine delay;

    // Base delay and depth with their smoothing states.
    Smoother smoother;
    float delayTarget = 0;   // wanted base delay, buffer samples
    float zDelay = 0;        // smoothing state of the base delay
    int32_t baseDelay = 0;   // buffer samples, used by both taps
    float zDepth = 0;        // smoothing state of the depth
    float depthSamples = 0;  // sweep width of the taps, buffer samples

    // Modulators (lfo1, lfo2 are their outputs).
    Modulator mod1;
    Modulator mod2;
    FreeModulation freeModulation;  // from the parameters and the rate
    double hostTempo = 0;           // beats per minute, last reported by the host

    // Feedback, output filter and gains.
    FeedbackBandpass feedback;
    HiCut hiCut;
    float wetGain = 0;
    float dryGain = 0;

    // Output limiter: the output gain is 1 - reduction.
    float limiterReduction = 0;
    float limiterRelease = 0;  // per-sample decay factor of the reduction

    // Peak follower for the editor's meter: instant attack, 0.2 s release.
    float meterLevel = 0;
    float meterCoefficient = 0;
};

}  // namespace trv4
