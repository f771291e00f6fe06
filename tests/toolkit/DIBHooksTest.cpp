// The control base's add-on hooks on a headless form: features that see
// (and may swallow) each mouse message first, the key-lock feature on a
// dial, the container's border and the shared popup menu.
#include <gtest/gtest.h>

#include "platform/FormReader.h"
#include "tests/toolkit/DIBControlScene.h"
#include "tests/toolkit/DIBTestSupport.h"
#include "toolkit/cDIBBorder.h"
#include "toolkit/cDIBDial.h"

namespace toolkit::test {
namespace {

using platform::MouseButton;

// Logs every message and swallows the kinds it is told to.
class RecordingFeature : public TDIBFeature {
public:
    RecordingFeature(std::vector<std::string>& log, std::vector<TDIBMessage::Kind> swallow)
        : fLog(log), fSwallow(std::move(swallow)) {}
    void Initialize(TCustomDIBControl& control) override { fLog.push_back("init " + control.Name()); }
    bool Message(TCustomDIBControl&, const TDIBMessage& m) override {
        static const char* names[] = {"down", "move", "up", "click", "enter", "leave", "wheel"};
        fLog.push_back(std::string("feature ") + names[m.kind]);
        return std::find(fSwallow.begin(), fSwallow.end(), m.kind) != fSwallow.end();
    }

private:
    std::vector<std::string>& fLog;
    std::vector<TDIBMessage::Kind> fSwallow;
};

TEST(DIBFeatures, SeeEachMessageFirstAndMaySwallowIt) {
    Scene s;
    ProbeControl* p = s.Probe("p", 10, 10, 20, 20);
    p->DIBFeatures().Add(std::make_unique<RecordingFeature>(
        s.log, std::vector<TDIBMessage::Kind>{TDIBMessage::dmMouseLeave, TDIBMessage::dmMouseWheel}));
    const uintptr_t w = s.Window();
    s.backend.MouseMove(w, {15, 15});
    s.backend.MouseDown(w, MouseButton::Left, {15, 15});
    s.backend.MouseUp(w, MouseButton::Left, {15, 15});
    s.backend.MouseWheel(w, {15, 15}, 120);
    s.backend.MouseMove(w, {50, 50});
    EXPECT_EQ(s.log, (std::vector<std::string>{"init p", "feature enter", "p enter", "feature move", "feature down",
                                               "p down 5,5", "feature click", "feature up", "feature wheel",
                                               "feature leave"}));
    EXPECT_TRUE(p->Hot()) << "the swallowed leave never reached the control";
}

TEST(DIBFeatures, TheKeyLockKeepsADialStillWhileItsKeyIsHeld) {
    Scene s;
    auto* dial = new TDIBDial(&s.form);
    dial->SetBounds(10, 10, 40, 40);
    dial->SetMouseControlStyle(mcsLinear);
    dial->SetPosition(50);
    int changes = 0, downs = 0;
    dial->OnChange.Set([&](platform::Component*) { ++changes; });
    dial->OnMouseDown.Set([&](platform::Component*, MouseButton, platform::ShiftState, int, int) { ++downs; });
    auto& lock = dial->DIBFeatures().Add(std::make_unique<TDIBFeatureKeyLock>(platform::ssCtrl));
    const uintptr_t w = s.Window();
    auto drag = [&] {
        s.backend.MouseDown(w, MouseButton::Left, {30, 30});
        s.backend.MouseMove(w, {30, 10});
        s.backend.AdvanceClock(200);
        s.backend.MouseUp(w, MouseButton::Left, {30, 10});
    };
    s.backend.SetKeyboardState(platform::ssCtrl);
    drag();
    EXPECT_EQ(dial->Position(), 50);
    EXPECT_EQ(changes + downs, 0);
    EXPECT_FALSE(dial->Dragging());
    // Releasing the key mid-press keeps that press locked; the next works.
    s.backend.MouseDown(w, MouseButton::Left, {30, 30});
    s.backend.SetKeyboardState(0);
    s.backend.MouseMove(w, {30, 20});
    s.backend.MouseUp(w, MouseButton::Left, {30, 20});
    EXPECT_EQ(dial->Position(), 50);
    drag();
    EXPECT_EQ(dial->Position(), 70);
    EXPECT_EQ(downs, 1);
    // Another key leaves Ctrl presses alone.
    lock.SetKey(platform::ssAlt);
    s.backend.SetKeyboardState(platform::ssCtrl);
    drag();
    EXPECT_EQ(dial->Position(), 90);
}

TEST(DIBBorder, FramesTheContainerUnderOrOverItsControlsAndShrinksTheClientArea) {
    Scene s;                      // 100 x 60, blue
    s.Probe("p", 0, 0, 100, 60);  // red over everything
    auto* border = new TDIBBorder(&s.form);
    border->SetEdgeLeft(2);
    border->SetEdgeTop(3);
    border->SetEdgeRight(4);
    border->SetEdgeBottom(5);
    border->SetColor(platform::RGBColor(0, 0xFF, 0));
    s.container->SetDIBBorder(border);
    EXPECT_EQ(s.container->DIBClientRect(), (platform::Rect{2, 3, 96, 55}));
    constexpr uint32_t green = 0x00FF00, red = 0xFF0000;
    for (auto [x, y] : {std::pair{0, 30}, {1, 30}, {50, 2}, {95, 2}, {96, 30}, {99, 59}, {50, 55}})
        EXPECT_EQ(s.Screen(x, y) & 0xFFFFFF, green) << x << "," << y;
    for (auto [x, y] : {std::pair{2, 3}, {95, 54}, {50, 30}})
        EXPECT_EQ(s.Screen(x, y) & 0xFFFFFF, red) << x << "," << y;
    s.container->SetBorderDrawPosition(bdUnderControls);
    EXPECT_EQ(s.Screen(0, 30) & 0xFFFFFF, red);
    s.container->SetBorderDrawPosition(bdOverControls);
    border->SetEdgeLeft(10);  // the container repaints
    EXPECT_EQ(s.Screen(9, 30) & 0xFFFFFF, green);
    border->SetEdgeTop(1000);  // wider than the container: no inside left
    EXPECT_TRUE(s.container->DIBClientRect().IsEmpty());
    EXPECT_EQ(s.Screen(50, 58) & 0xFFFFFF, green);
    delete border;
    EXPECT_EQ(s.container->DIBBorder(), nullptr);
    EXPECT_EQ(s.Screen(0, 30) & 0xFFFFFF, red);
}

TEST(DIBBorder, IsStoredByNameInTheContainersDescription) {
    TDIBContainer::RegisterClasses();
    std::string text;
    {
        Scene s;
        s.form.SetName("Framed");
        s.container->SetName("Container1");
        auto* border = new TDIBBorder(&s.form);
        border->SetName("Frame");
        border->SetEdgeRight(7);
        s.container->SetDIBBorder(border);
        s.container->SetBorderDrawPosition(bdUnderControls);
        text = platform::WriteForm(s.form);
    }
    EXPECT_NE(text.find("DIBBorder = Frame"), std::string::npos) << text;
    Scene s2;
    delete s2.container;
    s2.form.Load(text);
    auto* container = s2.form.Find<TDIBContainer>("Container1");
    ASSERT_NE(container, nullptr);
    ASSERT_EQ(container->DIBBorder(), s2.form.Find<TDIBBorder>("Frame"));
    EXPECT_EQ(container->DIBBorder()->EdgeRight(), 7);
    EXPECT_EQ(container->BorderDrawPosition(), bdUnderControls);
}

// A control that puts one entry into the shared menu.
class MenuProbe : public ProbeControl {
public:
    using ProbeControl::ProbeControl;
    int filled = 0;

protected:
    void FillSharedPopup(TDIBPopupMenu& menu) override { menu.items.push_back({"Reset", nullptr}); }
    void SharedPopupFilled(TDIBPopupMenu& menu) override { filled = int(menu.items.size()); }
};

TEST(DIBPopupMenu, TheSharedMenuIsOfferedOnlyWhenTheHooksFillIt) {
    Scene s;
    auto* withItems = new MenuProbe(&s.form, s.log, "m");
    withItems->SetBounds(0, 0, 20, 20);
    ProbeControl* plain = s.Probe("p", 30, 0, 20, 20);
    std::vector<std::string> offered;
    auto record = [&](platform::Component* sender, TDIBPopupMenu& menu, int x, int y) {
        offered.push_back(sender->Name() + " " + (menu.items.empty() ? "" : menu.items[0].caption) + " " +
                          std::to_string(x) + "," + std::to_string(y));
    };
    withItems->OnContextPopup.Set(record);
    plain->OnContextPopup.Set(record);
    const uintptr_t w = s.Window();
    auto rightClick = [&](int x, int y, int upX, int upY) {
        s.backend.MouseDown(w, MouseButton::Right, {x, y});
        s.backend.MouseUp(w, MouseButton::Right, {upX, upY});
    };
    rightClick(5, 6, 5, 6);
    rightClick(35, 5, 35, 5);  // no items: nothing offered
    rightClick(5, 5, 60, 50);  // released outside: no request
    s.backend.MouseDown(w, MouseButton::Left, {5, 5});
    s.backend.MouseUp(w, MouseButton::Left, {5, 5});
    // A menu of its own is offered as it is, without the hooks.
    TDIBPopupMenu own{{{"Own", nullptr}}};
    plain->SetPopupMenu(&own);
    rightClick(31, 1, 31, 1);
    EXPECT_EQ(offered, (std::vector<std::string>{"m Reset 5,6", "p Own 1,1"}));
    EXPECT_EQ(withItems->filled, 1);
}

}  // namespace
}  // namespace toolkit::test
