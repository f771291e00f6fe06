// The dial on a headless form: pointer angle, setters and their refusals,
// linear and circular gestures through real mouse input and the advanceable
// clock, the pointer's frame cross-fade, and a stored form round trip.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <utility>

#include "platform/FormReader.h"
#include "tests/toolkit/DIBControlScene.h"
#include "tests/toolkit/DIBTestSupport.h"
#include "toolkit/cDIBDial.h"
#include "toolkit/cDIBImageList.h"

namespace toolkit::test {
namespace {

using platform::MouseButton;
using platform::Point;

constexpr uint32_t kGrey = BGRA(0x80, 0x80, 0x80, 0xFF);
constexpr uint32_t kRed = BGRA(0, 0, 0xFF, 0xFF);
constexpr uint32_t kBlue = BGRA(0xFF, 0, 0, 0xFF);
constexpr uint32_t kGreen = BGRA(0, 0xFF, 0, 0xFF);
constexpr uint32_t kWhite = BGRA(0xFF, 0xFF, 0xFF, 0xFF);

uint32_t Rgb(uint32_t p) { return p & 0xFFFFFFu; }

// A 40 x 40 dial at (10, 10) whose list holds a grey 40 x 40 body (0) and a
// pointer strip (1) of 2 x 2 frames: red, blue, green, white.
class DialScene : public ::testing::Test {
protected:
    DialScene() {
        list = new TDIBImageList(&s.form);
        list->SetName("ImageList1");
        TMemoryDIB& body = list->DIBImages().Add().DIB();
        body.SetSize(40, 40);
        FillAll(body, kGrey);
        TMemoryDIB& strip = list->DIBImages().Add().DIB();
        strip.SetSize(8, 2);
        const uint32_t frames[] = {kRed, kBlue, kGreen, kWhite};
        for (int k = 0; k < 4; ++k)
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 2; ++x) strip.SetPixel(k * 2 + x, y, frames[k]);
        dial = new TDIBDial(&s.form);
        dial->SetName("Dial1");
        dial->SetLeft(10);
        dial->SetTop(10);
        dial->SetDIBImageList(list);
        dial->IndexMain().SetDIBIndex(0);
        dial->IndexPointer().SetDIBIndex(1);
        dial->SetPointerRadius(15);
        dial->OnChange.Set([this](platform::Component* sender) {
            EXPECT_EQ(sender, dial);
            changes.push_back(dial->Position());
        });
        dial->OnMouseDown.Set(
            [this](platform::Component*, MouseButton b, platform::ShiftState, int, int) { downs.push_back(b); });
    }
    // Form coordinates.
    void Down(int x, int y, MouseButton b = MouseButton::Left) { s.backend.MouseDown(s.Window(), b, {x, y}); }
    void Move(int x, int y) { s.backend.MouseMove(s.Window(), {x, y}); }
    void Up(int x, int y, MouseButton b = MouseButton::Left) { s.backend.MouseUp(s.Window(), b, {x, y}); }
    void Linear(TDIBDialMouseLinearSensitivity sensitivity) {
        dial->SetMouseControlStyle(mcsLinear);
        dial->SetMouseLinearSensitivity(sensitivity);
    }

