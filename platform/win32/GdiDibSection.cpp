// DibSection::Create on Windows: a 32-bit DIB section selected into a memory
// DC compatible with the screen.
#include <windows.h>

#include "platform/DibSection.h"
#include "platform/SystemError.h"
#include "platform/win32/GdiContext.h"

namespace platform {

namespace {

class GdiDibSection final : public DibSection {
public:
    GdiDibSection(HDC memory, HBITMAP bitmap, HGDIOBJ previous, void* bits, int width, int height)
        : memory_(memory),
          bitmap_(bitmap),
          previous_(previous),
          bits_(static_cast<uint8_t*>(bits)),
          width_(width),
          height_(height),
          dc_(memory) {}

    ~GdiDibSection() override {
        SelectObject(memory_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(memory_);
    }

    // GDI may still hold drawing calls in its batch: flush before the
    // pixels are read or written directly.
    uint8_t* Bits() override {
        GdiFlush();
        return bits_;
    }
    const uint8_t* Bits() const override {
        GdiFlush();
        return bits_;
    }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    DeviceContext& DC() override { return dc_; }

private:
    HDC memory_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    uint8_t* bits_;
    int width_;
    int height_;
    GdiContext dc_;
};

}  // namespace

std::unique_ptr<DibSection> DibSection::Create(int width, int height) {
    if (width <= 0 || height <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        throw SystemError::FromLastError();
    }
    HDC memory = CreateCompatibleDC(nullptr);
    if (!memory) throw SystemError::FromLastError();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        SystemError error = SystemError::FromLastError();
        if (bitmap) DeleteObject(bitmap);
        DeleteDC(memory);
        throw error;
    }
    HGDIOBJ previous = SelectObject(memory, bitmap);
    try {
        return std::make_unique<GdiDibSection>(memory, bitmap, previous, bits, width, height);
    } catch (...) {
        // The section has no owner yet: free it here, then pass the failure on.
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        throw;
    }
}

}  // namespace platform
