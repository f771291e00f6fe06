// Toolkit controls in a container on a headless form: creation rules,
// opacity, hover and capture, press auto-repeat, image links.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/toolkit/DIBControlScene.h"
#include "tests/toolkit/DIBTestSupport.h"
#include "toolkit/cDIBImageList.h"

namespace toolkit::test {
namespace {

using platform::MouseButton;
using Log = std::vector<std::string>;

TEST(DIBControl, NeedsAnOwnerWithAContainer) {
    Log log;
    try {
        ProbeControl orphan(nullptr, log, "x");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Owner cannot be nil");
    }
    platform::HeadlessBackend backend;
    platform::Form form(backend, 0);
    try {
        new ProbeControl(&form, log, "x");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Parent must be a TDIBContainer");
    }
    EXPECT_TRUE(form.Components().empty());
    // With a container on the form the control lands in it; a plain panel
    // as parent is replaced by the container the panel owns, and a panel
    // without one is refused with the control left where it was.
    auto* container = new TDIBContainer(&form);
    container->SetParent(&form);
    auto* p = new ProbeControl(&form, log, "p");
    EXPECT_EQ(p->Parent(), container);
    auto* panel = new platform::Panel(&form);
    panel->SetParent(&form);
    EXPECT_THROW(p->SetParent(panel), std::runtime_error);
    EXPECT_EQ(p->Parent(), container);
    auto* inner = new TDIBContainer(panel);
    inner->SetParent(panel);
    p->SetParent(panel);
    EXPECT_EQ(p->Parent(), inner);
}

TEST(DIBControl, OpacityBlendsOverTheBackgroundAndZeroStillTakesTheMouse) {
    Scene s;
    ProbeControl* p = s.Probe("p", 10, 10, 20, 20);
    EXPECT_EQ(s.Screen(15, 15), BGRA(0, 0, 0xFF, 0));  // the probe's red
    EXPECT_EQ(s.Screen(5, 5), BGRA(0xFF, 0, 0, 0));    // the container's blue
    p->SetOpacity(128);
    const uint32_t half = s.Screen(15, 15);
    // Red over blue at 128/255: each channel half-way (within rounding).
    EXPECT_NEAR(int(R(half)), 128, 2);
    EXPECT_NEAR(int(B(half)), 127, 2);
    EXPECT_EQ(G(half), 0);
    p->SetOpacity(0);
    EXPECT_EQ(s.Screen(15, 15), s.Screen(5, 5));
    s.backend.MouseDown(s.Window(), MouseButton::Left, {15, 15});
    s.backend.MouseUp(s.Window(), MouseButton::Left, {15, 15});
    EXPECT_EQ(s.log, (Log{"p enter", "p down 5,5"}));
}

TEST(DIBControl, LeaveWhileCapturedIsDeferredToTheReleaseAndAReturnEntersAgain) {
    Scene s;
    ProbeControl* a = s.Probe("a", 0, 0, 20, 20);
    s.Probe("b", 50, 0, 20, 20);
    s.backend.MouseMove(s.Window(), {5, 5});
    s.backend.MouseDown(s.Window(), MouseButton::Left, {5, 5});
    s.backend.MouseMove(s.Window(), {55, 5});
    EXPECT_TRUE(a->Hot());
    EXPECT_FALSE(a->MouseOver());
    // Back in while held: a second enter notice; out again: none (the
    // leave waits for the release).
    s.backend.MouseMove(s.Window(), {6, 6});
    EXPECT_TRUE(a->MouseOver());
    s.backend.MouseMove(s.Window(), {56, 6});
    EXPECT_EQ(s.log, (Log{"a enter", "a down 5,5", "a enter"}));
    s.backend.MouseUp(s.Window(), MouseButton::Left, {56, 6});
    EXPECT_EQ(s.log, (Log{"a enter", "a down 5,5", "a enter", "a leave", "b enter"}));
    EXPECT_FALSE(a->Hot());
    EXPECT_EQ(a->highlights, 1);
    EXPECT_EQ(a->unhighlights, 1);
}

TEST(DIBControl, AutoRepeatWhileHeldStopsOnLeaveResumesOnEnter) {
    Scene s;
    ProbeControl* p = s.Probe("p", 0, 0, 20, 20);
    p->SetAutoRepeat(true);
    p->SetRepeatPeriod(100);
    s.backend.MouseDown(s.Window(), MouseButton::Left, {5, 5});
    s.log.clear();
    s.backend.AdvanceClock(250);
    EXPECT_EQ(s.log, (Log{"p down 5,5", "p down 5,5"}));
    // A move updates the saved press.
    s.backend.MouseMove(s.Window(), {7, 8});
    s.log.clear();
    s.backend.AdvanceClock(100);
    EXPECT_EQ(s.log, (Log{"p down 7,8"}));
    s.backend.MouseMove(s.Window(), {50, 50});
    EXPECT_FALSE(p->RepeatRunning());
    s.log.clear();
    s.backend.AdvanceClock(500);
    EXPECT_TRUE(s.log.empty());
    s.backend.MouseMove(s.Window(), {3, 4});
    EXPECT_TRUE(p->RepeatRunning());
    s.backend.AdvanceClock(100);
    EXPECT_EQ(s.log, (Log{"p enter", "p down 3,4"}));
    s.backend.MouseUp(s.Window(), MouseButton::Left, {3, 4});
    s.log.clear();
    s.backend.AdvanceClock(500);
    EXPECT_TRUE(s.log.empty());
    // A stop request ends the repeat at the next tick without a press.
    s.backend.MouseDown(s.Window(), MouseButton::Left, {5, 5});
    p->RequestRepeatStop();
    s.log.clear();
    s.backend.AdvanceClock(300);
    EXPECT_TRUE(s.log.empty());
    EXPECT_FALSE(p->RepeatRunning());
}

TEST(DIBControl, LinksFollowTheListAndLetGoWhenItIsFreed) {
    Scene s;
    ProbeControl* p = s.Probe("p", 0, 0, 20, 20);
    TDIBImageLink& link = p->CreateLink();
    auto* list = new TDIBImageList(&s.form);
    list->DIBImages().Add().DIB().SetSize(2, 2);
    p->SetDIBImageList(list);
    EXPECT_EQ(link.DIBImageList(), list);
    link.SetDIBIndex(0);
    EXPECT_NE(link.Resolve(), nullptr);
    delete list;
    EXPECT_EQ(p->DIBImageList(), nullptr);
    EXPECT_EQ(link.Resolve(), nullptr);
    s.Screen(0, 0);  // paints without the list
}

}  // namespace
}  // namespace toolkit::test
