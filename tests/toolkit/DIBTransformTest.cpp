// Rotation and scaling: target sizes, the direction of turn, the fixed-point
// walk of the scaler and the fill of uncovered pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "tests/toolkit/DIBTestSupport.h"
#include "toolkit/cDIB.h"
#include "toolkit/cDIBTransform.h"

namespace toolkit::test {
namespace {

constexpr uint32_t kBack = BGRA(1, 1, 1, 1);

// The scaler's walk as a reader would do it by hand: a 16-bit fraction
// accumulator from 0xFFFF, one extra source step per wrap-around.
std::vector<int> Walk(int source, int target) {
    const uint32_t step = uint32_t((uint64_t(source) << 16) / uint64_t(target));
    const uint32_t whole = step >> 16, frac = step & 0xFFFF;
    std::vector<int> picks;
    uint32_t acc = 0xFFFF;
    int pos = 0;
    for (int k = 0; k < target; ++k) {
        picks.push_back(pos);
        pos += int(whole);
        if (acc < frac) ++pos;
        acc = (acc - frac) & 0xFFFF;
    }
    return picks;
}

TEST(DIBTransform, TablesHoldRoundedUpFixedPoint) {
    const TDIBTrigTables& t = TrigTables();
    EXPECT_EQ(t.Sin[0], 0);
    EXPECT_EQ(t.Cos[0], 65536);
    EXPECT_EQ(t.Sin[90000], 65536);
    EXPECT_EQ(t.Sin[30000], 32768);  // sin 30 deg * 65536, rounded up
    EXPECT_EQ(t.SinQuarter[0], 65536);
    EXPECT_EQ(t.CosQuarter[0], 1);  // cos 90 deg is a hair above 0 in double
    EXPECT_EQ(t.Sin[45000], int(std::ceil(std::sin(std::numbers::pi / 4) * 65536)));
    EXPECT_EQ(TrigIndex(359.9999L), 359999);
    EXPECT_EQ(TrigIndex(45.0005L), 45000);
}

TEST(DIBTransform, RotatedAutoSizeBoxIsMadeEven) {
    TMemoryDIB dib(10, 10);
    dib.SetAutoSize(true);
    dib.SetAngle(45);
    const auto box = dib.TransformedSize(10, 10);
    EXPECT_EQ(box.x, 14);  // Ceil(14.14) = 15, made even
    EXPECT_EQ(box.y, 14);
    dib.SetAutoSize(false);
    EXPECT_EQ(dib.TransformedSize(10, 10).x, 10);
    dib.SetAngle(0);
    dib.SetAutoSize(true);
    dib.SetScale(50);
    EXPECT_EQ(dib.TransformedSize(7, 5).x, 4);  // Ceil(3.5), not made even
    EXPECT_EQ(dib.TransformedSize(7, 5).y, 3);
}

TEST(DIBTransform, RotatedDrawCoversExactlyItsBox) {
    TMemoryDIB src(10, 10), dst(30, 30);
    FillAll(src, BGRA(200, 0, 0, 255));
    src.SetAutoSize(true);
    src.SetAngle(45);
    FillAll(dst, kBack);
    src.Draw(dst, 3, 4);
    int touched = 0, minX = 99, maxX = -1, minY = 99, maxY = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            if (dst.Pixel(x, y) != kBack) {
                ++touched;
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    // Neither masked nor transparent: the corners carry the key colour, so
    // the whole 14 x 14 temporary lands.
    EXPECT_EQ(touched, 14 * 14);
    EXPECT_EQ(minX, 3);
    EXPECT_EQ(maxX, 16);
    EXPECT_EQ(minY, 4);
    EXPECT_EQ(maxY, 17);
}

TEST(DIBTransform, RotationTurnsClockwise) {
    // Top half red, bottom half blue; turned clockwise by 90 degrees the red
    // half is on the right.
    constexpr uint32_t red = BGRA(0, 0, 255, 255), blue = BGRA(255, 0, 0, 255);
    TMemoryDIB src(20, 20), dst(20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) src.SetPixel(x, y, y < 10 ? red : blue);
    src.SetAngle(90);
    src.Draw(0, 0, 20, 20, dst, 0, 0);
    for (int y = 2; y < 18; ++y) {
        EXPECT_EQ(dst.Pixel(3, y), blue) << y;
        EXPECT_EQ(dst.Pixel(16, y), red) << y;
    }
    // A quarter turn more: red at the bottom.
    src.SetAngle(180);
    src.Draw(0, 0, 20, 20, dst, 0, 0);
    EXPECT_EQ(dst.Pixel(10, 3), blue);
    EXPECT_EQ(dst.Pixel(10, 16), red);
}

TEST(DIBTransform, EdgeRowsOfTheSourceAreReachable) {
    // A quarter turn clockwise puts the source's bottom row on the target's
    // left column. Where the tabled steps land exactly on the source's
    // first row (the upper half here), that row must be used, not replaced
    // by the fill. (Which column lands there depends on how the tables'
    // near-zero entries round, so only the row is checked.)
    TMemoryDIB src(10, 10), dst(10, 10);
    FillTagged(src);
    src.SetAngle(90);
    src.Draw(0, 0, 10, 10, dst, 0, 0);
    for (int y = 0; y < 5; ++y) {
        EXPECT_EQ(G(dst.Pixel(0, y)), 9) << y;
        EXPECT_EQ(A(dst.Pixel(0, y)), 255) << y;
    }
}

TEST(DIBTransform, UncoveredCornersFollowTheSourceMode) {
    TMemoryDIB src(10, 10), dst(14, 14);
    FillAll(src, BGRA(200, 100, 50, 255));
    src.SetPixel(0, 9, BGRA(9, 9, 9, 255));  // bottom-left: the auto key
    src.SetAutoSize(true);
    src.SetAngle(45);
    // Masked: corners are transparent black, the destination stays.
    src.SetMasked(true);
    FillAll(dst, kBack);
    src.Draw(dst, 0, 0);
    EXPECT_EQ(dst.Pixel(0, 0), kBack);
    EXPECT_EQ(dst.Pixel(7, 7), BGRA(200, 100, 50, 255));
    // Transparent: corners are the key colour and are skipped.
    src.SetTransparent(true);
    FillAll(dst, kBack);
    src.Draw(dst, 0, 0);
    EXPECT_EQ(dst.Pixel(0, 0), kBack);
    EXPECT_EQ(dst.Pixel(13, 13), kBack);
    // Neither: the key colour shows, with alpha 0.
    src.SetTransparent(false);
    src.Draw(dst, 0, 0);
    EXPECT_EQ(dst.Pixel(0, 0), BGRA(9, 9, 9, 0));
}

TEST(DIBTransform, ScalingPicksTheWalksPixels) {
    for (const int percent : {200, 50, 133}) {
        TMemoryDIB src(7, 5);
        FillTagged(src);
        src.SetAutoSize(true);
        src.SetScale(percent);
        const auto size = src.TransformedSize(7, 5);
        TMemoryDIB dst(uint16_t(size.x), uint16_t(size.y));
        src.Draw(dst, 0, 0);
        const auto cols = Walk(7, size.x), rows = Walk(5, size.y);
        // Stored rows count from the bottom on both sides.
        for (int ty = 0; ty < size.y; ++ty)
            for (int tx = 0; tx < size.x; ++tx) {
                const int sy = 4 - rows[size_t(size.y - 1 - ty)];
                ASSERT_EQ(dst.Pixel(tx, ty), Tag(cols[size_t(tx)], sy)) << percent << ": " << tx << "," << ty;
            }
    }
    // At 200 % every pixel is doubled.
    EXPECT_EQ(Walk(7, 14), (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6}));
}

TEST(DIBTransform, ScaledDrawIsClippedLikeAPlainOne) {
    TMemoryDIB src(4, 4), dst(6, 6);
    FillTagged(src);
    src.SetAutoSize(true);
    src.SetScale(200);
    FillAll(dst, kBack);
    dst.SetClipRect({1, 1, 4, 4});
    src.Draw(dst, -2, -2);
    EXPECT_EQ(dst.Pixel(0, 0), kBack);
    EXPECT_EQ(dst.Pixel(1, 1), Tag(1, 1));  // target (3, 3) takes source (1, 1)
    EXPECT_EQ(dst.Pixel(4, 4), Tag(3, 3));
    EXPECT_EQ(dst.Pixel(5, 5), kBack);
    // A scale too large for any surface draws nothing and does not fail.
    src.SetScale(1e9L);
    FillAll(dst, kBack);
    src.Draw(dst, 0, 0);
    EXPECT_EQ(dst.Pixel(2, 2), kBack);
}

}  // namespace
}  // namespace toolkit::test
