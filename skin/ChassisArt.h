// The graphic layers of the chassis, drawn before its text: the brushed
// panel with its plates, the knobs and their scales, the switch bezels, the
// read-out boxes, the meter column, the icons and the logo's emblem.
// Window thread only.
#pragma once

#include "toolkit/cDIB.h"
#include "skin/Painter.h"

namespace trv4skin {

// Colours shared with the text layer.
constexpr Rgb kCaption{214, 214, 206};
constexpr Rgb kUnitCaption{160, 162, 160};
constexpr Rgb kAccent{232, 72, 48};
constexpr Rgb kReadoutBox{0, 0, 0};

void PaintPanel(Painter& paint);
void PaintKnobs(Painter& paint);
void PaintSwitchBezels(Painter& paint);
void PaintReadoutBoxes(Painter& paint);
void PaintMeterWell(toolkit::TAbstractSuperDIB& dib, const Placement& at);
void PaintWaveWindows(Painter& paint);
void PaintIcons(Painter& paint);
void PaintLogo(Painter& paint);

// The point at distance r from (cx, cy) at `degrees` clockwise from 12 o'clock.
struct PointF {
    double x, y;
};
PointF OnDial(double cx, double cy, double r, double degrees);

}  // namespace trv4skin
