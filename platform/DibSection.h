// Pixel storage the system can draw into and copy to the screen: a 32-bit
// device-independent bitmap section selected into a memory device context on
// Windows, a plain pixel buffer elsewhere.
//
// Layout: 4 bytes per pixel, blue, green, red, alpha; rows bottom-up (the
// first row in memory is the bottom row of the picture), no gaps.
// Window thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/DeviceContext.h"

namespace platform {

class DibSection {
public:
    // Raises platform::SystemError ("Windows error (N) message") when the
    // system cannot create the bitmap.
    static std::unique_ptr<DibSection> Create(int width, int height);
    virtual ~DibSection() = default;

    virtual uint8_t* Bits() = 0;
    virtual const uint8_t* Bits() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Drawing into this context changes the pixels (labels, plain pictures).
    virtual DeviceContext& DC() = 0;
};

}  // namespace platform
