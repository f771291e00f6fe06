// Minimal program handling; the full program set replaces it.
#include "plugin/uPlugin.h"

namespace trv4 {

void APlugin::setProgram(vst::VstInt32 program) {
    if (program < 0 || program >= kNumPrograms) return;
    curProgram = program;
    for (int i = 0; i < kNumParams; ++i) setParameter(i, programs[program].values[i]);
}

void APlugin::setProgramName(char*) {}
void APlugin::getProgramName(char* name) { *name = 0; }
bool APlugin::getProgramNameIndexed(vst::VstInt32, vst::VstInt32, char* text) {
    *text = 0;
    return false;
}

}  // namespace trv4
