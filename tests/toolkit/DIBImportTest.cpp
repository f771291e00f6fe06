// Import of image files made by the test itself (RSB, BMP; JPEG and PNG
// where the encoders are at hand), and refusal of damaged files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/toolkit/DIBTestSupport.h"
#include "toolkit/cDIB.h"
#include "toolkit/cDIBByteReader.h"
#include "toolkit/cDIBErrors.h"
#include "toolkit/cDIBFormat.h"

#ifndef _WIN32
#include <jpeglib.h>
#include <png.h>
#endif

namespace toolkit::test {
namespace {

class DIBImport : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const auto path = std::filesystem::temp_directory_path() /
                          ("trv4-import-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + "-" + name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        files.push_back(path);
        return path.string();
    }
    void TearDown() override {
        for (const auto& f : files) std::filesystem::remove(f);
    }
    // Every damaged file raises a toolkit error and leaves the surface.
    void ExpectRefused(const std::string& name, const std::vector<uint8_t>& bytes) {
        TMemoryDIB dib(3, 2);
        FillTagged(dib);
        EXPECT_THROW(dib.ImportFile(Write(name, bytes)), EDIBError) << name;
        EXPECT_EQ(dib.Width(), 3) << name;
        EXPECT_EQ(dib.Pixel(2, 1), Tag(2, 1)) << name;
        EXPECT_FALSE(dib.Masked()) << name;
    }
    std::vector<std::filesystem::path> files;
};

std::vector<uint8_t> RsbHeader(uint32_t version, uint32_t w, uint32_t h, uint32_t r, uint32_t g, uint32_t b,
                               uint32_t a) {
    std::vector<uint8_t> out(28);
    const uint32_t v[7] = {version, w, h, r, g, b, a};
    for (int i = 0; i < 7; ++i) PutU32(out.data() + 4 * i, v[i]);
    return out;
}

// A 24-bit bottom-up BMP of w x h from a top-down colour function.
template <typename F>
std::vector<uint8_t> Bmp24(int w, int h, F colour) {
    const int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> out(54 + size_t(stride) * h);
    out[0] = 'B', out[1] = 'M';
    PutU32(&out[2], uint32_t(out.size()));
    PutU32(&out[10], 54);
    PutU32(&out[14], 40);
    PutU32(&out[18], uint32_t(w));
    PutU32(&out[22], uint32_t(h));
    PutU16(&out[26], 1);
    PutU16(&out[28], 24);
    for (int row = 0; row < h; ++row)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = colour(x, h - 1 - row);
            uint8_t* p = &out[54 + size_t(row) * stride + 3 * x];
            p[0] = uint8_t(c), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c >> 16);
        }
    return out;
}

// A BMP with a core (12) or info (40) header, the bytes between header and
// rows (palette or bit fields) and the stored rows, padded by the caller.
std::vector<uint8_t> Bmp(uint32_t headerSize, int32_t w, int32_t h, uint16_t bpp, uint32_t compression,
                         uint32_t colorsUsed, const std::vector<uint8_t>& between, const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> out(14 + headerSize);
    out[0] = 'B', out[1] = 'M';
    PutU32(&out[10], uint32_t(out.size() + between.size()));
    PutU32(&out[14], headerSize);
    if (headerSize == 12) {
        PutU16(&out[18], uint16_t(w)), PutU16(&out[20], uint16_t(h)), PutU16(&out[22], 1), PutU16(&out[24], bpp);
    } else {
        PutU32(&out[18], uint32_t(w)), PutU32(&out[22], uint32_t(h)), PutU16(&out[26], 1), PutU16(&out[28], bpp);
        PutU32(&out[30], compression);
        PutU32(&out[46], colorsUsed);
    }
    out.insert(out.end(), between.begin(), between.end());
    out.insert(out.end(), rows.begin(), rows.end());
    PutU32(&out[2], uint32_t(out.size()));
    return out;
}

