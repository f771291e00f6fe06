// The editor's pure number functions: the 5-character read-out format, the
// value each read-out shows, the note values of synced rates and the meter
// scale.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "editor/MeterScale.h"
#include "editor/ReadoutText.h"

namespace trv4 {
namespace {

std::string Fixed(float v) { return FixedReadout(v).text; }

std::string Shown(int index, float p) {
    float value = 0;
    if (!ReadoutValue(index, p, value)) return "(none)";
    return Fixed(value);
}

TEST(ReadoutText, FixedFormatCutsToFiveCharactersWithoutABarePoint) {
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {0.05f, "0.050"},
        {5.4772f, "5.477"},
        {12.3456f, "12.34"},
        {600.0f, "600.0"},
        {2000.0f, "2000 "},
        {static_cast<float>(2000 * std::sqrt(10.0)), "6324 "},
        {20000.0f, "20000"},
        {-16.0f, "-16.0"},
        {-100.0f, "-100 "},
        {0.0f, "0.000"},
        {4.0f, "4.000"},
        {99999.0f, "99999"},
        // Rounding on the exact binary value, halves away from zero:
        {0.0625f, "0.063"},   // exactly half way
        {-0.0625f, "-0.06"},  // "-0.063" cut
        {0.0005f, "0.001"},   // stored just above 0.0005
        {2.0005f, "2.000"},   // stored just below 2.0005
        {9.9995f, "10.00"},   // stored just above: carries into a new digit
        {99.9996f, "100.0"},  // the carry adds a digit
        {-0.0001f, "0.000"},  // rounds to zero: no sign
    };
    for (const auto& c : cases) EXPECT_EQ(Fixed(c.value), c.text) << c.value;
    EXPECT_EQ(Fixed(std::numeric_limits<float>::quiet_NaN()), "-----");
    EXPECT_EQ(Fixed(-std::numeric_limits<float>::infinity()), "-----");
}

TEST(ReadoutText, EachReadOutShowsItsParameterInItsUnit) {
    EXPECT_EQ(Shown(0, 0.5f), "5.477");  // Delay, ms
    EXPECT_EQ(Shown(0, 1.0f), "600.0");
    EXPECT_EQ(Shown(0, 0.0f), "0.050");
    EXPECT_EQ(Shown(1, 0.8f), "0.000");  // Level, dB
    EXPECT_EQ(Shown(1, 0.0f), "-16.0");
    EXPECT_EQ(Shown(1, 1.0f), "4.000");
    EXPECT_EQ(Shown(12, 0.0f), "-100 ");  // F.B., %
    EXPECT_EQ(Shown(12, 1.0f), "100.0");
    EXPECT_EQ(Shown(19, 0.5f), "6324 ");  // Hi-Cut, Hz
    EXPECT_EQ(Shown(4, 0.0f), "0.020");   // Rate 1, Hz
    EXPECT_EQ(Shown(8, 1.0f), "20.00");   // Rate 2, Hz
    EXPECT_EQ(Shown(13, 1.0f), "20000");  // High, Hz
    EXPECT_EQ(Shown(14, 0.5f), "200.0");  // Low, Hz
    EXPECT_EQ(Shown(9, 0.5f), "180.0");   // Offset, degrees
    EXPECT_EQ(Shown(11, 1.0f), "360.0");  // Host OS, degrees
    EXPECT_EQ(Shown(2, 0.5f), "50.00");   // Mix, %
    for (int index : {3, 7, 15, 16, 17, 18, 20, 21, -1}) EXPECT_EQ(Shown(index, 0.5f), "(none)") << index;
}

TEST(ReadoutText, SyncedRatesShowTheCycleInWholeNotes) {
    const struct {
        double tempo;
        float rate;
        const char* text;
    } cases[] = {
        {120, 0.5f, "1/1"},    {120, 1.0f, "1/32"}, {120, 0.0f, "32/1"}, {120, 0.6f, "1/2"}, {240, 0.0f, "64/1"},
        {60, 0.0f, "16/1"},    {60, 1.0f, "1/64"},  {1.2, 0.0f, "1/4"},  // f = 256: the largest shift
        {0.5, 1.0f, "1/16"},                                             // f = 614, above 512: no shift
        {-120, 0.5f, "2/1"},                                             // f wraps to 65533: no shift
        {0, 0.5f, "--------"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(TempoCode(c.rate, c.tempo).text), c.text) << c.tempo << " " << c.rate;
}

TEST(MeterScale, SegmentsAndCoverHeights) {
    const struct {
        float level;
        int count;
        int height;
    } cases[] = {
        {1.0f, 6, 22},
        {0.5f, 4, 36},
        {0.51f, 5, 29},
        {2.0f, 9, 1},
        {0.1f, 0, 64},
        {0.0f, 0, 64},
        {1e30f, 127, 1},
        {std::numeric_limits<float>::infinity(), 127, 1},
        {std::numeric_limits<float>::quiet_NaN(), 0, 64},
        {-1.0f, 0, 64},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MeterSegmentCount(c.level), c.count) << c.level;
        EXPECT_EQ(MeterCoverHeight(MeterSegmentCount(c.level)), c.height) << c.level;
    }
    EXPECT_NEAR(MeterSteps(1.0f), 6.99995f, 2e-5f);
    EXPECT_NEAR(MeterSteps(0.0f), -133.33f, 0.01f);
    // Each segment lights 3 dB above the last: 7 at just above full scale.
    EXPECT_EQ(MeterSegmentCount(1.0001f), 7);
    const int heights[] = {64, 57, 50, 43, 36, 29, 22, 15, 8, 1, 1};
    for (int count = 0; count <= 10; ++count) EXPECT_EQ(MeterCoverHeight(count), heights[count]) << count;
}

}  // namespace
}  // namespace trv4
