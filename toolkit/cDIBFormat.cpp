// The format list and the RSB reader and writer.
#include "toolkit/cDIBFormat.h"

#include <cstring>

#include "toolkit/cDIB.h"
#include "toolkit/cDIBByteReader.h"
#include "toolkit/cDIBErrors.h"

namespace toolkit {
namespace {

std::vector<std::unique_ptr<TDIBFormat>>& FormatList() {
    static std::vector<std::unique_ptr<TDIBFormat>> list = [] {
        std::vector<std::unique_ptr<TDIBFormat>> l;
        l.push_back(std::make_unique<TRSBFormat>());
        return l;
    }();
    return list;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = (a[i] >= 'A' && a[i] <= 'Z') ? char(a[i] + 32) : a[i];
        const char y = (b[i] >= 'A' && b[i] <= 'Z') ? char(b[i] + 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

// Moves a channel of `bits` bits at `shift` to the top of its byte.
inline uint32_t Channel(uint32_t pixel, uint32_t shift, uint32_t bits) {
    if (bits == 0) return 0;
    return ((pixel >> shift) & ((1u << bits) - 1)) << (8 - bits);
}

}  // namespace

void CheckImportSize(int64_t w, int64_t h) {
    if (w < 1 || h < 1) throw EDIBFormatError(dibmsg::kImageDamaged);
    if (w > kDIBMaxSide || h > kDIBMaxSide || w * h > kDIBMaxImportPixels)
        throw EDIBFormatError(dibmsg::kImageTooLarge);
}

void CommitImage(TAbstractSuperDIB& dib, const TDIBImageData& image) {
    CheckImportSize(image.Width, image.Height);
    if (image.Pixels.size() != size_t(image.Width) * size_t(image.Height)) throw EDIBFormatError(dibmsg::kImageDamaged);
    dib.SetSize(uint16_t(image.Width), uint16_t(image.Height));
    std::memcpy(dib.Bits(), image.Pixels.data(), image.Pixels.size() * 4);
    dib.SetMasked(image.HasAlpha);
    dib.Changed();
}

void TDIBFormats::Register(std::unique_ptr<TDIBFormat> format) {
    if (format) FormatList().push_back(std::move(format));
}

const std::vector<std::unique_ptr<TDIBFormat>>& TDIBFormats::All() { return FormatList(); }

TDIBFormat* TDIBFormats::ForFile(std::string_view path) {
    const size_t dot = path.find_last_of('.');
    const size_t sep = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep)) return nullptr;
    const std::string_view ext = path.substr(dot);
    for (const auto& f : FormatList())
        if (f->HandlesExtension(ext)) return f.get();
    return nullptr;
}

bool TRSBFormat::HandlesExtension(std::string_view extension) const { return SameText(extension, ".rsb"); }

TDIBImageData TRSBFormat::Decode(const uint8_t* data, size_t size) {
    TDIBByteReader in(data, size);
    uint32_t h[7];
    for (uint32_t& v : h)
        if (!in.ReadU32(v)) throw EDIBFormatError(dibmsg::kImageDamaged);
    const uint32_t version = h[0], width = h[1], height = h[2];
    const uint32_t rBits = h[3], gBits = h[4], bBits = h[5], aBits = h[6];
    if (version != 1) throw EDIBFormatError(dibmsg::kRsbVersion);
    CheckImportSize(width, height);
    if (rBits > 8 || gBits > 8 || bBits > 8 || aBits > 8 || rBits + gBits + bBits + aBits > 16)
        throw EDIBFormatError(dibmsg::kImageDamaged);
    const size_t count = size_t(width) * height;
    if (in.Remaining() / 2 < count) throw EDIBFormatError(dibmsg::kImageDamaged);

    TDIBImageData image;
    image.Width = int(width);
    image.Height = int(height);
    image.HasAlpha = aBits > 0;
    image.Pixels.resize(count);
    const uint8_t* p = in.Take(count * 2);
    const uint32_t gShift = bBits, rShift = bBits + gBits, aShift = bBits + gBits + rBits;
    for (uint32_t row = 0; row < height; ++row) {
        uint32_t* out = image.Pixels.data() + size_t(height - 1 - row) * width;  // file rows top first
        for (uint32_t x = 0; x < width; ++x, p += 2) {
            const uint32_t v = uint32_t(p[0]) | (uint32_t(p[1]) << 8);
            out[x] = Channel(v, 0, bBits) | (Channel(v, gShift, gBits) << 8) | (Channel(v, rShift, rBits) << 16) |
                     (Channel(v, aShift, aBits) << 24);
        }
        Progress(int(row), int(height));
    }
    return image;
}

std::vector<uint8_t> TRSBFormat::Encode(const TAbstractSuperDIB& dib) {
    if (!dib.HasPixels()) return {};
    const bool masked = dib.Masked();
    const uint32_t w = uint32_t(dib.Width()), h = uint32_t(dib.Height());
    std::vector<uint8_t> out(28 + size_t(w) * h * 2);
    const uint32_t header[7] = {1, w, h, masked ? 4u : 5u, masked ? 4u : 6u, masked ? 4u : 5u, masked ? 4u : 0u};
    for (int i = 0; i < 7; ++i) PutU32(out.data() + 4 * i, header[i]);
    uint8_t* p = out.data() + 28;
    for (uint32_t row = 0; row < h; ++row) {
        const uint32_t* in = dib.ScanLine(int(h - 1 - row));
        for (uint32_t x = 0; x < w; ++x, p += 2) {
            const uint32_t c = in[x];
            const uint32_t b = c & 0xFF, g = (c >> 8) & 0xFF, r = (c >> 16) & 0xFF, a = c >> 24;
            const uint32_t v = masked ? (b >> 4) | ((g >> 4) << 4) | ((r >> 4) << 8) | ((a >> 4) << 12)
                                      : (b >> 3) | ((g >> 2) << 5) | ((r >> 3) << 11);
            PutU16(p, uint16_t(v));
        }
        Progress(int(row), int(h));
    }
    return out;
}

}  // namespace toolkit
