#include "platform/pixel/TextRasterizer.h"

#include <cmath>
#include <map>
#include <mutex>

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb/stb_truetype.h>

#include "platform/pixel/EmbeddedFont.h"

namespace platform {

namespace {

// Windows-1252 positions 0x80..0x9F; 0 marks the five unassigned ones.
constexpr uint16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int CodePoint(uint8_t c) {
    if (c >= 0x80 && c < 0xA0) return kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : '?';
    return c;
}

}  // namespace

struct TextRasterizer::Impl {
    stbtt_fontinfo face{};
    std::mutex mutex;
    std::map<std::pair<int, uint8_t>, GlyphMask> glyphs;

    float Scale(int height) {
        if (height > 0) return stbtt_ScaleForPixelHeight(&face, static_cast<float>(height));
        return stbtt_ScaleForMappingEmToPixels(&face, static_cast<float>(height < 0 ? -height : 11));
    }
};

TextRasterizer& TextRasterizer::Instance() {
    static TextRasterizer instance;
    return instance;
}

TextRasterizer::TextRasterizer() : impl_(new Impl) {
    // The font is part of the binary and checked at build time; a failure
    // here leaves a face without glyphs (stb then reports zero metrics).
    stbtt_InitFont(&impl_->face, EmbeddedSansData(), stbtt_GetFontOffsetForIndex(EmbeddedSansData(), 0));
}

TextRasterizer::~TextRasterizer() { delete impl_; }

FontMetrics TextRasterizer::Metrics(const Font& font) {
    std::lock_guard lock(impl_->mutex);
    // GDI's cell is the OS/2 table's usWinAscent and usWinDescent; Liberation
    // Sans carries Arial's values there. Each is rounded to whole pixels, as
    // wine's GDI does (Arial at -11: ascent 10, descent 2).
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&impl_->face, &ascent, &descent, &gap);
    descent = -descent;
    uint8_t* data = impl_->face.data;
    if (const uint32_t os2 = stbtt__find_table(data, impl_->face.fontstart, "OS/2")) {
        ascent = ttUSHORT(data + os2 + 74);
        descent = ttUSHORT(data + os2 + 76);
    }
    const float scale = impl_->Scale(font.height);
    return {static_cast<int>(std::lround(ascent * scale)), static_cast<int>(std::lround(descent * scale))};
}

int TextRasterizer::Width(std::string_view text, const Font& font) {
    int width = 0;
    for (char c : text) width += Glyph(font.height, static_cast<uint8_t>(c)).advance;
    return width;
}

const GlyphMask& TextRasterizer::Glyph(int pixelHeight, uint8_t character) {
    std::lock_guard lock(impl_->mutex);
    auto [it, fresh] = impl_->glyphs.try_emplace({pixelHeight, character});
    GlyphMask& glyph = it->second;
    if (!fresh) return glyph;

    const float scale = impl_->Scale(pixelHeight);
    const int index = stbtt_FindGlyphIndex(&impl_->face, CodePoint(character));
    int advance = 0, bearing = 0;
    stbtt_GetGlyphHMetrics(&impl_->face, index, &advance, &bearing);
    glyph.advance = static_cast<int>(std::lround(advance * scale));
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    stbtt_GetGlyphBitmapBox(&impl_->face, index, scale, scale, &x0, &y0, &x1, &y1);
    if (x1 > x0 && y1 > y0) {
        glyph.left = x0;
        glyph.top = y0;
        glyph.width = x1 - x0;
        glyph.height = y1 - y0;
        glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.height);
        stbtt_MakeGlyphBitmap(&impl_->face, glyph.coverage.data(), glyph.width, glyph.height, glyph.width, scale, scale,
                              index);
    }
    return glyph;
}

}  // namespace platform
