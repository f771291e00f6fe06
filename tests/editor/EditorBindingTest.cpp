// The editor window through the built module and its test port: the glue's
// lifecycle, knobs, switches, read-outs and the wheel, as a host and a user
// drive them. Every parameter a control changes must reach the host through
// audioMasterAutomate.
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/editor/EditorRig.h"

namespace trv4test {
namespace {

using vst::ERect;

TEST_F(EditorTest, OpensFromItsDescriptionAndFollowsTheGlueLifecycle) {
    ERect* rect = nullptr;
    ASSERT_EQ(effect->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 755);
    EXPECT_EQ(rect->bottom - rect->top, 370);

    // Nothing to drive before open; idle and close are harmless.
    idle();
    close();
    trv4::EditorControlInfo none{};
    EXPECT_EQ(port.controlInfo(port.context, "Label1", &none), 0);

    effect->setParameter(0, 0.5f);
    ASSERT_EQ(open(), 1);
    // Before the first idle the controls show their stored values.
    EXPECT_EQ(caption("Label1"), "Label1");
    EXPECT_EQ(position("DelayCoarseControl"), 0);
    EXPECT_EQ(info("DelayCoarseControl").max, 200);
    idle();
    EXPECT_EQ(caption("Label1"), "5.477");
    EXPECT_EQ(position("DelayCoarseControl"), 100) << "200 positions before the first press";
    const trv4::EditorControlInfo level = info("OutputLevelControl");
    EXPECT_EQ(level.left, 322);
    EXPECT_EQ(level.top, 79);
    EXPECT_EQ(level.width, 49);

    // A second open keeps the window (and its texts).
    ASSERT_EQ(open(), 1);
    EXPECT_EQ(caption("Label1"), "5.477");
    ERect* after = nullptr;
    effect->dispatch(vst::effEditGetRect, 0, 0, &after);
    EXPECT_EQ(after->right, 755);
    EXPECT_EQ(after->bottom, 370);

    // Closed: parameter changes and idles reach nothing; no automation.
    close();
    effect->setParameter(0, 1.0f);
    idle(3);
    EXPECT_EQ(port.controlInfo(port.context, "Label1", &none), 0);
    EXPECT_TRUE(host.automation.empty());

    // A reopened window is new and shows the current values.
    openShown();
    EXPECT_EQ(caption("Label1"), "600.0");
    EXPECT_EQ(position("DelayCoarseControl"), 200);
    close();
}

// Without the test port the editor is a real window: a host window that
// cannot hold it gives no editor, never an exception or a half-made window.
TEST_F(ModuleTest, AWindowThatCannotBeMadeLeavesOpenAnsweringZero) {
    trv4host::Effect& plain = makeEffect();
    EXPECT_EQ(plain.dispatch(vst::effEditOpen, 0, 0, nullptr), 0) << "no host window";
#if defined(_WIN32)
    void* unusable = reinterpret_cast<void*>(static_cast<uintptr_t>(0x7FFF0001));  // no such window
#else
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    setenv("DISPLAY", ":32767", 1);  // no X server there
    void* unusable = reinterpret_cast<void*>(static_cast<uintptr_t>(0x200001));
#endif
    EXPECT_EQ(plain.dispatch(vst::effEditOpen, 0, 0, unusable), 0);
#if !defined(_WIN32)
    if (display)
        setenv("DISPLAY", saved.c_str(), 1);
    else
        unsetenv("DISPLAY");
#endif
    plain.dispatch(vst::effEditIdle);
    plain.dispatch(vst::effEditClose);
    ERect* rect = nullptr;
    EXPECT_EQ(plain.dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 755);
}

TEST_F(EditorTest, OpensAndClosesAnyNumberOfTimesWhileAudioRuns) {
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<float> in(64, 0.25f), outL(64), outR(64);
        while (!stop.load()) effect->processReplacing(in.data(), in.data(), outL.data(), outR.data(), 64);
    });
    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(open(), 1);
        effect->setParameter(1, round / 20.0f);
        idle(2);
        EXPECT_EQ(info("OutputLevelControl").position, static_cast<int>(std::nearbyint(round / 20.0f * 100)));
        close();
    }
    stop = true;
    audio.join();
}

