// The engine core: buffer rates, in-place processing, suspend, limiter,
// meter, unsupported rates and dither.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "engine/Random.h"
#include "tests/engine/EngineRig.h"

namespace trv4::test {
namespace {

// Mix 0 and Level 0.8: the output is the dry input at unity gain.
void dryOnly(EngineRig& rig) {
    rig.load(kWideChorus);
    rig.set(kMix, 0);
}

TEST(EngineCore, WriteIndexAdvancesByTheOversamplingFactor) {
    const struct {
        float rate;
        int step;
    } cases[] = {{44100, 4}, {48000, 4}, {88200, 2}, {96000, 2}, {176400, 1}, {192000, 1}, {32000, 4}, {22050, 4}};
    for (const auto& c : cases) {
        EngineRig rig;
        rig.load(kWideChorus);
        rig.start(c.rate);
        const int32_t before = rig.state().delay.writeIndex;
        std::vector<float> in(1000, 0.1f), l, r;
        rig.render(in, in, l, r, 1000);
        EXPECT_EQ(rig.state().delay.writeIndex, (before + 1000 * c.step) & DelayLine::kMask) << c.rate;
    }
}

TEST(EngineCore, InPlaceProcessingEqualsSeparateBuffers) {
    std::vector<float> inL = noise(3000, 3), inR = noise(3000, 4);
    std::vector<float> sepL, sepR;
    {
        seedRandom(7);
        EngineRig rig;
        rig.load(kTapeDelay);
        rig.start(44100);
        rig.render(inL, inR, sepL, sepR, 256);
    }
    seedRandom(7);
    EngineRig rig;
    rig.load(kTapeDelay);
    rig.start(44100);
    std::vector<float> l = inL, r = inR;
    for (size_t done = 0; done < l.size(); done += 256) {
        float* io[2] = {l.data() + done, r.data() + done};
        rig.engine->processReplacing(io, io, static_cast<int32_t>(std::min<size_t>(256, l.size() - done)));
    }
    for (size_t i = 0; i < l.size(); ++i) {
        ASSERT_TRUE(sameBits(l[i], sepL[i])) << i;
        ASSERT_TRUE(sameBits(r[i], sepR[i])) << i;
    }
}

TEST(EngineCore, AccumulatingAddsToTheOutput) {
    std::vector<float> in = noise(512, 9), repl, replR;
    seedRandom(3);
    EngineRig a;
    a.load(kWideChorus);
    a.start(48000);
    a.render(in, in, repl, replR, 512);

    seedRandom(3);
    EngineRig b;
    b.load(kWideChorus);
    b.start(48000);
    std::vector<float> l(512, 0.25f), r(512, -0.5f);
    const float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {l.data(), r.data()};
    b.engine->processAccumulating(ins, outs, 512);
    for (int i = 0; i < 512; ++i) {
        EXPECT_EQ(l[i], 0.25f + repl[i]);
        EXPECT_EQ(r[i], -0.5f + replR[i]);
    }
}

TEST(EngineCore, SuspendAndResumeLeaveNoOldSignal) {
    EngineRig rig;
    rig.load(kTapeDelay);  // 380 ms of delay with feedback
    rig.set(kMix, 1);
    rig.start(44100);
    std::vector<float> loud = noise(20000, 5), l, r;
    rig.render(loud, loud, l, r, 512);
    rig.engine->suspend();
    rig.engine->resume();
    std::vector<float> silence(44100, 0.0f);
    rig.render(silence, silence, l, r, 512);
    float peak = 0;
    for (size_t i = 0; i < l.size(); ++i) peak = std::max({peak, std::fabs(l[i]), std::fabs(r[i])});
    EXPECT_LT(peak, 1e-6f);
}

TEST(EngineCore, SilenceWithFullMixGivesOnlyTheDither) {
    EngineRig rig;
    rig.load(kVibrato);  // Mix 1
    rig.start(44100);
    std::vector<float> silence(8192, 0.0f), l, r;
    rig.render(silence, silence, l, r, 512);
    float peak = 0;
    for (size_t i = 4096; i < l.size(); ++i) peak = std::max({peak, std::fabs(l[i]), std::fabs(r[i])});
    EXPECT_GT(peak, 0.0f);
    EXPECT_LT(peak, 1e-6f);
}

TEST(EngineCore, LimiterHoldsAPeakOfFourAtTwoAndReleasesOverASecond) {
    EngineRig rig;
    dryOnly(rig);
    rig.start(44100);
    std::vector<float> four(100, 4.0f), l, r;
    rig.render(four, four, l, r, 100);
    for (float v : l) EXPECT_NEAR(v, 2.0f, 1e-6f);
    const float reduction = rig.state().limiterReduction;
    EXPECT_NEAR(reduction, 0.5f, 1e-6f);

    std::vector<float> silence(44100, 0.0f);
    rig.render(silence, silence, l, r, 441);
    EXPECT_NEAR(rig.state().limiterReduction / reduction, 0.368f, 1e-3f);
}

// The reduction is a float32, so (1 - r) x alone would miss 2.0 by up to
// |x| 2^-25 (0.03 for a peak of 10^6, which an abrupt retune of the feedback
// band-pass at full feedback can release); the limited result never leaves
// the ceiling, on the fast path and in the reference step.
TEST(EngineCore, LimiterKeepsHugePeaksWithinTwo) {
    std::vector<float> huge(4096), l, r;
    for (size_t i = 0; i < huge.size(); ++i)
        huge[i] = (i % 2 ? -1.0f : 1.0f) * std::pow(10.0f, 3.0f + 6.0f * float(i) / float(huge.size()));
    for (bool reference : {false, true}) {
        EngineRig rig;
        dryOnly(rig);
        rig.start(44100);
        rig.render(huge, huge, l, r, 512, reference);
        float peak = 0;
        for (size_t i = 0; i < l.size(); ++i) peak = std::max({peak, std::fabs(l[i]), std::fabs(r[i])});
        EXPECT_LE(peak, 2.0f) << (reference ? "reference step" : "fast path");
        EXPECT_GT(peak, 1.999f);
    }
}

TEST(EngineCore, MeterAttacksAtOnceAndReleasesPerSample) {
    EngineRig rig;
    dryOnly(rig);
    rig.start(44100);
    std::vector<float> one(1, 0.8f), zero(1, 0.0f), l, r;
    rig.render(one, one, l, r, 1);
    EXPECT_NEAR(rig.engine->meterLevel(), 0.8f, 1e-6f);
    const double coefficient = 1 - std::exp(-1 / (0.2 * 44100));
    double expected = rig.engine->meterLevel();
    for (int i = 0; i < 1000; ++i) {
        rig.render(zero, zero, l, r, 1);
        expected -= expected * coefficient;
    }
    EXPECT_NEAR(rig.engine->meterLevel(), expected, 1e-5);
    EXPECT_LT(rig.engine->meterLevel(), 0.8f * 0.99f);
}

TEST(EngineCore, UnsupportedRateGivesUndelayedOutput) {
    EngineRig rig;
    rig.load(kWideChorus);
    rig.set(kMix, 1);
    rig.set(kHigh, 0.5f);  // 2 kHz: below 16 kHz
    rig.start(32000);
    EXPECT_EQ(rig.state().delayScale, 0.0f);
    std::vector<float> impulse(4000, 0.0f), l, r;
    impulse[2000] = 1.0f;
    rig.render(impulse, impulse, l, r, 500);
    // The input low-pass alone: the response peaks within a few samples of
    // the impulse instead of 14 ms (448 samples) later.
    size_t peakAt = 0;
    for (size_t i = 0; i < l.size(); ++i) {
        ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i]));
        if (std::fabs(l[i]) > std::fabs(l[peakAt])) peakAt = i;
    }
    EXPECT_GE(peakAt, 2000u);
    EXPECT_LE(peakAt, 2004u);
    EXPECT_EQ(rig.state().baseDelay, 0);
}