    Scene s;
    TDIBImageList* list;
    TDIBDial* dial;
    std::vector<int> changes;
    std::vector<MouseButton> downs;
};

TEST_F(DialScene, ConstructionDefaultsAndAutoSize) {
    EXPECT_EQ(dial->Width(), 40);
    EXPECT_EQ(dial->Height(), 40);
    EXPECT_TRUE(dial->AutoRepeat());
    EXPECT_EQ(dial->RepeatPeriod(), 50u);
    EXPECT_EQ(dial->Max(), 100);
    EXPECT_EQ(dial->MouseLinearSensitivity(), mlsBoth);
    EXPECT_EQ(dial->PointerAngles().Range(), 360);
    // The pointer strip (8 wide) raises the size to radius + 8 div 2 once
    // that exceeds the body.
    dial->SetPointerRadius(50);
    dial->IndexPointer().SetDIBIndex(1);  // unchanged index: no re-size yet
    EXPECT_EQ(dial->Width(), 40);
    dial->IndexPointer().SetDIBIndex(-1);
    dial->IndexPointer().SetDIBIndex(1);
    EXPECT_EQ(dial->Width(), 54);
    EXPECT_EQ(dial->Height(), 54);
    // Without a body image the size is left alone.
    dial->IndexMain().SetDIBIndex(5);
    EXPECT_EQ(dial->Width(), 54);
}

TEST_F(DialScene, PointerAngleFollowsPositionAndMayRoundTo360) {
    dial->PointerAngles().SetStart(210);
    dial->PointerAngles().SetRange(300);
    for (auto [pos, angle] : {std::pair{0, 210}, {50, 0}, {100, 150}, {25, 285}}) {
        dial->SetPosition(pos);
        EXPECT_EQ(dial->PointerAngle(), angle) << pos;
    }
    dial->PointerAngles().SetStart(0);
    dial->PointerAngles().SetRange(360);
    dial->SetMax(1000);
    dial->SetPosition(999);  // 359.64 degrees
    EXPECT_EQ(dial->PointerAngle(), 360);
    EXPECT_EQ(Rgb(s.Screen(30, 30)), Rgb(kGrey));  // still paints
}

TEST_F(DialScene, EveryAssignmentFiresAndMinMaxPullPosition) {
    dial->SetPosition(40);
    dial->SetPosition(40);
    dial->SetPosition(500);  // clamped
    dial->SetMax(30);        // below Position: moves and fires
    dial->SetMin(-10);       // Position inside: no assignment
    dial->SetMin(20);
    dial->SetPosition(-7);
    EXPECT_EQ(changes, (std::vector<int>{40, 40, 100, 30, 20}));
    EXPECT_EQ(dial->Position(), 20);
    changes.clear();
    dial->SetMin(25);
    EXPECT_EQ(changes, (std::vector<int>{25}));
}

// Each refusal names the rule and leaves the old value.
TEST_F(DialScene, RefusedValuesRaiseTheirMessageAndChangeNothing) {
    auto refused = [](auto&& set, const std::string& message) {
        try {
            set();
            ADD_FAILURE() << "accepted: " << message;
        } catch (const EDIBDialError& e) {
            EXPECT_EQ(e.what(), message);
        }
    };
    dial->SetMin(10);
    dial->SetMax(90);
    dial->SetPosition(50);
    dial->PointerAngles().SetRange(300);
    dial->PointerAngles().SetResolution(12.5);
    changes.clear();
    refused([&] { dial->SetMin(90); }, "Min must be less than max");
    refused([&] { dial->SetMax(10); }, "Max must be greater than min");
    refused([&] { dial->SetSmallChange(-1); }, "SmallChange cannot be less than 0");
    refused([&] { dial->SetPageSize(-1); }, "PageSize cannot be less than 0");
    refused([&] { dial->SetPointerNumGlyphs(0); }, "PointerNumGlyphs must be at least 1");
    refused([&] { dial->SetHorizontalPixelsPerPosition(0); }, "HorizontalPixelsPerPosition must be greater than zero");
    refused([&] { dial->SetVerticalPixelsPerPosition(-1); }, "VerticalPixelsPerPosition must be greater than zero");
    refused([&] { dial->SetVerticalPixelsPerPosition(NAN); }, "VerticalPixelsPerPosition must be greater than zero");
    refused([&] { dial->PointerAngles().SetStart(360); }, "Start must be 0..359");
    refused([&] { dial->PointerAngles().SetStart(-1); }, "Start must be 0..359");
    refused([&] { dial->PointerAngles().SetRange(0); }, "Range must be 1..360");
    refused([&] { dial->PointerAngles().SetRange(361); }, "Range must be 1..360");
    refused([&] { dial->PointerAngles().SetResolution(301); }, "Resolution must be above 0 and less than 301");
    refused([&] { dial->PointerAngles().SetResolution(-0.5); }, "Resolution must be above 0 and less than 301");
    EXPECT_EQ(dial->Min(), 10);
    EXPECT_EQ(dial->Max(), 90);
    EXPECT_EQ(dial->Position(), 50);
    EXPECT_EQ(dial->SmallChange(), 1);
    EXPECT_EQ(dial->PageSize(), 1);
    EXPECT_EQ(dial->PointerNumGlyphs(), 1);
    EXPECT_EQ(dial->HorizontalPixelsPerPosition(), 1);
    EXPECT_EQ(dial->VerticalPixelsPerPosition(), 1);
    EXPECT_EQ(dial->PointerAngles().Start(), 0);
    EXPECT_EQ(dial->PointerAngles().Range(), 300);
    EXPECT_EQ(dial->PointerAngles().Resolution(), 12.5);
    EXPECT_TRUE(changes.empty());
    // Range raises a lower Resolution to itself and leaves a higher one.
    dial->PointerAngles().SetRange(10);
    EXPECT_EQ(dial->PointerAngles().Resolution(), 12.5);
    dial->PointerAngles().SetRange(200);
    EXPECT_EQ(dial->PointerAngles().Resolution(), 200);
}

TEST_F(DialScene, WhileLoadingOnlyRangeAndStepsAcceptAnything) {
    dial->SetLoading(true);
    dial->SetMax(-5);  // below Min
    dial->SetMin(7);
    dial->SetPosition(1000);
    dial->SetSmallChange(-3);
    dial->SetPageSize(-4);
    EXPECT_THROW(dial->SetPointerNumGlyphs(0), EDIBDialError);
    EXPECT_THROW(dial->SetHorizontalPixelsPerPosition(0), EDIBDialError);
    EXPECT_THROW(dial->SetVerticalPixelsPerPosition(0), EDIBDialError);
    EXPECT_THROW(dial->PointerAngles().SetStart(400), EDIBDialError);
    EXPECT_THROW(dial->PointerAngles().SetRange(0), EDIBDialError);
    EXPECT_THROW(dial->PointerAngles().SetResolution(361), EDIBDialError);
    EXPECT_TRUE(changes.empty());
    dial->Loaded();
    EXPECT_EQ(dial->Min(), 7);
    EXPECT_EQ(dial->Max(), -5);
    EXPECT_EQ(dial->Position(), 7);  // Min wins when Max is below it
    EXPECT_EQ(dial->SmallChange(), -3);
    // Max <= Min draws and points without failing.
    EXPECT_EQ(dial->PointerAngle(), 0);
    EXPECT_EQ(dial->PointedPositionAt(3, 3), 7);
    EXPECT_EQ(Rgb(s.Screen(30, 30)), Rgb(kGrey));
    Down(30, 30);
    Move(35, 20);
    Up(35, 20);
}

TEST_F(DialScene, LinearDragMeasuresFromTheAnchor) {
    Linear(mlsVertical);
    dial->SetPosition(50);
    changes.clear();
    Down(30, 40);
    EXPECT_TRUE(changes.empty()) << "a press alone assigns nothing";
    EXPECT_TRUE(dial->Dragging());
    Move(31, 40);  // sideways only: still an assignment
    Move(30, 3);   // 37 up
    Move(30, 0);   // 40 up: clamped at Max
    Move(30, 40);  // back at the press point
    Move(30, 90);  // far below: clamped at Min, not accumulated
    Move(30, 41);
    Up(30, 41);
    EXPECT_FALSE(dial->Dragging());
    Move(30, 20);  // no drag: nothing
    EXPECT_EQ(changes, (std::vector<int>{50, 87, 90, 50, 0, 49}));
}

TEST_F(DialScene, FractionalPixelsPerPositionTruncateTowardZero) {
    Linear(mlsBoth);
    dial->SetVerticalPixelsPerPosition(2.0);
    dial->SetHorizontalPixelsPerPosition(4.0);
    dial->SetPosition(50);
    changes.clear();
    Down(30, 30);
    Move(30, 27);  // +1.5 -> +1
    Move(30, 33);  // -1.5 -> -1
    Move(33, 33);  // -1.5 + 0.75 -> 0
    Move(39, 27);  // +1.5 + 2.25 -> +3
    Up(39, 27);
    EXPECT_EQ(changes, (std::vector<int>{51, 49, 50, 53}));
    // Horizontal only ignores vertical travel.
    Linear(mlsHorizontal);
    changes.clear();
    Down(30, 30);
    Move(30, 0);
    Move(22, 0);
    Up(22, 0);
    EXPECT_EQ(changes, (std::vector<int>{53, 51}));
}

TEST_F(DialScene, RightAndMiddlePressesOnlyFireOnMouseDown) {
    Linear(mlsBoth);
    Down(30, 30, MouseButton::Right);
    Move(45, 15);
    Up(45, 15, MouseButton::Right);
    Down(30, 30, MouseButton::Middle);
    Up(30, 30, MouseButton::Middle);
    s.backend.AdvanceClock(200);
    EXPECT_EQ(downs, (std::vector<MouseButton>{MouseButton::Right, MouseButton::Middle}));
    EXPECT_TRUE(changes.empty());
    EXPECT_FALSE(dial->Dragging());
}

// Min 0, Max 100, Start 0, Range 360: the press at (12, 10) of the dial
// points at 321 degrees, position 90, far from the pointer at 0.
// Min 0, Max 100, Start 0, Range 360: the press at (12, 10) of the dial
// points at 321 degrees, position 90, far from the pointer at 0. Page steps
// while more than a quarter of the range away, then small steps.
TEST_F(DialScene, CircularStepsRepeatEvery50msUntilTheyReachThePointedPosition) {
    dial->SetPageSize(10);
    dial->SetSmallChange(3);
    EXPECT_EQ(dial->PointedPositionAt(12, 10), 90);
    Down(22, 20);
    EXPECT_EQ(changes, (std::vector<int>{10}));
    s.backend.AdvanceClock(49);
    EXPECT_EQ(changes.size(), 1u);
    s.backend.AdvanceClock(1);
    EXPECT_EQ(dial->Position(), 20);
    s.backend.AdvanceClock(12 * 50);
    EXPECT_EQ(changes, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 73, 76, 79, 82, 85, 88, 90}));
    // At the pointed position the press is a small step that stays there.
    s.backend.AdvanceClock(50);
    EXPECT_EQ(changes.back(), 90);
    EXPECT_EQ(downs.size(), 15u) << "each repeated press fires OnMouseDown";
    Up(22, 20);
    s.backend.AdvanceClock(500);
    EXPECT_EQ(changes.size(), 15u);
    // Downward: 50 at (20, 30) of the dial (straight below), from 60.
    dial->SetPosition(60);
    changes.clear();
    EXPECT_EQ(dial->PointedPositionAt(20, 30), 50);
    Down(30, 40);
    s.backend.AdvanceClock(200);
    Up(30, 40);
    EXPECT_EQ(changes, (std::vector<int>{57, 54, 51, 50, 50}));
}

