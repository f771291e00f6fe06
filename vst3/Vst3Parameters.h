// The plug-in's parameters as a VST3 host sees them: the 21 parameters under
// their VST 2 indices as ids, and the program-change parameter that selects
// one of the 45 factory programs. A normalized value is the VST 2 value; its
// text is the VST 2 display text, and a text typed in the host's field is
// read back through the inverse of the parameter's law.
//
// Pure functions of the values given; any thread, no allocation.
#pragma once

#include "plugin/FactoryPrograms.h"
#include "vst3/Vst3Interface.h"

namespace trv4 {

// Ids 0 to 20 are the VST 2 parameter indices.
constexpr vst3::ParamID kProgramParamId = 100;
constexpr int kNumVst3Params = kNumParams + 1;  // the program change is the last one
constexpr vst3::ProgramListID kFactoryProgramListId = 1;

// The description of parameter index (0 .. kNumVst3Params - 1), or false.
bool describeParameter(int index, vst3::ParameterInfo& info);

// What the texts of a parameter depend on besides its own value: the
// stored "Wave 1" value, which "Wave 2" shows while it is off (exactly 0:
// modulator 2 then follows modulator 1), and the programs' names as they
// stand (the factory's, or what a restored bank named them).
struct TextContext {
    float wave1Value;
    const char* programNames[kNumPrograms];
};

// The VST 2 display text of parameter id at value (0 .. 1) into text
// (capacity bytes, terminated). The program change shows the program's name.
bool parameterText(vst3::ParamID id, double value, const TextContext& context, char* text, int capacity);

// The value whose display text text is: a number in the parameter's unit
// (the unit itself may be left out), "ON" or "OFF", a wave number, or a
// program name or number. Values beyond the range are clamped. False when
// the text says nothing this parameter can show.
bool parameterValueFromText(vst3::ParamID id, const char* text, const TextContext& context, double& value);

// The program index a program-change value selects, and back.
int programFromValue(double value);
double valueOfProgram(int program);

// UTF-16 texts of the interface from and to 8-bit ones (characters beyond
// 8 bits become '?'). Both stop at the capacity and terminate.
void toString128(const char* text, vst3::TChar* out, int capacity = 128);
void fromString128(const vst3::TChar* text, char* out, int capacity);

}  // namespace trv4
