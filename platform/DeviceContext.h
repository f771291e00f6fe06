// A place to draw into: a window during its paint, or an off-screen 32-bit
// bitmap. On Windows it wraps an HDC and draws with GDI; elsewhere it draws
// into a pixel buffer (the X11 backend copies that buffer to the screen).
//
// Window thread only.
#pragma once

#include <string_view>

#include "platform/Font.h"
#include "platform/Geometry.h"

namespace platform {

class DibSection;

class DeviceContext {
public:
    virtual ~DeviceContext() = default;

    // The window origin of drawing (a paint moves it to each child control)
    // and the clip box in the moved coordinates.
    virtual Point Origin() const = 0;
    virtual void SetOrigin(Point origin) = 0;
    virtual Rect ClipBox() const = 0;
    // Restricts drawing to a rectangle, in the moved coordinates; it replaces
    // an earlier SetClip but never reaches outside the paint's own region.
    virtual void SetClip(const Rect& clip) = 0;
    virtual void ResetClip() = 0;

    // Copies a region of a bitmap (top-down coordinates) to (x, y), unscaled.
    virtual void DrawBitmap(int x, int y, const DibSection& source, const Rect& sourceRect) = 0;
    // Every pixel of the rectangle := the colour (alpha byte 0, as GDI
    // leaves it in a 32-bit bitmap).
    virtual void FillRect(const Rect& rect, Color color) = 0;
    // Draws 8-bit (Windows-1252) text with the font's colour and a transparent
    // background; (x, y) is the top-left corner of the first character cell.
    virtual void DrawString(int x, int y, std::string_view text, const Font& font) = 0;
    // Width of the text and height of the font's cell, in pixels.
    virtual Size TextExtent(std::string_view text, const Font& font) = 0;
};

}  // namespace platform
