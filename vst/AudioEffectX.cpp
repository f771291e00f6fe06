#include "vst/AudioEffectX.h"

#include <cmath>
#include <cstring>

#include "vst/AEffEditor.h"

namespace vst {

AudioEffectX::AudioEffectX(AudioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : AudioEffect(audioMaster, numPrograms, numParams) {}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

bool AudioEffectX::getHostVendorString(char* text) { return callHost(audioMasterGetVendorString, 0, 0, text) != 0; }

bool AudioEffectX::getHostProductString(char* text) { return callHost(audioMasterGetProductString, 0, 0, text) != 0; }

VstInt32 AudioEffectX::getPlugCategory() {
    // 0 is the unknown category; a synth would answer 2.
    return (cEffect.flags & effFlagsIsSynth) ? 2 : 0;
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
    case effProcessEvents: return ptr ? processEvents(ptr) : 0;
    case effCanBeAutomated: return canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter: return ptr ? (string2parameter(index, static_cast<char*>(ptr)) ? 1 : 0) : 0;
    case effGetNumProgramCategories: return getNumCategories();
    case effGetProgramNameIndexed:
        return ptr ? (getProgramNameIndexed(static_cast<VstInt32>(value), index, static_cast<char*>(ptr)) ? 1 : 0) : 0;
    case effCopyProgram: return copyProgram(index) ? 1 : 0;
    case effConnectInput: inputConnected(index, value != 0); return 1;
    case effConnectOutput: outputConnected(index, value != 0); return 1;
    case effGetInputProperties:
        return ptr ? (getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0) : 0;
    case effGetOutputProperties:
        return ptr ? (getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0) : 0;
    case effGetPlugCategory: return getPlugCategory();
    case effSetBlockSizeAndSampleRate: setBlockSizeAndSampleRate(static_cast<VstInt32>(value), opt); return 1;
    case effSetBypass: return setBypass(value != 0) ? 1 : 0;
    case effGetEffectName: return ptr ? (getEffectName(static_cast<char*>(ptr)) ? 1 : 0) : 0;
    case effGetErrorText: return ptr ? (getErrorText(static_cast<char*>(ptr)) ? 1 : 0) : 0;
    case effGetVendorString: return ptr ? (getVendorString(static_cast<char*>(ptr)) ? 1 : 0) : 0;
    case effGetProductString: return ptr ? (getProductString(static_cast<char*>(ptr)) ? 1 : 0) : 0;
    case effGetVendorVersion: return getVendorVersion();
    case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
    case effCanDo: return ptr ? canDo(static_cast<char*>(ptr)) : 0;
    case effGetTailSize: return getGetTailSize();
    case effGetParameterProperties: return ptr ? (getParameterProperties(index, ptr) ? 1 : 0) : 0;
    case effKeysRequired: return keysRequired() ? 0 : 1;
    case effGetVstVersion: return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
        if (!editor) return 0;
        VstKeyCode key{};
        key.character = index;
        key.virt = static_cast<unsigned char>(value);
        key.modifier = static_cast<unsigned char>(std::lrint(opt));
        return opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
    }
    case effSetEditKnobMode:
        if (editor) editor->setKnobMode(static_cast<VstInt32>(value));
        return 0;
    case effGetCurrentMidiProgram: return getCurrentMidiProgram(index, ptr);
    case effBeginSetProgram: return beginSetProgram() ? 1 : 0;
    case effEndSetProgram: return endSetProgram() ? 1 : 0;
    case effStartProcess: return startProcess();
    case effStopProcess: return stopProcess();
    case effSetTotalSampleToProcess: return setTotalSampleToProcess(static_cast<VstInt32>(value));
    case effSetPanLaw: return setPanLaw(static_cast<VstInt32>(value), opt);
    case effBeginLoadBank: return ptr ? beginLoadBank(ptr) : 0;
    case effBeginLoadProgram: return ptr ? beginLoadProgram(ptr) : 0;
    default:
        if (opcode >= effProcessEvents && opcode <= effBeginLoadProgram) return 0;
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

}  // namespace vst
