// Vst3Effect: the edit controller (parameter descriptions, texts, values),
// the unit description with the program list, and the saved state of both
// sides. User-interface thread.
#include <cmath>
#include <cstring>

#include "editor/EditorFactory.h"
#include "engine/ParameterLaws.h"
#include "plugin/uPlugin.h"
#include "vst3/Vst3Effect.h"
#include "vst3/Vst3Parameters.h"
#include "vst3/Vst3State.h"

namespace trv4 {

namespace {

bool isPluginParameter(vst3::ParamID id) { return id < static_cast<vst3::ParamID>(kNumParams); }

// Steps of a stepped parameter (a wave knob, a switch, the program), 0 for a
// continuous one.
int stepsOf(vst3::ParamID id) {
    vst3::ParameterInfo info;
    const int index = id == kProgramParamId ? kNumParams : static_cast<int>(id);
    return (isPluginParameter(id) || id == kProgramParamId) && describeParameter(index, info) ? info.stepCount : 0;
}

}  // namespace

vst3::tresult Vst3Effect::setComponentStream(vst3::IBStream* state) {
    if (!state) return vst3::kInvalidArgument;
    vst3::int64 start = -1;
    state->tell(&start);
    uint8_t data[kMaxBankBytes];
    const int size = readFromStream(state, data, kMaxBankBytes);
    SavedBank bank;
    int used = 0;
    if (!readBank(data, size, bank, used)) return vst3::kResultFalse;
    settleStream(state, start, used);
    // As a VST 2 host restores a bank: each program in turn, its values and
    // name written through into it, then the current program selected.
    for (int p = 0; p < kNumPrograms; ++p) {
        plugin_->setProgram(p);
        for (int i = 0; i < kNumParams; ++i) plugin_->setParameter(i, bank.values[p][i]);
        plugin_->setProgramName(bank.names[p]);
    }
    // The host that restores a state reads the values again itself (and
    // may hold its own locks meanwhile): no restartComponent from here.
    plugin_->setProgram(bank.current);
    glue_->postUpdate();
    return vst3::kResultOk;
}

vst3::tresult Vst3Effect::getComponentStream(vst3::IBStream* state) {
    SavedBank bank{};
    for (int p = 0; p < kNumPrograms; ++p) {
        const APluginProgram& program = plugin_->program(p);
        for (int i = 0; i < kNumParams; ++i) bank.values[p][i] = program.value(i);
        std::strncpy(bank.names[p], program.name(), SavedBank::kMaxNameChars);
    }
    bank.current = plugin_->getProgram();
    uint8_t data[kMaxBankBytes];
    const int size = writeBank(bank, data);
    return writeToStream(state, data, size) ? vst3::kResultOk : vst3::kResultFalse;
}

vst3::tresult Vst3Effect::setControllerStream(vst3::IBStream* state) {
    if (!state) return vst3::kInvalidArgument;
    vst3::int64 start = -1;
    state->tell(&start);
    uint8_t data[kControllerStateBytes];
    int used = 0;
    if (!readControllerState(data, readFromStream(state, data, kControllerStateBytes), used)) return vst3::kResultFalse;
    settleStream(state, start, used);
    return vst3::kResultOk;
}

vst3::tresult Vst3Effect::getControllerStream(vst3::IBStream* state) {
    uint8_t data[kControllerStateBytes];
    return writeToStream(state, data, writeControllerState(data)) ? vst3::kResultOk : vst3::kResultFalse;
}

vst3::tresult VST3_CALL Vst3Effect::setComponentState(vst3::IBStream* state) {
    // The host hands the controller the component's state; here both are
    // one object, which took it already. Read it anyway: a host may restore
    // through this call alone.
    return setComponentStream(state);
}

vst3::int32 VST3_CALL Vst3Effect::getParameterCount() { return kNumVst3Params; }

vst3::tresult VST3_CALL Vst3Effect::getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info) {
    return describeParameter(paramIndex, info) ? vst3::kResultOk : vst3::kInvalidArgument;
}

TextContext Vst3Effect::textContext() const {
    TextContext context{plugin_->getParameter(kWave1), {}};
    for (int p = 0; p < kNumPrograms; ++p) context.programNames[p] = plugin_->program(p).name();
    return context;
}

vst3::tresult VST3_CALL Vst3Effect::getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                                          vst3::String128 string) {
    char text[128];
    if (!string || !parameterText(id, valueNormalized, textContext(), text, sizeof text)) return vst3::kInvalidArgument;
    toString128(text, string);
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3Effect::getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                                          vst3::ParamValue& valueNormalized) {
    char text[128];
    fromString128(string, text, sizeof text);
    return string && parameterValueFromText(id, text, textContext(), valueNormalized) ? vst3::kResultOk
                                                                                      : vst3::kResultFalse;
}

