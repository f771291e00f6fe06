// Anti-aliased drawing over a toolkit surface for the skin pictures: blended
// fills, discs, rings, thick lines and rounded rectangles, each pixel mixed
// in by its coverage. Coordinates are top-down with pixel centres at
// (x + 0.5, y + 0.5). Alpha bytes are left as they are.
//
// Holds a reference to the surface it draws into; window thread only.
#pragma once

#include <cmath>
#include <cstdint>

#include "toolkit/cDIB.h"

namespace trv4skin {

struct Rgb {
    double r, g, b;  // 0..255
};

constexpr Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
constexpr Rgb Scaled(Rgb c, double f) { return {c.r * f, c.g * f, c.b * f}; }

uint32_t ToPixel(Rgb c);  // rounded and clamped; alpha 255
Rgb FromPixel(uint32_t p);

class Painter {
public:
    explicit Painter(toolkit::TAbstractSuperDIB& dib) : dib_(dib) {}

    int Width() const { return dib_.Width(); }
    int Height() const { return dib_.Height(); }
    Rgb Get(int x, int y) const { return FromPixel(dib_.Pixel(x, y)); }
    void Set(int x, int y, Rgb c) { dib_.SetPixel(x, y, ToPixel(c)); }
    // Mixes c into the pixel by weight 0..1; outside the surface nothing.
    void Blend(int x, int y, Rgb c, double weight);

    void FillRect(int x, int y, int w, int h, Rgb c, double weight = 1);
    // Top colour to bottom colour.
    void VerticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom);
    // One-pixel frame: light on the top and left edges, dark on the others.
    void Bevel(int x, int y, int w, int h, Rgb light, Rgb dark, double weight = 1);
    void FillRoundRect(double x, double y, double w, double h, double radius, Rgb c, double weight = 1);
    void FillDisc(double cx, double cy, double radius, Rgb c, double weight = 1);
    // The band between two radii.
    void Ring(double cx, double cy, double inner, double outer, Rgb c, double weight = 1);
    // A line of the given width with round ends.
    void Line(double x0, double y0, double x1, double y1, double width, Rgb c, double weight = 1);

    // Calls shade(x, y, distance) for each pixel of the bounding box whose
    // centre lies within reach of the disc; the distance is from its centre.
    template <typename Shade>
    void ForDisc(double cx, double cy, double reach, Shade&& shade);

private:
    toolkit::TAbstractSuperDIB& dib_;
};

template <typename Shade>
void Painter::ForDisc(double cx, double cy, double reach, Shade&& shade) {
    const int x0 = static_cast<int>(cx - reach - 1), x1 = static_cast<int>(cx + reach + 1);
    const int y0 = static_cast<int>(cy - reach - 1), y1 = static_cast<int>(cy + reach + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            shade(x, y, std::sqrt(dx * dx + dy * dy));
        }
}

}  // namespace trv4skin
