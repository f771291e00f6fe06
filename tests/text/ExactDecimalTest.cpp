// ExactDecimal and TextWriter: rounding on the exact binary value, far past
// the 17 digits that identify a double, and the bounded text.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "text/ExactDecimal.h"
#include "text/TextWriter.h"

namespace trv4 {
namespace {

TEST(ExactDecimal, RoundsTheExactValueHalvesAwayFromZero) {
    const struct {
        double v;
        int decimals;
        uint64_t rounded;
    } cases[] = {
        {0.125, 2, 13},                             // exact in binary: a true half rounds away
        {2.675, 2, 267},                            // held as 2.67499999999999982...
        {0.0055, 3, 5},                             // held as 0.00549999999999999968...; 0.0055 * 1000 in double is 5.5
        {4514042318218611.0, 0, 4514042318218611},  // odd, near 2^52: adding 0.5 in double rounds to even
        {0.0005, 3, 1},                             // held just above the half, no digit before it
        {0.00049, 3, 0},
        {1234.5678, -2, 12},  // hundreds
        {9.5, 0, 10},         // a carry into a new digit
        {1e22, -4, 1000000000000000000u},
        {-2.5, 0, 3},  // the digits are those of |v|
        {0.0, 5, 0},
        {std::numeric_limits<double>::denorm_min(), 330, 4940656},  // 4.940656458...e-324
    };
    for (const auto& c : cases) EXPECT_EQ(ExactDecimal(c.v).rounded(c.decimals), c.rounded) << c.v << " " << c.decimals;
}

TEST(ExactDecimal, SignExponentAndTheFloatsLongestExpansion) {
    EXPECT_EQ(ExactDecimal(1e22).exponent(), 22);
    EXPECT_EQ(ExactDecimal(0.095).exponent(), -2);
    EXPECT_EQ(ExactDecimal(std::numeric_limits<double>::denorm_min()).exponent(), -324);
    EXPECT_EQ(ExactDecimal(0.0).exponent(), 0);
    EXPECT_TRUE(ExactDecimal(-0.0).negative());
    EXPECT_FALSE(ExactDecimal(3.0f).negative());
    // 1.40129846432481707092...e-45, the smallest float: digits 18 and 19
    // lie far beyond its shortest form "1e-45".
    const ExactDecimal tiny(std::numeric_limits<float>::denorm_min());
    EXPECT_EQ(tiny.exponent(), -45);
    EXPECT_EQ(tiny.rounded(63), 1401298464324817071u);
}

TEST(TextWriter, DecimalsWithLeadingZerosAndTheCapacityKept) {
    char text[25];
    TextWriter wide(text, sizeof text);
    wide.putDecimal(7, 3);
    wide.put('|');
    wide.putDecimal(std::numeric_limits<uint64_t>::max());
    EXPECT_STREQ(text, "007|18446744073709551615");
    EXPECT_EQ(wide.length(), 24);

    char small[5];
    TextWriter narrow(small, sizeof small);
    narrow.put("abc");
    narrow.putDecimal(12345);
    EXPECT_STREQ(small, "abc1");
    EXPECT_EQ(narrow.length(), 4);
}

}  // namespace
}  // namespace trv4
