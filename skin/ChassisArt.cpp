#include "skin/ChassisArt.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "skin/MeterArt.h"
#include "skin/SkinLayout.h"
#include "skin/SkinPictures.h"

namespace trv4skin {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A fixed-seed generator, so the brushed texture is the same at every draw.
class Noise {
public:
    double Next() {  // -1..1
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 40) / static_cast<double>(1ULL << 23) - 1;
    }

private:
    uint64_t state_ = 0x7472763473ULL;
};

struct Plate {
    int x, y, w, h;
};

constexpr Plate kPlates[] = {
    {8, 58, 618, 103},    // delay and output
    {8, 164, 618, 100},   // modulator 1
    {8, 267, 618, 99},    // modulator 2
    {632, 58, 115, 308},  // feedback
};

// Brushed metal: each row a little lighter or darker than its neighbours,
// with fine grain along it.
// Drawn per physical pixel, so a magnified panel has a fine grain too.
void Brush(Painter& paint, int x, int y, int w, int h, Rgb top, Rgb bottom, double streak, double grain) {
    const Placement& at = paint.At();
    const int left = at.X(x), rows = at.Y(y + h) - at.Y(y), columns = at.X(x + w) - left, top0 = at.Y(y);
    Noise noise;
    double row = 0;
    for (int py = 0; py < rows; ++py) {
        row = row * 0.6 + noise.Next() * 0.4;
        const Rgb base = Mix(top, bottom, rows > 1 ? py / (rows - 1.0) : 0);
        double run = 0;
        paint.SetRun(top0 + py, left, left + columns, [&](int) {
            run = run * 0.85 + noise.Next() * 0.15;
            const double d = row * streak + run * grain;
            return Rgb{base.r + d, base.g + d, base.b + d * 1.1};
        });
    }
}

void Screw(Painter& paint, double cx, double cy) {
    paint.FillDisc(cx + 0.6, cy + 0.8, 4.2, Rgb{0, 0, 0}, 0.5);
    paint.FillDisc(cx, cy, 4, Rgb{112, 114, 118});
    paint.FillDisc(cx - 0.6, cy - 0.6, 2.8, Rgb{150, 152, 156}, 0.6);
    paint.Line(cx - 2.6, cy + 1.6, cx + 2.6, cy - 1.6, 1.2, Rgb{40, 40, 44});
}

void Knob(Painter& paint, double cx, double cy) {
    for (int i = 0; i < 4; ++i) paint.FillDisc(cx + 1.5, cy + 2.5, 25.5 - i, Rgb{0, 0, 0}, 0.18);
    paint.FillDisc(cx, cy, 24.5, Rgb{14, 14, 16});
    // The cap: lit from the upper left, with a knurled rim.
    paint.ForDisc(cx, cy, 23.5, [&](const Spot& s, double d) {
        const double cover = std::clamp(23.5 - d + 0.5, 0.0, 1.0);
        if (cover <= 0) return;
        const double dx = s.x - cx, dy = s.y - cy;
        const double light = std::clamp(0.5 - (dx + dy) / 60.0, 0.0, 1.0);
        Rgb c = Mix(Rgb{44, 46, 50}, Rgb{84, 86, 92}, light);
        if (d > 20.5) {
            const double ridge = 0.5 + 0.5 * std::cos(std::atan2(dy, dx) * 36);
            c = Scaled(c, 0.8 + 0.25 * ridge);
        } else if (d < 15) {
            // Turned top face: fine concentric rings.
            const double rings = std::sin(d * 3.1) * 2.5;
            c = Mix(Rgb{64, 66, 71}, Rgb{98, 100, 106}, light);
            c = Rgb{c.r + rings, c.g + rings, c.b + rings};
        }
        paint.Blend(s, c, cover);
    });
    paint.Ring(cx, cy, 14.6, 15.4, Rgb{30, 30, 34}, 0.7);
    paint.Ring(cx, cy, 15.4, 16.0, Rgb{120, 122, 128}, 0.25);
    paint.Ring(cx, cy, 23.0, 24.2, Rgb{10, 10, 12}, 0.5);
    // Soft specular highlight on the upper left of the top face.
    paint.ForDisc(cx - 5, cy - 6, 9, [&](const Spot& s, double d) {
        if (std::hypot(s.x - cx, s.y - cy) < 14.5) paint.Blend(s, Rgb{180, 184, 192}, 0.22 * std::max(0.0, 1 - d / 9));
    });
}

