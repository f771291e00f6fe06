// The params extension: the 21 parameters with their index as stable id,
// the VST 2 names and display texts, and the host's flush. Values are the
// VST 2 values (0..1), except on the two wave knobs, whose value is the
// wave number (0..10, stepped) that the stored value stands for.
#include <cmath>
#include <cstring>

#include "clap/ClapPlugin.h"
#include "clap/ParameterText.h"
#include "engine/ParamIndex.h"
#include "engine/ParameterLaws.h"
#include "plugin/FactoryPrograms.h"

namespace trv4clap {

namespace {

bool isSwitch(int index) { return trv4::kParameterLaws[index].law == trv4::Law::kSwitch; }

bool validId(clap::id id) { return id < static_cast<clap::id>(trv4::kNumParams); }

uint32_t CLAP_CALL paramsCount(const clap::plugin*) { return trv4::kNumParams; }

bool CLAP_CALL paramsInfo(const clap::plugin* p, uint32_t index, clap::param_info* info) {
    return info && ClapPlugin::from(p)->parameterInfo(index, *info);
}

bool CLAP_CALL paramsValue(const clap::plugin* p, clap::id id, double* out) {
    if (!validId(id) || !out) return false;
    const int index = static_cast<int>(id);
    *out = hostValue(index, ClapPlugin::from(p)->parameterValue(index));
    return true;
}

bool CLAP_CALL paramsValueToText(const clap::plugin*, clap::id id, double value, char* text, uint32_t capacity) {
    if (!validId(id) || !text || capacity == 0) return false;
    const int index = static_cast<int>(id);
    formatParameterText(index, storedValue(index, value), text, capacity);
    return true;
}

bool CLAP_CALL paramsTextToValue(const clap::plugin*, clap::id id, const char* text, double* out) {
    if (!validId(id) || !out) return false;
    const int index = static_cast<int>(id);
    double stored = 0;
    if (!parseParameterText(index, text, stored)) return false;
    *out = hostValue(index, static_cast<float>(stored));
    return true;
}

void CLAP_CALL paramsFlush(const clap::plugin* p, const clap::input_events* in, const clap::output_events* out) {
    ClapPlugin::from(p)->flush(in, out);
}

}  // namespace

const clap::plugin_params ClapPlugin::kParams{paramsCount,       paramsInfo,        paramsValue,
                                              paramsValueToText, paramsTextToValue, paramsFlush};

bool ClapPlugin::parameterInfo(uint32_t index, clap::param_info& info) const {
    if (index >= static_cast<uint32_t>(trv4::kNumParams)) return false;
    const int i = static_cast<int>(index);
    info = {};
    info.id = index;
    info.cookie = nullptr;
    const char* name = trv4::kParameterLaws[i].name;
    // The spare has no name in VST 2 hosts; here it is hidden instead.
    std::strncpy(info.name, *name ? name : "Spare", sizeof info.name - 1);
    info.flags = clap::kParamIsAutomatable;
    if (!*name) info.flags = clap::kParamIsHidden;
    if (isWaveParameter(i) || isSwitch(i)) info.flags |= clap::kParamIsStepped;
    if (isSwitch(i)) info.flags |= clap::kParamIsEnum;
    info.min_value = 0.0;
    info.max_value = isWaveParameter(i) ? kWaveSteps : 1.0;
    info.default_value = hostValue(i, trv4::kFactoryProgramValues[0][i]);
    return true;
}

}  // namespace trv4clap