TEST_F(DialScene, CircularPressOnThePointerDragsAndTheRepeatStops) {
    dial->SetPosition(25);  // 90 degrees: the 8 x 2 strip centred on (35, 20)
    const platform::Rect r = dial->PointerRect();
    EXPECT_EQ(r, (platform::Rect{31, 19, 38, 20}));
    changes.clear();
    Down(10 + 34, 10 + 19);
    EXPECT_TRUE(dial->Dragging());
    s.backend.AdvanceClock(500);
    EXPECT_EQ(downs.size(), 1u);
    EXPECT_TRUE(changes.empty());
    Move(10 + 20, 10 + 35);  // straight below: 180 degrees
    EXPECT_EQ(changes, (std::vector<int>{50}));
    Up(10 + 20, 10 + 35);
    // The bottom-right corner of the rectangle is outside the hit zone.
    Down(10 + 38, 10 + 20);
    EXPECT_FALSE(dial->Dragging());
    Up(10 + 38, 10 + 20);
}

TEST_F(DialScene, ADragOutsideTheControlGoesOnAndEndsAtTheRelease) {
    ProbeControl* other = s.Probe("other", 70, 10, 20, 20);
    std::vector<std::string>& log = s.log;
    dial->OnMouseEnter.Set([&](platform::Component*) { log.push_back("dial enter"); });
    dial->OnMouseLeave.Set([&](platform::Component*) { log.push_back("dial leave"); });
    Linear(mlsHorizontal);
    dial->SetPosition(10);
    Move(30, 30);
    Down(30, 30);
    Move(75, 30);  // over the other control, still captured by the dial
    s.backend.AdvanceClock(300);
    Move(40, 30);  // back inside after the repeat stopped
    s.backend.AdvanceClock(300);
    Move(80, 20);
    EXPECT_TRUE(dial->Dragging());
    Up(80, 20);
    EXPECT_FALSE(dial->Dragging());
    Move(85, 20);
    EXPECT_EQ(changes, (std::vector<int>{10, 55, 20, 60}));
    EXPECT_EQ(downs.size(), 1u) << "no press repeated into the drag";
    // Coming back at (40, 30) is a second enter; the leave waits for the release.
    EXPECT_EQ(log, (std::vector<std::string>{"dial enter", "dial enter", "dial leave", "other enter"}));
    // Out of the window altogether: the drag follows and the release ends it.
    Down(30, 30);
    Move(500, 30);
    Up(500, 30);
    Move(40, 30);
    EXPECT_FALSE(dial->Dragging());
    EXPECT_EQ(changes.back(), 100);
    (void)other;
}

