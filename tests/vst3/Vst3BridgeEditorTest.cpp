// The VST3 editor through the host's bridge, as trv4 snapshot and edit reach
// it: the bundle's view opened on the editor test port's window system
// behind the VST 2 record; a wheel notch reaches the host as one edit
// (audioMasterBeginEdit, Automate, EndEdit) with the value the plug-in
// holds; a size picked from the editor's menu comes to the host as
// audioMasterSizeWindow, the frame having granted it to the view; closing
// the editor leaves nothing registered with the run loop.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "editor/EditorTestPort.h"
#include "engine/ParamIndex.h"
#include "tests/support/ModulePath.h"
#include "tools/host/PluginHost.h"
#include "tools/host/Vst3Bridge.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <stdlib.h>
#include <unistd.h>
#endif

// Includes the Windows headers too.
#include "tests/support/NoRememberedSize.h"

namespace {

// What the record asked of its host: edits, and the window size.
struct HostCall {
    vst::VstInt32 opcode, index;
    float value;
    bool operator==(const HostCall&) const = default;
};
std::vector<HostCall> edits;
int windowWidth = 0, windowHeight = 0;

vst::VstIntPtr VST_CALL recordingHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value,
                                      void*, float opt) {
    switch (opcode) {
    case vst::audioMasterVersion: return 2400;
    case vst::audioMasterBeginEdit:
    case vst::audioMasterEndEdit: edits.push_back({opcode, index, 0}); return 1;
    case vst::audioMasterAutomate: edits.push_back({opcode, index, opt}); return 1;
    case vst::audioMasterSizeWindow:
        windowWidth = index;
        windowHeight = static_cast<int>(value);
        return 1;
    default: return 0;
    }
}

// The size the test picks is remembered as the user's choice: kept in a
// settings folder of the test's own (Linux), the test user's registry value
// removed before and after (Windows).
class Vst3BridgeEditor : public ::testing::Test {
protected:
    trv4test::NoRememberedSize noSize_{"vst3-bridge"};
};

TEST_F(Vst3BridgeEditor, EditsAndSizeRequestsReachTheHostAsVst2Calls) {
    std::string error;
    auto bundle = trv4host::PluginModule::Load(trv4test::hostPath(TRV4_VST3_BUNDLE_PATH), error);
    ASSERT_TRUE(bundle && bundle->vst3()) << error;
    trv4host::Effect fx(trv4host::Vst3Bridge::create(*bundle->vst3(), &recordingHost, error));
    ASSERT_NE(fx.record(), nullptr) << error;
    ASSERT_TRUE(fx.record()->flags & vst::effFlagsHasEditor);

    trv4::EditorTestPort port{};
    port.size = sizeof port;
    ASSERT_EQ(fx.dispatch(vst::effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue, &port), 1);
    vst::ERect* rect = nullptr;
    ASSERT_EQ(fx.dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 755);
    ASSERT_EQ(fx.dispatch(vst::effEditOpen, 0, 0, nullptr), 1);
    fx.dispatch(vst::effEditIdle);
    trv4host::Vst3Instance& instance = trv4host::Vst3Bridge::of(fx.record())->instance();
#if !defined(_WIN32)
    EXPECT_GT(instance.timerCount() + instance.fdHandlerCount(), 0u) << "the view idles through the run loop";
#endif

    trv4::EditorControlInfo knob{};
    ASSERT_EQ(port.controlInfo(port.context, "DelayCoarseControl", &knob), 1);
    const float before = fx.getParameter(trv4::kDelay);
    port.mouseWheel(port.context, knob.left + knob.width / 2, knob.top + knob.height / 2, 120);
    fx.dispatch(vst::effEditIdle);
    const float after = fx.getParameter(trv4::kDelay);
    EXPECT_NE(after, before);
    const std::vector<HostCall> oneEdit = {{vst::audioMasterBeginEdit, trv4::kDelay, 0},
                                           {vst::audioMasterAutomate, trv4::kDelay, after},
                                           {vst::audioMasterEndEdit, trv4::kDelay, 0}};
    EXPECT_TRUE(edits == oneEdit);

    // The size menu (a right click on the chassis), 125 per cent.
    port.mouseDown(port.context, trv4::kPortRight, 4, 366);
    port.mouseUp(port.context, trv4::kPortRight, 4, 366);
    ASSERT_EQ(port.chooseMenuItem(port.context, 1), 1);
    fx.dispatch(vst::effEditIdle);
    ASSERT_EQ(fx.dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_GT(rect->right - rect->left, 755);
    EXPECT_EQ(windowWidth, rect->right - rect->left);
    EXPECT_EQ(windowHeight, rect->bottom - rect->top);

    fx.dispatch(vst::effEditClose);
    EXPECT_EQ(instance.timerCount() + instance.fdHandlerCount(), 0u);
}

}  // namespace
