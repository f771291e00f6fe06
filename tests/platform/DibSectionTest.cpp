// Pixel layout, clipping and drawing of DibSection and its device context,
// on the GDI side (Windows builds) and the pixel-buffer side alike.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/DibSection.h"
#include "platform/SystemError.h"

namespace platform {
namespace {

// Top-down pixel (x, y) as the word 0xAARRGGBB.
uint32_t PixelAt(DibSection& dib, int x, int y) {
    uint32_t word;
    std::memcpy(&word, dib.Bits() + (static_cast<size_t>(dib.Height() - 1 - y) * dib.Width() + x) * 4, 4);
    return word;
}

void Clear(DibSection& dib, uint32_t word) {
    auto* p = reinterpret_cast<uint32_t*>(dib.Bits());
    for (int i = 0; i < dib.Width() * dib.Height(); ++i) p[i] = word;
}

TEST(DibSection, RowsAreBottomUpAndFillWritesColourWithZeroAlpha) {
    auto dib = DibSection::Create(3, 2);
    Clear(*dib, 0xFF000000);
    dib->DC().FillRect({0, 0, 1, 1}, RGBColor(0x11, 0x22, 0x33));
    const uint8_t* bottomRowFirst = dib->Bits();
    const uint8_t* topRow = dib->Bits() + 3 * 4;
    EXPECT_EQ(topRow[0], 0x33);  // blue
    EXPECT_EQ(topRow[1], 0x22);
    EXPECT_EQ(topRow[2], 0x11);
    EXPECT_EQ(topRow[3], 0x00);
    EXPECT_EQ(bottomRowFirst[3], 0xFF);  // untouched
    EXPECT_EQ(PixelAt(*dib, 1, 0), 0xFF000000u);
}

TEST(DibSection, RefusedSizesRaiseSystemError) {
    for (auto [w, h] : {std::pair{0, 4}, std::pair{4, 0}, std::pair{-1, 3}}) {
        try {
            DibSection::Create(w, h);
            ADD_FAILURE() << w << " x " << h << " was accepted";
        } catch (const SystemError& error) {
            const std::string text = error.what();
#ifdef _WIN32
            EXPECT_EQ(text.rfind("Windows error (87) ", 0), 0u) << text;
#else
            EXPECT_EQ(text.rfind("System error (", 0), 0u) << text;
#endif
            EXPECT_GT(text.size(), text.find(") ") + 2) << "message text missing: " << text;
        }
    }
}

TEST(DeviceContext, OriginAndClipMoveAndLimitDrawing) {
    auto dib = DibSection::Create(20, 20);
    Clear(*dib, 0);
    DeviceContext& dc = dib->DC();
    dc.SetOrigin({10, 10});
    dc.SetClip({0, 0, 5, 5});
    const Rect box = dc.ClipBox();
    EXPECT_EQ(box, (Rect{0, 0, 5, 5}));
    dc.FillRect({-10, -10, 30, 30}, RGBColor(0, 0, 0xFF));
    EXPECT_EQ(PixelAt(*dib, 10, 10), 0xFFu);
    EXPECT_EQ(PixelAt(*dib, 14, 14), 0xFFu);
    EXPECT_EQ(PixelAt(*dib, 9, 10), 0u);
    EXPECT_EQ(PixelAt(*dib, 15, 14), 0u);

    // ResetClip reaches the whole bitmap again, still moved by the origin.
    dc.ResetClip();
    dc.FillRect({-10, -10, -9, -9}, RGBColor(0, 0xFF, 0));
    EXPECT_EQ(PixelAt(*dib, 0, 0), 0xFF00u);
    dc.SetOrigin({0, 0});
}

TEST(DeviceContext, DrawBitmapCopiesRegionUnscaledAndCutsAtEveryEdge) {
    auto source = DibSection::Create(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) source->DC().FillRect({x, y, x + 1, y + 1}, RGBColor(x * 10, y * 10, 0));
    auto dest = DibSection::Create(6, 6);
    Clear(*dest, 0x00FFFFFF);

    // Region (1,1)-(4,4) at (-1, 3): the first source column is cut on the
    // left and the last row at the bottom.
    dest->DC().DrawBitmap(-1, 3, *source, {1, 1, 4, 4});
    EXPECT_EQ(PixelAt(*dest, 0, 3), 0x00140A00u) << "source (2,1)";  // red 20, green 10
    EXPECT_EQ(PixelAt(*dest, 1, 5), 0x001E1E00u) << "source (3,3)";
    EXPECT_EQ(PixelAt(*dest, 2, 3), 0x00FFFFFFu) << "nothing beyond the region";
    EXPECT_EQ(PixelAt(*dest, 0, 2), 0x00FFFFFFu);

    // A region reaching outside the source copies only what exists.
    Clear(*dest, 0x00FFFFFF);
    dest->DC().DrawBitmap(0, 0, *source, {2, 2, 9, 9});
    EXPECT_EQ(PixelAt(*dest, 1, 1), 0x001E1E00u);
    EXPECT_EQ(PixelAt(*dest, 2, 2), 0x00FFFFFFu);
}

TEST(DeviceContext, TextStaysInItsCellAndMeasuresLikeArial) {
    const Font arial{"Arial", -11, RGBColor(0xFF, 0xFF, 0xFF)};
    auto dib = DibSection::Create(80, 30);
    Clear(*dib, 0);
    DeviceContext& dc = dib->DC();
    const Size extent = dc.TextExtent("Label1", arial);
    // Arial at an 11-pixel character height: a 12-pixel cell (13 with some
    // versions of Windows' hinting), "Label1" a little over 30 pixels wide.
    EXPECT_GE(extent.height, 12);
    EXPECT_LE(extent.height, 13);
    EXPECT_GT(extent.width, 25);
    EXPECT_LT(extent.width, 40);
    EXPECT_EQ(dc.TextExtent("WW", arial).width, 2 * dc.TextExtent("W", arial).width);
    EXPECT_EQ(dc.TextExtent("", arial).width, 0);

    dc.DrawString(10, 5, "Label1", arial);
    int lit = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            if ((PixelAt(*dib, x, y) & 0xFFFFFF) == 0) continue;
            ++lit;
            EXPECT_TRUE(x >= 10 && x < 10 + extent.width && y >= 5 && y < 5 + extent.height)
                << "ink outside the cell at " << x << "," << y;
        }
    EXPECT_GT(lit, 30);
}

}  // namespace
}  // namespace platform
