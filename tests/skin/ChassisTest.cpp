// The chassis: size, opacity, and the places where controls lie on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "platform/DibSection.h"
#include "platform/Font.h"
#include "skin/SkinLayout.h"
#include "skin/SkinPictures.h"

namespace {

using toolkit::TMemoryDIB;
using namespace trv4skin;

int Brightest(uint32_t p) { return std::max({(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF}); }

class Chassis : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dib_ = new TMemoryDIB;
        DrawChassis(*dib_);
    }
    static void TearDownTestSuite() {
        delete dib_;
        dib_ = nullptr;
    }
    static const TMemoryDIB& dib() { return *dib_; }
    // Pixels of the rectangle brighter than the threshold.
    static int Bright(int x, int y, int w, int h, int threshold) {
        int n = 0;
        for (int py = y; py < y + h; ++py)
            for (int px = x; px < x + w; ++px) n += Brightest(dib().Pixel(px, py)) > threshold;
        return n;
    }

private:
    static TMemoryDIB* dib_;
};

TMemoryDIB* Chassis::dib_ = nullptr;

TEST_F(Chassis, IsTheWindowSizeAndOpaque) {
    ASSERT_EQ(dib().Width(), kChassisWidth);
    ASSERT_EQ(dib().Height(), kChassisHeight);
    for (int y = 0; y < kChassisHeight; ++y)
        for (int x = 0; x < kChassisWidth; ++x) ASSERT_EQ(dib().Pixel(x, y) >> 24, 0xFFu) << x << "," << y;
}

TEST_F(Chassis, ReadoutBoxesAreBlackWhereTheLabelsGo) {
    for (const ReadoutPlace& r : kReadoutPlaces)
        for (int y = r.top - kReadoutPadTop; y < r.top - kReadoutPadTop + kReadoutBoxHeight; ++y)
            for (int x = r.left - kReadoutPadLeft; x < r.left - kReadoutPadLeft + kReadoutBoxWidth; ++x)
                ASSERT_EQ(dib().Pixel(x, y) & 0xFFFFFF, 0u)
                    << "box at " << r.left << "," << r.top << ": " << x << "," << y;
}

TEST_F(Chassis, ReadoutBoxesHoldFiveCharactersOfTheLabelFont) {
    // The labels' own font, measured by the platform that draws them; the
    // widest texts a read-out can show, and the synced note values.
    auto section = platform::DibSection::Create(1, 1);
    const platform::Font labelFont{"Arial", -11, 0};
    for (const char* text : {"20000", "6324 ", "-16.0", "-100 ", "600.0", "32/1", "1/32"}) {
        const platform::Size extent = section->DC().TextExtent(text, labelFont);
        EXPECT_LE(extent.width, kReadoutBoxWidth - kReadoutPadLeft) << text;
        EXPECT_LE(extent.height, kReadoutBoxHeight - kReadoutPadTop) << text;
    }
    // Box and unit caption stay on the panel.
    for (const ReadoutPlace& a : kReadoutPlaces) {
        EXPECT_LE(a.left - kReadoutPadLeft + kReadoutBoxWidth + 16, kChassisWidth);
        EXPECT_LE(a.top - kReadoutPadTop + kReadoutBoxHeight, kChassisHeight);
    }
}

TEST_F(Chassis, HoldsTheLitMeterColumnAtTheMetersPlace) {
    TMemoryDIB column;
    DrawMeterColumn(column);
    for (int y = 0; y < kMeterHeight; ++y)
        for (int x = 0; x < kMeterWidth; ++x)
            ASSERT_EQ(dib().Pixel(kMeterLeft + x, kMeterTop + y), column.Pixel(x, y)) << x << "," << y;
}

TEST_F(Chassis, SwitchAndWavePlacesAreBlackUnderTheirPictures) {
    // Pictures are swapped or hidden there; a hidden wave picture leaves the
    // black window.
    for (const SwitchPlace& s : kSwitchPlaces) EXPECT_EQ(Bright(s.left, s.top, kSwitchWidth, kSwitchHeight, 0), 0);
    for (const int top : kWaveTops) EXPECT_EQ(Bright(kWaveLeft, top, kWaveWidth, kWaveHeight, 0), 0);
}

TEST_F(Chassis, CarriesCaptionsKnobsLogoAndIcons) {
    for (const KnobPlace& k : kKnobPlaces) {
        // Light caption text where the knob's caption goes.
        if (k.at == CaptionAt::Left) {
            EXPECT_GT(Bright(k.left + kCaptionLeftX - 30, k.top + kCaptionLeftY, 30, 11, 150), 8) << k.caption;
        } else {
            const int y = k.top + (k.at == CaptionAt::Above ? kCaptionAboveY : kCaptionBelowY);
            EXPECT_GT(Bright(k.left - 10, y, kKnobSize + 20, 11, 150), 8) << k.caption;
        }
        // A knob cap: not the panel, not black.
        const uint32_t centre = dib().Pixel(k.left + 24, k.top + 24);
        EXPECT_GT(Brightest(centre), 50) << k.caption;
        // Scale ticks around it.
        EXPECT_GT(Bright(k.left - 8, k.top - 8, kKnobSize + 16, 12, 150), 4) << k.caption;
    }
    for (const ReadoutPlace& r : kReadoutPlaces)
        EXPECT_GT(Bright(r.left - kReadoutPadLeft + kReadoutBoxWidth + 2, r.top, 16, 13, 100), 2)
            << r.left << "," << r.top;
    EXPECT_GT(Bright(kLogoLeft, kLogoTop, kLogoWidth, kLogoHeight, 200), 150);
    for (const int left : {kManualLeft, kAboutLeft}) EXPECT_GT(Bright(left, kIconTop, kIconSize, kIconSize, 180), 40);
}

TEST_F(Chassis, DrawsTheSamePixelsEveryTime) {
    TMemoryDIB again;
    DrawChassis(again);
    for (int y = 0; y < kChassisHeight; y += 3)
        for (int x = 0; x < kChassisWidth; ++x) ASSERT_EQ(again.Pixel(x, y), dib().Pixel(x, y)) << x << "," << y;
}

}  // namespace
