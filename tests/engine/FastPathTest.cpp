// The fast block path against the scalar reference step: the same input,
// settings and random seed must give the same output and the same state bit
// for bit. The reference is built at -O1, where the float32 roundings are
// known to be kept, so this also catches a compiler that merges the left and
// right roundings of the fast path.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/Random.h"
#include "tests/engine/EngineRig.h"

namespace trv4::test {
namespace {

struct Scenario {
    const ProgramRow* program;
    float sampleRate;
    float hiCut;  // p19
    float mono;   // p15
    float spread = -1;  // p17 when set
};

struct Render {
    std::vector<float> left, right;
    std::unique_ptr<EngineRig> rig;
};

// Full scale noise with a loud burst (limiter), a few broken samples, parameter changes between
// blocks (smoothing ramps) and block sizes of 1 to 700 frames; the first
// block of 3 makes ramps end in the middle of a chunk, off the vector grid.
Render render(const Scenario& sc, bool reference) {
    seedRandom(0x1234567u);
    Render r;
    r.rig = std::make_unique<EngineRig>();
    EngineRig& rig = *r.rig;
    rig.load(*sc.program);
    rig.set(kHiCut, sc.hiCut);
    rig.set(kMono, sc.mono);
    if (sc.spread >= 0) rig.set(kSpread, sc.spread);
    rig.host.available = true;
    rig.host.info = {48000.0 * 3, 120.0, 0x2 | 0x400 | 0x2000};
    rig.start(sc.sampleRate);

    const size_t n = 9000;
    std::vector<float> inL = noise(n, 1, 0.9f), inR = noise(n, 2, 0.9f);
    for (size_t i = 2000; i < 2400; ++i) inL[i] *= 4.0f;
    // Broken host samples, which both paths must mend the same way.
    inL[5000] = std::nanf("");
    inR[5001] = -std::numeric_limits<float>::infinity();
    inL[6100] = 1e30f;
    const int sizes[] = {3, 512, 1, 63, 700, 256, 257};
    size_t done = 0;
    for (int b = 0; done < n; ++b) {
        if (b == 1) rig.set(kDelay, sc.program->values[kDelay] * 0.5f);
        if (b == 2) rig.set(kDepth, 0.9f);
        const size_t count = std::min<size_t>(sizes[b % 7], n - done);
        std::vector<float> l(inL.begin() + done, inL.begin() + done + count);
        std::vector<float> rr(inR.begin() + done, inR.begin() + done + count);
        std::vector<float> ol, orr;
        rig.render(l, rr, ol, orr, static_cast<int>(count), reference);
        r.left.insert(r.left.end(), ol.begin(), ol.end());
        r.right.insert(r.right.end(), orr.begin(), orr.end());
        done += count;
    }
    return r;
}

void expectSameState(const EngineState& a, const EngineState& b) {
    EXPECT_EQ(a.delay.writeIndex, b.delay.writeIndex);
    EXPECT_EQ(0, std::memcmp(a.delay.rows, b.delay.rows, sizeof a.delay.rows)) << "delay buffers differ";
    EXPECT_EQ(0, std::memcmp(a.input.s1, b.input.s1, sizeof a.input.s1));
    EXPECT_EQ(0, std::memcmp(a.input.s2, b.input.s2, sizeof a.input.s2));
    EXPECT_EQ(0, std::memcmp(a.feedback.s1, b.feedback.s1, sizeof a.feedback.s1));
    EXPECT_EQ(0, std::memcmp(a.feedback.feedback, b.feedback.feedback, sizeof a.feedback.feedback));
    EXPECT_EQ(0, std::memcmp(a.hiCut.s1, b.hiCut.s1, sizeof a.hiCut.s1));
    EXPECT_EQ(0, std::memcmp(a.hiCut.s2, b.hiCut.s2, sizeof a.hiCut.s2));
    EXPECT_EQ(a.mod1.phase, b.mod1.phase);
    EXPECT_EQ(a.mod2.phase, b.mod2.phase);
    EXPECT_TRUE(sameBits(a.mod1.output, b.mod1.output));
    EXPECT_TRUE(sameBits(a.mod2.newRandom, b.mod2.newRandom));
    EXPECT_EQ(a.baseDelay, b.baseDelay);
    EXPECT_TRUE(sameBits(a.depthSamples, b.depthSamples));
    EXPECT_TRUE(sameBits(a.zDelay, b.zDelay));
    EXPECT_EQ(a.rampCounter, b.rampCounter);
    EXPECT_TRUE(sameBits(a.limiterReduction, b.limiterReduction));
    EXPECT_TRUE(sameBits(a.meterLevel, b.meterLevel));
}

class FastPath : public ::testing::TestWithParam<Scenario> {};

TEST_P(FastPath, MatchesReferenceBitForBit) {
    const Render fast = render(GetParam(), false);
    const Render ref = render(GetParam(), true);
    ASSERT_EQ(fast.left.size(), ref.left.size());
    size_t firstDiff = fast.left.size();
    for (size_t i = 0; i < fast.left.size(); ++i) {
        if (!sameBits(fast.left[i], ref.left[i]) || !sameBits(fast.right[i], ref.right[i])) {
            firstDiff = i;
            break;
        }
    }
    EXPECT_EQ(firstDiff, fast.left.size()) << "first differing frame";
    expectSameState(fast.rig->state(), ref.rig->state());
    // The render is not trivially silent or constant.
    double energy = 0;
    for (float v : fast.left) energy += v * v;
    EXPECT_GT(energy, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, FastPath,
    ::testing::Values(Scenario{&kWideChorus, 44100, 1, 0}, Scenario{&kWideChorus, 48000, 0.5f, 1},
                      Scenario{&kWideChorus, 96000, 1, 0}, Scenario{&kWideChorus, 192000, 0.3f, 0},
                      Scenario{&kTapeDelay, 44100, 0.6f, 0}, Scenario{&kTapeDelay, 88200, 1, 1},
                      Scenario{&kGuitarFlanger1, 44100, 1, 0}, Scenario{&kGuitarFlanger1, 176400, 0.9f, 0},
                      Scenario{&kLeslie, 44100, 0.2f, 1}, Scenario{&kRandomPanning, 48000, 1, 0},
                      Scenario{&kSpreadTheLove, 44100, 0.999f, 0}, Scenario{&kVibrato, 44100, 1, 0},
                      Scenario{&kVibrato, 32000, 0.5f, 0}, Scenario{&kSpreadTheLove, 22050, 0.4f, 1},
                      Scenario{&kWideChorus, 48000, 1, 0, 0.5f}, Scenario{&kGuitarFlanger1, 96000, 0.7f, 0, 0.3f}));

}  // namespace
}  // namespace trv4::test
