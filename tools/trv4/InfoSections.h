// The sections of trv4 info that depend on the plug-in's interface.
#pragma once

#include "tools/host/ClapHost.h"
#include "tools/host/Vst3Host.h"

namespace trv4tool {

// A CLAP plug-in's descriptor, extensions, ports, latency, tail, editor and
// parameter ids (ClapInfo.cpp).
void printClapSections(const trv4host::ClapModule& module, trv4host::ClapInstance& instance);
// A VST3 plug-in's factory, classes, interfaces, buses, latency, tail,
// editor, parameter ids and program list (Vst3Info.cpp).
void printVst3Sections(const trv4host::Vst3Module& module, trv4host::Vst3Instance& instance);

}  // namespace trv4tool
