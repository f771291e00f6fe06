// Sound through the VST3 bundle against the VST 2 plug-in object: the same
// program, input, blocks, host time and random seed give the same samples,
// and a parameter change inside a block lands at its own frame exactly as if
// the VST 2 host had split the block there.
#include <cmath>
#include <cstdint>

#include "plugin/FactoryPrograms.h"
#include "tests/engine/EngineRig.h"
#include "tests/vst3/Vst3Rig.h"
#include "vst3/Vst3Parameters.h"

namespace {

using namespace trv4test;
using trv4::test::noise;

class Vst3Render : public Vst3Test {
protected:
    static constexpr uint64_t kSeed = 0x5EED1234;
    std::vector<float> inL = noise(6000, 11, 0.5f), inR = noise(6000, 12, 0.5f);
};

TEST_F(Vst3Render, EqualsTheVst2RenderOfTheSameProgram) {
    // Blocks of every size, a playing transport at 126 beats per minute: the
    // tempo-synced programs lock their phases to the song position.
    const int blocks[] = {512, 1, 77, 512, 333, 2, 500};
    struct Case {
        int program;
        double rate;
    };
    for (Case c : {Case{0, 44100}, Case{17, 44100}, Case{35, 48000}, Case{34, 96000}, Case{36, 88200}}) {
        SCOPED_TRACE(trv4::kFactoryProgramNames[c.program]);
        Vst3Instance& fx = makeInstance();
        fx.controller->setParamNormalized(trv4::kProgramParamId, trv4::valueOfProgram(c.program));
        fx.start(c.rate, 512, kSeed);
        vst3::ProcessContext context{};
        context.state = vst3::ProcessContext::kPlaying | vst3::ProcessContext::kTempoValid |
                        vst3::ProcessContext::kTimeSigValid | vst3::ProcessContext::kProjectTimeMusicValid;
        context.sampleRate = c.rate;
        context.tempo = 126;
        context.timeSigNumerator = context.timeSigDenominator = 4;

        // The VST3 side has no transport before its first block, so the
        // pre-roll of the first activation runs without one on both sides.
        host.timeInfoAvailable = false;
        host.timeInfo = {};
        host.timeInfo.tempo = 126;
        host.timeInfo.sampleRate = c.rate;
        host.timeInfo.flags = vst::kVstTransportPlaying | vst::kVstTempoValid | vst::kVstTimeSigValid;
        trv4host::Effect& reference = makeReference(c.rate, kSeed, c.program);
        host.timeInfoAvailable = true;

        std::vector<float> l3(inL.size()), r3(inL.size()), l2(inL.size()), r2(inL.size());
        size_t at = 0;
        const int64_t songStart = 123456;
        for (int round = 0; at < inL.size(); ++round) {
            const int n = static_cast<int>(std::min<size_t>(blocks[round % 7], inL.size() - at));
            context.projectTimeSamples = songStart + static_cast<int64_t>(at);
            context.projectTimeMusic = context.projectTimeSamples / c.rate * 126 / 60;
            ASSERT_EQ(fx.process(&inL[at], &inR[at], &l3[at], &r3[at], n, nullptr, &context), vst3::kResultOk);
            host.timeInfo.samplePos = static_cast<double>(songStart + static_cast<int64_t>(at));
            reference.processReplacing(&inL[at], &inR[at], &l2[at], &r2[at], n);
            at += static_cast<size_t>(n);
        }
        for (size_t i = 0; i < l2.size(); ++i) {
            ASSERT_EQ(l3[i], l2[i]) << "left, frame " << i;
            ASSERT_EQ(r3[i], r2[i]) << "right, frame " << i;
        }
    }
}

TEST_F(Vst3Render, ParameterChangesLandAtTheirFrames) {
    Vst3Instance& fx = makeInstance();
    fx.start(44100, 512, kSeed);
    trv4host::Effect& reference = makeReference(44100, kSeed);
    std::vector<float> l3(2048), r3(2048), l2(2048), r2(2048);

    // Block 2 of 4 carries changes at frames 137 and 301, and one past its
    // end that holds from the next block on.
    ParameterChanges changes;
    changes.add(trv4::kDelay, 137, 0.9);
    changes.add(trv4::kMix, 301, 1.0);
    changes.add(trv4::kMono, 301, 1.0);
    changes.add(trv4::kDepth, 700, 0.05);
    for (int block = 0; block < 4; ++block) {
        const int at = block * 512;
        ASSERT_EQ(fx.process(&inL[at], &inR[at], &l3[at], &r3[at], 512, block == 1 ? &changes : nullptr),
                  vst3::kResultOk);
        if (block != 1) {
            reference.processReplacing(&inL[at], &inR[at], &l2[at], &r2[at], 512);
            continue;
        }
        reference.processReplacing(&inL[at], &inR[at], &l2[at], &r2[at], 137);
        reference.setParameter(trv4::kDelay, 0.9f);
        reference.processReplacing(&inL[at + 137], &inR[at + 137], &l2[at + 137], &r2[at + 137], 164);
        reference.setParameter(trv4::kMix, 1.0f);
        reference.setParameter(trv4::kMono, 1.0f);
        reference.processReplacing(&inL[at + 301], &inR[at + 301], &l2[at + 301], &r2[at + 301], 211);
        reference.setParameter(trv4::kDepth, 0.05f);
    }
    for (size_t i = 0; i < l2.size(); ++i) {
        ASSERT_EQ(l3[i], l2[i]) << "left, frame " << i;
        ASSERT_EQ(r3[i], r2[i]) << "right, frame " << i;
    }
    // Mono from frame 301 of the second block on, not before.
    EXPECT_NE(l3[512 + 300], r3[512 + 300]);
    EXPECT_EQ(l3[512 + 301], r3[512 + 301]);
    EXPECT_EQ(fx.controller->getParamNormalized(trv4::kDepth), 0.05f);
}

}  // namespace