// The window swallows the release of a control hidden mid-press; the drag
// and the step repeats must end with the press, not linger into hovering.
TEST_F(DialScene, HidingOrDisablingTheDialEndsItsDragAndItsRepeats) {
    Linear(mlsVertical);
    dial->SetPosition(50);
    changes.clear();
    Down(30, 30);
    Move(30, 20);
    dial->SetVisible(false);
    EXPECT_FALSE(dial->Dragging());
    Up(30, 20);
    dial->SetVisible(true);
    Move(30, 10);  // hovering, no button
    Move(31, 5);
    EXPECT_EQ(changes, (std::vector<int>{60}));
    Down(30, 30);
    dial->SetEnabled(false);
    EXPECT_FALSE(dial->Dragging());
    Move(30, 0);
    Up(30, 0);
    dial->SetEnabled(true);
    // A circular step press that repeats stops when the dial is hidden.
    dial->SetMouseControlStyle(mcsCircular);
    changes.clear();
    Down(22, 20);  // points at 90
    dial->SetVisible(false);
    s.backend.AdvanceClock(500);
    Up(22, 20);
    EXPECT_EQ(changes, (std::vector<int>{61}));
}

// The automatic radius keeps an unrotated glyph inside the control at every
// angle; any radius, glyph count and rotation draws without failing (the
// sanitizer builds check the reads) and the hit zone is the drawn box.
TEST_F(DialScene, EveryRadiusAngleAndGlyphCountDrawsAndTheAutomaticRadiusStaysInside) {
    dial->SetMax(360);
    for (int radius : {-1, 0, 1, 20, 1000, INT_MAX})
        for (int glyphs : {1, 3, 4, 8, 9, 1000})
            for (bool rotate : {false, true}) {
                dial->SetPointerRadius(radius);
                dial->SetPointerNumGlyphs(glyphs);
                dial->SetPointerRotate(rotate);
                for (int position = 0; position <= 360; position += 9) {
                    dial->SetPosition(position);
                    const platform::Rect r = dial->PointerRect();
                    const int glyphWidth = 8 / glyphs;
                    if (radius <= 0 && !rotate && glyphWidth > 0) {
                        EXPECT_GE(r.left, 0) << glyphs << " " << position;
                        EXPECT_GE(r.top, 0);
                        EXPECT_LT(r.right, dial->Width());
                        EXPECT_LT(r.bottom, dial->Height());
                    }
                    s.Screen(0, 0);
                }
            }
    // A press on the drawn glyph is a drag, at the automatic radius too.
    dial->SetPointerRadius(0);
    dial->SetPointerNumGlyphs(4);
    dial->SetPointerRotate(false);
    dial->SetPosition(300);
    const platform::Rect r = dial->PointerRect();
    EXPECT_NE(Rgb(s.Screen(10 + r.left, 10 + r.top)), Rgb(kGrey));
    Down(10 + r.left, 10 + r.top);
    EXPECT_TRUE(dial->Dragging());
    Up(10 + r.left, 10 + r.top);
}

