#include "skin/MeterArt.h"

#include "skin/Painter.h"
#include "skin/SkinPictures.h"

namespace trv4skin {

namespace {

struct Lamp {
    Rgb lit, dark;
};

constexpr Lamp kRed{{255, 36, 28}, {58, 12, 10}};
constexpr Lamp kYellow{{255, 210, 40}, {56, 46, 10}};
constexpr Lamp kGreen{{50, 232, 70}, {12, 50, 16}};

const Lamp& SegmentLamp(int segment) { return segment == 0 ? kRed : segment == 1 ? kYellow : kGreen; }

}  // namespace

void PaintMeter(toolkit::TAbstractSuperDIB& dib, bool lit, const Placement& at, int x, int y) {
    Painter paint(dib, at);
    paint.FillRect(x, y, kMeterWidth, kMeterHeight, Rgb{8, 8, 9});
    paint.FillRect(x + 1, y, kMeterWidth - 2, kMeterHeight, Rgb{3, 3, 3});
    for (int s = 0; s < kMeterSegments; ++s) {
        const Lamp& lamp = SegmentLamp(s);
        const Rgb base = lit ? lamp.lit : lamp.dark;
        const int top = y + MeterLampTop(s), width = kMeterLampRight - kMeterLampLeft + 1;
        for (int r = 0; r < kMeterLampRows; ++r) {
            // Brighter towards the middle rows, like a lens over the lamp.
            const double shade = r == 0 || r == kMeterLampRows - 1 ? 0.78 : r == 1 ? 1.0 : 0.92;
            paint.FillRect(x + kMeterLampLeft, top + r, width, 1, Scaled(base, shade));
        }
        if (lit) paint.FillRect(x + kMeterLampLeft + 1, top + 1, width - 2, 1, Mix(base, Rgb{255, 255, 255}, 0.35));
        // Rounded lamp corners.
        for (const int cx : {kMeterLampLeft, kMeterLampRight})
            for (const int cy : {0, kMeterLampRows - 1}) paint.Blend(x + cx, top + cy, Rgb{3, 3, 3}, 0.6);
    }
}

}  // namespace trv4skin
