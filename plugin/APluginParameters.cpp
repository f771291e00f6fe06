// Minimal parameter store; the full parameter set replaces it.
#include "plugin/uPlugin.h"
#include "vst/AEffEditor.h"

namespace trv4 {

void APlugin::setParameter(vst::VstInt32 index, float value) {
    if (value > 1.0f)
        value = 1.0f;
    else if (!(value >= 0.0f))
        value = 0.0f;
    if (index < 0 || index >= kNumParams) return;
    params[index].store(value, std::memory_order_relaxed);
    programs[curProgram].values[index] = value;
    if (editor) editor->postUpdate();
    engine.armRamp();
}

float APlugin::getParameter(vst::VstInt32 index) {
    if (index < 0) index = 0;
    if (index >= kNumParams) index = kNumParams - 1;
    return params[index].load(std::memory_order_relaxed);
}

void APlugin::getParameterLabel(vst::VstInt32, char* label) { *label = 0; }
void APlugin::getParameterDisplay(vst::VstInt32, char* text) { *text = 0; }
void APlugin::getParameterName(vst::VstInt32, char* text) { *text = 0; }

}  // namespace trv4
