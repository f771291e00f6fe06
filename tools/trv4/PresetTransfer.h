// Moves presets between a loaded plug-in and preset data through the calls a
// host makes: setProgram, getParameter, setParameter, getProgramName,
// setProgramName and getProgram. Never reads or writes the plug-in's memory.
//
// Called on trv4's main thread while the plug-in is not processing.
#pragma once

#include <string>
#include <vector>

#include "tools/host/PluginHost.h"
#include "tools/trv4/PresetFile.h"

namespace trv4tool {

// The record fields a preset must match.
PluginShape shapeOf(const trv4host::Effect& effect);

// The whole bank: every program visited with setProgram, then the program
// that was current is selected again.
Preset captureBank(const trv4host::Effect& effect);

// The current program only.
Preset captureProgram(const trv4host::Effect& effect);

// Loads a preset that presetFits accepted for this plug-in. A bank restores
// every program (select, set each parameter, rename), then selects the
// bank's current program (program 0 when the bank does not name one). A
// program file goes into the current program.
void restorePreset(const trv4host::Effect& effect, const Preset& preset);

// Reads the plug-in back and compares it with the preset: values as the
// plug-in stores them (clamped to 0..1) and names. Answers one line per
// difference; empty when everything matches. Leaves the current program as
// it found it.
std::vector<std::string> verifyPreset(const trv4host::Effect& effect, const Preset& preset);

}  // namespace trv4tool
