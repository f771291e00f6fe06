// JPEG files through libjpeg (the IJG interface, soname libjpeg.so.62 as
// libjpeg-turbo ships it), opened on first use. libjpeg reports fatal
// errors through error_exit, which must not return: it jumps back here, the
// decoder is destroyed and the toolkit error is raised in this frame, never
// through libjpeg's. Its warnings (premature end of data, corrupt markers)
// are treated as errors too: a damaged file is refused, not shown grey.
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "toolkit/cDIBErrors.h"
#include "toolkit/cDIBPicture.h"
#include "toolkit/cDIBSharedLib.h"

namespace toolkit::detail {
namespace {

// The functions used, from the library this module was compiled against.
struct TJpegApi {
    TDIBSharedLib lib{"libjpeg.so.62"};
    decltype(&jpeg_std_error) std_error = lib.Get<decltype(&jpeg_std_error)>("jpeg_std_error");
    decltype(&jpeg_CreateDecompress) create = lib.Get<decltype(&jpeg_CreateDecompress)>("jpeg_CreateDecompress");
    decltype(&jpeg_destroy_decompress) destroy = lib.Get<decltype(&jpeg_destroy_decompress)>("jpeg_destroy_decompress");
    decltype(&jpeg_mem_src) mem_src = lib.Get<decltype(&jpeg_mem_src)>("jpeg_mem_src");
    decltype(&jpeg_read_header) read_header = lib.Get<decltype(&jpeg_read_header)>("jpeg_read_header");
    decltype(&jpeg_start_decompress) start = lib.Get<decltype(&jpeg_start_decompress)>("jpeg_start_decompress");
    decltype(&jpeg_read_scanlines) read_scanlines = lib.Get<decltype(&jpeg_read_scanlines)>("jpeg_read_scanlines");
    decltype(&jpeg_finish_decompress) finish = lib.Get<decltype(&jpeg_finish_decompress)>("jpeg_finish_decompress");
    bool Ok() const {
        return std_error && create && destroy && mem_src && read_header && start && read_scanlines && finish;
    }
};

const TJpegApi& Jpeg() {
    static const TJpegApi api;
    return api;
}

struct TJpegErrorTrap {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<TJpegErrorTrap*>(cinfo->err)->jump, 1);
}

void OnJpegMessage(j_common_ptr cinfo, int level) {
    if (level < 0) OnJpegError(cinfo);  // a warning: the data is damaged
}

bool SizeAllowed(JDIMENSION w, JDIMENSION h) {
    return w >= 1 && h >= 1 && w <= kDIBMaxSide && h <= kDIBMaxSide && int64_t(w) * h <= kDIBMaxImportPixels;
}

}  // namespace

TDIBImageData DecodeJpeg(const uint8_t* data, size_t size) {
    const TJpegApi& jpeg = Jpeg();
    if (!jpeg.Ok()) throw EDIBFormatError(dibmsg::kImageUnknown);
    // Everything the error path touches lives before setjmp and is only
    // changed through memory (no register copies to lose on the jump).
    TDIBImageData image;
    std::vector<JSAMPLE> row;
    jpeg_decompress_struct cinfo;
    TJpegErrorTrap trap;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg.std_error(&trap.mgr);
    trap.mgr.error_exit = OnJpegError;
    trap.mgr.emit_message = OnJpegMessage;
    volatile bool tooLarge = false;
    if (setjmp(trap.jump)) {
        jpeg.destroy(&cinfo);
        throw EDIBFormatError(tooLarge ? dibmsg::kImageTooLarge : dibmsg::kImageDamaged);
    }
    jpeg.create(&cinfo, JPEG_LIB_VERSION, sizeof cinfo);
    jpeg.mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg.read_header(&cinfo, TRUE);
    if (!SizeAllowed(cinfo.image_width, cinfo.image_height)) {
        tooLarge = cinfo.image_width > kDIBMaxSide || cinfo.image_height > kDIBMaxSide ||
                   int64_t(cinfo.image_width) * cinfo.image_height > kDIBMaxImportPixels;
        OnJpegError(reinterpret_cast<j_common_ptr>(&cinfo));
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg.start(&cinfo);
    const int w = int(cinfo.output_width), h = int(cinfo.output_height);
    image.Width = w;
    image.Height = h;
    image.Pixels.resize(size_t(w) * h);
    row.resize(size_t(w) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {row.data()};
        const int y = int(cinfo.output_scanline);
        if (jpeg.read_scanlines(&cinfo, rows, 1) != 1) OnJpegError(reinterpret_cast<j_common_ptr>(&cinfo));
        uint32_t* out = image.Pixels.data() + size_t(h - 1 - y) * w;  // file rows top first
        for (int x = 0; x < w; ++x)
            out[x] = uint32_t(row[3 * x + 2]) | (uint32_t(row[3 * x + 1]) << 8) | (uint32_t(row[3 * x]) << 16);
    }
    jpeg.finish(&cinfo);
    jpeg.destroy(&cinfo);
    return image;
}

}  // namespace toolkit::detail
