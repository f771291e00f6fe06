// Windows bitmap files, read by hand: core (12-byte) and info (40 bytes and
// longer) headers; 1, 4 and 8 bits with a palette, 16 and 32 bits plain or
// with bit fields, 24 bits. Compressed (RLE) bitmaps are not supported.
// Every length is checked before it is read.
#include <bit>

#include "toolkit/cDIBByteReader.h"
#include "toolkit/cDIBErrors.h"
#include "toolkit/cDIBPicture.h"

namespace toolkit::detail {
namespace {

constexpr uint32_t kRGB = 0, kBitFields = 3;

[[noreturn]] void Damaged() { throw EDIBFormatError(dibmsg::kImageDamaged); }

// One colour channel given by a contiguous mask, scaled to 0..255.
struct TMaskChannel {
    uint32_t mask = 0, shift = 0, max = 0;
    explicit TMaskChannel(uint32_t m) : mask(m) {
        if (!m) return;
        shift = uint32_t(std::countr_zero(m));
        max = m >> shift;
    }
    uint32_t Get(uint32_t v) const { return max ? ((v & mask) >> shift) * 255 / max : 0; }
};

uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

}  // namespace

TDIBImageData DecodeBmp(const uint8_t* data, size_t size) {
    TDIBByteReader in(data, size);
    uint8_t magic[2];
    uint32_t fileSize = 0, reserved = 0, offset = 0, headerSize = 0;
    if (!in.Read(magic, 2) || magic[0] != 'B' || magic[1] != 'M') Damaged();
    if (!in.ReadU32(fileSize) || !in.ReadU32(reserved) || !in.ReadU32(offset) || !in.ReadU32(headerSize)) Damaged();

    int64_t width = 0, height = 0;
    uint16_t planes = 0, bpp = 0;
    uint32_t compression = kRGB, colorsUsed = 0;
    size_t paletteEntry = 4;
    if (headerSize == 12) {
        uint16_t w = 0, h = 0;
        if (!in.ReadU16(w) || !in.ReadU16(h) || !in.ReadU16(planes) || !in.ReadU16(bpp)) Damaged();
        width = w;
        height = h;
        paletteEntry = 3;
    } else if (headerSize >= 40) {
        uint32_t w = 0, h = 0, skip = 0;
        if (!in.ReadU32(w) || !in.ReadU32(h) || !in.ReadU16(planes) || !in.ReadU16(bpp) || !in.ReadU32(compression))
            Damaged();
        for (int i = 0; i < 3; ++i)  // image size, x and y resolution
            if (!in.ReadU32(skip)) Damaged();
        if (!in.ReadU32(colorsUsed)) Damaged();
        width = int32_t(w);
        height = int32_t(h);
        if (!in.Take(4)) Damaged();  // important colours
    } else {
        Damaged();
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    CheckImportSize(width, height);

    // Bit fields follow a 40-byte header, or are the next fields of a longer
    // one: either way they start right here.
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};  // red, green, blue: 16-bit default 5/5/5
    if (bpp == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (compression == kBitFields) {
        if (bpp != 16 && bpp != 32) Damaged();
        for (uint32_t& m : masks)
            if (!in.ReadU32(m)) Damaged();
    } else if (compression != kRGB) {
        throw EDIBFormatError(dibmsg::kImageUnknown);
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) throw EDIBFormatError(dibmsg::kImageUnknown);

    // Palette: right after the header (and 40-byte-header bit fields).
    uint32_t palette[256] = {};
    if (bpp <= 8) {
        const uint32_t count = colorsUsed ? colorsUsed : (1u << bpp);
        if (count > 256) Damaged();
        const size_t start = 14 + size_t(headerSize);
        if (start > size || (size - start) / paletteEntry < count) Damaged();
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = data + start + i * paletteEntry;
            palette[i] = uint32_t(e[0]) | (uint32_t(e[1]) << 8) | (uint32_t(e[2]) << 16);
        }
    }

    const uint64_t stride = ((uint64_t(width) * bpp + 31) / 32) * 4;
    if (offset > size || (size - offset) / stride < uint64_t(height)) Damaged();

    const TMaskChannel red(masks[0]), green(masks[1]), blue(masks[2]);
    TDIBImageData image;
    image.Width = int(width);
    image.Height = int(height);
    image.Pixels.resize(size_t(width) * size_t(height));
    for (int64_t fileRow = 0; fileRow < height; ++fileRow) {
        const uint8_t* src = data + offset + fileRow * stride;
        // Bottom-up files store our order already; top-down ones reverse it.
        uint32_t* out = image.Pixels.data() + size_t(topDown ? height - 1 - fileRow : fileRow) * size_t(width);
        for (int64_t x = 0; x < width; ++x) {
            uint32_t p = 0;
            switch (bpp) {
            case 1: p = palette[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: p = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]; break;
            case 8: p = palette[src[x]]; break;
            case 16: {
                const uint32_t v = uint32_t(src[2 * x]) | (uint32_t(src[2 * x + 1]) << 8);
                p = blue.Get(v) | (green.Get(v) << 8) | (red.Get(v) << 16);
                break;
            }
            case 24: p = uint32_t(src[3 * x]) | (uint32_t(src[3 * x + 1]) << 8) | (uint32_t(src[3 * x + 2]) << 16); break;
            default: {
                const uint32_t v = Le32(src + 4 * x);
                p = blue.Get(v) | (green.Get(v) << 8) | (red.Get(v) << 16);
                break;
            }
            }
            out[x] = p;  // alpha 0: bitmaps carry no transparency here
        }
    }
    return image;
}

}  // namespace toolkit::detail
