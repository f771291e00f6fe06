// Windows bitmap files, read by hand: core (12-byte) and info (40 bytes and
// longer) headers; 1, 4 and 8 bits with a palette, 16 and 32 bits plain or
// with bit fields, 24 bits. Compressed (RLE) bitmaps are not supported.
// Every length is checked before it is read.
#include <array>
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

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// What the headers say: the picture's size and row order, its pixel format
// and where the palette and the rows lie.
struct TBmpLayout {
    int64_t width = 0, height = 0;
    bool topDown = false;
    uint16_t bpp = 0;
    uint32_t compression = kRGB, colorsUsed = 0;
    size_t headerSize = 0;
    size_t paletteEntry = 4;                       // bytes a palette entry takes: 3 after a core header
    uint32_t offset = 0;                           // of the first stored row
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};  // red, green, blue: 16-bit default 5/5/5
};

// The core (12-byte) or info (40 bytes and longer) header after the file
// header, up to its size fields.
void ReadInfoHeader(TDIBByteReader& in, TBmpLayout& bmp) {
    uint16_t planes = 0;
    if (bmp.headerSize == 12) {
        uint16_t w = 0, h = 0;
        if (!in.ReadU16(w) || !in.ReadU16(h) || !in.ReadU16(planes) || !in.ReadU16(bmp.bpp)) Damaged();
        bmp.width = w;
        bmp.height = h;
        bmp.paletteEntry = 3;
    } else if (bmp.headerSize >= 40) {
        uint32_t w = 0, h = 0, skip = 0;
        if (!in.ReadU32(w) || !in.ReadU32(h) || !in.ReadU16(planes) || !in.ReadU16(bmp.bpp) ||
            !in.ReadU32(bmp.compression))
            Damaged();
        for (int i = 0; i < 3; ++i)  // image size, x and y resolution
            if (!in.ReadU32(skip)) Damaged();
        if (!in.ReadU32(bmp.colorsUsed)) Damaged();
        bmp.width = int32_t(w);
        bmp.height = int32_t(h);
        if (!in.Take(4)) Damaged();  // important colours
    } else {
        Damaged();
    }
}

// The file header, the info header and any bit fields: everything before
// the palette, with the size and the pixel format checked.
TBmpLayout ReadHeader(TDIBByteReader& in) {
    TBmpLayout bmp;
    uint8_t magic[2];
    uint32_t fileSize = 0, reserved = 0, headerSize = 0;
    if (!in.Read(magic, 2) || magic[0] != 'B' || magic[1] != 'M') Damaged();
    if (!in.ReadU32(fileSize) || !in.ReadU32(reserved) || !in.ReadU32(bmp.offset) || !in.ReadU32(headerSize)) Damaged();
    bmp.headerSize = headerSize;
    ReadInfoHeader(in, bmp);
    bmp.topDown = bmp.height < 0;
    if (bmp.topDown) bmp.height = -bmp.height;
    CheckImportSize(bmp.width, bmp.height);

    // Bit fields follow a 40-byte header, or are the next fields of a longer
    // one: either way they start right here.
    if (bmp.bpp == 32) bmp.masks[0] = 0xFF0000, bmp.masks[1] = 0xFF00, bmp.masks[2] = 0xFF;
    if (bmp.compression == kBitFields) {
        if (bmp.bpp != 16 && bmp.bpp != 32) Damaged();
        for (uint32_t& m : bmp.masks)
            if (!in.ReadU32(m)) Damaged();
    } else if (bmp.compression != kRGB) {
        throw EDIBFormatError(dibmsg::kImageUnknown);
    }
    const uint16_t bpp = bmp.bpp;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        throw EDIBFormatError(dibmsg::kImageUnknown);
    return bmp;
}

using TBmpPalette = std::array<uint32_t, 256>;

// The palette of a 1-, 4- or 8-bit picture, right after the header (and
// the bit fields of a 40-byte one); all black for the others.
TBmpPalette ReadPalette(const uint8_t* data, size_t size, const TBmpLayout& bmp) {
    TBmpPalette palette{};
    if (bmp.bpp > 8) return palette;
    const uint32_t count = bmp.colorsUsed ? bmp.colorsUsed : (1u << bmp.bpp);
    if (count > 256) Damaged();
    const size_t start = 14 + bmp.headerSize;
    if (start > size || (size - start) / bmp.paletteEntry < count) Damaged();
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = data + start + i * bmp.paletteEntry;
        palette[i] = uint32_t(e[0]) | (uint32_t(e[1]) << 8) | (uint32_t(e[2]) << 16);
    }
    return palette;
}

// The stored rows in our bottom-up order, alpha 0: bitmaps carry no
// transparency here.
TDIBImageData ReadRows(const uint8_t* data, size_t size, const TBmpLayout& bmp, const TBmpPalette& palette) {
    const int64_t width = bmp.width, height = bmp.height;
    const uint64_t stride = ((uint64_t(width) * bmp.bpp + 31) / 32) * 4;
    if (bmp.offset > size || (size - bmp.offset) / stride < uint64_t(height)) Damaged();

    const TMaskChannel red(bmp.masks[0]), green(bmp.masks[1]), blue(bmp.masks[2]);
    auto fromMasks = [&](uint32_t v) { return blue.Get(v) | (green.Get(v) << 8) | (red.Get(v) << 16); };
    TDIBImageData image;
    image.Width = int(width);
    image.Height = int(height);
    image.Pixels.resize(size_t(width) * size_t(height));
    for (int64_t fileRow = 0; fileRow < height; ++fileRow) {
        const uint8_t* src = data + bmp.offset + fileRow * stride;
        // Bottom-up files store our order already; top-down ones reverse it.
        uint32_t* out = image.Pixels.data() + size_t(bmp.topDown ? height - 1 - fileRow : fileRow) * size_t(width);
        for (int64_t x = 0; x < width; ++x) {
            switch (bmp.bpp) {
            case 1: out[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: out[x] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]; break;
            case 8: out[x] = palette[src[x]]; break;
            case 16: out[x] = fromMasks(uint32_t(src[2 * x]) | (uint32_t(src[2 * x + 1]) << 8)); break;
            case 24:
                out[x] = uint32_t(src[3 * x]) | (uint32_t(src[3 * x + 1]) << 8) | (uint32_t(src[3 * x + 2]) << 16);
                break;
            default: out[x] = fromMasks(Le32(src + 4 * x)); break;
            }
        }
    }
    return image;
}

}  // namespace

TDIBImageData DecodeBmp(const uint8_t* data, size_t size) {
    TDIBByteReader in(data, size);
    const TBmpLayout bmp = ReadHeader(in);
    return ReadRows(data, size, bmp, ReadPalette(data, size, bmp));
}

}  // namespace toolkit::detail
