// Where the probe plug-in module is, for tests that load it as a host does.
// The build passes TRV4_PROBE_PATH.
#pragma once

#include "tests/support/ModulePath.h"

namespace trv4test {

inline std::string probePath() { return hostPath(TRV4_PROBE_PATH); }

}  // namespace trv4test
