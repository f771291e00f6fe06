#include "vst3/Vst3Parameters.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "engine/Nearest.h"
#include "engine/ParameterLaws.h"
#include "plugin/HostText.h"
#include "plugin/ParameterDisplay.h"

namespace trv4 {

namespace {

// Step counts: a wave knob has eleven shapes, a switch two states.
int stepCount(Law law) {
    switch (law) {
    case Law::kWave1:
    case Law::kWave2: return 10;
    case Law::kSwitch: return 1;
    default: return 0;
    }
}

// The unit without its leading blank, for the host's unit field.
const char* bareUnit(const ParameterLaw& law) { return law.unit[0] == ' ' ? law.unit + 1 : law.unit; }

unsigned waveNumber(float p) { return static_cast<unsigned>(static_cast<uint16_t>(nearestInt64(10.0 * p))); }

float clamp01(double v) {
    if (v > 1.0) return 1.0f;
    if (!(v >= 0.0)) return 0.0f;
    return static_cast<float>(v);
}

const char* skipBlanks(const char* s) {
    while (*s == ' ' || *s == '\t') ++s;
    return s;
}

bool equalsIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        const char x = *a >= 'a' && *a <= 'z' ? char(*a - 32) : *a;
        const char y = *b >= 'a' && *b <= 'z' ? char(*b - 32) : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

// The text with blanks trimmed at both ends into out.
void trimmed(const char* text, char* out, int capacity) {
    text = skipBlanks(text);
    int n = 0;
    while (text[n] && n < capacity - 1) {
        out[n] = text[n];
        ++n;
    }
    while (n > 0 && (out[n - 1] == ' ' || out[n - 1] == '\t')) --n;
    out[n] = 0;
}

}  // namespace

bool describeParameter(int index, vst3::ParameterInfo& info) {
    if (index < 0 || index >= kNumVst3Params) return false;
    std::memset(&info, 0, sizeof info);
    info.unitId = vst3::kRootUnitId;
    if (index == kNumParams) {
        info.id = kProgramParamId;
        toString128("Program", info.title);
        toString128("Prg", info.shortTitle);
        info.stepCount = kNumPrograms - 1;
        info.defaultNormalizedValue = 0;
        info.flags =
            vst3::ParameterInfo::kCanAutomate | vst3::ParameterInfo::kIsList | vst3::ParameterInfo::kIsProgramChange;
        return true;
    }
    const ParameterLaw& law = kParameterLaws[index];
    info.id = static_cast<vst3::ParamID>(index);
    toString128(law.name, info.title);
    toString128(law.name, info.shortTitle);
    toString128(bareUnit(law), info.units);
    info.stepCount = stepCount(law.law);
    info.defaultNormalizedValue = kFactoryProgramValues[0][index];
    // The spare is stored and kept in programs but does nothing: hidden,
    // and not read-only either, which hosts would list as a meter.
    info.flags = law.law == Law::kNone ? vst3::ParameterInfo::kIsHidden : vst3::ParameterInfo::kCanAutomate;
    return true;
}

bool parameterText(vst3::ParamID id, double value, const TextContext& context, char* text, int capacity) {
    if (capacity <= 0) return false;
    text[0] = 0;
    if (id == kProgramParamId) {
        copyHostText(text, context.programNames[programFromValue(value)], static_cast<std::size_t>(capacity - 1));
        return true;
    }
    if (id >= static_cast<vst3::ParamID>(kNumParams)) return false;
    const float x = clamp01(value);
    const unsigned wave1 = waveNumber(id == kWave1 ? x : context.wave1Value);
    const unsigned wave2 = x == 0.0f ? wave1 : waveNumber(x);
    char display[kDisplayTextCapacity] = {};
    formatParameterDisplay(static_cast<int>(id), x, wave1, wave2, display);
    copyHostText(text, display, static_cast<std::size_t>(capacity - 1));
    return true;
}

bool parameterValueFromText(vst3::ParamID id, const char* text, const TextContext& context, double& value) {
    if (!text) return false;
    char field[64];
    trimmed(text, field, sizeof field);
    if (id == kProgramParamId) {
        for (int i = 0; i < kNumPrograms; ++i)
            if (equalsIgnoringCase(field, context.programNames[i])) {
                value = valueOfProgram(i);
                return true;
            }
    }
    if (id >= static_cast<vst3::ParamID>(kNumParams) && id != kProgramParamId) return false;

    if (id < static_cast<vst3::ParamID>(kNumParams) && kParameterLaws[id].law == Law::kSwitch) {
        if (equalsIgnoringCase(field, "ON")) return value = 1.0, true;
        if (equalsIgnoringCase(field, "OFF")) return value = 0.0, true;
    }
    double number = 0;
    const char* end = field + std::strlen(field);
    const auto parsed = std::from_chars(field, end, number);
    if (parsed.ec != std::errc() || !std::isfinite(number)) return false;
    // Whatever follows the number must be the unit (or nothing).
    const char* rest = skipBlanks(parsed.ptr);
    if (id == kProgramParamId) {
        if (*rest) return false;
        value = valueOfProgram(static_cast<int>(nearestInt64(number)));
        return true;
    }
    const ParameterLaw& law = kParameterLaws[id];
    if (*rest && !equalsIgnoringCase(rest, bareUnit(law))) return false;
    double p = 0;
    switch (law.law) {
    case Law::kExponential: {
        const double ratio = number / static_cast<double>(law.scale);
        if (!(ratio > 0)) return value = 0.0, true;
        p = std::log(ratio) / std::log(static_cast<double>(law.baseOrOffset));
        break;
    }
    case Law::kLinear: p = (number - static_cast<double>(law.baseOrOffset)) / static_cast<double>(law.scale); break;
    case Law::kWave1:
    case Law::kWave2: p = nearestInt64(number) / 10.0; break;
    case Law::kSwitch: p = number > 0.5 ? 1.0 : 0.0; break;
    case Law::kNone: return false;
    }
    value = clamp01(p);
    return true;
}

int programFromValue(double value) {
    const int program = static_cast<int>(nearestInt64(clamp01(value) * (kNumPrograms - 1)));
    return program < 0 ? 0 : program >= kNumPrograms ? kNumPrograms - 1 : program;
}

double valueOfProgram(int program) {
    if (program < 0) program = 0;
    if (program >= kNumPrograms) program = kNumPrograms - 1;
    return static_cast<double>(program) / (kNumPrograms - 1);
}

void toString128(const char* text, vst3::TChar* out, int capacity) {
    int n = 0;
    if (text)
        for (; text[n] && n < capacity - 1; ++n) out[n] = static_cast<unsigned char>(text[n]);
    out[n] = 0;
}

void fromString128(const vst3::TChar* text, char* out, int capacity) {
    int n = 0;
    if (text)
        for (; text[n] && n < capacity - 1; ++n) out[n] = text[n] < 0x100 ? static_cast<char>(text[n]) : '?';
    out[n] = 0;
}

}  // namespace trv4
