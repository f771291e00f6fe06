// Blend routines. Red and blue sit 16 bits apart, so one 32-bit multiply
// mixes both: every lane stays below 255 * 255 + 255 = 65280 and cannot
// carry into the next, which gives exactly the per-channel result.
#include "toolkit/cDIBBlend.h"

#include <cstring>

namespace toolkit {
namespace {

constexpr uint32_t kRB = 0x00FF00FFu;

// Colour channels of mix(w); the alpha byte of the result is 0.
inline uint32_t MixColour(uint32_t s, uint32_t d, uint32_t w) {
    const uint32_t iw = 255 - w;
    const uint32_t rb = ((((s & kRB) * w) + ((d & kRB) * iw) + kRB) >> 8) & kRB;
    const uint32_t g = ((((s >> 8) & 0xFF) * w + ((d >> 8) & 0xFF) * iw + 255) >> 8) & 0xFF;
    return rb | (g << 8);
}

inline uint32_t MaxAlpha(uint32_t s, uint32_t d) {
    const uint32_t sa = s & 0xFF000000u;
    const uint32_t da = d & 0xFF000000u;
    return sa > da ? sa : da;
}

}  // namespace

namespace blend {

void Copy(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams&) {
    // memmove: a surface may be drawn onto itself (or onto a view of it).
    std::memmove(dst, src, static_cast<size_t>(count) * 4);
}

void Opacity(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams& p) {
    const uint32_t w = p.Opacity;
    for (int i = 0; i < count; ++i) {
        const uint32_t s = src[i], d = dst[i];
        dst[i] = MixColour(s, d, w) | MaxAlpha(s, d);
    }
}

void Alpha(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams&) {
    for (int i = 0; i < count; ++i) {
        const uint32_t s = src[i], d = dst[i];
        dst[i] = MixColour(s, d, s >> 24) | MaxAlpha(s, d);
    }
}

void AlphaOpacity(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams& p) {
    const uint32_t op = p.Opacity;
    for (int i = 0; i < count; ++i) {
        const uint32_t s = src[i], d = dst[i];
        dst[i] = MixColour(s, d, ((s >> 24) * op) >> 8) | MaxAlpha(s, d);
    }
}

void KeySkip(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams& p) {
    const uint32_t key = p.Key & 0x00FFFFFFu;
    for (int i = 0; i < count; ++i) {
        const uint32_t c = src[i] & 0x00FFFFFFu;
        if (c != key) dst[i] = c;
    }
}

void KeySkipOpacity(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams& p) {
    const uint32_t key = p.Key & 0x00FFFFFFu;
    const uint32_t w = p.Opacity;
    for (int i = 0; i < count; ++i) {
        const uint32_t s = src[i];
        if ((s & 0x00FFFFFFu) != key) dst[i] = MixColour(s, dst[i], w) | (s & 0xFF000000u);
    }
}

void AlphaOnly(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams&) {
    for (int i = 0; i < count; ++i) dst[i] = (dst[i] & 0x00FFFFFFu) | (src[i] & 0xFF000000u);
}

void AlphaAsGrey(uint32_t* dst, const uint32_t* src, int count, const TDIBBlendParams&) {
    for (int i = 0; i < count; ++i) dst[i] = (src[i] >> 24) * 0x01010101u;
}

}  // namespace blend

TDIBBlendRoutine SelectBlendRoutine(uint8_t opacity, bool masked, bool transparent) {
    if (opacity == 255) {
        if (masked) return blend::Alpha;
        return transparent ? blend::KeySkip : blend::Copy;
    }
    if (masked) return blend::AlphaOpacity;
    return transparent ? blend::KeySkipOpacity : blend::Opacity;
}

}  // namespace toolkit
