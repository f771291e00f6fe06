// The soak run: every factory program renders ten minutes of audio at
// 44.1 kHz through the plug-in module (loaded by path, as a host does) with
// random automation: before each block of 512 frames a random parameter
// takes a random value, and now and then a random block size comes in
// between. The input is noise with bursts, silences and a few broken
// samples. Reports per program the worst block time in CPU time of the
// processing thread (and the 99.9th percentile), the output peak and any
// non-number or subnormal number, then the totals. Not a unit test:
//
//   trv4_soak [MINUTES] [FIRST_PROGRAM LAST_PROGRAM]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <time.h>

#include "tools/host/PluginHost.h"

namespace {

constexpr double kRate = 44100;
constexpr int kBlock = 512;

struct Result {
    double worstBlockMicroseconds = 0;
    double blockMicroseconds999 = 0;  // 99.9th percentile
    double cpuSeconds = 0;
    float peak = 0;
    long long nonNumbers = 0, subnormals = 0, frames = 0;
};

// CPU time of this thread: a block's cost without the time the machine
// gave to other processes meanwhile.
double threadMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec * 1e-3;
}

// One block of the input: noise whose level changes every few seconds
// (silence, normal, +12 dB bursts), with a broken sample now and then.
void fillInput(std::mt19937& random, long long frame, float* left, float* right, int n) {
    std::uniform_real_distribution<float> noise(-1, 1);
    const long long section = frame / (3 * 44100);
    const float level = section % 5 == 0 ? 0.0f : section % 5 == 3 ? 4.0f : 0.5f;
    for (int i = 0; i < n; ++i) {
        left[i] = level * noise(random);
        right[i] = level * noise(random);
    }
    if (random() % 2000 == 0) left[random() % unsigned(n)] = std::numeric_limits<float>::quiet_NaN();
}

Result soak(trv4host::PluginModule& module, int program, double minutes) {
    trv4host::Host host;
    trv4host::Effect fx(host.instantiate(module.entry()));
    fx.dispatch(vst::effOpen);
    fx.setProgram(program);
    fx.setSampleRate(float(kRate));
    fx.setBlockSize(kBlock);
    fx.resume();

    std::mt19937 random(1000 + program);
    std::uniform_real_distribution<float> value(0, 1);
    std::vector<float> inL(8192), inR(8192), outL(8192), outR(8192);
    Result r;
    std::vector<double> times;
    const long long total = static_cast<long long>(minutes * 60 * kRate);
    for (long long done = 0; done < total;) {
        fx.setParameter(int(random() % 21), value(random));
        int n = random() % 50 == 0 ? 1 + int(random() % 8192) : kBlock;
        n = int(std::min<long long>(n, total - done));
        fillInput(random, done, inL.data(), inR.data(), n);
        const double start = threadMicroseconds();
        fx.processReplacing(inL.data(), inR.data(), outL.data(), outR.data(), n);
        const double us = threadMicroseconds() - start;
        r.cpuSeconds += us * 1e-6;
        // Worst time of a block of the host's size, per 512 frames.
        times.push_back(us * kBlock / std::max(n, kBlock));
        r.worstBlockMicroseconds = std::max(r.worstBlockMicroseconds, times.back());
        for (const float* out : {outL.data(), outR.data()})
            for (int i = 0; i < n; ++i) {
                if (!std::isfinite(out[i])) {
                    ++r.nonNumbers;
                    continue;
                }
                if (std::fpclassify(out[i]) == FP_SUBNORMAL) ++r.subnormals;
                r.peak = std::max(r.peak, std::fabs(out[i]));
            }
        done += n;
        r.frames += n;
    }
    fx.suspend();
    std::sort(times.begin(), times.end());
    r.blockMicroseconds999 = times[times.size() * 999 / 1000];
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const double minutes = argc > 1 ? std::atof(argv[1]) : 10.0;
    const int first = argc > 3 ? std::atoi(argv[2]) : 0;
    const int last = argc > 3 ? std::atoi(argv[3]) : 44;
    std::string error;
    auto module = trv4host::PluginModule::Load(TRV4_MODULE_PATH, error);
    if (!module) {
        std::fprintf(stderr, "trv4_soak: %s\n", error.c_str());
        return 1;
    }
    std::printf("%.3g min per program at 44100 Hz, blocks of 512 (some random), random automation\n", minutes);
    std::printf("program  block CPU time per 512 (us): worst  99.9%%  realtime  peak      non-numbers  subnormals\n");
    Result all;
    const double blockBudget = kBlock / kRate * 1e6;
    for (int p = first; p <= last; ++p) {
        const Result r = soak(*module, p, minutes);
        std::printf("%7d  %32.1f  %6.1f  %7.0fx  %.6f  %11lld  %10lld\n", p, r.worstBlockMicroseconds,
                    r.blockMicroseconds999, r.frames / kRate / r.cpuSeconds, r.peak, r.nonNumbers, r.subnormals);
        std::fflush(stdout);
        all.worstBlockMicroseconds = std::max(all.worstBlockMicroseconds, r.worstBlockMicroseconds);
        all.blockMicroseconds999 = std::max(all.blockMicroseconds999, r.blockMicroseconds999);
        all.peak = std::max(all.peak, r.peak);
        all.nonNumbers += r.nonNumbers;
        all.subnormals += r.subnormals;
        all.cpuSeconds += r.cpuSeconds;
        all.frames += r.frames;
    }
    std::printf("all      %32.1f  %6.1f  %7.0fx  %.6f  %11lld  %10lld   (a block of 512 lasts %.0f us)\n",
                all.worstBlockMicroseconds, all.blockMicroseconds999, all.frames / kRate / all.cpuSeconds, all.peak,
                all.nonNumbers, all.subnormals, blockBudget);
    return all.nonNumbers || all.subnormals || all.peak > 2.0001f ? 1 : 0;
}
