// Windowless controls on a headless form: mouse routing, capture, enter and
// leave, keyboard and focus, cursors and repaint requests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/headless/HeadlessBackend.h"

namespace platform {
namespace {

// Records every message step it receives.
class Probe : public Control {
public:
    Probe(Component* owner, std::vector<std::string>& log, const char* name) : Control(owner), log_(log) {
        SetName(name);
    }
    void MouseDown(MouseButton b, ShiftState s, int x, int y) override {
        Note("down", x, y);
        lastShift = s;
        Control::MouseDown(b, s, x, y);
    }
    void MouseMove(ShiftState s, int x, int y) override { Note("move", x, y); }
    void MouseUp(MouseButton b, ShiftState s, int x, int y) override { Note("up", x, y); }
    void Click() override { log_.push_back(Name() + " click"); }
    void MouseEnter() override { log_.push_back(Name() + " enter"); }
    void MouseLeave() override { log_.push_back(Name() + " leave"); }
    ShiftState lastShift = 0;

private:
    void Note(const char* what, int x, int y) {
        log_.push_back(Name() + " " + what + " " + std::to_string(x) + "," + std::to_string(y));
    }
    std::vector<std::string>& log_;
};

class Routing : public ::testing::Test {
protected:
    Routing() : form(backend, 0) {
        form.SetBounds(0, 0, 200, 100);
        a = new Probe(&form, log, "A");
        a->SetBounds(10, 10, 50, 50);
        a->SetParent(&form);
        b = new Probe(&form, log, "B");
        b->SetBounds(40, 40, 50, 50);  // above A, overlapping (40..60, 40..60)
        b->SetParent(&form);
    }
    uintptr_t Window() const { return form.Handle(); }

