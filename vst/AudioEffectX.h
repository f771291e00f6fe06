// The extended layer of the VST 2 class layer: opcodes 25 to 76 and the
// extended host callbacks. Opcodes it does not serve go to AudioEffect.
#pragma once

#include "vst/AudioEffect.h"

namespace vst {

class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(AudioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    // Host callbacks. getTimeInfo answers the host's record or null.
    virtual VstTimeInfo* getTimeInfo(VstInt32 filter);
    virtual bool getHostVendorString(char* text);   // at most 64 characters
    virtual bool getHostProductString(char* text);  // at most 64 characters

    // Plug-in answers, with the class layer's defaults.
    virtual VstInt32 processEvents(void* events) { return 0; }
    virtual bool canParameterBeAutomated(VstInt32 index) { return true; }
    virtual bool string2parameter(VstInt32 index, char* text) { return false; }
    virtual VstInt32 getNumCategories() { return 1; }
    virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) { return false; }
    virtual bool copyProgram(VstInt32 destination) { return false; }
    virtual void inputConnected(VstInt32 index, bool state) {}
    virtual void outputConnected(VstInt32 index, bool state) {}
    virtual bool getInputProperties(VstInt32 index, VstPinProperties* properties) { return false; }
    virtual bool getOutputProperties(VstInt32 index, VstPinProperties* properties) { return false; }
    virtual VstInt32 getPlugCategory();
    virtual void setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) {
        blockSize = newBlockSize;
        sampleRate = newSampleRate;
    }
    virtual bool setBypass(bool onOff) { return false; }
    virtual bool getEffectName(char* name) { return false; }
    virtual bool getErrorText(char* text) { return false; }
    virtual bool getVendorString(char* text) { return false; }
    virtual bool getProductString(char* text) { return false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstIntPtr vendorSpecific(VstInt32 lArg, VstIntPtr lArg2, void* ptrArg, float floatArg) { return 0; }
    virtual VstInt32 canDo(char* text) { return 0; }
    virtual VstInt32 getGetTailSize() { return 0; }
    virtual bool getParameterProperties(VstInt32 index, void* properties) { return false; }
    virtual bool keysRequired() { return false; }
    virtual VstInt32 getVstVersion() { return 2300; }
    virtual VstInt32 getCurrentMidiProgram(VstInt32 channel, void* currentProgram) { return -1; }
    virtual bool beginSetProgram() { return false; }
    virtual bool endSetProgram() { return false; }
    virtual VstInt32 startProcess() { return 0; }
    virtual VstInt32 stopProcess() { return 0; }
    virtual VstInt32 setTotalSampleToProcess(VstInt32 value) { return value; }
    virtual VstInt32 setPanLaw(VstInt32 type, float value) { return false; }
    virtual VstInt32 beginLoadBank(void* bank) { return 0; }
    virtual VstInt32 beginLoadProgram(void* program) { return 0; }

    // Record flag setters of the extended layer.
    virtual void isSynth(bool state = true) { setFlag(effFlagsIsSynth, state); }
    virtual void noTail(bool state = true) { setFlag(effFlagsNoSoundInStop, state); }
    virtual void wantAsyncOperation(bool state = true) { setFlag(effFlagsExtIsAsync, state); }
    virtual void hasExternalBuffer(bool state = true) { setFlag(effFlagsExtHasBuffer, state); }
};

}  // namespace vst
