// The DIB.Data payload: layout, refusal of damaged blocks, the compressed
// form and the compressor list.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/toolkit/DIBTestSupport.h"
#include "toolkit/cDIB.h"
#include "toolkit/cDIBErrors.h"
#include "toolkit/cDIBPayload.h"

namespace toolkit::test {
namespace {

std::vector<uint8_t> Payload10x10() {
    std::vector<uint8_t> p = {0x0A, 0x00, 0x0A, 0x00};
    for (int i = 0; i < 400; ++i) p.push_back(uint8_t(i));
    return p;
}

// Stores every byte once more than needed and XORs it, so a round trip
// proves both directions ran.
class TXorCompressor : public TDIBCompressor {
public:
    explicit TXorCompressor(uint8_t tag, int* decompressions = nullptr) : fTag(tag), fCalls(decompressions) {}
    TDIBCompressorId Identifier() const override {
        TDIBCompressorId id{};
        id[0] = fTag;
        return id;
    }
    size_t Compress(const TAbstractSuperDIB&, const uint8_t* src, size_t len, uint8_t* dst) override {
        for (size_t i = 0; i < len; ++i) dst[i] = src[i] ^ 0x5A;
        return len;
    }
    bool Decompress(const TAbstractSuperDIB&, const TDIBCompressorId&, size_t size, size_t len, uint8_t* dst,
                    const uint8_t* src) override {
        if (fCalls) ++*fCalls;
        if (len != size) return false;
        for (size_t i = 0; i < len; ++i) dst[i] = src[i] ^ 0x5A;
        return true;
    }

private:
    uint8_t fTag;
    int* fCalls;
};

// Registers for one test and always unregisters.
struct ScopedCompressor {
    explicit ScopedCompressor(std::unique_ptr<TDIBCompressor> c) : ptr(c.get()) {
        TDIBCompressors::Register(std::move(c));
    }
    ~ScopedCompressor() { TDIBCompressors::Unregister(ptr); }
    TDIBCompressor* ptr;
};

TEST(DIBPayload, TenByTenExampleStartsBottomLeft) {
    TMemoryDIB dib;
    int changes = 0;
    dib.OnChange = [&](TAbstractSuperDIB&) { ++changes; };
    ReadDIBData(dib, Payload10x10());
    EXPECT_EQ(dib.Width(), 10);
    EXPECT_EQ(dib.Height(), 10);
    EXPECT_EQ(dib.Pixel(0, 9), BGRA(0, 1, 2, 3));  // first stored pixel
    EXPECT_EQ(dib.Pixel(1, 9), BGRA(4, 5, 6, 7));
    EXPECT_EQ(dib.Pixel(0, 8), BGRA(40, 41, 42, 43));  // second stored row
    EXPECT_GE(changes, 1);
    EXPECT_EQ(WriteDIBData(dib), Payload10x10());
}

TEST(DIBPayload, EditorImageSizes) {
    const int sizes[][2] = {{10, 10}, {49, 49}, {755, 370}};
    const size_t expected[] = {404, 9608, 1117404};
    for (int i = 0; i < 3; ++i) {
        TMemoryDIB dib(uint16_t(sizes[i][0]), uint16_t(sizes[i][1]));
        FillTagged(dib);
        const auto data = WriteDIBData(dib);
        EXPECT_EQ(data.size(), expected[i]);
        TMemoryDIB back;
        ReadDIBData(back, data);
        ASSERT_EQ(back.Width(), sizes[i][0]);
        EXPECT_EQ(std::memcmp(back.Bits(), dib.Bits(), data.size() - 4), 0);
    }
    EXPECT_TRUE(WriteDIBData(TMemoryDIB()).empty());
}

TEST(DIBPayload, MismatchedLengthsAreRefusedAndChangeNothing) {
    TMemoryDIB dib(3, 2);
    FillTagged(dib);
    auto good = Payload10x10();
    std::vector<std::vector<uint8_t>> bad = {
        {0x0A},                                              // cut inside the header
        std::vector<uint8_t>(good.begin(), good.end() - 1),  // one byte short
        good,                                                // one byte long (below)
        {0x00, 0x00, 0x01, 0x00},                            // zero width
        {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4},                // 65535 x 65535 claimed
    };
    bad[2].push_back(0);
    for (const auto& b : bad) {
        EXPECT_THROW(ReadDIBData(dib, b), EDIBFormatError) << b.size();
        EXPECT_EQ(dib.Width(), 3);
        EXPECT_EQ(dib.Pixel(2, 1), Tag(2, 1));
    }
    ReadDIBData(dib, std::vector<uint8_t>{});  // empty: nothing happens
    EXPECT_EQ(dib.Width(), 3);
}

TEST(DIBPayload, ShortBlockIsNeverTakenForCompressed) {
    int calls = 0;
    ScopedCompressor any(std::make_unique<TXorCompressor>(0, &calls));
    std::vector<uint8_t> b = {'D', 'I', 'B', 'C', 'M', 'P'};
    b.resize(25, 0);
    TMemoryDIB dib;
    // Read as a plain payload of 0x4944 x 0x4D43 pixels: a size mismatch,
    // not a missing decompressor.
    EXPECT_THROW(ReadDIBData(dib, b), EDIBFormatError);
    EXPECT_EQ(calls, 0);
}

TEST(DIBPayload, CompressedWithoutDecompressorRaisesTheMessage) {
    std::vector<uint8_t> b = {'D', 'I', 'B', 'C', 'M', 'P'};
    b.resize(26, 0x77);
    TMemoryDIB dib;
    try {
        ReadDIBData(dib, b);
        FAIL() << "no error";
    } catch (const EDIBCompressError& e) {
        EXPECT_STREQ(e.what(), "Could not find a suitable decompressor.");
    }
    EXPECT_FALSE(dib.HasPixels());
}

TEST(DIBPayload, CompressedRoundTripUsesTheNewestDecompressor) {
    int olderCalls = 0, newerCalls = 0;
    ScopedCompressor older(std::make_unique<TXorCompressor>(7, &olderCalls));
    ScopedCompressor newer(std::make_unique<TXorCompressor>(7, &newerCalls));
    EXPECT_EQ(TDIBCompressors::Count(), 2u);
    TMemoryDIB dib(4, 3);
    FillTagged(dib);
    TDIBCompressors::Select(older.ptr);
    const auto data = WriteDIBData(dib);
    TDIBCompressors::Select(nullptr);
    ASSERT_EQ(data.size(), 26u + 4 + 48);
    EXPECT_EQ(std::memcmp(data.data(), "DIBCMP", 6), 0);
    EXPECT_EQ(data[6], 7);
    EXPECT_EQ(data[22], 52);  // uncompressed size, little-endian
    TMemoryDIB back;
    ReadDIBData(back, data);
    EXPECT_EQ(newerCalls, 1);
    EXPECT_EQ(olderCalls, 0);
    EXPECT_EQ(back.Pixel(3, 2), Tag(3, 2));
    // A decompressor that fails, or an absurd announced size, is an error.
    auto cut = data;
    cut.pop_back();
    EXPECT_THROW(ReadDIBData(back, cut), EDIBCompressError);
    auto huge = data;
    huge[25] = 0xFF;
    EXPECT_THROW(ReadDIBData(back, huge), EDIBFormatError);
    EXPECT_EQ(back.Pixel(3, 2), Tag(3, 2));
}

}  // namespace
}  // namespace toolkit::test
