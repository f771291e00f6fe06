// trv4 preset export PLUGIN OUT.fxb|OUT.fxp and trv4 preset import PLUGIN
// IN.fxb|IN.fxp. Each run loads a fresh instance. Export writes what the
// host-side calls read (after any settings given on the command line);
// import restores the file into the fresh instance, reads it back through
// the same calls, prints the programs and fails when anything differs.
#include <cctype>
#include <cstdio>

#include "tools/trv4/Commands.h"
#include "tools/trv4/Numbers.h"
#include "tools/trv4/PluginSettings.h"
#include "tools/trv4/PresetTransfer.h"

namespace trv4tool {

namespace {

std::string extensionOf(const std::string& path) {
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

void printProgram(const trv4host::Effect& effect, int index, const PresetProgram& program) {
    std::printf("  %3d  %s\n       ", index, program.name.c_str());
    for (size_t i = 0; i < program.values.size(); ++i) {
        std::string name = effect.text(vst::effGetParamName, static_cast<int>(i));
        if (name.empty()) name = std::string(1, '#').append(std::to_string(i));
        std::printf("%s%s=%s", i ? " " : "", name.c_str(), formatFloat(program.values[i]).c_str());
    }
    std::printf("\n");
}

int exportPreset(const std::vector<std::string>& words) {
    std::vector<OptionSpec> specs;
    addSettingsOptions(specs);
    Arguments args;
    std::string error;
    if (!parseArguments(words, specs, args, error)) return usageError(error);
    if (args.positional.size() != 2) return usageError("preset export takes PLUGIN OUT.fxb|OUT.fxp");
    const std::string& outPath = args.positional[1];
    std::string ext = extensionOf(outPath);
    if (ext != "fxb" && ext != "fxp") return usageError("the preset file must end in .fxb (bank) or .fxp (program)");

    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::load(args.positional[0], error);
    if (!plugin) return fail(error);
    PluginSettings settings;
    if (!resolveSettings(*plugin, args, settings, error)) return fail(error);
    for (const std::string& warning : settings.warnings) std::fprintf(stderr, "trv4: warning: %s\n", warning.c_str());
    const trv4host::Effect& effect = plugin->effect();
    applySettings(effect, settings);

    Preset preset = ext == "fxb" ? captureBank(effect) : captureProgram(effect);
    if (!writeFileBytes(outPath, writePreset(preset), error)) return fail(error);
    if (preset.kind == PresetKind::Bank)
        std::printf("wrote bank %s: %zu programs of %d parameters, plug-in %s version %d, current program %d\n",
                    outPath.c_str(), preset.programs.size(), effect.record()->numParams,
                    describeID(preset.fxID).c_str(), preset.fxVersion, preset.currentProgram);
    else
        std::printf("wrote program %s: \"%s\", %zu parameters, plug-in %s version %d\n", outPath.c_str(),
                    preset.programs.front().name.c_str(), preset.programs.front().values.size(),
                    describeID(preset.fxID).c_str(), preset.fxVersion);
    return 0;
}

int importPreset(const std::vector<std::string>& words) {
    std::vector<OptionSpec> specs = {{"program", true}};
    Arguments args;
    std::string error;
    if (!parseArguments(words, specs, args, error)) return usageError(error);
    if (args.positional.size() != 2) return usageError("preset import takes PLUGIN IN.fxb|IN.fxp");
    const std::string& inPath = args.positional[1];

    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::load(args.positional[0], error);
    if (!plugin) return fail(error);
    const trv4host::Effect& effect = plugin->effect();
    Preset preset;
    if (!loadPresetFile(inPath, preset, error)) return fail(error);
    std::string warning;
    if (!presetFits(preset, shapeOf(effect), error, warning)) return fail(inPath + ": " + error);
    if (!warning.empty()) std::fprintf(stderr, "trv4: warning: %s: %s\n", inPath.c_str(), warning.c_str());
    if (const std::string* wanted = args.last("program")) {
        if (preset.kind == PresetKind::Bank) return usageError("--program selects the target of a program file");
        int index = plugin->findProgram(*wanted);
        if (index < 0) return fail("the plug-in has no program \"" + *wanted + "\" (trv4 info lists them)");
        effect.setProgram(index);
    }

    restorePreset(effect, preset);
    std::vector<std::string> problems = verifyPreset(effect, preset);
    // What the plug-in holds now, read through the host-side calls.
    Preset now = preset.kind == PresetKind::Bank ? captureBank(effect) : captureProgram(effect);
    if (preset.kind == PresetKind::Bank) {
        std::printf("restored bank %s into a fresh instance: %zu programs, current program %d\n", inPath.c_str(),
                    now.programs.size(), now.currentProgram);
        for (size_t i = 0; i < now.programs.size(); ++i) printProgram(effect, static_cast<int>(i), now.programs[i]);
    } else {
        std::printf("restored program %s into program %d of a fresh instance\n", inPath.c_str(), now.currentProgram);
        printProgram(effect, now.currentProgram, now.programs.front());
    }
    if (!problems.empty()) {
        for (size_t i = 1; i < problems.size(); ++i) std::fprintf(stderr, "trv4: %s\n", problems[i].c_str());
        return fail("the plug-in does not read back what was restored: " + problems.front());
    }
    std::printf("verified: every value and name reads back as the file holds it\n");
    return 0;
}

}  // namespace

int runPreset(const std::vector<std::string>& words) {
    if (words.empty()) return usageError("preset needs export or import");
    std::vector<std::string> rest(words.begin() + 1, words.end());
    if (words[0] == "export") return exportPreset(rest);
    if (words[0] == "import") return importPreset(rest);
    return usageError("unknown preset command \"" + words[0] + "\" (export or import)");
}

}  // namespace trv4tool
