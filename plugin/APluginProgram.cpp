#include "plugin/APluginProgram.h"

#include "plugin/FactoryPrograms.h"
#include "plugin/HostText.h"

namespace trv4 {

static_assert(APluginProgram::kMaxNameChars < APluginProgram::kNameCapacity);

APluginProgram::APluginProgram() : values{}, programName{} {}

APluginProgram::APluginProgram(int factoryIndex) : APluginProgram() {
    if (factoryIndex < 0 || factoryIndex >= kNumPrograms) return;
    for (int i = 0; i < kNumParams; ++i) setValue(i, kFactoryProgramValues[factoryIndex][i]);
    copyHostText(programName, kFactoryProgramNames[factoryIndex], kNameCapacity - 1);
}

APluginProgram::APluginProgram(const APluginProgram& other) : APluginProgram() { *this = other; }

APluginProgram& APluginProgram::operator=(const APluginProgram& other) {
    for (int i = 0; i < kNumParams; ++i) setValue(i, other.value(i));
    copyHostText(programName, other.programName, kNameCapacity - 1);
    return *this;
}

void APluginProgram::setName(const char* text) { copyHostText(programName, text, kMaxNameChars); }

}  // namespace trv4
