// The wave-number display reads what the engine derived at its last block:
// through the built module, as a host sees it.
#include <vector>

#include "tests/plugin/ModuleFixture.h"

namespace {

using namespace vst;

class WaveDisplay : public trv4test::ModuleTest {};

TEST_F(WaveDisplay, WaveNumbersFollowTheProcessedBlock) {
    auto& fx = makeEffect();
    EXPECT_EQ(fx.text(effGetParamDisplay, 3), "0");
    EXPECT_EQ(fx.text(effGetParamDisplay, 7), "0");
    fx.setSampleRate(44100);
    fx.setBlockSize(64);
    fx.resume();
    std::vector<float> in(64, 0.0f), outL(64), outR(64);
    fx.processReplacing(in.data(), in.data(), outL.data(), outR.data(), 64);
    // Program 0: p3 = p7 = 0.1, wave number nearest(10 * 0.1) = 1.
    EXPECT_EQ(fx.text(effGetParamDisplay, 3), "1");
    EXPECT_EQ(fx.text(effGetParamDisplay, 7), "1");

    fx.setParameter(3, 0.7f);
    fx.setParameter(7, 0.0f);  // wave 2 follows wave 1
    fx.processReplacing(in.data(), in.data(), outL.data(), outR.data(), 64);
    EXPECT_EQ(fx.text(effGetParamDisplay, 3), "7");
    EXPECT_EQ(fx.text(effGetParamDisplay, 7), "7");

    fx.suspend();
    EXPECT_EQ(fx.text(effGetParamDisplay, 3), "0");
}

}  // namespace
