// The signal engine: the audio half of the plug-in object.
//
// Owns every piece of engine state (delay buffers, filters, modulators,
// limiter, meter) inside the object, so nothing is allocated while audio runs.
// The block operations are called on the host's audio thread; setSampleRate,
// suspend and resume on the thread that dispatches; meterLevel() and
// hostTempo() are polled by the editor on its window thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/ParamIndex.h"

namespace trv4 {

// What the engine learns from the host's time information.
struct HostTime {
    double samplePos = 0;  // song position in samples
    double tempo = 0;      // beats per minute
    int32_t flags = 0;     // the host's time-info flags (playing 0x2, tempo 0x400, signature 0x2000)
};

// Asked once per block while Sync. is on. Answers false when the host has no
// time information. Must not allocate, lock or block.
class HostTimeSource {
public:
    virtual bool queryHostTime(int32_t requestMask, HostTime& out) = 0;

protected:
    ~HostTimeSource() = default;
};

// The current parameter set: single aligned 32-bit stores, read by the engine
// while another thread may write.
using ParameterArray = std::atomic<float>[kNumParams];

class Engine {
public:
    Engine(const ParameterArray& params, HostTimeSource& time);

    // Stores the rate and marks it changed; takes effect at the next resume.
    void setSampleRate(float sampleRate);
    void suspend();
    void resume();

    // Every accepted parameter change re-arms the smoothing ramp.
    void armRamp();

    // Per-block update, then n sample steps; n <= 0 runs only the update.
    // Inputs are read before outputs are written, so they may alias.
    void processReplacing(const float* const* inputs, float* const* outputs, int32_t n);
    void processAccumulating(const float* const* inputs, float* const* outputs, int32_t n);

    float meterLevel() const;
    double hostTempo() const;
    // Wave numbers (0..10) derived at the last per-block update; 0 after suspend.
    unsigned wave1() const;
    unsigned wave2() const;

    double sampleRate() const;

private:
    const ParameterArray& params;
    HostTimeSource& time;
    double rate = 44100;
    std::atomic<float> meter{0};
    std::atomic<double> tempo{0};
};

}  // namespace trv4