TEST_F(EditorTest, DraggingAKnobAutomatesPositionOverMax) {
    effect->setParameter(1, 0.5f);
    openShown();
    press("OutputLevelControl");
    EXPECT_EQ(info("OutputLevelControl").max, 100);
    for (int dy = 1; dy <= 12; ++dy) dragTo("OutputLevelControl", dy);
    release("OutputLevelControl");
    ASSERT_EQ(host.automation.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(host.automation[i].index, 1);
        EXPECT_FLOAT_EQ(host.automation[i].value, (51 + i) / 100.0f);
    }
    EXPECT_FLOAT_EQ(effect->getParameter(1), 0.62f);
    EXPECT_EQ(caption("Label2"), "-3.60") << "the read-out follows at once";

    // Fine mode: Shift at the press gives 1000 positions, kept until a plain press.
    press("OutputLevelControl", trv4::kPortShift);
    release("OutputLevelControl");
    EXPECT_EQ(info("OutputLevelControl").max, 1000);
    EXPECT_EQ(position("OutputLevelControl"), 620);
    effect->setParameter(1, 0.537f);
    idle();
    EXPECT_EQ(position("OutputLevelControl"), 537);
    press("OutputLevelControl");
    dragTo("OutputLevelControl", 1);
    release("OutputLevelControl");
    EXPECT_EQ(info("OutputLevelControl").max, 100);
    EXPECT_FLOAT_EQ(lastAutomation().value, 0.55f) << "54 after the plain press, one pixel up";

    // The delay knob starts with 200 positions; its first press halves them.
    effect->setParameter(0, 0.5f);
    idle();
    EXPECT_EQ(position("DelayCoarseControl"), 100);
    click("DelayCoarseControl");
    EXPECT_EQ(info("DelayCoarseControl").max, 100);
    EXPECT_EQ(position("DelayCoarseControl"), 50);
}

TEST_F(EditorTest, CtrlPressResetsContinuousKnobsOnly) {
    effect->setParameter(12, 0.9f);
    effect->setParameter(19, 0.7f);
    effect->setParameter(3, 0.3f);
    openShown();
    click("FeedbackControl", trv4::kPortCtrl);
    EXPECT_EQ(lastAutomation().index, 12);
    EXPECT_FLOAT_EQ(lastAutomation().value, 0.5f);
    EXPECT_FLOAT_EQ(effect->getParameter(12), 0.5f);
    click("HiCutControl", trv4::kPortCtrl);
    EXPECT_EQ(lastAutomation().index, 19);
    EXPECT_FLOAT_EQ(lastAutomation().value, 0.0f);
    EXPECT_EQ(caption("Label14"), "2000 ");

    const size_t before = host.automation.size();
    click("Mod1WaveControl", trv4::kPortCtrl);
    EXPECT_EQ(host.automation.size(), before) << "the wave knobs have no press handler";
    EXPECT_EQ(position("Mod1WaveControl"), 3);
    EXPECT_FLOAT_EQ(effect->getParameter(3), 0.3f);
}

TEST_F(EditorTest, WaveTwoAtZeroHidesTheSecondRate) {
    effect->setParameter(7, 0.4f);
    openShown();
    EXPECT_TRUE(visible("RWF4"));
    EXPECT_TRUE(info("Mod2RateControl").enabled);

    // Seven pixels per wave: 28 pixels down from 4 is 0.
    press("Mod2WaveControl");
    dragTo("Mod2WaveControl", -28);
    release("Mod2WaveControl");
    EXPECT_EQ(lastAutomation().index, 7);
    EXPECT_FLOAT_EQ(lastAutomation().value, 0.0f);
    idle();
    const trv4::EditorControlInfo rate = info("Mod2RateControl");
    EXPECT_FALSE(rate.enabled);
    EXPECT_EQ(rate.opacity, 0);
    EXPECT_FALSE(visible("Label7"));
    for (int n = 1; n <= 10; ++n) EXPECT_FALSE(visible("RWF" + std::to_string(n))) << n;

    press("Mod2WaveControl");
    dragTo("Mod2WaveControl", 28);
    release("Mod2WaveControl");
    EXPECT_FLOAT_EQ(lastAutomation().value, 0.4f);
    idle();
    EXPECT_TRUE(visible("RWF4"));
    EXPECT_TRUE(info("Mod2RateControl").enabled);
    EXPECT_EQ(info("Mod2RateControl").opacity, 255);
    EXPECT_TRUE(visible("Label7"));
    EXPECT_FALSE(visible("LWF4")) << "modulator 1's pictures are its own";
}