TEST_F(DIBImport, RsbReadsBothLayouts) {
    // 5/6/5, top row first: (0,0) pure red, (1,0) pure blue, (0,1) green.
    auto f = RsbHeader(1, 2, 2, 5, 6, 5, 0);
    for (uint16_t px : {uint16_t(0xF800), uint16_t(0x001F), uint16_t(0x07E0), uint16_t(0x0841)}) {
        f.push_back(uint8_t(px));
        f.push_back(uint8_t(px >> 8));
    }
    TMemoryDIB dib;
    dib.SetMasked(true);
    dib.ImportFile(Write("a.RSB", f));  // extension in any case
    EXPECT_EQ(dib.Pixel(0, 0), BGRA(0, 0, 0xF8, 0));
    EXPECT_EQ(dib.Pixel(1, 0), BGRA(0xF8, 0, 0, 0));
    EXPECT_EQ(dib.Pixel(0, 1), BGRA(0, 0xFC, 0, 0));
    EXPECT_EQ(dib.Pixel(1, 1), BGRA(0x08, 0x08, 0x08, 0));  // low bits zero
    EXPECT_FALSE(dib.Masked());
    // 4/4/4/4 with alpha switches Masked on.
    auto g = RsbHeader(1, 1, 1, 4, 4, 4, 4);
    g.push_back(0x21), g.push_back(0xC3);  // a=C r=3 g=2 b=1
    dib.ImportFile(Write("b.rsb", g));
    EXPECT_EQ(dib.Pixel(0, 0), BGRA(0x10, 0x20, 0x30, 0xC0));
    EXPECT_TRUE(dib.Masked());
}

TEST_F(DIBImport, RsbWriteAndReadBack) {
    TMemoryDIB src(3, 2);
    FillTagged(src);
    src.SetPixel(0, 0, BGRA(0xFF, 0x80, 0x17, 0x99));
    TRSBFormat rsb;
    int rows = 0;
    rsb.OnProgress = [&](TDIBFormat&, int, int total) { rows += total == 2; };
    auto plain = rsb.Encode(src);
    ASSERT_EQ(plain.size(), 28u + 12);
    EXPECT_EQ(rows, 2);
    TMemoryDIB back;
    back.ImportFile(Write("c.rsb", plain));
    EXPECT_EQ(back.Pixel(0, 0), BGRA(0xF8, 0x80, 0x10, 0));  // 5/6/5, no alpha
    src.SetMasked(true);
    back.ImportFile(Write("d.rsb", rsb.Encode(src)));
    EXPECT_EQ(back.Pixel(0, 0), BGRA(0xF0, 0x80, 0x10, 0x90));
    EXPECT_EQ(back.Pixel(2, 1), BGRA(0x00, 0x00, 0x40, 0xF0));  // Tag(2, 1) in 4 bits
    EXPECT_TRUE(back.Masked());
}

TEST_F(DIBImport, DamagedRsbIsRefused) {
    auto pixels = [](std::vector<uint8_t> f, size_t n) {
        f.resize(f.size() + n, 0x55);
        return f;
    };
    ExpectRefused("short.rsb", std::vector<uint8_t>(27, 0));
    ExpectRefused("wide.rsb", pixels(RsbHeader(1, 70000, 1, 5, 6, 5, 0), 140000));
    ExpectRefused("zero.rsb", RsbHeader(1, 0, 4, 5, 6, 5, 0));
    ExpectRefused("cut.rsb", pixels(RsbHeader(1, 4, 4, 5, 6, 5, 0), 31));
    ExpectRefused("huge.rsb", pixels(RsbHeader(1, 65535, 65535, 5, 6, 5, 0), 64));
    ExpectRefused("bits.rsb", pixels(RsbHeader(1, 1, 1, 9, 6, 1, 0), 2));
    ExpectRefused("sum.rsb", pixels(RsbHeader(1, 1, 1, 8, 8, 8, 0), 2));
    TMemoryDIB dib;
    try {
        dib.ImportFile(Write("v2.rsb", pixels(RsbHeader(2, 1, 1, 5, 6, 5, 0), 2)));
        FAIL();
    } catch (const EDIBFormatError& e) {
        EXPECT_STREQ(e.what(), "Only RSB version 1 is supported.");
    }
}

