// Test signals and what the checks demand of the output: every sample a
// number, none subnormal, peaks at most 2.0 (the limiter's ceiling). Plus
// the render loop the checks share. Validating thread, or the one thread a
// check processes on.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/trv4/validate/Session.h"

namespace trv4tool::validate {

struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(size_t frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}
    size_t frames() const { return left.size(); }
};

enum class Signal { kNoise, kSilence, kSquare, kImpulse };
const char* signalName(Signal signal);
// Full-scale noise (independent per channel), silence, a full-scale 220 Hz
// square wave, or a unit impulse at the first frame.
Stereo makeSignal(Signal signal, size_t frames, double rate, uint32_t seed);

// The highest output peak the limiter may leave: 2.0 exactly, however far
// above it the signal before the limiter goes (random automation from a
// second thread, feedback high while the band-pass edges jump, has driven
// it beyond +110 dB).
constexpr float kPeakCeiling = 2.0f;

struct Analysis {
    size_t frames = 0;
    size_t nonFinite = 0, subnormal = 0;
    float peak = 0;
    double sumSquares = 0;

    void add(const float* samples, size_t n);
    void add(const Stereo& audio);
    double rms() const { return frames ? std::sqrt(sumSquares / double(frames)) : 0.0; }
    // Empty when the audio is sound; else what is wrong, in a few words.
    std::string fault() const;
};

// Renders in through the instance in blocks (replacing, separate buffers);
// blockSize 0 picks a random size from 1 to 4096 per block.
Stereo render(Instance& instance, const Stereo& in, int blockSize, Session* random = nullptr);

}  // namespace trv4tool::validate
