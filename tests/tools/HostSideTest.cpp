// trv4's host side against a probe plug-in that logs every call: the order
// of a render, the transport it reports, the preset transfers through the
// host-side calls, and the checks that refuse settings before anything
// reaches the plug-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "tests/tools/ProbeLog.h"
#include "tests/tools/ProbePath.h"
#include "tools/trv4/LoadedPlugin.h"
#include "tools/trv4/PluginSettings.h"
#include "tools/trv4/PresetTransfer.h"
#include "tools/trv4/Renderer.h"

namespace trv4tool {
namespace {

using trv4probe::Call;

class MemoryReader final : public AudioReader {
public:
    MemoryReader(std::vector<float> samples, int channels, int rate)
        : samples_(std::move(samples)), channels_(channels), rate_(rate) {}
    int sampleRate() const override { return rate_; }
    int channels() const override { return channels_; }
    int64_t frames() const override { return static_cast<int64_t>(samples_.size()) / channels_; }
    int64_t read(float* interleaved, int64_t count, std::string&) override {
        int64_t n = std::min(count, frames() - position_);
        std::copy_n(samples_.begin() + position_ * channels_, n * channels_, interleaved);
        position_ += n;
        return n;
    }

private:
    std::vector<float> samples_;
    int channels_, rate_;
    int64_t position_ = 0;
};

class MemoryWriter final : public AudioWriter {
public:
    bool write(const float* interleaved, int64_t count, std::string&) override {
        samples.insert(samples.end(), interleaved, interleaved + 2 * count);
        return true;
    }
    bool finish(std::string&) override { return true; }
    std::vector<float> samples;
};

class HostSide : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        plugin = LoadedPlugin::load(trv4test::probePath(), error);
        ASSERT_TRUE(plugin) << error;
        log = reinterpret_cast<const trv4probe::ProbeLog*>(
            plugin->effect().dispatch(vst::effVendorSpecific, trv4probe::kProbeLogQuery));
        ASSERT_NE(log, nullptr);
    }
    void TearDown() override {
        for (const auto& path : files) std::filesystem::remove(path);
    }

    std::vector<trv4probe::CallRecord> calls(Call kind) const {
        std::vector<trv4probe::CallRecord> found;
        for (int i = 0; i < log->count; ++i)
            if (log->calls[i].call == kind) found.push_back(log->calls[i]);
        return found;
    }

    std::string tempFile(const std::string& name) {
        auto path =
            std::filesystem::temp_directory_path() / ("trv4-hostside-" + std::to_string(files.size()) + "-" + name);
        files.push_back(path);
        return path.string();
    }

    bool resolve(std::vector<Option> options, PluginSettings& settings, std::string& error) {
        Arguments args;
        args.options = std::move(options);
        return resolveSettings(*plugin, args, settings, error);
    }

    std::unique_ptr<LoadedPlugin> plugin;
    const trv4probe::ProbeLog* log = nullptr;
    std::vector<std::filesystem::path> files;
};

TEST_F(HostSide, RenderRunsInHostOrderAndFeedsMonoToBothInputs) {
    PluginSettings settings;
    std::string error;
    ASSERT_TRUE(resolve({{"program", "Third"}, {"set", "alpha=0.5"}}, settings, error)) << error;
    std::vector<float> mono(1000);
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = static_cast<float>(i) / 1000.0f;
    MemoryReader in(mono, 1, 48000);
    MemoryWriter out;
    RenderJob job;
    job.blockSize = 300;
    job.tailSeconds = 0.01;  // 480 frames at 48 kHz
    RenderResult result;
    ASSERT_TRUE(render(*plugin, settings, in, out, job, result, error)) << error;

    std::vector<Call> order;
    for (int i = 0; i < log->count; ++i)
        if (order.empty() || order.back() != log->calls[i].call) order.push_back(log->calls[i].call);
    std::vector<Call> expected = {Call::SetSampleRate, Call::SetBlockSize, Call::SetProgram, Call::SetParameter,
                                  Call::Resume,        Call::Process,      Call::Suspend};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(log->calls[0].value, 48000.0f);
    EXPECT_EQ(log->calls[1].value, 300.0f);
    EXPECT_EQ(calls(Call::SetProgram).at(0).index, 2);
    EXPECT_EQ(calls(Call::SetParameter).at(0).index, 0);
    EXPECT_EQ(calls(Call::SetParameter).at(0).value, 0.5f);

    std::vector<int> blocks;
    for (const auto& c : calls(Call::Process)) blocks.push_back(c.index);
    EXPECT_EQ(blocks, (std::vector<int>{300, 300, 300, 300, 280}));
    EXPECT_EQ(result.frames, 1480);
    ASSERT_EQ(out.samples.size(), 2u * 1480u);
    for (size_t i = 0; i < mono.size(); ++i) {
        ASSERT_EQ(out.samples[2 * i], mono[i]) << i;       // left passes through
        ASSERT_EQ(out.samples[2 * i + 1], -mono[i]) << i;  // right is inverted by the probe
    }
    for (size_t i = mono.size(); i < 1480; ++i) ASSERT_EQ(out.samples[2 * i], 0.0f) << "tail frame " << i;
    EXPECT_EQ(result.peak, mono.back());
}

