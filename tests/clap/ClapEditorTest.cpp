// The editor inside a CLAP host: a drag and a wheel notch reach the host as
// gesture begin, values and gesture end, through a flush the plug-in asks
// for while the host is not processing and through the output queue while
// it is; the host's own changes reach the editor at its timer; the host's
// scale sizes the editor before it opens.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "clap/TestPortExtension.h"
#include "editor/EditorTestPort.h"
#include "engine/ParamIndex.h"
#include "tests/clap/ClapRig.h"
#include "tests/support/PortUser.h"

namespace {

using trv4host::ClapOutputEvent;
using trv4test::ClapRig;

#if defined(_WIN32)
constexpr const char* kApi = clap::kWindowApiWin32;
#else
constexpr const char* kApi = clap::kWindowApiX11;
#endif

struct EditorRig : ClapRig, trv4test::PortUser {
    EditorRig() {
        auto* ext =
            static_cast<const trv4clap::plugin_editor_test_port*>(instance->extension(trv4clap::kExtEditorTestPort));
        EXPECT_TRUE(ext);
        EXPECT_TRUE(ext && ext->fill(&instance->plugin(), &port));
        const clap::plugin_gui* gui = instance->gui();
        EXPECT_TRUE(gui->create(&instance->plugin(), kApi, false));
        clap::window window{};
        window.api = kApi;
        EXPECT_TRUE(gui->set_parent(&instance->plugin(), &window));  // no parent: the port's own screen
        instance->fireTimers();
    }
    ~EditorRig() { instance->gui()->destroy(&instance->plugin()); }
};

// The events are one gesture on param: begin, at least one value, end, the
// last value the plug-in's own.
void expectGesture(trv4host::ClapInstance& instance, clap::id param) {
    const std::vector<ClapOutputEvent>& out = instance.output();
    ASSERT_GE(out.size(), 3u);
    EXPECT_EQ(out.front().type, clap::kEventParamGestureBegin);
    EXPECT_EQ(out.back().type, clap::kEventParamGestureEnd);
    for (const ClapOutputEvent& e : out) EXPECT_EQ(e.param, param);
    for (size_t i = 1; i + 1 < out.size(); ++i) EXPECT_EQ(out[i].type, clap::kEventParamValue);
    EXPECT_EQ(out[out.size() - 2].value, instance.value(param));
}

TEST(ClapEditor, DragBetweenBlocksIsFlushedAsOneGesture) {
    EditorRig rig;
    const double before = rig->value(trv4::kDelay);
    rig.drag("DelayCoarseControl", 12);
    EXPECT_NE(rig->value(trv4::kDelay), before);
    EXPECT_GT(rig->flushRequests, 0);
    EXPECT_TRUE(rig->output().empty());
    rig->flush({});
    expectGesture(*rig, trv4::kDelay);
    rig->output().clear();
    rig->flush({});
    EXPECT_TRUE(rig->output().empty());  // handed out once
}

TEST(ClapEditor, WheelWhileProcessingGoesThroughTheOutputQueue) {
    EditorRig rig;
    ASSERT_TRUE(rig->activate(48000, 256));
    ASSERT_TRUE(rig->startProcessing());
    const int flushes = rig->flushRequests;
    rig.wheel("OutputLevelControl", 1);
    EXPECT_EQ(rig->flushRequests, flushes);  // the next block takes them
    std::vector<float> in(256, 0.1f), outL(256), outR(256);
    rig->process(in.data(), in.data(), outL.data(), outR.data(), 256, {}, nullptr);
    expectGesture(*rig, trv4::kLevel);
    EXPECT_TRUE(rig->threadFaults.empty());
}

TEST(ClapEditor, HostChangesReachTheEditorAtItsTimer) {
    EditorRig rig;
    ASSERT_EQ(rig->timers.size(), 1u);
    ASSERT_TRUE(rig->activate(44100, 64));
    ASSERT_TRUE(rig->startProcessing());
    std::vector<float> in(64, 0.0f), outL(64), outR(64);
    rig->process(in.data(), in.data(), outL.data(), outR.data(), 64, {{10, trv4::kDelay, 1.0}}, nullptr);
    const trv4::EditorControlInfo before = rig.info("DelayCoarseControl");
    EXPECT_NE(before.position, before.max);
    rig->fireTimers();
    const trv4::EditorControlInfo after = rig.info("DelayCoarseControl");
    EXPECT_EQ(after.position, after.max);
    EXPECT_TRUE(rig->output().empty());  // the host's own change is not echoed
}

// Before the window opens the host's scale is the editor's size hint: a
// factor that is no size is refused and leaves the size alone; an open
// window keeps its size and takes only the factor it already has.
TEST(ClapEditor, HostScaleSizesTheEditorBeforeItOpens) {
#ifndef _WIN32
    // No remembered choice of the user's to outrank the hint.
    setenv("XDG_CONFIG_HOME", (std::filesystem::temp_directory_path() / "trv4-clap-no-settings").c_str(), 1);
#endif
    ClapRig rig;
    const clap::plugin_gui* gui = rig->gui();
    const clap::plugin& p = rig->plugin();
    ASSERT_TRUE(gui->create(&p, kApi, false));
    uint32_t w = 0, h = 0;
    EXPECT_FALSE(gui->set_scale(&p, 0.0));
    EXPECT_FALSE(gui->set_scale(&p, std::nan("")));
    EXPECT_TRUE(gui->set_scale(&p, 1.5));
    EXPECT_FALSE(gui->set_scale(&p, -2.0));
    ASSERT_TRUE(gui->get_size(&p, &w, &h));
    EXPECT_EQ(w, 1133u);
    EXPECT_EQ(h, 555u);
    trv4::EditorTestPort port{};
    port.size = sizeof port;
    auto* ext = static_cast<const trv4clap::plugin_editor_test_port*>(rig->extension(trv4clap::kExtEditorTestPort));
    ASSERT_TRUE(ext && ext->fill(&p, &port));
    clap::window window{};
    window.api = kApi;
    ASSERT_TRUE(gui->set_parent(&p, &window));
    EXPECT_FALSE(gui->set_scale(&p, 2.0));  // the open window keeps its size
    EXPECT_TRUE(gui->set_scale(&p, 1.5));
    ASSERT_TRUE(gui->get_size(&p, &w, &h));
    EXPECT_EQ(w, 1133u);
    gui->destroy(&p);
}

}  // namespace
