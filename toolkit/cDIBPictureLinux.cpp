// The picture loader off Windows: the file's signature picks the decoder.
#include <cstring>

#include "toolkit/cDIBErrors.h"
#include "toolkit/cDIBPicture.h"

namespace toolkit::detail {

TDIBImageData DecodePicture(const std::string&, const std::vector<uint8_t>& bytes) {
    const uint8_t* d = bytes.data();
    const size_t n = bytes.size();
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return DecodeJpeg(d, n);
    if (n >= 8 && std::memcmp(d, kPng, 8) == 0) return DecodePng(d, n);
    if (n >= 2 && d[0] == 'B' && d[1] == 'M') return DecodeBmp(d, n);
    throw EDIBFormatError(dibmsg::kImageUnknown);
}

}  // namespace toolkit::detail
