// The per-block update: delay law at every rate, output gains, feedback,
// band-pass edges, hi-cut bypass and the limits at low sample rates.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/Random.h"
#include "tests/engine/EngineRig.h"

namespace trv4::test {
namespace {

const float kSupportedRates[] = {44100, 48000, 88200, 96000, 176400, 192000};

double bufferRate(float rate) { return rate < 80000 ? rate * 4.0 : rate < 170000 ? rate * 2.0 : rate; }

void update(EngineRig& rig) {
    float dummy = 0;
    const float* in[2] = {&dummy, &dummy};
    float* out[2] = {&dummy, &dummy};
    rig.engine->processReplacing(in, out, 0);
}

TEST(ParameterMapping, DelayLawAtEverySupportedRate) {
    const struct {
        float p0;
        double ms;
    } cases[] = {{0, 0.05}, {0.5f, 5.477}, {1, 600}};
    for (float rate : kSupportedRates) {
        for (const auto& c : cases) {
            EngineRig rig;
            rig.load(kWideChorus);
            rig.set(kDelay, c.p0);
            rig.start(rate);
            update(rig);
            const double ms = rig.state().delayTarget / bufferRate(rate) * 1000;
            EXPECT_NEAR(ms, c.ms, c.ms * 2e-4) << rate << " Hz, p0 " << c.p0;
            // After the ramp the base delay has glided to the target. The
            // float32 smoothing state stops short by up to about its rounding
            // step, relatively 3e-8 to 1.2e-7 / (63 / rate) of the target: a
            // few samples at 44.1 kHz, about 20 at 192 kHz.
            std::vector<float> in(rig.state().rampLength + 10, 0.0f), l, r;
            rig.render(in, in, l, r, 4096);
            const double stall = rig.state().delayTarget * 3e-8 / (63.0 / rate);
            EXPECT_NEAR(rig.state().baseDelay, rig.state().delayTarget, 1 + 4 * stall) << rate;
        }
    }
}

TEST(ParameterMapping, LevelMixAndMinus20dB) {
    EngineRig rig;
    rig.load(kWideChorus);
    rig.set(kLevel, 0.8f);
    rig.set(kMix, 1);
    rig.start(44100);
    update(rig);
    EXPECT_NEAR(rig.state().wetGain, 1.0f, 1e-6f);
    EXPECT_EQ(rig.state().dryGain, 0.0f);

    rig.set(kMix, 0.25f);
    update(rig);
    const float wet = rig.state().wetGain, dry = rig.state().dryGain;
    EXPECT_NEAR(dry / wet, 3.0f, 1e-6f);
    rig.set(kMinus20dB, 1);
    update(rig);
    EXPECT_NEAR(rig.state().wetGain / wet, 0.1f, 1e-6f);
    EXPECT_NEAR(rig.state().dryGain / dry, 0.1f, 1e-6f);

    rig.set(kMinus20dB, 0);
    rig.set(kLevel, 0);  // -16 dB
    update(rig);
    EXPECT_NEAR(20 * std::log10(rig.state().wetGain / wet), -16.0, 1e-4);
}

// Everything the per-block update derives, as bits.
std::vector<uint32_t> derived(const EngineState& st) {
    std::vector<float> f = {st.delayTarget, st.feedback.b0, st.feedback.b2, st.feedback.a1, st.feedback.a2};
    f.insert(f.end(), {st.feedback.gain, st.wetGain, st.dryGain, st.mod1.rate, st.mod2.rate});
    f.insert(f.end(), {st.freeModulation.rate1, st.freeModulation.rate2});
    for (int k = 0; k < HiCut::kSections; ++k)
        f.insert(f.end(), {st.hiCut.c0[k], st.hiCut.c1[k], st.hiCut.c2[k], st.hiCut.a1[k], st.hiCut.a2[k]});
    std::vector<uint32_t> bits(f.size());
    std::memcpy(bits.data(), f.data(), f.size() * sizeof(float));
    const FreeModulation& m = st.freeModulation;
    bits.insert(bits.end(), {st.mod1.increment, st.mod2.increment, static_cast<uint32_t>(st.mod1.wave),
                             static_cast<uint32_t>(st.mod2.wave), m.increment1, m.increment2, m.offsetPhase,
                             static_cast<uint32_t>(m.wave1), static_cast<uint32_t>(m.wave2)});
    return bits;
}

// The update keeps results whose inputs did not change. After any one change
// (of a parameter between blocks, or of the rate) it must derive what an
// engine started with the new values derives.
TEST(ParameterMapping, KeptResultsFollowEveryChange) {
    EngineRig a;
    a.load(kSpreadTheLove);
    a.start(44100);
    update(a);
    const float rates[] = {48000, 96000, 44100.5f, 192000};
    uint32_t dice = 99;
    for (int step = 0; step < 4 * kNumParams; ++step) {
        float rate = a.state().sampleRate;
        if (step % kNumParams == kNumParams - 1) {
            rate = rates[step / kNumParams];
            a.engine->suspend();
            a.start(rate);
        } else {
            dice = dice * 1664525u + 1013904223u;
            a.set(step % kNumParams, static_cast<float>(dice >> 8) / 16777216.0f);
        }
        update(a);
        EngineRig b;
        for (int i = 0; i < kNumParams; ++i) b.set(i, a.params[i].load());
        b.start(rate);
        update(b);
        ASSERT_EQ(derived(a.state()), derived(b.state())) << "step " << step << " at " << rate << " Hz";
    }
}

TEST(ParameterMapping, FeedbackGain) {
    EngineRig rig;
    rig.load(kWideChorus);
    rig.start(44100);
    const struct {
        float p;
        float gain;
    } cases[] = {{0, -0.99f}, {0.5f, 0}, {1, 0.99f}};
    for (const auto& c : cases) {
        rig.set(kFeedback, c.p);
        update(rig);
        EXPECT_NEAR(rig.state().feedback.gain, c.gain, 1e-7f);
    }
}

// Gain of the feedback band-pass at angular frequency w (rad/s).
double bandpassGain(const FeedbackBandpass& bp, double w, double rate) {
    const double t = w / rate;
    const double cr = std::cos(t), ci = -std::sin(t), c2r = std::cos(2 * t), c2i = -std::sin(2 * t);
    const double nr = bp.b0 + bp.b2 * c2r, ni = bp.b2 * c2i;
    const double dr = 1 + bp.a1 * cr + bp.a2 * c2r, di = bp.a1 * ci + bp.a2 * c2i;
    return std::hypot(nr, ni) / std::hypot(dr, di);
}

TEST(ParameterMapping, BandpassEdgesAndTheQLimit) {
    EngineRig rig;
    rig.load(kWideChorus);
    rig.start(44100);

    // Both edges at 200 Hz: Q is held at 100, a narrow peak of 0 dB.
    rig.set(kHigh, 0);
    rig.set(kLow, 0.5f);
    update(rig);
    const FeedbackBandpass narrow = rig.state().feedback;
    ASSERT_TRUE(std::isfinite(narrow.b0) && std::isfinite(narrow.a1) && std::isfinite(narrow.a2));
    const double w0 = 2 * 3.141592653589793 * 200;
    EXPECT_NEAR(bandpassGain(narrow, w0, 44100), 1.0, 1e-3);
    // Half power about w0 / (2 Q) = 1 Hz either side.
    EXPECT_NEAR(bandpassGain(narrow, w0 + 2 * 3.141592653589793 * 1.0, 44100), std::sqrt(0.5), 0.03);
    EXPECT_NEAR(narrow.b2, -narrow.b0, 0);

    // 200 Hz to 2 kHz: unity in the middle, about -3 dB at the edges.
    rig.set(kHigh, 0.5f);
    rig.set(kLow, 0.5f);
    update(rig);
    const FeedbackBandpass mid = rig.state().feedback;
    EXPECT_NEAR(bandpassGain(mid, 2 * 3.141592653589793 * std::sqrt(200.0 * 2000), 44100), 1.0, 1e-3);
    EXPECT_NEAR(bandpassGain(mid, 2 * 3.141592653589793 * 200, 44100), std::sqrt(0.5), 0.01);
    EXPECT_NEAR(bandpassGain(mid, 2 * 3.141592653589793 * 2000, 44100), std::sqrt(0.5), 0.01);

    // Low above High gives the same filter as the edges exchanged.
    rig.set(kHigh, 0);  // 200 Hz
    rig.set(kLow, 1);   // 2 kHz
    update(rig);
    EXPECT_NEAR(rig.state().feedback.b0, mid.b0, 1e-7f);
    EXPECT_NEAR(rig.state().feedback.a1, mid.a1, 1e-6f);
}

TEST(ParameterMapping, HiCutAtOneBypassesExactly) {
    std::vector<float> in = noise(4096, 11), l1, r1, l2, r2;
    EngineRig off;
    off.load(kWideChorus);
    off.set(kMix, 1);
    off.start(44100);
    off.render(in, in, l1, r1, 512);
    for (int k = 0; k < HiCut::kSections; ++k) {
        EXPECT_EQ(off.state().hiCut.s1[k][0], 0.0f);
        EXPECT_EQ(off.state().hiCut.s2[k][1], 0.0f);
    }

    EngineRig on;
    on.load(kWideChorus);
    on.set(kMix, 1);
    on.set(kHiCut, 0.999f);
    on.start(44100);
    on.render(in, in, l2, r2, 512);
    EXPECT_NE(on.state().hiCut.s1[0][0], 0.0f);
    double diff = 0;
    for (size_t i = 0; i < l1.size(); ++i) diff += std::fabs(l1[i] - l2[i]);
    EXPECT_GT(diff, 0.0);
}

TEST(ParameterMapping, HiCutCutsFromItsCutoff) {
    // p19 = 0: 12570 rad/s, about 2 kHz; a 500 Hz tone passes, 8 kHz does not.
    auto level = [](double hz) {
        EngineRig rig;
        rig.load(kVibrato);
        rig.set(kDepth, 0);
        rig.set(kHiCut, 0);
        rig.start(44100);
        std::vector<float> in = sine(16384, hz, 44100), l, r;
        rig.render(in, in, l, r, 512);
        double sum = 0;
        for (size_t i = 8192; i < l.size(); ++i) sum += l[i] * l[i];
        return std::sqrt(sum / 8192);
    };
    const double pass = level(500), stop = level(8000);
    EXPECT_NEAR(pass, 0.5 / std::sqrt(2.0), 0.02);
    EXPECT_LT(stop, pass * 0.01);
}

TEST(ParameterMapping, SpareParameterChangesNothingButArmsTheRamp) {
    std::vector<float> in = noise(2048, 12), l1, r1, l2, r2;
    seedRandom(21);
    EngineRig a;
    a.load(kTapeDelay);
    a.start(44100);
    a.render(in, in, l1, r1, 512);
    seedRandom(21);
    EngineRig b;
    b.load(kTapeDelay);
    b.set(kSpare, 0.7f);
    b.start(44100);
    b.render(in, in, l2, r2, 512);
    for (size_t i = 0; i < l1.size(); ++i) ASSERT_TRUE(sameBits(l1[i], l2[i]));
    b.set(kSpare, 0.1f);
    update(b);
    EXPECT_EQ(b.state().rampCounter, b.state().rampLength);
}

// At rates where band edges or the hi-cut reach half the sample rate the
// edges are held below it: the filters stay finite and nothing but numbers
// reaches the feedback path or the output.
TEST(ParameterMapping, LowSampleRatesStayFinite) {
    for (float rate : {8000.0f, 11025.0f, 22050.0f, 32000.0f}) {
        for (const ProgramRow* program : {&kTapeDelay, &kGuitarFlanger1, &kSpreadTheLove}) {
            EngineRig rig;
            rig.load(*program);
            rig.set(kHigh, 1);
            rig.set(kLow, 1);
            rig.set(kHiCut, 0.99f);
            rig.set(kFeedback, 1);
            rig.start(rate);
            std::vector<float> in = noise(8192, 13), l, r;
            rig.render(in, in, l, r, 512);
            for (size_t i = 0; i < l.size(); ++i)
                ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i])) << rate << " Hz frame " << i;
            const EngineState& st = rig.state();
            EXPECT_TRUE(std::isfinite(st.feedback.feedback[0]) && std::isfinite(st.feedback.s1[1]));
            EXPECT_TRUE(std::isfinite(st.hiCut.a1[0]) && std::isfinite(st.hiCut.c0[2]));
            EXPECT_LE(std::fabs(l.back()), 2.0f);
        }
    }
}

}  // namespace
}  // namespace trv4::test
