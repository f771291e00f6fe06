// The engine's cost per stereo frame through the plug-in module's process
// call (the module loaded by path, as a host does), for the programs a
// chorus user reaches for, with Hi-Cut as the program has it or at half
// (p19 = 0.5), at three rates, blocks of 512. Full-scale noise from a table
// made before timing; the smoothing ramp of the program change has run out
// before timing starts. In the same run, where the build found it, TAP
// Chorus/Flanger (LADSPA, controls at their defaults) measured the same
// way: the lightest chorus among the peers, and the yardstick of our cost.
// Times are CPU time of the benchmark thread. Also the input mend on its own.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/InputMend.h"
#include "bench/timer/ProcessCase.h"

#ifdef TRV4_TAP_CHORUS_PATH
#include <dlfcn.h>
#include <ladspa.h>
#endif

namespace {

using trv4bench::kBlock;
using trv4bench::NoiseTable;
constexpr int kWideChorus = 0;
constexpr int kLeslie = 35;

const NoiseTable& noise() {
    static const NoiseTable table;
    return table;
}

// Nanoseconds of CPU time per stereo frame, and seconds of audio per second
// of CPU time (the real-time factor).
void countFrames(benchmark::State& state, double sampleRate) {
    state.counters["per_frame"] =
        benchmark::Counter(kBlock, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["realtime"] = benchmark::Counter(kBlock / sampleRate, benchmark::Counter::kIsIterationInvariantRate);
}

trv4host::PluginModule* module() {
    static std::unique_ptr<trv4host::PluginModule> loaded = [] {
        std::string error;
        auto m = trv4host::PluginModule::Load(TRV4_MODULE_PATH, error);
        if (!m) std::fprintf(stderr, "trv4_engine_bench: %s\n", error.c_str());
        return m;
    }();
    return loaded.get();
}

void moduleProcess(benchmark::State& state) {
    const int program = static_cast<int>(state.range(0));
    const double sampleRate = static_cast<double>(state.range(1));
    const bool hiCutAtHalf = state.range(2) != 0;
    if (!module()) {
        state.SkipWithError("module not loaded");
        return;
    }
    trv4host::Host host;
    host.sampleRate = sampleRate;
    trv4host::Effect fx(host.instantiate(module()->entry()));
    const NoiseTable& in = noise();
    std::vector<float> outL, outR;
    trv4bench::startCase(fx, program, hiCutAtHalf, sampleRate, in, outL, outR);

    for (auto _ : state) {
        fx.processReplacing(in.left.data(), in.right.data(), outL.data(), outR.data(), kBlock);
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
    fx.suspend();
    state.SetLabel(fx.text(vst::effGetProgramName) + (hiCutAtHalf ? ", Hi-Cut 0.5" : ""));
    countFrames(state, sampleRate);
}

void programsAndRates(benchmark::internal::Benchmark* b) {
    for (int rate : {44100, 96000, 192000}) {
        b->Args({kWideChorus, rate, 0});
        b->Args({kWideChorus, rate, 1});
        b->Args({kLeslie, rate, 0});
    }
}

BENCHMARK(moduleProcess)->Apply(programsAndRates)->ArgNames({"program", "rate", "hicut"});

#ifdef TRV4_TAP_CHORUS_PATH

// A LADSPA control's default from its range hints (ladspa.h describes them).
LADSPA_Data defaultValue(const LADSPA_PortRangeHint& hint, double sampleRate) {
    const LADSPA_PortRangeHintDescriptor d = hint.HintDescriptor;
    const double scale = LADSPA_IS_HINT_SAMPLE_RATE(d) ? sampleRate : 1.0;
    const double lo = hint.LowerBound * scale, hi = hint.UpperBound * scale;
    const bool logarithmic = LADSPA_IS_HINT_LOGARITHMIC(d) && lo > 0 && hi > 0;
    auto between = [&](double share) {
        return logarithmic ? std::exp(std::log(lo) * (1 - share) + std::log(hi) * share)
                           : lo * (1 - share) + hi * share;
    };
    switch (d & LADSPA_HINT_DEFAULT_MASK) {
    case LADSPA_HINT_DEFAULT_MINIMUM: return static_cast<LADSPA_Data>(lo);
    case LADSPA_HINT_DEFAULT_LOW: return static_cast<LADSPA_Data>(between(0.25));
    case LADSPA_HINT_DEFAULT_MIDDLE: return static_cast<LADSPA_Data>(between(0.5));
    case LADSPA_HINT_DEFAULT_HIGH: return static_cast<LADSPA_Data>(between(0.75));
    case LADSPA_HINT_DEFAULT_MAXIMUM: return static_cast<LADSPA_Data>(hi);
    case LADSPA_HINT_DEFAULT_1: return 1;
    case LADSPA_HINT_DEFAULT_100: return 100;
    case LADSPA_HINT_DEFAULT_440: return 440;
    default: return 0;
    }
}

void tapChorusFlanger(benchmark::State& state) {
    const double sampleRate = static_cast<double>(state.range(0));
    void* library = dlopen(TRV4_TAP_CHORUS_PATH, RTLD_NOW | RTLD_LOCAL);
    auto descriptorOf =
        library ? reinterpret_cast<LADSPA_Descriptor_Function>(dlsym(library, "ladspa_descriptor")) : nullptr;
    const LADSPA_Descriptor* d = descriptorOf ? descriptorOf(0) : nullptr;
    if (!d) {
        state.SkipWithError("TAP Chorus/Flanger not loaded");
        return;
    }
    LADSPA_Handle fx = d->instantiate(d, static_cast<unsigned long>(sampleRate));
    const NoiseTable& in = noise();
    std::vector<float> outL(kBlock), outR(kBlock);
    std::vector<LADSPA_Data> controls(d->PortCount);
    const float* inputs[2] = {in.left.data(), in.right.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    int audioIn = 0, audioOut = 0;
    for (unsigned long p = 0; p < d->PortCount; ++p) {
        const LADSPA_PortDescriptor port = d->PortDescriptors[p];
        if (LADSPA_IS_PORT_CONTROL(port)) {
            controls[p] = defaultValue(d->PortRangeHints[p], sampleRate);
            d->connect_port(fx, p, &controls[p]);
        } else if (LADSPA_IS_PORT_INPUT(port)) {
            d->connect_port(fx, p, const_cast<float*>(inputs[audioIn++ & 1]));
        } else {
            d->connect_port(fx, p, outputs[audioOut++ & 1]);
        }
    }
    if (d->activate) d->activate(fx);
    for (int i = 0; i * kBlock < sampleRate; ++i) d->run(fx, kBlock);

    for (auto _ : state) {
        d->run(fx, kBlock);
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
    if (d->deactivate) d->deactivate(fx);
    d->cleanup(fx);
    state.SetLabel(d->Name);
    countFrames(state, sampleRate);
}

BENCHMARK(tapChorusFlanger)->Arg(44100)->Arg(96000)->Arg(192000)->ArgName("rate");

#endif

// The mend of the host's samples on its own (both channels into the
// [left, right] pairs the block loop reads), per stereo frame, against the
// same interleave without the mend (mend:0): the work it adds to each block.
void inputMend(benchmark::State& state) {
    const bool mend = state.range(0) != 0;
    std::vector<float> inL(kBlock), inR(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        inL[i] = static_cast<float>(i % 97) / 50.0f - 1.0f;
        inR[i] = i % 61 == 0 ? 1e30f : 0.25f;
    }
    alignas(16) static float pairs[kBlock][2];
    for (auto _ : state) {
        if (mend) {
            trv4::mendInputs(inL.data(), inR.data(), kBlock, pairs);
        } else {
            for (int j = 0; j < kBlock; ++j) {
                pairs[j][0] = inL[j];
                pairs[j][1] = inR[j];
            }
        }
        benchmark::DoNotOptimize(pairs);
        benchmark::ClobberMemory();
    }
    state.counters["per_frame"] =
        benchmark::Counter(kBlock, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(inputMend)->Arg(0)->Arg(1)->ArgName("mend");

}  // namespace

BENCHMARK_MAIN();
