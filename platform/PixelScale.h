// The magnification of a window's pixels: the controls keep their places,
// sizes and input in logical pixels (the 100 % layout) and paint into
// physical pixels, percent / 100 as many along each axis.
//
// Logical coordinate v lands on physical ceil(v x percent / 100), so two
// controls that meet in logical pixels meet in physical ones too; physical
// pixel p belongs to logical floor(p x 100 / percent). The two agree: a
// logical point taken to physical pixels and back is the same point, and a
// physical pixel lies in a control's physical rectangle exactly when its
// logical pixel lies in the control's logical one.
#pragma once

#include "platform/Geometry.h"

namespace platform {

struct PixelScale {
    int percent = 100;

    bool IsIdentity() const { return percent == 100; }
    int ToPhysical(int v) const { return -FloorDiv(-static_cast<long long>(v) * percent, 100); }
    int ToLogical(int p) const { return FloorDiv(static_cast<long long>(p) * 100, percent); }
    // A length that needs no pixel alignment (a radius, a font height).
    double Length(double v) const { return percent == 100 ? v : v * percent / 100.0; }
    Point ToLogical(Point p) const { return {ToLogical(p.x), ToLogical(p.y)}; }
    Rect ToPhysical(const Rect& r) const {
        return {ToPhysical(r.left), ToPhysical(r.top), ToPhysical(r.right), ToPhysical(r.bottom)};
    }
    // The smallest logical rectangle whose physical one covers r.
    Rect ToLogical(const Rect& r) const {
        return {ToLogical(r.left), ToLogical(r.top), -FloorDiv(-static_cast<long long>(r.right) * 100, percent),
                -FloorDiv(-static_cast<long long>(r.bottom) * 100, percent)};
    }
    bool operator==(const PixelScale&) const = default;

private:
    static int FloorDiv(long long a, long long b) {
        const long long q = a / b;
        return static_cast<int>(q * b > a ? q - 1 : q);
    }
};

}  // namespace platform
