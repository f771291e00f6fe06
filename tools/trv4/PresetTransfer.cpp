#include "tools/trv4/PresetTransfer.h"

#include <algorithm>
#include <cstring>

#include "tools/trv4/Numbers.h"

namespace trv4tool {

namespace {

PresetProgram readCurrent(const trv4host::Effect& effect) {
    PresetProgram program;
    program.name = effect.text(vst::effGetProgramName);
    int numParams = effect.record()->numParams;
    program.values.reserve(static_cast<size_t>(numParams));
    for (int i = 0; i < numParams; ++i) program.values.push_back(effect.getParameter(i));
    return program;
}

void writeCurrent(const trv4host::Effect& effect, const PresetProgram& program) {
    for (size_t i = 0; i < program.values.size(); ++i) effect.setParameter(static_cast<int>(i), program.values[i]);
    // The plug-in may keep the pointer's text only while the call runs and may
    // write a terminator into it: hand it a buffer of our own.
    char name[kPresetNameBytes + 1] = {};
    std::memcpy(name, program.name.data(), std::min(program.name.size(), kPresetNameBytes));
    effect.dispatch(vst::effSetProgramName, 0, 0, name);
}

int currentProgram(const trv4host::Effect& effect) { return static_cast<int>(effect.dispatch(vst::effGetProgram)); }

// The value a plug-in stores for v: hosts and plug-ins keep parameters in 0..1.
float stored(float v) { return v > 1.0f ? 1.0f : (v >= 0.0f ? v : 0.0f); }

void compare(const PresetProgram& expected, const PresetProgram& actual, const std::string& what,
             std::vector<std::string>& problems) {
    std::string name = expected.name.substr(0, kPresetNameBytes - 1);
    if (actual.name != name)
        problems.push_back(what + " is named \"" + actual.name + "\", the preset says \"" + name + "\"");
    for (size_t i = 0; i < expected.values.size() && i < actual.values.size(); ++i) {
        float want = stored(expected.values[i]);
        if (actual.values[i] != want)
            problems.push_back(what + ", parameter " + std::to_string(i) + " reads " + formatFloat(actual.values[i]) +
                               ", the preset says " + formatFloat(want));
    }
}

}  // namespace

PluginShape shapeOf(const trv4host::Effect& effect) {
    const vst::AEffect* record = effect.record();
    return {record->uniqueID, record->version, record->numPrograms, record->numParams};
}

Preset captureBank(const trv4host::Effect& effect) {
    Preset bank;
    bank.kind = PresetKind::Bank;
    bank.fxID = effect.record()->uniqueID;
    bank.fxVersion = effect.record()->version;
    bank.currentProgram = currentProgram(effect);
    for (int i = 0; i < effect.record()->numPrograms; ++i) {
        effect.setProgram(i);
        bank.programs.push_back(readCurrent(effect));
    }
    effect.setProgram(bank.currentProgram);
    return bank;
}

Preset captureProgram(const trv4host::Effect& effect) {
    Preset program;
    program.kind = PresetKind::Program;
    program.fxID = effect.record()->uniqueID;
    program.fxVersion = effect.record()->version;
    program.currentProgram = currentProgram(effect);
    program.programs.push_back(readCurrent(effect));
    return program;
}

void restorePreset(const trv4host::Effect& effect, const Preset& preset) {
    if (preset.kind == PresetKind::Program) {
        if (!preset.programs.empty()) writeCurrent(effect, preset.programs.front());
        return;
    }
    for (size_t i = 0; i < preset.programs.size(); ++i) {
        effect.setProgram(static_cast<int>(i));
        writeCurrent(effect, preset.programs[i]);
    }
    effect.setProgram(preset.currentProgram >= 0 ? preset.currentProgram : 0);
}

std::vector<std::string> verifyPreset(const trv4host::Effect& effect, const Preset& preset) {
    std::vector<std::string> problems;
    if (preset.kind == PresetKind::Program) {
        if (!preset.programs.empty()) compare(preset.programs.front(), readCurrent(effect), "the program", problems);
        return problems;
    }
    int current = currentProgram(effect);
    int expectedCurrent = preset.currentProgram >= 0 ? preset.currentProgram : 0;
    if (current != expectedCurrent)
        problems.push_back("program " + std::to_string(current) + " is current, the bank selects " +
                           std::to_string(expectedCurrent));
    for (size_t i = 0; i < preset.programs.size(); ++i) {
        effect.setProgram(static_cast<int>(i));
        compare(preset.programs[i], readCurrent(effect), "program " + std::to_string(i), problems);
    }
    effect.setProgram(current);
    return problems;
}

}  // namespace trv4tool
