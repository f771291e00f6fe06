// The device context over a plain 32-bit pixel buffer (blue, green, red,
// alpha; rows bottom-up, no gaps): the drawing target of memory bitmaps and
// of the X11 and headless windows' back buffers. It does not own the pixels.
//
// The base clip limits every drawing operation (a paint's update rectangle);
// SetClip narrows it further and ResetClip returns to it. Both are kept in
// buffer coordinates; the interface speaks in coordinates moved by the origin.
//
// Window thread only.
#pragma once

#include <cstdint>

#include "platform/DeviceContext.h"

namespace platform {

class PixelContext : public DeviceContext {
public:
    PixelContext(uint8_t* bits, int width, int height);

    // Buffer coordinates, top-down; clipped to the buffer.
    void SetBaseClip(const Rect& clip);

    Point Origin() const override { return origin_; }
    void SetOrigin(Point origin) override { origin_ = origin; }
    Rect ClipBox() const override;
    void SetClip(const Rect& clip) override;
    void ResetClip() override { clip_ = base_; }

    void DrawBitmap(int x, int y, const DibSection& source, const Rect& sourceRect) override;
    void FillRect(const Rect& rect, Color color) override;
    void DrawString(int x, int y, std::string_view text, const Font& font) override;
    Size TextExtent(std::string_view text, const Font& font) override;

private:
    uint8_t* Row(int y) const { return bits_ + static_cast<size_t>(height_ - 1 - y) * width_ * 4; }

    uint8_t* bits_;
    int width_;
    int height_;
    Point origin_;
    Rect base_;
    Rect clip_;
};

}  // namespace platform
