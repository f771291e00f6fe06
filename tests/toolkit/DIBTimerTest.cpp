// The message-driven timer on the headless clock.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/Form.h"
#include "platform/headless/HeadlessBackend.h"
#include "toolkit/cDIBTimer.h"

namespace toolkit::test {
namespace {

TEST(DIBTimer, RunsOnlyWhenEnabledWithIntervalAndHandler) {
    platform::HeadlessBackend backend;
    platform::Form form(backend, 0);
    TDIBTimer timer(&form);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    int ticks = 0;
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Running());  // no handler yet
    timer.SetOnTimer([&](platform::Component* sender) {
        EXPECT_EQ(sender, &timer);
        ++ticks;
    });
    EXPECT_TRUE(timer.Running());
    timer.SetInterval(100);
    backend.AdvanceClock(350);
    EXPECT_EQ(ticks, 3);
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
    backend.AdvanceClock(500);
    EXPECT_EQ(ticks, 3);
}

TEST(DIBTimer, AFailingHandlerIsReportedAndTheTimerKeepsRunning) {
    platform::HeadlessBackend backend;
    platform::Form form(backend, 0);
    TDIBTimer timer(&form);
    int ticks = 0;
    timer.SetInterval(10);
    timer.SetOnTimer([&](platform::Component*) {
        ++ticks;
        throw std::runtime_error("tick failed");
    });
    timer.SetEnabled(true);
    backend.AdvanceClock(20);
    EXPECT_EQ(ticks, 2);
    ASSERT_EQ(backend.messageBoxes.size(), 2u);
    EXPECT_EQ(backend.messageBoxes[0].text, "tick failed");
    EXPECT_TRUE(timer.Running());
}

TEST(DIBTimer, AHandlerMayStopItsOwnTimer) {
    platform::HeadlessBackend backend;
    platform::Form form(backend, 0);
    TDIBTimer timer(&form);
    int ticks = 0;
    timer.SetInterval(10);
    timer.SetOnTimer([&](platform::Component*) {
        ++ticks;
        timer.SetEnabled(false);
    });
    timer.SetEnabled(true);
    backend.AdvanceClock(100);
    EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace toolkit::test
