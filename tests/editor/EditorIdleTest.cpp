// The glue's idle as a host calls it many times a second: with nothing new
// it must not touch the window, and a steady meter level resizes the cover
// once. The plug-in object is made in-process; its editor runs on the test
// port's headless backend, whose invalidation record shows every repaint
// request.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "editor/APluginEditor.h"
#include "editor/EditorTestPort.h"
#include "editor/TPluginEditorWindow.h"
#include "platform/headless/HeadlessBackend.h"
#include "plugin/uPlugin.h"
#include "toolkit/cDIBDial.h"
#include "toolkit/cDIBPanel.h"

namespace trv4 {
namespace {

vst::VstIntPtr VST_CALL SilentHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

class EditorIdleTest : public ::testing::Test {
protected:
    void SetUp() override {
        glue = static_cast<APluginEditor*>(plugin->getEditor());
        EditorTestPort port{};
        port.size = sizeof port;
        ASSERT_EQ(plugin->vendorSpecific(kTestPortIndex, kTestPortValue, &port, 0), 1);
        plugin->setSampleRate(44100);
        plugin->resume();
        plugin->setParameter(kMix, 0.0f);    // dry only
        plugin->setParameter(kLevel, 0.8f);  // 0 dB
        plugin->setParameter(kMinus20dB, 0.0f);
        ASSERT_EQ(glue->open(nullptr), 1);
        glue->idle();
        backend = static_cast<platform::HeadlessBackend*>(glue->window()->GetBackend());
        container = glue->window()->Find<toolkit::TDIBContainer>("DIBContainer1");
        ASSERT_NE(container, nullptr);
        Requests();
    }
    void TearDown() override { glue->close(); }

    // Repaint requests of the window and its container since the last call.
    size_t Requests() {
        return backend->TakeInvalidations(container->Handle()).size() +
               backend->TakeInvalidations(glue->window()->Handle()).size();
    }
    void Process(float level, int frames) {
        std::vector<float> in(256, level), outL(256), outR(256);
        float* ins[] = {in.data(), in.data()};
        float* outs[] = {outL.data(), outR.data()};
        for (int done = 0; done < frames; done += 256) plugin->processReplacing(ins, outs, 256);
    }

    std::unique_ptr<APlugin> plugin = std::make_unique<APlugin>(SilentHost);
    APluginEditor* glue = nullptr;
    platform::HeadlessBackend* backend = nullptr;
    toolkit::TDIBContainer* container = nullptr;
};

TEST_F(EditorIdleTest, NothingNewTouchesNothingAndASteadyMeterMovesOnce) {
    for (int i = 0; i < 10; ++i) glue->idle();
    EXPECT_EQ(Requests(), 0u) << "idle with nothing changed";

    Process(0.5f, 4096);  // about -6 dBFS: four segments
    glue->idle();
    EXPECT_EQ(glue->window()->MeterCover()->Height(), 36);
    EXPECT_GT(Requests(), 0u);
    for (int i = 0; i < 10; ++i) {
        Process(0.5f, 256);
        glue->idle();
    }
    EXPECT_EQ(glue->window()->MeterCover()->Height(), 36);
    EXPECT_EQ(Requests(), 0u) << "a level within one 3 dB band resizes the cover once";

    // One parameter from the host: its knob and its read-out, nothing else.
    plugin->setParameter(kDepth, 0.25f);
    glue->idle();
    const std::vector<platform::HeadlessBackend::Invalidation> requests =
        backend->TakeInvalidations(container->Handle());
    ASSERT_FALSE(requests.empty());
    const platform::Rect knob = glue->window()->Knob(kDepth)->BoundsRect();
    const platform::Rect label = glue->window()->Readout(kDepth)->BoundsRect();
    for (const auto& r : requests)
        EXPECT_TRUE(knob.Contains({r.rect.left, r.rect.top}) || label.Contains({r.rect.left, r.rect.top}))
            << r.rect.left << "," << r.rect.top << " " << r.rect.Width() << "x" << r.rect.Height();
    EXPECT_EQ(glue->window()->Readout(kDepth)->Caption(), "25.00");
}

}  // namespace
}  // namespace trv4
