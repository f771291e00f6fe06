// The sine used by the modulator shapes. Our own routine rather than the C
// library's, so that every build (Linux, both Windows targets) and both the
// scalar and the block-wise modulator code give the same bits for the same
// phase. Pure function, any thread.
#pragma once

#include <algorithm>

namespace trv4 {

// sin(a) for a in [-pi/2 - 1e-9, 5pi/2 + 1e-9], the range the modulators use
// (theta -/+ 1.5707963268 with theta in [0, 2pi)). Absolute error below 1e-13.
//
// Folding: above 3pi/2 subtract 2pi, then sin(a) = sin(pi - a) maps
// (pi/2, 3pi/2] onto [-pi/2, pi/2), so r = min(a, pi - a) always lies in
// [-pi/2, pi/2]. There the odd Taylor series up to r^17 is accurate to
// (pi/2)^19 / 19! = 4.4e-14.
inline double modulatorSine(double a) {
    constexpr double kPi = 3.141592653589793;
    constexpr double kTwoPi = 6.283185307179586;
    constexpr double kThreeHalfPi = 4.71238898038469;
    if (a > kThreeHalfPi) a -= kTwoPi;
    const double r = std::min(a, kPi - a);
    const double r2 = r * r;
    double p = 1.0 / 355687428096000.0;  // 1/17!
    p = p * r2 - 1.0 / 1307674368000.0;  // 1/15!
    p = p * r2 + 1.0 / 6227020800.0;     // 1/13!
    p = p * r2 - 1.0 / 39916800.0;       // 1/11!
    p = p * r2 + 1.0 / 362880.0;         // 1/9!
    p = p * r2 - 1.0 / 5040.0;           // 1/7!
    p = p * r2 + 1.0 / 120.0;            // 1/5!
    p = p * r2 - 1.0 / 6.0;              // 1/3!
    return r + (r * r2) * p;
}

}  // namespace trv4
