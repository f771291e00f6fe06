// The three click areas of the built module's editor, driven through its
// test port on the headless backend: what each click asks of the system,
// the cursor over and around the areas, and the manual setting in every
// shape the installer (or a user) may leave it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/EditorActions.h"
#include "editor/EditorTestPort.h"
#include "tests/plugin/ModuleFixture.h"
#include "vst/VstInterface.h"

namespace trv4test {
namespace {

struct Area {
    const char* name;
    int left, top, width, height;
    int cx() const { return left + width / 2; }
    int cy() const { return top + height / 2; }
};
constexpr Area kLogo{"Logo", 12, 6, 105, 48};
constexpr Area kManual{"UsersManual", 642, 10, 40, 40};
constexpr Area kAbout{"About", 692, 10, 40, 40};

class EditorClicks : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        effect = &makeEffect();
        port.size = sizeof port;
        ASSERT_EQ(effect->dispatch(vst::effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue, &port), 1);
        ASSERT_EQ(effect->dispatch(vst::effEditOpen, 0, 0, nullptr), 1);
        effect->dispatch(vst::effEditIdle);
    }
    void TearDown() override {
        if (effect) effect->dispatch(vst::effEditClose);
    }

    void click(int x, int y) {
        ASSERT_EQ(port.mouseDown(port.context, trv4::kPortLeft, x, y), 1);
        ASSERT_EQ(port.mouseUp(port.context, trv4::kPortLeft, x, y), 1);
        effect->dispatch(vst::effEditIdle);
    }
    void setManual(const char* text) { port.setSetting(port.context, trv4::kManualKey, trv4::kManualValue, text); }

    struct Shell {
        std::string verb, file;
    };
    std::vector<Shell> shellCalls() {
        std::vector<Shell> calls;
        std::vector<char> verb(64), file(4096);
        for (int i = 0; port.shellCall(port.context, i, verb.data(), 64, file.data(), 4096); ++i)
            calls.push_back({verb.data(), file.data()});
        return calls;
    }
    std::vector<std::string> messageTexts() {
        std::vector<std::string> texts;
        std::vector<char> caption(64), text(1024);
        for (int i = 0; port.messageBox(port.context, i, caption.data(), 64, text.data(), 1024); ++i)
            texts.push_back(std::string(caption.data()) + "|" + text.data());
        return texts;
    }

    trv4host::Effect* effect = nullptr;
    trv4::EditorTestPort port{};
};

TEST_F(EditorClicks, EachAreaMakesExactlyItsShellCallOrMessageBox) {
    setManual("/usr/local/lib/vst/TRV-4-manual.html");
    click(kLogo.cx(), kLogo.cy());
    ASSERT_EQ(shellCalls().size(), 1u);
    EXPECT_EQ(shellCalls()[0].verb, "");
    EXPECT_EQ(shellCalls()[0].file, "https://tolvmark.example/trv-4");

    click(kManual.cx(), kManual.cy());
    ASSERT_EQ(shellCalls().size(), 2u);
    EXPECT_EQ(shellCalls()[1].verb, "open");
    EXPECT_EQ(shellCalls()[1].file, "/usr/local/lib/vst/TRV-4-manual.html");
    EXPECT_TRUE(messageTexts().empty());

    click(kAbout.cx(), kAbout.cy());
    EXPECT_EQ(shellCalls().size(), 2u);
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{
                  "Information|TRV-4  by Tolvmark Audio, https://tolvmark.example/trv-4\r\rVersion: 1.21"});

    // Corners of each area count; a pixel beside them is the chassis.
    for (const Area& a : {kLogo, kManual, kAbout}) {
        SCOPED_TRACE(a.name);
        trv4::EditorControlInfo info{};
        ASSERT_EQ(port.controlInfo(port.context, a.name, &info), 1);
        EXPECT_EQ((std::vector<int>{info.left, info.top, info.width, info.height}),
                  (std::vector<int>{a.left, a.top, a.width, a.height}));
    }
    const size_t shells = shellCalls().size(), boxes = messageTexts().size();
    click(kLogo.left - 1, kLogo.cy());
    click(kLogo.left + kLogo.width, kLogo.cy());
    click(kManual.cx(), kManual.top + kManual.height);
    click(kAbout.left + kAbout.width, kAbout.cy());
    EXPECT_EQ(shellCalls().size(), shells);
    EXPECT_EQ(messageTexts().size(), boxes);
    click(kLogo.left, kLogo.top);
    click(kAbout.left + kAbout.width - 1, kAbout.top + kAbout.height - 1);
    EXPECT_EQ(shellCalls().size(), shells + 1);
    EXPECT_EQ(messageTexts().size(), boxes + 1);
}

// The ordinary pointer: a control's default cursor or the arrow.
bool Ordinary(int cursor) { return cursor == trv4::kPortCursorDefault || cursor == trv4::kPortCursorArrow; }

TEST_F(EditorClicks, HandPointOverTheThreeAreasOnlyAndTheDefaultElsewhere) {
    for (const Area& a : {kLogo, kManual, kAbout}) {
        SCOPED_TRACE(a.name);
        for (auto [x, y] : {std::pair{a.left, a.top}, {a.cx(), a.cy()}, {a.left + a.width - 1, a.top + a.height - 1}})
            EXPECT_EQ(port.cursorAt(port.context, x, y), trv4::kPortCursorHandPoint) << x << "," << y;
        EXPECT_TRUE(Ordinary(port.cursorAt(port.context, a.left - 1, a.cy())));
        EXPECT_TRUE(Ordinary(port.cursorAt(port.context, a.cx(), a.top + a.height)));
    }
    // A knob (Delay) and an empty spot of the chassis.
    EXPECT_TRUE(Ordinary(port.cursorAt(port.context, 146, 103)));
    EXPECT_TRUE(Ordinary(port.cursorAt(port.context, 600, 30)));
}

TEST_F(EditorClicks, ManualIconOpensOnlyAPathShorterThan256Characters) {
    const std::string longest = "/" + std::string(249, 'm') + ".html";  // 255 characters
    ASSERT_EQ(longest.size(), 255u);
    struct Case {
        const char* what;
        const char* value;  // nullptr: no value at all
        bool opens;
    };
    const std::string tooLong = longest + "l";
    const Case cases[] = {
        {"missing", nullptr, false},
        {"empty", "", false},
        {"256 characters", tooLong.c_str(), false},
        {"255 characters", longest.c_str(), true},
    };
    size_t opened = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setManual(c.value);
        click(kManual.cx(), kManual.cy());
        const std::vector<Shell> calls = shellCalls();
        ASSERT_EQ(calls.size(), opened + (c.opens ? 1 : 0));
        if (c.opens) {
            EXPECT_EQ(calls.back().file, c.value);
        }
        opened = calls.size();
        EXPECT_TRUE(messageTexts().empty()) << "a missing manual shows nothing";
    }
}

}  // namespace
}  // namespace trv4test
