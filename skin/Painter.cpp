#include "skin/Painter.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace trv4skin {

namespace {

// Coverage of a pixel whose centre lies `inside` pixels within an edge.
double Coverage(double inside) { return std::clamp(inside + 0.5, 0.0, 1.0); }

// From this many physical pixels on, a fill works out its MixTable first
// (about as much work as mixing a couple of hundred pixels one by one).
constexpr int kTableArea = 512;

std::optional<MixTable> TableFor(int area, Rgb c, double weight) {
    if (area < kTableArea) return std::nullopt;
    return MixTable(c, weight);
}

// Physical pixels in a disc's square of physical radius r.
int DiscArea(double r) { return static_cast<int>(4 * r * r); }

}  // namespace

void Painter::FillRect(int x, int y, int w, int h, Rgb c, double weight) {
    const int left = at_.X(x), right = at_.X(x + w), top = at_.Y(y), bottom = at_.Y(y + h);
    if (weight <= 0 || right <= left || bottom <= top) return;
    if ((right - left) * (bottom - top) < kTableArea) {
        for (int py = top; py < bottom; ++py)
            for (int px = left; px < right; ++px) BlendPhysical(px, py, c, weight);
        return;
    }
    const MixTable mix(c, weight);
    for (int py = top; py < bottom; ++py) BlendRun(py, left, right, mix);
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
    if (weight <= 0) return;
    const std::optional<MixTable> whole = TableFor((x1 - x0) * (y1 - y0), c, weight);
    for (int py = y0; py < y1; ++py) {
        const double qy = std::max({y + radius - (py + 0.5), py + 0.5 - (y + h - radius), 0.0});
        const double edgeY = std::min(py + 0.5 - y, y + h - (py + 0.5));
        const auto pixel = [&](int px) {
            // Distance inside the rounded outline, by the nearest corner centre.
            const double qx = std::max({x + radius - (px + 0.5), px + 0.5 - (x + w - radius), 0.0});
            const double edge = std::min({px + 0.5 - x, x + w - (px + 0.5), edgeY});
            const double inside = (qx > 0 && qy > 0) ? radius - std::hypot(qx, qy) : edge;
            const double cover = Coverage(inside);
            if (cover >= 1 && whole)
                BlendPhysical(px, py, *whole);
            else
                BlendPhysical(px, py, c, weight * cover);
        };
        // On a row clear of the corners and at least half a pixel inside the
        // top and bottom, the pixels at least half a pixel inside both sides
        // are wholly covered: those take the table. They form one run of
        // columns, whose ends are found from both sides.
        const auto covered = [&](int px) { return px + 0.5 - x >= 0.5 && x + w - (px + 0.5) >= 0.5; };
        int left = x0, right = x1;
        if (whole && qy <= 0 && edgeY >= 0.5) {
            while (left < x1 && !covered(left)) pixel(left++);
            while (right > left && !covered(right - 1)) pixel(--right);
            BlendRun(py, left, right, *whole);
        } else {
            for (int px = x0; px < x1; ++px) pixel(px);
        }
    }
}

void Painter::FillDisc(double cx, double cy, double radius, Rgb c, double weight) {
    const double m = at_.scale.Length(1.0);
    if (weight <= 0) return;
    const std::optional<MixTable> whole = TableFor(DiscArea(radius * m), c, weight);
    ForDisc(cx, cy, radius, [&](const Spot& s, double d) {
        const double cover = Coverage((radius - d) * m);
        if (cover >= 1 && whole)
            BlendPhysical(s.px, s.py, *whole);
        else
            Blend(s, c, weight * cover);
    });
}

void Painter::Ring(double cx, double cy, double inner, double outer, Rgb c, double weight) {
    const double m = at_.scale.Length(1.0);
    if (weight <= 0) return;
    const std::optional<MixTable> whole = TableFor(DiscArea(outer * m), c, weight);
    ForDisc(cx, cy, outer, [&](const Spot& s, double d) {
        const double cover = std::min(Coverage((outer - d) * m), Coverage((d - inner) * m));
        if (cover >= 1 && whole)
            BlendPhysical(s.px, s.py, *whole);
        else
            Blend(s, c, weight * cover);
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
    // A pixel half a pixel or more beyond the edge takes no ink. Most of the
    // box is that far, which the squared distance shows without the exact
    // (and slow) one; the margin covers its rounding.
    const double reach = half + 0.5, far2 = reach * reach * (1 + 1e-9) + 1e-9;
    for (int py = top; py <= bottom; ++py)
        for (int px = left; px <= right; ++px) {
            const double cx = px + 0.5, cy = py + 0.5;
            const double t = length2 > 0 ? std::clamp(((cx - x0) * dx + (cy - y0) * dy) / length2, 0.0, 1.0) : 0;
            const double ex = cx - (x0 + t * dx), ey = cy - (y0 + t * dy);
            if (ex * ex + ey * ey > far2) continue;
            BlendPhysical(px, py, c, weight * Coverage(half - std::hypot(ex, ey)));
        }
}

}  // namespace trv4skin
