// Rotation support of the surfaces: the fixed-point sine and cosine tables.
//
// Four tables of 360 000 entries, one per thousandth of a degree, each the
// value times 65536 rounded up: sin x, cos x, sin(x + 90 deg) and
// cos(x + 90 deg). A rotation steps along a target row with (sin, cos) and
// from row to row with the quarter-turned pair, so both steps come from the
// tables exactly as stored. Built once, on first use, then only read.
//
// Window thread only (the one-time build is thread-safe).
#pragma once

#include <cstdint>

namespace toolkit {

struct TDIBTrigTables {
    static constexpr int kSize = 360000;
    int32_t Sin[kSize];
    int32_t Cos[kSize];
    int32_t SinQuarter[kSize];
    int32_t CosQuarter[kSize];
};

const TDIBTrigTables& TrigTables();

// Trunc(angle * 1000) for an angle in [0, 360).
int TrigIndex(long double degrees);

}  // namespace toolkit
