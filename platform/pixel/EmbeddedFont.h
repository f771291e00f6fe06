// The sans-serif face compiled into the binary (a source file generated at
// build time from the TrueType file the build names).
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

const uint8_t* EmbeddedSansData();
size_t EmbeddedSansSize();

}  // namespace platform
