// The meter column: nine lamp segments of 7 rows each (a dark separator row,
// then six lamp rows), one dark row below; from the top one red, one yellow
// and seven green. The editor's cover is the same column with every lamp
// dark, shortened from the bottom to light segments.
// Window thread only.
#pragma once

#include "toolkit/cDIB.h"
#include "skin/Painter.h"

namespace trv4skin {

constexpr int kMeterSegments = 9;
constexpr int kMeterSegmentRows = 7;
// Rows of segment i (0 = top, red) in the column: its first lamp row and
// the number of lamp rows.
constexpr int MeterLampTop(int segment) { return segment * kMeterSegmentRows + 1; }
constexpr int kMeterLampRows = kMeterSegmentRows - 1;
// Lamp columns of the 17-pixel column.
constexpr int kMeterLampLeft = 3, kMeterLampRight = 13;

// Draws the 17 x 64 column at logical (x, y) of the surface placed at `at`,
// lamps lit or dark.
void PaintMeter(toolkit::TAbstractSuperDIB& dib, bool lit, const Placement& at, int x = 0, int y = 0);

}  // namespace trv4skin
