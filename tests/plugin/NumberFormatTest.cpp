// num(): the display texts' number format, against the documented examples
// and against a reference that rounds the exact float32 value in long double.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "plugin/NumberFormat.h"

namespace {

std::string num(float v) { return trv4::num(v).text; }

// Reference: scale |v| by a power of ten into [100, 1000), round halves up,
// then write the rounded value q * 10^-s by the fixed / scientific rule. The
// powers 10^0..10^27 are exact in long double and the single product or
// quotient stays far closer than 2^-60 (relative) to the true value for
// 1e-7 <= |v| < 1e9, while a float32 there is never that close to a rounding
// boundary it is not on: the decision is exact in that range.
std::string referenceNum(float v) {
    if (v == 0) return "0";
    long double powers[28];
    powers[0] = 1;
    for (int i = 1; i < 28; ++i) powers[i] = powers[i - 1] * 10;

    const long double x = std::fabs(static_cast<long double>(v));
    auto scaled = [&](int s) { return s >= 0 ? x * powers[s] : x / powers[-s]; };
    int s = 0;
    while (scaled(s) < 100) ++s;
    while (scaled(s) >= 1000) --s;
    const long double y = scaled(s);
    long long q = static_cast<long long>(std::floor(y));
    if (y - q >= 0.5L) ++q;
    if (q == 1000) {
        q = 100;
        --s;
    }

    std::string out = v < 0 ? "-" : "";
    if (s >= 0 && s <= 6) {
        // Fixed: integer part and up to s decimals, trailing zeros dropped.
        long long unit = 1;
        for (int i = 0; i < s; ++i) unit *= 10;
        std::string decimals = std::to_string(q % unit + unit).substr(1);
        if (s == 0) decimals.clear();
        while (!decimals.empty() && decimals.back() == '0') decimals.pop_back();
        out += std::to_string(q / unit);
        if (!decimals.empty()) out += "." + decimals;
    } else {
        // Scientific: q = d1 d2 d3, value d1.d2d3 * 10^(2 - s).
        out += std::to_string(q / 100);
        std::string rest = std::to_string(q % 100 + 100).substr(1);
        while (!rest.empty() && rest.back() == '0') rest.pop_back();
        if (!rest.empty()) out += "." + rest;
        char exponent[16];
        std::snprintf(exponent, sizeof exponent, "E%c%03d", s < 0 ? '+' : '-', s < 0 ? 2 - s : s - 2);
        out += exponent;
    }
    return out;
}

TEST(NumberFormat, DocumentedExamples) {
    const struct {
        float v;
        const char* text;
    } cases[] = {
        {14.03f, "14"},     {0.05f, "0.05"},         {5.477f, "5.48"},          {600.0f, "600"},
        {999.6f, "1E+003"}, {2000.0f, "2E+003"},     {6324.6f, "6.32E+003"},    {20000.0f, "2E+004"},
        {-50.0f, "-50"},    {0.000123f, "0.000123"}, {0.0000123f, "1.23E-005"}, {2.3841858e-7f, "2.38E-007"},
    };
    for (const auto& c : cases) EXPECT_EQ(num(c.v), c.text) << c.v;
}

TEST(NumberFormat, EdgesOfTheFixedRange) {
    EXPECT_EQ(num(0.0f), "0");
    EXPECT_EQ(num(-0.0f), "0");
    EXPECT_EQ(num(999.0f), "999");
    EXPECT_EQ(num(999.4f), "999");
    EXPECT_EQ(num(999.5f), "1E+003");  // a tie rounds away from zero
    EXPECT_EQ(num(1000.0f), "1E+003");
    EXPECT_EQ(num(0.0001f), "0.0001");  // held as 9.99999975e-5: rounds up into fixed
    EXPECT_EQ(num(0.0000999f), "9.99E-005");
    EXPECT_EQ(num(-0.0000123f), "-1.23E-005");
    EXPECT_EQ(num(-999.6f), "-1E+003");
    EXPECT_EQ(num(1.125f), "1.13");    // exact tie
    EXPECT_EQ(num(-2.375f), "-2.38");  // exact tie, negative
    EXPECT_EQ(num(100.5f), "101");
    EXPECT_EQ(num(0.03125f), "0.0313");
    EXPECT_EQ(num(1.0f), "1");
    EXPECT_EQ(num(10.0f), "10");
    EXPECT_EQ(num(0.1f), "0.1");
}

TEST(NumberFormat, WholeFloatRange) {
    EXPECT_EQ(num(std::numeric_limits<float>::max()), "3.4E+038");
    EXPECT_EQ(num(std::numeric_limits<float>::lowest()), "-3.4E+038");
    EXPECT_EQ(num(std::numeric_limits<float>::min()), "1.18E-038");
    EXPECT_EQ(num(std::numeric_limits<float>::denorm_min()), "1.4E-045");
    EXPECT_EQ(num(1e30f), "1E+030");
    EXPECT_EQ(num(std::numeric_limits<float>::infinity()), "INF");
    EXPECT_EQ(num(-std::numeric_limits<float>::infinity()), "-INF");
    EXPECT_EQ(num(std::numeric_limits<float>::quiet_NaN()), "NAN");
}

TEST(NumberFormat, SweepAgainstExactRounding) {
    std::vector<float> values;
    // Geometric sweep over 14 decades.
    for (double v = 1e-7; v < 1e7; v *= 1.0007) values.push_back(static_cast<float>(v));
    // Dyadic values: every tie of the fourth digit that float32 can hold
    // exactly in this range is among them.
    for (int m = 1; m <= 4096; ++m)
        for (int j = 0; j <= 12; ++j) values.push_back(std::ldexp(static_cast<float>(m), -j));
    // Neighbours of the rounding carries and notation switches.
    for (float edge :
         {0.0001f, 0.00099995f, 0.0009995f, 0.009995f, 0.09995f, 0.9995f, 9.995f, 99.95f, 999.5f, 9995.0f, 1000.0f}) {
        float v = edge;
        for (int i = 0; i < 64; ++i) v = std::nextafter(v, 0.0f);
        for (int i = 0; i < 128; ++i, v = std::nextafter(v, 1e9f)) values.push_back(v);
    }
    int failures = 0;
    for (float v : values) {
        for (float signedV : {v, -v}) {
            const std::string expected = referenceNum(signedV);
            if (num(signedV) != expected && ++failures <= 20)
                ADD_FAILURE() << "num(" << signedV << ") = " << num(signedV) << ", expected " << expected;
        }
    }
    EXPECT_EQ(failures, 0) << "of " << 2 * values.size() << " values";
}

TEST(NumberFormat, IgnoresTheProcessLocale) {
    // A host may run with a locale whose decimal separator is a comma.
    const char* candidates[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252", "German"};
    std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* active = nullptr;
    for (const char* name : candidates)
        if ((active = std::setlocale(LC_ALL, name))) break;
    if (!active) GTEST_SKIP() << "no locale with a decimal comma on this system";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    const std::string small = num(0.05f), large = num(6324.6f), negative = num(-9.54e-7f);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(small, "0.05");
    EXPECT_EQ(large, "6.32E+003");
    EXPECT_EQ(negative, "-9.54E-007");
}

}  // namespace
