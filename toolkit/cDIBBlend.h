// The per-pixel blend routines of surface drawing. Each runs over one row
// of `count` pixels (0xAARRGGBB words); the settings are decided once per
// draw by choosing the routine, never per pixel.
//
// With source s, destination d and a weight w (a byte):
//   mix(w) = (w * s + (255 - w) * d + 255) >> 8     per colour channel.
//
// Window thread only (pure functions).
#pragma once

#include <cstdint>

namespace toolkit {

struct TDIBBlendParams {
    uint8_t Opacity = 255;
    uint32_t Key = 0;  // key colour in effect, pixel order, low 24 bits
};

using TDIBBlendRoutine = void (*)(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams& p);

namespace blend {
// d := s, all four bytes.
void Copy(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams& p);
// Channels mix(Opacity); alpha max(d, s).
void Opacity(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams& p);
// Channels mix(s.alpha); alpha max(d, s).
void Alpha(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams& p);
// Channels mix((s.alpha * Opacity) >> 8); alpha max(d, s).
void AlphaOpacity(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams& p);
// Colour != key: d := colour with alpha 0; else untouched.
void KeySkip(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams& p);
// Colour != key: channels mix(Opacity), alpha := s.alpha; else untouched.
void KeySkipOpacity(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams& p);
// Only d's alpha byte := s's.
void AlphaOnly(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams& p);
// d := (a, a, a, a) with a = s.alpha.
void AlphaAsGrey(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams& p);
}  // namespace blend

// The routine for a surface's settings:
//   opacity 255: masked -> Alpha, transparent -> KeySkip, else Copy;
//   below 255:   masked -> AlphaOpacity, transparent -> KeySkipOpacity,
//                else Opacity.
TDIBBlendRoutine SelectBlendRoutine(uint8_t opacity, bool masked, bool transparent);

}  // namespace toolkit
