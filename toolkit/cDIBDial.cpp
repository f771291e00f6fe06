// The dial's settings objects, construction, form registration and
// properties with their loading. Geometry and painting are in
// cDIBDialPaint.cpp, the mouse and the wheel in cDIBDialMouse.cpp.
#include "toolkit/cDIBDial.h"

#include <climits>

namespace toolkit {

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
    static const platform::ClassInfo info("TDIBDialPointerOpacities", &TCustomDIBDialPointerOpacities::StaticClass());
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
        b.Integer(
             "IndexMain.DIBIndex", [](const D& c) { return c.IndexMain().DIBIndex(); },
             [](D& c, int v) { c.IndexMain().SetDIBIndex(v); }, -1, INT32_MAX)
            .Default(Value::Integer(-1));
        b.Integer(
             "IndexPointer.DIBIndex", [](const D& c) { return c.IndexPointer().DIBIndex(); },
             [](D& c, int v) { c.IndexPointer().SetDIBIndex(v); }, -1, INT32_MAX)
            .Default(Value::Integer(-1));
        b.Integer("Min", &D::Min, &D::SetMin, INT32_MIN, INT32_MAX).Default(Value::Integer(0));
        b.Integer("Max", &D::Max, &D::SetMax, INT32_MIN, INT32_MAX).Default(Value::Integer(100));
        b.Integer("Position", &D::Position, &D::SetPosition, INT32_MIN, INT32_MAX).Default(Value::Integer(0));
        b.Integer("SmallChange", &D::SmallChange, &D::SetSmallChange, INT32_MIN, INT32_MAX).Default(Value::Integer(1));
        b.Integer("PageSize", &D::PageSize, &D::SetPageSize, INT32_MIN, INT32_MAX).Default(Value::Integer(1));
        b.Integer("PointerNumGlyphs", &D::PointerNumGlyphs, &D::SetPointerNumGlyphs, INT32_MIN, INT32_MAX)
            .Default(Value::Integer(1));
        b.Integer("PointerRadius", &D::PointerRadius, &D::SetPointerRadius, INT32_MIN, INT32_MAX)
            .Default(Value::Integer(-1));
        b.Bool("PointerRotate", &D::PointerRotate, &D::SetPointerRotate).Default(Value::Identifier("False"));
        b.Integer(
             "PointerAngles.Start", [](const D& c) { return c.PointerAnglesBase().Start(); },
             [](D& c, int v) { c.PointerAnglesBase().SetStart(v); }, INT32_MIN, INT32_MAX)
            .Default(Value::Integer(0));
        b.Integer(
             "PointerAngles.Range", [](const D& c) { return c.PointerAnglesBase().Range(); },
             [](D& c, int v) { c.PointerAnglesBase().SetRange(v); }, INT32_MIN, INT32_MAX)
            .Default(Value::Integer(360));
        b.Float(
             "PointerAngles.Resolution", [](const D& c) { return double(c.PointerAnglesBase().Resolution()); },
             [](D& c, double v) { c.PointerAnglesBase().SetResolution(v); })
            .Default(Value::Float(0));
        b.Integer(
             "PointerOpacities.Active", [](const D& c) { return c.PointerOpacitiesBase().Active(); },
             [](D& c, int v) { c.PointerOpacitiesBase().SetActive(uint8_t(v)); }, 0, 255)
            .Default(Value::Integer(255));
        b.Integer(
             "PointerOpacities.Normal", [](const D& c) { return c.PointerOpacitiesBase().Normal(); },
             [](D& c, int v) { c.PointerOpacitiesBase().SetNormal(uint8_t(v)); }, 0, 255)
            .Default(Value::Integer(255));
        b.Enum("MouseControlStyle", &D::MouseControlStyle,
               [](D& c, int v) { c.SetMouseControlStyle(TDIBDialMouseControlStyle(v)); }, {"mcsCircular", "mcsLinear"})
            .Default(Value::Identifier("mcsCircular"));
        b.Enum("MouseLinearSensitivity", &D::MouseLinearSensitivity,
               [](D& c, int v) { c.SetMouseLinearSensitivity(TDIBDialMouseLinearSensitivity(v)); },
               {"mlsVertical", "mlsHorizontal", "mlsBoth"})
            .Default(Value::Identifier("mlsBoth"));
        b.Float(
             "HorizontalPixelsPerPosition", [](const D& c) { return double(c.HorizontalPixelsPerPosition()); },
             [](D& c, double v) { c.SetHorizontalPixelsPerPosition(v); })
            .Default(Value::Float(1));
        b.Float(
             "VerticalPixelsPerPosition", [](const D& c) { return double(c.VerticalPixelsPerPosition()); },
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
    for (const char* n :
         {"AutoSize", "Max", "Min", "Opacity", "PageSize", "PointerAngles", "PointerOpacities", "PointerNumGlyphs",
          "PointerRadius", "PointerRotate", "Position", "SmallChange", "HorizontalPixelsPerPosition",
          "VerticalPixelsPerPosition", "MouseControlStyle", "MouseLinearSensitivity"})
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

}  // namespace toolkit
