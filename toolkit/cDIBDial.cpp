// The dial's settings objects, properties, geometry, painting and form
// registration. The mouse and the wheel are in cDIBDialMouse.cpp.
#include "toolkit/cDIBDial.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

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

// --- Settings objects --------------------------------------------------------

void TCustomDIBDialPointerAngles::SetStart(int degrees) {
    if (degrees < 0 || degrees >= 360) throw EDIBDialError(dialmsg::kStart);
    fStart = degrees;
    Changed();
}

void TCustomDIBDialPointerAngles::SetRange(int degrees) {
    if (degrees < 1 || degrees > 360) throw EDIBDialError(dialmsg::kRange);
    fRange = degrees;
    // A Resolution below the new Range is raised to it; one above it stays.
    if (fResolution < fRange) SetResolution(fRange);
    Changed();
}

void TCustomDIBDialPointerAngles::SetResolution(long double resolution) {
    if (!(resolution >= 0 && resolution <= fRange))
        throw EDIBDialError(dialmsg::kResolution + std::to_string(fRange + 1));
    fResolution = resolution;
    Changed();
}

void TCustomDIBDialPointerAngles::Assign(const TCustomDIBDialPointerAngles& other) {
    fStart = other.fStart;
    fRange = other.fRange;
    fResolution = other.fResolution;
    Changed();
}

const platform::ClassInfo& TCustomDIBDialPointerAngles::StaticClass() {
    static const platform::ClassInfo info("TCustomDIBDialPointerAngles", nullptr);
    return info;
}

const platform::ClassInfo& TDIBDialPointerAngles::StaticClass() {
    static const platform::ClassInfo info("TDIBDialPointerAngles", &TCustomDIBDialPointerAngles::StaticClass());
    return info;
}

void TCustomDIBDialPointerOpacities::SetActive(uint8_t opacity) {
    fActive = opacity;
    Changed();
}

void TCustomDIBDialPointerOpacities::SetNormal(uint8_t opacity) {
    fNormal = opacity;
    Changed();
}

void TCustomDIBDialPointerOpacities::Assign(const TCustomDIBDialPointerOpacities& other) {
    fActive = other.fActive;
    fNormal = other.fNormal;
    Changed();
}

const platform::ClassInfo& TCustomDIBDialPointerOpacities::StaticClass() {
    static const platform::ClassInfo info("TCustomDIBDialPointerOpacities", nullptr);
    return info;
}

const platform::ClassInfo& TDIBDialPointerOpacities::StaticClass() {
    static const platform::ClassInfo info("TDIBDialPointerOpacities",
                                          &TCustomDIBDialPointerOpacities::StaticClass());
    return info;
}

// --- Construction and registration -----------------------------------------

TAbstractDIBDial::TAbstractDIBDial(platform::Component* owner)
    : TCustomDIBControl(owner), fIndexMain(&CreateLink()), fIndexPointer(&CreateLink()) {
    SetAutoRepeat(true);
    SetRepeatPeriod(50);
}

TAbstractDIBDial::~TAbstractDIBDial() = default;

void TAbstractDIBDial::CreateSettings() {
    fAngles = CreatePointerAngles();
    fOpacities = CreatePointerOpacities();
    fAngles->OnChange = [this](TDIBDialSettings&) { SettingsChanged(); };
    fOpacities->OnChange = [this](TDIBDialSettings&) { SettingsChanged(); };
}

TCustomDIBDial::TCustomDIBDial(platform::Component* owner) : TAbstractDIBDial(owner) { CreateSettings(); }

std::unique_ptr<TCustomDIBDialPointerAngles> TCustomDIBDial::CreatePointerAngles() {
    return std::make_unique<TDIBDialPointerAngles>(this);
}

std::unique_ptr<TCustomDIBDialPointerOpacities> TCustomDIBDial::CreatePointerOpacities() {
    return std::make_unique<TDIBDialPointerOpacities>(this);
}

