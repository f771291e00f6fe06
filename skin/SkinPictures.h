// The editor's artwork, drawn by code: every picture the editor window shows
// (the chassis, the knob pointer and body, the switch lamps, the meter cover
// and the wave pictures), each into a 32-bit surface of its fixed size.
//
// Every function sets the surface to its picture's size (magnified by the
// Placement's scale, for the picture's place in the editor window; the sizes
// below are those at 100 %), draws the whole
// picture (alpha 255 everywhere) and fires the surface's change event. The
// results depend on nothing but the code: drawing twice gives the same
// pixels. Called on the window thread (at start-up, or by the trv4-skin tool
// at build time); the text of the chassis goes through the platform's text
// drawing, which is not thread-safe across windows.
#pragma once

#include <cstdint>

#include "toolkit/cDIB.h"
#include "skin/Painter.h"

namespace trv4skin {

// Sizes in pixels.
constexpr int kChassisWidth = 755, kChassisHeight = 370;
constexpr int kPointerSize = 10;
constexpr int kKnobBodySize = 49;
constexpr int kSwitchWidth = 30, kSwitchHeight = 45;
constexpr int kMeterWidth = 17, kMeterHeight = 64;
constexpr int kWaveWidth = 60, kWaveHeight = 40;
constexpr int kWaveCount = 10;  // pictures 1..10; wave 0 (off) has none

// Key colours of the two transparent images, as pixels 0x00RRGGBB.
constexpr uint32_t kPointerKey = 0x666666;  // RGB(102, 102, 102)
constexpr uint32_t kKnobBodyKey = 0x000000;

// The lamp of a switch picture, in its own coordinates.
constexpr int kLampCenterX = 15, kLampCenterY = 13;

// The plot area of a wave picture: phase 0 at the left column, one whole
// period across to the right column; output 0 on the bottom row, 1 on the
// top row (inclusive coordinates, top-down).
constexpr int kWavePlotLeft = 2, kWavePlotRight = 58;
constexpr int kWavePlotTop = 5, kWavePlotBottom = 34;

// 755 x 370, opaque: the whole panel with knob bodies, scales, captions,
// read-out boxes, the lit meter column, icons and logo. Raises
// platform::SystemError when the system cannot create the bitmap section the
// text is drawn in; a caller on the host's path catches it.
void DrawChassis(toolkit::TMemoryDIB& dib, const Placement& at = {});
// 10 x 10: a pale yellow dot on the key grey.
void DrawPointer(toolkit::TMemoryDIB& dib, const Placement& at = {});
// 49 x 49: every pixel the key colour black, so only the pointer shows over
// the knob the chassis already holds.
void DrawKnobBody(toolkit::TMemoryDIB& dib, const Placement& at = {});
// 30 x 45: a black switch with its lamp lit red or dark.
void DrawSwitch(bool lit, toolkit::TMemoryDIB& dib, const Placement& at = {});
// 17 x 64: the meter column with every segment dark.
void DrawMeterCover(toolkit::TMemoryDIB& dib, const Placement& at = {});
// 17 x 64: the lit meter column, as the chassis holds it at the meter's place.
void DrawMeterColumn(toolkit::TMemoryDIB& dib, const Placement& at = {});
// 60 x 40: one period of wave n (1..10) as a red line on black. Any other n
// gives a black picture.
void DrawWave(int n, toolkit::TMemoryDIB& dib, const Placement& at = {});

}  // namespace trv4skin
