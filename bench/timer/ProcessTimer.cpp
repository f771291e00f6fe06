// The module's process call timed without Google Benchmark, so that the
// Windows trees build it too: the 32-bit DLL under wine against the Linux
// module, the same cases measured the same way.
//
//   trv4_process_timer MODULE [RATE ...]
//
// Per rate: "Wide Chorus", "Wide Chorus" with Hi-Cut at half and "Leslie",
// blocks of 512 frames of noise from a table made before timing, after a
// second of audio (the smoothing ramp has run out). Nine repetitions of
// about half a second each; prints the median CPU time of this thread per
// stereo frame, with the lowest and highest. Not a unit test.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <time.h>
#endif

#include "bench/timer/ProcessCase.h"

namespace {

using trv4bench::kBlock;
constexpr int kRepetitions = 9;

// CPU time of this thread in seconds.
double threadSeconds() {
#if defined(_WIN32)
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
#else
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
#endif
}

struct Case {
    int program;
    bool hiCutAtHalf;
};

// Median, lowest and highest nanoseconds per frame of one case.
void timeCase(trv4host::PluginModule& module, const Case& c, double rate, const trv4bench::NoiseTable& in) {
    trv4host::Host host;
    host.sampleRate = rate;
    trv4host::Effect fx(host.instantiate(module.entry()));
    std::vector<float> outL, outR;
    trv4bench::startCase(fx, c.program, c.hiCutAtHalf, rate, in, outL, outR);
    const std::vector<float>& inL = in.left;
    const std::vector<float>& inR = in.right;

    // Blocks per repetition: about half a second of CPU time.
    int blocks = 64;
    for (double spent = 0; spent < 0.05; blocks *= 2) {
        const double start = threadSeconds();
        for (int i = 0; i < blocks; ++i) fx.processReplacing(inL.data(), inR.data(), outL.data(), outR.data(), kBlock);
        spent = threadSeconds() - start;
    }
    blocks *= 5;
    std::vector<double> perFrame;
    for (int r = 0; r < kRepetitions; ++r) {
        const double start = threadSeconds();
        for (int i = 0; i < blocks; ++i) fx.processReplacing(inL.data(), inR.data(), outL.data(), outR.data(), kBlock);
        perFrame.push_back((threadSeconds() - start) / (static_cast<double>(blocks) * kBlock) * 1e9);
    }
    fx.suspend();
    std::sort(perFrame.begin(), perFrame.end());
    const std::string name = fx.text(vst::effGetProgramName) + (c.hiCutAtHalf ? ", Hi-Cut 0.5" : "");
    std::printf("%-26s %6.0f Hz  %6.2f ns/frame  (%.2f .. %.2f)\n", name.c_str(), rate, perFrame[kRepetitions / 2],
                perFrame.front(), perFrame.back());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: trv4_process_timer MODULE [RATE ...]\n");
        return 2;
    }
    std::string error;
    auto module = trv4host::PluginModule::Load(argv[1], error);
    if (!module) {
        std::fprintf(stderr, "trv4_process_timer: %s\n", error.c_str());
        return 1;
    }
    std::vector<double> rates;
    for (int i = 2; i < argc; ++i) rates.push_back(std::atof(argv[i]));
    if (rates.empty()) rates.push_back(44100);

    const trv4bench::NoiseTable in;
    for (double rate : rates)
        for (const Case& c : {Case{0, false}, Case{0, true}, Case{35, false}}) timeCase(*module, c, rate, in);
    return 0;
}