TEST_F(DIBImport, BmpThroughThePictureLoader) {
    const auto file = Bmp24(3, 2, [](int x, int y) { return uint32_t(x * 80) | (uint32_t(y * 200) << 16); });
    TMemoryDIB dib;
    dib.ImportFile(Write("p.bmp", file));
    ASSERT_EQ(dib.Width(), 3);
    ASSERT_EQ(dib.Height(), 2);
    EXPECT_EQ(dib.Pixel(2, 0), BGRA(160, 0, 0, 0));
    EXPECT_EQ(dib.Pixel(1, 1), BGRA(80, 0, 200, 0));
    EXPECT_FALSE(dib.Masked());
    auto cut = file;
    cut.resize(cut.size() - 1);
    ExpectRefused("cut.bmp", cut);
    ExpectRefused("header.bmp", std::vector<uint8_t>(file.begin(), file.begin() + 30));
    auto tall = file;
    PutU32(&tall[22], 100000);
    ExpectRefused("tall.bmp", tall);
    ExpectRefused("text.bmp", {'h', 'e', 'l', 'l', 'o'});
}

TEST_F(DIBImport, BmpPalettesBitFieldsAndRowOrders) {
    TMemoryDIB dib;
    // 4 bits, core header (3-byte palette entries, all 16), bottom-up:
    // stored rows are y = 1, then y = 0.
    std::vector<uint8_t> palette16(16 * 3, 0);
    palette16[1 * 3 + 0] = 0xFF;                                                               // 1: blue
    palette16[2 * 3 + 2] = 0xFF;                                                               // 2: red
    palette16[15 * 3 + 0] = 0x10, palette16[15 * 3 + 1] = 0x20, palette16[15 * 3 + 2] = 0x30;  // 15
    dib.ImportFile(Write("core4.bmp", Bmp(12, 3, 2, 4, 0, 0, palette16, {0x12, 0xF0, 0, 0, 0xF0, 0x10, 0, 0})));
    ASSERT_EQ(dib.Width(), 3);
    EXPECT_EQ(dib.Pixel(0, 1), BGRA(0xFF, 0, 0, 0));
    EXPECT_EQ(dib.Pixel(1, 1), BGRA(0, 0, 0xFF, 0));
    EXPECT_EQ(dib.Pixel(2, 1), BGRA(0x10, 0x20, 0x30, 0));
    EXPECT_EQ(dib.Pixel(0, 0), BGRA(0x10, 0x20, 0x30, 0));
    EXPECT_EQ(dib.Pixel(1, 0), BGRA(0, 0, 0, 0));
    EXPECT_EQ(dib.Pixel(2, 0), BGRA(0xFF, 0, 0, 0));

    // 8 bits, info header, two palette entries only, top-down (negative height).
    const std::vector<uint8_t> palette2 = {0x11, 0x22, 0x33, 0, 0, 0xFF, 0, 0};
    const auto top = Bmp(40, 2, -2, 8, 0, 2, palette2, {1, 0, 0, 0, 0, 1, 0, 0});
    dib.ImportFile(Write("top8.bmp", top));
    EXPECT_EQ(dib.Pixel(0, 0), BGRA(0, 0xFF, 0, 0));
    EXPECT_EQ(dib.Pixel(1, 0), BGRA(0x11, 0x22, 0x33, 0));
    EXPECT_EQ(dib.Pixel(0, 1), BGRA(0x11, 0x22, 0x33, 0));
    EXPECT_EQ(dib.Pixel(1, 1), BGRA(0, 0xFF, 0, 0));

    // 16 bits with 5/6/5 bit fields (read as the default 5/5/5, full red
    // would not come out as 0xFF).
    std::vector<uint8_t> masks(12);
    PutU32(&masks[0], 0xF800), PutU32(&masks[4], 0x07E0), PutU32(&masks[8], 0x001F);
    dib.ImportFile(Write("fields16.bmp", Bmp(40, 2, 1, 16, 3, 0, masks, {0x00, 0xF8, 0xE0, 0x07})));
    EXPECT_EQ(dib.Pixel(0, 0), BGRA(0, 0, 0xFF, 0));
    EXPECT_EQ(dib.Pixel(1, 0), BGRA(0, 0xFF, 0, 0));

#ifndef _WIN32
    // Our own reader checks the palette's length; the system's loader on
    // Windows makes do with what is there.
    ExpectRefused("palette.bmp", std::vector<uint8_t>(top.begin(), top.begin() + 14 + 40 + 4));
#endif
}

