// The saved state of the VST3 plug-in: the component's stream holds what a
// VST 2 host saves as a bank (the 45 programs with their 21 values and name,
// and the current program); the controller's stream holds only its own
// header, since the editor keeps nothing worth saving.
//
// Component stream, little-endian: the tag "TRV4BANK", format version
// (uint32, 1), program count (uint32, 45), parameter count (uint32, 21), the
// current program (int32); per program 21 float32 values in 0 .. 1 and the
// name (uint8 length, then that many bytes, no terminator); last a CRC-32 of
// everything before it. Controller stream: "TRV4CTRL" and the version.
//
// A stream that is short, foreign (another tag), of another version or
// shape, holds a value outside 0 .. 1 or a name with a NUL, or fails its
// check sum is refused as a whole: read() answers false and the bank given
// is left alone. Plain functions; no allocation.
#pragma once

#include <cstdint>

#include "plugin/APluginProgram.h"
#include "plugin/FactoryPrograms.h"
#include "vst3/Vst3Base.h"

namespace trv4 {

struct SavedBank {
    static constexpr int kMaxNameChars = static_cast<int>(APluginProgram::kNameCapacity) - 1;
    float values[kNumPrograms][kNumParams];
    char names[kNumPrograms][kMaxNameChars + 1];
    int32_t current;
};

// The longest component stream: header, programs with the longest names,
// check sum.
constexpr int kMaxBankBytes = 8 + 4 * 4 + kNumPrograms * (kNumParams * 4 + 1 + SavedBank::kMaxNameChars) + 4;
constexpr int kControllerStateBytes = 8 + 4;

// Writes bank into out (kMaxBankBytes) and answers the length.
int writeBank(const SavedBank& bank, uint8_t* out);
// Reads a bank from the first size bytes of data; used is the length of the
// bank found. False (bank untouched) for anything but a whole, valid bank.
bool readBank(const uint8_t* data, int size, SavedBank& bank, int& used);

int writeControllerState(uint8_t* out);
bool readControllerState(const uint8_t* data, int size, int& used);

// Stream helpers: the whole buffer written, or false; up to capacity bytes
// read (fewer at the end of the stream), answering the count.
bool writeToStream(vst3::IBStream* stream, const uint8_t* data, int size);
int readFromStream(vst3::IBStream* stream, uint8_t* data, int capacity);
// Puts the stream's position right behind the used bytes of a read that
// began at start, so that data after ours stays for its owner.
void settleStream(vst3::IBStream* stream, vst3::int64 start, int used);

}  // namespace trv4
