// Dispatcher answers and robustness against bad host input, through the
// built module's entry.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "tests/support/ModulePath.h"
#include "tools/host/PluginHost.h"

using namespace vst;
using trv4host::Effect;
using trv4host::Host;
using trv4host::PluginModule;

namespace {

class DispatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        module = PluginModule::Load(trv4test::modulePath(), error);
        ASSERT_TRUE(module) << error;
        effect = std::make_unique<Effect>(host.instantiate(module->entry()));
        ASSERT_NE(effect->record(), nullptr);
    }
    void TearDown() override { effect.reset(); }

    VstIntPtr canDo(const char* text) {
        char buffer[64];
        std::strncpy(buffer, text, sizeof buffer - 1);
        buffer[sizeof buffer - 1] = 0;
        return effect->dispatch(effCanDo, 0, 0, buffer);
    }

    // The output position of the strongest peak after an impulse.
    int impulsePeak(int frames) {
        std::vector<float> inL(frames, 0.0f), inR(frames, 0.0f), outL(frames), outR(frames);
        inL[0] = inR[0] = 1.0f;
        const int block = 512;
        for (int start = 0; start < frames; start += block) {
            int n = std::min(block, frames - start);
            effect->processReplacing(&inL[start], &inR[start], &outL[start], &outR[start], n);
        }
        int best = 0;
        for (int i = 1; i < frames; ++i)
            if (std::fabs(outL[i]) > std::fabs(outL[best])) best = i;
        return best;
    }

    // A plain delay: full wet, no sweep, no feedback, longest delay (600 ms).
    void plainLongDelay() {
        const float values[21] = {1.0f, 0.8f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                  0.0f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f};
        for (int i = 0; i < 21; ++i) effect->setParameter(i, values[i]);
    }

    std::unique_ptr<PluginModule> module;
    Host host;
    std::unique_ptr<Effect> effect;
};

