// State through the host's streams: what one instance saves, another loads
// whole (however the stream cuts it), current program and edited programs
// alike; streams that are cut short, damaged, too long or not ours are
// refused and change nothing. The factory programs reach the host as presets.
#include <cstring>
#include <vector>

#include "clap/StateFormat.h"
#include "engine/ParamIndex.h"
#include "tests/clap/ClapRig.h"

namespace {

using trv4test::ClapRig;

std::vector<double> values(trv4host::ClapInstance& instance) {
    std::vector<double> v;
    for (uint32_t i = 0; i < instance.parameterCount(); ++i) v.push_back(instance.value(i));
    return v;
}

bool loadPreset(trv4host::ClapInstance& instance, const char* key) {
    return instance.presetLoad()->from_location(&instance.plugin(), clap::kPresetLocationPlugin, nullptr, key);
}

TEST(ClapState, RoundTripCarriesEveryProgramAndTheCurrentOne) {
    ClapRig a;
    // Program 5 edited and current; program 9 edited, then left.
    ASSERT_TRUE(loadPreset(*a, "9"));
    a->flush({{0, trv4::kLevel, 0.125}});
    ASSERT_TRUE(loadPreset(*a, "5"));
    a->flush({{0, trv4::kDelay, 0.123}, {0, trv4::kWave2, 7}});
    std::vector<uint8_t> saved;
    ASSERT_TRUE(a->saveState(saved));
    EXPECT_EQ(saved.size(), trv4clap::kStateBytes);

    ClapRig b;
    ASSERT_TRUE(b->loadState(saved, 7));  // seven bytes a read
    EXPECT_EQ(values(*b), values(*a));
    EXPECT_FLOAT_EQ(b->value(trv4::kDelay), 0.123f);
    EXPECT_EQ(b->value(trv4::kWave2), 7.0);
    EXPECT_GT(b->rescans, 0);  // the host was told the values changed
    std::vector<uint8_t> again;
    ASSERT_TRUE(b->saveState(again));
    EXPECT_EQ(again, saved);
    // The edit of program 9 came along: selecting it in b gives the edited
    // value, as selecting an edited VST 2 program does.
    ASSERT_TRUE(loadPreset(*b, "9"));
    EXPECT_DOUBLE_EQ(b->value(trv4::kLevel), 0.125);
}

TEST(ClapState, BadStreamsAreRefusedAndChangeNothing) {
    ClapRig good;
    std::vector<uint8_t> saved;
    ASSERT_TRUE(good->saveState(saved));

    ClapRig rig;
    ASSERT_TRUE(loadPreset(*rig, "3"));
    rig->flush({{0, trv4::kMix, 0.31}});
    std::vector<uint8_t> before;
    ASSERT_TRUE(rig->saveState(before));

    // Valid hashes around invalid contents.
    auto encoded = [](auto change) {
        trv4clap::BankState state;
        change(state);
        std::vector<uint8_t> bytes(trv4clap::kStateBytes);
        trv4clap::encodeState(state, bytes.data());
        return bytes;
    };
    std::vector<std::pair<const char*, std::vector<uint8_t>>> bad;
    bad.push_back({"empty", {}});
    bad.push_back({"cut short", std::vector<uint8_t>(saved.begin(), saved.end() - 1)});
    std::vector<uint8_t> longer = saved;
    longer.push_back(0);
    bad.push_back({"one byte too long", longer});
    std::vector<uint8_t> flipped = saved;
    flipped[saved.size() / 2] ^= 0x10;
    bad.push_back({"a flipped bit", flipped});
    bad.push_back({"foreign", std::vector<uint8_t>(saved.size(), 0x5A)});
    bad.push_back({"not a number", encoded([](trv4clap::BankState& s) { s.values[4][2] = std::nanf(""); })});
    bad.push_back({"above 1", encoded([](trv4clap::BankState& s) { s.values[0][0] = 1.5f; })});
    bad.push_back({"program 45", encoded([](trv4clap::BankState& s) { s.current = 45; })});
    std::vector<uint8_t> laterVersion = encoded([](trv4clap::BankState&) {});
    laterVersion[8] = 2;  // and the hash no longer fits either
    bad.push_back({"version 2", laterVersion});

    for (const auto& [what, bytes] : bad) {
        const size_t logged = rig->log.size();
        EXPECT_FALSE(rig->loadState(bytes)) << what;
        EXPECT_GT(rig->log.size(), logged) << what << ": no error reported";
        std::vector<uint8_t> after;
        ASSERT_TRUE(rig->saveState(after));
        EXPECT_EQ(after, before) << what << " changed the plug-in";
    }
    // A well-formed state with a valid hash loads.
    EXPECT_TRUE(rig->loadState(encoded([](trv4clap::BankState& s) { s.current = 44; })));
}

TEST(ClapPresets, DiscoveryListsTheFactoryProgramsAndLoadingSelectsOne) {
    ClapRig rig;
    const auto& presets = rig.module->presets();
    ASSERT_EQ(presets.size(), 45u);
    EXPECT_EQ(presets[0].name, "Wide Chorus");
    EXPECT_EQ(presets[41].name, "Come baaaaaack!");
    ASSERT_TRUE(loadPreset(*rig, presets[44].key.c_str()));
    EXPECT_EQ(rig->value(trv4::kMix), 1.0);  // "Bucket on Head"
    EXPECT_EQ(rig->presetsLoaded, 1);
    EXPECT_FALSE(loadPreset(*rig, "45"));
    EXPECT_FALSE(rig->presetLoad()->from_location(&rig->plugin(), clap::kPresetLocationFile, "/x.fxp", ""));
    EXPECT_EQ(rig->presetErrors.size(), 2u);
}

}  // namespace
