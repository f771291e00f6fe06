// The plug-in module driven from several threads at once, as hosts do: the
// audio thread processes while the user-interface thread sets parameters,
// asks texts, and opens, idles and closes the editor (on the headless
// backend, through the editor's test port), and an automation thread sets
// parameters too. Run in a ThreadSanitizer tree (label "threads"), these
// tests show any unsynchronised sharing; in every tree they check that the
// audio stays sound and the shared values stay coherent.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "editor/EditorTestPort.h"
#include "tests/support/ModulePath.h"
#include "tools/host/PluginHost.h"

namespace {

// This file's own host: answers from any thread, counts with atomics.
std::atomic<int> timeRequests{0};
std::atomic<int> automations{0};
vst::VstTimeInfo timeInfo{};

vst::VstIntPtr VST_CALL callback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    switch (opcode) {
    case vst::audioMasterVersion: return 2400;
    case vst::audioMasterGetTime: ++timeRequests; return reinterpret_cast<vst::VstIntPtr>(&timeInfo);
    case vst::audioMasterAutomate: ++automations; return 0;
    default: return 0;
    }
}

class Threads : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        module = trv4host::PluginModule::Load(trv4test::modulePath(), error).release();
        ASSERT_NE(module, nullptr) << error;
        timeInfo.tempo = 96;
        timeInfo.sampleRate = 44100;
        timeInfo.timeSigNumerator = timeInfo.timeSigDenominator = 4;
        timeInfo.flags = 0x2 | 0x400 | 0x2000;  // playing, tempo and signature valid
    }
    static void TearDownTestSuite() { delete module; }

    void SetUp() override {
        fx = module->entry()(callback);
        ASSERT_NE(fx, nullptr);
        dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100);
        dispatch(vst::effMainsChanged, 0, 1);
    }
    void TearDown() override {
        stopAudio();
        if (fx) dispatch(vst::effClose);
    }

    vst::VstIntPtr dispatch(int opcode, int index = 0, vst::VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
        return fx->dispatcher(fx, opcode, index, value, ptr, opt);
    }

    // The audio thread: noise in blocks of 128 until stopped; counts blocks
    // and any output that is not a number or beyond the limiter's reach.
    void startAudio() {
        audio = std::thread([this] {
            std::vector<float> inL(128), inR(128), outL(128), outR(128);
            std::minstd_rand random(5);
            std::uniform_real_distribution<float> sample(-1, 1);
            while (!stop.load()) {
                for (int i = 0; i < 128; ++i) {
                    inL[i] = sample(random);
                    inR[i] = sample(random);
                }
                float* in[2] = {inL.data(), inR.data()};
                float* out[2] = {outL.data(), outR.data()};
                fx->processReplacing(fx, in, out, 128);
                for (int i = 0; i < 128; ++i)
                    if (!(std::fabs(outL[i]) <= 2.0f && std::fabs(outR[i]) <= 2.0f)) ++badSamples;
                ++blocks;
            }
        });
    }
    void stopAudio() {
        stop = true;
        if (audio.joinable()) audio.join();
    }
    // Waits until the audio thread has run at least n more blocks.
    void waitBlocks(long n) {
        const long target = blocks.load() + n;
        while (blocks.load() < target) std::this_thread::yield();
    }

    // Sets random values (some out of range) and reads them back.
    static void automate(vst::AEffect* fx, unsigned seed, int count) {
        std::minstd_rand random(seed);
        std::uniform_real_distribution<float> value(-0.5f, 1.5f);
        for (int i = 0; i < count; ++i) {
            const int index = int(random() % 21);
            fx->setParameter(fx, index, value(random));
            const float v = fx->getParameter(fx, index);
            if (!(v >= 0 && v <= 1)) std::abort();
        }
    }

    inline static trv4host::PluginModule* module = nullptr;
    vst::AEffect* fx = nullptr;
    std::thread audio;
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::atomic<long> badSamples{0};
};

// Two threads set parameters (and one asks display texts) while the audio
// thread processes with Sync. on, asking the host's time every block.
TEST_F(Threads, ParametersFromTwoThreadsWhileProcessing) {
    fx->setParameter(fx, 18, 1.0f);  // Sync.
    startAudio();
    std::thread second([this] { automate(fx, 2, 20000); });
    char text[64];
    for (int i = 0; i < 20000; ++i) {
        fx->setParameter(fx, i % 21, float(i % 100) / 99.0f);
        if (i % 16 == 0) {
            dispatch(vst::effGetParamDisplay, i % 21, 0, text);
            ASSERT_NE(std::memchr(text, 0, 14), nullptr);
        }
    }
    second.join();
    waitBlocks(10);
    stopAudio();
    EXPECT_EQ(badSamples.load(), 0);
    EXPECT_GT(timeRequests.load(), 0);
}

// The editor open on the window thread, idled every few blocks (reading the
// meter and the host tempo the audio thread publishes) and dragged (which
// sets parameters and tells the host) while audio runs with Sync. on; then
// closed and reopened, with an automation thread joining every other round.
TEST_F(Threads, EditorOpenIdleAndCloseWhileProcessing) {
    trv4::EditorTestPort port;
    std::memset(&port, 0, sizeof port);
    port.size = sizeof port;
    ASSERT_EQ(dispatch(vst::effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue, &port), 1);
    fx->setParameter(fx, 18, 1.0f);
    startAudio();
    std::vector<uint32_t> pixels(755 * 370);
    for (int round = 0; round < 4; ++round) {
        std::thread automation;
        if (round % 2) automation = std::thread([this, round] { automate(fx, 10 + round, 5000); });
        ASSERT_NE(dispatch(vst::effEditOpen), 0);
        for (int idle = 0; idle < 6; ++idle) {
            waitBlocks(4);
            dispatch(vst::effEditIdle);
            // A drag on the Level knob's area: the editor sets and reports.
            port.mouseDown(port.context, trv4::kPortLeft, 100, 100);
            port.mouseMove(port.context, 100, 90 - idle);
            port.mouseUp(port.context, trv4::kPortLeft, 100, 90 - idle);
        }
        ASSERT_EQ(port.capture(port.context, pixels.data(), 755, 370), 1);
        dispatch(vst::effEditClose);
        if (automation.joinable()) automation.join();
    }
    stopAudio();
    EXPECT_EQ(badSamples.load(), 0);
}

// Effects made, opened and closed on the window thread while another
// effect of the same module processes: nothing they share (the random
// generator, the module's statics) may be touched unsynchronised.
TEST_F(Threads, OtherEffectsComeAndGoWhileProcessing) {
    startAudio();
    for (int i = 0; i < 6; ++i) {
        vst::AEffect* other = module->entry()(callback);
        ASSERT_NE(other, nullptr);
        other->dispatcher(other, vst::effMainsChanged, 0, 1, nullptr, 0);
        trv4::EditorTestPort port;
        std::memset(&port, 0, sizeof port);
        port.size = sizeof port;
        if (i % 2 == 0 && other->dispatcher(other, vst::effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue,
                                            &port, 0) == 1) {
            other->dispatcher(other, vst::effEditOpen, 0, 0, nullptr, 0);
            other->dispatcher(other, vst::effEditIdle, 0, 0, nullptr, 0);
            other->dispatcher(other, vst::effEditClose, 0, 0, nullptr, 0);
        }
        other->dispatcher(other, vst::effClose, 0, 0, nullptr, 0);
        waitBlocks(2);
    }
    stopAudio();
    EXPECT_EQ(badSamples.load(), 0);
}

}  // namespace
