// A plug-in effect loaded from the built module, with its editor opened on
// the test port's headless backend, driven as a host and a user would: the
// host's editor opcodes, its parameter calls and audio, and mouse input at
// window coordinates.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/EditorTestPort.h"
#include "tests/plugin/ModuleFixture.h"

namespace trv4test {

class EditorTest : public ModuleTest {
protected:
    static constexpr int kWidth = 755, kHeight = 370;

    void SetUp() override {
        ModuleTest::SetUp();
        effect = &makeEffect();
        port.size = sizeof port;
        ASSERT_EQ(effect->dispatch(vst::effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue, &port), 1);
        effect->setSampleRate(44100);
        effect->setBlockSize(256);
        effect->resume();
    }

    vst::VstIntPtr open() { return effect->dispatch(vst::effEditOpen); }
    void close() { effect->dispatch(vst::effEditClose); }
    void idle(int times = 1) {
        for (int i = 0; i < times; ++i) effect->dispatch(vst::effEditIdle);
    }
    // Opened and idled once: every control shows the parameters.
    void openShown() {
        ASSERT_EQ(open(), 1);
        idle();
    }

    trv4::EditorControlInfo info(const std::string& name) {
        trv4::EditorControlInfo i{};
        EXPECT_EQ(port.controlInfo(port.context, name.c_str(), &i), 1) << name;
        return i;
    }
    std::string caption(const std::string& name) { return info(name).caption; }
    bool visible(const std::string& name) { return info(name).visible != 0; }
    int position(const std::string& name) { return info(name).position; }

    // A press at the middle of a control, with the keys held.
    void press(const std::string& name, unsigned keys = 0, int button = trv4::kPortLeft) {
        const trv4::EditorControlInfo i = info(name);
        port.setKeys(port.context, keys);
        port.mouseDown(port.context, button, i.left + i.width / 2, i.top + i.height / 2);
    }
    // Vertical drag from the press point: dy pixels up (negative: down).
    void dragTo(const std::string& name, int dy) {
        const trv4::EditorControlInfo i = info(name);
        port.mouseMove(port.context, i.left + i.width / 2, i.top + i.height / 2 - dy);
    }
    void release(const std::string& name) {
        const trv4::EditorControlInfo i = info(name);
        port.mouseUp(port.context, trv4::kPortLeft, i.left + i.width / 2, i.top + i.height / 2);
        port.setKeys(port.context, 0);
    }
    void click(const std::string& name, unsigned keys = 0) {
        press(name, keys);
        release(name);
    }
    void wheel(const std::string& name, int delta, unsigned keys = 0) {
        const trv4::EditorControlInfo i = info(name);
        port.setKeys(port.context, keys);
        port.mouseWheel(port.context, i.left + i.width / 2, i.top + i.height / 2, delta);
        port.setKeys(port.context, 0);
    }

    // Audio: n frames of a constant on both inputs.
    void process(float level, int frames) {
        std::vector<float> in(256, level), outL(256), outR(256);
        for (int done = 0; done < frames; done += 256)
            effect->processReplacing(in.data(), in.data(), outL.data(), outR.data(), 256);
    }

    // The window's client area, top-down 0x00RRGGBB.
    std::vector<uint32_t> capture() {
        std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight);
        EXPECT_EQ(port.capture(port.context, pixels.data(), kWidth, kHeight), 1);
        return pixels;
    }

    trv4host::AutomationEvent lastAutomation() const {
        if (host.automation.empty()) {
            ADD_FAILURE() << "the host was told of no parameter change";
            return {-1, -1.0f};
        }
        return host.automation.back();
    }

    trv4host::Effect* effect = nullptr;
    trv4::EditorTestPort port{};
};

}  // namespace trv4test
