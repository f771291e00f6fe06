// trv4 info PLUGIN: what a host learns when it loads the plug-in — the
// record's fields, the identity texts, the dispatcher's answers to the
// queries hosts make at load (for a .clap file: the CLAP descriptor,
// extensions and ports instead; for a .vst3 bundle its factory, classes,
// interfaces, buses and parameter ids), every parameter and every program
// name.
#include <cstdio>
#include <string>

#include "tools/host/ClapBridge.h"
#include "tools/host/Vst3Bridge.h"
#include "tools/trv4/CommandLine.h"
#include "tools/trv4/Commands.h"
#include "tools/trv4/InfoSections.h"
#include "tools/trv4/LoadedPlugin.h"
#include "tools/trv4/Numbers.h"

namespace trv4tool {

namespace {

// The capability texts hosts ask about at load.
const char* const kCanDoTexts[] = {
    "sendVstEvents",
    "sendVstMidiEvent",
    "receiveVstEvents",
    "receiveVstMidiEvent",
    "receiveVstTimeInfo",
    "offline",
    "plugAsChannelInsert",
    "plugAsSend",
    "mixDryWet",
    "noRealTime",
    "multipass",
    "metapass",
    "1in1out",
    "1in2out",
    "2in1out",
    "2in2out",
    "2in4out",
    "4in2out",
    "4in4out",
    "4in8out",
    "8in4out",
    "8in8out",
    "midiProgramNames",
    "conformsToWindowRules",
    "bypass",
};

std::string fourCC(long long v) {
    std::string text = "'";
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((static_cast<unsigned long long>(v) >> shift) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? c : '.';
    }
    return text + "'";
}

std::string hex(long long v) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%08llX", static_cast<unsigned long long>(v) & 0xFFFFFFFFull);
    return buffer;
}

std::string flagNames(int flags) {
    static const struct {
        int bit;
        const char* name;
    } names[] = {{vst::effFlagsHasEditor, "HasEditor"},
                 {vst::effFlagsHasClip, "HasClip"},
                 {vst::effFlagsHasVu, "HasVu"},
                 {vst::effFlagsCanMono, "CanMono"},
                 {vst::effFlagsCanReplacing, "CanReplacing"},
                 {vst::effFlagsProgramChunks, "ProgramChunks"},
                 {vst::effFlagsIsSynth, "IsSynth"},
                 {vst::effFlagsNoSoundInStop, "NoSoundInStop"},
                 {vst::effFlagsExtIsAsync, "ExtIsAsync"},
                 {vst::effFlagsExtHasBuffer, "ExtHasBuffer"}};
    std::string text;
    for (const auto& n : names) {
        if (!(flags & n.bit)) continue;
        if (!text.empty()) text += ' ';
        text += n.name;
    }
    return text.empty() ? "none" : text;
}

struct TextAnswer {
    long long answer;
    std::string text;
};

TextAnswer ask(const trv4host::Effect& effect, vst::VstInt32 opcode, vst::VstInt32 index = 0) {
    char buffer[256] = {};
    long long answer = effect.dispatch(opcode, index, 0, buffer);
    buffer[sizeof buffer - 1] = 0;
    return {answer, buffer};
}

void line(const char* label, const std::string& value) { std::printf("  %-28s %s\n", label, value.c_str()); }

void printRecord(const vst::AEffect& r) {
    std::printf("Record\n");
    line("magic", hex(r.magic) + " " + fourCC(r.magic));
    line("uniqueID", hex(r.uniqueID) + " " + fourCC(r.uniqueID) + " (" + std::to_string(r.uniqueID) + ")");
    line("version", std::to_string(r.version));
    line("numPrograms", std::to_string(r.numPrograms));
    line("numParams", std::to_string(r.numParams));
    line("numInputs", std::to_string(r.numInputs));
    line("numOutputs", std::to_string(r.numOutputs));
    line("flags", hex(r.flags) + " (" + flagNames(r.flags) + ")");
    line("initialDelay", std::to_string(r.initialDelay));
    line("realQualities", std::to_string(r.realQualities));
    line("offQualities", std::to_string(r.offQualities));
    line("ioRatio", formatFloat(r.ioRatio));
    line("processReplacing", r.processReplacing ? "present" : "missing");
}

void printIdentity(const trv4host::Effect& effect) {
    std::printf("Identity\n");
    auto text = [&](const char* label, vst::VstInt32 opcode) {
        TextAnswer a = ask(effect, opcode);
        line(label, "\"" + a.text + "\" (answer " + std::to_string(a.answer) + ")");
    };
    text("effGetEffectName", vst::effGetEffectName);
    text("effGetVendorString", vst::effGetVendorString);
    text("effGetProductString", vst::effGetProductString);
    line("effGetVendorVersion", std::to_string(effect.dispatch(vst::effGetVendorVersion)));
    line("effGetVstVersion", std::to_string(effect.dispatch(vst::effGetVstVersion)));
}

void printLoadAnswers(const trv4host::Effect& effect) {
    std::printf("Answers at load\n");
    long long identify = effect.dispatch(vst::effIdentify);
    line("effIdentify", hex(identify) + " " + fourCC(identify));
    long long category = effect.dispatch(vst::effGetPlugCategory);
    line("effGetPlugCategory", std::to_string(category) + (category == 0 ? " (unknown)" : ""));
    line("effGetProgram", std::to_string(effect.dispatch(vst::effGetProgram)));
    line("effGetNumProgramCategories", std::to_string(effect.dispatch(vst::effGetNumProgramCategories)));
    line("effGetTailSize", std::to_string(effect.dispatch(vst::effGetTailSize)));
    line("effKeysRequired", std::to_string(effect.dispatch(vst::effKeysRequired)));
    line("effGetVu", std::to_string(effect.dispatch(vst::effGetVu)));
    void* chunk = nullptr;
    long long chunkSize = effect.dispatch(vst::effGetChunk, 0, 0, &chunk);
    line("effGetChunk", std::to_string(chunkSize) + (chunk ? " (data given)" : ""));
    vst::ERect* rect = nullptr;
    long long rectAnswer = effect.dispatch(vst::effEditGetRect, 0, 0, &rect);
    std::string rectText = std::to_string(rectAnswer);
    if (rect)
        rectText +=
            " (" + std::to_string(rect->right - rect->left) + " x " + std::to_string(rect->bottom - rect->top) + ")";
    line("effEditGetRect", rectText);
    for (int input = 0; input < 2; ++input) {
        for (vst::VstInt32 opcode : {vst::effGetInputProperties, vst::effGetOutputProperties}) {
            vst::VstPinProperties pin{};
            long long answer = effect.dispatch(opcode, input, 0, &pin);
            pin.label[sizeof pin.label - 1] = 0;
            std::string label = std::string(opcode == vst::effGetInputProperties ? "effGetInputProperties "
                                                                                 : "effGetOutputProperties ") +
                                std::to_string(input);
            std::string value = std::to_string(answer);
            if (answer) value += " (label \"" + std::string(pin.label) + "\", flags " + std::to_string(pin.flags) + ")";
            line(label.c_str(), value);
        }
    }
    std::printf("  effCanDo");
    int shown = 0;
    for (const char* text : kCanDoTexts) {
        // The plug-in may write into the text it is handed: give it a copy.
        char query[64] = {};
        std::snprintf(query, sizeof query, "%s", text);
        long long answer = effect.dispatch(vst::effCanDo, 0, 0, query);
        std::printf("%s%s %lld", shown % 5 ? ", " : "\n    ", text, answer);
        ++shown;
    }
    std::printf("\n");
}

void printParameters(const trv4host::Effect& effect) {
    int count = effect.record()->numParams;
    std::printf("Parameters (%d)\n", count);
    std::printf("  %3s  %-14s %-16s %-8s %-12s %s\n", "#", "name", "display", "label", "value", "automatable");
    for (int i = 0; i < count; ++i) {
        std::string name = ask(effect, vst::effGetParamName, i).text;
        std::string display = ask(effect, vst::effGetParamDisplay, i).text;
        std::string label = ask(effect, vst::effGetParamLabel, i).text;
        long long automatable = effect.dispatch(vst::effCanBeAutomated, i);
        std::printf("  %3d  %-14s %-16s %-8s %-12s %lld\n", i, name.c_str(), display.c_str(), label.c_str(),
                    formatFloat(effect.getParameter(i)).c_str(), automatable);
    }
}

void printPrograms(const LoadedPlugin& plugin) {
    int count = plugin.effect().record()->numPrograms;
    std::printf("Programs (%d)\n", count);
    for (int i = 0; i < count; ++i) std::printf("  %3d  %s\n", i, plugin.programName(i).c_str());
}

}  // namespace

