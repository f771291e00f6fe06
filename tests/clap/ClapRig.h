// The CLAP module of this tree loaded as a host loads it, next to the VST 2
// module, for the tests that compare the two.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "tests/support/ModulePath.h"
#include "tools/host/ClapHost.h"

namespace trv4test {

inline std::string clapPath() { return hostPath(TRV4_CLAP_PATH); }

struct ClapRig {
    std::unique_ptr<trv4host::ClapModule> module;
    std::unique_ptr<trv4host::ClapInstance> instance;

    ClapRig() {
        std::string error;
        module = trv4host::ClapModule::Load(clapPath(), error);
        EXPECT_TRUE(module) << error;
        if (module) instance = trv4host::ClapInstance::Create(*module, error);
        EXPECT_TRUE(instance) << error;
    }
    ~ClapRig() { instance.reset(); }
    trv4host::ClapInstance& operator*() { return *instance; }
    trv4host::ClapInstance* operator->() { return instance.get(); }
};

// A test signal: two detuned sines with a little noise-like wobble, different
// per channel, so that every part of the chain has something to do.
inline float testSignal(int channel, long frame) {
    constexpr double kTwoPi = 6.283185307179586;
    const double t = static_cast<double>(frame) / 44100.0;
    return static_cast<float>(0.4 * std::sin(kTwoPi * (220.0 + 3 * channel) * t) +
                              0.2 * std::sin(kTwoPi * 1375.0 * t + channel) * std::sin(kTwoPi * 0.7 * t));
}

}  // namespace trv4test
