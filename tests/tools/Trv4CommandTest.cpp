// The built trv4 executable against the built plug-in module, as a user runs
// it: info, render of WAV files written here with libsndfile, refusal of
// malformed input, and preset files exported and imported again.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/ModulePath.h"
#include "tools/host/PluginHost.h"
#include "tools/trv4/PresetFile.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb/stb_image.h>

namespace {

namespace fs = std::filesystem;

struct CommandRun {
    int code = -1;
    std::string out, err;
    int errLines() const {
        int n = 0;
        for (char c : err) n += c == '\n';
        return n;
    }
};

std::string slurp(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class Trv4Command : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');  // a parameterised test's name
        dir = fs::temp_directory_path() / ("trv4-command-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string file(const std::string& name) const { return (dir / name).string(); }

    CommandRun trv4(const std::string& args) const {
        std::string command = "'" TRV4_EXE "' " + args + " >'" + file("stdout") + "' 2>'" + file("stderr") + "'";
        int status = std::system(command.c_str());
        CommandRun run;
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = slurp(file("stdout"));
        run.err = slurp(file("stderr"));
        return run;
    }

    static std::string module() { return std::string("'").append(trv4test::modulePath()).append("'"); }

    // A sine of the given channels written with libsndfile (16-bit WAV).
    std::string writeWav(const std::string& name, int channels, int rate, int frames) const {
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = channels;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        std::string path = file(name);
        SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
        EXPECT_NE(f, nullptr) << sf_strerror(nullptr);
        std::vector<float> samples(static_cast<size_t>(frames) * channels);
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c)
                samples[static_cast<size_t>(i) * channels + c] =
                    0.5f * static_cast<float>(std::sin(2 * M_PI * 440.0 * (c + 1) * i / rate));
        sf_writef_float(f, samples.data(), frames);
        sf_close(f);
        return path;
    }

    fs::path dir;
};

struct Audio {
    SF_INFO info{};
    std::vector<float> samples;
};

Audio readAudio(const std::string& path) {
    Audio audio;
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &audio.info);
    if (!f) return audio;
    audio.samples.resize(static_cast<size_t>(audio.info.frames * audio.info.channels));
    sf_readf_float(f, audio.samples.data(), audio.info.frames);
    sf_close(f);
    return audio;
}

// The module loaded in this process, to compare trv4's output with what the
// plug-in itself answers.
struct DirectPlugin {
    DirectPlugin() {
        std::string error;
        module = trv4host::PluginModule::Load(trv4test::modulePath(), error);
        if (module) effect = std::make_unique<trv4host::Effect>(host.instantiate(module->entry()));
    }
    std::unique_ptr<trv4host::PluginModule> module;
    trv4host::Host host;
    std::unique_ptr<trv4host::Effect> effect;
};

TEST_F(Trv4Command, InfoShowsTheRecordParametersAndPrograms) {
    CommandRun run = trv4("info " + module());
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const char* field :
         {"magic                        0x56737450 'VstP'",
          "uniqueID                     0x37393433 '7943' (926495795)", "numPrograms                  45",
          "numParams                    21", "numInputs                    2", "numOutputs                   2",
          "flags                        0x00000019 (HasEditor CanMono CanReplacing)",
          "effGetVendorString           \"Tolvmark Audio\" (answer 1)", "effGetVstVersion             2300",
          "effIdentify                  0x4E764566 'NvEf'", "effGetOutputProperties 1     1 (label \" 2\", flags 3)",
          "receiveVstTimeInfo -1"})
        EXPECT_NE(run.out.find(field), std::string::npos) << field;

    DirectPlugin direct;
    ASSERT_TRUE(direct.effect);
    char row[160];
    for (int i = 0; i < 20; ++i) {
        std::string name = direct.effect->text(vst::effGetParamName, i);
        std::string display = direct.effect->text(vst::effGetParamDisplay, i);
        std::snprintf(row, sizeof row, "\n  %3d  %-14s %-16s", i, name.c_str(), display.c_str());
        EXPECT_NE(run.out.find(row), std::string::npos) << row;
    }
    for (int i = 0; i < 45; ++i) {
        std::snprintf(row, sizeof row, "\n  %3d  %s\n", i,
                      direct.effect->text(vst::effGetProgramNameIndexed, i).c_str());
        EXPECT_NE(run.out.find(row), std::string::npos) << row;
    }
}

