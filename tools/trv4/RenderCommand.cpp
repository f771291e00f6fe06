// trv4 render PLUGIN [IN] OUT: an input file, or the built-in demo without
// one, through the plug-in into OUT.
#include <cmath>
#include <cstdio>

#include "tools/trv4/Commands.h"
#include "tools/trv4/DemoSignal.h"
#include "tools/trv4/Numbers.h"
#include "tools/trv4/Renderer.h"

namespace trv4tool {

namespace {

constexpr int kDefaultRate = 44100;

}  // namespace

int runRender(const std::vector<std::string>& words) {
    std::vector<OptionSpec> specs = {{"sr", true},       {"block", true},     {"tempo", true},
                                     {"playing", false}, {"samplepos", true}, {"tail", true}};
    addSettingsOptions(specs);
    Arguments args;
    std::string error;
    if (!parseArguments(words, specs, args, error)) return usageError(error);
    if (args.positional.size() < 2 || args.positional.size() > 3) return usageError("render takes PLUGIN [IN] OUT");
    const std::string& pluginPath = args.positional[0];
    const bool demo = args.positional.size() == 2;
    const std::string& outPath = args.positional.back();

    long long rate = kDefaultRate, block = 512;
    double tempo = 120, samplePos = 0, tail = 0;
    if (!integerOption(args, "sr", 1000, 768000, rate, error) ||
        !integerOption(args, "block", 1, 65536, block, error) || !numberOption(args, "tempo", 0, 1000, tempo, error) ||
        !numberOption(args, "samplepos", 0, 1e15, samplePos, error) || !numberOption(args, "tail", 0, 600, tail, error))
        return usageError(error);

    RenderJob job;
    job.blockSize = static_cast<int>(block);
    job.tailSeconds = tail;
    job.transport.answered = args.has("tempo") || args.has("playing") || args.has("samplepos");
    job.transport.tempo = tempo;
    job.transport.playing = args.has("playing");
    job.transport.samplePos = samplePos;

    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::load(pluginPath, error);
    if (!plugin) return fail(error);
    PluginSettings settings;
    if (!resolveSettings(*plugin, args, settings, error)) return fail(error);

    std::unique_ptr<AudioReader> in = demo ? openDemoReader(static_cast<int>(rate))
                                           : openAudioReader(args.positional[1], static_cast<int>(rate), error);
    if (!in) return fail(error);
    if (!demo && args.has("sr") && in->sampleRate() != rate && !isRawPath(args.positional[1]))
        return fail(args.positional[1] + " is at " + std::to_string(in->sampleRate()) +
                    " Hz; trv4 does not resample (leave out --sr)");
    if (in->channels() > 2)
        return fail(args.positional[1] + " has " + std::to_string(in->channels()) +
                    " channels; trv4 takes mono or stereo");
    if (in->frames() == 0 && tail == 0) return fail(args.positional[1] + " holds no audio");
    std::unique_ptr<AudioWriter> out = openAudioWriter(outPath, in->sampleRate(), error);
    if (!out) return fail(error);

    for (const std::string& warning : settings.warnings) std::fprintf(stderr, "trv4: warning: %s\n", warning.c_str());
    RenderResult result;
    if (!render(*plugin, settings, *in, *out, job, result, error)) return fail(error);
    if (!out->finish(error)) return fail(error);

    const trv4host::Effect& effect = plugin->effect();
    int program = static_cast<int>(effect.dispatch(vst::effGetProgram));
    std::string peak = result.peak > 0 ? formatFixed(20 * std::log10(result.peak), 1) + " dBFS" : "silent";
    std::printf("wrote %s: %lld frames at %d Hz (%s s), program %d \"%s\", peak %s\n", outPath.c_str(),
                static_cast<long long>(result.frames), in->sampleRate(),
                formatFixed(double(result.frames) / in->sampleRate(), 2).c_str(), program,
                effect.text(vst::effGetProgramName).c_str(), peak.c_str());
    if (result.nonFinite > 0)
        std::fprintf(stderr, "trv4: warning: %lld output samples were not finite numbers\n",
                     static_cast<long long>(result.nonFinite));
    return 0;
}

}  // namespace trv4tool
