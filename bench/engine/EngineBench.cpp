// processReplacing cost per stereo frame and as a real-time factor, for four
// factory programs at four rates, block 512, Hi-Cut off (the programs' own
// setting) and on (p19 = 0.5). Full-scale noise input; the smoothing ramp of
// the program change has run out before timing starts. Also the input mend
// on its own.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/Engine.h"
#include "engine/InputMend.h"
#include "engine/Random.h"
#include "plugin/FactoryPrograms.h"

namespace {

using trv4::Engine;

class NoHostTime : public trv4::HostTimeSource {
public:
    bool queryHostTime(int32_t, trv4::HostTime&) override { return false; }
};

constexpr int kBlock = 512;

void processReplacing(benchmark::State& state) {
    const int program = static_cast<int>(state.range(0));
    const double sampleRate = static_cast<double>(state.range(1));
    const bool hiCut = state.range(2) != 0;

    trv4::ParameterArray params{};
    NoHostTime host;
    auto engine = std::make_unique<Engine>(params, host);
    trv4::seedRandom(1);
    engine->suspend();
    for (int i = 0; i < trv4::kNumParams; ++i) {
        params[i].store(trv4::kFactoryProgramValues[program][i], std::memory_order_relaxed);
        engine->armRamp();
    }
    if (hiCut) params[trv4::kHiCut].store(0.5f, std::memory_order_relaxed);
    engine->setSampleRate(static_cast<float>(sampleRate));
    engine->resume();

    std::vector<float> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
    uint32_t x = 12345;
    for (int i = 0; i < kBlock; ++i) {
        x = x * 1664525u + 1013904223u;
        inL[i] = static_cast<float>(x) / 2147483648.0f - 1.0f;
        x = x * 1664525u + 1013904223u;
        inR[i] = static_cast<float>(x) / 2147483648.0f - 1.0f;
    }
    const float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};
    // Past the ramp: a second of audio.
    for (int i = 0; i * kBlock < sampleRate; ++i) engine->processReplacing(in, out, kBlock);

    for (auto _ : state) {
        engine->processReplacing(in, out, kBlock);
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(trv4::kFactoryProgramNames[program]);
    // CPU time per stereo frame, and seconds of audio per second of CPU
    // time (the real-time factor).
    state.counters["per_frame"] = benchmark::Counter(kBlock, benchmark::Counter::kIsIterationInvariantRate |
                                                                 benchmark::Counter::kInvert);
    state.counters["realtime"] = benchmark::Counter(kBlock / sampleRate, benchmark::Counter::kIsIterationInvariantRate);
}

void programsAndRates(benchmark::internal::Benchmark* b) {
    for (int program : {0, 14, 17, 35})
        for (int rate : {44100, 48000, 96000, 192000})
            for (int hiCut : {0, 1}) b->Args({program, rate, hiCut});
}

BENCHMARK(processReplacing)->Apply(programsAndRates)->ArgNames({"program", "rate", "hicut"});

// The mend of the host's samples on its own (load two floats, widen, mend),
// per stereo frame, against the same loop without the mend (mend:0): the
// work it adds to every frame of the block loop, where it also overlaps
// with the recursions.
void inputMend(benchmark::State& state) {
    const bool mend = state.range(0) != 0;
    std::vector<float> inL(kBlock), inR(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        inL[i] = static_cast<float>(i % 97) / 50.0f - 1.0f;
        inR[i] = i % 61 == 0 ? 1e30f : 0.25f;
    }
    for (auto _ : state) {
        __m128d sum = _mm_setzero_pd();
        for (int j = 0; j < kBlock; ++j) {
            const __m128d in = _mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(&inL[j]), _mm_load_ss(&inR[j])));
            sum = _mm_add_pd(sum, mend ? trv4::mendInput(in) : in);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["per_frame"] = benchmark::Counter(kBlock, benchmark::Counter::kIsIterationInvariantRate |
                                                                 benchmark::Counter::kInvert);
}

BENCHMARK(inputMend)->Arg(0)->Arg(1)->ArgName("mend");

}  // namespace

BENCHMARK_MAIN();
