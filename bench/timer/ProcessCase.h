// What the engine benchmark and the process-call timer share: the input (two
// channels of noise in [-1, 1), one block long, made once before timing) and
// the set-up of one case (a factory program, Hi-Cut as the program has it or
// at half, the rate), run for a second so that the smoothing ramp of the
// program change has run out before timing starts.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/host/PluginHost.h"

namespace trv4bench {

constexpr int kBlock = 512;
constexpr int kHiCutIndex = 19;

struct NoiseTable {
    std::vector<float> left, right;
    NoiseTable() : left(kBlock), right(kBlock) {
        uint32_t x = 12345;
        for (int i = 0; i < kBlock; ++i) {
            x = x * 1664525u + 1013904223u;
            left[i] = static_cast<float>(x) / 2147483648.0f - 1.0f;
            x = x * 1664525u + 1013904223u;
            right[i] = static_cast<float>(x) / 2147483648.0f - 1.0f;
        }
    }
};

// Opens, configures and resumes the effect, then runs a second of noise
// through it into out (two blocks, left then right).
inline void startCase(const trv4host::Effect& fx, int program, bool hiCutAtHalf, double rate, const NoiseTable& in,
                      std::vector<float>& outL, std::vector<float>& outR) {
    fx.dispatch(vst::effOpen);
    fx.setProgram(program);
    if (hiCutAtHalf) fx.setParameter(kHiCutIndex, 0.5f);
    fx.setSampleRate(static_cast<float>(rate));
    fx.setBlockSize(kBlock);
    fx.resume();
    outL.assign(kBlock, 0);
    outR.assign(kBlock, 0);
    for (int i = 0; i * kBlock < rate; ++i)
        fx.processReplacing(in.left.data(), in.right.data(), outL.data(), outR.data(), kBlock);
}

}  // namespace trv4bench
