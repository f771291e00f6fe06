#include "skin/Painter.h"

#include <algorithm>
#include <cmath>

namespace trv4skin {

namespace {

uint32_t Channel(double v) { return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L)); }

// Coverage of a pixel whose centre lies `inside` pixels within an edge.
double Coverage(double inside) { return std::clamp(inside + 0.5, 0.0, 1.0); }

}  // namespace

uint32_t ToPixel(Rgb c) { return 0xFF000000u | Channel(c.r) << 16 | Channel(c.g) << 8 | Channel(c.b); }

Rgb FromPixel(uint32_t p) {
    return {static_cast<double>((p >> 16) & 0xFF), static_cast<double>((p >> 8) & 0xFF), static_cast<double>(p & 0xFF)};
}

double Placement::LogicalX(int px) const {
    if (scale.IsIdentity()) return px + 0.5;
    return (px + scale.ToPhysical(left) + 0.5) * 100.0 / scale.percent - left;
}

double Placement::LogicalY(int py) const {
    if (scale.IsIdentity()) return py + 0.5;
    return (py + scale.ToPhysical(top) + 0.5) * 100.0 / scale.percent - top;
}

void Painter::BlendPhysical(int px, int py, Rgb c, double weight) {
    if (px < 0 || py < 0 || px >= dib_.Width() || py >= dib_.Height() || weight <= 0) return;
    SetPhysical(px, py, weight >= 1 ? c : Mix(FromPixel(dib_.Pixel(px, py)), c, weight));
}

void Painter::FillRect(int x, int y, int w, int h, Rgb c, double weight) {
    const int right = at_.X(x + w), bottom = at_.Y(y + h);
    for (int py = at_.Y(y); py < bottom; ++py)
        for (int px = at_.X(x); px < right; ++px) BlendPhysical(px, py, c, weight);
}

void Painter::VerticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom) {
    const int left = at_.X(x), right = at_.X(x + w), y0 = at_.Y(y), rows = at_.Y(y + h) - y0;
    for (int r = 0; r < rows; ++r) {
        const Rgb c = Mix(top, bottom, rows > 1 ? r / (rows - 1.0) : 0);
        for (int px = left; px < right; ++px) BlendPhysical(px, y0 + r, c, 1);
    }
}

void Painter::Bevel(int x, int y, int w, int h, Rgb light, Rgb dark, double weight) {
    FillRect(x, y, w, 1, light, weight);
    FillRect(x, y + 1, 1, h - 1, light, weight);
    FillRect(x + 1, y + h - 1, w - 1, 1, dark, weight);
    FillRect(x + w - 1, y + 1, 1, h - 2, dark, weight);
}

// The shapes below work in physical pixels throughout, so their edges are
// anti-aliased over one physical pixel at every magnification.

void Painter::FillRoundRect(double lx, double ly, double lw, double lh, double lradius, Rgb c, double weight) {
    const double m = at_.scale.Length(1.0);
    const double x = at_.X(lx), y = at_.Y(ly), w = lw * m, h = lh * m, radius = lradius * m;
    const int x0 = static_cast<int>(std::floor(x)), x1 = static_cast<int>(std::ceil(x + w));
    const int y0 = static_cast<int>(std::floor(y)), y1 = static_cast<int>(std::ceil(y + h));
    for (int py = y0; py < y1; ++py)
        for (int px = x0; px < x1; ++px) {
            // Distance inside the rounded outline, by the nearest corner centre.
            const double qx = std::max({x + radius - (px + 0.5), px + 0.5 - (x + w - radius), 0.0});
            const double qy = std::max({y + radius - (py + 0.5), py + 0.5 - (y + h - radius), 0.0});
            const double edge = std::min({px + 0.5 - x, x + w - (px + 0.5), py + 0.5 - y, y + h - (py + 0.5)});
            const double inside = (qx > 0 && qy > 0) ? radius - std::hypot(qx, qy) : edge;
            BlendPhysical(px, py, c, weight * Coverage(inside));
        }
}

void Painter::FillDisc(double cx, double cy, double radius, Rgb c, double weight) {
    const double m = at_.scale.Length(1.0);
    ForDisc(cx, cy, radius, [&](const Spot& s, double d) { Blend(s, c, weight * Coverage((radius - d) * m)); });
}

void Painter::Ring(double cx, double cy, double inner, double outer, Rgb c, double weight) {
    const double m = at_.scale.Length(1.0);
    ForDisc(cx, cy, outer, [&](const Spot& s, double d) {
        Blend(s, c, weight * std::min(Coverage((outer - d) * m), Coverage((d - inner) * m)));
    });
}

void Painter::Line(double lx0, double ly0, double lx1, double ly1, double lwidth, Rgb c, double weight) {
    const double x0 = at_.X(lx0), y0 = at_.Y(ly0), x1 = at_.X(lx1), y1 = at_.Y(ly1);
    const double half = at_.scale.Length(lwidth) / 2;
    const int left = static_cast<int>(std::floor(std::min(x0, x1) - half - 1));
    const int right = static_cast<int>(std::ceil(std::max(x0, x1) + half + 1));
    const int top = static_cast<int>(std::floor(std::min(y0, y1) - half - 1));
    const int bottom = static_cast<int>(std::ceil(std::max(y0, y1) + half + 1));
    const double dx = x1 - x0, dy = y1 - y0, length2 = dx * dx + dy * dy;
    for (int py = top; py <= bottom; ++py)
        for (int px = left; px <= right; ++px) {
            const double cx = px + 0.5, cy = py + 0.5;
            const double t = length2 > 0 ? std::clamp(((cx - x0) * dx + (cy - y0) * dy) / length2, 0.0, 1.0) : 0;
            const double d = std::hypot(cx - (x0 + t * dx), cy - (y0 + t * dy));
            BlendPhysical(px, py, c, weight * Coverage(half - d));
        }
}

}  // namespace trv4skin
