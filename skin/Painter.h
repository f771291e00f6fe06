// Anti-aliased drawing over a toolkit surface for the skin pictures: blended
// fills, discs, rings, thick lines and rounded rectangles, each pixel mixed
// in by its coverage. Coordinates are top-down logical pixels (the 100 %
// layout) with pixel centres at (x + 0.5, y + 0.5); the Placement says how
// large the surface's pixels are and where the picture sits in the editor
// window, so that a magnified picture lines up with the magnified chassis.
// Shapes are drawn at the surface's own resolution; a logical pixel (Set,
// Blend, FillRect) covers the block of physical pixels it magnifies to.
// Alpha bytes are left as they are.
//
// Holds a reference to the surface it draws into; window thread only.
#pragma once

#include <cmath>
#include <cstdint>

#include "platform/PixelScale.h"
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

// A picture's magnification and its place (left, top) in the editor window,
// in logical pixels. Logical x of the picture is physical column X(x).
struct Placement {
    platform::PixelScale scale;
    int left = 0, top = 0;

    int X(int x) const { return scale.ToPhysical(left + x) - scale.ToPhysical(left); }
    int Y(int y) const { return scale.ToPhysical(top + y) - scale.ToPhysical(top); }
    // The same for coordinates between pixel edges.
    double X(double x) const { return scale.IsIdentity() ? x : scale.Length(left + x) - scale.ToPhysical(left); }
    double Y(double y) const { return scale.IsIdentity() ? y : scale.Length(top + y) - scale.ToPhysical(top); }
    // Logical x of a physical column's centre.
    double LogicalX(int px) const;
    double LogicalY(int py) const;
};

// A physical pixel (px, py) with its centre in logical coordinates (x, y).
struct Spot {
    int px, py;
    double x, y;
};

class Painter {
public:
    explicit Painter(toolkit::TAbstractSuperDIB& dib, const Placement& at = {}) : dib_(dib), at_(at) {}

    const Placement& At() const { return at_; }
    // The logical pixel (x, y): its top-left physical pixel, and the whole
    // block it magnifies to.
    Rgb Get(int x, int y) const { return FromPixel(dib_.Pixel(at_.X(x), at_.Y(y))); }
    void Set(int x, int y, Rgb c) { FillRect(x, y, 1, 1, c); }
    // Mixes c into the pixel by weight 0..1; outside the surface nothing.
    void Blend(int x, int y, Rgb c, double weight) { FillRect(x, y, 1, 1, c, weight); }
    void Set(const Spot& s, Rgb c) { dib_.SetPixel(s.px, s.py, ToPixel(c)); }
    void Blend(const Spot& s, Rgb c, double weight) { BlendPhysical(s.px, s.py, c, weight); }
    void SetPhysical(int px, int py, Rgb c) { dib_.SetPixel(px, py, ToPixel(c)); }
    void BlendPhysical(int px, int py, Rgb c, double weight);
    void FillRect(int x, int y, int w, int h, Rgb c, double weight = 1);
    // Top colour to bottom colour, one step per physical row.
    void VerticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom);
    // One-pixel frame: light on the top and left edges, dark on the others.
    void Bevel(int x, int y, int w, int h, Rgb light, Rgb dark, double weight = 1);
    void FillRoundRect(double x, double y, double w, double h, double radius, Rgb c, double weight = 1);
    void FillDisc(double cx, double cy, double radius, Rgb c, double weight = 1);
    // The band between two radii.
    void Ring(double cx, double cy, double inner, double outer, Rgb c, double weight = 1);
    // A line of the given width with round ends.
    void Line(double x0, double y0, double x1, double y1, double width, Rgb c, double weight = 1);
    // Calls shade(spot, distance) for each physical pixel of the bounding box
    // whose centre lies within reach of the disc; distance and the spot's
    // centre are logical.
    template <typename Shade>
    void ForDisc(double cx, double cy, double reach, Shade&& shade);

private:
    toolkit::TAbstractSuperDIB& dib_;
    Placement at_;
};

template <typename Shade>
void Painter::ForDisc(double cx, double cy, double reach, Shade&& shade) {
    const double m = at_.scale.Length(1.0);
    const double pcx = at_.X(cx), pcy = at_.Y(cy), preach = reach * m;
    const int x0 = static_cast<int>(pcx - preach - 1), x1 = static_cast<int>(pcx + preach + 1);
    const int y0 = static_cast<int>(pcy - preach - 1), y1 = static_cast<int>(pcy + preach + 1);
    for (int py = y0; py <= y1; ++py)
        for (int px = x0; px <= x1; ++px) {
            const Spot s{px, py, at_.LogicalX(px), at_.LogicalY(py)};
            const double dx = s.x - cx, dy = s.y - cy;
            shade(s, std::sqrt(dx * dx + dy * dy));
        }
}

}  // namespace trv4skin
