// The sections of trv4 info that depend on the plug-in's interface.
#pragma once

#include "tools/host/ClapHost.h"

namespace trv4tool {

// A CLAP plug-in's descriptor, extensions, ports, latency, tail, editor and
// parameter ids (ClapInfo.cpp).
void printClapSections(const trv4host::ClapModule& module, trv4host::ClapInstance& instance);

}  // namespace trv4tool
