// Test harness around one engine: its parameter set, a scripted host clock,
// and helpers to set parameters the way the shell does (clamp, store, re-arm
// the ramp) and to run blocks. Single-threaded.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/Engine.h"

namespace trv4::test {

// A host whose time information the test sets; counts the requests.
class ScriptedHostTime : public HostTimeSource {
public:
    bool available = false;
    HostTime info;
    int requests = 0;
    int32_t lastMask = 0;

    bool queryHostTime(int32_t requestMask, HostTime& out) override {
        ++requests;
        lastMask = requestMask;
        if (!available) return false;
        out = info;
        return true;
    }
};

// Parameter rows of a few factory programs, as the shell's table holds them.
struct ProgramRow {
    const char* name;
    float values[kNumParams];
};

inline const ProgramRow kWideChorus = {
    "Wide Chorus", {0.6f, 0.8f, 0.5f, 0.1f, 0.34f, 0.3f, 0, 0.1f, 0.26f, 0, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0}};
inline const ProgramRow kTapeDelay = {
    "Tape Delay", {0.86f, 0.8f, 0.2f, 0.6f, 0.2f, 0.02f, 0, 1, 0.7f, 0, 0.3f, 0, 0.7f, 0.8f, 0.5f, 0, 0, 0, 0, 1, 0}};
inline const ProgramRow kGuitarFlanger1 = {
    "Guitar Flanger #1",
    {0.46f, 0.6f, 0.5f, 0.5f, 0.58f, 0.5f, 0, 0, 0, 0.5f, 0, 0, 0.85f, 0.8f, 0.5f, 0, 0, 1, 1, 1, 0}};
inline const ProgramRow kLeslie = {
    "Leslie", {0.46f, 0.8f, 1, 0.1f, 0.5f, 1, 0.4f, 0, 0, 0.75f, 0.5f, 0, 0.5f, 1, 0, 0, 0, 0, 0, 1, 0}};
inline const ProgramRow kRandomPanning = {"Random Panning",
                                          {0, 0.8f, 1, 0, 0, 0, 0, 1, 0.9f, 0, 1, 0, 0.5f, 1, 0, 0, 0, 0, 0, 1, 0}};
inline const ProgramRow kSpreadTheLove = {
    "Spread The Love",
    {0.07f, 0.9f, 0.75f, 0.7f, 0.57f, 0.15f, 0.2f, 0.4f, 0.66f, 0.5f, 0.4f, 0.5f, 0.25f, 1, 0, 0, 0, 1, 1, 1, 0}};
inline const ProgramRow kVibrato = {"Vibrato",
                                    {0.36f, 0.8f, 1, 0.1f, 0.83f, 1, 0, 0, 0, 0, 0, 0, 0.5f, 1, 0, 0, 0, 0, 0, 1, 0}};

class EngineRig {
public:
    ParameterArray params{};
    ScriptedHostTime host;
    std::unique_ptr<Engine> engine;

    EngineRig() : engine(std::make_unique<Engine>(params, host)) { engine->suspend(); }

    // The shell's setParameter: clamp to 0..1 (not a number to 0), store,
    // re-arm the ramp.
    void set(int index, float value) {
        if (!(value >= 0)) value = 0;
        if (value > 1) value = 1;
        params[index].store(value, std::memory_order_relaxed);
        engine->armRamp();
    }

    void load(const ProgramRow& row) {
        for (int i = 0; i < kNumParams; ++i) set(i, row.values[i]);
    }

    void start(float sampleRate) {
        engine->setSampleRate(sampleRate);
        engine->resume();
    }

    // Runs in and writes out (both interleaved per channel: in[0], in[1]) in
    // blocks of blockSize through processReplacing (or the reference path).
    void render(const std::vector<float>& inL, const std::vector<float>& inR, std::vector<float>& outL,
                std::vector<float>& outR, int blockSize, bool reference = false) {
        const size_t n = inL.size();
        outL.assign(n, 0);
        outR.assign(n, 0);
        for (size_t done = 0; done < n; done += blockSize) {
            const int32_t count = static_cast<int32_t>(std::min<size_t>(blockSize, n - done));
            const float* in[2] = {inL.data() + done, inR.data() + done};
            float* out[2] = {outL.data() + done, outR.data() + done};
            if (reference)
                engine->processReference(in, out, count);
            else
                engine->processReplacing(in, out, count);
        }
    }

    const EngineState& state() const { return engine->state(); }
};

// Deterministic test signals.
inline std::vector<float> noise(size_t n, uint32_t seed, float amplitude = 1.0f) {
    std::vector<float> v(n);
    uint32_t x = seed * 2654435761u + 1;
    for (auto& s : v) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        s = amplitude * (static_cast<float>(x) / 2147483648.0f - 1.0f);
    }
    return v;
}

inline std::vector<float> sine(size_t n, double hz, double sampleRate, float amplitude = 0.5f) {
    std::vector<float> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<float>(amplitude * std::sin(2 * 3.141592653589793 * hz * i / sampleRate));
    return v;
}

inline bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace trv4::test
