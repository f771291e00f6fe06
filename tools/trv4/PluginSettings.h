// The program and parameter settings of a command line (--fxb, --fxp,
// --program, --set), checked in full before anything reaches the plug-in and
// then applied in the order a host restores a session: bank, program
// selection, program file, single parameters. Used on trv4's main thread
// before the plug-in is resumed.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/trv4/CommandLine.h"
#include "tools/trv4/LoadedPlugin.h"
#include "tools/trv4/PresetFile.h"

namespace trv4tool {

struct PluginSettings {
    std::optional<Preset> bank;                 // --fxb
    std::optional<Preset> program;              // --fxp, into the selected program
    int programIndex = -1;                      // --program; -1 keeps the plug-in's (or the bank's) choice
    std::vector<std::pair<int, float>> values;  // --set, in command-line order
    std::vector<std::string> warnings;          // to show the user, one line each
};

// The options this layer reads, for parseArguments.
void addSettingsOptions(std::vector<OptionSpec>& specs);

// Reads the preset files, checks that they fit the plug-in, resolves
// program and parameter names, and checks that --set values lie in 0..1.
// False with a one-line reason; nothing is sent to the plug-in either way.
bool resolveSettings(const LoadedPlugin& plugin, const Arguments& args, PluginSettings& out, std::string& error);

void applySettings(const trv4host::Effect& effect, const PluginSettings& settings);

}  // namespace trv4tool
