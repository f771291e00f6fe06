// The small skin pictures: sizes, key colours, lamps, meter segments and the
// wave shapes their red lines follow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "skin/MeterArt.h"
#include "skin/SkinPictures.h"

namespace {

using toolkit::TMemoryDIB;
using namespace trv4skin;

int Red(uint32_t p) { return (p >> 16) & 0xFF; }
int Green(uint32_t p) { return (p >> 8) & 0xFF; }
int Blue(uint32_t p) { return p & 0xFF; }
int Brightest(uint32_t p) { return std::max({Red(p), Green(p), Blue(p)}); }

std::unique_ptr<TMemoryDIB> Wave(int n) {
    auto dib = std::make_unique<TMemoryDIB>();
    DrawWave(n, *dib);
    return dib;
}

// Row of the red line's centre in column x: the red-weighted mean of the
// rows whose red clearly stands out; -1 when the column has no line.
double LineRow(const TMemoryDIB& dib, int x) {
    double sum = 0, weight = 0;
    for (int y = 0; y < dib.Height(); ++y) {
        const uint32_t p = dib.Pixel(x, y);
        const double w = std::max(0, Red(p) - 80);
        sum += w * y;
        weight += w;
    }
    return weight > 0 ? sum / weight : -1;
}

double RowOfValue(double v) { return kWavePlotBottom - v * (kWavePlotBottom - kWavePlotTop); }

TEST(SkinPictures, EveryPictureHasItsSizeAndIsOpaque) {
    struct Case {
        void (*draw)(TMemoryDIB&);
        int width, height;
    };
    const Case cases[] = {
        {[](TMemoryDIB& d) { DrawPointer(d); }, 10, 10},      {[](TMemoryDIB& d) { DrawKnobBody(d); }, 49, 49},
        {[](TMemoryDIB& d) { DrawSwitch(true, d); }, 30, 45}, {[](TMemoryDIB& d) { DrawSwitch(false, d); }, 30, 45},
        {[](TMemoryDIB& d) { DrawMeterCover(d); }, 17, 64},   {[](TMemoryDIB& d) { DrawMeterColumn(d); }, 17, 64},
        {[](TMemoryDIB& d) { DrawWave(10, d); }, 60, 40},
    };
    for (const Case& c : cases) {
        TMemoryDIB dib(3, 3);
        c.draw(dib);
        ASSERT_EQ(dib.Width(), c.width);
        ASSERT_EQ(dib.Height(), c.height);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) ASSERT_EQ(dib.Pixel(x, y) >> 24, 0xFFu) << x << "," << y;
    }
}

TEST(SkinPictures, PointerIsAPaleYellowDotOnTheKeyGrey) {
    TMemoryDIB dib;
    DrawPointer(dib);
    int dot = 0;
    for (int y = 0; y < kPointerSize; ++y)
        for (int x = 0; x < kPointerSize; ++x) {
            const uint32_t p = dib.Pixel(x, y) & 0xFFFFFF;
            const double d = std::hypot(x + 0.5 - 5, y + 0.5 - 5);
            if (d > 4.5) {
                EXPECT_EQ(p, kPointerKey) << x << "," << y;
            }
            if (p != kPointerKey) ++dot;
        }
    EXPECT_GE(dot, 20);
    for (const auto& [x, y] : {std::pair{4, 4}, std::pair{5, 5}, std::pair{4, 5}, std::pair{5, 4}}) {
        const uint32_t p = dib.Pixel(x, y);
        EXPECT_GE(Red(p), 230);
        EXPECT_GE(Green(p), 220);
        EXPECT_LT(Blue(p), Green(p));
    }
    EXPECT_EQ(dib.Pixel(0, 0) & 0xFFFFFF, 0x666666u);
}

TEST(SkinPictures, KnobBodyIsEntirelyTheKeyColour) {
    TMemoryDIB dib;
    DrawKnobBody(dib);
    for (int y = 0; y < kKnobBodySize; ++y)
        for (int x = 0; x < kKnobBodySize; ++x) ASSERT_EQ(dib.Pixel(x, y) & 0xFFFFFF, kKnobBodyKey);
}

