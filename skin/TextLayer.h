// Text over a finished skin picture through the platform's text drawing
// (GDI on Windows; the built-in Liberation Sans rasterizer elsewhere, so no
// font file is needed at run time). The picture's pixels are copied into a
// bitmap section, the strings drawn there, and Commit copies them back.
//
// Owns its bitmap section; window thread only.
#pragma once

#include <memory>
#include <string_view>

#include "platform/DibSection.h"
#include "toolkit/cDIB.h"
#include "skin/Painter.h"

namespace trv4skin {

enum class Align { Left, Center, Right };

class TextLayer {
public:
    // Raises platform::SystemError when the system cannot make the section.
    // Positions and heights are logical pixels of a picture placed at `at`;
    // the text is drawn at the magnified height.
    TextLayer(toolkit::TAbstractSuperDIB& dib, const Placement& at = {});

    // Draws text with its cell's top at y; x is its left edge, centre or
    // right edge by align. height is the character height in pixels.
    void Put(int x, int y, std::string_view text, int height, Rgb color, Align align = Align::Left);
    // As Put, drawn twice one pixel apart for a heavier stroke.
    void PutBold(int x, int y, std::string_view text, int height, Rgb color, Align align = Align::Left);
    // In logical pixels.
    int Width(std::string_view text, int height);
    // Copies the pixels back into the picture, every alpha byte 255.
    void Commit();

private:
    int PixelHeight(int height) const;

    toolkit::TAbstractSuperDIB& dib_;
    Placement at_;
    std::unique_ptr<platform::DibSection> section_;
};

}  // namespace trv4skin
