// The container: the DIB tab list, the toolkit focus, Tab navigation and
// the paint of the background, toolkit children and plain controls.
#include <gtest/gtest.h>

#include "platform/Label.h"
#include "tests/toolkit/DIBControlScene.h"
#include "tests/toolkit/DIBTestSupport.h"

namespace toolkit::test {
namespace {

using platform::MouseButton;
using Log = std::vector<std::string>;

TEST(DIBContainer, TabOrderPlacesRemovesAndAppends) {
    Scene s;
    ProbeControl* a = s.Probe("a", 0, 0, 10, 10);
    ProbeControl* b = s.Probe("b", 20, 0, 10, 10);
    ProbeControl* c = s.Probe("c", 40, 0, 10, 10);
    EXPECT_FALSE(s.container->TabStop());
    a->SetDIBTabOrder(0);
    b->SetDIBTabOrder(7);  // beyond the end: appended
    EXPECT_EQ(b->DIBTabOrder(), 1);
    c->SetDIBTabOrder(0);
    EXPECT_EQ(s.container->DIBTabList(), (std::vector<TCustomDIBControl*>{c, a, b}));
    EXPECT_TRUE(s.container->TabStop());
    a->SetDIBTabOrder(-5);
    EXPECT_EQ(a->DIBTabOrder(), -1);
    EXPECT_EQ(s.container->DIBTabList(), (std::vector<TCustomDIBControl*>{c, b}));
    delete c;
    EXPECT_EQ(s.container->DIBTabList(), (std::vector<TCustomDIBControl*>{b}));
}

TEST(DIBContainer, NegativeTabOrderNeverMovesTheFocus) {
    Scene s;
    ProbeControl* a = s.Probe("a", 0, 0, 10, 10);
    ProbeControl* b = s.Probe("b", 20, 0, 10, 10);
    s.backend.MouseDown(s.Window(), MouseButton::Left, {5, 5});
    s.backend.MouseUp(s.Window(), MouseButton::Left, {5, 5});
    s.container->SetFocus();
    platform::Key tab = platform::vkTab;
    s.container->KeyDown(tab, 0);
    EXPECT_EQ(s.container->ActiveControl(), nullptr);
    EXPECT_FALSE(a->DIBFocused());
    EXPECT_FALSE(b->DIBFocused());
}

TEST(DIBContainer, PressFocusesAndTabCyclesEnabledControls) {
    Scene s;
    ProbeControl* a = s.Probe("a", 0, 0, 10, 10);
    ProbeControl* b = s.Probe("b", 20, 0, 10, 10);
    ProbeControl* c = s.Probe("c", 40, 0, 10, 10);
    a->SetDIBTabOrder(0);
    b->SetDIBTabOrder(1);
    c->SetDIBTabOrder(2);
    int changes = 0;
    s.container->OnActiveControlChange.Set([&](platform::Component*) { ++changes; });
    s.backend.MouseDown(s.Window(), MouseButton::Left, {25, 5});
    s.backend.MouseUp(s.Window(), MouseButton::Left, {25, 5});
    EXPECT_EQ(s.container->ActiveControl(), b);
    EXPECT_TRUE(b->DIBFocused());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(s.backend.FocusedWindow(), s.Window());
    c->SetEnabled(false);
    s.log.clear();
    s.backend.KeyDown(platform::vkTab);
    EXPECT_EQ(s.container->ActiveControl(), a);  // c is disabled: wraps to a
    EXPECT_EQ(s.log, (Log{"b unfocus", "a focus"}));
    s.backend.SetKeyboardState(platform::ssShift);
    s.backend.KeyDown(platform::vkTab);
    EXPECT_EQ(s.container->ActiveControl(), b);
    // Disabling the focused control runs its exit step.
    b->SetEnabled(false);
    EXPECT_FALSE(b->DIBFocused());
    EXPECT_EQ(s.container->ActiveControl(), nullptr);
}

TEST(DIBContainer, ArrowKeysGoToTheActiveControlThatWantsThem) {
    Scene s;
    ProbeControl* a = s.Probe("a", 0, 0, 10, 10);
    a->SetDIBTabOrder(0);
    platform::Key got = 0;
    a->OnKeyDown.Set([&](platform::Component*, platform::Key& k, platform::ShiftState) { got = k; });
    a->SetDIBFocus();
    EXPECT_EQ(s.backend.DialogCode(s.Window()), platform::dlgcWantArrows);
    s.backend.KeyDown(platform::vkLeft);
    EXPECT_EQ(got, platform::vkLeft);
    got = 0;
    s.backend.KeyDown(platform::vkTab);  // not wanted: navigation, stays on a
    EXPECT_EQ(got, 0);
    EXPECT_EQ(s.container->ActiveControl(), a);
    // Characters reach it too, '%' (the left-arrow code) included; Enter
    // only with the wants-all flag.
    std::string chars;
    a->OnKeyPress.Set([&](platform::Component*, char& c) { chars += c; });
    s.backend.KeyPress('%');
    s.backend.KeyPress('\r');
    a->SetDialogFlags(dcWantAllKeys);
    s.backend.KeyPress('\r');
    EXPECT_EQ(chars, "%\r");
    EXPECT_EQ(s.backend.DialogCode(s.Window()), platform::dlgcWantAllKeys);
}

TEST(DIBContainer, AltAndTheAcceleratorClickTheControl) {
    Scene s;
    ProbeControl* a = s.Probe("a", 0, 0, 10, 10);
    a->SetAccelerator('K');
    int clicks = 0;
    a->OnClick.Set([&](platform::Component*) { ++clicks; });
    std::string typed;
    a->OnKeyPress.Set([&](platform::Component*, char& c) { typed += c; });
    a->SetDIBFocus();
    s.backend.KeyPress('k');  // no Alt: an ordinary character
    EXPECT_EQ(clicks, 0);
    s.backend.SetKeyboardState(platform::ssAlt);
    s.backend.KeyPress('k');
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(typed, "k");  // consumed
    a->SetVisible(false);
    s.backend.KeyPress('k');
    EXPECT_EQ(clicks, 1);
}

// Enlarges every update rectangle to the whole client area.
class Widening : public ProbeControl {
public:
    using ProbeControl::ProbeControl;
    void AdjustUpdateRect(platform::Rect& update) override { update = {0, 0, 100, 60}; }
};

TEST(DIBContainer, AnEnlargedUpdateRectangleIsPaintedInASecondPass) {
    Scene s;
    s.Screen(0, 0);
    auto* w = new Widening(&s.form, s.log, "w");
    w->SetBounds(10, 10, 5, 5);
    s.backend.TakePaints(s.Window());
    s.backend.PaintPending();
    s.backend.PaintPending();  // the request made by the first pass
    const auto paints = s.backend.TakePaints(s.Window());
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_NE(paints[0], (platform::Rect{0, 0, 100, 60}));  // the control's old and new place
    EXPECT_EQ(paints[1], (platform::Rect{0, 0, 100, 60}));
    EXPECT_EQ(s.Screen(12, 12), BGRA(0, 0, 0xFF, 0));
}

TEST(DIBContainer, PaintsBackgroundChildrenInZOrderAndPlainControls) {
    Scene s;
    ProbeControl* low = s.Probe("low", 10, 10, 30, 30);
    ProbeControl* high = s.Probe("high", 20, 20, 30, 30);
    high->paint = 0x00FF00;  // green
    // A toolkit child partly outside the container paints its inner part.
    ProbeControl* edge = s.Probe("edge", -5, 50, 20, 20);
    edge->paint = 0xFFFFFF;
    auto* label = new platform::Label(&s.form);
    label->SetParent(s.container);
    label->SetAutoSize(false);
    label->SetTransparent(false);
    label->SetColor(0x000000);
    label->SetCaption("");
    label->SetBounds(80, 0, 10, 10);
    int before = 0, after = 0;
    s.container->BeforePaint.Set([&](platform::Component*, TAbstractSuperDIB&) { ++before; });
    s.container->AfterPaint.Set([&](platform::Component*, TAbstractSuperDIB&) { ++after; });
    EXPECT_EQ(s.Screen(5, 5), BGRA(0xFF, 0, 0, 0));
    EXPECT_EQ(s.Screen(15, 15), BGRA(0, 0, 0xFF, 0));
    EXPECT_EQ(s.Screen(25, 25), BGRA(0, 0xFF, 0, 0));
    EXPECT_EQ(s.Screen(0, 55), BGRA(0xFF, 0xFF, 0xFF, 0));
    EXPECT_EQ(s.Screen(85, 5), BGRA(0, 0, 0, 0));
    EXPECT_GE(before, 1);
    EXPECT_EQ(before, after);
    low->BringToFront();
    EXPECT_EQ(s.Screen(25, 25), BGRA(0, 0, 0xFF, 0));
    // Only the update rectangle reaches the window.
    s.backend.TakePaints(s.Window());
    high->SetOpacity(10);
    s.backend.PaintPending();
    const auto paints = s.backend.TakePaints(s.Window());
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(paints[0], high->BoundsRect());
}

TEST(DIBContainer, MainSurfaceFollowsTheBounds) {
    Scene s;
    EXPECT_EQ(s.container->MainSurface().Width(), 100);
    s.container->SetBounds(0, 0, 64, 32);
    EXPECT_EQ(s.container->MainSurface().Width(), 64);
    EXPECT_EQ(s.container->MainSurface().Height(), 32);
}

}  // namespace
}  // namespace toolkit::test
