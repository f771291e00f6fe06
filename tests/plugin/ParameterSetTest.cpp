// The parameter set: store and clamp rules, write-through, editor mark, and
// every name and display text the host reads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "plugin/ParameterDisplay.h"
#include "tests/plugin/TestPlugin.h"

namespace {

using trv4::APlugin;
using trv4test::HostBuffer;
using trv4test::makePlugin;

std::string display(APlugin& p, int index) {
    return trv4test::queryText([&](char* t) { p.getParameterDisplay(index, t); });
}
std::string name(APlugin& p, int index) {
    return trv4test::queryText([&](char* t) { p.getParameterName(index, t); });
}
std::string displayAt(APlugin& p, int index, float x) {
    p.setParameter(index, x);
    return display(p, index);
}

TEST(ParameterSet, ClampsBeforeStoring) {
    auto p = makePlugin();
    p->setParameter(3, 1.7f);
    EXPECT_EQ(p->getParameter(3), 1.0f);
    p->setParameter(3, -0.2f);
    EXPECT_EQ(p->getParameter(3), 0.0f);
    p->setParameter(3, 0.7f);
    p->setParameter(3, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(p->getParameter(3), 0.0f);
    p->setParameter(3, std::numeric_limits<float>::infinity());
    EXPECT_EQ(p->getParameter(3), 1.0f);
    p->setParameter(3, -std::numeric_limits<float>::infinity());
    EXPECT_EQ(p->getParameter(3), 0.0f);
    p->setParameter(3, 0.25f);
    EXPECT_EQ(p->getParameter(3), 0.25f);
    p->setProgram(1);
    p->setProgram(0);
    EXPECT_EQ(p->getParameter(3), 0.25f) << "written through into the current program";
}

TEST(ParameterSet, OutOfRangeIndexChangesNothingAndTellsNobody) {
    auto p = makePlugin();
    vst::AEffEditor* editor = p->getEditor();
    ASSERT_NE(editor, nullptr);
    float before[trv4::kNumParams];
    for (int i = 0; i < trv4::kNumParams; ++i) before[i] = p->getParameter(i);

    editor->idle();  // clears the mark the construction left
    ASSERT_FALSE(editor->updatePending());
    for (int index : {21, -1, 1000, std::numeric_limits<int>::min()}) p->setParameter(index, 0.5f);
    EXPECT_FALSE(editor->updatePending());
    for (int i = 0; i < trv4::kNumParams; ++i) EXPECT_EQ(p->getParameter(i), before[i]) << i;
    p->setProgram(1);
    p->setProgram(0);
    for (int i = 0; i < trv4::kNumParams; ++i) EXPECT_EQ(p->getParameter(i), before[i]) << "program 0 kept " << i;

    editor->idle();
    ASSERT_FALSE(editor->updatePending());
    p->setParameter(20, 0.5f);
    EXPECT_TRUE(editor->updatePending()) << "an accepted value marks the editor";
    EXPECT_EQ(p->getParameter(20), 0.5f);
}

TEST(ParameterSet, GetterIndexRules) {
    auto p = makePlugin();
    p->setParameter(20, 0.75f);
    p->setParameter(0, 0.125f);
    EXPECT_EQ(p->getParameter(25), 0.75f);
    EXPECT_EQ(p->getParameter(21), 0.75f);
    EXPECT_EQ(p->getParameter(-1), 0.125f);
    EXPECT_EQ(p->getParameter(std::numeric_limits<int>::min()), 0.125f);
}

TEST(ParameterSet, NamesAndLabels) {
    auto p = makePlugin();
    const char* names[] = {"Delay",  "Level",  "Mix",    "Wave 1", "Rate 1",  "Depth", "AM",
                           "Wave 2", "Rate 2", "Offset", "Pan",    "Host OS", "F.B.",  "High",
                           "Low",    "Mono",   "-20dB",  "Spread", "Sync.",   "Hi-Cut"};
    for (int i = 0; i < 20; ++i) EXPECT_EQ(name(*p, i), names[i]) << i;
    // No name, no display: an empty text, never the host's own bytes.
    for (int i : {20, 21, 99, -1}) {
        EXPECT_EQ(name(*p, i), "") << i;
        EXPECT_EQ(display(*p, i), "") << i;
    }
    for (int i : {-1, 0, 5, 19, 20, 21}) {
        HostBuffer label;
        p->getParameterLabel(i, label.data());
        EXPECT_EQ(label.text(), "") << i;
        EXPECT_TRUE(label.untouchedAfterText());
    }
}

TEST(ParameterSet, ProgramZeroDisplayRow) {
    auto p = makePlugin();
    const char* expected[] = {"14 ms", "2.38E-007 dB", "50 %",  "0",   "0.209 Hz", "30 %",     "0 %",
                              "0",     "0.121 Hz",     "0 Deg", "0 %", "0 Deg",    "0",        "2E+004 Hz",
                              "20 Hz", "OFF",          "OFF",   "ON",  "OFF",      "2E+004 Hz"};
    // Wave numbers read 0 until the engine's first block.
    for (int i = 0; i < 20; ++i) EXPECT_EQ(display(*p, i), expected[i]) << trv4::kParameterLaws[i].name;
}

TEST(ParameterSet, DisplayLaws) {
    auto p = makePlugin();
    EXPECT_EQ(displayAt(*p, 0, 0.0f), "0.05 ms");
    EXPECT_EQ(displayAt(*p, 0, 0.5f), "5.48 ms");
    EXPECT_EQ(displayAt(*p, 0, 1.0f), "600 ms");
    EXPECT_EQ(displayAt(*p, 1, 0.0f), "-16 dB");
    EXPECT_EQ(displayAt(*p, 1, 1.0f), "4 dB");
    EXPECT_EQ(displayAt(*p, 1, 0.79999995f), "-9.54E-007 dB");  // the longest text: 13 characters
    EXPECT_EQ(displayAt(*p, 2, 0.333f), "33.3 %");
    EXPECT_EQ(displayAt(*p, 4, 0.0f), "0.02 Hz");
    EXPECT_EQ(displayAt(*p, 4, 1.0f), "20 Hz");
    EXPECT_EQ(displayAt(*p, 9, 1.0f), "360 Deg");
    EXPECT_EQ(displayAt(*p, 11, 0.5f), "180 Deg");
    EXPECT_EQ(displayAt(*p, 12, 0.0f), "-100");
    EXPECT_EQ(displayAt(*p, 12, 1.0f), "100");
    EXPECT_EQ(displayAt(*p, 13, 0.0f), "200 Hz");
    EXPECT_EQ(displayAt(*p, 13, 0.5f), "2E+003 Hz");
    EXPECT_EQ(displayAt(*p, 14, 1.0f), "2E+003 Hz");
    EXPECT_EQ(displayAt(*p, 19, 0.0f), "2E+003 Hz");
    EXPECT_EQ(displayAt(*p, 19, 0.5f), "6.32E+003 Hz");
    EXPECT_EQ(displayAt(*p, 19, 1.0f), "2E+004 Hz");
}

TEST(ParameterSet, SwitchesTurnOnAboveOneHalf) {
    auto p = makePlugin();
    for (int i = 15; i <= 18; ++i) {
        EXPECT_EQ(displayAt(*p, i, 0.5f), "OFF") << i;
        EXPECT_EQ(displayAt(*p, i, std::nextafter(0.5f, 1.0f)), "ON") << i;
        EXPECT_EQ(displayAt(*p, i, 0.0f), "OFF") << i;
        EXPECT_EQ(displayAt(*p, i, 1.0f), "ON") << i;
    }
}

TEST(ParameterSet, EveryDisplayTextIsWholeAndShort) {
    // Over the whole range of every parameter: at most 13 characters, the
    // unit intact, terminated, nothing written after the terminator.
    auto p = makePlugin();
    for (int i = 0; i < trv4::kNumParams; ++i) {
        const std::string unit = trv4::kParameterLaws[i].unit;
        for (int step = 0; step <= 4096; ++step) {
            p->setParameter(i, step / 4096.0f);
            HostBuffer text;
            p->getParameterDisplay(i, text.data());
            ASSERT_TRUE(text.terminated());
            ASSERT_TRUE(text.untouchedAfterText());
            const std::string shown = text.text();
            ASSERT_LE(shown.size(), 13u) << i << ": " << shown;
            if (i == trv4::kSpare) {
                ASSERT_EQ(shown, "");
                continue;
            }
            ASSERT_FALSE(shown.empty()) << i;
            ASSERT_EQ(shown.substr(shown.size() - unit.size()), unit) << i << ": " << shown;
        }
    }
}

}  // namespace
