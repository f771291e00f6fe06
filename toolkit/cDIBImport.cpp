// Import of image files and masks into a surface.
#include <fstream>

#include "toolkit/cDIB.h"
#include "toolkit/cDIBErrors.h"
#include "toolkit/cDIBFormat.h"
#include "toolkit/cDIBPicture.h"

namespace toolkit {
namespace {

// Image files larger than this are refused before they are read.
constexpr std::streamoff kMaxFileBytes = std::streamoff(1) << 30;

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    if (!f) throw EDIBFormatError(dibmsg::kImageOpen);
    const std::streamoff size = f.tellg();
    if (size < 0) throw EDIBFormatError(dibmsg::kImageOpen);
    if (size > kMaxFileBytes) throw EDIBFormatError(dibmsg::kImageTooLarge);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    f.seekg(0);
    if (size > 0 && !f.read(reinterpret_cast<char*>(bytes.data()), size)) throw EDIBFormatError(dibmsg::kImageOpen);
    return bytes;
}

TDIBImageData DecodeFile(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    if (TDIBFormat* format = TDIBFormats::ForFile(path)) return format->Decode(bytes.data(), bytes.size());
    return detail::DecodePicture(path, bytes);
}

}  // namespace

void TAbstractSuperDIB::ImportFile(const std::string& path) { CommitImage(*this, DecodeFile(path)); }

void TAbstractSuperDIB::ImportMask(const std::string& path) {
    if (!HasPixels()) throw EDIBError(dibmsg::kMaskWithoutImage);
    const TDIBImageData mask = DecodeFile(path);
    if (mask.Width < 1 || mask.Height < 1 || mask.Pixels.size() != size_t(mask.Width) * size_t(mask.Height))
        throw EDIBFormatError(dibmsg::kImageDamaged);
    // Stretched to this size by the same 16.16 walk as a scaled draw; both
    // sides in stored order, so the bottom rows meet.
    const uint64_t hstep = (uint64_t(mask.Width) << 16) / uint64_t(fWidth);
    const uint64_t vstep = (uint64_t(mask.Height) << 16) / uint64_t(fHeight);
    for (int row = 0; row < fHeight; ++row) {
        const uint32_t* m = mask.Pixels.data() + ((uint64_t(row) * vstep) >> 16) * size_t(mask.Width);
        uint32_t* d = ScanLine(row);
        for (int x = 0; x < fWidth; ++x) {
            const uint32_t blue = m[(uint64_t(x) * hstep) >> 16] & 0xFF;
            d[x] = (d[x] & 0x00FFFFFFu) | (blue << 24);
        }
    }
    SetMasked(true);
    Changed();
}

}  // namespace toolkit
