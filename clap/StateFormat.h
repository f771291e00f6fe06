// The plug-in's saved state in CLAP hosts: everything a VST 2 host keeps of
// it in a bank (the current program, and every program's 21 values and
// name), as one versioned block of bytes.
//
// Layout, little-endian throughout:
//   0    8 bytes  "TRV4bank"
//   8    uint32   format version, 1
//   12   uint32   programs, 45
//   16   uint32   parameters, 21
//   20   uint32   current program
//   24   per program: its name in 25 bytes (terminated, zero-filled), then
//        21 float32 values
//   end  uint32   FNV-1a hash of every byte before it
// A block that differs in any of this is refused whole.
//
// Pure functions; any thread.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/ParamIndex.h"
#include "plugin/FactoryPrograms.h"

namespace trv4clap {

constexpr std::size_t kStateNameBytes = 25;  // 24 characters and the terminator

struct BankState {
    uint32_t current = 0;
    char names[trv4::kNumPrograms][kStateNameBytes] = {};
    float values[trv4::kNumPrograms][trv4::kNumParams] = {};
};

constexpr std::size_t kStateBytes = 24 + trv4::kNumPrograms * (kStateNameBytes + 4 * trv4::kNumParams) + 4;

void encodeState(const BankState& state, uint8_t* bytes);

// False, leaving out alone, for a block of another size, another magic or
// version, other counts, a current program out of range, a name without its
// terminator, a value that is not a number in 0..1, or a wrong hash.
bool decodeState(const uint8_t* bytes, std::size_t size, BankState& out);

}  // namespace trv4clap