TEST(SkinPictures, SwitchLampIsLitRedOrDarkAndNothingElseDiffers) {
    TMemoryDIB on, off;
    DrawSwitch(true, on);
    DrawSwitch(false, off);
    const uint32_t lit = on.Pixel(kLampCenterX, kLampCenterY), dark = off.Pixel(kLampCenterX, kLampCenterY);
    EXPECT_GE(Red(lit), 200);
    EXPECT_LT(Green(lit), 110);
    EXPECT_LT(Blue(lit), 110);
    EXPECT_LT(Brightest(dark), 90);
    EXPECT_GT(Red(dark), Green(dark));
    for (int y = 0; y < kSwitchHeight; ++y)
        for (int x = 0; x < kSwitchWidth; ++x)
            if (std::hypot(x - kLampCenterX, y - kLampCenterY) > 9) {
                ASSERT_EQ(on.Pixel(x, y), off.Pixel(x, y)) << x << "," << y;
            }
    // A black switch: its frame stays dark.
    EXPECT_LT(Brightest(on.Pixel(2, kSwitchHeight - 3)), 40);
}

TEST(SkinPictures, MeterColumnHasRedYellowAndSevenGreenSegmentsAndTheCoverIsDark) {
    TMemoryDIB column, cover;
    DrawMeterColumn(column);
    DrawMeterCover(cover);
    const int x = kMeterWidth / 2;
    for (int s = 0; s < kMeterSegments; ++s)
        for (int r = 0; r < kMeterLampRows; ++r) {
            const int y = MeterLampTop(s) + r;
            const uint32_t p = column.Pixel(x, y);
            if (s == 0) {
                EXPECT_GE(Red(p), 190) << y;
                EXPECT_LT(Green(p), Red(p) / 2) << y;
                EXPECT_LT(Blue(p), Red(p) / 2) << y;
            } else if (s == 1) {
                EXPECT_GE(Red(p), 190) << y;
                EXPECT_GE(Green(p), 150) << y;
                EXPECT_LT(Blue(p), 120) << y;
            } else {
                EXPECT_GE(Green(p), 170) << y;
                EXPECT_LT(Red(p), 140) << y;
            }
            EXPECT_LT(Brightest(cover.Pixel(x, y)), 70) << y;
        }
    // The dark separators and the dark bottom row, in both pictures.
    for (int s = 0; s <= kMeterSegments; ++s) {
        const int y = std::min(s * kMeterSegmentRows, kMeterHeight - 1);
        EXPECT_LT(Brightest(column.Pixel(x, y)), 30) << y;
        EXPECT_EQ(column.Pixel(x, y), cover.Pixel(x, y)) << y;
    }
}

// The editor shortens the cover to 64 - 7 x count pixels (1 from nine on);
// every count must uncover exactly that many whole segments, bottom up.
TEST(SkinPictures, CoverHeightsUncoverWholeSegments) {
    for (int count = 0; count <= kMeterSegments; ++count) {
        const int height = count >= 9 ? 1 : kMeterHeight - 7 * count;
        int uncovered = 0;
        for (int s = 0; s < kMeterSegments; ++s) {
            const int top = MeterLampTop(s), bottom = top + kMeterLampRows - 1;
            EXPECT_TRUE(top >= height || bottom < height) << "count " << count << " cuts segment " << s;
            if (top >= height) ++uncovered;
        }
        EXPECT_EQ(uncovered, count);
    }
}

