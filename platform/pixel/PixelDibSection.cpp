// DibSection::Create off Windows: the pixels in plain memory.
#include <cerrno>
#include <cstdint>
#include <new>
#include <vector>

#include "platform/DibSection.h"
#include "platform/SystemError.h"
#include "platform/pixel/PixelContext.h"

namespace platform {

namespace {

class PixelDibSection final : public DibSection {
public:
    PixelDibSection(int width, int height)
        : pixels_(static_cast<size_t>(width) * height * 4),
          width_(width),
          height_(height),
          dc_(pixels_.data(), width, height) {}

    uint8_t* Bits() override { return pixels_.data(); }
    const uint8_t* Bits() const override { return pixels_.data(); }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    DeviceContext& DC() override { return dc_; }

private:
    std::vector<uint8_t> pixels_;
    int width_;
    int height_;
    PixelContext dc_;
};

}  // namespace

std::unique_ptr<DibSection> DibSection::Create(int width, int height) {
    // The same limits as a Win32 DIB section: positive sides, and the
    // picture's bytes addressable with 32 bits.
    if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > (int64_t{1} << 29)) {
        errno = EINVAL;
        throw SystemError::FromLastError();
    }
    try {
        return std::make_unique<PixelDibSection>(width, height);
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        throw SystemError::FromLastError();
    }
}

}  // namespace platform