const platform::ClassInfo& TAbstractDIBDial::StaticClass() {
    static const platform::ClassInfo info = [] {
        using platform::Value;
        using D = TAbstractDIBDial;
        platform::ClassBuilder<D> b("TAbstractDIBDial", &TCustomDIBControl::StaticClass());
        b.Integer("IndexMain.DIBIndex", [](const D& c) { return c.IndexMain().DIBIndex(); },
                  [](D& c, int v) { c.IndexMain().SetDIBIndex(v); }, -1, INT32_MAX)
            .Default(Value::Integer(-1));
        b.Integer("IndexPointer.DIBIndex", [](const D& c) { return c.IndexPointer().DIBIndex(); },
                  [](D& c, int v) { c.IndexPointer().SetDIBIndex(v); }, -1, INT32_MAX)
            .Default(Value::Integer(-1));
        b.Integer("Min", &D::Min, &D::SetMin, INT32_MIN, INT32_MAX).Default(Value::Integer(0));
        b.Integer("Max", &D::Max, &D::SetMax, INT32_MIN, INT32_MAX).Default(Value::Integer(100));
        b.Integer("Position", &D::Position, &D::SetPosition, INT32_MIN, INT32_MAX).Default(Value::Integer(0));
        b.Integer("SmallChange", &D::SmallChange, &D::SetSmallChange, INT32_MIN, INT32_MAX)
            .Default(Value::Integer(1));
        b.Integer("PageSize", &D::PageSize, &D::SetPageSize, INT32_MIN, INT32_MAX).Default(Value::Integer(1));
        b.Integer("PointerNumGlyphs", &D::PointerNumGlyphs, &D::SetPointerNumGlyphs, INT32_MIN, INT32_MAX)
            .Default(Value::Integer(1));
        b.Integer("PointerRadius", &D::PointerRadius, &D::SetPointerRadius, INT32_MIN, INT32_MAX)
            .Default(Value::Integer(-1));
        b.Bool("PointerRotate", &D::PointerRotate, &D::SetPointerRotate).Default(Value::Identifier("False"));
        b.Integer("PointerAngles.Start", [](const D& c) { return c.PointerAnglesBase().Start(); },
                  [](D& c, int v) { c.PointerAnglesBase().SetStart(v); }, INT32_MIN, INT32_MAX)
            .Default(Value::Integer(0));
        b.Integer("PointerAngles.Range", [](const D& c) { return c.PointerAnglesBase().Range(); },
                  [](D& c, int v) { c.PointerAnglesBase().SetRange(v); }, INT32_MIN, INT32_MAX)
            .Default(Value::Integer(360));
        b.Float("PointerAngles.Resolution", [](const D& c) { return double(c.PointerAnglesBase().Resolution()); },
                [](D& c, double v) { c.PointerAnglesBase().SetResolution(v); })
            .Default(Value::Float(0));
        b.Integer("PointerOpacities.Active", [](const D& c) { return c.PointerOpacitiesBase().Active(); },
                  [](D& c, int v) { c.PointerOpacitiesBase().SetActive(uint8_t(v)); }, 0, 255)
            .Default(Value::Integer(255));
        b.Integer("PointerOpacities.Normal", [](const D& c) { return c.PointerOpacitiesBase().Normal(); },
                  [](D& c, int v) { c.PointerOpacitiesBase().SetNormal(uint8_t(v)); }, 0, 255)
            .Default(Value::Integer(255));
        b.Enum("MouseControlStyle", &D::MouseControlStyle,
               [](D& c, int v) { c.SetMouseControlStyle(TDIBDialMouseControlStyle(v)); },
               {"mcsCircular", "mcsLinear"})
            .Default(Value::Identifier("mcsCircular"));
        b.Enum("MouseLinearSensitivity", &D::MouseLinearSensitivity,
               [](D& c, int v) { c.SetMouseLinearSensitivity(TDIBDialMouseLinearSensitivity(v)); },
               {"mlsVertical", "mlsHorizontal", "mlsBoth"})
            .Default(Value::Identifier("mlsBoth"));
        b.Float("HorizontalPixelsPerPosition", [](const D& c) { return double(c.HorizontalPixelsPerPosition()); },
                [](D& c, double v) { c.SetHorizontalPixelsPerPosition(v); })
            .Default(Value::Float(1));
        b.Float("VerticalPixelsPerPosition", [](const D& c) { return double(c.VerticalPixelsPerPosition()); },
                [](D& c, double v) { c.SetVerticalPixelsPerPosition(v); })
            .Default(Value::Float(1));
        b.Bool("AutoSize", &D::AutoSize, &D::SetAutoSize).Default(Value::Identifier("True"));
        b.Integer("WheelStep", &D::WheelStep, &D::SetWheelStep, INT32_MIN, INT32_MAX).Default(Value::Integer(1));
        platform::AddEventProperty(b, "OnChange", &D::OnChange);
        platform::AddEventProperty(b, "OnMouseWheel", &D::OnMouseWheel);
        return b.Build();
    }();
    return info;
}

const platform::ClassInfo& TCustomDIBDial::StaticClass() {
    static const platform::ClassInfo info =
        platform::ClassBuilder<TCustomDIBDial>("TCustomDIBDial", &TAbstractDIBDial::StaticClass()).Build();
    return info;
}

const platform::ClassInfo& TDIBDial::StaticClass() {
    static const platform::ClassInfo info =
        platform::ClassBuilder<TDIBDial>("TDIBDial", &TCustomDIBDial::StaticClass()).Creatable().Build();
    return info;
}

