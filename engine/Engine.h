// The signal engine: the audio half of the plug-in object.
//
// Owns every piece of engine state (delay buffers, filters, modulators,
// limiter, meter) inside the object, so nothing is allocated while audio runs.
// The block operations are called on the host's audio thread; setSampleRate,
// suspend and resume on the thread that dispatches; meterLevel() and
// hostTempo() are polled by the editor on its window thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "engine/BlockScratch.h"
#include "engine/EngineState.h"
#include "engine/ParamIndex.h"
#include "engine/Random.h"

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

    // Read access for tests and diagnostics (audio thread, or any thread
    // while no block runs): every field of the running state.
    const EngineState& state() const { return st; }

    // The straightforward implementation of the block operation: the sample
    // step in plain scalar code, one numbered step after the other. The fast
    // path of processReplacing stays within 1e-6 of it; tests compare the
    // two. Same contract as processReplacing. Defined in the separate
    // trv4_engine_reference library, which the plug-in module does not link.
    void processReference(const float* const* inputs, float* const* outputs, int32_t n);

    // Whether the fast path runs its widest loops in 256-bit vectors. On by
    // construction where the processor and the system support AVX; the
    // results are the same bits either way. Tests turn it off to hold the
    // two against each other; on where AVX is missing, it stays off.
    void useWideVectors(bool on);
    bool wideVectors() const { return wide; }

private:
    void applyPendingRamp();
    void updateBlock();
    void referenceStep(float inL, float inR, float& outL, float& outR, RandomStream& random);
    void preRoll();
    void clearSignalState();
    void recoverFromNonFinite();
    void publish();
    template <bool kAccumulate>
    void processFast(const float* const* inputs, float* const* outputs, int32_t n);

    // The inputs the costly steps of the per-block update (powers, tangents,
    // cosines) last ran with; a step whose inputs are unchanged keeps its
    // results, which are the same bits it would compute again. Not a number
    // until the first run.
    struct UpdateInputs {
        static constexpr float kNever = __builtin_nanf("");
        std::array<float, 2> delay{kNever, kNever};             // Delay, delay scale
        std::array<float, 3> bandpass{kNever, kNever, kNever};  // High, Low, T
        std::array<float, 3> gains{kNever, kNever, kNever};     // Level, -20dB, Mix
        std::array<float, 2> hiCut{kNever, kNever};             // Hi-Cut, T
        // Wave 1, Rate 1, Wave 2, Rate 2, Offset, and the working rate.
        std::array<float, 5> modulators{kNever, kNever, kNever, kNever, kNever};
        double modulatorRate = kNever;
    };

    const ParameterArray& params;
    HostTimeSource& time;
    EngineState st{};
    UpdateInputs lastUpdate;
    BlockScratch scratch{};
    bool wide = false;

    // Shared with other threads, single relaxed stores.
    std::atomic<float> publishedMeter{0};
    std::atomic<double> publishedTempo{0};
    std::atomic<unsigned> publishedWave1{0};
    std::atomic<unsigned> publishedWave2{0};
    // armRamp() may run on any thread while a block runs: it leaves the ramp
    // length of that moment and bumps a count; the audio thread starts the
    // ramp when it sees a new count at the start of its next block.
    std::atomic<int32_t> sharedRampLength{0};
    std::atomic<int32_t> armedRampLength{0};
    std::atomic<uint32_t> armCount{0};
    uint32_t seenArmCount = 0;
};

}  // namespace trv4