// Start 0, Range 360, Min 0, Max 360: the angle equals the position. Four
// 2 x 2 frames over 0..359; the lower frame is drawn over the upper one
// with opacity 255 - Round(frac * 255).
TEST_F(DialScene, PointerFramesCrossFadeWithWrapAround) {
    dial->SetMax(360);
    dial->SetPointerNumGlyphs(4);
    // 45 degrees: f = 0.5014, upper 1 (blue), lower 0 (red) at opacity 127;
    // centre Ceil(20 + 15 cos -45), Ceil(20 + 15 sin -45) = (31, 10).
    dial->SetPosition(45);
    const platform::Rect r = dial->PointerRect();
    EXPECT_EQ(r, (platform::Rect{30, 9, 31, 10}));
    uint32_t p = s.Screen(10 + r.left, 10 + r.top);
    EXPECT_EQ(R(p), (127 * 255 + 255) >> 8);
    EXPECT_EQ(B(p), (128 * 255 + 255) >> 8);
    EXPECT_EQ(G(p), 0);
    EXPECT_EQ(s.Screen(10 + r.right, 10 + r.bottom), p);
    EXPECT_EQ(Rgb(s.Screen(10 + r.right + 1, 10 + r.bottom)), Rgb(kGrey));
    // 350 degrees: f = 3.8997, upper 4 wraps to 0 (red), lower 3 (white)
    // at opacity 255 - 229 = 26.
    dial->SetPosition(350);
    const platform::Rect r2 = dial->PointerRect();
    p = s.Screen(10 + r2.left, 10 + r2.top);
    EXPECT_EQ(R(p), 255);
    EXPECT_EQ(G(p), (26 * 255 + 255) >> 8);
    EXPECT_EQ(B(p), (26 * 255 + 255) >> 8);
    // 0 degrees: frame 0 alone; 90 degrees: exactly frame 1.
    dial->SetPosition(0);
    EXPECT_EQ(Rgb(s.Screen(10 + dial->PointerRect().left, 10 + dial->PointerRect().top)), Rgb(kRed));
    dial->SetMax(359);
    dial->SetPosition(359);  // f = 4: wraps to frame 0
    EXPECT_EQ(Rgb(s.Screen(10 + dial->PointerRect().left, 10 + dial->PointerRect().top)), Rgb(kRed));
    // One glyph: every value shows the whole strip's first frame width...
    dial->SetPointerNumGlyphs(1);
    dial->SetPosition(120);
    EXPECT_EQ(dial->PointerRect().right - dial->PointerRect().left + 1, 8);
}

