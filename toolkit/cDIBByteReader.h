// Bounds-checked little-endian reading of a byte block. Every read says
// whether the bytes were there; nothing reads past the end.
// Any thread (a plain value over caller-owned bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace toolkit {

class TDIBByteReader {
public:
    TDIBByteReader(const uint8_t* data, size_t size) : fData(data), fSize(size) {}

    size_t Remaining() const { return fSize - fPos; }
    size_t Position() const { return fPos; }

    bool Read(void* out, size_t n) {
        if (n > Remaining()) return false;
        if (n) std::memcpy(out, fData + fPos, n);
        fPos += n;
        return true;
    }
    bool ReadU16(uint16_t& v) {
        uint8_t b[2];
        if (!Read(b, 2)) return false;
        v = uint16_t(b[0] | (b[1] << 8));
        return true;
    }
    bool ReadU32(uint32_t& v) {
        uint8_t b[4];
        if (!Read(b, 4)) return false;
        v = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
        return true;
    }
    // The next n bytes in place, or null when fewer are left.
    const uint8_t* Take(size_t n) {
        if (n > Remaining()) return nullptr;
        const uint8_t* p = fData + fPos;
        fPos += n;
        return p;
    }

private:
    const uint8_t* fData;
    size_t fSize;
    size_t fPos = 0;
};

inline void PutU16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace toolkit
