// Texts exchanged with the host through dispatcher buffers.
//
// Hosts pass buffers of the interface's nominal sizes or larger, some of them
// uninitialised, and some send names without a terminator. So every text
// written is terminated and bounded, and every text read stops at its limit.
// Called on the dispatcher's thread; no allocation.
#pragma once

#include <cstddef>

#include "vst/VstInterface.h"

namespace trv4 {

// Longest texts written, terminator not counted.
constexpr std::size_t kMaxParameterTextChars = 13;                      // names, labels, display texts
constexpr std::size_t kMaxProgramNameChars = vst::kVstMaxProgNameLen;   // 24
constexpr std::size_t kMaxEffectNameChars = vst::kVstMaxEffectNameLen;  // 32
constexpr std::size_t kMaxVendorTextChars = vst::kVstMaxVendorStrLen;   // 64, also the product text

// Copies at most maxChars characters of src into dest, reading src no further
// than that, then writes the terminator: dest must hold maxChars + 1 bytes.
// Used both ways: texts towards the host and names received from it. A null
// dest is ignored; a null src gives an empty text.
void copyHostText(char* dest, const char* src, std::size_t maxChars);

}  // namespace trv4
