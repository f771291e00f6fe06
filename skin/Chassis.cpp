// The chassis: the graphic layers of ChassisArt, then every caption through
// the platform's text drawing.
#include <cmath>

#include "ProductInfo.h"
#include "skin/ChassisArt.h"
#include "skin/MeterArt.h"
#include "skin/SkinLayout.h"
#include "skin/SkinPictures.h"
#include "skin/TextLayer.h"

namespace trv4skin {

namespace {

constexpr int kCaptionHeight = 9, kUnitHeight = 11, kScaleHeight = 8;
// Midway between the logo and the icons.
constexpr int kHeaderCentre = (kLogoLeft + kLogoWidth + kManualLeft) / 2;
constexpr Rgb kScaleText{176, 176, 170};
constexpr Rgb kSectionText{150, 152, 154};

// Names of the wave positions 0..10; position 0 of modulator 2 makes it
// follow modulator 1.
const char* WaveName(int modulator, int position) {
    static const char* const kNames[] = {"OFF", "1", "2", "3", "4", "5", "6", "7", "8", "9", "RND"};
    return modulator == 2 && position == 0 ? "MOD 1" : kNames[position];
}

void KnobCaptions(TextLayer& text) {
    for (const KnobPlace& k : kKnobPlaces) {
        const int cx = k.left + kKnobSize / 2;
        const double cy = k.top + kKnobSize / 2.0;
        switch (k.at) {
        case CaptionAt::Above:
            text.Put(cx, k.top + kCaptionAboveY, k.caption, kCaptionHeight, kCaption, Align::Center);
            break;
        case CaptionAt::Below:
            text.Put(cx, k.top + kCaptionBelowY, k.caption, kCaptionHeight, kCaption, Align::Center);
            break;
        case CaptionAt::Left:
            text.Put(k.left + kCaptionLeftX, k.top + kCaptionLeftY, k.caption, kCaptionHeight, kCaption, Align::Right);
            break;
        }
        if (!k.wave) continue;
        for (int i = 0; i <= 10; ++i) {
            const char* name = WaveName(k.wave, i);
            const double angle = kTravelStart + kTravelRange * i / 10;
            const double halfWidth = text.Width(name, kScaleHeight) / 2.0;
            // Far enough out that the text's nearest edge clears the ticks.
            const double reach = kScaleOuter + 5 + halfWidth * std::fabs(std::sin(angle * 3.14159265358979 / 180));
            const PointF at = OnDial(cx + 0.5, cy, reach, angle);
            text.Put(static_cast<int>(std::lround(at.x)), static_cast<int>(std::lround(at.y - 5.5)), name, kScaleHeight,
                     kScaleText, Align::Center);
        }
    }
}

void Units(TextLayer& text) {
    for (const ReadoutPlace& r : kReadoutPlaces)
        text.Put(r.left - kReadoutPadLeft + kReadoutBoxWidth + 4, r.top, r.unit, kUnitHeight, kUnitCaption);
}

void SwitchCaptions(TextLayer& text) {
    for (const SwitchPlace& s : kSwitchPlaces)
        text.Put(s.left + kSwitchWidth / 2, s.top - 17, s.caption, kCaptionHeight, kCaption, Align::Center);
}

void MeterScale(TextLayer& text) {
    static const char* const kMarks[] = {"+6", "", "0", "", "-6", "", "-12", "", "-18"};
    for (int s = 0; s < kMeterSegments; ++s)
        text.Put(kMeterLeft - 4, kMeterTop + MeterLampTop(s) - 3, kMarks[s], kScaleHeight, kScaleText, Align::Right);
    text.Put(kMeterLeft + kMeterWidth / 2 + 1, kMeterTop + kMeterHeight + 4, "OUT", kCaptionHeight, kCaption,
             Align::Center);
}

void Headings(TextLayer& text) {
    text.Put(16, 63, "DELAY", kCaptionHeight, kAccent);
    text.Put(16, 169, "MODULATOR 1", kCaptionHeight, kAccent);
    text.Put(16, 272, "MODULATOR 2", kCaptionHeight, kAccent);
    text.Put(16, 186, "SHAPE", kScaleHeight, kSectionText);
    text.Put(16, 289, "SHAPE", kScaleHeight, kSectionText);
    text.Put(kHeaderCentre, 13, "STEREO MODULATION DELAY", 12, Rgb{196, 196, 190}, Align::Center);
    text.Put(kHeaderCentre, 31, "CHORUS  \xB7  FLANGER  \xB7  VIBRATO  \xB7  TREMOLO  \xB7  AUTO-PAN", 9,
             Rgb{128, 130, 132}, Align::Center);
}

void LogoText(TextLayer& text) {
    const int cx = kLogoLeft + kLogoWidth / 2;
    text.PutBold(cx, kLogoTop + 2, trv4::product::kName, 28, Rgb{236, 236, 230}, Align::Center);
    text.Put(cx, kLogoTop + 34, trv4::product::kVendor, 10, Rgb{200, 200, 194}, Align::Center);
}

}  // namespace

void DrawChassis(toolkit::TMemoryDIB& dib, const Placement& at) {
    dib.SetSize(static_cast<uint16_t>(at.X(kChassisWidth)), static_cast<uint16_t>(at.Y(kChassisHeight)));
    dib.Fill(0);
    Painter paint(dib, at);
    PaintPanel(paint);
    PaintLogo(paint);
    PaintIcons(paint);
    PaintWaveWindows(paint);
    PaintSwitchBezels(paint);
    PaintKnobs(paint);
    PaintReadoutBoxes(paint);
    PaintMeterWell(dib, at);

    TextLayer text(dib, at);
    LogoText(text);
    Headings(text);
    KnobCaptions(text);
    SwitchCaptions(text);
    Units(text);
    MeterScale(text);
    text.Commit();
    dib.Changed();
}

}  // namespace trv4skin
