// The message-driven timer on the headless clock.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

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

TEST(DIBTimer, TimersKeepTheirPeriodsAndCreationOrderAndMayStopFromTheirOwnTick) {
    platform::HeadlessBackend backend;
    platform::Form form(backend, 0);
    std::vector<std::string> ticks;
    bool stopFast = false;
    TDIBTimer slow(&form), fast(&form);
    slow.SetInterval(50);
    slow.SetOnTimer([&](platform::Component*) { ticks.push_back("slow " + std::to_string(backend.Now())); });
    slow.SetEnabled(true);
    fast.SetInterval(30);
    fast.SetOnTimer([&](platform::Component*) {
        ticks.push_back("fast " + std::to_string(backend.Now()));
        if (stopFast) fast.SetEnabled(false);
    });
    fast.SetEnabled(true);
    backend.AdvanceClock(29);
    EXPECT_TRUE(ticks.empty());
    backend.AdvanceClock(121);
    // Due at the same time (150): the older timer first.
    EXPECT_EQ(ticks, (std::vector<std::string>{"fast 30", "slow 50", "fast 60", "fast 90", "slow 100", "fast 120",
                                               "slow 150", "fast 150"}));

    // Stopped from its own tick; a new interval starts a new period.
    ticks.clear();
    stopFast = true;
    slow.SetInterval(40);
    backend.AdvanceClock(100);
    EXPECT_EQ(ticks, (std::vector<std::string>{"fast 180", "slow 190", "slow 230"}));
    EXPECT_FALSE(fast.Running());
    EXPECT_FALSE(fast.Enabled());
}

}  // namespace
}  // namespace toolkit::test
