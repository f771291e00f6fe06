#include "tools/trv4/LoadedPlugin.h"

#include <cctype>
#include <vector>

#include "tools/trv4/Numbers.h"

namespace trv4tool {

namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Exact match first, then ignoring case, then an index in 0..count-1.
int find(std::string_view wanted, const std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size(); ++i)
        if (!names[i].empty() && names[i] == wanted) return static_cast<int>(i);
    for (size_t i = 0; i < names.size(); ++i)
        if (!names[i].empty() && equalIgnoringCase(names[i], wanted)) return static_cast<int>(i);
    long long index = 0;
    if (parseInteger(wanted, index) && index >= 0 && index < static_cast<long long>(names.size()))
        return static_cast<int>(index);
    return -1;
}

}  // namespace

std::unique_ptr<LoadedPlugin> LoadedPlugin::load(const std::string& path, std::string& error) {
    std::unique_ptr<LoadedPlugin> plugin(new LoadedPlugin());
    plugin->path_ = path;
    plugin->module_ = trv4host::PluginModule::Load(path, error);
    if (!plugin->module_) return nullptr;
    vst::AEffect* record = plugin->host_.instantiate(*plugin->module_);
    if (!record) {
        error = path + ": the plug-in's entry gave no effect";
        return nullptr;
    }
    if (record->magic != vst::kEffectMagic) {
        // Not a record we may call into: it is neither used nor closed.
        error = path + ": the plug-in's entry gave a record without the 'VstP' magic";
        return nullptr;
    }
    plugin->effect_ = std::make_unique<trv4host::Effect>(record);
    plugin->effect_->dispatch(vst::effOpen);
    return plugin;
}

int LoadedPlugin::findParameter(std::string_view nameOrIndex) const {
    std::vector<std::string> names;
    for (int i = 0; i < effect_->record()->numParams; ++i) names.push_back(effect_->text(vst::effGetParamName, i));
    return find(nameOrIndex, names);
}

std::string LoadedPlugin::programName(int index) const {
    char buffer[256] = {};
    if (effect_->dispatch(vst::effGetProgramNameIndexed, index, 0, buffer) != 0) {
        buffer[sizeof buffer - 1] = 0;
        return buffer;
    }
    // A plug-in without indexed names: select the program to read its name.
    int current = static_cast<int>(effect_->dispatch(vst::effGetProgram));
    effect_->setProgram(index);
    std::string name = effect_->text(vst::effGetProgramName);
    effect_->setProgram(current);
    return name;
}

int LoadedPlugin::findProgram(std::string_view nameOrIndex) const {
    std::vector<std::string> names;
    for (int i = 0; i < effect_->record()->numPrograms; ++i) names.push_back(programName(i));
    return find(nameOrIndex, names);
}

}  // namespace trv4tool
