#include "tools/skin/Painter.h"

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
    return {static_cast<double>((p >> 16) & 0xFF), static_cast<double>((p >> 8) & 0xFF),
            static_cast<double>(p & 0xFF)};
}

void Painter::Blend(int x, int y, Rgb c, double weight) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height() || weight <= 0) return;
    Set(x, y, weight >= 1 ? c : Mix(Get(x, y), c, weight));
}

void Painter::FillRect(int x, int y, int w, int h, Rgb c, double weight) {
    for (int py = y; py < y + h; ++py)
        for (int px = x; px < x + w; ++px) Blend(px, py, c, weight);
}

void Painter::VerticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom) {
    for (int py = 0; py < h; ++py)
        FillRect(x, y + py, w, 1, Mix(top, bottom, h > 1 ? py / (h - 1.0) : 0));
}

void Painter::Bevel(int x, int y, int w, int h, Rgb light, Rgb dark, double weight) {
    FillRect(x, y, w, 1, light, weight);
    FillRect(x, y + 1, 1, h - 1, light, weight);
    FillRect(x + 1, y + h - 1, w - 1, 1, dark, weight);
    FillRect(x + w - 1, y + 1, 1, h - 2, dark, weight);
}

void Painter::FillRoundRect(double x, double y, double w, double h, double radius, Rgb c, double weight) {
    const int x0 = static_cast<int>(std::floor(x)), x1 = static_cast<int>(std::ceil(x + w));
    const int y0 = static_cast<int>(std::floor(y)), y1 = static_cast<int>(std::ceil(y + h));
    for (int py = y0; py < y1; ++py)
        for (int px = x0; px < x1; ++px) {
            // Distance inside the rounded outline, by the nearest corner centre.
            const double qx = std::max({x + radius - (px + 0.5), px + 0.5 - (x + w - radius), 0.0});
            const double qy = std::max({y + radius - (py + 0.5), py + 0.5 - (y + h - radius), 0.0});
            const double edge = std::min({px + 0.5 - x, x + w - (px + 0.5), py + 0.5 - y, y + h - (py + 0.5)});
            const double inside = (qx > 0 && qy > 0) ? radius - std::hypot(qx, qy) : edge;
            Blend(px, py, c, weight * Coverage(inside));
        }
}

void Painter::FillDisc(double cx, double cy, double radius, Rgb c, double weight) {
    ForDisc(cx, cy, radius, [&](int x, int y, double d) { Blend(x, y, c, weight * Coverage(radius - d)); });
}

void Painter::Ring(double cx, double cy, double inner, double outer, Rgb c, double weight) {
    ForDisc(cx, cy, outer, [&](int x, int y, double d) {
        Blend(x, y, c, weight * std::min(Coverage(outer - d), Coverage(d - inner)));
    });
}

void Painter::Line(double x0, double y0, double x1, double y1, double width, Rgb c, double weight) {
    const double half = width / 2;
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
            Blend(px, py, c, weight * Coverage(half - d));
        }
}

}  // namespace trv4skin
