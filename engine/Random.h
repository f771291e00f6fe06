// The one process-wide pseudo-random generator, uniform on [0, 1). Every
// effect object of the process shares it; each construction reseeds it from
// the high-resolution clock. Draws are made on the audio thread: dither first,
// then modulator 1, then modulator 2 at each sample step.
//
// The generator is a 64-bit linear congruential sequence (Knuth's MMIX
// constants, full period 2^64) whose top 24 bits make the value: one multiply
// and one add per draw, no locks, no system calls. Values are multiples of
// 2^-24, so every draw is exact as a float32 and stays below 1.0 when stored
// as one (the random wave shape relies on that).
#pragma once

#include <cstdint>

namespace trv4 {

// Reads the high-resolution counter; called at construction, never while
// audio runs.
void seedRandomFromClock();
double nextRandom();

// Deterministic seeding and state access for tests that replay a render.
void seedRandom(uint64_t seed);
uint64_t randomState();
void setRandomState(uint64_t state);

// A block's worth of draws from the shared state: loads it once, draws in
// registers and stores it back with commit(). The sequence is the same as
// that many nextRandom() calls.
class RandomStream {
public:
    RandomStream() : state(randomState()) {}

    static constexpr uint64_t kMultiplier = 6364136223846793005ull;
    static constexpr uint64_t kIncrement = 1442695040888963407ull;

    double next() {
        state = state * kMultiplier + kIncrement;
        return toUnit(state);
    }

    // n draws into out, the same values as n calls of next(). Two
    // interleaved sequences, each stepping two draws at once, so the
    // multiply chain is half as long.
    void fill(double* out, int n) {
        constexpr uint64_t kMultiplier2 = kMultiplier * kMultiplier;
        constexpr uint64_t kIncrement2 = kMultiplier * kIncrement + kIncrement;
        uint64_t even = state * kMultiplier + kIncrement;
        uint64_t odd = even * kMultiplier + kIncrement;
        int j = 0;
        for (; j + 2 <= n; j += 2) {
            out[j] = toUnit(even);
            out[j + 1] = toUnit(odd);
            state = odd;
            even = even * kMultiplier2 + kIncrement2;
            odd = odd * kMultiplier2 + kIncrement2;
        }
        if (j < n) out[j] = next();
    }

    void commit() const { setRandomState(state); }

private:
    static double toUnit(uint64_t s) { return static_cast<double>(static_cast<int32_t>(s >> 40)) * (1.0 / 16777216.0); }

    uint64_t state;
};

}  // namespace trv4