TEST_F(Trv4Command, RendersAMonoWavToStereoFloat) {
    std::string in = writeWav("mono.wav", 1, 48000, 24000);
    std::string out = file("out.wav");
    CommandRun run =
        trv4("render " + module() + " '" + in + "' '" + out + "' --program 'Wide Chorus' --set Mono=1 --block 333");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("24000 frames at 48000 Hz"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("program 0 \"Wide Chorus\""), std::string::npos) << run.out;
    Audio audio = readAudio(out);
    EXPECT_EQ(audio.info.samplerate, 48000);
    EXPECT_EQ(audio.info.channels, 2);
    EXPECT_EQ(audio.info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_EQ(audio.info.frames, 24000);
    double energy = 0;
    for (size_t i = 0; i < 24000; ++i) {
        ASSERT_TRUE(std::isfinite(audio.samples[2 * i]));
        ASSERT_EQ(audio.samples[2 * i], audio.samples[2 * i + 1]) << "Mono gives equal outputs, frame " << i;
        energy += audio.samples[2 * i] * audio.samples[2 * i];
    }
    EXPECT_GT(energy / 24000, 0.01);
}

TEST_F(Trv4Command, StereoInputAndTailAndOtherFormats) {
    std::string in = writeWav("stereo.wav", 2, 44100, 4410);
    for (const char* name : {"out.aiff", "out.flac"}) {
        CommandRun run = trv4("render " + module() + " '" + in + "' '" + file(name) + "' --tail 0.5");
        ASSERT_EQ(run.code, 0) << run.err;
        Audio audio = readAudio(file(name));
        EXPECT_EQ(audio.info.frames, 4410 + 22050) << name;
        EXPECT_EQ(audio.info.channels, 2);
    }
    EXPECT_EQ(readAudio(file("out.aiff")).info.format, SF_FORMAT_AIFF | SF_FORMAT_FLOAT);
    EXPECT_EQ(readAudio(file("out.flac")).info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
}

TEST_F(Trv4Command, DemoRendersAtTheRateAskedWithoutAProgressBarOffATerminal) {
    CommandRun run = trv4("render " + module() + " '" + file("demo.wav") + "' --sr 96000 --tail 25");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    Audio audio = readAudio(file("demo.wav"));
    EXPECT_EQ(audio.info.samplerate, 96000);
    EXPECT_GT(audio.info.frames, 96000 * 30);
}

TEST_F(Trv4Command, MalformedInputGivesOneErrorLineAndNoOutput) {
    std::string good = writeWav("good.wav", 1, 44100, 1000);
    std::string bytes = slurp(good);
    std::ofstream(file("text.wav")) << "this is not audio\n";
    std::ofstream(file("header.wav"), std::ios::binary) << bytes.substr(0, 30);
    std::ofstream(file("odd.raw"), std::ios::binary) << "0123456789";
    std::string wide = writeWav("wide.wav", 3, 44100, 100);
    for (const std::string& in : {file("text.wav"), file("header.wav"), file("missing.wav"), file("odd.raw"), wide}) {
        SCOPED_TRACE(in);
        CommandRun run = trv4("render " + module() + " '" + in + "' '" + file("out.wav") + "'");
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.errLines(), 1) << run.err;
        EXPECT_EQ(run.err.rfind("trv4: error: ", 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(fs::exists(file("out.wav")));
    }
    CommandRun run = trv4("render " + module() + " '" + file("out.wav") + "' --set Nothing=1");
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.errLines(), 1) << run.err;
    run = trv4("render " + module() + " '" + file("out.wav") + "' --block");
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.errLines(), 1) << run.err;
}

TEST_F(Trv4Command, BankExportImportRoundTrip) {
    std::string factory = file("factory.fxb");
    CommandRun run = trv4("preset export " + module() + " '" + factory + "'");
    ASSERT_EQ(run.code, 0) << run.err;
    trv4tool::Preset bank;
    std::string error;
    ASSERT_TRUE(trv4tool::loadPresetFile(factory, bank, error)) << error;
    EXPECT_EQ(bank.fxID, 0x37393433);
    EXPECT_EQ(bank.fxVersion, 1);
    EXPECT_EQ(bank.currentProgram, 0);
    ASSERT_EQ(bank.programs.size(), 45u);
    DirectPlugin direct;
    ASSERT_TRUE(direct.effect);
    for (int p = 0; p < 45; ++p) {
        direct.effect->setProgram(p);
        EXPECT_EQ(bank.programs[p].name, direct.effect->text(vst::effGetProgramName));
        ASSERT_EQ(bank.programs[p].values.size(), 21u);
        for (int i = 0; i < 21; ++i) EXPECT_EQ(bank.programs[p].values[i], direct.effect->getParameter(i));
    }
    run = trv4("preset import " + module() + " '" + factory + "'");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("verified"), std::string::npos);

    // An edited program travels through the bank and back into a fresh instance.
    std::string edited = file("edited.fxb");
    run = trv4("preset export " + module() + " '" + edited + "' --program 3 --set Delay=0.1 --set F.B.=0.25");
    ASSERT_EQ(run.code, 0) << run.err;
    ASSERT_TRUE(trv4tool::loadPresetFile(edited, bank, error)) << error;
    EXPECT_EQ(bank.currentProgram, 3);
    EXPECT_EQ(bank.programs[3].values[0], 0.1f);
    EXPECT_EQ(bank.programs[3].values[12], 0.25f);
    direct.effect->setProgram(4);
    EXPECT_EQ(bank.programs[4].values[0], direct.effect->getParameter(0));
    run = trv4("preset import " + module() + " '" + edited + "'");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("current program 3"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("    3  Piano Chorus #3\n       Delay=0.1 Level=0.8"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("F.B.=0.25"), std::string::npos);
    run = trv4("render " + module() + " '" + file("out.wav") + "' --fxb '" + edited + "'");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("program 3 \"Piano Chorus #3\""), std::string::npos) << run.out;

    // A program file into another slot.
    std::string program = file("tape.fxp");
    ASSERT_EQ(trv4("preset export " + module() + " '" + program + "' --program 'Tape Delay'").code, 0);
    run = trv4("preset import " + module() + " '" + program + "' --program 5");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("into program 5"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("    5  Tape Delay\n       Delay=0.86"), std::string::npos) << run.out;
}

