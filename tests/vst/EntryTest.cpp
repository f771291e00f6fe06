// The library entry and the effect record, checked through the built module's
// exports exactly as a host sees them.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/ModulePath.h"
#include "tools/host/PluginHost.h"

using namespace vst;
using trv4host::Effect;
using trv4host::Host;
using trv4host::PluginModule;

namespace {

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        module = PluginModule::Load(trv4test::modulePath(), error);
        ASSERT_TRUE(module) << error;
    }
    std::unique_ptr<PluginModule> module;
    Host host;
};

TEST_F(EntryTest, BothExportsGiveARecordFilledAsDesigned) {
    ASSERT_NE(module->vstPluginMain(), nullptr);
    ASSERT_NE(module->legacyMain(), nullptr);
    for (auto entry : {module->vstPluginMain(), module->legacyMain()}) {
        Effect effect(host.instantiate(entry));
        const AEffect* e = effect.record();
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->magic, 0x56737450);
        EXPECT_EQ(e->uniqueID, 0x37393433);
        EXPECT_EQ(e->numPrograms, 45);
        EXPECT_EQ(e->numParams, 21);
        EXPECT_EQ(e->numInputs, 2);
        EXPECT_EQ(e->numOutputs, 2);
        EXPECT_EQ(e->flags, 0x19);
        EXPECT_EQ(e->initialDelay, 0);
        EXPECT_EQ(e->realQualities, 0);
        EXPECT_EQ(e->offQualities, 0);
        EXPECT_EQ(e->resvd1, 0);
        EXPECT_EQ(e->resvd2, 0);
        EXPECT_EQ(e->version, 1);
        EXPECT_EQ(e->ioRatio, 1.0f);
        EXPECT_NE(e->object, nullptr);
        EXPECT_EQ(e->user, nullptr);
        EXPECT_NE(e->dispatcher, nullptr);
        EXPECT_NE(e->process, nullptr);
        EXPECT_NE(e->processReplacing, nullptr);
        EXPECT_NE(e->setParameter, nullptr);
        EXPECT_NE(e->getParameter, nullptr);
        EXPECT_EQ(e->processDoubleReplacing, nullptr);
        EXPECT_EQ(effect.close(), 1);
    }
}

TEST_F(EntryTest, ConstructionAsksVersionFirstThenHostTexts) {
    struct Recorder {
        static VstIntPtr VST_CALL cb(AEffect* e, VstInt32 op, VstInt32 i, VstIntPtr v, void* p, float o) {
            log().push_back({op, e == nullptr});
            if (op == audioMasterVersion) return 2400;
            if ((op == audioMasterGetVendorString || op == audioMasterGetProductString) && p) {
                // The buffer is cleared and holds 64 characters and the terminator.
                char* text = static_cast<char*>(p);
                for (int k = 0; k < 65; ++k)
                    if (text[k] != 0) return 0;
                std::memset(text, 'x', 64);
                return 1;
            }
            return 0;
        }
        static std::vector<std::pair<VstInt32, bool>>& log() {
            static std::vector<std::pair<VstInt32, bool>> calls;
            return calls;
        }
    };
    AEffect* e = module->entry()(&Recorder::cb);
    ASSERT_NE(e, nullptr);
    auto& calls = Recorder::log();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0].first, audioMasterVersion);
    EXPECT_TRUE(calls[0].second) << "the version is asked before any object exists";
    EXPECT_EQ(calls[1].first, audioMasterGetVendorString);
    EXPECT_EQ(calls[2].first, audioMasterGetProductString);
    EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0), 1);
}

TEST_F(EntryTest, HostThatAnswersVersionZeroGetsNothing) {
    host.version = 0;
    EXPECT_EQ(host.instantiate(module->vstPluginMain()), nullptr);
    EXPECT_EQ(host.instantiate(module->legacyMain()), nullptr);
    EXPECT_EQ(host.callbackCount, 2) << "only the version is asked";
    EXPECT_EQ(module->entry()(nullptr), nullptr) << "no host callback at all";
}

TEST_F(EntryTest, TwoCallsGiveIndependentObjects) {
    Effect a(host.instantiate(module->entry()));
    Effect b(host.instantiate(module->entry()));
    ASSERT_NE(a.record(), nullptr);
    ASSERT_NE(b.record(), nullptr);
    EXPECT_NE(a.record(), b.record());
    EXPECT_NE(a.record()->object, b.record()->object);
    float before = b.getParameter(0);
    a.setParameter(0, before == 0.25f ? 0.75f : 0.25f);
    EXPECT_EQ(b.getParameter(0), before);
    a.setProgram(7);
    EXPECT_EQ(a.dispatch(effGetProgram), 7);
    EXPECT_EQ(b.dispatch(effGetProgram), 0);
    EXPECT_EQ(a.close(), 1);
    // The other object is still alive and answers.
    EXPECT_EQ(b.dispatch(effIdentify), 0x4E764566);
}

}  // namespace