int runInfo(const std::vector<std::string>& words) {
    Arguments args;
    std::string error;
    if (!parseArguments(words, {}, args, error)) return usageError(error);
    if (args.positional.size() != 1) return usageError("info takes one argument: the plug-in file");
    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::load(args.positional[0], error);
    if (!plugin) return fail(error);
    const trv4host::Effect& effect = plugin->effect();
    int callbacksAtLoad = plugin->host().callbackCount;
    // A host sets the rate and block size before it asks anything else.
    effect.setSampleRate(44100.0f);
    effect.setBlockSize(512);

    std::printf("Plug-in  %s\n", plugin->path().c_str());
    std::printf("Entry    %s%s\n", plugin->entryName(),
                plugin->module().vstPluginMain() && plugin->module().legacyMain() ? " (main also exported)" : "");
    if (const trv4host::ClapModule* clap = plugin->module().clap()) {
        printClapSections(*clap, trv4host::ClapBridge::of(effect.record())->instance());
    } else if (const trv4host::Vst3Module* vst3 = plugin->module().vst3()) {
        printVst3Sections(*vst3, trv4host::Vst3Bridge::of(effect.record())->instance());
    } else {
        std::printf("Host callbacks while loading: %d\n", callbacksAtLoad);
        printRecord(*effect.record());
        printIdentity(effect);
        printLoadAnswers(effect);
    }
    printParameters(effect);
    printPrograms(*plugin);
    std::fflush(stdout);
    return 0;
}

}  // namespace trv4tool
