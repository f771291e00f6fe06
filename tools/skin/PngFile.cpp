#include "tools/skin/PngFile.h"

#include <cstdint>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include "stb/stb_image_write.h"

namespace trv4skin {

bool WritePng(const toolkit::TAbstractSuperDIB& dib, const std::string& path) {
    const int w = dib.Width(), h = dib.Height();
    if (!dib.Bits() || w <= 0 || h <= 0) return false;
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t p = dib.Pixel(x, y);
            uint8_t* out = &rgba[(static_cast<size_t>(y) * w + x) * 4];
            out[0] = (p >> 16) & 0xFF;
            out[1] = (p >> 8) & 0xFF;
            out[2] = p & 0xFF;
            out[3] = p >> 24;
        }
    return stbi_write_png(path.c_str(), w, h, 4, rgba.data(), w * 4) != 0;
}

}  // namespace trv4skin
