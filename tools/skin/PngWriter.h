// Writes 32-bit pixels as an 8-bit RGBA PNG file (stb_image_write). Plain
// memory in, no toolkit types, so that any tool can write its pictures with
// it. Any thread; touches only the pixels and the file.
#pragma once

#include <cstdint>
#include <string>

namespace trv4skin {

// pixels: width * height words 0xAARRGGBB, top row first; with opaque the
// alpha bytes are ignored and written as 255. False when the file cannot be
// written or the size is empty.
bool WritePngPixels(const uint32_t* pixels, int width, int height, bool opaque, const std::string& path);

}  // namespace trv4skin
