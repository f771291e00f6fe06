// PNG files through libpng's simplified reading interface (libpng16.so.16,
// opened on first use), which reports every error (CRC, truncation, bad
// chunks) as a failed call.
#include <cstring>

#include <png.h>

#include "toolkit/cDIBErrors.h"
#include "toolkit/cDIBPicture.h"
#include "toolkit/cDIBSharedLib.h"

namespace toolkit::detail {
namespace {

struct TPngApi {
    TDIBSharedLib lib{"libpng16.so.16"};
    decltype(&png_image_begin_read_from_memory) begin =
        lib.Get<decltype(&png_image_begin_read_from_memory)>("png_image_begin_read_from_memory");
    decltype(&png_image_finish_read) finish = lib.Get<decltype(&png_image_finish_read)>("png_image_finish_read");
    decltype(&png_image_free) free = lib.Get<decltype(&png_image_free)>("png_image_free");
    bool Ok() const { return begin && finish && free; }
};

const TPngApi& Png() {
    static const TPngApi api;
    return api;
}

}  // namespace

TDIBImageData DecodePng(const uint8_t* data, size_t size) {
    const TPngApi& api = Png();
    if (!api.Ok()) throw EDIBFormatError(dibmsg::kImageUnknown);
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!api.begin(&png, data, size)) throw EDIBFormatError(dibmsg::kImageDamaged);
    const int64_t w = png.width, h = png.height;
    if (w < 1 || h < 1 || w > kDIBMaxSide || h > kDIBMaxSide || w * h > kDIBMaxImportPixels) {
        api.free(&png);
        throw EDIBFormatError(w < 1 || h < 1 ? dibmsg::kImageDamaged : dibmsg::kImageTooLarge);
    }
    TDIBImageData image;
    image.Width = int(w);
    image.Height = int(h);
    image.HasAlpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.Pixels.resize(size_t(w) * size_t(h));
    // Bytes blue, green, red, alpha; a negative stride fills the buffer
    // bottom row first, as the surfaces store it.
    png.format = PNG_FORMAT_BGRA;
    const png_int_32 stride = -png_int_32(w * 4);
    if (!api.finish(&png, nullptr, image.Pixels.data(), stride, nullptr)) {
        api.free(&png);
        throw EDIBFormatError(dibmsg::kImageDamaged);
    }
    // Pictures without transparency carry alpha 0, as the other loaders.
    if (!image.HasAlpha)
        for (uint32_t& p : image.Pixels) p &= 0x00FFFFFFu;
    return image;
}

}  // namespace toolkit::detail
