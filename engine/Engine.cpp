#include "engine/Engine.h"

namespace trv4 {

// First cut: passes the input through until the sample step lands.
Engine::Engine(const ParameterArray& p, HostTimeSource& t) : params(p), time(t) {}

void Engine::setSampleRate(float sampleRate) { rate = sampleRate; }
void Engine::suspend() {}
void Engine::resume() {}
void Engine::armRamp() {}

void Engine::processReplacing(const float* const* in, float* const* out, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        float l = in[0][i], r = in[1][i];
        out[0][i] = l;
        out[1][i] = r;
    }
}

void Engine::processAccumulating(const float* const* in, float* const* out, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        float l = in[0][i], r = in[1][i];
        out[0][i] += l;
        out[1][i] += r;
    }
}

float Engine::meterLevel() const { return meter.load(std::memory_order_relaxed); }
double Engine::hostTempo() const { return tempo.load(std::memory_order_relaxed); }
unsigned Engine::wave1() const { return 0; }
unsigned Engine::wave2() const { return 0; }
double Engine::sampleRate() const { return rate; }

}  // namespace trv4