TEST_F(DIBImport, MaskTakesTheBlueBytes) {
    TMemoryDIB dib;
    const auto mask = Bmp24(2, 1, [](int x, int) { return x ? 0x0000FFu : 0x000040u; });  // blue 0xFF, 0x40
    try {
        dib.ImportMask(Write("m.bmp", mask));
        FAIL();
    } catch (const EDIBError& e) {
        EXPECT_STREQ(e.what(), "You cannot import a mask until you have an image.");
    }
    dib.SetSize(4, 2);
    FillAll(dib, BGRA(1, 2, 3, 0));
    dib.ImportMask(Write("m2.bmp", mask));  // stretched from 2 x 1 to 4 x 2
    EXPECT_TRUE(dib.Masked());
    EXPECT_EQ(dib.Pixel(0, 0), BGRA(1, 2, 3, 0x40));
    EXPECT_EQ(dib.Pixel(1, 1), BGRA(1, 2, 3, 0x40));
    EXPECT_EQ(dib.Pixel(3, 1), BGRA(1, 2, 3, 0xFF));
}

TEST_F(DIBImport, MissingFileIsRefused) {
    TMemoryDIB dib;
    EXPECT_THROW(dib.ImportFile((std::filesystem::temp_directory_path() / "trv4-no-such-file.jpg").string()),
                 EDIBFormatError);
    EXPECT_FALSE(dib.HasPixels());
}

#ifndef _WIN32
// A 16 x 16 JPEG, top half red, bottom half blue, at quality 95.
std::vector<uint8_t> MakeJpeg() {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = 16;
    c.image_height = 16;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    for (int y = 0; y < 16; ++y) {
        unsigned char row[48];
        for (int x = 0; x < 16; ++x) {
            row[3 * x] = y < 8 ? 230 : 20;
            row[3 * x + 1] = 20;
            row[3 * x + 2] = y < 8 ? 20 : 230;
        }
        JSAMPROW r = row;
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&c);
    free(buffer);
    return out;
}

TEST_F(DIBImport, JpegDecodesUprightAndRefusesDamage) {
    const auto jpeg = MakeJpeg();
    TMemoryDIB dib;
    dib.ImportFile(Write("k.jpg", jpeg));
    ASSERT_EQ(dib.Width(), 16);
    const uint32_t top = dib.Pixel(5, 2), bottom = dib.Pixel(5, 13);
    EXPECT_NEAR(R(top), 230, 8);
    EXPECT_NEAR(B(top), 20, 8);
    EXPECT_NEAR(B(bottom), 230, 8);
    EXPECT_NEAR(R(bottom), 20, 8);
    EXPECT_EQ(A(top), 0);
    ExpectRefused("cut.jpg", std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + long(jpeg.size() / 2)));
    ExpectRefused("head.jpg", std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 20));
    auto wide = jpeg;  // SOF0 width field set to 0
    for (size_t i = 0; i + 8 < wide.size(); ++i)
        if (wide[i] == 0xFF && wide[i + 1] == 0xC0) {
            wide[i + 7] = 0, wide[i + 8] = 0;
            break;
        }
    ExpectRefused("zero.jpg", wide);
}

TEST_F(DIBImport, PngKeepsAlphaAndRefusesDamage) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    img.width = 2;
    img.height = 2;
    img.format = PNG_FORMAT_BGRA;
    const uint8_t pixels[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 255};  // top row first
    png_alloc_size_t size = 0;
    ASSERT_TRUE(png_image_write_to_memory(&img, nullptr, &size, 0, pixels, 0, nullptr));
    std::vector<uint8_t> png(size);
    ASSERT_TRUE(png_image_write_to_memory(&img, png.data(), &size, 0, pixels, 0, nullptr));
    png.resize(size);
    TMemoryDIB dib;
    dib.ImportFile(Write("a.png", png));
    EXPECT_EQ(dib.Pixel(0, 0), BGRA(1, 2, 3, 4));
    EXPECT_EQ(dib.Pixel(1, 1), BGRA(13, 14, 15, 255));
    EXPECT_TRUE(dib.Masked());
    ExpectRefused("cut.png", std::vector<uint8_t>(png.begin(), png.end() - 20));
    auto crc = png;
    crc[20] ^= 0x01;  // inside IHDR: its CRC no longer matches
    ExpectRefused("crc.png", crc);
}
#endif

}  // namespace
}  // namespace toolkit::test