TEST_F(EditorTest, SwitchesFollowTheNearestIntegerAndAutomateTheirPresses) {
    openShown();
    effect->setParameter(15, 0.5f);
    idle();
    EXPECT_FALSE(visible("MonoOn"));
    EXPECT_TRUE(visible("MonoOff"));
    effect->setParameter(15, 0.51f);
    idle();
    EXPECT_TRUE(visible("MonoOn"));
    EXPECT_FALSE(visible("MonoOff"));

    // Each press shows the partner and sends 0 or 1.
    const struct {
        const char* on;
        const char* off;
        int index;
    } pairs[] = {{"MonoOn", "MonoOff", 15}, {"dbOn", "dbOff", 16}, {"SpreadOn", "SpreadOff", 17}};
    for (const auto& p : pairs) {
        effect->setParameter(p.index, 1.0f);
        idle();
        click(p.on);
        EXPECT_FALSE(visible(p.on));
        EXPECT_TRUE(visible(p.off));
        EXPECT_EQ(lastAutomation().index, p.index);
        EXPECT_FLOAT_EQ(lastAutomation().value, 0.0f);
        click(p.off);
        EXPECT_TRUE(visible(p.on));
        EXPECT_FLOAT_EQ(lastAutomation().value, 1.0f);
        EXPECT_FLOAT_EQ(effect->getParameter(p.index), 1.0f);
    }
}

TEST_F(EditorTest, SyncSwitchesTheRateReadOutsBetweenHertzAndNotes) {
    effect->setParameter(4, 0.0f);
    effect->setParameter(8, 1.0f);
    effect->setParameter(18, 1.0f);
    openShown();
    EXPECT_EQ(caption("Label4"), "--------") << "no tempo from the host yet";
    EXPECT_EQ(caption("Label7"), "--------");

    click("EnableOn");
    EXPECT_EQ(lastAutomation().index, 18);
    EXPECT_FLOAT_EQ(lastAutomation().value, 0.0f);
    EXPECT_TRUE(visible("EnableOff"));
    EXPECT_EQ(caption("Label4"), "0.020") << "refreshed at the press, before any idle";
    EXPECT_EQ(caption("Label7"), "20.00");
    click("EnableOff");
    EXPECT_EQ(caption("Label4"), "--------");

    // The host's tempo reaches the engine through its time information while
    // Sync. is on and audio runs; the next idle shows the note values.
    host.timeInfoAvailable = true;
    host.timeInfo.flags = vst::kVstTempoValid | vst::kVstTimeSigValid;
    const struct {
        double tempo;
        const char* rate1;
        const char* rate2;
    } tempos[] = {{120, "32/1", "1/32"}, {240, "64/1", "1/16"}, {60, "16/1", "1/64"}};
    std::string shown = "--------";
    for (const auto& t : tempos) {
        host.timeInfo.tempo = t.tempo;
        process(0.0f, 256);
        EXPECT_EQ(caption("Label4"), shown) << "not before the idle";
        idle();
        shown = t.rate1;
        EXPECT_EQ(caption("Label4"), t.rate1) << t.tempo;
        EXPECT_EQ(caption("Label7"), t.rate2) << t.tempo;
    }
    // Sync. switched off by the host: hertz again at the next idle.
    effect->setParameter(18, 0.0f);
    idle();
    EXPECT_TRUE(visible("EnableOff"));
    EXPECT_EQ(caption("Label4"), "0.020");
}

TEST_F(EditorTest, TheWheelTurnsKnobsLikeADrag) {
    effect->setParameter(1, 0.5f);
    effect->setParameter(3, 0.2f);
    effect->setParameter(7, 0.0f);
    openShown();
    wheel("OutputLevelControl", 120);
    EXPECT_EQ(lastAutomation().index, 1);
    EXPECT_FLOAT_EQ(lastAutomation().value, 0.51f);
    wheel("OutputLevelControl", -240);
    EXPECT_FLOAT_EQ(lastAutomation().value, 0.49f);
    EXPECT_EQ(caption("Label2"), "-6.20");
    // With Shift: 1/1000 of the range, the knob rescaled as a Shift press does.
    wheel("OutputLevelControl", 120, trv4::kPortShift);
    EXPECT_EQ(info("OutputLevelControl").max, 1000);
    EXPECT_FLOAT_EQ(lastAutomation().value, 0.491f);
    wheel("OutputLevelControl", 120);
    EXPECT_EQ(info("OutputLevelControl").max, 100);
    EXPECT_FLOAT_EQ(lastAutomation().value, 0.50f);

    // A wave knob moves by one wave; half notches add up.
    wheel("Mod1WaveControl", 60);
    wheel("Mod1WaveControl", 60);
    EXPECT_EQ(lastAutomation().index, 3);
    EXPECT_FLOAT_EQ(lastAutomation().value, 0.3f);
    idle();
    EXPECT_TRUE(visible("LWF3"));

    // The hidden second rate (Wave 2 at 0) takes no notch.
    const size_t before = host.automation.size();
    wheel("Mod2RateControl", 120);
    EXPECT_EQ(host.automation.size(), before);
}

}  // namespace
}  // namespace trv4test
