// The one process-wide pseudo-random generator, uniform on [0, 1). Every
// effect object of the process shares it; each construction reseeds it from
// the high-resolution clock. Draws are made on the audio thread: dither first,
// then modulator 1, then modulator 2 at each sample step.
//
// The generator is a 64-bit Weyl sequence through the splitmix64 finaliser:
// a few integer operations per draw, no locks, no system calls. Values are
// multiples of 2^-24, so every draw is exact as a float32 and stays below 1.0
// when stored as one (the random wave shape relies on that).
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

    double next() {
        state += 0x9E3779B97F4A7C15ull;
        uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<double>(z >> 40) * (1.0 / 16777216.0);
    }

    void commit() const { setRandomState(state); }

private:
    uint64_t state;
};

}  // namespace trv4