    HeadlessBackend backend;
    Form form;
    std::vector<std::string> log;
    Probe* a;
    Probe* b;
};

TEST_F(Routing, PressGoesToTopmostVisibleEnabledControlUnderThePointer) {
    backend.MouseDown(Window(), MouseButton::Left, {45, 45});
    backend.MouseUp(Window(), MouseButton::Left, {45, 45});
    backend.MouseDown(Window(), MouseButton::Left, {20, 20});
    backend.MouseUp(Window(), MouseButton::Left, {20, 20});
    EXPECT_EQ(log, (std::vector<std::string>{"B enter", "B down 5,5", "B click", "B up 5,5", "B leave", "A enter",
                                             "A down 10,10", "A click", "A up 10,10"}));

    // Hidden or disabled, B lets the press through to A beneath it.
    for (int round = 0; round < 2; ++round) {
        log.clear();
        round == 0 ? b->SetVisible(false) : b->SetEnabled(false);
        backend.MouseDown(Window(), MouseButton::Left, {45, 45});
        backend.MouseUp(Window(), MouseButton::Left, {45, 45});
        EXPECT_EQ(log, (std::vector<std::string>{"A down 35,35", "A click", "A up 35,35"}));
        b->SetVisible(true);
        b->SetEnabled(true);
        b->BringToFront();
    }

    // Z-order decides: sent to the back, B gets only its own part.
    log.clear();
    b->SendToBack();
    backend.MouseMove(Window(), {45, 45});
    backend.MouseMove(Window(), {80, 80});
    EXPECT_EQ(log, (std::vector<std::string>{"A move 35,35", "A leave", "B enter", "B move 40,40"}));
}

TEST_F(Routing, InvisibleControlsGetNothing) {
    a->SetVisible(false);
    b->SetVisible(false);
    backend.MouseMove(Window(), {20, 20});
    backend.MouseDown(Window(), MouseButton::Right, {45, 45});
    backend.MouseMove(Window(), {50, 50});
    backend.MouseUp(Window(), MouseButton::Right, {45, 45});
    EXPECT_TRUE(log.empty());
}

TEST_F(Routing, PressCapturesMovesAndReleaseOutsideTheBounds) {
    backend.MouseMove(Window(), {20, 20});
    backend.MouseDown(Window(), MouseButton::Left, {20, 20});
    EXPECT_TRUE(a->MouseCaptured());
    backend.MouseMove(Window(), {5, 20});    // out of A, over the form
    backend.MouseMove(Window(), {150, 90});  // far outside, past B
    backend.MouseMove(Window(), {30, 30});   // back inside A
    backend.MouseMove(Window(), {80, 80});   // over B, still A's
    backend.MouseUp(Window(), MouseButton::Left, {80, 80});
    EXPECT_FALSE(a->MouseCaptured());
    EXPECT_EQ(log, (std::vector<std::string>{"A enter", "A move 10,10", "A down 10,10", "A leave", "A move -5,10",
                                             "A move 140,80", "A enter", "A move 20,20", "A leave", "A move 70,70",
                                             "A up 70,70", "B enter"}))
        << "no click for a release outside; B hears of the pointer only after the release";

    log.clear();
    backend.MouseMove(Window(), {81, 81});
    EXPECT_EQ(log, (std::vector<std::string>{"B move 41,41"}));
}

TEST_F(Routing, ShiftStateAndSecondButtonsKeepTheCapture) {
    backend.SetKeyboardState(ssShift | ssCtrl);
    backend.MouseDown(Window(), MouseButton::Left, {20, 20});
    EXPECT_EQ(a->lastShift, ssShift | ssCtrl | ssLeft);
    backend.MouseDown(Window(), MouseButton::Right, {70, 70});
    EXPECT_EQ(a->lastShift, ssShift | ssCtrl | ssLeft | ssRight);
    backend.MouseUp(Window(), MouseButton::Left, {70, 70});
    EXPECT_TRUE(a->MouseCaptured()) << "the right button still holds it";
    backend.MouseUp(Window(), MouseButton::Right, {70, 70});
    EXPECT_FALSE(a->MouseCaptured());
}

TEST_F(Routing, ControlHiddenByItsOwnPressGetsNoMore) {
    // The editor's switches hide the pressed picture and show its partner.
    a->OnMouseDown.Set([&](Component*, MouseButton, ShiftState, int, int) {
        a->SetVisible(false);
        b->SetBounds(10, 10, 50, 50);
    });
    backend.MouseDown(Window(), MouseButton::Left, {20, 20});
    backend.MouseMove(Window(), {21, 21});
    backend.MouseUp(Window(), MouseButton::Left, {21, 21});
    backend.MouseMove(Window(), {22, 22});
    EXPECT_EQ(log, (std::vector<std::string>{"A enter", "A down 10,10", "B enter", "B move 12,12"}));
}

TEST_F(Routing, FreedControlLeavesNoDanglingCapture) {
    backend.MouseDown(Window(), MouseButton::Left, {20, 20});
    delete a;
    backend.MouseMove(Window(), {45, 45});
    backend.MouseUp(Window(), MouseButton::Left, {45, 45});
    backend.MouseMove(Window(), {46, 46});
    EXPECT_EQ(log.back(), "B move 6,6");
}

TEST_F(Routing, CursorComesFromTheControlUnderThePointerOrTheCapture) {
    b->SetCursor(Cursor::HandPoint);
    EXPECT_EQ(backend.CursorAt(Window(), {45, 45}), Cursor::HandPoint);
    EXPECT_EQ(backend.CursorAt(Window(), {20, 20}), Cursor::Arrow);
    backend.MouseDown(Window(), MouseButton::Left, {45, 45});
    EXPECT_EQ(backend.CursorAt(Window(), {150, 5}), Cursor::HandPoint);
    backend.MouseUp(Window(), MouseButton::Left, {45, 45});
}

TEST_F(Routing, KeysGoToTheFocusedWindowAfterTheFormsPreview) {
    std::vector<std::string> keys;
    auto* panel = new Panel(&form);
    panel->SetBounds(100, 0, 100, 100);
    panel->SetParent(&form);
    ASSERT_TRUE(panel->HasHandle());
    panel->OnEnter.Set([&](Component*) { keys.push_back("enter"); });
    panel->OnExit.Set([&](Component*) { keys.push_back("exit"); });
    panel->OnKeyDown.Set([&](Component*, Key& k, ShiftState s) {
        keys.push_back("down " + std::to_string(k) + " " + std::to_string(s));
    });
    panel->OnKeyPress.Set([&](Component*, char& c) { keys.push_back(std::string("press ") + c); });
    panel->OnKeyUp.Set([&](Component*, Key& k, ShiftState) { keys.push_back("up " + std::to_string(k)); });
    panel->SetFocus();
    EXPECT_TRUE(panel->Focused());
    backend.SetKeyboardState(ssShift);
    backend.KeyDown('A');
    backend.KeyPress('A');
    backend.KeyUp('A');

    form.SetKeyPreview(true);
    form.OnKeyDown.Set([&](Component*, Key& k, ShiftState) {
        if (k == vkEscape) k = 0;  // consumed by the form
    });
    backend.KeyDown(vkEscape);
    backend.KeyDown(vkTab);
    form.SetFocus();
    EXPECT_EQ(keys, (std::vector<std::string>{"enter", "down 65 1", "press A", "up 65", "down 9 1", "exit"}));

    // A press inside the panel's own window goes to the panel, in its coordinates.
    bool pressed = false;
    panel->OnMouseDown.Set([&](Component*, MouseButton, ShiftState, int x, int y) { pressed = x == 5 && y == 7; });
    backend.MouseDown(Window(), MouseButton::Left, {105, 7});
    backend.MouseUp(Window(), MouseButton::Left, {105, 7});
    EXPECT_TRUE(pressed);
}

TEST_F(Routing, HandlerExceptionIsReportedNotPassedToTheSystem) {
    a->OnMouseDown.Set([](Component*, MouseButton, ShiftState, int, int) {
        throw std::runtime_error("Invalid data type for 'Manual'");
    });
    EXPECT_NO_THROW(backend.MouseDown(Window(), MouseButton::Left, {20, 20}));
    backend.MouseUp(Window(), MouseButton::Left, {20, 20});
    ASSERT_EQ(backend.messageBoxes.size(), 1u);
    EXPECT_EQ(backend.messageBoxes[0].text, "Invalid data type for 'Manual'");
    EXPECT_EQ(log.back(), "A up 10,10") << "the window carries on";
}

}  // namespace
}  // namespace platform
