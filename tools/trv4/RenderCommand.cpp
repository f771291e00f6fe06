// trv4 render PLUGIN [IN] OUT: an input file, or the built-in demo without
// one, through the plug-in into OUT.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/trv4/Commands.h"
#include "tools/trv4/DemoSignal.h"
#include "tools/trv4/Numbers.h"
#include "tools/trv4/Renderer.h"

namespace trv4tool {

namespace {

constexpr int kDefaultRate = 44100;

// What the render command line asks for.
struct RenderOptions {
    std::string pluginPath;
    std::string inPath;  // empty: the built-in demo
    std::string outPath;
    int rate = kDefaultRate;
    bool rateGiven = false;  // --sr: a file at another rate is refused
    RenderJob job;
    Arguments settings;  // program and parameter options, resolved once the plug-in is loaded
};

// False with a one-line reason for the usage message.
bool parseRenderOptions(const std::vector<std::string>& words, RenderOptions& options, std::string& error) {
    std::vector<OptionSpec> specs = {{"sr", true},        {"block", true}, {"tempo", true}, {"playing", false},
                                     {"samplepos", true}, {"tail", true},  {"seed", true},  {"automate", true}};
    addSettingsOptions(specs);
    Arguments& args = options.settings;
    if (!parseArguments(words, specs, args, error)) return false;
    if (args.positional.size() < 2 || args.positional.size() > 3) {
        error = "render takes PLUGIN [IN] OUT";
        return false;
    }
    long long rate = kDefaultRate, block = 512;
    double tempo = 120, samplePos = 0, tail = 0;
    if (!integerOption(args, "sr", 1000, 768000, rate, error) ||
        !integerOption(args, "block", 1, 65536, block, error) || !numberOption(args, "tempo", 0, 1000, tempo, error) ||
        !numberOption(args, "samplepos", 0, 1e15, samplePos, error) || !numberOption(args, "tail", 0, 600, tail, error))
        return false;

    options.pluginPath = args.positional[0];
    if (args.positional.size() == 3) options.inPath = args.positional[1];
    options.outPath = args.positional.back();
    options.rate = static_cast<int>(rate);
    options.rateGiven = args.has("sr");
    RenderJob& job = options.job;
    job.blockSize = static_cast<int>(block);
    job.tailSeconds = tail;
    job.transport.answered = args.has("tempo") || args.has("playing") || args.has("samplepos");
    job.transport.tempo = tempo;
    job.transport.playing = args.has("playing");
    job.transport.samplePos = samplePos;
    if (const std::string* seed = args.last("seed")) {
        long long value = 0;
        if (!parseInteger(*seed, value) || value < 0) {
            error = "--seed takes a whole number from 0";
            return false;
        }
        job.seeded = true;
        job.seed = static_cast<uint64_t>(value);
    }
    return true;
}

// --automate FRAME:NAME=VALUE, resolved against the loaded plug-in and
// sorted by frame (a stable sort: changes at one frame keep their order).
bool resolveAutomation(const LoadedPlugin& plugin, const Arguments& args, std::vector<Automation>& out,
                       std::string& error) {
    for (const Option& option : args.options) {
        if (option.name != "automate") continue;
        const size_t colon = option.value.find(':');
        const size_t equals = option.value.rfind('=');
        long long frame = 0;
        double value = 0;
        if (colon == std::string::npos || equals == std::string::npos || equals < colon ||
            !parseInteger(option.value.substr(0, colon), frame) || frame < 0 ||
            !parseNumber(option.value.substr(equals + 1), value) || value < 0.0 || value > 1.0) {
            error = std::string("--automate ")
                        .append(option.value)
                        .append(": expected FRAME:NAME=VALUE with a value from 0 to 1");
            return false;
        }
        const int index = plugin.findParameter(option.value.substr(colon + 1, equals - colon - 1));
        if (index < 0) {
            error = std::string("--automate ")
                        .append(option.value)
                        .append(": the plug-in has no such parameter (trv4 info lists them)");
            return false;
        }
        out.push_back({frame, index, static_cast<float>(value)});
    }
    std::stable_sort(out.begin(), out.end(), [](auto& a, auto& b) { return a.frame < b.frame; });
    return true;
}

// The input, checked for what trv4 can take; null with a one-line reason.
std::unique_ptr<AudioReader> openInput(const RenderOptions& options, std::string& error) {
    const bool demo = options.inPath.empty();
    const std::string& path = options.inPath;
    std::unique_ptr<AudioReader> in = demo ? openDemoReader(options.rate) : openAudioReader(path, options.rate, error);
    if (!in) return nullptr;
    if (!demo && options.rateGiven && in->sampleRate() != options.rate && !isRawPath(path))
        error = path + " is at " + std::to_string(in->sampleRate()) + " Hz; trv4 does not resample (leave out --sr)";
    else if (in->channels() > 2)
        error = path + " has " + std::to_string(in->channels()) + " channels; trv4 takes mono or stereo";
    else if (in->frames() == 0 && options.job.tailSeconds == 0)
        error = path + " holds no audio";
    else
        return in;
    return nullptr;
}

int renderPlugin(const RenderOptions& options) {
    std::string error;
    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::load(options.pluginPath, error);
    if (!plugin) return fail(error);
    PluginSettings settings;
    if (!resolveSettings(*plugin, options.settings, settings, error)) return fail(error);
    RenderJob job = options.job;
    if (!resolveAutomation(*plugin, options.settings, job.automation, error)) return fail(error);

    std::unique_ptr<AudioReader> in = openInput(options, error);
    if (!in) return fail(error);
    std::unique_ptr<AudioWriter> out = openAudioWriter(options.outPath, in->sampleRate(), error);
    if (!out) return fail(error);

    for (const std::string& warning : settings.warnings) std::fprintf(stderr, "trv4: warning: %s\n", warning.c_str());
    RenderResult result;
    if (!render(*plugin, settings, *in, *out, job, result, error)) return fail(error);
    if (!out->finish(error)) return fail(error);

    const trv4host::Effect& effect = plugin->effect();
    int program = static_cast<int>(effect.dispatch(vst::effGetProgram));
    std::string peak = result.peak > 0 ? formatFixed(20 * std::log10(result.peak), 1) + " dBFS" : "silent";
    std::printf("wrote %s: %lld frames at %d Hz (%s s), program %d \"%s\", peak %s\n", options.outPath.c_str(),
                static_cast<long long>(result.frames), in->sampleRate(),
                formatFixed(double(result.frames) / in->sampleRate(), 2).c_str(), program,
                effect.text(vst::effGetProgramName).c_str(), peak.c_str());
    if (result.nonFinite > 0)
        std::fprintf(stderr, "trv4: warning: %lld output samples were not finite numbers\n",
                     static_cast<long long>(result.nonFinite));
    return 0;
}

}  // namespace

int runRender(const std::vector<std::string>& words) {
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(words, options, error)) return usageError(error);
    return renderPlugin(options);
}

}  // namespace trv4tool
