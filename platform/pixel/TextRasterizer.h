// Turns 8-bit text into coverage masks with the sans-serif face built into
// the binary (Liberation Sans, metric-compatible with Arial), so that nothing
// is loaded from the system at run time. Every face name maps to it.
//
// Glyph masks are cached per pixel height; the cache is shared by all
// windows of the process and guarded by a mutex (window threads only).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Font.h"

namespace platform {

struct GlyphMask {
    int left = 0;  // offset of the mask from the pen position, pixels
    int top = 0;   // offset of the mask from the baseline (negative: above)
    int width = 0;
    int height = 0;
    int advance = 0;                // whole pixels, as GDI advances
    std::vector<uint8_t> coverage;  // width * height, top row first, 0..255
};

struct FontMetrics {
    int ascent = 0;   // pixels above the baseline
    int descent = 0;  // pixels below it
};

class TextRasterizer {
public:
    static TextRasterizer& Instance();

    FontMetrics Metrics(const Font& font);
    // Calls draw(mask, penX) for each character, penX relative to the start.
    template <typename Draw>
    void Layout(std::string_view text, const Font& font, Draw&& draw);
    int Width(std::string_view text, const Font& font);

    TextRasterizer(const TextRasterizer&) = delete;
    TextRasterizer& operator=(const TextRasterizer&) = delete;
    // Frees the glyph cache when the library holding it is unloaded.
    ~TextRasterizer();

private:
    TextRasterizer();
    const GlyphMask& Glyph(int pixelHeight, uint8_t character);

    struct Impl;
    Impl* impl_;
};

template <typename Draw>
void TextRasterizer::Layout(std::string_view text, const Font& font, Draw&& draw) {
    int pen = 0;
    for (char c : text) {
        const GlyphMask& glyph = Glyph(font.height, static_cast<uint8_t>(c));
        draw(glyph, pen);
        pen += glyph.advance;
    }
}

}  // namespace platform