TEST_F(Trv4Command, MalformedPresetsAreRefusedWithOneLine) {
    std::string good = file("good.fxb");
    ASSERT_EQ(trv4("preset export " + module() + " '" + good + "'").code, 0);
    std::string bytes = slurp(good);
    auto variant = [&](const std::string& name, std::string content) {
        std::ofstream(file(name), std::ios::binary) << content;
        return file(name);
    };
    std::string otherID = bytes, magic = bytes, count = bytes;
    // Every fxID field, the bank's and each program's.
    for (size_t at = otherID.find("7943"); at != std::string::npos; at = otherID.find("7943", at))
        otherID[at + 3] = 'X';
    magic[8] = 'Q';
    count[27] = 44;  // numPrograms
    struct Case {
        std::string path;
        const char* reason;
    } cases[] = {
        {variant("short.fxb", bytes.substr(0, bytes.size() - 3)), "truncated"},
        {variant("other.fxb", otherID), "belongs to the plug-in '794X'"},
        {variant("magic.fxb", magic), "wrong magic"},
        {variant("count.fxb", count), "size field"},
        {file("missing.fxb"), "cannot open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CommandRun run = trv4("preset import " + module() + " '" + c.path + "'");
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.errLines(), 1) << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        run = trv4("render " + module() + " '" + file("out.wav") + "' --fxb '" + c.path + "'");
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.errLines(), 1) << run.err;
        EXPECT_FALSE(fs::exists(file("out.wav")));
    }
}

// A PNG file read back as 0x00RRGGBB words; empty when unreadable.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture readPng(const std::string& path) {
    Picture picture;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 3);
    if (!data) return picture;
    for (int i = 0; i < picture.width * picture.height; ++i)
        picture.pixels.push_back(uint32_t(data[3 * i]) << 16 | uint32_t(data[3 * i + 1]) << 8 | data[3 * i + 2]);
    stbi_image_free(data);
    return picture;
}

struct Box {
    int left, top, width, height;
    bool contains(int x, int y) const { return x >= left && x < left + width && y >= top && y < top + height; }
};

// Pixels that differ inside the boxes and outside them.
std::pair<int, int> differences(const Picture& a, const Picture& b, std::initializer_list<Box> boxes) {
    std::pair<int, int> count{0, 0};
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            if (a.at(x, y) == b.at(x, y)) continue;
            bool inside = false;
            for (const Box& box : boxes) inside = inside || box.contains(x, y);
            ++(inside ? count.first : count.second);
        }
    return count;
}