TEST(SkinPictures, WaveLinesFollowTheirShapes) {
    // Output at 0, 1/4, 1/2 and 3/4 of the period, for waves 1..9.
    const double quarters[10][4] = {{},
                                    {0, 0.5, 1, 0.5},
                                    {0, 0.5, 1, 0.5},
                                    {0, 0.25, 1, 0.25},
                                    {0, 0.75, 1, 0.75},
                                    {0, 0.5, 1, 0.5},
                                    {0, 0.5, 1, 0.5},
                                    {0, 0.25, 1, 0.25},
                                    {0, 0.75, 1, 0.75},
                                    {0, 0.75, 1, 0.25}};
    // And at 1/8, where waves with equal quarter points part.
    const double eighth[10] = {0, 0.1464, 0.25, 0.0214, 0.2714, 0.25, 0.375, 0.0625, 0.4375, 0.4375};
    const int span = kWavePlotRight - kWavePlotLeft;
    static_assert((kWavePlotRight - kWavePlotLeft) % 8 == 0, "quarter and eighth points fall on columns");
    for (int n = 1; n <= 9; ++n) {
        const auto wave = Wave(n);
        const TMemoryDIB& dib = *wave;
        for (int q = 0; q < 4; ++q) {
            const int x = kWavePlotLeft + q * span / 4;
            EXPECT_NEAR(LineRow(dib, x), RowOfValue(quarters[n][q]), 1.5) << "wave " << n << " quarter " << q;
        }
        EXPECT_NEAR(LineRow(dib, kWavePlotLeft + span / 8), RowOfValue(eighth[n]), 1.5) << "wave " << n << " at 1/8";
        // The highest point of the line lies at half the period.
        int top = kWavePlotLeft;
        for (int x = kWavePlotLeft; x <= kWavePlotRight; ++x)
            if (LineRow(dib, x) < LineRow(dib, top)) top = x;
        EXPECT_NEAR(top, kWavePlotLeft + span / 2.0, 3) << "wave " << n;
        // The period ends where it began, at the bottom.
        EXPECT_NEAR(LineRow(dib, kWavePlotRight), kWavePlotBottom, 1.5) << "wave " << n;
    }
}

TEST(SkinPictures, WavesAreRedOnBlackAndDistinct) {
    std::vector<std::unique_ptr<TMemoryDIB>> waves;
    for (int n = 1; n <= kWaveCount; ++n) waves.push_back(Wave(n));
    for (int n = 1; n <= kWaveCount; ++n) {
        const TMemoryDIB& dib = *waves[n - 1];
        int red = 0;
        for (int y = 0; y < kWaveHeight; ++y)
            for (int x = 0; x < kWaveWidth; ++x) {
                const uint32_t p = dib.Pixel(x, y);
                ASSERT_GE(Red(p), Green(p));
                ASSERT_GE(Red(p), Blue(p));
                if (Red(p) > 200) ++red;
            }
        EXPECT_GE(red, kWavePlotRight - kWavePlotLeft) << "wave " << n;
        EXPECT_EQ(dib.Pixel(0, 0) & 0xFFFFFF, 0u);
        for (int m = 1; m < n; ++m) {
            int differing = 0;
            for (int y = 0; y < kWaveHeight; ++y)
                for (int x = 0; x < kWaveWidth; ++x) differing += dib.Pixel(x, y) != waves[m - 1]->Pixel(x, y);
            EXPECT_GT(differing, 20) << "waves " << m << " and " << n;
        }
    }
}

TEST(SkinPictures, RandomWaveIsAnIrregularZigZag) {
    const auto wave = Wave(10);
    const TMemoryDIB& dib = *wave;
    std::vector<double> rows;
    for (int x = kWavePlotLeft; x <= kWavePlotRight; ++x) {
        rows.push_back(LineRow(dib, x));
        ASSERT_GE(rows.back(), kWavePlotTop - 1.0) << x;
    }
    int turns = 0, lastSign = 0;
    std::vector<double> legs{0};
    for (size_t i = 1; i < rows.size(); ++i) {
        const double step = rows[i] - rows[i - 1];
        const int sign = step > 0.3 ? 1 : step < -0.3 ? -1 : 0;
        if (sign && lastSign && sign != lastSign) {
            ++turns;
            legs.push_back(0);
        }
        if (sign) {
            lastSign = sign;
            legs.back() += std::fabs(step);
        }
    }
    EXPECT_GE(turns, 5);
    // Irregular: the legs differ in height.
    const auto [lo, hi] = std::minmax_element(legs.begin(), legs.end());
    EXPECT_GT(*hi - *lo, 6);
}

TEST(SkinPictures, OutOfRangeWaveIsBlack) {
    for (const int n : {0, 11, -1}) {
        const auto wave = Wave(n);
        const TMemoryDIB& dib = *wave;
        ASSERT_EQ(dib.Width(), kWaveWidth);
        for (int y = 0; y < kWaveHeight; ++y)
            for (int x = 0; x < kWaveWidth; ++x) ASSERT_EQ(dib.Pixel(x, y) & 0xFFFFFF, 0u);
    }
}

}  // namespace
