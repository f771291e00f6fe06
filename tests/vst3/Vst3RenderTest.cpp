// Sound through the VST3 bundle against the VST 2 plug-in object: the same
// program, input, blocks, host time and random seed give the same samples,
// and a parameter change inside a block lands at its own frame exactly as if
// the VST 2 host had split the block there. The same through the host's VST3
// bridge (the bundle behind a VST 2 record, as trv4 drives it).
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "plugin/FactoryPrograms.h"
#include "plugin/ReplaySeed.h"
#include "tools/host/BridgedEffect.h"
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

TEST_F(Vst3Render, ThroughTheHostsBridgeEqualsTheVst2RenderCutAtEachChange) {
    // The bundle by its path behind the host's VST 2 record: settings made
    // before resume, a tempo-synced program playing, and changes queued at
    // odd frames of 512-frame blocks (two at one frame, one at a block's
    // last frame) against the VST 2 object whose blocks are cut there.
    std::string error;
    auto bundle = trv4host::PluginModule::Load(trv4test::hostPath(TRV4_VST3_BUNDLE_PATH), error);
    ASSERT_TRUE(bundle && bundle->vst3()) << error;
    trv4host::Host bridgeHost;
    trv4host::Effect fx(bridgeHost.instantiate(*bundle));
    ASSERT_NE(trv4host::BridgedEffect::of(fx.record()), nullptr);
    EXPECT_EQ(fx.record()->numParams, trv4::kNumParams);
    EXPECT_EQ(fx.record()->numPrograms, trv4::kNumPrograms);
    EXPECT_EQ(fx.text(vst::effGetProgramNameIndexed, 17), trv4::kFactoryProgramNames[17]);
    uint64_t seed = kSeed;
    ASSERT_EQ(fx.dispatch(vst::effVendorSpecific, trv4::kReplaySeedIndex, trv4::kReplaySeedValue, &seed), 1);
    fx.setSampleRate(44100);
    fx.setBlockSize(512);
    fx.setProgram(17);
    fx.setParameter(trv4::kMix, 0.7f);
    EXPECT_EQ(fx.getParameter(trv4::kMix), 0.7f);
    fx.resume();

    host.timeInfoAvailable = false;
    trv4host::Effect& reference =
        *references.emplace_back(std::make_unique<trv4host::Effect>(host.instantiate(referenceEntry)));
    reference.setSampleRate(44100);
    reference.setBlockSize(512);
    reference.setProgram(17);
    reference.setParameter(trv4::kMix, 0.7f);
    trv4::seedRandom(kSeed);
    reference.resume();

    vst::VstTimeInfo time{};
    time.sampleRate = 44100;
    time.tempo = 133;
    time.flags = vst::kVstTransportPlaying | vst::kVstTempoValid | vst::kVstTimeSigValid | vst::kVstPpqPosValid;
    time.timeSigNumerator = time.timeSigDenominator = 4;
    bridgeHost.timeInfoAvailable = host.timeInfoAvailable = true;
    const double songStart = 48000 * 3 + 7;
    struct Change {
        int frame, index;
        float value;
    };
    const Change changes[] = {{512 + 137, trv4::kDelay, 0.9f}, {512 + 301, trv4::kDepth, 0.8f},
                              {512 + 301, trv4::kMono, 1.0f},  {3 * 512 + 511, trv4::kFeedback, 0.9f},
                              {5 * 512 + 1, trv4::kMix, 0.2f}, {5 * 512 + 1, trv4::kMix, 0.4f}};
    std::vector<float> l3(inL.size()), r3(inL.size()), l2(inL.size()), r2(inL.size());
    for (int at = 0; at + 512 <= static_cast<int>(inL.size()); at += 512) {
        std::vector<int> cuts = {at, at + 512};
        for (const Change& c : changes) {
            if (c.frame < at || c.frame >= at + 512) continue;
            trv4host::BridgedEffect::of(fx.record())
                ->queueChange(static_cast<uint32_t>(c.frame - at), c.index, c.value);
            cuts.push_back(c.frame);
        }
        time.samplePos = songStart + at;
        time.ppqPos = time.samplePos / 44100 * 133 / 60;
        bridgeHost.timeInfo = time;
        fx.processReplacing(&inL[at], &inR[at], &l3[at], &r3[at], 512);
        std::sort(cuts.begin(), cuts.end());
        cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
        for (size_t k = 0; k + 1 < cuts.size(); ++k) {
            for (const Change& c : changes)
                if (c.frame == cuts[k]) reference.setParameter(c.index, c.value);
            host.timeInfo = time;
            host.timeInfo.samplePos = songStart + cuts[k];
            host.timeInfo.ppqPos = host.timeInfo.samplePos / 44100 * 133 / 60;
            reference.processReplacing(&inL[cuts[k]], &inR[cuts[k]], &l2[cuts[k]], &r2[cuts[k]], cuts[k + 1] - cuts[k]);
        }
    }
    for (size_t i = 0; i < l2.size(); ++i) {
        ASSERT_EQ(l3[i], l2[i]) << "left, frame " << i;
        ASSERT_EQ(r3[i], r2[i]) << "right, frame " << i;
    }
    // Mono from frame 301 of the second block on, not before; the last of
    // two changes at one frame holds.
    EXPECT_NE(l3[512 + 300], r3[512 + 300]);
    EXPECT_EQ(l3[512 + 301], r3[512 + 301]);
    EXPECT_EQ(fx.getParameter(trv4::kMix), 0.4f);
    fx.suspend();
}

}  // namespace
