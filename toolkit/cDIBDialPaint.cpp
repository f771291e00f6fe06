// The dial's geometry (pointer angle, pointer box, preferred size) and its
// painting: the body, then the pointer frame cross-faded between the two
// nearest glyphs of its strip.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "toolkit/cDIBDial.h"

namespace toolkit {

namespace {

// Into [0, 360); non-finite values give 0.
long double WrapDegrees(long double a) {
    if (!std::isfinite(a)) return 0;
    a = std::fmod(a, 360.0L);
    if (a < 0) a += 360;
    return a >= 360 ? 0 : a;
}

// Ceil of a non-negative pixel measure, made even (a box with a centre row
// and column); the same rule the surfaces use for their rotated boxes.
int EvenBox(double v) {
    if (!std::isfinite(v) || v <= 0) return 0;
    const int64_t c = v > 65535.0 ? 65536 : int64_t(std::ceil(v));
    return int(c - c % 2);
}

}  // namespace

// --- Geometry ------------------------------------------------------------------

int TCustomDIBDial::ComputePointerAngle() const {
    const TCustomDIBDialPointerAngles& angles = PointerAnglesBase();
    // Max <= Min only comes from a stored description: the pointer then
    // rests at Start.
    const long double t = static_cast<long double>(Max()) - Min();
    long double u = 0;
    if (t > 0) u = static_cast<long double>((int64_t(Position()) - Min()) * 360) / t;
    const long double a = WrapDegrees(angles.Start() + u * angles.Range() / 360);
    // Ties to even; a value just below 360 gives 360, which draws as 0.
    return int(std::nearbyint(a));
}

long double TAbstractDIBDial::PointerRadiusInEffect(int width, int height, int glyphWidth, int glyphHeight,
                                                    long double magnify) const {
    if (fPointerRadius > 0) return fPointerRadius * magnify;
    // Automatic: the glyph runs along the inside of the control's edge.
    const int r = std::min(width, height) / 2 - std::max(glyphWidth, glyphHeight) / 2;
    return std::max(r, 0);
}

platform::Rect TAbstractDIBDial::PointerRect() const { return PointerRectIn(Width(), Height(), 1); }

platform::Rect TAbstractDIBDial::PointerRectIn(int width, int height, long double magnify) const {
    const TAbstractSuperDIB* pointer = IndexPointer().Resolve();
    if (!pointer) return {0, 0, 0, 0};
    const int angle = PointerAngle();
    const int cx = width / 2, cy = height / 2;
    const int gw = pointer->Width() / fNumGlyphs, gh = pointer->Height();
    const long double r = PointerRadiusInEffect(width, height, gw, gh, magnify);
    const long double phi = (angle - 90) * std::numbers::pi_v<long double> / 180;
    const long double px = std::ceil(cx + r * std::cos(phi));
    const long double py = std::ceil(cy + r * std::sin(phi));
    const double theta = fPointerRotate ? -angle * std::numbers::pi / 180 : 0.0;
    const int bw = EvenBox(std::fabs(gw * std::cos(theta)) + std::fabs(gh * std::sin(theta)));
    const int bh = EvenBox(std::fabs(gw * std::sin(theta)) + std::fabs(gh * std::cos(theta)));
    // The radius is at most INT_MAX, so the centre stays well inside int64.
    const int64_t left = int64_t(px) - bw / 2, top = int64_t(py) - bh / 2;
    auto fit = [](int64_t v) { return int(std::clamp<int64_t>(v, INT_MIN / 2, INT_MAX / 2)); };
    return {fit(left), fit(top), fit(left + bw - 1), fit(top + bh - 1)};
}

bool TAbstractDIBDial::PreferredSize(int& width, int& height) const {
    const TAbstractSuperDIB* body = IndexMain().Resolve();
    if (!body) return false;
    width = body->Width();
    height = body->Height();
    if (fPointerRadius <= 0) return true;
    if (const TAbstractSuperDIB* pointer = IndexPointer().Resolve()) {
        const int64_t least = int64_t(fPointerRadius) + std::max(pointer->Width(), pointer->Height()) / 2;
        const int need = int(std::min<int64_t>(least, 32767));
        width = std::max(width, need);
        height = std::max(height, need);
    }
    return true;
}

void TAbstractDIBDial::AdjustSize() {
    if (IsLoading()) return;
    int w = 0, h = 0;
    if (PreferredSize(w, h)) SetBounds(Left(), Top(), w, h);
}

void TAbstractDIBDial::ImageChanged(TDIBImageLink& link) {
    if (fAutoSize) AdjustSize();
    Invalidate();
}

// --- Painting ------------------------------------------------------------------

void TAbstractDIBDial::PaintDIB(TWinDIB& surface) {
    // The list hands every image out through one view: finish with the body
    // before resolving the pointer.
    // In physical pixels: the images are the magnified window's own, the
    // places and the stored radius are magnified here.
    const platform::PixelScale scale = PaintScale();
    const platform::Rect at = scale.ToPhysical(ClientRect());
    TAbstractSuperDIB* body = IndexMain().Resolve();
    if (!body) return;
    body->Draw(surface, at.right / 2 - body->Width() / 2, at.bottom / 2 - body->Height() / 2);

    if (!IndexPointer().Resolve()) return;
    const platform::Rect box = PointerRectIn(at.right, at.bottom, scale.Length(1.0));
    const int angle = PointerAngle();
    // The settings go to the view the link resolved to; the stored item
    // keeps its own.
    TAbstractSuperDIB* pointer = IndexPointer().Resolve();
    if (fPointerRotate) pointer->SetAngle(angle);
    pointer->SetAutoSize(true);
    pointer->SetOpacity(fDragging ? fOpacities->Active() : fOpacities->Normal());
    DrawPointer(*pointer, surface, box.left, box.top, angle);
}

// Draws the frame of the strip that value selects (over 0..359, with
// wrap-around), blending the two neighbouring frames by the fraction.
void TAbstractDIBDial::DrawPointer(TAbstractSuperDIB& strip, TAbstractSuperDIB& target, int x, int y, int value) {
    const int n = fNumGlyphs;
    const int fw = strip.Width() / n;
    if (fw < 1) return;  // more frames than columns: nothing to show
    const double f = double(value) / 359.0 * n;
    int upper = int(std::ceil(f));
    int lower = int(std::floor(f));
    const double frac = f - std::trunc(f);
    auto wrap = [n](int k) { return k >= n ? 0 : (k < 0 ? n - 1 : k); };
    upper = wrap(upper);
    lower = wrap(lower);

    const uint16_t w = uint16_t(fw), h = uint16_t(strip.Height());
    fUpper.SetSize(w, h);
    fUpper.ResetClipRect();
    fUpper.ResetSettings();
    strip.CopyRegion(0, 0, fw, h, fUpper, upper * fw, 0);
    strip.CopySettingsTo(fUpper);
    fUpper.SetOpacity(255);
    if (frac != 0) {
        fLower.SetSize(w, h);
        fLower.ResetClipRect();
        fLower.ResetSettings();
        strip.CopyRegion(0, 0, fw, h, fLower, lower * fw, 0);
        fLower.SetOpacity(uint8_t(255 - std::lround(frac * 255)));
        fLower.Draw(fUpper, 0, 0);
    }
    fUpper.SetOpacity(strip.Opacity());
    fUpper.Draw(target, x, y);
}

}  // namespace toolkit
