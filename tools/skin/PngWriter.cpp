#include "tools/skin/PngWriter.h"

#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include "stb/stb_image_write.h"

namespace trv4skin {

bool WritePngPixels(const uint32_t* pixels, int width, int height, bool opaque, const std::string& path) {
    if (!pixels || width <= 0 || height <= 0) return false;
    const size_t count = static_cast<size_t>(width) * height;
    std::vector<uint8_t> rgba(count * 4);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        uint8_t* out = &rgba[i * 4];
        out[0] = (p >> 16) & 0xFF;
        out[1] = (p >> 8) & 0xFF;
        out[2] = p & 0xFF;
        out[3] = opaque ? 0xFF : p >> 24;
    }
    return stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
}

}  // namespace trv4skin
