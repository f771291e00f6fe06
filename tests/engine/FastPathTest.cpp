// The fast block path against the scalar reference step. The fast path
// carries the input low-pass in another form and sums some products in
// another order, so its rounding differs in the last bits; the two must stay
// within 1e-6 of each other, sample for sample, for every factory program at
// every supported rate, in blocks of 1, 511 and 4096 frames, tempo-synced
// and free, while parameters change under way.
//
// The six ways of running (three block sizes, synced or free) rotate over
// the programs and the rates, so that every program runs each way (at one
// rate or another) and every rate sees each way with several programs. The
// full product, six times as long, is the disabled test below; run it with
// --gtest_also_run_disabled_tests after a change to the fast path.
#include <gtest/gtest.h>

#include <bit>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "engine/Random.h"
#include "plugin/FactoryPrograms.h"
#include "tests/engine/EngineRig.h"

namespace trv4::test {
namespace {

constexpr double kBound = 1e-6;

// Five seconds of audio. Under AddressSanitizer, which runs this code five
// to ten times slower, one second keeps the test within the suite's time;
// the native run covers the full length.
#if defined(__SANITIZE_ADDRESS__)
#define TRV4_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TRV4_UNDER_ASAN 1
#endif
#endif
#ifdef TRV4_UNDER_ASAN
constexpr double kSeconds = 1;
#else
constexpr double kSeconds = 5;
#endif

constexpr float kRates[] = {44100, 48000, 88200, 96000, 176400, 192000};
constexpr int kBlocks[] = {1, 511, 4096};

// How a case renders: the reference step, or the fast path with or without
// its 256-bit loops.
enum class Path { kReference, kFast, kFastNarrow };

struct Case {
    int program;
    float sampleRate;
    int block;
    bool sync;
    double seconds = kSeconds;
    float hiCut = -1;  // Hi-Cut's value, if at or above 0 (else the program's)
};

struct Render {
    std::vector<float> left, right;
    float meter = 0;
    InputLowpass lowpass;  // the input low-pass states at the end
};

// Noise with a burst at +12 dB (the limiter) and a few broken host samples.
// Every quarter second, at the next block boundary, one parameter takes a
// new value (Sync. keeps the case's setting).
Render render(const Case& c, Path path) {
    seedRandom(0x5EED0000u + static_cast<uint32_t>(c.program));
    EngineRig rig;
    for (int i = 0; i < kNumParams; ++i) rig.set(i, kFactoryProgramValues[c.program][i]);
    rig.set(kSync, c.sync ? 1.0f : 0.0f);
    if (c.hiCut >= 0) rig.set(kHiCut, c.hiCut);
    rig.host.available = true;
    rig.host.info = {48000.0 * 3, 120.0, 0x2 | 0x400 | 0x2000};
    if (path == Path::kFastNarrow) rig.engine->useWideVectors(false);
    rig.start(c.sampleRate);

    const size_t n = static_cast<size_t>(c.seconds * c.sampleRate);
    std::vector<float> inL = noise(n, 1, 0.5f), inR = noise(n, 2, 0.5f);
    for (size_t i = n / 3; i < n / 3 + n / 50; ++i) inL[i] *= 4.0f;
    inL[n / 2] = std::nanf("");
    inR[n / 2 + 7] = -std::numeric_limits<float>::infinity();

    Render r;
    r.left.resize(n);
    r.right.resize(n);
    uint32_t dice = 0x9E3779B9u * static_cast<uint32_t>(c.program + 1);
    const size_t every = static_cast<size_t>(c.sampleRate / 4);
    size_t nextChange = every;
    for (size_t done = 0; done < n;) {
        if (done >= nextChange) {
            dice = dice * 1664525u + 1013904223u;
            const int index = static_cast<int>((dice >> 8) % kNumParams);
            dice = dice * 1664525u + 1013904223u;
            if (index != kSync) rig.set(index, static_cast<float>(dice >> 8) / 16777216.0f);
            nextChange += every;
        }
        const int32_t count = static_cast<int32_t>(std::min<size_t>(c.block, n - done));
        const float* in[2] = {inL.data() + done, inR.data() + done};
        float* out[2] = {r.left.data() + done, r.right.data() + done};
        if (path == Path::kReference)
            rig.engine->processReference(in, out, count);
        else
            rig.engine->processReplacing(in, out, count);
        done += count;
    }
    r.meter = rig.engine->meterLevel();
    r.lowpass = rig.state().input;
    return r;
}

// Renders c both ways; answers the largest difference and reports any
// above the bound.
double compare(const Case& c) {
    const Render fast = render(c, Path::kFast);
    const Render ref = render(c, Path::kReference);
    double largest = 0, energy = 0;
    size_t where = 0;
    for (size_t i = 0; i < fast.left.size(); ++i) {
        const double d = std::max(std::fabs(fast.left[i] - ref.left[i]), std::fabs(fast.right[i] - ref.right[i]));
        if (!(d <= largest)) {
            largest = d;
            where = i;
        }
        energy += ref.left[i] * ref.left[i];
    }
    const std::string what = std::string(kFactoryProgramNames[c.program]) + " at " + std::to_string(c.sampleRate) +
                             " Hz, block " + std::to_string(c.block) + (c.sync ? ", synced" : ", free");
    EXPECT_LE(largest, kBound) << what << ", first worst frame " << where;
    EXPECT_NEAR(fast.meter, ref.meter, 1e-5) << what;
    EXPECT_GT(energy, 1.0) << what << ": silent";
    return largest;
}

void report(const char* what, double worst) {
    ::testing::Test::RecordProperty("largest_difference", std::to_string(worst));
    std::printf("[          ] %s: largest difference %.3g\n", what, worst);
}

TEST(FastPath, StaysWithinBoundOfReference) {
    double worst = 0;
    for (int r = 0; r < 6; ++r)
        for (int program = 0; program < kNumPrograms; ++program) {
            const int way = (program + r) % 6;
            worst = std::max(worst, compare({program, kRates[r], kBlocks[way / 2], way % 2 == 1}));
        }
    report("all programs and rates", worst);
}

// Where the processor has AVX, the fast path runs its widest loops (the
// input low-pass, the modulator shapes, the limiter and the meter) in
// 256-bit vectors: the same operations lane for lane, so the same bits as
// the two-lane loops that run everywhere else, at both rates of the
// closed-form low-pass (four and two rows per frame). Every program, so that
// every wave shape turns up, every other one with the hi-cut on.
TEST(FastPath, WideVectorsGiveTheSameBits) {
    if (!EngineRig().engine->wideVectors()) GTEST_SKIP() << "no AVX on this processor";
    for (float rate : {44100.0f, 96000.0f})
        for (int program = 0; program < kNumPrograms; ++program) {
            const Case c{program, rate, 511, program % 2 == 1, 1.0, program % 2 == 0 ? 0.5f : -1.0f};
            const Render wide = render(c, Path::kFast), narrow = render(c, Path::kFastNarrow);
            size_t differ = 0;
            while (differ < wide.left.size() && wide.left[differ] == narrow.left[differ] &&
                   wide.right[differ] == narrow.right[differ])
                ++differ;
            const std::string what = std::string(kFactoryProgramNames[program]) + " at " + std::to_string(rate) + " Hz";
            EXPECT_EQ(differ, wide.left.size()) << what << ": first different frame " << differ;
            EXPECT_EQ(std::bit_cast<uint32_t>(wide.meter), std::bit_cast<uint32_t>(narrow.meter)) << what;
            // The low-pass states carry every last bit of the closed form,
            // which the float32 rows mostly round away.
            EXPECT_EQ(0, std::memcmp(wide.lowpass.s1, narrow.lowpass.s1, sizeof wide.lowpass.s1)) << what;
            EXPECT_EQ(0, std::memcmp(wide.lowpass.s2, narrow.lowpass.s2, sizeof wide.lowpass.s2)) << what;
        }
}

TEST(FastPath, DISABLED_StaysWithinBoundOfReferenceEveryWay) {
    double worst = 0;
    for (float rate : kRates)
        for (int program = 0; program < kNumPrograms; ++program)
            for (int block : kBlocks)
                for (bool sync : {false, true}) worst = std::max(worst, compare({program, rate, block, sync}));
    report("every program, rate, block size and sync", worst);
}

}  // namespace
}  // namespace trv4::test
