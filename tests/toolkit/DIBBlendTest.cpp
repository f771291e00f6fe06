// The six blend routines, checked through real draws against pixels worked
// out by hand from mix(w) = (w*s + (255-w)*d + 255) >> 8.
#include <gtest/gtest.h>

#include "tests/toolkit/DIBTestSupport.h"
#include "toolkit/cDIB.h"

namespace toolkit::test {
namespace {

// One source pixel drawn over one destination pixel.
uint32_t DrawOne(TMemoryDIB& src, uint32_t s, uint32_t d) {
    TMemoryDIB dst(1, 1);
    src.SetSize(1, 1);
    src.SetPixel(0, 0, s);
    dst.SetPixel(0, 0, d);
    src.Draw(dst, 0, 0);
    return dst.Pixel(0, 0);
}

TEST(DIBBlend, PlainCopyTakesAllFourBytes) {
    TMemoryDIB src;
    EXPECT_EQ(DrawOne(src, BGRA(10, 20, 30, 40), BGRA(1, 2, 3, 250)), BGRA(10, 20, 30, 40));
}

TEST(DIBBlend, OpacityBlend) {
    TMemoryDIB src;
    src.SetOpacity(128);
    // White at 128 over black: (128*255 + 255) >> 8 = 128; alpha max(50, 200).
    EXPECT_EQ(DrawOne(src, BGRA(255, 255, 255, 200), BGRA(0, 0, 0, 50)), BGRA(128, 128, 128, 200));
    // The destination's higher alpha is kept.
    EXPECT_EQ(A(DrawOne(src, BGRA(255, 255, 255, 200), BGRA(0, 0, 0, 250))), 250);
    // Opacity 0 leaves the colour and raises the alpha to the source's.
    src.SetOpacity(0);
    EXPECT_EQ(DrawOne(src, BGRA(255, 255, 255, 200), BGRA(10, 20, 30, 50)), BGRA(10, 20, 30, 200));
}

TEST(DIBBlend, AlphaBlend) {
    TMemoryDIB src;
    src.SetMasked(true);
    EXPECT_EQ(DrawOne(src, BGRA(255, 255, 255, 0), BGRA(10, 20, 30, 40)), BGRA(10, 20, 30, 40));
    EXPECT_EQ(DrawOne(src, BGRA(200, 150, 100, 255), BGRA(10, 20, 30, 40)), BGRA(200, 150, 100, 255));
    // w = 128: B (128*255 + 255) >> 8 = 128, G (127*255 + 255) >> 8 = 127,
    // R (128*100 + 127*50 + 255) >> 8 = 75.
    EXPECT_EQ(DrawOne(src, BGRA(255, 0, 100, 128), BGRA(0, 255, 50, 10)), BGRA(128, 127, 75, 128));
}

TEST(DIBBlend, AlphaBlendWithOpacity) {
    TMemoryDIB src;
    src.SetMasked(true);
    src.SetOpacity(128);
    // w = (128*128) >> 8 = 64: B (64*255 + 255) >> 8 = 64,
    // G (191*255 + 255) >> 8 = 191, R (64*100 + 191*50 + 255) >> 8 = 63.
    EXPECT_EQ(DrawOne(src, BGRA(255, 0, 100, 128), BGRA(0, 255, 50, 10)), BGRA(64, 191, 63, 128));
    // Alpha 0 still leaves the destination alone.
    EXPECT_EQ(DrawOne(src, BGRA(255, 0, 100, 0), BGRA(0, 255, 50, 10)), BGRA(0, 255, 50, 10));
}

TEST(DIBBlend, KeySkipWritesColourWithAlphaZero) {
    TMemoryDIB src(2, 1), dst(2, 1);
    src.SetTransparent(true);
    src.SetTransparentMode(tmFixed);
    src.SetTransparentColor(platform::RGBColor(102, 102, 102));
    src.SetPixel(0, 0, BGRA(102, 102, 102, 77));
    src.SetPixel(1, 0, BGRA(1, 2, 3, 99));
    FillAll(dst, BGRA(50, 60, 70, 200));
    src.Draw(dst, 0, 0);
    EXPECT_EQ(dst.Pixel(0, 0), BGRA(50, 60, 70, 200));
    EXPECT_EQ(dst.Pixel(1, 0), BGRA(1, 2, 3, 0));
}

TEST(DIBBlend, KeySkipWithOpacityTakesSourceAlpha) {
    TMemoryDIB src(2, 1), dst(2, 1);
    src.SetTransparent(true);
    src.SetTransparentMode(tmFixed);
    src.SetTransparentColor(platform::RGBColor(102, 102, 102));
    src.SetOpacity(128);
    src.SetPixel(0, 0, BGRA(102, 102, 102, 77));
    src.SetPixel(1, 0, BGRA(1, 2, 3, 99));
    FillAll(dst, BGRA(50, 60, 70, 200));
    src.Draw(dst, 0, 0);
    EXPECT_EQ(dst.Pixel(0, 0), BGRA(50, 60, 70, 200));
    // B (128*1 + 127*50 + 255) >> 8 = 26, G (256 + 7620 + 255) >> 8 = 31,
    // R (384 + 8890 + 255) >> 8 = 37; alpha := 99.
    EXPECT_EQ(dst.Pixel(1, 0), BGRA(26, 31, 37, 99));
}

TEST(DIBBlend, AutoKeyIsTheBottomLeftPixel) {
    TMemoryDIB src(2, 2), dst(2, 2);
    FillAll(src, BGRA(9, 9, 9, 255));
    src.SetPixel(0, 1, BGRA(7, 7, 7, 255));  // bottom-left: first stored pixel
    src.SetPixel(1, 0, BGRA(7, 7, 7, 10));   // same colour, other alpha
    src.SetTransparent(true);
    EXPECT_EQ(src.TransparentMode(), tmAuto);
    EXPECT_EQ(src.TransparentColor(), platform::RGBColor(7, 7, 7));
    FillAll(dst, BGRA(1, 1, 1, 1));
    src.Draw(dst, 0, 0);
    EXPECT_EQ(dst.Pixel(0, 1), BGRA(1, 1, 1, 1));
    EXPECT_EQ(dst.Pixel(1, 0), BGRA(1, 1, 1, 1));
    EXPECT_EQ(dst.Pixel(0, 0), BGRA(9, 9, 9, 0));
}

TEST(DIBBlend, SettingsPickTheRoutine) {
    TMemoryDIB src;
    src.SetTransparent(true);
    src.SetMasked(true);
    EXPECT_FALSE(src.Transparent());
    // Masked at 255 is the plain alpha blend (w = 128, not (128*255) >> 8).
    EXPECT_EQ(B(DrawOne(src, BGRA(255, 0, 0, 128), BGRA(0, 0, 0, 0))), 128);
    src.SetTransparent(true);
    EXPECT_FALSE(src.Masked());
    src.SetTransparent(false);
    EXPECT_EQ(DrawOne(src, BGRA(1, 2, 3, 4), BGRA(9, 9, 9, 9)), BGRA(1, 2, 3, 4));
}

TEST(DIBBlend, AlphaCopies) {
    TMemoryDIB src(1, 1), dst(1, 1);
    src.SetPixel(0, 0, BGRA(1, 2, 3, 0x80));
    dst.SetPixel(0, 0, BGRA(10, 20, 30, 40));
    src.CopyAlphaRegion(0, 0, 1, 1, dst, 0, 0);
    EXPECT_EQ(dst.Pixel(0, 0), BGRA(10, 20, 30, 0x80));
    src.AlphaAsGrey(0, 0, 1, 1, dst, 0, 0);
    EXPECT_EQ(dst.Pixel(0, 0), 0x80808080u);
    // Copy region ignores opacity and transparency.
    src.SetOpacity(0);
    src.CopyRegion(0, 0, 1, 1, dst, 0, 0);
    EXPECT_EQ(dst.Pixel(0, 0), BGRA(1, 2, 3, 0x80));
    EXPECT_EQ(src.Opacity(), 0);
}

}  // namespace
}  // namespace toolkit::test