TEST_F(DispatcherTest, FixedAnswers) {
    EXPECT_EQ(effect->dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(effect->dispatch(effGetVstVersion), 2300);
    EXPECT_EQ(effect->dispatch(effKeysRequired), 1);
    EXPECT_EQ(effect->dispatch(effGetPlugCategory), 0);
    EXPECT_EQ(effect->dispatch(effGetVu), 0);
    EXPECT_EQ(effect->dispatch(effCanBeAutomated, 5), 1);
    EXPECT_EQ(effect->dispatch(effCanBeAutomated, 20), 1);
    EXPECT_EQ(effect->dispatch(effGetNumProgramCategories), 1);
    EXPECT_EQ(effect->dispatch(effConnectInput, 0, 1), 1);
    EXPECT_EQ(effect->dispatch(effConnectOutput, 1, 1), 1);
    EXPECT_EQ(effect->dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(effect->dispatch(effSetTotalSampleToProcess, 0, 4321), 4321);
    EXPECT_EQ(effect->dispatch(effGetTailSize), 0);
    EXPECT_EQ(effect->dispatch(effGetVendorVersion), 0);
    EXPECT_EQ(effect->dispatch(effOpen), 0);
    EXPECT_EQ(effect->dispatch(effSetBlockSize, 0, 256), 0);
    // The editor does not take keys: the host handles them.
    EXPECT_EQ(effect->dispatch(effEditKeyDown, 'a', 0, nullptr, 0), -1);
    EXPECT_EQ(effect->dispatch(effEditKeyUp, 'a', 0, nullptr, 0), -1);
    char text[32] = "0.5";
    EXPECT_EQ(effect->dispatch(effString2Parameter, 0, 0, text), 0);
    for (const char* query :
         {"receiveVstTimeInfo", "sendVstEvents", "receiveVstMidiEvent", "plugAsChannelInsert", "bypass", "2in2out", ""})
        EXPECT_EQ(canDo(query), -1) << query;
}

TEST_F(DispatcherTest, ChunksAreNotOffered) {
    void* data = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(effect->dispatch(effGetChunk, 0, 0, &data), 0);
    EXPECT_EQ(data, reinterpret_cast<void*>(0x1234)) << "ptr is left alone";
    char block[16] = {};
    EXPECT_EQ(effect->dispatch(effSetChunk, 0, sizeof block, block), 0);
    EXPECT_EQ(effect->record()->flags & effFlagsProgramChunks, 0);
}

TEST_F(DispatcherTest, ProgramRangeIsChecked) {
    effect->setProgram(3);
    EXPECT_EQ(effect->dispatch(effGetProgram), 3);
    effect->setProgram(45);
    EXPECT_EQ(effect->dispatch(effGetProgram), 3);
    effect->setProgram(-1);
    EXPECT_EQ(effect->dispatch(effGetProgram), 3);
    effect->dispatch(effSetProgram, 0, INT_MAX);
    EXPECT_EQ(effect->dispatch(effGetProgram), 3);
    effect->setProgram(44);
    EXPECT_EQ(effect->dispatch(effGetProgram), 44);
}

TEST_F(DispatcherTest, BlockSizeAndSampleRateLeavesTheEngineRate) {
    plainLongDelay();
    // 600 ms at 44100 Hz, the construction rate.
    EXPECT_EQ(effect->dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.0f), 1);
    effect->resume();
    EXPECT_NEAR(impulsePeak(40000), 26460, 2);
    effect->suspend();
    effect->setSampleRate(96000.0f);
    effect->resume();
    EXPECT_NEAR(impulsePeak(70000), 57600, 2);
}

TEST_F(DispatcherTest, UnknownAndNullRequestsAnswerZero) {
    for (VstInt32 opcode = -10; opcode < 120; ++opcode) {
        if (opcode == effClose || opcode == effGetProgram || opcode == effIdentify || opcode == effGetVstVersion ||
            opcode == effKeysRequired || opcode == effCanBeAutomated || opcode == effGetNumProgramCategories ||
            opcode == effConnectInput || opcode == effConnectOutput || opcode == effGetCurrentMidiProgram ||
            opcode == effSetBlockSizeAndSampleRate || opcode == effSetProgram || opcode == effEditKeyDown ||
            opcode == effEditKeyUp)
            continue;
        EXPECT_EQ(effect->dispatch(opcode, 0, 0, nullptr, 0.0f), 0) << "opcode " << opcode;
    }
    EXPECT_EQ(effect->dispatch(INT_MIN), 0);
    EXPECT_EQ(effect->dispatch(INT_MAX), 0);
    EXPECT_EQ(effect->dispatch(effIdentify), 0x4E764566) << "still alive";
}

TEST_F(DispatcherTest, HugeIndicesNeverWritePastATerminatedText) {
    for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay, effGetProgramNameIndexed}) {
        for (VstInt32 index : {-1, 21, 25, 1000, INT_MAX, INT_MIN}) {
            char buffer[80];
            std::memset(buffer, 0x55, sizeof buffer);
            effect->dispatch(opcode, index, 0, buffer);
            EXPECT_NE(std::memchr(buffer, 0, 64), nullptr) << "opcode " << opcode << " index " << index;
            EXPECT_EQ(static_cast<unsigned char>(buffer[79]), 0x55);
        }
    }
    VstPinProperties pin{};
    for (VstInt32 index : {-1, 2, INT_MAX, INT_MIN})
        EXPECT_EQ(effect->dispatch(effGetOutputProperties, index, 0, &pin), 0);
}

TEST_F(DispatcherTest, BadProcessCallsDoNothing) {
    effect->resume();
    float in[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    float out[8] = {7, 7, 7, 7, 7, 7, 7, 7};
    for (int n : {0, -1, -100000, INT_MIN}) {
        effect->processReplacing(in, in, out, out, n);
        effect->processAccumulating(in, in, out, out, n);
    }
    for (float v : out) EXPECT_EQ(v, 7.0f);
    AEffect* e = effect->record();
    e->processReplacing(e, nullptr, nullptr, 8);
    e->process(e, nullptr, nullptr, 8);
    float* nullChannels[2] = {nullptr, nullptr};
    e->processReplacing(e, nullChannels, nullChannels, 8);
    // Parameters: indices out of range are ignored and read safely.
    float p0 = effect->getParameter(0);
    for (VstInt32 index : {-1, 21, 1000, INT_MAX, INT_MIN}) {
        effect->setParameter(index, 0.123f);
        (void)effect->getParameter(index);
    }
    EXPECT_EQ(effect->getParameter(0), p0);
    EXPECT_EQ(effect->getParameter(25), effect->getParameter(20));
    // A null record is refused by every entry.
    EXPECT_EQ(e->dispatcher(nullptr, effIdentify, 0, 0, nullptr, 0), 0);
    e->setParameter(nullptr, 0, 0.5f);
    EXPECT_EQ(e->getParameter(nullptr, 0), 0.0f);
    e->processReplacing(nullptr, nullptr, nullptr, 8);
}

}  // namespace
