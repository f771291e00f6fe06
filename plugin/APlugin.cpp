#include "plugin/uPlugin.h"

#include <cstring>

#include "editor/EditorFactory.h"
#include "engine/Random.h"
#include "vst/FloatControl.h"
#include "vst/VstEntry.h"

namespace vst {
AudioEffect* createEffectInstance(AudioMasterCallback audioMaster) { return new trv4::APlugin(audioMaster); }
}  // namespace vst

namespace trv4 {

// Construction follows the start-up order hosts have seen from the first
// release: base record, host texts, programs, editor glue, random seed,
// cleared engine, record identity, program 0, floating-point control word.
APlugin::APlugin(vst::AudioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams), engine(params, *this) {
    // Asked for at this point of the start-up, as hosts have always seen
    // it, each into a cleared buffer; nothing reads the answers.
    char hostVendor[65] = {};
    char hostProduct[65] = {};
    getHostVendorString(hostVendor);
    getHostProductString(hostProduct);

    for (int i = 0; i < kNumPrograms; ++i) programs[i] = APluginProgram(i);

    std::unique_ptr<EditorGlue> glue = createPluginEditor(*this, this);
    editorGlue = glue.get();
    setEditor(glue.release());

    seedRandomFromClock();
    suspend();

    hasVu(false);
    setNumInputs(2);
    setNumOutputs(2);
    canMono(true);
    canProcessReplacing(true);
    isSynth(false);
    setUniqueID(kUniqueID);
    setInitialDelay(0);

    curProgram = 0;
    setProgram(0);

    setFlag(vst::effFlagsHasEditor, true);
    vst::maskFloatExceptions();
}

APlugin::~APlugin() {
    // The editor glue (and an open window with it) goes first, while the
    // parameters and the engine it reads are still whole.
    delete editor;
    editor = nullptr;
    editorGlue = nullptr;
}

void APlugin::setSampleRate(float sampleRate) { engine.setSampleRate(sampleRate); }

void APlugin::suspend() { engine.suspend(); }

void APlugin::resume() { engine.resume(); }

void APlugin::process(float** inputs, float** outputs, vst::VstInt32 sampleFrames) {
    if (!inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1]) sampleFrames = 0;
    engine.processAccumulating(inputs, outputs, sampleFrames);
}

void APlugin::processReplacing(float** inputs, float** outputs, vst::VstInt32 sampleFrames) {
    if (!inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1]) sampleFrames = 0;
    engine.processReplacing(inputs, outputs, sampleFrames);
}

float APlugin::getVu() {
    // Nothing writes the VU value in this design; reading resets it.
    float value = vu;
    vu = 0;
    return value;
}

bool APlugin::queryHostTime(int32_t requestMask, HostTime& out) {
    const vst::VstTimeInfo* info = getTimeInfo(requestMask);
    if (!info) return false;
    out.samplePos = info->samplePos;
    out.tempo = info->tempo;
    out.flags = info->flags;
    return true;
}

}  // namespace trv4
