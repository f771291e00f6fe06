// A headless window's picture written as a PNG file with the tools' writer,
// for checks that leave a picture behind for a person to compare.
#pragma once

#include <string>

#include "platform/headless/HeadlessBackend.h"
#include "tools/skin/PngWriter.h"

namespace trv4test {

// False when the window does not exist or the file cannot be written.
inline bool writeCapturePng(platform::HeadlessBackend& backend, uintptr_t handle, const std::string& path) {
    const platform::HeadlessBackend::Pixels shot = backend.CapturePixels(handle);
    return trv4skin::WritePngPixels(shot.words.data(), shot.width, shot.height, true, path);
}

}  // namespace trv4test
