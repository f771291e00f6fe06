// Transformed drawing: target size, nearest-neighbour rotation and scaling
// in 16.16 fixed point, and the blend of the result onto the destination.
//
// The resampled picture is only built for the part of the target that lands
// inside the destination's clip rectangle; every target pixel depends on its
// own position alone, so the visible part is the same as if the whole
// target had been built, and a huge scale cannot allocate a huge temporary.
#include "toolkit/cDIBTransform.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "toolkit/cDIBDrawCore.h"

namespace toolkit {
namespace {

constexpr int64_t kMaxTarget = 65535;         // surfaces are 16-bit in size
constexpr double kMaxStep = 1099511627776.0;  // 2^40: keeps x * step inside 64 bits

std::unique_ptr<TDIBTrigTables> BuildTables() {
    auto t = std::make_unique<TDIBTrigTables>();
    for (int i = 0; i < TDIBTrigTables::kSize; ++i) {
        const double x = i * std::numbers::pi / 180000.0;
        t->Sin[i] = int32_t(std::ceil(std::sin(x) * 65536.0));
        t->Cos[i] = int32_t(std::ceil(std::cos(x) * 65536.0));
        t->SinQuarter[i] = int32_t(std::ceil(std::sin(x + std::numbers::pi / 2) * 65536.0));
        t->CosQuarter[i] = int32_t(std::ceil(std::cos(x + std::numbers::pi / 2) * 65536.0));
    }
    return t;
}

// Round(table / scale), ties to even, held inside +-2^40.
int64_t Step(int32_t tabled, double scale) {
    const double v = std::nearbyint(double(tabled) / scale);
    return int64_t(std::clamp(v, -kMaxStep, kMaxStep));
}

struct TargetSize {
    int64_t W = 0;
    int64_t H = 0;
    bool Valid() const { return W >= 1 && H >= 1 && W <= kMaxTarget && H <= kMaxTarget; }
};

int64_t CeilToSize(double v) {
    if (!std::isfinite(v) || v <= 0) return 0;
    return v > double(kMaxTarget) ? kMaxTarget + 1 : int64_t(std::ceil(v));
}

TargetSize ComputeTarget(int width, int height, long double angle, long double scaleX, long double scaleY,
                         bool autoSize) {
    if (!autoSize) return {width, height};
    const double w = width * double(scaleX) / 100.0;
    const double h = height * double(scaleY) / 100.0;
    if (angle == 0) return {CeilToSize(w), CeilToSize(h)};
    const double theta = -double(angle) * std::numbers::pi / 180.0;
    const double c = std::cos(theta), s = std::sin(theta);
    int64_t bw = CeilToSize(std::fabs(w * c) + std::fabs(h * s));
    int64_t bh = CeilToSize(std::fabs(w * s) + std::fabs(h * c));
    bw -= bw % 2;  // made even, so the box has a centre pixel row and column
    bh -= bh % 2;
    return {bw, bh};
}

// Visible part of the target: top-down columns [x0, x0 + w), and stored rows
// [row0, row0 + h) counted from the target's bottom.
struct Window {
    int64_t X0, Row0, W, H;
};

void Rotate(const TAbstractSuperDIB& src, const TargetSize& t, const Window& v, uint32_t fill,
            std::vector<uint32_t>& out) {
    const TDIBTrigTables& tab = TrigTables();
    const int idx = TrigIndex(src.Angle());
    const double sx = double(src.ScaleX()) / 100.0, sy = double(src.ScaleY()) / 100.0;
    const int64_t rowA = Step(tab.Sin[idx], sy), colA = Step(tab.Cos[idx], sx);
    const int64_t rowN = Step(tab.SinQuarter[idx], sy), colN = Step(tab.CosQuarter[idx], sx);
    const int64_t r0 = -(t.W / 2) * rowA - (t.H / 2) * rowN;
    const int64_t c0 = -(t.W / 2) * colA - (t.H / 2) * colN;
    const int64_t sw = src.Width(), sh = src.Height();
    const int64_t hw = sw / 2, hh = sh / 2;
    const uint32_t* bits = src.Bits();
    for (int64_t j = 0; j < v.H; ++j) {
        const int64_t ys = v.Row0 + j;
        int64_t r = r0 + v.X0 * rowA + ys * rowN;
        int64_t c = c0 + v.X0 * colA + ys * colN;
        uint32_t* o = out.data() + size_t(j * v.W);
        for (int64_t i = 0; i < v.W; ++i, r += rowA, c += colA) {
            // Offsets from the centre pixel (sh/2, sw/2); every source row
            // and column -h/2 .. h - h/2 - 1 is reachable.
            const int64_t rr = (r >> 16) + hh, cc = (c >> 16) + hw;
            o[i] = (rr >= 0 && rr < sh && cc >= 0 && cc < sw) ? bits[rr * sw + cc] : fill;
        }
    }
}

void ScaleInto(const TAbstractSuperDIB& src, const TargetSize& t, const Window& v, std::vector<uint32_t>& out) {
    // Step = source / target in 16.16; the walk of an accumulator that starts
    // at 0xFFFF and wraps once per unit of fraction picks source pixel
    // (k * step) >> 16 for target pixel k, which is what is computed here.
    const uint64_t sw = src.Width(), sh = src.Height();
    const uint64_t hstep = (sw << 16) / uint64_t(t.W);
    const uint64_t vstep = (sh << 16) / uint64_t(t.H);
    std::vector<uint32_t> cols(size_t(v.W));
    for (int64_t i = 0; i < v.W; ++i) cols[size_t(i)] = uint32_t((uint64_t(v.X0 + i) * hstep) >> 16);
    for (int64_t j = 0; j < v.H; ++j) {
        const uint64_t srow = (uint64_t(v.Row0 + j) * vstep) >> 16;
        const uint32_t* s = src.ScanLine(int(srow));
        uint32_t* o = out.data() + size_t(j * v.W);
        for (int64_t i = 0; i < v.W; ++i) o[i] = s[cols[size_t(i)]];
    }
}

}  // namespace

const TDIBTrigTables& TrigTables() {
    static const std::unique_ptr<TDIBTrigTables> tables = BuildTables();
    return *tables;
}

int TrigIndex(long double degrees) {
    const long double i = std::trunc(degrees * 1000.0L);
    if (!(i >= 0)) return 0;
    return i >= TDIBTrigTables::kSize ? TDIBTrigTables::kSize - 1 : int(i);
}

platform::Point TAbstractSuperDIB::TransformedSize(int width, int height) const {
    const TargetSize t = ComputeTarget(width, height, fAngle, fScaleX, fScaleY, fAutoSize);
    return {int(std::clamp<int64_t>(t.W, 0, kMaxTarget)), int(std::clamp<int64_t>(t.H, 0, kMaxTarget))};
}

void TAbstractSuperDIB::DrawTransformed(int destX, int destY, int width, int height, TAbstractSuperDIB& dest,
                                        TDIBBlendRoutine routine) const {
    if (!fBits || !dest.Bits() || dest.ClipRect().IsEmpty()) return;
    if (!std::isfinite(double(fScaleX)) || !std::isfinite(double(fScaleY))) return;
    const TargetSize t = ComputeTarget(width, height, fAngle, fScaleX, fScaleY, fAutoSize);
    if (!t.Valid()) return;
    if (fAngle != 0 && (fWidth * double(fScaleX) == 0 || fHeight * double(fScaleY) == 0)) return;

    const TDIBClipRect& clip = dest.ClipRect();
    const int64_t tx0 = std::max<int64_t>(0, int64_t(clip.Left) - destX);
    const int64_t tx1 = std::min<int64_t>(t.W, int64_t(clip.Right) + 1 - destX);
    const int64_t ty0 = std::max<int64_t>(0, int64_t(clip.Top) - destY);
    const int64_t ty1 = std::min<int64_t>(t.H, int64_t(clip.Bottom) + 1 - destY);
    if (tx1 <= tx0 || ty1 <= ty0) return;
    const Window v{tx0, t.H - ty1, tx1 - tx0, ty1 - ty0};

    // Uncovered target pixels: fully transparent black for a masked source,
    // else the key colour (alpha 0), which the key-skip routines leave out.
    const uint32_t key = KeyColor();
    std::vector<uint32_t> temp(size_t(v.W * v.H));
    if (fAngle != 0)
        Rotate(*this, t, v, fMasked ? 0u : key, temp);
    else
        ScaleInto(*this, t, v, temp);

    const TDIBBlendParams params{fOpacity, key};
    if (detail::BlitRegion(temp.data(), int(v.W), int(v.H), 0, 0, int(v.W), int(v.H), dest, int(destX + tx0),
                           int(destY + ty0), routine, params))
        dest.Changed();
}

}  // namespace toolkit
