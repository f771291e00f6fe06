// One plug-in loaded the way a host loads it: the library by path, the
// effect from its entry with our host's callback, then effOpen. Owns the
// module, the host and the effect and closes them in the right order
// (effect first, library last). Looks parameters and programs up by the
// names the plug-in reports. Used on trv4's main thread.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tools/host/PluginHost.h"

namespace trv4tool {

class LoadedPlugin {
public:
    // Null with a one-line reason when the library cannot be loaded, exports
    // no entry, the entry gives no effect or the record's magic is wrong.
    static std::unique_ptr<LoadedPlugin> load(const std::string& path, std::string& error);

    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    trv4host::Host& host() { return host_; }
    const trv4host::Effect& effect() const { return *effect_; }
    const trv4host::PluginModule& module() const { return *module_; }
    const std::string& path() const { return path_; }
    // The name of the export the effect came from.
    const char* entryName() const {
        return module_->clap()            ? "clap_entry"
               : module_->vst3()          ? "GetPluginFactory"
               : module_->vstPluginMain() ? "VSTPluginMain"
                                          : "main";
    }

    // A parameter by its reported name (exact, then ignoring case) or by its
    // index; -1 when there is none.
    int findParameter(std::string_view nameOrIndex) const;
    // A program likewise, by the names effGetProgramNameIndexed reports.
    int findProgram(std::string_view nameOrIndex) const;
    std::string programName(int index) const;

private:
    LoadedPlugin() = default;

    std::string path_;
    std::unique_ptr<trv4host::PluginModule> module_;
    trv4host::Host host_;
    std::unique_ptr<trv4host::Effect> effect_;
};

}  // namespace trv4tool