void TDIBDial::RegisterClass() { platform::ClassRegistry::Register(StaticClass()); }

std::vector<std::string> TAbstractDIBDial::TemplateProperties() const {
    std::vector<std::string> names = TCustomDIBControl::TemplateProperties();
    for (const char* n : {"AutoSize", "Max", "Min", "Opacity", "PageSize", "PointerAngles", "PointerOpacities",
                          "PointerNumGlyphs", "PointerRadius", "PointerRotate", "Position", "SmallChange",
                          "HorizontalPixelsPerPosition", "VerticalPixelsPerPosition", "MouseControlStyle",
                          "MouseLinearSensitivity"})
        names.emplace_back(n);
    return names;
}

// --- Properties ----------------------------------------------------------------

void TAbstractDIBDial::SetMin(int value) {
    if (!IsLoading() && value >= fMax) throw EDIBDialError(dialmsg::kMinBelowMax);
    fMin = value;
    // While loading, Position is clamped once everything is read, so the
    // stored properties may come in any order.
    if (!IsLoading() && fPosition < fMin) SetPosition(fMin);
    PositionChanged();
}

void TAbstractDIBDial::SetMax(int value) {
    if (!IsLoading() && value <= fMin) throw EDIBDialError(dialmsg::kMaxAboveMin);
    fMax = value;
    if (!IsLoading() && fPosition > fMax) SetPosition(fMax);
    PositionChanged();
}

void TAbstractDIBDial::SetPosition(int value) {
    if (IsLoading()) {
        fPosition = value;
        return;
    }
    // Max below Min can only come from a stored description; Min wins then.
    if (value > fMax) value = fMax;
    if (value < fMin) value = fMin;
    fPosition = value;
    PositionChanged();
    OnChange(this);
    PositionChanged();
}

void TAbstractDIBDial::SetSmallChange(int value) {
    if (!IsLoading() && value < 0) throw EDIBDialError(dialmsg::kSmallChange);
    fSmallChange = value;
}

void TAbstractDIBDial::SetPageSize(int value) {
    if (!IsLoading() && value < 0) throw EDIBDialError(dialmsg::kPageSize);
    fPageSize = value;
}

void TAbstractDIBDial::SetPointerNumGlyphs(int value) {
    if (value <= 0) throw EDIBDialError(dialmsg::kNumGlyphs);
    fNumGlyphs = value;
    SettingsChanged();
}

void TAbstractDIBDial::SetPointerRadius(int value) {
    fPointerRadius = value;
    SettingsChanged();
}

void TAbstractDIBDial::SetPointerRotate(bool on) {
    fPointerRotate = on;
    SettingsChanged();
}

void TAbstractDIBDial::SetAutoSize(bool on) {
    if (on == fAutoSize) return;
    fAutoSize = on;
    if (on) AdjustSize();
}

void TAbstractDIBDial::SetHorizontalPixelsPerPosition(long double pixels) {
    if (!(pixels > 0)) throw EDIBDialError(dialmsg::kHorizontalPixels);
    fHorizontalPixels = pixels;
}

void TAbstractDIBDial::SetVerticalPixelsPerPosition(long double pixels) {
    if (!(pixels > 0)) throw EDIBDialError(dialmsg::kVerticalPixels);
    fVerticalPixels = pixels;
}

void TAbstractDIBDial::Loaded() {
    TCustomDIBControl::Loaded();
    if (fPosition > fMax) fPosition = fMax;
    if (fPosition < fMin) fPosition = fMin;
    if (fAutoSize) AdjustSize();
}

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

int TAbstractDIBDial::PointerRadiusInEffect(int glyphWidth, int glyphHeight) const {
    if (fPointerRadius > 0) return fPointerRadius;
    // Automatic: the glyph runs along the inside of the control's edge.
    const int r = std::min(Width(), Height()) / 2 - std::max(glyphWidth, glyphHeight) / 2;
    return std::max(r, 0);
}

platform::Rect TAbstractDIBDial::PointerRect() const {
    const TAbstractSuperDIB* pointer = IndexPointer().Resolve();
    if (!pointer) return {0, 0, 0, 0};
    const int angle = PointerAngle();
    const int cx = Width() / 2, cy = Height() / 2;
    const int gw = pointer->Width() / fNumGlyphs, gh = pointer->Height();
    const long double r = PointerRadiusInEffect(gw, gh);
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
    TAbstractSuperDIB* body = IndexMain().Resolve();
    if (!body) return;
    body->Draw(surface, Width() / 2 - body->Width() / 2, Height() / 2 - body->Height() / 2);

    if (!IndexPointer().Resolve()) return;
    const platform::Rect box = PointerRect();
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