void Scale(Painter& paint, double cx, double cy, int steps) {
    for (int i = 0; i <= steps; ++i) {
        const double angle = kTravelStart + kTravelRange * i / steps;
        const bool major = steps == 10 || i % 2 == 0;
        const PointF a = OnDial(cx, cy, kScaleInner, angle);
        const PointF b = OnDial(cx, cy, major ? kScaleOuter : kScaleInner + 2.5, angle);
        paint.Line(a.x, a.y, b.x, b.y, major ? 1.5 : 1.0, major ? Rgb{206, 206, 200} : Rgb{140, 140, 136});
    }
}

}  // namespace

PointF OnDial(double cx, double cy, double r, double degrees) {
    const double a = degrees * kPi / 180;
    return {cx + r * std::sin(a), cy - r * std::cos(a)};
}

void PaintPanel(Painter& paint) {
    Brush(paint, 0, 0, kChassisWidth, kChassisHeight, Rgb{60, 62, 66}, Rgb{42, 44, 48}, 5, 3);
    // The header strip with the logo and the icons.
    paint.VerticalGradient(0, 0, kChassisWidth, 55, Rgb{30, 31, 34}, Rgb{20, 21, 23});
    paint.FillRect(0, 55, kChassisWidth, 1, Rgb{90, 92, 96});
    paint.FillRect(0, 56, kChassisWidth, 1, Rgb{8, 8, 9});
    for (const Plate& p : kPlates) {
        paint.FillRoundRect(p.x, p.y, p.w, p.h, 4, Rgb{20, 21, 24}, 0.35);
        paint.FillRoundRect(p.x + 1, p.y + 1, p.w - 2, p.h - 2, 3.5, Rgb{36, 38, 42}, 0.55);
        paint.FillRect(p.x + 4, p.y + p.h - 1, p.w - 8, 1, Rgb{110, 112, 116}, 0.5);
        paint.FillRect(p.x + 4, p.y, p.w - 8, 1, Rgb{10, 10, 12}, 0.6);
    }
    for (const PointF s : {PointF{4.5, 361.5}, PointF{627.5, 361.5}, PointF{750.5, 361.5}, PointF{627.5, 61.5}})
        Screw(paint, s.x, s.y);
}

void PaintKnobs(Painter& paint) {
    for (const KnobPlace& k : kKnobPlaces) {
        const double cx = k.left + kKnobSize / 2.0, cy = k.top + kKnobSize / 2.0;
        Scale(paint, cx, cy, k.wave ? 10 : 20);
        Knob(paint, cx, cy);
    }
}

void PaintSwitchBezels(Painter& paint) {
    for (const SwitchPlace& s : kSwitchPlaces) {
        paint.FillRoundRect(s.left - 4, s.top - 4, kSwitchWidth + 8, kSwitchHeight + 8, 4, Rgb{0, 0, 0}, 0.5);
        paint.FillRoundRect(s.left - 3, s.top - 3, kSwitchWidth + 6, kSwitchHeight + 6, 3, Rgb{70, 72, 76});
        paint.FillRoundRect(s.left - 2, s.top - 2, kSwitchWidth + 4, kSwitchHeight + 4, 2.5, Rgb{26, 27, 30});
        paint.FillRect(s.left, s.top, kSwitchWidth, kSwitchHeight, Rgb{0, 0, 0});
    }
}

void PaintReadoutBoxes(Painter& paint) {
    for (const ReadoutPlace& r : kReadoutPlaces) {
        const int x = r.left - kReadoutPadLeft, y = r.top - kReadoutPadTop;
        paint.Bevel(x - 1, y - 1, kReadoutBoxWidth + 2, kReadoutBoxHeight + 2, Rgb{12, 12, 14}, Rgb{112, 114, 118});
        paint.FillRect(x, y, kReadoutBoxWidth, kReadoutBoxHeight, kReadoutBox);
    }
}

