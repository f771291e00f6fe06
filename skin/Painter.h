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

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

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

// A colour channel rounded half away from zero and clamped to 0..255, as
// std::lround and a clamp would give it (v + 0.5 is exact from 0.5 up), at
// a fraction of the cost: the skin's pictures pass every pixel through it.
inline uint32_t ToChannel(double v) {
    if (!(v >= 0.5)) return 0;
    if (v >= 255) return 255;
    return static_cast<uint32_t>(v + 0.5);
}
// Rounded and clamped; alpha 255.
inline uint32_t ToPixel(Rgb c) { return 0xFF000000u | ToChannel(c.r) << 16 | ToChannel(c.g) << 8 | ToChannel(c.b); }
inline Rgb FromPixel(uint32_t p) {
    return {static_cast<double>((p >> 16) & 0xFF), static_cast<double>((p >> 8) & 0xFF), static_cast<double>(p & 0xFF)};
}

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
    double LogicalX(int px) const {
        return scale.IsIdentity() ? px + 0.5 : (px + scale.ToPhysical(left) + 0.5) * 100.0 / scale.percent - left;
    }
    double LogicalY(int py) const {
        return scale.IsIdentity() ? py + 0.5 : (py + scale.ToPhysical(top) + 0.5) * 100.0 / scale.percent - top;
    }
};

// One colour mixed by one weight into many pixels, as Painter::BlendPhysical
// mixes it: the result for each of the 256 values of each channel worked out
// once, so that filling a large area costs three look-ups a pixel.
class MixTable {
public:
    MixTable(Rgb c, double weight) : opaque_(weight >= 1), pixel_(ToPixel(c)) {
        for (int v = 0; v < 256; ++v) {
            const Rgb mixed = weight >= 1 ? c : Mix(Rgb{double(v), double(v), double(v)}, c, weight);
            r_[v] = static_cast<uint8_t>(ToChannel(mixed.r));
            g_[v] = static_cast<uint8_t>(ToChannel(mixed.g));
            b_[v] = static_cast<uint8_t>(ToChannel(mixed.b));
        }
    }
    uint32_t Apply(uint32_t p) const {
        return 0xFF000000u | uint32_t{r_[(p >> 16) & 0xFF]} << 16 | uint32_t{g_[(p >> 8) & 0xFF]} << 8 | b_[p & 0xFF];
    }
    // Weight 1 or more: the colour itself whatever lay beneath (which is not
    // read: a new surface's pixels are undefined).
    bool Opaque() const { return opaque_; }
    uint32_t Pixel() const { return pixel_; }

private:
    bool opaque_;
    uint32_t pixel_;
    uint8_t r_[256], g_[256], b_[256];
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
    void Set(const Spot& s, Rgb c) { SetPhysical(s.px, s.py, c); }
    void Blend(const Spot& s, Rgb c, double weight) { BlendPhysical(s.px, s.py, c, weight); }
    void SetPhysical(int px, int py, Rgb c) {
        if (Inside(px, py)) At(px, py) = ToPixel(c);
    }
    void BlendPhysical(int px, int py, Rgb c, double weight) {
        if (!Inside(px, py) || weight <= 0) return;
        uint32_t& p = At(px, py);
        p = ToPixel(weight >= 1 ? c : Mix(FromPixel(p), c, weight));
    }
    // Sets physical pixels left .. right - 1 of row py to colour(px), asking
    // for every column in order, also those off the surface (which stay
    // unset): a colour may depend on the ones before it.
    template <typename Colour>
    void SetRun(int py, int left, int right, Colour&& colour);
    // Mixes the table's colour into physical pixels left .. right - 1 of row py.
    void BlendRun(int py, int left, int right, const MixTable& mix) {
        if (py < 0 || py >= dib_.Height() || !dib_.Bits()) return;
        uint32_t* row = &At(0, py);
        const int from = std::max(left, 0), end = std::min(right, dib_.Width());
        if (mix.Opaque())
            std::fill(row + std::min(from, end), row + end, mix.Pixel());
        else
            for (int px = from; px < end; ++px) row[px] = mix.Apply(row[px]);
    }
    // BlendPhysical with the colour and weight of the table.
    void BlendPhysical(int px, int py, const MixTable& mix) {
        if (!Inside(px, py)) return;
        uint32_t& p = At(px, py);
        p = mix.Opaque() ? mix.Pixel() : mix.Apply(p);
    }
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
    // Every picture is drawn pixel by pixel through these two: inline, on
    // the surface's rows (stored bottom-up), they keep a magnified chassis
    // quick to draw when an editor opens.
    bool Inside(int px, int py) const {
        return px >= 0 && py >= 0 && px < dib_.Width() && py < dib_.Height() && dib_.Bits();
    }
    uint32_t& At(int px, int py) { return dib_.ScanLine(dib_.Height() - 1 - py)[px]; }

    toolkit::TAbstractSuperDIB& dib_;
    Placement at_;
};

template <typename Colour>
void Painter::SetRun(int py, int left, int right, Colour&& colour) {
    const bool rowInside = py >= 0 && py < dib_.Height() && dib_.Bits();
    uint32_t* row = rowInside ? &At(0, py) : nullptr;
    const int width = dib_.Width();
    for (int px = left; px < right; ++px) {
        const Rgb c = colour(px);
        if (row && px >= 0 && px < width) row[px] = ToPixel(c);
    }
}

template <typename Shade>
void Painter::ForDisc(double cx, double cy, double reach, Shade&& shade) {
    const double m = at_.scale.Length(1.0);
    const double pcx = at_.X(cx), pcy = at_.Y(cy), preach = reach * m;
    const int x0 = static_cast<int>(pcx - preach - 1), x1 = static_cast<int>(pcx + preach + 1);
    const int y0 = static_cast<int>(pcy - preach - 1), y1 = static_cast<int>(pcy + preach + 1);
    // The columns' logical centres, worked out once rather than on every row.
    std::vector<double> xs(static_cast<size_t>(std::max(x1 - x0 + 1, 0)));
    for (int px = x0; px <= x1; ++px) xs[px - x0] = at_.LogicalX(px);
    for (int py = y0; py <= y1; ++py) {
        const double y = at_.LogicalY(py), dy = y - cy;
        for (int px = x0; px <= x1; ++px) {
            const Spot s{px, py, xs[px - x0], y};
            const double dx = s.x - cx;
            shade(s, std::sqrt(dx * dx + dy * dy));
        }
    }
}

}  // namespace trv4skin
