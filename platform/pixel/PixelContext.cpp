#include "platform/pixel/PixelContext.h"

#include <algorithm>
#include <cstring>

#include "platform/DibSection.h"
#include "platform/pixel/TextRasterizer.h"

namespace platform {

namespace {

// Platform colour 0x00BBGGRR as the pixel word 0x00RRGGBB (alpha 0).
uint32_t PixelWord(Color color) { return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF); }

uint8_t Mix(uint8_t source, uint8_t dest, unsigned weight) {
    return static_cast<uint8_t>((source * weight + dest * (255 - weight) + 127) / 255);
}

}  // namespace

PixelContext::PixelContext(uint8_t* bits, int width, int height)
    : bits_(bits), width_(width), height_(height), base_{0, 0, width, height}, clip_(base_) {}

void PixelContext::SetBaseClip(const Rect& clip) {
    base_ = clip.Intersect({0, 0, width_, height_});
    clip_ = base_;
}

Rect PixelContext::ClipBox() const {
    if (clip_.IsEmpty()) return {};
    return clip_.Offset(-origin_.x, -origin_.y);
}

void PixelContext::SetClip(const Rect& clip) { clip_ = base_.Intersect(clip.Offset(origin_.x, origin_.y)); }

void PixelContext::DrawBitmap(int x, int y, const DibSection& source, const Rect& sourceRect) {
    // Cut the source region to the source, moving the destination with it.
    Rect from = sourceRect.Intersect({0, 0, source.Width(), source.Height()});
    if (from.IsEmpty()) return;
    x += origin_.x + (from.left - sourceRect.left);
    y += origin_.y + (from.top - sourceRect.top);
    const Rect to = Rect{x, y, x + from.Width(), y + from.Height()}.Intersect(clip_);
    if (to.IsEmpty()) return;
    from.left += to.left - x;
    from.top += to.top - y;

    const size_t rowBytes = static_cast<size_t>(to.Width()) * 4;
    const size_t sourceStride = static_cast<size_t>(source.Width()) * 4;
    for (int row = 0; row < to.Height(); ++row) {
        const uint8_t* src = source.Bits() + (source.Height() - 1 - (from.top + row)) * sourceStride + from.left * 4;
        std::memmove(Row(to.top + row) + to.left * 4, src, rowBytes);
    }
}

void PixelContext::FillRect(const Rect& rect, Color color) {
    const Rect to = rect.Offset(origin_.x, origin_.y).Intersect(clip_);
    if (to.IsEmpty()) return;
    const uint32_t word = PixelWord(color);
    for (int y = to.top; y < to.bottom; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(Row(y));
        std::fill(row + to.left, row + to.right, word);
    }
}

void PixelContext::DrawString(int x, int y, std::string_view text, const Font& font) {
    if (clip_.IsEmpty()) return;
    TextRasterizer& rasterizer = TextRasterizer::Instance();
    const int baseline = y + origin_.y + rasterizer.Metrics(font).ascent;
    const int penStart = x + origin_.x;
    const uint8_t red = font.color & 0xFF, green = (font.color >> 8) & 0xFF, blue = (font.color >> 16) & 0xFF;
    rasterizer.Layout(text, font, [&](const GlyphMask& glyph, int pen) {
        const int left = penStart + pen + glyph.left, top = baseline + glyph.top;
        const Rect to = Rect{left, top, left + glyph.width, top + glyph.height}.Intersect(clip_);
        for (int py = to.top; py < to.bottom; ++py) {
            uint8_t* row = Row(py);
            const uint8_t* cover = glyph.coverage.data() + static_cast<size_t>(py - top) * glyph.width;
            for (int px = to.left; px < to.right; ++px) {
                const unsigned weight = cover[px - left];
                if (weight == 0) continue;
                uint8_t* p = row + px * 4;
                p[0] = Mix(blue, p[0], weight);
                p[1] = Mix(green, p[1], weight);
                p[2] = Mix(red, p[2], weight);
                p[3] = 0;
            }
        }
    });
}

Size PixelContext::TextExtent(std::string_view text, const Font& font) {
    TextRasterizer& rasterizer = TextRasterizer::Instance();
    const FontMetrics metrics = rasterizer.Metrics(font);
    return {rasterizer.Width(text, font), metrics.ascent + metrics.descent};
}

}  // namespace platform

#include "platform/Label.h"

namespace platform {

Size MeasureText(std::string_view text, const Font& font) {
    TextRasterizer& rasterizer = TextRasterizer::Instance();
    const FontMetrics metrics = rasterizer.Metrics(font);
    return {rasterizer.Width(text, font), metrics.ascent + metrics.descent};
}

}  // namespace platform