TEST_F(DialScene, PointerOpacityFollowsTheDragOnTheViewNotTheStoredImage) {
    dial->PointerOpacities().SetActive(0);
    dial->PointerOpacities().SetNormal(255);
    dial->SetPosition(25);
    const platform::Rect r = dial->PointerRect();
    EXPECT_EQ(Rgb(s.Screen(10 + r.left, 10 + r.top)), Rgb(kRed));
    Down(10 + r.left, 10 + r.top);
    ASSERT_TRUE(dial->Dragging());
    EXPECT_EQ(Rgb(s.Screen(10 + r.left, 10 + r.top)), Rgb(kGrey)) << "Active opacity 0 hides the pointer";
    EXPECT_EQ(list->DIBImages().Items(1).DIB().Opacity(), 255);
    Up(10 + r.left, 10 + r.top);
    EXPECT_EQ(Rgb(s.Screen(10 + r.left, 10 + r.top)), Rgb(kRed));
    // Whole-object assignment copies and repaints.
    TDIBDialPointerOpacities half(nullptr);
    half.SetNormal(0);
    dial->SetPointerOpacities(half);
    EXPECT_EQ(dial->PointerOpacities().Normal(), 0);
    EXPECT_EQ(Rgb(s.Screen(10 + r.left, 10 + r.top)), Rgb(kGrey));
}

