// Where the editor's controls lie on the chassis, so the artwork under them
// matches: knob places, read-out places, switch places, the meter, the wave
// windows and the click areas. All coordinates are top-down window pixels.
// Constant data only; any thread.
#pragma once

namespace trv4skin {

constexpr int kKnobSize = 49;

// Where a knob's caption goes: above it; below it (the wave knobs, whose
// scale names fill the top); or left of it (the feedback filter knobs, which
// sit right under the read-out of the knob above).
enum class CaptionAt { Above, Below, Left };

struct KnobPlace {
    int left, top;  // of the 49 x 49 dial
    const char* caption;
    CaptionAt at;
    int wave;  // 0: continuous knob; 1 or 2: the wave knob of that modulator
};

constexpr CaptionAt kAbove = CaptionAt::Above, kBelow = CaptionAt::Below, kLeft = CaptionAt::Left;
constexpr KnobPlace kKnobPlaces[] = {
    {122, 79, "DELAY", kAbove, 0},        {322, 79, "LEVEL", kAbove, 0},   {542, 79, "MIX", kAbove, 0},
    {666, 96, "FEEDBACK", kAbove, 0},     {122, 184, "WAVE", kBelow, 1},   {222, 184, "RATE", kAbove, 0},
    {322, 184, "DEPTH", kAbove, 0},       {666, 190, "HIGH", kLeft, 0},    {122, 284, "WAVE", kBelow, 2},
    {222, 284, "RATE", kAbove, 0},        {322, 284, "OFFSET", kAbove, 0}, {422, 284, "PAN", kAbove, 0},
    {542, 284, "HOST OFFSET", kAbove, 0}, {666, 284, "LOW", kLeft, 0},     {422, 184, "AM", kAbove, 0},
    {422, 79, "HI-CUT", kAbove, 0},
};
// Caption cells relative to the knob's left, top (text 9 pixels high).
constexpr int kCaptionAboveY = -18, kCaptionBelowY = kKnobSize + 17, kCaptionLeftX = -9, kCaptionLeftY = 6;
constexpr int kScaleInner = 27, kScaleOuter = 31;  // radii of the scale ticks
// Dial travel: 300 degrees from 210 degrees, clockwise from 12 o'clock.
constexpr double kTravelStart = 210, kTravelRange = 300;

struct ReadoutPlace {
    int left, top;     // of the label's text
    const char* unit;  // printed right of the box; Windows-1252
};

constexpr ReadoutPlace kReadoutPlaces[] = {
    {130, 142, "ms"},   {330, 142, "dB"}, {430, 142, "Hz"}, {550, 142, "%"},    {230, 247, "Hz"},
    {330, 247, "%"},    {430, 247, "%"},  {230, 347, "Hz"}, {330, 347, "\xB0"}, {430, 347, "%"},
    {550, 347, "\xB0"}, {674, 159, "%"},  {674, 253, "Hz"}, {674, 347, "Hz"},
};
// The black box around a read-out: five characters of 11-pixel Arial.
constexpr int kReadoutPadLeft = 3, kReadoutPadTop = 1;
constexpr int kReadoutBoxWidth = 38, kReadoutBoxHeight = 15;

struct SwitchPlace {
    int left, top;  // of the 30 x 45 picture pair
    const char* caption;
};

constexpr SwitchPlace kSwitchPlaces[] = {
    {217, 95, "MONO"},
    {257, 95, "-20dB"},
    {520, 200, "SPREAD"},
    {580, 200, "SYNC"},
};

constexpr int kMeterLeft = 500, kMeterTop = 78;
constexpr int kWaveLeft = 22, kWaveTops[] = {206, 306};
constexpr int kLogoLeft = 12, kLogoTop = 6, kLogoWidth = 105, kLogoHeight = 48;
constexpr int kManualLeft = 642, kAboutLeft = 692, kIconTop = 10, kIconSize = 40;

}  // namespace trv4skin