vst3::ParamValue VST3_CALL Vst3Effect::normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue valueNormalized) {
    // Stepped parameters count their steps (wave number, switch state,
    // program); the continuous ones are their own plain value.
    const int steps = stepsOf(id);
    if (steps == 0) return valueNormalized;
    if (id == kProgramParamId) return programFromValue(valueNormalized);
    if (steps == 1) return valueNormalized > 0.5 ? 1.0 : 0.0;
    return std::nearbyint(valueNormalized * steps);
}

vst3::ParamValue VST3_CALL Vst3Effect::plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) {
    const int steps = stepsOf(id);
    if (steps == 0) return plainValue;
    const double v = plainValue / steps;
    return v < 0 ? 0.0 : v > 1 ? 1.0 : v;
}

vst3::ParamValue VST3_CALL Vst3Effect::getParamNormalized(vst3::ParamID id) {
    if (isPluginParameter(id)) return plugin_->getParameter(static_cast<vst::VstInt32>(id));
    if (id == kProgramParamId) return valueOfProgram(plugin_->getProgram());
    return 0;
}

vst3::tresult VST3_CALL Vst3Effect::setParamNormalized(vst3::ParamID id, vst3::ParamValue value) {
    if (isPluginParameter(id)) {
        // The host's copy of a value it also sends through process(): store
        // only a real change, so the smoothing is not re-armed for nothing.
        const float v = static_cast<float>(value);
        if (v != plugin_->getParameter(static_cast<vst::VstInt32>(id))) {
            plugin_->setParameter(static_cast<vst::VstInt32>(id), v);
            glue_->postUpdate();
        }
        return vst3::kResultOk;
    }
    if (id != kProgramParamId) return vst3::kInvalidArgument;
    selectProgram(programFromValue(value));
    return vst3::kResultOk;
}

void Vst3Effect::selectProgram(int program) {
    // No restartComponent from inside the host's own call: Ardour 7 loads a
    // program preset holding the lock that its restartComponent takes, and
    // would wait for itself. The host hears the 21 new values as output
    // changes of the process call that carries the program change, which it
    // sends along with this one.
    if (program != plugin_->getProgram()) plugin_->setProgram(program);
    glue_->postUpdate();
}

vst3::tresult VST3_CALL Vst3Effect::setComponentHandler(vst3::IComponentHandler* handler) {
    if (handler == handler_) return vst3::kResultOk;
    if (handler) handler->addRef();
    if (handler_) handler_->release();
    handler_ = handler;
    return vst3::kResultOk;
}

vst3::int32 VST3_CALL Vst3Effect::getUnitCount() { return 1; }

vst3::tresult VST3_CALL Vst3Effect::getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) {
    if (unitIndex != 0) return vst3::kInvalidArgument;
    std::memset(&info, 0, sizeof info);
    info.id = vst3::kRootUnitId;
    info.parentUnitId = vst3::kNoParentUnitId;
    toString128("Root", info.name);
    info.programListId = kFactoryProgramListId;
    return vst3::kResultOk;
}

vst3::int32 VST3_CALL Vst3Effect::getProgramListCount() { return 1; }

vst3::tresult VST3_CALL Vst3Effect::getProgramListInfo(vst3::int32 listIndex, vst3::ProgramListInfo& info) {
    if (listIndex != 0) return vst3::kInvalidArgument;
    std::memset(&info, 0, sizeof info);
    info.id = kFactoryProgramListId;
    toString128("Programs", info.name);
    info.programCount = kNumPrograms;
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3Effect::getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                                   vst3::String128 name) {
    // The names as they stand: the factory's, or what the host renamed.
    if (listId != kFactoryProgramListId || programIndex < 0 || programIndex >= kNumPrograms || !name)
        return vst3::kInvalidArgument;
    toString128(plugin_->program(programIndex).name(), name);
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3Effect::getProgramInfo(vst3::ProgramListID, vst3::int32, const char*, vst3::String128) {
    return vst3::kResultFalse;
}

vst3::tresult VST3_CALL Vst3Effect::hasProgramPitchNames(vst3::ProgramListID, vst3::int32) {
    return vst3::kResultFalse;
}

vst3::tresult VST3_CALL Vst3Effect::getProgramPitchName(vst3::ProgramListID, vst3::int32, vst3::int16,
                                                        vst3::String128) {
    return vst3::kResultFalse;
}

vst3::UnitID VST3_CALL Vst3Effect::getSelectedUnit() { return vst3::kRootUnitId; }

vst3::tresult VST3_CALL Vst3Effect::selectUnit(vst3::UnitID unitId) {
    return unitId == vst3::kRootUnitId ? vst3::kResultOk : vst3::kInvalidArgument;
}

vst3::tresult VST3_CALL Vst3Effect::getUnitByBus(vst3::MediaType, vst3::BusDirection, vst3::int32, vst3::int32,
                                                 vst3::UnitID&) {
    return vst3::kResultFalse;
}

vst3::tresult VST3_CALL Vst3Effect::setUnitProgramData(vst3::int32, vst3::int32, vst3::IBStream*) {
    return vst3::kNotImplemented;
}

}  // namespace trv4
