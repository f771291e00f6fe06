// The click-area actions against the headless backend's recorded system
// services: what each click asks of the shell or shows, and every shape of
// the manual setting.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "editor/EditorActions.h"
#include "platform/headless/HeadlessBackend.h"

namespace trv4 {
namespace {

const std::string kSettingPrefix = std::string(kManualKey) + "\\";

TEST(EditorActions, EachClickMakesExactlyItsOneSystemCall) {
    platform::HeadlessBackend backend;
    backend.settings[kSettingPrefix + "Manual"] = "/opt/trv4/manual.html";
    platform::Services& system = backend.System();

    LogoClick(system, 7);
    ASSERT_EQ(backend.shellCalls.size(), 1u);
    EXPECT_EQ(backend.shellCalls[0].owner, 7u);
    EXPECT_EQ(backend.shellCalls[0].verb, "") << "the default action: the browser";
    EXPECT_EQ(backend.shellCalls[0].file, "https://tolvmark.example/trv-4");

    UsersManualClick(system, 7);
    ASSERT_EQ(backend.shellCalls.size(), 2u);
    EXPECT_EQ(backend.shellCalls[1].owner, 7u);
    EXPECT_EQ(backend.shellCalls[1].verb, "open");
    EXPECT_EQ(backend.shellCalls[1].file, "/opt/trv4/manual.html");
    EXPECT_TRUE(backend.messageBoxes.empty());

    AboutClick(system, 7);
    EXPECT_EQ(backend.shellCalls.size(), 2u);
    ASSERT_EQ(backend.messageBoxes.size(), 1u);
    EXPECT_EQ(backend.messageBoxes[0].owner, 7u);
    EXPECT_EQ(backend.messageBoxes[0].caption, "Information");
    EXPECT_EQ(backend.messageBoxes[0].text,
              "TRV-4  by Tolvmark Audio, https://tolvmark.example/trv-4\r\rVersion: 1.21");
}

TEST(EditorActions, ManualClickOpensOnlyAUsablePath) {
    struct Case {
        const char* what;
        bool keyPresent;
        bool valuePresent;
        std::string value;
        bool opens;
    };
    const std::string longest = "/" + std::string(254, 'm');  // 255 characters
    const Case cases[] = {
        {"no key", false, false, "", false},
        {"key without the value", true, false, "", false},
        {"empty value", true, true, "", false},
        {"255 characters", true, true, longest, true},
        {"256 characters", true, true, longest + "x", false},
        {"4096 characters", true, true, std::string(4096, 'p'), false},
        {"blanks and quotes stay in the one argument", true, true, "/tmp/a b/\"q\" $(x);.html", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::HeadlessBackend backend;
        if (c.keyPresent) backend.settings[kSettingPrefix + "Installer"] = "1.21";
        if (c.valuePresent) backend.settings[kSettingPrefix + "Manual"] = c.value;

        std::string path = "stale";
        EXPECT_EQ(ReadManualLocation(backend.System(), path), c.keyPresent);
        EXPECT_EQ(path, c.opens ? c.value : "");

        UsersManualClick(backend.System(), 3);
        EXPECT_TRUE(backend.messageBoxes.empty()) << "a missing manual is never reported";
        if (c.opens) {
            ASSERT_EQ(backend.shellCalls.size(), 1u);
            EXPECT_EQ(backend.shellCalls[0].verb, "open");
            EXPECT_EQ(backend.shellCalls[0].file, c.value);
        } else {
            EXPECT_TRUE(backend.shellCalls.empty());
        }
    }
}

// A setting of another type: the services raise, the click lets it pass to
// the window's guard without calling the shell.
class NonTextSetting : public platform::Services {
public:
    explicit NonTextSetting(platform::Services& inner) : inner_(inner) {}
    void OpenDocument(uintptr_t o, const std::string& v, const std::string& f) override {
        inner_.OpenDocument(o, v, f);
    }
    bool ReadSetting(const std::string&, const std::string& name, std::string&) override {
        throw platform::SettingError("Invalid data type for '" + name + "'");
    }
    void ShowMessage(uintptr_t o, const std::string& c, const std::string& t) override { inner_.ShowMessage(o, c, t); }
    uint64_t PerformanceCounter() override { return 0; }
    uint64_t PerformanceFrequency() override { return 1; }
    uint32_t TickCount() override { return 0; }

private:
    platform::Services& inner_;
};

TEST(EditorActions, ManualSettingOfAnotherTypeReachesTheCallerAndOpensNothing) {
    platform::HeadlessBackend backend;
    NonTextSetting system(backend.System());
    try {
        UsersManualClick(system, 1);
        ADD_FAILURE() << "no SettingError";
    } catch (const platform::SettingError& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'Manual'");
    }
    EXPECT_TRUE(backend.shellCalls.empty());
}

TEST(EditorActions, FixedTextRoundsHalvesAwayAndIgnoresTheLocale) {
    // A decimal-comma locale must not leak in (when the machine has one).
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "fr_FR.UTF-8");
    EXPECT_EQ(FixedText(1.21, 2), "1.21");
    EXPECT_EQ(FixedText(1.2, 2), "1.20");
    EXPECT_EQ(FixedText(0.125, 2), "0.13") << "0.125 is exact in binary: a true half";
    EXPECT_EQ(FixedText(-0.125, 2), "-0.13");
    EXPECT_EQ(FixedText(-0.001, 2), "0.00") << "no sign on a rounded zero";
    EXPECT_EQ(FixedText(99.996, 2), "100.00") << "carry into a new digit";
    EXPECT_EQ(FixedText(12.5, 0), "13");
    EXPECT_EQ(FixedText(0.0055, 3), "0.005") << "held just below the half, though 0.0055 * 1000 gives 5.5";
    EXPECT_EQ(FixedText(1234567.0, 1), "1234567.0");
    EXPECT_EQ(FixedText(1e300, 2), "INF");
    EXPECT_EQ(FixedText(-HUGE_VAL, 2), "-INF");
    EXPECT_EQ(FixedText(NAN, 2), "NAN");
    std::setlocale(LC_ALL, saved.c_str());
    if (!comma) GTEST_LOG_(INFO) << "no decimal-comma locale installed; checked in the C locale only";
}

}  // namespace
}  // namespace trv4