TEST_F(HostSide, StereoInputKeepsItsChannels) {
    std::vector<float> stereo = {0.25f, 0.5f, -0.125f, 0.75f};
    MemoryReader in(stereo, 2, 44100);
    MemoryWriter out;
    RenderResult result;
    std::string error;
    ASSERT_TRUE(render(*plugin, {}, in, out, RenderJob{}, result, error)) << error;
    EXPECT_EQ(out.samples, (std::vector<float>{0.25f, -0.5f, -0.125f, -0.75f}));

    MemoryReader wide(std::vector<float>(12), 3, 44100);
    EXPECT_FALSE(render(*plugin, {}, wide, out, RenderJob{}, result, error));
    EXPECT_NE(error.find("3 channels"), std::string::npos) << error;
}

TEST_F(HostSide, TransportIsReportedOnlyWhenAsked) {
    std::vector<float> mono(1024);
    RenderResult result;
    std::string error;
    {
        MemoryReader in(mono, 1, 44100);
        MemoryWriter out;
        RenderJob job;
        job.blockSize = 256;
        ASSERT_TRUE(render(*plugin, {}, in, out, job, result, error)) << error;
        for (const auto& c : calls(Call::Process)) {
            EXPECT_EQ(c.gotTime, 0);
            EXPECT_EQ(c.requestMask, 0x2400);
        }
    }
    for (bool playing : {false, true}) {
        SCOPED_TRACE(playing ? "playing" : "stopped");
        size_t before = calls(Call::Process).size();
        MemoryReader in(mono, 1, 44100);
        MemoryWriter out;
        RenderJob job;
        job.blockSize = 256;
        job.transport = {true, 97.5, playing, 1000};
        ASSERT_TRUE(render(*plugin, {}, in, out, job, result, error)) << error;
        std::vector<trv4probe::CallRecord> process = calls(Call::Process);
        ASSERT_EQ(process.size(), before + 4);
        for (size_t k = 0; k < 4; ++k) {
            const auto& c = process[before + k];
            ASSERT_EQ(c.gotTime, 1);
            EXPECT_EQ(c.tempo, 97.5);
            EXPECT_EQ(c.timeSigNumerator, 4);
            EXPECT_EQ(c.timeFlags & 0x2400, 0x2400);
            EXPECT_EQ((c.timeFlags & vst::kVstTransportPlaying) != 0, playing);
            EXPECT_EQ(c.samplePos, playing ? 1000.0 + 256.0 * k : 1000.0);
        }
    }
}

TEST_F(HostSide, BankCaptureVisitsEveryProgramAndRestoresTheCurrentOne) {
    plugin->effect().setProgram(1);
    Preset bank = captureBank(plugin->effect());
    EXPECT_EQ(bank.fxID, trv4probe::kProbeID);
    EXPECT_EQ(bank.fxVersion, trv4probe::kProbeVersion);
    EXPECT_EQ(bank.currentProgram, 1);
    ASSERT_EQ(bank.programs.size(), 3u);
    EXPECT_EQ(bank.programs[2].name, "Third");
    EXPECT_EQ(bank.programs[2].values[3], 0.1f * 5);
    EXPECT_EQ(plugin->effect().dispatch(vst::effGetProgram), 1);

    Preset program = captureProgram(plugin->effect());
    EXPECT_EQ(program.kind, PresetKind::Program);
    ASSERT_EQ(program.programs.size(), 1u);
    EXPECT_EQ(program.programs[0].name, "Second");
    EXPECT_EQ(program.programs[0].values, bank.programs[1].values);
}

