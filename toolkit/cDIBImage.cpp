#include "toolkit/cDIBImage.h"

#include <cmath>

namespace toolkit {

namespace {

long double NormalisedAngle(long double degrees) {
    if (!std::isfinite(degrees)) return 0;
    long double a = std::fmod(degrees, 360.0L);
    if (a < 0) a += 360;
    return a >= 360 ? 0 : a;
}

}  // namespace

TCustomDIBImage::TCustomDIBImage(platform::Component* owner) : TCustomDIBControl(owner), fIndexMain(&CreateLink()) {}

const platform::ClassInfo& TCustomDIBImage::StaticClass() {
    static const platform::ClassInfo info = [] {
        using platform::Value;
        platform::ClassBuilder<TCustomDIBImage> b("TCustomDIBImage", &TCustomDIBControl::StaticClass());
        b.Integer(
             "IndexMain.DIBIndex", [](const TCustomDIBImage& c) { return c.IndexMain().DIBIndex(); },
             [](TCustomDIBImage& c, int v) { c.IndexMain().SetDIBIndex(v); }, -1, INT32_MAX)
            .Default(Value::Integer(-1));
        b.Float(
             "Angle", [](const TCustomDIBImage& c) { return static_cast<double>(c.Angle()); },
             [](TCustomDIBImage& c, double v) { c.SetAngle(v); })
            .Default(Value::Float(0));
        b.Float(
             "Scale", [](const TCustomDIBImage& c) { return static_cast<double>(c.Scale()); },
             [](TCustomDIBImage& c, double v) { c.SetScale(v); })
            .Default(Value::Float(100));
        b.Bool("Center", &TCustomDIBImage::Center, &TCustomDIBImage::SetCenter).Default(Value::Identifier("False"));
        b.Bool("Stretch", &TCustomDIBImage::Stretch, &TCustomDIBImage::SetStretch).Default(Value::Identifier("False"));
        b.Bool("AutoSize", &TCustomDIBImage::AutoSize, &TCustomDIBImage::SetAutoSize)
            .Default(Value::Identifier("False"));
        return b.Build();
    }();
    return info;
}

const platform::ClassInfo& TDIBImage::StaticClass() {
    static const platform::ClassInfo info =
        platform::ClassBuilder<TDIBImage>("TDIBImage", &TCustomDIBImage::StaticClass()).Creatable().Build();
    return info;
}

std::vector<std::string> TCustomDIBImage::TemplateProperties() const {
    std::vector<std::string> names = TCustomDIBControl::TemplateProperties();
    for (const char* n : {"Angle", "AutoSize", "Center", "Opacity", "Scale", "Stretch"}) names.emplace_back(n);
    return names;
}

void TCustomDIBImage::SetAngle(long double degrees) {
    fAngle = NormalisedAngle(degrees);
    if (fAutoSize) AdjustSize();
    Invalidate();
}

void TCustomDIBImage::SetScale(long double percent) {
    if (!std::isfinite(percent) || percent < 0) percent = 0;
    fScale = percent;
    fStretch = false;
    if (fAutoSize) AdjustSize();
    Invalidate();
}

void TCustomDIBImage::SetCenter(bool on) {
    if (on == fCenter) return;
    fCenter = on;
    if (fAutoSize) AdjustSize();
    Invalidate();
}

void TCustomDIBImage::SetStretch(bool on) {
    fStretch = on;
    if (on) fAutoSize = false;
    Invalidate();
}

void TCustomDIBImage::SetAutoSize(bool on) {
    if (on == fAutoSize) return;
    fAutoSize = on;
    if (on) AdjustSize();
}

bool TCustomDIBImage::PreferredSize(int& width, int& height) const {
    TAbstractSuperDIB* image = IndexMain().Resolve();
    if (!image) return false;
    image->SetAutoSize(true);
    image->SetAngle(fAngle);
    image->SetScale(fScale);
    const platform::Point box = image->TransformedSize(image->Width(), image->Height());
    width = box.x;
    height = box.y;
    return true;
}

void TCustomDIBImage::AdjustSize() {
    if (IsLoading()) return;
    int w = 0, h = 0;
    if (PreferredSize(w, h)) SetBounds(Left(), Top(), w, h);
}

void TCustomDIBImage::Loaded() {
    TCustomDIBControl::Loaded();
    if (fAutoSize) AdjustSize();
}

void TCustomDIBImage::ImageChanged(TDIBImageLink& link) {
    if (fAutoSize) AdjustSize();
    Invalidate();
}

bool TCustomDIBImage::IsOpaque() const {
    const TAbstractSuperDIB* image = IndexMain().Resolve();
    if (!image || Opacity() != 255 || fAngle != 0 || fScale != 100 || fStretch) return false;
    if (image->Transparent() || image->Masked() || image->Opacity() != 255) return false;
    const platform::Rect at = PaintScale().ToPhysical(ClientRect());
    if (fCenter && !fAutoSize && (image->Width() != at.right || image->Height() != at.bottom)) return false;
    return image->Width() >= at.right && image->Height() >= at.bottom;
}

void TCustomDIBImage::PaintDIB(TWinDIB& surface) {
    TAbstractSuperDIB* image = IndexMain().Resolve();
    if (!image) return;
    // Physical pixels: a magnified window's images are drawn for its size.
    const platform::Rect at = PaintScale().ToPhysical(ClientRect());
    image->SetAutoSize(true);
    image->SetAngle(fAngle);
    image->SetScale(fScale);
    if (fStretch) {
        image->SetScaleX(static_cast<long double>(at.right) * 100 / image->Width());
        image->SetScaleY(static_cast<long double>(at.bottom) * 100 / image->Height());
    }
    const platform::Point box = image->TransformedSize(image->Width(), image->Height());
    int x = 0, y = 0;
    if (fCenter && !fAutoSize) {
        x = at.right / 2 - box.x / 2;
        y = at.bottom / 2 - box.y / 2;
    }
    image->SetClipRect(surface.ClipRect());
    image->Draw(surface, x, y);
}

}  // namespace toolkit
