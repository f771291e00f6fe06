// DIB.Data payload codec and the compressor list.
#include "toolkit/cDIBPayload.h"

#include <algorithm>
#include <cstring>

#include "toolkit/cDIB.h"
#include "toolkit/cDIBByteReader.h"
#include "toolkit/cDIBErrors.h"

namespace toolkit {
namespace {

constexpr char kMagic[6] = {'D', 'I', 'B', 'C', 'M', 'P'};
constexpr size_t kHeaderSize = 26;  // magic, identifier, uncompressed size

struct TDIBCompressorList {
    std::vector<std::unique_ptr<TDIBCompressor>> items;
    TDIBCompressor* selected = nullptr;
};

TDIBCompressorList& List() {
    static TDIBCompressorList list;
    return list;
}

// Checks a plain payload completely, then reads it.
void ReadPlain(TAbstractSuperDIB& image, const uint8_t* data, size_t size) {
    TDIBByteReader in(data, size);
    uint16_t w = 0, h = 0;
    if (!in.ReadU16(w) || !in.ReadU16(h) || w == 0 || h == 0) throw EDIBFormatError(dibmsg::kPayloadSize);
    const size_t bytes = size_t(w) * h * 4;
    if (in.Remaining() != bytes) throw EDIBFormatError(dibmsg::kPayloadSize);
    const uint8_t* pixels = in.Take(bytes);
    image.SetSize(w, h);
    std::memcpy(image.Bits(), pixels, bytes);
    image.Changed();
}

}  // namespace

void TDIBCompressors::Register(std::unique_ptr<TDIBCompressor> compressor) {
    if (compressor) List().items.push_back(std::move(compressor));
}

void TDIBCompressors::Unregister(const TDIBCompressor* compressor) {
    auto& list = List();
    if (list.selected == compressor) list.selected = nullptr;
    std::erase_if(list.items, [&](const auto& c) { return c.get() == compressor; });
}

size_t TDIBCompressors::Count() { return List().items.size(); }

TDIBCompressor* TDIBCompressors::FindDecompressor(const TDIBCompressorId& id) {
    auto& items = List().items;
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        if ((*it)->Accepts(id)) return it->get();
    return nullptr;
}

void TDIBCompressors::Select(TDIBCompressor* compressor) { List().selected = compressor; }

TDIBCompressor* TDIBCompressors::Selected() { return List().selected; }

std::vector<uint8_t> WriteDIBData(const TAbstractSuperDIB& image) {
    if (!image.HasPixels()) return {};
    const size_t bytes = size_t(image.Width()) * image.Height() * 4;
    std::vector<uint8_t> payload(4 + bytes);
    PutU16(payload.data(), uint16_t(image.Width()));
    PutU16(payload.data() + 2, uint16_t(image.Height()));
    std::memcpy(payload.data() + 4, image.Bits(), bytes);

    TDIBCompressor* compressor = TDIBCompressors::Selected();
    if (!compressor) return payload;
    std::vector<uint8_t> packed(payload.size());
    const size_t n = compressor->Compress(image, payload.data(), payload.size(), packed.data());
    if (n == 0 || n > payload.size()) return payload;
    std::vector<uint8_t> out(kHeaderSize + n);
    std::memcpy(out.data(), kMagic, 6);
    const TDIBCompressorId id = compressor->Identifier();
    std::memcpy(out.data() + 6, id.data(), id.size());
    PutU32(out.data() + 22, uint32_t(payload.size()));
    std::memcpy(out.data() + kHeaderSize, packed.data(), n);
    return out;
}

void ReadDIBData(TAbstractSuperDIB& image, const uint8_t* data, size_t size) {
    if (size == 0) return;
    // Only a block long enough for the whole header can be a compressed one.
    if (size < kHeaderSize || std::memcmp(data, kMagic, 6) != 0) {
        ReadPlain(image, data, size);
        return;
    }
    TDIBByteReader in(data + 6, size - 6);
    TDIBCompressorId id{};
    uint32_t unpackedSize = 0;
    in.Read(id.data(), id.size());
    in.ReadU32(unpackedSize);
    TDIBCompressor* decompressor = TDIBCompressors::FindDecompressor(id);
    if (!decompressor) throw EDIBCompressError(dibmsg::kNoDecompressor);
    if (unpackedSize < 4 || unpackedSize > kDIBMaxUncompressed) throw EDIBFormatError(dibmsg::kPayloadSize);
    std::vector<uint8_t> unpacked(unpackedSize);
    if (!decompressor->Decompress(image, id, unpacked.size(), in.Remaining(), unpacked.data(), data + kHeaderSize))
        throw EDIBCompressError(dibmsg::kDecompressFailed);
    ReadPlain(image, unpacked.data(), unpacked.size());
}

}  // namespace toolkit
