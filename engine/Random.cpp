#include "engine/Random.h"

#include <atomic>
#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#else
#include <time.h>
#endif

namespace trv4 {

namespace {

// One state for the whole process. Relaxed loads and stores only: two effect
// objects drawing at the same moment on different audio threads may repeat a
// value, which is harmless for dither and random modulation, and never blocks.
std::atomic<uint64_t> gState{0x9E3779B97F4A7C15ull};

uint64_t clockTicks() {
#if defined(_WIN32)
    LARGE_INTEGER counter;
    if (QueryPerformanceCounter(&counter) && counter.QuadPart != 0) return static_cast<uint64_t>(counter.QuadPart);
    return GetTickCount();
#else
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000ull + static_cast<uint64_t>(ts.tv_nsec);
#endif
}

}  // namespace

// Consecutive clock readings differ in their low bits only; the multiply
// spreads them over the whole state.
void seedRandomFromClock() { seedRandom(clockTicks() * 0x9E3779B97F4A7C15ull); }

void seedRandom(uint64_t seed) { gState.store(seed, std::memory_order_relaxed); }

uint64_t randomState() { return gState.load(std::memory_order_relaxed); }

void setRandomState(uint64_t state) { gState.store(state, std::memory_order_relaxed); }

double nextRandom() {
    RandomStream stream;
    double r = stream.next();
    stream.commit();
    return r;
}

}  // namespace trv4