TEST_F(HostSide, ScrambledBankIsRestoredAndVerified) {
    const trv4host::Effect& effect = plugin->effect();
    Preset saved = captureBank(effect);
    Preset scrambled = saved;
    for (auto& program : scrambled.programs) {
        program.name = "Scrambled " + program.name;
        for (float& v : program.values) v = 1.0f - v;
    }
    scrambled.programs[1].values[0] = 1.75f;  // stored as 1: not a difference
    scrambled.currentProgram = 2;
    restorePreset(effect, scrambled);
    EXPECT_TRUE(verifyPreset(effect, scrambled).empty());
    EXPECT_EQ(effect.dispatch(vst::effGetProgram), 2);
    EXPECT_FALSE(verifyPreset(effect, saved).empty());

    restorePreset(effect, saved);
    EXPECT_TRUE(verifyPreset(effect, saved).empty());
    Preset again = captureBank(effect);
    for (size_t p = 0; p < 3; ++p) {
        EXPECT_EQ(again.programs[p].name, saved.programs[p].name);
        EXPECT_EQ(again.programs[p].values, saved.programs[p].values);
    }
}

TEST_F(HostSide, VerifyReportsAValueThePlugInForgot) {
    const trv4host::Effect& effect = plugin->effect();
    Preset bank = captureBank(effect);
    bank.programs[0].values[2] = 0.875f;
    effect.dispatch(vst::effVendorSpecific, trv4probe::kProbeForgetQuery, 1);
    restorePreset(effect, bank);
    std::vector<std::string> problems = verifyPreset(effect, bank);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("program 0, parameter 2 reads 0.2"), std::string::npos) << problems[0];
    EXPECT_NE(problems[0].find("0.875"), std::string::npos) << problems[0];
}

TEST_F(HostSide, SettingsResolveByNameIndexAndCase) {
    PluginSettings settings;
    std::string error;
    ASSERT_TRUE(
        resolve({{"program", "second"}, {"set", "Beta=0.25"}, {"set", "3=1"}, {"set", "GAMMA=0"}}, settings, error))
        << error;
    EXPECT_EQ(settings.programIndex, 1);
    EXPECT_EQ(settings.values, (std::vector<std::pair<int, float>>{{1, 0.25f}, {3, 1.0f}, {2, 0.0f}}));
    ASSERT_TRUE(resolve({{"program", "2"}}, settings, error)) << error;
    EXPECT_EQ(settings.programIndex, 2);
}

TEST_F(HostSide, RefusedSettingsSendNothingToThePlugIn) {
    std::string error;
    std::string fxb = tempFile("other.fxb");
    Preset other = captureBank(plugin->effect());
    other.fxID = vst::fourCC('O', 't', 'h', 'r');
    ASSERT_TRUE(writeFileBytes(fxb, writePreset(other), error));
    std::string fxp = tempFile("program.fxp");
    ASSERT_TRUE(writeFileBytes(fxp, writePreset(captureProgram(plugin->effect())), error));
    std::string bad = tempFile("bad.fxb");
    std::vector<uint8_t> truncated = writePreset(captureBank(plugin->effect()));
    truncated.resize(truncated.size() - 1);
    ASSERT_TRUE(writeFileBytes(bad, truncated, error));
    int before = log->count;

    struct Case {
        std::vector<Option> options;
        const char* reason;
    } cases[] = {
        {{{"set", "Delta=0.5"}}, "no parameter \"Delta\""},
        {{{"set", "Alpha=1.5"}}, "not a value from 0 to 1"},
        {{{"set", "Alpha"}}, "expected NAME=VALUE"},
        {{{"set", "Alpha=x"}}, "not a value from 0 to 1"},
        {{{"program", "Fourth"}}, "no program \"Fourth\""},
        {{{"program", "3"}}, "no program \"3\""},
        {{{"fxb", fxb}}, "'Othr'"},
        {{{"fxb", fxp}}, "is a program (.fxp) file"},
        {{{"fxb", bad}}, "truncated"},
        {{{"set", "Alpha=0.5"}, {"fxp", fxb}}, "is a bank (.fxb) file"},
        {{{"fxp", tempFile("missing.fxp")}}, "cannot open"},
    };
    for (const Case& c : cases) {
        PluginSettings settings;
        std::string reason;
        EXPECT_FALSE(resolve(c.options, settings, reason)) << c.reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
    // Reading names is all that happened: no program change, no parameter.
    for (int i = before; i < log->count; ++i) {
        EXPECT_NE(log->calls[i].call, Call::SetParameter);
        EXPECT_NE(log->calls[i].call, Call::SetProgram);
        EXPECT_NE(log->calls[i].call, Call::SetProgramName);
    }
}

}  // namespace
}  // namespace trv4tool
