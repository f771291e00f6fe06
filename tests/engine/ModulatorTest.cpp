// Modulator shapes, setup (follow mode, Offset re-lock) and tempo sync.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/Modulator.h"
#include "engine/Random.h"
#include "tests/engine/EngineRig.h"

namespace trv4::test {
namespace {

TEST(WaveShapes, QuarterPointsOfTheCycle) {
    struct Row {
        Wave wave;
        double values[4];  // at phase 0, 1/4, 1/2, 3/4 of the cycle
    };
    const Row table[] = {
        {Wave::RaisedCosine, {0, 0.5, 1, 0.5}},
        {Wave::SignedSquareCosine, {0, 0.5, 1, 0.5}},
        {Wave::Triangle, {0, 0.5, 1, 0.5}},
        {Wave::SignedSquareTriangle, {0, 0.5, 1, 0.5}},
        {Wave::SquaredCosine, {0, 0.25, 1, 0.25}},
        {Wave::SquaredTriangle, {0, 0.25, 1, 0.25}},
        {Wave::InvertedSquaredCosine, {0, 0.75, 1, 0.75}},
        {Wave::InvertedParabola, {0, 0.75, 1, 0.75}},
        {Wave::FastRiseFall, {0, 0.75, 1, 0.25}},
    };
    const uint32_t phases[4] = {0, 1u << 30, 1u << 31, 3u << 30};
    for (const Row& row : table)
        for (int q = 0; q < 4; ++q)
            EXPECT_NEAR(shapeValue(row.wave, phases[q]), row.values[q], 1e-9)
                << "wave " << static_cast<int>(row.wave) << " quarter " << q;
    EXPECT_EQ(shapeValue(Wave::Off, 1u << 31), 0.0f);
}

TEST(WaveShapes, SineIsAccurateOverTheWholeArgumentRange) {
    double worst = 0;
    for (int i = 0; i <= 100000; ++i) {
        const double a = -1.5707963268 + i * (7.853981632528868 + 1.5707963268) / 100000;
        worst = std::max(worst, std::fabs(modulatorSine(a) - std::sin(a)));
    }
    EXPECT_LT(worst, 1e-13);
}

TEST(WaveShapes, RandomShapeGlidesWithinZeroToOne) {
    seedRandom(99);
    RandomStream random;
    Modulator m;
    m.wave = Wave::Random;
    m.increment = 0x10000001u;  // 16 steps per cycle
    float previous = 0;
    int draws = 0;
    for (int i = 0; i < 20000; ++i) {
        const float old = m.newRandom;
        const float y = randomValue(m, random);
        if (m.newRandom != old || i == 0) ++draws;
        EXPECT_GE(y, 0.0f);
        EXPECT_LT(y, 1.0f);
        // A new cycle starts where the last one ended: no jump at the wrap.
        if (i > 0) {
            EXPECT_LT(std::fabs(y - previous), 0.2f);
        }
        previous = y;
        m.phase += m.increment;
    }
    EXPECT_GT(draws, 1000);
}

TEST(WaveShapes, RandomShapeHoldsAtZeroIncrement) {
    seedRandom(5);
    RandomStream random;
    Modulator m;
    m.wave = Wave::Random;
    m.phase = 12345;
    m.newRandom = 0.75f;
    m.oldRandom = 0.25f;
    const float first = randomValue(m, random);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(randomValue(m, random), first);
    EXPECT_EQ(m.newRandom, 0.75f);
}

// Setup through the public function, with the host scripted.
struct SetupRig {
    Modulator m1, m2;
    ScriptedHostTime host;
    double tempo = 0;
    ModulatorSettings s{0.1f, 0.34f, 0.0f, 0.26f, 0.0f, 0.0f, false, 44100};

