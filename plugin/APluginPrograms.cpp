// Programs of APlugin: select, rename, read names. Called on the dispatcher's
// thread; a block may be processed meanwhile and sees a mix of old and new
// values for at most one block, which the smoothing ramp covers.
#include "plugin/HostText.h"
#include "plugin/uPlugin.h"

namespace trv4 {

void APlugin::setProgram(vst::VstInt32 program) {
    // curProgram is written here only, so it always indexes a program.
    if (program < 0 || program >= kNumPrograms) return;
    curProgram = program;
    // Through setParameter, in index order: each value is clamped, stored,
    // written back into the same program, and the editor and the ramp are
    // told. The host is not (no automation for a program change).
    for (int i = 0; i < kNumParams; ++i) setParameter(i, programs[program].value(i));
}

void APlugin::setProgramName(char* name) { programs[curProgram].setName(name); }

void APlugin::getProgramName(char* name) { copyHostText(name, programs[curProgram].name(), kMaxProgramNameChars); }

bool APlugin::getProgramNameIndexed(vst::VstInt32, vst::VstInt32 index, char* text) {
    // The category is ignored: all programs are in the one category.
    if (index < 0 || index >= kNumPrograms) {
        copyHostText(text, "", kMaxProgramNameChars);
        return false;
    }
    copyHostText(text, programs[index].name(), kMaxProgramNameChars);
    return true;
}

void APlugin::restoreProgram(int program, const float* values, const char* name) {
    if (program < 0 || program >= kNumPrograms) return;
    for (int i = 0; i < kNumParams; ++i) {
        float v = values[i];
        // The clamp of setParameter; "not >= 0" also catches NaN.
        if (v > 1.0f)
            v = 1.0f;
        else if (!(v >= 0.0f))
            v = 0.0f;
        programs[program].setValue(i, v);
    }
    programs[program].setName(name);
}

}  // namespace trv4
