// A fixed amount of work through the plug-in module's process call, for
// instruction counts under callgrind (repeatable where wall-clock times on a
// shared machine are not):
//
//   valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*profiledBlocks*'
//            trv4_engine_profile PROGRAM HICUT RATE BLOCKS
//
// Sets up the case as the benchmark does (program, Hi-Cut as the program has
// it or at half, a second of noise so that the smoothing ramp has run out),
// then runs BLOCKS blocks of 512 frames inside profiledBlocks(). Divide the
// instructions counted there by BLOCKS x 512 for a figure per frame.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/timer/ProcessCase.h"

namespace {

using trv4bench::kBlock;

[[gnu::noinline]] void profiledBlocks(const trv4host::Effect& fx, const trv4bench::NoiseTable& in,
                                      std::vector<float>& outL, std::vector<float>& outR, int blocks) {
    for (int i = 0; i < blocks; ++i)
        fx.processReplacing(in.left.data(), in.right.data(), outL.data(), outR.data(), kBlock);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: trv4_engine_profile PROGRAM HICUT(0|1) RATE BLOCKS\n");
        return 2;
    }
    const int program = std::atoi(argv[1]);
    const bool hiCutAtHalf = std::atoi(argv[2]) != 0;
    const double rate = std::atof(argv[3]);
    const int blocks = std::atoi(argv[4]);

    std::string error;
    auto module = trv4host::PluginModule::Load(TRV4_MODULE_PATH, error);
    if (!module) {
        std::fprintf(stderr, "trv4_engine_profile: %s\n", error.c_str());
        return 1;
    }
    trv4host::Host host;
    host.sampleRate = rate;
    trv4host::Effect fx(host.instantiate(module->entry()));
    const trv4bench::NoiseTable in;
    std::vector<float> outL, outR;
    trv4bench::startCase(fx, program, hiCutAtHalf, rate, in, outL, outR);
    profiledBlocks(fx, in, outL, outR, blocks);
    fx.suspend();
    std::printf("%s%s at %.0f Hz: %d blocks of %d frames\n", fx.text(vst::effGetProgramName).c_str(),
                hiCutAtHalf ? ", Hi-Cut 0.5" : "", rate, blocks, kBlock);
    return 0;
}
