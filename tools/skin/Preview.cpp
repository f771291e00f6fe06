#include "tools/skin/Preview.h"

#include <cmath>
#include <cstdint>
#include <iterator>

#include "skin/SkinLayout.h"
#include "skin/SkinPictures.h"

namespace trv4skin {

namespace {

// Copies src onto dest at (x, y); pixels of the key colour are skipped when
// a key is given. Only the top `rows` rows when rows >= 0.
void Put(const toolkit::TMemoryDIB& src, toolkit::TMemoryDIB& dest, int x, int y, int64_t key = -1, int rows = -1) {
    const int h = rows >= 0 ? rows : src.Height();
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < src.Width(); ++px) {
            const uint32_t p = src.Pixel(px, py);
            if (key >= 0 && (p & 0xFFFFFF) == static_cast<uint32_t>(key)) continue;
            dest.SetPixel(x + px, y + py, p);
        }
}

}  // namespace

void DrawPreview(toolkit::TMemoryDIB& dib) {
    DrawChassis(dib);
    toolkit::TMemoryDIB pointer, on, off, cover, wave1, wave2;
    DrawPointer(pointer);
    DrawSwitch(true, on);
    DrawSwitch(false, off);
    DrawMeterCover(cover);
    DrawWave(1, wave1);
    DrawWave(5, wave2);

    // Knob positions as fractions of their travel, in the order of the places.
    const double positions[] = {0.55, 0.8, 0.5, 0.35, 0.1, 0.4, 0.6, 0.9, 0.5, 0.45, 0.25, 0.7, 0.0, 0.2, 0.3, 1.0};
    static_assert(std::size(positions) == std::size(kKnobPlaces));
    for (size_t i = 0; i < std::size(kKnobPlaces); ++i) {
        const KnobPlace& k = kKnobPlaces[i];
        const double a = (kTravelStart + kTravelRange * positions[i]) * 3.14159265358979 / 180;
        const int x = static_cast<int>(std::lround(k.left + kKnobSize / 2.0 + 20 * std::sin(a) - kPointerSize / 2.0));
        const int y = static_cast<int>(std::lround(k.top + kKnobSize / 2.0 - 20 * std::cos(a) - kPointerSize / 2.0));
        Put(pointer, dib, x, y, kPointerKey);
    }
    const bool lit[] = {false, false, true, true};
    for (size_t i = 0; i < std::size(kSwitchPlaces); ++i)
        Put(lit[i] ? on : off, dib, kSwitchPlaces[i].left, kSwitchPlaces[i].top);
    Put(cover, dib, kMeterLeft, kMeterTop, -1, kMeterHeight - 7 * 5);
    Put(wave1, dib, kWaveLeft, kWaveTops[0]);
    Put(wave2, dib, kWaveLeft, kWaveTops[1]);
    dib.Changed();
}

}  // namespace trv4skin
