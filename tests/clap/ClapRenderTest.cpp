// The CLAP module sounds as the VST 2 module does: the same program,
// transport and input give the same output bit for bit; a parameter event
// at frame k equals a VST 2 render whose block is cut at k with the change
// made there; blocks above the announced maximum are cut at it.
#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "clap/TestPortExtension.h"
#include "engine/ParamIndex.h"
#include "plugin/ReplaySeed.h"
#include "tests/clap/ClapRig.h"
#include "tools/host/PluginHost.h"

namespace {

using trv4test::ClapRig;

constexpr double kRate = 44100;
// The dither and the random wave shapes draw from a generator seeded from
// the clock; both renders start it from here.
constexpr uint64_t kSeed = 0x7472763400000001ull;

struct Change {
    long frame;  // from the start of the render
    int index;
    float value;  // the VST 2 value
};

struct Song {
    bool playing = false;
    double tempo = 120;
    double startPos = 0;  // samples
};

struct Render {
    std::vector<float> left, right;
};

float input(int channel, long frame) { return trv4test::testSignal(channel, frame); }

void fillTimeInfo(vst::VstTimeInfo& info, const Song& song, double samplePos) {
    info = {};
    info.samplePos = samplePos;
    info.sampleRate = kRate;
    info.tempo = song.tempo;
    info.ppqPos = samplePos / kRate * song.tempo / 60.0;
    info.timeSigNumerator = 4;
    info.timeSigDenominator = 4;
    info.flags = vst::kVstTempoValid | vst::kVstTimeSigValid | vst::kVstPpqPosValid;
    if (song.playing) info.flags |= vst::kVstTransportPlaying;
}

clap::event_transport transportAt(const Song& song, double samplePos) {
    clap::event_transport t{};
    t.header = {sizeof t, 0, clap::kCoreEventSpace, clap::kEventTransport, 0};
    t.flags = clap::kTransportHasTempo | clap::kTransportHasBeatsTimeline | clap::kTransportHasSecondsTimeline |
              clap::kTransportHasTimeSignature;
    if (song.playing) t.flags |= clap::kTransportIsPlaying;
    t.song_pos_seconds = std::llround(samplePos / kRate * clap::kSecTimeFactor);
    t.song_pos_beats = std::llround(samplePos / kRate * song.tempo / 60.0 * clap::kBeatTimeFactor);
    t.tempo = song.tempo;
    t.tsig_num = 4;
    t.tsig_denom = 4;
    return t;
}

// VST 2: blocks of `block` frames, each also cut at every change's frame and
// at every frame in `cuts`; the changes made between the pieces.
Render renderVst(int program, const Song* song, long frames, int block, const std::vector<Change>& changes,
                 const std::set<long>& cuts = {}) {
    std::string error;
    auto module = trv4host::PluginModule::Load(trv4test::modulePath(), error);
    EXPECT_TRUE(module) << error;
    trv4host::Host host;
    host.timeInfoAvailable = song != nullptr;
    trv4host::Effect effect(host.instantiate(module->entry()));
    effect.dispatch(vst::effOpen);
    uint64_t seed = kSeed;
    EXPECT_EQ(effect.dispatch(vst::effVendorSpecific, trv4::kReplaySeedIndex, trv4::kReplaySeedValue, &seed), 1);
    effect.setSampleRate(static_cast<float>(kRate));
    effect.setBlockSize(block);
    effect.setProgram(program);
    effect.resume();

    std::set<long> edges(cuts);
    for (long f = 0; f < frames; f += block) edges.insert(f);
    for (const Change& c : changes) edges.insert(c.frame);
    edges.insert(frames);
    Render out;
    out.left.resize(frames);
    out.right.resize(frames);
    std::vector<float> inL(frames), inR(frames);
    for (long f = 0; f < frames; ++f) inL[f] = input(0, f), inR[f] = input(1, f);
    for (auto it = edges.begin(); std::next(it) != edges.end(); ++it) {
        const long start = *it, n = *std::next(it) - start;
        for (const Change& c : changes)
            if (c.frame == start) effect.setParameter(c.index, c.value);
        if (song) fillTimeInfo(host.timeInfo, *song, song->startPos + (song->playing ? start : 0));
        effect.processReplacing(&inL[start], &inR[start], &out.left[start], &out.right[start], static_cast<int>(n));
    }
    effect.suspend();
    return out;
}

// CLAP: blocks of `block` frames with the changes as events at their frames,
// activated for at most maxFrames a block.
Render renderClap(int program, const Song* song, long frames, int block, const std::vector<Change>& changes,
                  uint32_t maxFrames) {
    ClapRig rig;
    auto* tools = static_cast<const trv4clap::plugin_editor_test_port*>(rig->extension(trv4clap::kExtEditorTestPort));
    EXPECT_TRUE(tools);
    if (tools) tools->seed(&rig->plugin(), kSeed);
    const std::string key = std::to_string(program);
    EXPECT_TRUE(rig->presetLoad()->from_location(&rig->plugin(), clap::kPresetLocationPlugin, nullptr, key.c_str()));
    EXPECT_TRUE(rig->activate(kRate, maxFrames));
    EXPECT_TRUE(rig->startProcessing());
    Render out;
    out.left.resize(frames);
    out.right.resize(frames);
    std::vector<float> inL(frames), inR(frames);
    for (long f = 0; f < frames; ++f) inL[f] = input(0, f), inR[f] = input(1, f);
    for (long start = 0; start < frames; start += block) {
        const long n = std::min<long>(block, frames - start);
        std::vector<trv4host::ClapParamChange> events;
        for (const Change& c : changes) {
            if (c.frame < start || c.frame >= start + n) continue;
            clap::param_info info{};
            EXPECT_TRUE(rig->parameterInfo(static_cast<uint32_t>(c.index), info));
            events.push_back({static_cast<uint32_t>(c.frame - start), info.id,
                              info.min_value + c.value * (info.max_value - info.min_value)});
        }
        std::stable_sort(events.begin(), events.end(), [](auto& a, auto& b) { return a.frame < b.frame; });
        clap::event_transport transport{};
        if (song) transport = transportAt(*song, song->startPos + (song->playing ? start : 0));
        EXPECT_EQ(rig->process(&inL[start], &inR[start], &out.left[start], &out.right[start], static_cast<uint32_t>(n),
                               events, song ? &transport : nullptr),
                  clap::kProcessContinue);
    }
    rig->stopProcessing();
    rig->deactivate();
    EXPECT_TRUE(rig->threadFaults.empty()) << rig->threadFaults.front();
    return out;
}

// The first frame where the renders differ, or -1.
long firstDifference(const Render& a, const Render& b) {
    for (size_t i = 0; i < a.left.size(); ++i)
        if (std::memcmp(&a.left[i], &b.left[i], sizeof(float)) || std::memcmp(&a.right[i], &b.right[i], sizeof(float)))
            return static_cast<long>(i);
    return -1;
}

TEST(ClapRender, EqualsTheVst2RenderWithTempoSyncPlaying) {
    // "Guitar Flanger #1" locks its modulators to the song position: the
    // transport must reach the engine as VST 2 time information does, the
    // song position a whole number of samples though CLAP carries it in
    // fixed point.
    const Song song{true, 133, 48000 * 7 + 11};
    const long frames = 512 * 40;
    const Render vst = renderVst(17, &song, frames, 512, {});
    const Render clap = renderClap(17, &song, frames, 512, {}, 512);
    EXPECT_EQ(firstDifference(vst, clap), -1);
    // A render that ignored the transport would differ.
    EXPECT_NE(firstDifference(renderVst(17, nullptr, frames, 512, {}), clap), -1);
}

TEST(ClapRender, EventsTakeEffectAtTheirOwnFrame) {
    const std::vector<Change> changes = {
        {512 * 3, trv4::kDelay, 0.3f},      {512 * 5 + 137, trv4::kDepth, 0.9f}, {512 * 5 + 301, trv4::kMix, 0.25f},
        {512 * 5 + 301, trv4::kMix, 0.75f}, {512 * 8 + 511, trv4::kWave1, 0.5f}, {512 * 9 + 77, trv4::kFeedback, 0.85f},
        {512 * 11 + 1, trv4::kHiCut, 0.2f},
    };
    const long frames = 512 * 16;
    const Render clap = renderClap(14, nullptr, frames, 512, changes, 512);
    EXPECT_EQ(firstDifference(renderVst(14, nullptr, frames, 512, changes), clap), -1);

    // The same changes made at the start of their blocks sound different:
    // the frames matter.
    std::vector<Change> early = changes;
    for (Change& c : early) c.frame -= c.frame % 512;
    EXPECT_NE(firstDifference(renderVst(14, nullptr, frames, 512, early), clap), -1);
}

TEST(ClapRender, BlocksAboveTheAnnouncedMaximumAreCut) {
    const long frames = 512 * 12;
    std::set<long> cuts;
    for (long f = 0; f < frames; f += 512) cuts.insert({f + 200, f + 400});
    const std::vector<Change> changes = {{512 * 4 + 450, trv4::kDelay, 0.1f}};
    const Render clap = renderClap(0, nullptr, frames, 512, changes, 200);
    EXPECT_EQ(firstDifference(renderVst(0, nullptr, frames, 512, changes, cuts), clap), -1);
}

}  // namespace