void PaintMeterWell(toolkit::TAbstractSuperDIB& dib, const Placement& at) {
    Painter paint(dib, at);
    paint.FillRoundRect(kMeterLeft - 3, kMeterTop - 3, kMeterWidth + 6, kMeterHeight + 6, 3, Rgb{70, 72, 76});
    paint.FillRect(kMeterLeft - 2, kMeterTop - 2, kMeterWidth + 4, kMeterHeight + 4, Rgb{4, 4, 5});
    PaintMeter(dib, true, at, kMeterLeft, kMeterTop);
}

void PaintWaveWindows(Painter& paint) {
    for (const int top : kWaveTops) {
        paint.FillRoundRect(kWaveLeft - 3, top - 3, kWaveWidth + 6, kWaveHeight + 6, 3, Rgb{70, 72, 76});
        paint.FillRect(kWaveLeft - 2, top - 2, kWaveWidth + 4, kWaveHeight + 4, Rgb{10, 10, 12});
        paint.FillRect(kWaveLeft, top, kWaveWidth, kWaveHeight, Rgb{0, 0, 0});
    }
}

void PaintIcons(Painter& paint) {
    for (const int left : {kManualLeft, kAboutLeft}) {
        paint.FillRoundRect(left + 1, kIconTop + 2, kIconSize, kIconSize, 6, Rgb{0, 0, 0}, 0.6);
        paint.FillRoundRect(left, kIconTop, kIconSize, kIconSize, 6, Rgb{78, 80, 86});
        for (int y = 1; y < kIconSize - 1; ++y)
            paint.FillRect(left + 1, kIconTop + y, kIconSize - 2, 1,
                           Mix(Rgb{70, 72, 78}, Rgb{38, 40, 44}, y / (kIconSize - 2.0)));
    }
    // Manual: a page with a folded corner and lines of text.
    const Rgb page{226, 224, 214}, ink{96, 98, 104}, crease{150, 150, 144};
    constexpr int px = kManualLeft + 11, py = kIconTop + 7, pw = 18, ph = 26, fold = 6;
    paint.FillRect(px, py + fold, pw, ph - fold, page);
    paint.FillRect(px, py, pw - fold, fold, page);
    for (int i = 0; i < fold; ++i) paint.FillRect(px + pw - fold, py + i, i, 1, page);
    paint.FillRect(px + pw - fold, py, 1, fold, crease);
    paint.FillRect(px + pw - fold, py + fold - 1, fold, 1, crease);
    for (int l = 0; l < 6; ++l) {
        const int right = l == 0 ? px + pw - fold - 2 : l == 5 ? px + 11 : px + pw - 3;
        paint.FillRect(px + 3, py + 5 + l * 3 + l / 2, right - px - 3, 1, ink);
    }
    // About: an "i" in a ring.
    const double ax = kAboutLeft + 20, ay = kIconTop + 20;
    paint.Ring(ax, ay, 11.5, 13.5, page);
    paint.FillDisc(ax, ay - 6, 1.9, page);
    paint.Line(ax, ay - 1.5, ax, ay + 7, 3.2, page);
    paint.Line(ax - 2.5, ay + 7.5, ax + 2.5, ay + 7.5, 1.4, page);
    paint.Line(ax - 2.5, ay - 1.5, ax + 0.5, ay - 1.5, 1.4, page);
}

void PaintLogo(Painter& paint) {
    paint.FillRoundRect(kLogoLeft, kLogoTop, kLogoWidth, kLogoHeight, 5, Rgb{14, 14, 16});
    paint.FillRoundRect(kLogoLeft + 1, kLogoTop + 1, kLogoWidth - 2, kLogoHeight - 2, 4.5, Rgb{24, 25, 28});
    paint.FillRect(kLogoLeft + 8, kLogoTop + 33, kLogoWidth - 16, 1, kAccent);
}

}  // namespace trv4skin
