// Internal: the system's picture loader behind TAbstractSuperDIB::ImportFile.
// On Windows it is GDI+ (loaded on demand from the system's gdiplus.dll);
// elsewhere JPEG goes through libjpeg, PNG through libpng and BMP through
// our own reader. Window thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/cDIBFormat.h"

namespace toolkit::detail {

// Decodes a whole file (path for loaders that open it themselves, bytes for
// the others). Raises an EDIBError descendant for anything it cannot read.
TDIBImageData DecodePicture(const std::string& path, const std::vector<uint8_t>& bytes);

// The decoders of the non-Windows loader, over a file's bytes.
TDIBImageData DecodeJpeg(const uint8_t* data, size_t size);
TDIBImageData DecodePng(const uint8_t* data, size_t size);
TDIBImageData DecodeBmp(const uint8_t* data, size_t size);

}  // namespace toolkit::detail
