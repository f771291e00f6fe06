#include "vst3/Vst3State.h"

#include <cmath>
#include <cstring>

namespace trv4 {

namespace {

constexpr char kBankTag[8] = {'T', 'R', 'V', '4', 'B', 'A', 'N', 'K'};
constexpr char kControllerTag[8] = {'T', 'R', 'V', '4', 'C', 'T', 'R', 'L'};
constexpr uint32_t kFormatVersion = 1;

uint32_t crc32(const uint8_t* data, int size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (int i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

class Writer {
public:
    explicit Writer(uint8_t* out) : out_(out) {}
    void bytes(const void* data, int n) {
        std::memcpy(out_ + length_, data, static_cast<std::size_t>(n));
        length_ += n;
    }
    void u32(uint32_t v) {
        const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        bytes(b, 4);
    }
    void f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    int length() const { return length_; }
    const uint8_t* data() const { return out_; }

private:
    uint8_t* out_;
    int length_ = 0;
};

// Reads forward; every read past the end fails and keeps failing.
class Reader {
public:
    Reader(const uint8_t* data, int size) : data_(data), size_(size) {}
    bool bytes(void* out, int n) {
        if (n < 0 || size_ - at_ < n) return ok_ = false;
        std::memcpy(out, data_ + at_, static_cast<std::size_t>(n));
        at_ += n;
        return true;
    }
    uint32_t u32() {
        uint8_t b[4] = {};
        bytes(b, 4);
        return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
    float f32() {
        const uint32_t bits = u32();
        float v;
        std::memcpy(&v, &bits, 4);
        return v;
    }
    bool tag(const char (&expected)[8]) {
        char found[8] = {};
        return bytes(found, 8) && std::memcmp(found, expected, 8) == 0;
    }
    bool ok() const { return ok_; }
    int at() const { return at_; }

private:
    const uint8_t* data_;
    int size_;
    int at_ = 0;
    bool ok_ = true;
};

}  // namespace

int writeBank(const SavedBank& bank, uint8_t* out) {
    Writer w(out);
    w.bytes(kBankTag, 8);
    w.u32(kFormatVersion);
    w.u32(kNumPrograms);
    w.u32(kNumParams);
    w.u32(static_cast<uint32_t>(bank.current));
    for (int p = 0; p < kNumPrograms; ++p) {
        for (int i = 0; i < kNumParams; ++i) w.f32(bank.values[p][i]);
        const auto length = static_cast<uint8_t>(strnlen(bank.names[p], SavedBank::kMaxNameChars));
        w.bytes(&length, 1);
        w.bytes(bank.names[p], length);
    }
    w.u32(crc32(w.data(), w.length()));
    return w.length();
}

bool readBank(const uint8_t* data, int size, SavedBank& bank, int& used) {
    Reader r(data, size);
    if (!r.tag(kBankTag) || r.u32() != kFormatVersion || r.u32() != kNumPrograms || r.u32() != kNumParams) return false;
    SavedBank read{};
    read.current = static_cast<int32_t>(r.u32());
    if (read.current < 0 || read.current >= kNumPrograms) return false;
    for (int p = 0; p < kNumPrograms && r.ok(); ++p) {
        for (int i = 0; i < kNumParams; ++i) {
            const float v = r.f32();
            if (!(v >= 0.0f && v <= 1.0f)) return false;
            read.values[p][i] = v;
        }
        uint8_t length = 0;
        if (!r.bytes(&length, 1) || length > SavedBank::kMaxNameChars || !r.bytes(read.names[p], length)) return false;
        if (strnlen(read.names[p], length) != length) return false;
    }
    const int checked = r.at();
    if (!r.ok() || r.u32() != crc32(data, checked) || !r.ok()) return false;
    bank = read;
    used = r.at();
    return true;
}

int writeControllerState(uint8_t* out) {
    Writer w(out);
    w.bytes(kControllerTag, 8);
    w.u32(kFormatVersion);
    return w.length();
}

bool readControllerState(const uint8_t* data, int size, int& used) {
    Reader r(data, size);
    if (!r.tag(kControllerTag) || r.u32() != kFormatVersion || !r.ok()) return false;
    used = r.at();
    return true;
}

bool writeToStream(vst3::IBStream* stream, const uint8_t* data, int size) {
    if (!stream) return false;
    vst3::int32 written = 0;
    return stream->write(const_cast<uint8_t*>(data), size, &written) == vst3::kResultOk && written == size;
}

int readFromStream(vst3::IBStream* stream, uint8_t* data, int capacity) {
    if (!stream) return 0;
    // Streams may hand data out in pieces.
    int total = 0;
    while (total < capacity) {
        vst3::int32 got = 0;
        if (stream->read(data + total, capacity - total, &got) != vst3::kResultOk || got <= 0) break;
        total += got > capacity - total ? capacity - total : got;
    }
    return total;
}

void settleStream(vst3::IBStream* stream, vst3::int64 start, int used) {
    if (stream && start >= 0) stream->seek(start + used, vst3::IBStream::kSeekSet, nullptr);
}

}  // namespace trv4
