#include "tools/skin/PngFile.h"

#include <cstdint>
#include <vector>

#include "tools/skin/PngWriter.h"

namespace trv4skin {

bool WritePng(const toolkit::TAbstractSuperDIB& dib, const std::string& path) {
    const int w = dib.Width(), h = dib.Height();
    if (!dib.Bits() || w <= 0 || h <= 0) return false;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * w + x] = dib.Pixel(x, y);
    return WritePngPixels(pixels.data(), w, h, false, path);
}

}  // namespace trv4skin
