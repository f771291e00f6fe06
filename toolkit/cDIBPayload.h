// The stored form of an image's pixels (the `DIB.Data` block of a form
// description) and the list of compressors that may pack it.
//
// Payload, little-endian: width (u16), height (u16), then width x height
// pixels of 4 bytes (blue, green, red, alpha), bottom row first.
// Compressed form: "DIBCMP", the compressor's 16-byte identifier, the
// payload's size (u32), then the compressor's bytes.
//
// No compressor ships with the program; the list stays empty unless a
// design tool registers one. Window thread only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace toolkit {

class TAbstractSuperDIB;

using TDIBCompressorId = std::array<uint8_t, 16>;

class TDIBCompressor {
public:
    virtual ~TDIBCompressor() = default;
    virtual TDIBCompressorId Identifier() const = 0;
    // Packs source into dest (room for sourceLen bytes); answers the packed
    // length, or 0 when it cannot make it smaller.
    virtual size_t Compress(const TAbstractSuperDIB& image, const uint8_t* source, size_t sourceLen, uint8_t* dest) = 0;
    virtual bool Accepts(const TDIBCompressorId& id) const { return id == Identifier(); }
    // Unpacks exactly uncompressedSize bytes into dest; false on bad input.
    virtual bool Decompress(const TAbstractSuperDIB& image, const TDIBCompressorId& id, size_t uncompressedSize,
                            size_t compressedLen, uint8_t* dest, const uint8_t* source) = 0;
};

// The registered compressors, freed when the program ends. Decompression
// asks the most recently registered first.
class TDIBCompressors {
public:
    static void Register(std::unique_ptr<TDIBCompressor> compressor);
    // Frees a registered compressor (and deselects it).
    static void Unregister(const TDIBCompressor* compressor);
    static size_t Count();
    static TDIBCompressor* FindDecompressor(const TDIBCompressorId& id);
    // The compressor used when writing; none (plain payloads) by default.
    static void Select(TDIBCompressor* compressor);
    static TDIBCompressor* Selected();
};

// Largest uncompressed size a compressed payload may announce (1 GiB).
inline constexpr uint32_t kDIBMaxUncompressed = 1u << 30;

// The payload of the image's pixels, packed when a compressor is selected
// and it succeeds. Empty for an image without pixels.
std::vector<uint8_t> WriteDIBData(const TAbstractSuperDIB& image);

// Reads a stored payload into the image: resize, pixels, change event.
// Empty data does nothing. A payload whose length does not match its width
// and height raises EDIBFormatError; a compressed one without its
// decompressor raises EDIBCompressError "Could not find a suitable
// decompressor.". On any failure the image is left as it was.
void ReadDIBData(TAbstractSuperDIB& image, const uint8_t* data, size_t size);
inline void ReadDIBData(TAbstractSuperDIB& image, const std::vector<uint8_t>& data) {
    ReadDIBData(image, data.data(), data.size());
}

}  // namespace toolkit