TEST_F(DialScene, WheelNotchesStepPositionAndPartialDeltasAccumulate) {
    ProbeControl* other = s.Probe("other", 70, 10, 20, 20);
    dial->SetPosition(50);
    changes.clear();
    auto wheel = [&](int x, int y, int delta) { s.backend.MouseWheel(s.Window(), {x, y}, delta); };
    wheel(30, 30, 120);
    wheel(30, 30, -240);
    wheel(30, 30, 40);  // a high-resolution wheel: three thirds make a notch
    wheel(30, 30, 40);
    EXPECT_EQ(changes, (std::vector<int>{51, 50, 49}));
    wheel(30, 30, 40);
    wheel(30, 30, 60);
    wheel(30, 30, -60);  // a turn back drops the half notch gathered before
    wheel(30, 30, -60);
    wheel(80, 20, 120);  // over another control
    wheel(5, 5, 120);    // over the container
    dial->SetWheelStep(5);
    wheel(30, 30, 120);
    EXPECT_EQ(changes, (std::vector<int>{51, 50, 49, 50, 49, 54}));
    // A handler that takes the notch leaves Position alone.
    std::vector<int> notches;
    dial->OnMouseWheel.Set([&](platform::Component*, int n, platform::ShiftState, bool& handled) {
        notches.push_back(n);
        handled = n < 0;
    });
    wheel(30, 30, -240);
    wheel(30, 30, 120);
    EXPECT_EQ(notches, (std::vector<int>{-1, -1, 1}));
    EXPECT_EQ(changes.back(), 59);
    dial->SetEnabled(false);
    wheel(30, 30, 120);
    EXPECT_EQ(changes.back(), 59);
    EXPECT_EQ(notches.size(), 3u);
    (void)other;
}

// The dial's properties after a form text was read back.
void ExpectConfigured(platform::Form& form, std::vector<int>& changes, long double resolution) {
    auto* dial = form.Find<TDIBDial>("Knob");
    ASSERT_NE(dial, nullptr);
    EXPECT_EQ(dial->Parent(), form.Find<TDIBContainer>("Container1"));
    EXPECT_EQ(dial->DIBImageList(), form.Find<TDIBImageList>("ImageList1"));
    EXPECT_EQ(dial->BoundsRect(), (platform::Rect{5, 6, 54, 55}));
    EXPECT_EQ(dial->Min(), -20);
    EXPECT_EQ(dial->Max(), 220);
    EXPECT_EQ(dial->Position(), 175);
    EXPECT_EQ(dial->PointerAngles().Start(), 210);
    EXPECT_EQ(dial->PointerAngles().Range(), 300);
    EXPECT_EQ(dial->PointerAngles().Resolution(), resolution);
    EXPECT_EQ(dial->PointerOpacities().Active(), 200);
    EXPECT_EQ(dial->PointerOpacities().Normal(), 100);
    EXPECT_EQ(dial->MouseControlStyle(), mcsLinear);
    EXPECT_EQ(dial->MouseLinearSensitivity(), mlsVertical);
    EXPECT_EQ(dial->HorizontalPixelsPerPosition(), 0.5);
    EXPECT_EQ(dial->VerticalPixelsPerPosition(), 1.25);
    EXPECT_EQ(dial->PointerRadius(), 20);
    EXPECT_EQ(dial->PointerNumGlyphs(), 3);
    EXPECT_TRUE(dial->PointerRotate());
    EXPECT_EQ(dial->SmallChange(), 4);
    EXPECT_EQ(dial->PageSize(), 12);
    EXPECT_FALSE(dial->AutoSize());
    EXPECT_EQ(dial->WheelStep(), 2);
    EXPECT_EQ(dial->IndexMain().DIBIndex(), 1);
    EXPECT_EQ(dial->IndexPointer().DIBIndex(), 0);
    EXPECT_EQ(dial->Tag(), 7);
    EXPECT_EQ(dial->Opacity(), 190);
    EXPECT_TRUE(changes.empty()) << "loading fires no OnChange";
    dial->SetPosition(3);
    EXPECT_EQ(changes, (std::vector<int>{3}));
}

