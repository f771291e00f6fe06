// Window surfaces: pixels in a bitmap section, drawing through its context
// and rendering to another context.
#include <gtest/gtest.h>

#include "tests/toolkit/DIBTestSupport.h"
#include "toolkit/cDIBWin.h"

namespace toolkit::test {
namespace {

TEST(DIBWin, SectionHoldsThePixelsAndRenders) {
    TWinDIB main(8, 6), screen(8, 6);
    EXPECT_STREQ(main.ClassName(), "TWinDIB");
    ASSERT_NE(main.DC(), nullptr);
    TMemoryDIB knob(2, 2);
    FillAll(knob, BGRA(10, 20, 30, 255));
    knob.Draw(main, 3, 1);
    // Platform drawing into the context lands in the same pixels.
    main.DC()->FillRect({0, 5, 2, 6}, platform::RGBColor(0xFF, 0, 0));
    EXPECT_EQ(R(main.Pixel(1, 5)), 0xFF);
    screen.Fill(0);
    main.Render(*screen.DC(), 1, 0, {2, 0, 6, 6});
    EXPECT_EQ(screen.Pixel(2, 1), BGRA(10, 20, 30, 255));  // main (3, 1)
    EXPECT_EQ(screen.Pixel(5, 5), 0u);
    // A view of a memory surface has no context and renders nothing.
    TWinDIB view;
    view.MakeViewOf(knob);
    EXPECT_EQ(view.DC(), nullptr);
    view.Render(*screen.DC(), 0, 0, {0, 0, 2, 2});
    EXPECT_EQ(screen.Pixel(0, 0), 0u);
}

}  // namespace
}  // namespace toolkit::test
