// The dial's mouse: press classification, drag, step presses that the
// inherited auto-repeat delivers again every 50 ms, and the wheel.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "toolkit/cDIBDial.h"

namespace toolkit {

namespace {

int ClampToInt(long double v) {
    if (std::isnan(v)) return 0;
    if (v >= INT_MAX) return INT_MAX;
    if (v <= INT_MIN) return INT_MIN;
    return int(v);
}

int ClampToInt(int64_t v) { return int(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

constexpr int kWheelDelta = 120;  // one notch, in Windows units

}  // namespace

int TAbstractDIBDial::ComputePointedPosition(int x, int y) const {
    if (fStyle == mcsLinear) {
        // Measured from the press point: moving back there restores the
        // value, and overshoot past Min or Max is not accumulated.
        const long double dx = static_cast<long double>(x) - fAnchor.x;
        const long double dy = static_cast<long double>(fAnchor.y) - y;  // upward counts positive
        long double v = 0;
        if (fSensitivity == mlsVertical || fSensitivity == mlsBoth) v += dy / fVerticalPixels;
        if (fSensitivity == mlsHorizontal || fSensitivity == mlsBoth) v += dx / fHorizontalPixels;
        // Toward zero; the Position setter clamps.
        return ClampToInt(fAnchor.position + std::trunc(v));
    }
    // Circular: the angle of (x, y) seen from the centre, clockwise from
    // 12 o'clock; the centre itself counts as 0.
    const long double dx = static_cast<long double>(x) - Width() / 2;
    const long double dy = static_cast<long double>(y) - Height() / 2;
    long double alpha = 0;
    if (dx != 0 || dy != 0) alpha = std::atan2(dx, -dy) * 180 / std::numbers::pi_v<long double>;
    if (alpha < 0) alpha += 360;
    long double r = std::fmod(alpha - PointerAnglesBase().Start(), 360.0L);
    if (r < 0) r += 360;
    if (fMax <= fMin) return fMin;  // only from a stored description
    const long double span = static_cast<long double>(fMax) - fMin + 1;
    const long double v = fMin + std::nearbyint(r * span / PointerAnglesBase().Range());
    return ClampToInt(std::clamp<long double>(v, fMin, fMax));
}

TAbstractDIBDial::TPressZone TAbstractDIBDial::ClassifyPress(int x, int y, int pointed) const {
    if (fStyle == mcsLinear) return pzDrag;
    if (PointerRect().Contains({x, y})) return pzDrag;  // right and bottom edge excluded
    const int64_t d = int64_t(pointed) - fPosition;
    const int64_t quarter = (int64_t(fMax) - fMin) / 4;
    if (std::llabs(d) > quarter) return d < 0 ? pzPageDown : pzPageUp;
    return d < 0 ? pzSmallDown : pzSmallUp;
}

void TAbstractDIBDial::DIBMouseDown(platform::MouseButton button, platform::ShiftState shift, int x, int y) {
    if (button == platform::MouseButton::Left && fDragging) {
        // The auto-repeat delivering the press again after the pointer came
        // back during a drag: the drag goes on from its own anchor.
        RequestRepeatStop();
        return;
    }
    TCustomDIBControl::DIBMouseDown(button, shift, x, y);
    if (button != platform::MouseButton::Left) return;

    fAnchor = {fPosition, x, y};
    const int pointed = ComputePointedPosition(x, y);
    switch (ClassifyPress(x, y, pointed)) {
    case pzDrag:
        if (RepeatRunning()) RequestRepeatStop();
        fDragging = true;
        SettingsChanged();  // the pointer takes its Active opacity
        break;
    // A step never passes the pointed position.
    case pzSmallDown: SetPosition(std::max(ClampToInt(int64_t(fPosition) - fSmallChange), pointed)); break;
    case pzSmallUp: SetPosition(std::min(ClampToInt(int64_t(fPosition) + fSmallChange), pointed)); break;
    case pzPageDown: SetPosition(std::max(ClampToInt(int64_t(fPosition) - fPageSize), pointed)); break;
    case pzPageUp: SetPosition(std::min(ClampToInt(int64_t(fPosition) + fPageSize), pointed)); break;
    }
}

void TAbstractDIBDial::DIBMouseMove(platform::ShiftState shift, int x, int y) {
    TCustomDIBControl::DIBMouseMove(shift, x, y);
    // Every move of a drag assigns Position, so OnChange fires each time.
    if (fDragging && Enabled()) SetPosition(ComputePointedPosition(x, y));
}

void TAbstractDIBDial::PressAborted() {
    if (!fDragging) return;
    fDragging = false;
    SettingsChanged();
}

void TAbstractDIBDial::DIBMouseUp(platform::MouseButton button, platform::ShiftState shift, int x, int y) {
    TCustomDIBControl::DIBMouseUp(button, shift, x, y);
    if (button != platform::MouseButton::Left || !fDragging) return;
    fDragging = false;
    SettingsChanged();  // back to the Normal opacity
}

bool TAbstractDIBDial::DIBMouseWheel(int delta, platform::ShiftState shift, int x, int y) {
    if (!Enabled()) return false;
    // A turn in the other direction drops what is left of the last one.
    if ((delta > 0 && fWheelRemainder < 0) || (delta < 0 && fWheelRemainder > 0)) fWheelRemainder = 0;
    const int64_t total = int64_t(fWheelRemainder) + delta;
    int64_t notches = total / kWheelDelta;  // toward zero
    fWheelRemainder = int(total - notches * kWheelDelta);
    const int sign = notches < 0 ? -1 : 1;
    for (; notches != 0; notches -= sign) {
        bool handled = false;
        OnMouseWheel(this, sign, shift, handled);
        if (!handled) SetPosition(ClampToInt(int64_t(fPosition) + int64_t(sign) * fWheelStep));
    }
    return true;
}

}  // namespace toolkit