TEST_F(Trv4Command, SnapshotShowsTheSettingsTheMeterAndTheTempoWhereTheyBelong) {
    const std::string base = "--program 0 --set Mono=1 --set Sync.=1 --set 'Rate 1=0.5'";
    struct Shot {
        const char* name;
        std::string options;
        Picture picture;
    } shots[] = {{"plain.png", base, {}},
                 {"mono-off.png", base + " --set Mono=0", {}},
                 {"meter.png", base + " --meter 1", {}},
                 {"tempo.png", base + " --tempo 120", {}}};
    for (Shot& shot : shots) {
        CommandRun run = trv4("snapshot " + module() + " '" + file(shot.name) + "' " + shot.options);
        ASSERT_EQ(run.code, 0) << shot.name << ": " << run.err;
        EXPECT_NE(run.out.find(": 755 x 370, program 0 "), std::string::npos) << run.out;
        shot.picture = readPng(file(shot.name));
        ASSERT_EQ(shot.picture.width, 755) << shot.name;
        ASSERT_EQ(shot.picture.height, 370) << shot.name;
    }
    // Each change shows in its own place and nowhere else.
    const Box monoSwitch{217, 95, 30, 45}, meter{500, 78, 17, 64};
    const Box rateReadouts[] = {{227, 246, 38, 15}, {227, 346, 38, 15}};
    auto [inside, outside] = differences(shots[0].picture, shots[1].picture, {monoSwitch});
    EXPECT_GT(inside, 100) << "the Mono switch goes dark";
    EXPECT_EQ(outside, 0);
    std::tie(inside, outside) = differences(shots[0].picture, shots[2].picture, {meter});
    EXPECT_GT(inside, 100) << "a full-scale sine lights the meter";
    EXPECT_EQ(outside, 0);
    std::tie(inside, outside) = differences(shots[0].picture, shots[3].picture, {rateReadouts[0], rateReadouts[1]});
    EXPECT_GT(inside, 10) << "the synced rate shows a note value once the host has a tempo";
    EXPECT_EQ(outside, 0);

    CommandRun run = trv4("snapshot " + module() + " '" + file("bad.png") + "' --set Mono=2");
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.errLines(), 1) << run.err;
    EXPECT_FALSE(fs::exists(file("bad.png")));
}

}  // namespace

// The same render through TRV-4.clap or TRV-4.vst3 and the VST 2 module:
// with one seed for the random generator, tempo sync playing and changes at
// odd frames, the two output files are the same to the byte (raw files: a
// WAV file's peak chunk carries the time it was written); info, validate
// and snapshot read the .clap file and the .vst3 bundle too.
struct OtherFormat {
    const char* name;
    const char* path;
    const char* infoShows;  // a line only that format's info prints
};

class Trv4OtherFormat : public Trv4Command, public ::testing::WithParamInterface<OtherFormat> {};

TEST_P(Trv4OtherFormat, RenderEqualsTheVst2RenderAndInfoAndValidateReadIt) {
    const std::string plugin = std::string("'").append(trv4test::hostPath(GetParam().path)).append("'");
    const std::string settings =
        " --program 'Guitar Flanger #1' --tempo 128 --playing --samplepos 44100 --seed 7 --block 500 --tail 1"
        " --automate 1001:Delay=0.2 --automate 70001:Depth=0.9 --automate '70001:Wave 2=0.4' --automate 99999:Mix=1";
    ASSERT_EQ(trv4("render " + module() + " '" + file("vst.raw") + "'" + settings).code, 0);
    ASSERT_EQ(trv4("render " + plugin + " '" + file("other.raw") + "'" + settings).code, 0);
    const std::string vst = slurp(file("vst.raw"));
    EXPECT_GT(vst.size(), 1000000u);
    EXPECT_TRUE(vst == slurp(file("other.raw")));
    // Without the changes the render differs: they took effect.
    ASSERT_EQ(trv4("render " + plugin + " '" + file("plain.raw") +
                   "' --program 'Guitar Flanger #1' --tempo 128 --playing --samplepos 44100 --seed 7 --block 500 "
                   "--tail 1")
                  .code,
              0);
    EXPECT_FALSE(vst == slurp(file("plain.raw")));

    const CommandRun info = trv4("info " + plugin);
    EXPECT_EQ(info.code, 0) << info.err;
    EXPECT_NE(info.out.find(GetParam().infoShows), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("44  Bucket on Head"), std::string::npos);
    const CommandRun validate = trv4("validate " + plugin);
    EXPECT_EQ(validate.code, 0) << validate.out;
    EXPECT_NE(validate.out.find(" passed, 0 failed"), std::string::npos) << validate.out;

    // The editor, reached through that format's own editor interface and
    // idled by its host, draws what the VST 2 editor draws.
    const std::string shot = " --program 3 --set Level=0.3 --meter 0.5 --tempo 140";
    ASSERT_EQ(trv4("snapshot " + module() + " '" + file("vst.png") + "'" + shot).code, 0);
    const CommandRun snapshot = trv4("snapshot " + plugin + " '" + file("other.png") + "'" + shot);
    ASSERT_EQ(snapshot.code, 0) << snapshot.err;
    const Picture vstPicture = readPng(file("vst.png"));
    EXPECT_EQ(vstPicture.width, 755);
    EXPECT_TRUE(vstPicture.pixels == readPng(file("other.png")).pixels);
}

INSTANTIATE_TEST_SUITE_P(Formats, Trv4OtherFormat,
                         ::testing::Values(OtherFormat{"clap", TRV4_CLAP_PATH, "example.tolvmark.trv-4"},
                                           OtherFormat{"vst3", TRV4_VST3_PATH,
                                                       "IEditController              same object"}),
                         [](const auto& info) { return std::string(info.param.name); });
