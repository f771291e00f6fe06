// Writes a toolkit surface as an 8-bit RGBA PNG file (top row first, as
// viewers expect). Any thread; touches only the surface and the file.
#pragma once

#include <string>

#include "toolkit/cDIB.h"

namespace trv4skin {

// False when the file cannot be written.
bool WritePng(const toolkit::TAbstractSuperDIB& dib, const std::string& path);

}  // namespace trv4skin
