// trv4 snapshot PLUGIN OUT.png: the plug-in's editor drawn on its in-process
// headless window system (reached through the editor's test port), after the
// settings given and one idle, written as a PNG file.
#include <cmath>
#include <numbers>
#include <cstdio>
#include <vector>

#include "editor/EditorTestPort.h"
#include "tools/skin/PngWriter.h"
#include "tools/trv4/Commands.h"
#include "tools/trv4/EditorCalls.h"
#include "tools/trv4/Renderer.h"

namespace trv4tool {

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 512;
// Blocks processed before the idle for --meter and --tempo: long enough for
// the smoothing ramp to settle and the per-block update to ask for the time.
constexpr int kBlocks = 8;
// 441 Hz at 44100 Hz is 100 samples a period, so every block of 512 holds
// the sine's exact crest (sample 25 of each period).
constexpr double kMeterToneHz = 441;

// Feeds the plug-in kBlocks blocks: a sine of the given peak (0: silence),
// with the host's transport answering the tempo when one is given.
void drive(LoadedPlugin& plugin, double peak, double tempo) {
    const trv4host::Effect& effect = plugin.effect();
    trv4host::Host& host = plugin.host();
    Transport transport;
    transport.answered = tempo > 0;
    transport.tempo = tempo;
    host.timeInfoAvailable = transport.answered;
    std::vector<float> in(kBlock), outL(kBlock), outR(kBlock);
    for (int i = 0; i < kBlock; ++i)
        in[i] = static_cast<float>(peak * std::sin(2 * std::numbers::pi * kMeterToneHz * i / kRate));
    for (int b = 0; b < kBlocks; ++b) {
        if (transport.answered) setTransportTime(host, transport, double(b) * kBlock, b == 0);
        effect.processReplacing(in.data(), in.data(), outL.data(), outR.data(), kBlock);
    }
}

}  // namespace

int runSnapshot(const std::vector<std::string>& words) {
    std::vector<OptionSpec> specs = {{"meter", true}, {"tempo", true}, {"scale", true}};
    addSettingsOptions(specs);
    Arguments args;
    std::string error;
    if (!parseArguments(words, specs, args, error)) return usageError(error);
    if (args.positional.size() != 2) return usageError("snapshot takes PLUGIN OUT.png");
    const std::string& outPath = args.positional[1];
    double meter = 0, tempo = 0;
    if (!numberOption(args, "meter", 0, 4, meter, error) || !numberOption(args, "tempo", 1, 1000, tempo, error))
        return usageError(error);

    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::load(args.positional[0], error);
    if (!plugin) return fail(error);
    PluginSettings settings;
    if (!resolveSettings(*plugin, args, settings, error)) return fail(error);
    const trv4host::Effect& effect = plugin->effect();
    plugin->host().sampleRate = kRate;
    plugin->host().blockSize = kBlock;
    effect.setSampleRate(kRate);
    effect.setBlockSize(kBlock);

    // A plug-in without an editor (a VST3 controller that makes no view)
    // says so before anything else is asked of it.
    if (!(effect.record()->flags & vst::effFlagsHasEditor)) return fail(plugin->path() + " has no editor");
    trv4::EditorTestPort port{};
    port.size = sizeof port;
    if (effect.dispatch(vst::effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue, &port) != 1 ||
        !port.capture)
        return fail(plugin->path() + " has no editor test port (snapshot draws TRV-4's own editor only)");
    if (!sendScaleHint(*plugin, args, error)) return usageError(error);
    int width = 0, height = 0;
    if (!editorSize(*plugin, width, height, error)) return fail(error);
    // Parent 0: with the port handed out, the editor opens on the headless
    // window system.
    if (effect.dispatch(vst::effEditOpen, 0, 0, nullptr) == 0) return fail("the plug-in's editor did not open");

    for (const std::string& warning : settings.warnings) std::fprintf(stderr, "trv4: warning: %s\n", warning.c_str());
    applySettings(effect, settings);
    const bool audio = args.has("meter") || args.has("tempo");
    if (audio) {
        effect.resume();
        drive(*plugin, meter, tempo);
    }
    effect.dispatch(vst::effEditIdle);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    const bool captured = port.capture(port.context, pixels.data(), width, height) != 0;
    effect.dispatch(vst::effEditClose);
    if (audio) effect.suspend();
    if (!captured)
        return fail("the editor gave no picture of " + std::to_string(width) + " x " + std::to_string(height));
    if (!trv4skin::WritePngPixels(pixels.data(), width, height, true, outPath)) return fail("cannot write " + outPath);

    const int program = static_cast<int>(effect.dispatch(vst::effGetProgram));
    std::printf("wrote %s: %d x %d, program %d \"%s\"\n", outPath.c_str(), width, height, program,
                effect.text(vst::effGetProgramName).c_str());
    return 0;
}

}  // namespace trv4tool
