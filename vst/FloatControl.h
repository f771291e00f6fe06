// The floating-point environment the engine relies on: every exception masked
// (a division by zero gives an infinity, never a trap). Set on the thread that
// constructs an effect, and once when the library is loaded.
#pragma once

namespace vst {

void maskFloatExceptions();

}  // namespace vst
