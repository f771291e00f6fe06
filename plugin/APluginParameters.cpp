// The parameter set of APlugin: store, read, names and display texts.
//
// setParameter may arrive on the host's audio or automation thread, or on
// the editor's window thread, while a block is processed; every value is one
// relaxed atomic store, never a lock. The text queries run on the
// dispatcher's thread.
#include "plugin/HostText.h"
#include "plugin/ParameterDisplay.h"
#include "plugin/uPlugin.h"
#include "vst/AEffEditor.h"

namespace trv4 {

void APlugin::setParameter(vst::VstInt32 index, float value) {
    // Clamp first; "not >= 0" also catches NaN.
    if (value > 1.0f)
        value = 1.0f;
    else if (!(value >= 0.0f))
        value = 0.0f;
    if (index < 0 || index >= kNumParams) return;

    params[index].store(value, std::memory_order_relaxed);
    // Write-through: the current program keeps every edit made while it is
    // current, for the life of this object.
    programs[curProgram].setValue(index, value);
    if (editor) editor->postUpdate();
    engine.armRamp();
}

void APlugin::setParameterAutomated(vst::VstInt32 index, float value) {
    AudioEffectX::setParameterAutomated(index, value);
}

float APlugin::getParameter(vst::VstInt32 index) {
    // Above the set: the spare's value, as hosts have always seen; below it
    // (no valid request) the first parameter's, never a read outside.
    if (index < 0) index = 0;
    if (index >= kNumParams) index = kNumParams - 1;
    return params[index].load(std::memory_order_relaxed);
}

void APlugin::getParameterName(vst::VstInt32 index, char* text) {
    // The spare, indices above it and negative ones have no name; an empty
    // text rather than none, so a host's uninitialised buffer is never shown.
    const char* name = index >= 0 && index < kNumParams ? kParameterLaws[index].name : "";
    copyHostText(text, name, kMaxParameterTextChars);
}

void APlugin::getParameterLabel(vst::VstInt32, char* label) {
    // Units are part of the display texts.
    copyHostText(label, "", kMaxParameterTextChars);
}

void APlugin::getParameterDisplay(vst::VstInt32 index, char* text) {
    // Built from the stored value, not the program's. The spare, indices
    // above it and negative ones show an empty text.
    char display[kDisplayTextCapacity] = {};
    if (index >= 0 && index < kNumParams)
        formatParameterDisplay(index, params[index].load(std::memory_order_relaxed), engine.wave1(), engine.wave2(),
                               display);
    copyHostText(text, display, kMaxParameterTextChars);
}

}  // namespace trv4
