// Untransformed drawing, clipping, setter rules, views and whole-surface
// operations of the surfaces.
#include <gtest/gtest.h>

#include "tests/toolkit/DIBTestSupport.h"
#include "platform/Component.h"
#include "toolkit/cDIB.h"
#include "toolkit/cDIBErrors.h"

namespace toolkit::test {
namespace {

constexpr uint32_t kBack = BGRA(1, 1, 1, 1);

TEST(DIBDraw, NegativeDestinationDrawsFromTheOffset) {
    TMemoryDIB src(10, 10), dst(8, 8);
    FillTagged(src);
    FillAll(dst, kBack);
    src.Draw(dst, -5, -5);
    EXPECT_EQ(dst.Pixel(0, 0), Tag(5, 5));
    EXPECT_EQ(dst.Pixel(4, 4), Tag(9, 9));
    EXPECT_EQ(dst.Pixel(5, 5), kBack);
    EXPECT_EQ(dst.Pixel(5, 0), kBack);
}

TEST(DIBDraw, ClipRectangleCutsEveryEdge) {
    TMemoryDIB src(10, 10), dst(10, 10);
    FillTagged(src);
    FillAll(dst, kBack);
    dst.SetClipRect({6, 5, 2, 3});  // corners swapped on purpose
    EXPECT_EQ(dst.ClipRect(), (TDIBClipRect{2, 3, 6, 5}));
    src.Draw(0, 0, 10, 10, dst, 0, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x <= 6 && y >= 3 && y <= 5;
            EXPECT_EQ(dst.Pixel(x, y), inside ? Tag(x, y) : kBack) << x << "," << y;
        }
    // Left of the clip moves the source start right.
    FillAll(dst, kBack);
    src.Draw(0, 3, 4, 1, dst, 5, 0);
    EXPECT_EQ(dst.Pixel(2, 3), Tag(7, 0));
    EXPECT_EQ(dst.Pixel(3, 3), Tag(8, 0));
    EXPECT_EQ(dst.Pixel(4, 3), kBack);
}

TEST(DIBDraw, ClipIsClampedAndCanBeEmpty) {
    TMemoryDIB dst(10, 10);
    dst.SetClipRect({-5, -5, 20, 3});
    EXPECT_EQ(dst.ClipRect(), (TDIBClipRect{0, 0, 9, 3}));
    dst.SetClipRect({12, 0, 20, 3});
    EXPECT_TRUE(dst.ClipRect().IsEmpty());
    TMemoryDIB src(10, 10);
    FillTagged(src);
    FillAll(dst, kBack);
    src.Draw(dst, 0, 0);
    EXPECT_EQ(dst.Pixel(9, 0), kBack);
}

TEST(DIBDraw, SourceRegionAndSizeLimits) {
    TMemoryDIB src(4, 4), dst(10, 10);
    FillTagged(src);
    FillAll(dst, kBack);
    // More than the source has from (2, 1); a negative source start moves
    // the destination instead.
    src.Draw(0, 0, 9, 9, dst, 2, 1);
    EXPECT_EQ(dst.Pixel(0, 0), Tag(2, 1));
    EXPECT_EQ(dst.Pixel(1, 2), Tag(3, 3));
    EXPECT_EQ(dst.Pixel(2, 0), kBack);
    EXPECT_EQ(dst.Pixel(0, 3), kBack);
    FillAll(dst, kBack);
    src.Draw(0, 0, 4, 4, dst, -1, 0);
    EXPECT_EQ(dst.Pixel(0, 0), kBack);
    EXPECT_EQ(dst.Pixel(1, 0), Tag(0, 0));
    EXPECT_EQ(dst.Pixel(3, 0), Tag(2, 0));
    EXPECT_EQ(dst.Pixel(4, 0), kBack);
    // Far outside and empty requests touch nothing and raise no event.
    int changes = 0;
    dst.OnChange = [&](TAbstractSuperDIB&) { ++changes; };
    src.Draw(0, 0, 0, 4, dst, 0, 0);
    src.Draw(2147483000, -2147483000, 4, 4, dst, 0, 0);
    src.Draw(0, 0, 4, 4, dst, 2147483000, 0);
    EXPECT_EQ(changes, 0);
    src.Draw(dst, 0, 0);
    EXPECT_EQ(changes, 1);
}

TEST(DIBSettings, SetterRules) {
    TMemoryDIB dib;
    dib.SetAngle(360);
    EXPECT_EQ(dib.Angle(), 0);
    dib.SetAngle(-90);
    EXPECT_EQ(dib.Angle(), 270);
    dib.SetAngle(725);
    EXPECT_EQ(dib.Angle(), 5);
    dib.SetScale(50);
    EXPECT_EQ(dib.ScaleX(), 50);
    EXPECT_EQ(dib.ScaleY(), 50);
    dib.SetTransparent(true);
    dib.SetMasked(true);
    EXPECT_TRUE(dib.Masked());
    EXPECT_FALSE(dib.Transparent());
    dib.SetTransparentMode(tmFixed);
    dib.SetTransparentColor(platform::RGBColor(0x11, 0x22, 0x33));
    EXPECT_EQ(dib.KeyColor(), 0x00112233u);  // pixel order 0x00RRGGBB
    EXPECT_EQ(dib.TransparentColor(), platform::RGBColor(0x11, 0x22, 0x33));
    dib.SetOpacity(3);
    dib.ResetSettings();
    EXPECT_EQ(dib.Angle(), 0);
    EXPECT_EQ(dib.ScaleY(), 100);
    EXPECT_EQ(dib.Opacity(), 255);
    EXPECT_FALSE(dib.Masked());
    EXPECT_EQ(dib.BlendRoutine(), TMemoryDIB().BlendRoutine());
}

TEST(DIBSettings, ChangeEventFollowsRealChanges) {
    TMemoryDIB dib(2, 2);
    int changes = 0;
    dib.OnChange = [&](TAbstractSuperDIB&) { ++changes; };
    dib.SetOpacity(255);
    dib.SetAngle(0);
    dib.SetSize(2, 2);
    EXPECT_EQ(changes, 0);
    dib.SetOpacity(7);
    dib.SetAngle(10);
    dib.Fill(0);
    dib.SetSize(3, 0);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(dib.Width(), 3);
    EXPECT_EQ(dib.Height(), 1);
}

TEST(DIBSettings, ResizeResetsAWholeClipAndClampsOthers) {
    TMemoryDIB dib(10, 10);
    dib.SetSize(20, 20);
    EXPECT_EQ(dib.ClipRect(), (TDIBClipRect{0, 0, 19, 19}));
    dib.SetClipRect({5, 5, 15, 15});
    dib.SetSize(8, 30);
    EXPECT_EQ(dib.ClipRect(), (TDIBClipRect{5, 5, 7, 15}));
}

TEST(DIBOps, FillFillRectAndSetAlpha) {
    TMemoryDIB dib(4, 3);
    dib.Fill(platform::RGBColor(0x10, 0x20, 0x30));
    EXPECT_EQ(dib.Pixel(3, 2), BGRA(0x30, 0x20, 0x10, 0));
    dib.FillRect(-2, 1, 4, 9, platform::RGBColor(0xFF, 0, 0));
    EXPECT_EQ(dib.Pixel(0, 0), BGRA(0x30, 0x20, 0x10, 0));
    EXPECT_EQ(dib.Pixel(1, 2), BGRA(0, 0, 0xFF, 0));
    EXPECT_EQ(dib.Pixel(2, 1), BGRA(0x30, 0x20, 0x10, 0));
    dib.FillRect(10, 10, 5, 5, 0);  // outside: nothing
    dib.FillRect(0, 0, 0, 5, 0);
    EXPECT_EQ(dib.Pixel(0, 0), BGRA(0x30, 0x20, 0x10, 0));
    dib.SetAlpha(0x42);
    EXPECT_EQ(dib.Pixel(1, 2), BGRA(0, 0, 0xFF, 0x42));
}

TEST(DIBOps, ViewSharesPixelsButNotSettings) {
    TMemoryDIB image(3, 3), view;
    FillTagged(image);
    image.SetOpacity(99);
    image.SetTransparent(true);
    view.MakeViewOf(image);
    EXPECT_FALSE(view.OwnsStorage());
    EXPECT_EQ(view.Width(), 3);
    EXPECT_EQ(view.Opacity(), 99);
    EXPECT_TRUE(view.Transparent());
    view.SetOpacity(10);
    EXPECT_EQ(image.Opacity(), 99);
    view.Fill(0);
    EXPECT_EQ(image.Pixel(1, 1), BGRA(0, 0, 0, 0));
    // Resizing the image gives it new pixels; the view keeps the old ones.
    image.SetSize(50, 50);
    view.SetPixel(2, 2, 5);
    EXPECT_EQ(view.Pixel(2, 2), 5u);
    // Another surface's settings never hand the view a size its pixels lack.
    TMemoryDIB big(40, 40);
    big.CopySettingsTo(view);
    EXPECT_EQ(view.Width(), 3);
}

TEST(DIBOps, AssignCopiesPixelsAndSettingsWithOneEvent) {
    TMemoryDIB src(2, 3), dst;
    FillTagged(src);
    src.SetMasked(true);
    src.SetAngle(30);
    int changes = 0;
    dst.OnChange = [&](TAbstractSuperDIB&) { ++changes; };
    dst.Assign(src);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(dst.Width(), 2);
    EXPECT_EQ(dst.Height(), 3);
    EXPECT_EQ(dst.Pixel(1, 2), Tag(1, 2));
    EXPECT_TRUE(dst.Masked());
    EXPECT_EQ(dst.Angle(), 30);
    src.SetPixel(1, 2, 0);
    EXPECT_EQ(dst.Pixel(1, 2), Tag(1, 2));
}

TEST(DIBOps, AssignToOtherClassesIsRefused) {
    TMemoryDIB src, dst;
    src.SetOpacity(77);
    src.AssignTo(dst);
    EXPECT_EQ(dst.Opacity(), 77);
    platform::Component other(nullptr);
    try {
        src.AssignTo(other);
        FAIL();
    } catch (const EDIBError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot assign a TAbstractDIB to a " + other.Class().Name());
    }
}

}  // namespace
}  // namespace toolkit::test
