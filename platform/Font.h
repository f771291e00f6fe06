// The font of a label or a message box: a face name, a pixel height and a
// text colour, as the stored forms write them (Font.Name, Font.Height,
// Font.Color).
#pragma once

#include <string>

#include "platform/Geometry.h"

namespace platform {

struct Font {
    std::string name = "Arial";
    // Pixels at 96 pixels per inch. Negative: the character (em) height;
    // positive: the cell height (ascent plus descent), as a Win32 LOGFONT.
    int height = -11;
    Color color = 0;

    bool operator==(const Font&) const = default;
};

}  // namespace platform
