// What the library's entry hands out besides the plug-in factory.
#pragma once

#include "clap/ClapPresetDiscovery.h"

namespace trv4clap {

// The factory that lists the factory programs (ClapPresets.cpp).
extern const clap::preset_discovery_factory kPresetDiscoveryFactory;

}  // namespace trv4clap