TEST(DIBDialForm, AFullyConfiguredDialWritesAndReadsBackInAnyPropertyOrder) {
    TDIBImageList::RegisterClass();
    TDIBContainer::RegisterClasses();
    std::string text;
    {
        Scene s;
        s.form.SetName("KnobWindow");
        s.container->SetName("Container1");
        auto* list = new TDIBImageList(&s.form);
        list->SetName("ImageList1");
        auto* dial = new TDIBDial(&s.form);
        dial->SetName("Knob");
        dial->SetDIBImageList(list);
        dial->SetAutoSize(false);
        dial->SetBounds(5, 6, 49, 49);
        dial->SetMin(-20);
        dial->SetMax(220);
        dial->SetPosition(175);
        dial->PointerAngles().SetStart(210);
        dial->PointerAngles().SetRange(300);
        dial->PointerAngles().SetResolution(2.5);
        dial->PointerOpacities().SetActive(200);
        dial->PointerOpacities().SetNormal(100);
        dial->SetMouseControlStyle(mcsLinear);
        dial->SetMouseLinearSensitivity(mlsVertical);
        dial->SetHorizontalPixelsPerPosition(0.5);
        dial->SetVerticalPixelsPerPosition(1.25);
        dial->SetPointerRadius(20);
        dial->SetPointerNumGlyphs(3);
        dial->SetPointerRotate(true);
        dial->SetSmallChange(4);
        dial->SetPageSize(12);
        dial->SetWheelStep(2);
        dial->IndexMain().SetDIBIndex(1);
        dial->IndexPointer().SetDIBIndex(0);
        dial->SetTag(7);
        dial->SetOpacity(190);
        dial->OnChange.name = "KnobChange";
        dial->OnChange.handler = [](platform::Component*) {};
        text = platform::WriteForm(s.form);
    }
    for (const char* line : {"object Knob: TDIBDial",
                             "Min = -20",
                             "Max = 220",
                             "Position = 175",
                             "PointerAngles.Start = 210",
                             "PointerAngles.Range = 300",
                             "PointerAngles.Resolution = 2.5",
                             "PointerOpacities.Active = 200",
                             "PointerOpacities.Normal = 100",
                             "MouseControlStyle = mcsLinear",
                             "MouseLinearSensitivity = mlsVertical",
                             "HorizontalPixelsPerPosition = 0.5",
                             "VerticalPixelsPerPosition = 1.25",
                             "PointerRadius = 20",
                             "PointerNumGlyphs = 3",
                             "PointerRotate = True",
                             "SmallChange = 4",
                             "PageSize = 12",
                             "AutoSize = False",
                             "IndexMain.DIBIndex = 1",
                             "IndexPointer.DIBIndex = 0",
                             "Tag = 7",
                             "Opacity = 190",
                             "OnChange = KnobChange"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;

    // The dial's property lines reversed: Position before Max, Resolution
    // before Range, and so on.
    std::string reversed = text;
    {
        const size_t begin = reversed.find('\n', reversed.find("object Knob: TDIBDial")) + 1;
        const size_t end = reversed.rfind('\n', reversed.find("end\n", begin)) + 1;
        std::vector<std::string> lines;
        for (size_t at = begin; at < end;) {
            const size_t nl = reversed.find('\n', at);
            lines.push_back(reversed.substr(at, nl + 1 - at));
            at = nl + 1;
        }
        std::string body;
        for (auto it = lines.rbegin(); it != lines.rend(); ++it) body += *it;
        reversed.replace(begin, end - begin, body);
    }
    ASSERT_NE(reversed, text);
    // Everything reads back in either order except Resolution: read before
    // Range, it is raised to the Range that follows.
    for (const auto& [description, resolution] :
         {std::pair<const std::string&, long double>{text, 2.5L}, {reversed, 300.0L}}) {
        std::vector<int> changes;
        Scene s;
        delete s.container;
        s.form.RegisterMethod<void(platform::Component*)>("KnobChange", [&](platform::Component* sender) {
            changes.push_back(static_cast<TDIBDial*>(sender)->Position());
        });
        s.form.Load(description);
        ExpectConfigured(s.form, changes, resolution);
    }
}

}  // namespace
}  // namespace toolkit::test