TEST(EngineCore, ProcessBeforeResumeUsesConstructionValues) {
    EngineRig rig;
    rig.load(kWideChorus);
    std::vector<float> in = noise(1000, 8), l, r;
    rig.render(in, in, l, r, 100);
    for (size_t i = 0; i < l.size(); ++i) ASSERT_TRUE(std::isfinite(l[i]));
    EXPECT_EQ(rig.state().rampCounter, 0);
    EXPECT_EQ(rig.state().baseDelay, 0);
}

TEST(EngineCore, ZeroAndNegativeCountsRunOnlyTheUpdate) {
    EngineRig rig;
    rig.load(kWideChorus);
    rig.start(44100);
    const int32_t index = rig.state().delay.writeIndex;
    float sentinel[2] = {7, 7};
    const float* in[2] = {sentinel, sentinel};
    float* out[2] = {sentinel, sentinel + 1};
    rig.engine->processReplacing(in, out, 0);
    rig.engine->processAccumulating(in, out, -5);
    EXPECT_EQ(sentinel[0], 7);
    EXPECT_EQ(sentinel[1], 7);
    EXPECT_EQ(rig.state().delay.writeIndex, index);
    EXPECT_FLOAT_EQ(rig.state().wetGain, 0.5f);
}

// A host that sends a non-number, an infinity or an absurd value: the
// sample enters as 0 (dry path included), so the render equals the one with
// zeros there bit for bit, on both block paths, and nothing lingers in the
// feedback path (Tape Delay: feedback 0.7 over 500 ms).
TEST(EngineCore, BrokenInputSamplesEnterAsZero) {
    const float inf = std::numeric_limits<float>::infinity();
    for (bool reference : {false, true}) {
        std::vector<float> broken = noise(48000, 2), clean = broken;
        const std::pair<size_t, float> bad[] = {{100, std::nanf("")}, {101, inf},     {7000, -inf},
                                                {7001, 1e30f},        {9000, -1e10f}, {20000, std::nanf("")}};
        for (auto [at, value] : bad) {
            broken[at] = value;
            clean[at] = 0;
        }
        std::vector<float> l1, r1, l2, r2;
        for (auto* out : {&l1, &l2}) {
            seedRandom(99);
            EngineRig rig;
            rig.load(kTapeDelay);
            rig.start(44100);
            const auto& in = out == &l1 ? broken : clean;
            rig.render(in, in, *out, out == &l1 ? r1 : r2, 512, reference);
        }
        for (size_t i = 0; i < l1.size(); ++i) {
            ASSERT_TRUE(sameBits(l1[i], l2[i]) && sameBits(r1[i], r2[i]))
                << "frame " << i << " reference " << reference;
        }
    }
    // Just below the ceiling the value still counts as (loud) audio: the
    // meter sees it.
    EngineRig rig;
    rig.load(kTapeDelay);
    rig.start(44100);
    std::vector<float> in(64, 9.99e9f), l, r;
    rig.render(in, in, l, r, 64);
    EXPECT_GT(rig.engine->meterLevel(), 1e9f);
}

