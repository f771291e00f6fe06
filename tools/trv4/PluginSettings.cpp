#include "tools/trv4/PluginSettings.h"

#include "tools/trv4/Numbers.h"
#include "tools/trv4/PresetTransfer.h"

namespace trv4tool {

namespace {

bool loadFitting(const LoadedPlugin& plugin, const std::string& path, PresetKind kind, Preset& out,
                 std::vector<std::string>& warnings, std::string& error) {
    Preset preset;
    if (!loadPresetFile(path, preset, error)) return false;
    if (preset.kind != kind) {
        error = path + " is a " + (preset.kind == PresetKind::Bank ? "bank (.fxb)" : "program (.fxp)") + " file; use " +
                (preset.kind == PresetKind::Bank ? "--fxb" : "--fxp");
        return false;
    }
    std::string warning;
    if (!presetFits(preset, shapeOf(plugin.effect()), error, warning)) {
        error = path + ": " + error;
        return false;
    }
    if (!warning.empty()) warnings.push_back(path + ": " + warning);
    out = std::move(preset);
    return true;
}

}  // namespace

void addSettingsOptions(std::vector<OptionSpec>& specs) {
    specs.push_back({"fxb", true});
    specs.push_back({"fxp", true});
    specs.push_back({"program", true});
    specs.push_back({"set", true});
}

bool resolveSettings(const LoadedPlugin& plugin, const Arguments& args, PluginSettings& out, std::string& error) {
    PluginSettings settings;
    if (const std::string* path = args.last("fxb")) {
        Preset bank;
        if (!loadFitting(plugin, *path, PresetKind::Bank, bank, settings.warnings, error)) return false;
        settings.bank = std::move(bank);
    }
    if (const std::string* path = args.last("fxp")) {
        Preset program;
        if (!loadFitting(plugin, *path, PresetKind::Program, program, settings.warnings, error)) return false;
        settings.program = std::move(program);
    }
    if (const std::string* wanted = args.last("program")) {
        // A bank's own names count: --fxb with --program NAME picks from it.
        int index = -1;
        if (settings.bank) {
            for (size_t i = 0; i < settings.bank->programs.size() && index < 0; ++i)
                if (settings.bank->programs[i].name == *wanted) index = static_cast<int>(i);
        }
        if (index < 0) index = plugin.findProgram(*wanted);
        if (index < 0) {
            error = "the plug-in has no program \"" + *wanted + "\" (trv4 info lists them)";
            return false;
        }
        settings.programIndex = index;
    }
    for (const Option& option : args.options) {
        if (option.name != "set") continue;
        size_t equals = option.value.rfind('=');
        if (equals == std::string::npos) {
            error = "--set " + option.value + ": expected NAME=VALUE";
            return false;
        }
        std::string name = option.value.substr(0, equals);
        std::string text = option.value.substr(equals + 1);
        int index = plugin.findParameter(name);
        if (index < 0) {
            error = "--set: the plug-in has no parameter \"" + name + "\" (trv4 info lists them)";
            return false;
        }
        double value = 0;
        if (!parseNumber(text, value) || value < 0.0 || value > 1.0) {
            error = "--set " + name + ": \"" + text + "\" is not a value from 0 to 1";
            return false;
        }
        settings.values.emplace_back(index, static_cast<float>(value));
    }
    out = std::move(settings);
    return true;
}

void applySettings(const trv4host::Effect& effect, const PluginSettings& settings) {
    if (settings.bank) restorePreset(effect, *settings.bank);
    if (settings.programIndex >= 0) effect.setProgram(settings.programIndex);
    if (settings.program) restorePreset(effect, *settings.program);
    for (const auto& [index, value] : settings.values) effect.setParameter(index, value);
}

}  // namespace trv4tool
