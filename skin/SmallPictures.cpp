// The small pictures: knob pointer and body, switch lamps, meter column and
// cover, and the wave pictures.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/Modulator.h"
#include "skin/MeterArt.h"
#include "skin/Painter.h"
#include "skin/SkinPictures.h"

namespace trv4skin {

namespace {

constexpr Rgb kPointerYellow{255, 246, 188};
// The knob cap the pointer sits on; the dot's rim is mixed towards it, so no
// grey fringe shows once the key colour is cut away.
constexpr Rgb kCapEdge{58, 60, 64};

constexpr Rgb kWaveRed{255, 48, 40};
constexpr Rgb kWaveGrid{48, 14, 12};

// The random wave: a glide between held values, one per cycle, as the engine
// draws them; nine made-up values (eight glides) make a zig-zag that reads
// as random.
constexpr double kZigZag[] = {0.30, 0.85, 0.15, 0.60, 0.95, 0.05, 0.70, 0.40, 0.90};

void Finish(toolkit::TMemoryDIB& dib) {
    dib.SetAlpha(255);
    dib.Changed();
}

// Output of wave n at a fraction 0..1 of its period.
double WaveValue(int n, double fraction) {
    if (n == 10) {
        const double segments = std::size(kZigZag) - 1;
        const double at = std::clamp(fraction, 0.0, 1.0) * segments;
        const int i = std::min(static_cast<int>(at), static_cast<int>(segments) - 1);
        return kZigZag[i] + (kZigZag[i + 1] - kZigZag[i]) * (at - i);
    }
    const double phase = std::clamp(fraction, 0.0, 1.0) * 4294967296.0;
    const auto p = static_cast<uint32_t>(std::min(phase, 4294967295.0));
    return trv4::shapeValue(static_cast<trv4::Wave>(n), p);
}

// The surface of a picture w x h (logical) at its place.
void SizeFor(toolkit::TMemoryDIB& dib, const Placement& at, int w, int h) {
    dib.SetSize(static_cast<uint16_t>(at.X(w)), static_cast<uint16_t>(at.Y(h)));
}

}  // namespace

void DrawPointer(toolkit::TMemoryDIB& dib, const Placement& at) {
    SizeFor(dib, at, kPointerSize, kPointerSize);
    dib.Fill(toolkit::PixelToColor(kPointerKey));
    Painter paint(dib, at);
    const double c = kPointerSize / 2.0, radius = 3.2;
    paint.ForDisc(c, c, radius + 1, [&](const Spot& s, double d) {
        const double cover = std::clamp(radius - d + 0.5, 0.0, 1.0);
        if (cover <= 0) return;
        // A little highlight above the centre gives the dot some depth.
        const double shine = std::clamp(1 - std::hypot(s.x - c + 0.8, s.y - c + 0.8) / 2.5, 0.0, 1.0);
        const Rgb dot = Mix(kPointerYellow, Rgb{255, 255, 240}, shine);
        paint.Set(s, Mix(kCapEdge, dot, cover));
    });
    Finish(dib);
}

void DrawKnobBody(toolkit::TMemoryDIB& dib, const Placement& at) {
    SizeFor(dib, at, kKnobBodySize, kKnobBodySize);
    dib.Fill(toolkit::PixelToColor(kKnobBodyKey));
    Finish(dib);
}

void DrawSwitch(bool lit, toolkit::TMemoryDIB& dib, const Placement& at) {
    SizeFor(dib, at, kSwitchWidth, kSwitchHeight);
    Painter paint(dib, at);
    paint.VerticalGradient(0, 0, kSwitchWidth, kSwitchHeight, Rgb{22, 22, 24}, Rgb{6, 6, 7});
    paint.Bevel(0, 0, kSwitchWidth, kSwitchHeight, Rgb{52, 52, 56}, Rgb{0, 0, 0});
    // The push cap below the lamp.
    paint.FillRoundRect(5, 25, 20, 15, 3, Rgb{34, 34, 37});
    paint.FillRoundRect(6, 26, 18, 6, 2.5, Rgb{50, 50, 54}, 0.8);
    paint.Line(8, 38.5, 22, 38.5, 1, Rgb{0, 0, 0}, 0.6);

    const double cx = kLampCenterX + 0.5, cy = kLampCenterY + 0.5;
    paint.Ring(cx, cy, 6.5, 8.2, Rgb{70, 70, 74});  // chrome bezel
    paint.Ring(cx, cy, 6.5, 7.2, Rgb{120, 120, 126}, 0.5);
    if (lit) {
        paint.ForDisc(cx, cy, 6.6, [&](const Spot& s, double d) {
            const double glow = std::clamp(1 - d / 6.6, 0.0, 1.0);
            const Rgb c = Mix(Rgb{170, 10, 6}, Rgb{255, 70, 50}, glow);
            paint.Blend(s, c, std::clamp(6.6 - d + 0.5, 0.0, 1.0));
        });
        paint.FillDisc(cx - 1.6, cy - 1.8, 1.8, Rgb{255, 200, 180}, 0.8);
    } else {
        paint.FillDisc(cx, cy, 6.6, Rgb{46, 8, 7});
        paint.FillDisc(cx - 1.6, cy - 1.8, 1.6, Rgb{92, 40, 38}, 0.6);
    }
    Finish(dib);
}

void DrawMeterColumn(toolkit::TMemoryDIB& dib, const Placement& at) {
    SizeFor(dib, at, kMeterWidth, kMeterHeight);
    PaintMeter(dib, true, at);
    Finish(dib);
}

void DrawMeterCover(toolkit::TMemoryDIB& dib, const Placement& at) {
    SizeFor(dib, at, kMeterWidth, kMeterHeight);
    PaintMeter(dib, false, at);
    Finish(dib);
}

void DrawWave(int n, toolkit::TMemoryDIB& dib, const Placement& at) {
    SizeFor(dib, at, kWaveWidth, kWaveHeight);
    dib.Fill(0);
    Painter paint(dib, at);
    if (n >= 1 && n <= kWaveCount) {
        // A faint graticule: the middle line and the quarter marks.
        const double midY = (kWavePlotTop + kWavePlotBottom) / 2.0 + 0.5;
        for (int x = kWavePlotLeft; x <= kWavePlotRight; x += 2) paint.Blend(x, static_cast<int>(midY), kWaveGrid, 1);
        for (int q = 0; q <= 4; ++q) {
            const int x = kWavePlotLeft + q * (kWavePlotRight - kWavePlotLeft) / 4;
            for (int y = kWavePlotTop; y <= kWavePlotBottom; y += 2) paint.Blend(x, y, kWaveGrid, 1);
        }
        // The curve through pixel centres: x = left..right spans one period,
        // sampled finely so steep flanks stay joined.
        const double span = kWavePlotRight - kWavePlotLeft;
        const double bottom = kWavePlotBottom + 0.5, height = kWavePlotBottom - kWavePlotTop;
        constexpr int kSteps = 8;
        const int samples = static_cast<int>(span) * kSteps;
        std::vector<double> ys(samples + 1);
        for (int i = 0; i <= samples; ++i) ys[i] = bottom - height * WaveValue(n, i / double(samples));
        for (int i = 0; i < samples; ++i)
            paint.Line(kWavePlotLeft + 0.5 + i * span / samples, ys[i], kWavePlotLeft + 0.5 + (i + 1) * span / samples,
                       ys[i + 1], 1.6, kWaveRed);
    }
    Finish(dib);
}

}  // namespace trv4skin