// Right after a resume a long delay reads rows written before it (zeros):
// the hi-cut's float32 states then decay through the subnormal range, and
// with Mix 1 its output is the whole result. Results below the smallest
// normal float leave as 0, on both block paths.
TEST(EngineCore, OutputHasNoSubnormalNumbers) {
    for (bool reference : {false, true}) {
        EngineRig rig;
        rig.load(kWideChorus);
        rig.set(kDelay, 1);
        rig.set(kMix, 1);
        rig.set(kHiCut, 0.5f);
        rig.start(44100);
        std::vector<float> in = noise(22050, 3), l, r;
        rig.render(in, in, l, r, 512, reference);
        size_t subnormal = 0, zero = 0;
        for (size_t i = 0; i < l.size(); ++i) {
            subnormal += (std::fpclassify(l[i]) == FP_SUBNORMAL) + (std::fpclassify(r[i]) == FP_SUBNORMAL);
            zero += l[i] == 0;
        }
        EXPECT_EQ(subnormal, 0u) << "reference " << reference;
        EXPECT_GT(zero, 0u) << "the scene no longer reaches the subnormal range";
    }
}

// The last line of defence: state that went non-finite all the same (here
// forced) is cleared at the end of the block.
TEST(EngineCore, NonFiniteStateIsClearedAtTheEndOfTheBlock) {
    EngineRig rig;
    rig.load(kTapeDelay);
    rig.start(44100);
    std::vector<float> in = noise(512, 2), l, r;
    rig.render(in, in, l, r, 512);
    const_cast<EngineState&>(rig.state()).feedback.s1[1] = std::nan("");
    rig.render(in, in, l, r, 512);
    EXPECT_EQ(rig.state().feedback.s1[1], 0.0);
    EXPECT_EQ(rig.state().delay.writeIndex, 0);
    rig.render(in, in, l, r, 512);
    for (size_t i = 0; i < l.size(); ++i) ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i])) << i;
    EXPECT_TRUE(std::isfinite(rig.engine->meterLevel()));
}

TEST(EngineCore, SuspendClearsRunningStateAndTempo) {
    EngineRig rig;
    rig.load(kGuitarFlanger1);  // Sync. on
    rig.host.available = true;
    rig.host.info = {0, 128, 0x400 | 0x2000};
    rig.start(44100);
    std::vector<float> in = noise(512, 1), l, r;
    rig.render(in, in, l, r, 512);
    EXPECT_EQ(rig.engine->hostTempo(), 128);
    EXPECT_EQ(rig.engine->wave1(), 5u);
    rig.engine->suspend();
    EXPECT_EQ(rig.engine->hostTempo(), 0);
    EXPECT_EQ(rig.engine->meterLevel(), 0);
    EXPECT_EQ(rig.engine->wave1(), 0u);
    EXPECT_EQ(rig.state().feedback.gain, 0);
    EXPECT_EQ(rig.state().mod1.phase, 0u);
    EXPECT_NE(rig.state().mod1.increment, 0u);  // kept until the next setup
}

}  // namespace
}  // namespace trv4::test