    void run() { setupModulators(m1, m2, s, freeModulation(s), host, tempo); }
};

TEST(ModulatorSetup, FollowModeRunsOffsetBehindWithTheSameShapeAndRate) {
    SetupRig t;
    t.s.offset = 0.5f;
    t.m1.phase = 0x10000000u;
    t.run();
    EXPECT_EQ(t.m2.wave, t.m1.wave);
    EXPECT_EQ(t.m2.increment, t.m1.increment);
    EXPECT_EQ(t.m2.phase, 0x90000000u);
    // Half a cycle behind: lfo2 now is lfo1 half a cycle later.
    EXPECT_FLOAT_EQ(shapeValue(t.m2.wave, t.m2.phase), shapeValue(t.m1.wave, t.m1.phase + 0x80000000u));
    EXPECT_EQ(t.m1.increment, static_cast<uint32_t>(std::nearbyint(4294967296.0 * t.m1.rate / 44100)));
}

TEST(ModulatorSetup, OffsetIsReimposedOnlyAtEqualIncrements) {
    SetupRig t;
    t.s.wave2 = 0.3f;
    t.s.rate2 = t.s.rate1;
    t.s.offset = 0.25f;
    t.m1.phase = 1000;
    t.m2.phase = 7;
    t.run();
    EXPECT_EQ(t.m2.phase, 1000u + (1u << 30));
    EXPECT_EQ(t.m2.wave, Wave::SquaredCosine);

    t.s.rate2 = 0.5f;
    t.m2.phase = 7;
    t.run();
    EXPECT_EQ(t.m2.phase, 7u);
    EXPECT_NE(t.m2.increment, t.m1.increment);
}

TEST(ModulatorSetup, OffsetOfOneIsOffsetZero) {
    SetupRig t;
    t.s.offset = 1.0f;
    t.m1.phase = 0xDEADBEEFu;
    t.run();
    EXPECT_EQ(t.m2.phase, 0xDEADBEEFu);
}

TEST(TempoSync, SlowestRateAt120BeatsPerMinute) {
    SetupRig t;
    t.s.sync = true;
    t.s.rate1 = 0;
    t.host.available = true;
    t.host.info = {0, 120, 0x400 | 0x2000};
    t.run();
    EXPECT_EQ(t.host.lastMask, 0x2400);
    EXPECT_FLOAT_EQ(t.m1.rate, 0.015625f);  // 2 * 120 / 15360
    EXPECT_EQ(t.tempo, 120);
    // Follow mode: modulator 2 runs at modulator 1's increment.
    EXPECT_EQ(t.m2.increment, t.m1.increment);
}

TEST(TempoSync, MultiplierFollowsTheTempo) {
    struct Case {
        double tempo;
        float rate;  // of Rate 0.1 (2^1), so rate = 2 m tempo / 15360
    } cases[] = {{300, 2 * 1 * 300 / 15360.0f},
                 {120, 2 * 2 * 120 / 15360.0f},
                 {30, 2 * 8 * 30 / 15360.0f},
                 {0.6, static_cast<float>(2 * 256 * 0.6 / 15360)},
                 {0.5, static_cast<float>(2 * 1 * 0.5 / 15360)}};
    for (const Case& c : cases) {
        SetupRig t;
        t.s.sync = true;
        t.s.rate1 = 0.1f;
        t.host.available = true;
        t.host.info = {0, c.tempo, 0x400 | 0x2000};
        t.run();
        EXPECT_FLOAT_EQ(t.m1.rate, c.rate) << "tempo " << c.tempo;
    }
}

TEST(TempoSync, TransportStoppedRunsFreePlayingLocksToTheSongPosition) {
    SetupRig t;
    t.s.sync = true;
    t.s.wave2 = 0.5f;
    t.s.rate2 = 0.5f;
    t.s.offset = 0.25f;
    t.s.hostOffset = 0.5f;
    t.host.available = true;
    t.host.info = {44100.0 * 10, 120, 0x400 | 0x2000};
    t.m1.phase = 111;
    t.m2.phase = 222;
    t.run();
    EXPECT_EQ(t.m1.phase, 111u);
    EXPECT_EQ(t.m2.phase, 222u);

    t.host.info.flags |= 0x2;
    t.run();
    const uint32_t lock1 =
        static_cast<uint32_t>(static_cast<uint64_t>(std::llrint(4294967296.0 * t.m1.rate * 441000 / 44100)));
    const uint32_t lock2 =
        static_cast<uint32_t>(static_cast<uint64_t>(std::llrint(4294967296.0 * t.m2.rate * 441000 / 44100)));
    EXPECT_EQ(t.m1.phase, lock1 + 0x80000000u);
    EXPECT_EQ(t.m2.phase, lock2 + 0x80000000u + 0x40000000u);
}

TEST(TempoSync, HostWithoutTimeInformationKeepsFreeRatesAndTempo) {
    SetupRig t;
    t.s.sync = true;
    t.tempo = 97;
    t.run();
    EXPECT_EQ(t.host.requests, 1);
    EXPECT_FLOAT_EQ(t.m1.rate, static_cast<float>(std::pow(1000.0, 0.34f) * 0.02));
    EXPECT_EQ(t.tempo, 97);

    // Tempo without a time signature counts as no information too.
    t.host.available = true;
    t.host.info = {0, 140, 0x400};
    t.run();
    EXPECT_EQ(t.tempo, 97);
}

TEST(TempoSync, TempoZeroStopsTheModulators) {
    SetupRig t;
    t.s.sync = true;
    t.host.available = true;
    t.host.info = {0, 0, 0x400 | 0x2000 | 0x2};
    t.run();
    EXPECT_EQ(t.m1.rate, 0.0f);
    EXPECT_EQ(t.m1.increment, 0u);
    EXPECT_EQ(t.m2.increment, 0u);
}

TEST(TempoSync, SyncOffNeverAsksTheHost) {
    SetupRig t;
    t.host.available = true;
    t.run();
    EXPECT_EQ(t.host.requests, 0);
}

}  // namespace
}  // namespace trv4::test
