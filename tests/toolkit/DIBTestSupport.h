// Small helpers shared by the toolkit tests.
#pragma once

#include <cstdint>

#include "toolkit/cDIB.h"

namespace toolkit::test {

// 0xAARRGGBB in the pixel word.
constexpr uint32_t BGRA(uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
    return uint32_t(b) | (uint32_t(g) << 8) | (uint32_t(r) << 16) | (uint32_t(a) << 24);
}
inline uint8_t B(uint32_t p) { return uint8_t(p); }
inline uint8_t G(uint32_t p) { return uint8_t(p >> 8); }
inline uint8_t R(uint32_t p) { return uint8_t(p >> 16); }
inline uint8_t A(uint32_t p) { return uint8_t(p >> 24); }

inline void FillAll(TAbstractSuperDIB& dib, uint32_t bgra) {
    for (int y = 0; y < dib.Height(); ++y)
        for (int x = 0; x < dib.Width(); ++x) dib.SetPixel(x, y, bgra);
}

// A distinct opaque value per pixel, so a test can see which one landed.
inline uint32_t Tag(int x, int y) { return BGRA(uint8_t(x), uint8_t(y), 0x40, 0xFF); }
inline void FillTagged(TAbstractSuperDIB& dib) {
    for (int y = 0; y < dib.Height(); ++y)
        for (int x = 0; x < dib.Width(); ++x) dib.SetPixel(x, y, Tag(x, y));
}

}  // namespace toolkit::test
