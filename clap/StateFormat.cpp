#include "clap/StateFormat.h"

#include <cstring>

namespace trv4clap {

namespace {

constexpr char kMagic[8] = {'T', 'R', 'V', '4', 'b', 'a', 'n', 'k'};
constexpr uint32_t kFormatVersion = 1;

void put32(uint8_t*& p, uint32_t v) {
    for (int i = 0; i < 4; ++i) *p++ = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t get32(const uint8_t*& p) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(*p++) << (8 * i);
    return v;
}

uint32_t fnv1a(const uint8_t* bytes, std::size_t size) {
    uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

}  // namespace

void encodeState(const BankState& state, uint8_t* bytes) {
    uint8_t* p = bytes;
    std::memcpy(p, kMagic, sizeof kMagic);
    p += sizeof kMagic;
    put32(p, kFormatVersion);
    put32(p, trv4::kNumPrograms);
    put32(p, trv4::kNumParams);
    put32(p, state.current);
    for (int program = 0; program < trv4::kNumPrograms; ++program) {
        std::memset(p, 0, kStateNameBytes);
        std::size_t n = strnlen(state.names[program], kStateNameBytes - 1);
        std::memcpy(p, state.names[program], n);
        p += kStateNameBytes;
        for (float value : state.values[program]) {
            uint32_t bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            put32(p, bits);
        }
    }
    put32(p, fnv1a(bytes, static_cast<std::size_t>(p - bytes)));
}

bool decodeState(const uint8_t* bytes, std::size_t size, BankState& out) {
    if (!bytes || size != kStateBytes) return false;
    if (fnv1a(bytes, kStateBytes - 4) != [&] {
            const uint8_t* end = bytes + kStateBytes - 4;
            return get32(end);
        }())
        return false;
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) return false;
    const uint8_t* p = bytes + sizeof kMagic;
    if (get32(p) != kFormatVersion || get32(p) != trv4::kNumPrograms || get32(p) != trv4::kNumParams) return false;
    BankState state;
    state.current = get32(p);
    if (state.current >= static_cast<uint32_t>(trv4::kNumPrograms)) return false;
    for (int program = 0; program < trv4::kNumPrograms; ++program) {
        if (p[kStateNameBytes - 1] != 0) return false;
        std::memcpy(state.names[program], p, kStateNameBytes);
        p += kStateNameBytes;
        for (float& value : state.values[program]) {
            const uint32_t bits = get32(p);
            std::memcpy(&value, &bits, sizeof value);
            if (!(value >= 0.0f && value <= 1.0f)) return false;
        }
    }
    out = state;
    return true;
}

}  // namespace trv4clap
