// The editor requests trv4 makes as a host (snapshot and edit): the
// editor's rectangle, and the report of the automation the plug-in sends
// while its editor is used. Main thread only.
#pragma once

#include <string>
#include <vector>

#include "tools/trv4/CommandLine.h"
#include "tools/trv4/LoadedPlugin.h"

namespace trv4tool {

// effEditGetRect: the editor's width and height. False with a one-line
// reason when the plug-in has no editor or answers no usable rectangle.
bool editorSize(const LoadedPlugin& plugin, int& width, int& height, std::string& error);

// --scale FACTOR (1 .. 2) of snapshot and edit, when given: sent as a host's
// size hint (effVendorSpecific 'PreS' 'AeCs', the factor in opt) before the
// editor's rectangle is asked. False with a reason for a bad value.
bool sendScaleHint(const LoadedPlugin& plugin, const Arguments& args, std::string& error);

// The names effGetParamName reports, by index.
std::vector<std::string> parameterNames(const LoadedPlugin& plugin);

// Prints every audioMasterAutomate the host received since the last call,
// one line each: automate INDEX "NAME" VALUE (the value as the shortest text
// that reads back as the same float), then forgets them.
void printAutomation(LoadedPlugin& plugin, const std::vector<std::string>& names);

}  // namespace trv4tool
