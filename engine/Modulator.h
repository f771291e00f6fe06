// The two low-frequency modulators: a 32-bit phase accumulator, an increment
// per output sample and one of eleven unipolar wave shapes (output 0..1).
// Phase 0 is a shape's minimum and phase 2^31 its maximum.
//
// Owned by the engine. setupModulators() runs in the per-block update and
// step() once per sample, both on the audio thread (the pre-roll of resume
// runs them on the dispatching thread while no block runs).
#pragma once

#include <cmath>
#include <cstdint>

#include "engine/Random.h"
#include "engine/Sine.h"

namespace trv4 {

enum class Wave : uint16_t {
    Off = 0,                // 0
    RaisedCosine,           // 0.5 s + 0.5, s = sin(theta - pi/2)
    SignedSquareCosine,     // 0.5 s |s| + 0.5
    SquaredCosine,          // (0.5 s + 0.5)^2: narrow peak
    InvertedSquaredCosine,  // 1 - (0.5 sin(theta + pi/2) + 0.5)^2: wide peak
    Triangle,               // 1 - |x|
    SignedSquareTriangle,   // 0.5 t |t| + 0.5, t = 2 (1 - |x|) - 1
    SquaredTriangle,        // (1 - |x|)^2
    InvertedParabola,       // 1 - x^2
    FastRiseFall,           // 1 - x^2 rising, (x - 1)^2 falling
    Random,                 // glides from one random value to the next each cycle
};

constexpr int kNumWaves = 11;

struct Modulator {
    Wave wave = Wave::Off;
    float rate = 0;          // Hz
    uint32_t increment = 0;  // phase advance per sample; one cycle is 2^32
    uint32_t phase = 0;
    float newRandom = 0;  // target of the random shape's current cycle
    float oldRandom = 0;  // where the current cycle started
    float output = 0;     // last value, 0..1

    // Everything but the increment, which lasts until the next setup.
    void clear() { *this = Modulator{Wave::Off, 0, increment}; }
};

// theta = P * 1.46291807927e-9 rad: one cycle is about 2 pi. The constants
// are used as written, not 2 pi / 2^32 and pi / 2 to full precision: the
// shapes are defined with them.
constexpr double kPhaseToRadians = 1.46291807927e-9;
constexpr double kQuarterTurn = 1.5707963268;

// Output of shapes 0 to 9 at phase P. x runs from -1 at P = 0 through 0 at
// P = 2^31 towards 1.
inline float shapeValue(Wave wave, uint32_t phase) {
    const double theta = phase * kPhaseToRadians;
    const double x = static_cast<int32_t>(phase - 0x80000000u) / 2147483648.0;
    switch (wave) {
    case Wave::RaisedCosine: return static_cast<float>(0.5 * modulatorSine(theta - kQuarterTurn) + 0.5);
    case Wave::SignedSquareCosine: {
        const float s = static_cast<float>(modulatorSine(theta - kQuarterTurn));
        return static_cast<float>(0.5 * s * std::fabs(s) + 0.5);
    }
    case Wave::SquaredCosine: {
        const double v = 0.5 * modulatorSine(theta - kQuarterTurn) + 0.5;
        return static_cast<float>(v * v);
    }
    case Wave::InvertedSquaredCosine: {
        const double v = 0.5 * modulatorSine(theta + kQuarterTurn) + 0.5;
        return static_cast<float>(1 - v * v);
    }
    case Wave::Triangle: return static_cast<float>(1 - std::fabs(x));
    case Wave::SignedSquareTriangle: {
        const float t = static_cast<float>(2 * (1 - std::fabs(x)) - 1);
        return static_cast<float>(0.5 * t * std::fabs(t) + 0.5);
    }
    case Wave::SquaredTriangle: {
        const double v = 1 - std::fabs(x);
        return static_cast<float>(v * v);
    }
    case Wave::InvertedParabola: return static_cast<float>(1 - x * x);
    case Wave::FastRiseFall: return static_cast<float>(x < 0 ? 1 - x * x : (x - 1) * (x - 1));
    case Wave::Off:
    case Wave::Random: break;
    }
    return 0;
}

// The random shape: a new target is drawn when the phase wrapped at its last
// advance (P - increment > P modulo 2^32, i.e. P < increment); the output
// glides linearly from the old to the new target over the cycle.
inline float randomValue(Modulator& m, RandomStream& random) {
    const uint32_t p = m.phase;
    if (p - m.increment > p) {
        m.oldRandom = m.newRandom;
        m.newRandom = static_cast<float>(random.next());
    }
    return static_cast<float>((p * static_cast<double>(m.newRandom) + (4294967295.0 - p) * m.oldRandom) / 4294967295.0);
}

inline float modulatorValue(Modulator& m, RandomStream& random) {
    return m.wave == Wave::Random ? randomValue(m, random) : shapeValue(m.wave, m.phase);
}

// One sample of both modulators: outputs first (modulator 1 draws before
// modulator 2), then both phases advance modulo 2^32.
inline void stepModulators(Modulator& m1, Modulator& m2, RandomStream& random) {
    m1.output = modulatorValue(m1, random);
    m2.output = modulatorValue(m2, random);
    m1.phase += m1.increment;
    m2.phase += m2.increment;
}

class HostTimeSource;

// Inputs of the per-block modulator setup.
struct ModulatorSettings {
    float wave1, rate1, wave2, rate2;  // the parameters of the same names
    float offset;                      // Offset: phase of modulator 2 behind 1
    float hostOffset;                  // Host OS: phase against the song position
    bool sync;                         // Sync. > 0.5
    double sampleRate;
};

// What the modulators take from the parameters and the rate alone: shapes,
// free rates, their increments and Offset as a phase. With Wave 2 off,
// modulator 2 follows modulator 1 (its shape, rate and increment). The
// per-block update keeps it until its inputs change.
struct FreeModulation {
    Wave wave1 = Wave::Off, wave2 = Wave::Off;
    float rate1 = 0, rate2 = 0;  // Hz
    uint32_t increment1 = 0, increment2 = 0;
    uint32_t offsetPhase = 0;
};

FreeModulation freeModulation(const ModulatorSettings& s);

// Waves, rates, increments and (re-locked) phases, free as given or, with
// sync on, from the host's time information. Writes the host tempo when the
// host reports one.
void setupModulators(Modulator& m1, Modulator& m2, const ModulatorSettings& s, const FreeModulation& free,
                     HostTimeSource& time, double& hostTempo);

}  // namespace trv4
