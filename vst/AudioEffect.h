// The root of the VST 2 class layer: owns the effect record, answers the
// dispatcher for opcodes 0 to 24 and wraps the host callback.
//
// The host calls the record's entry points: the dispatcher and the parameter
// entries usually on its user-interface thread, the process entries on its
// audio thread. Nothing here throws towards the host.
#pragma once

#include <atomic>

#include "vst/VstInterface.h"

namespace vst {

class AEffEditor;

class AudioEffect {
public:
    AudioEffect(AudioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();

    virtual void setSampleRate(float newRate) { sampleRate = newRate; }
    virtual void setBlockSize(VstInt32 newSize) { blockSize = newSize; }
    virtual void setParameter(VstInt32 index, float value) {}
    virtual float getParameter(VstInt32 index) { return 0; }
    // Stores through setParameter, then tells the host (audioMasterAutomate).
    virtual void setParameterAutomated(VstInt32 index, float value);
    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames) {}
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {}
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual void open() {}
    virtual void close() {}
    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual void setProgramName(char* name) {}
    virtual void getProgramName(char* name) { *name = 0; }
    virtual void getParameterLabel(VstInt32 index, char* label) { *label = 0; }
    virtual void getParameterDisplay(VstInt32 index, char* text) { *text = 0; }
    virtual void getParameterName(VstInt32 index, char* text) { *text = 0; }
    virtual float getVu() { return 0; }
    virtual VstInt32 getChunk(void** data, bool isPreset = false) { return 0; }
    virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset = false) { return 0; }
    virtual void suspend() {}
    virtual void resume() {}

    // Record setters.
    virtual void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
    virtual void setNumInputs(VstInt32 n) { cEffect.numInputs = n; }
    virtual void setNumOutputs(VstInt32 n) { cEffect.numOutputs = n; }
    virtual void hasVu(bool state = true) { setFlag(effFlagsHasVu, state); }
    virtual void hasClip(bool state = true) { setFlag(effFlagsHasClip, state); }
    virtual void canMono(bool state = true) { setFlag(effFlagsCanMono, state); }
    virtual void canProcessReplacing(bool state = true) { setFlag(effFlagsCanReplacing, state); }
    virtual void programsAreChunks(bool state = true) { setFlag(effFlagsProgramChunks, state); }
    virtual void setRealtimeQualities(VstInt32 q) { cEffect.realQualities = q; }
    virtual void setOfflineQualities(VstInt32 q) { cEffect.offQualities = q; }
    virtual void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }

    // Host callbacks; without a host callback they answer 0.
    virtual VstInt32 getMasterVersion();
    virtual VstInt32 getCurrentUniqueId();
    virtual void masterIdle();
    virtual bool isInputConnected(VstInt32 input);
    virtual bool isOutputConnected(VstInt32 output);

    AEffect* getAeffect() { return &cEffect; }
    AEffEditor* getEditor() const { return editor; }
    // Attaches (and owns) an editor, setting the has-editor flag; null detaches.
    void setEditor(AEffEditor* newEditor);

    // Recovers the object behind a record, or null for a record that is not ours.
    static AudioEffect* fromRecord(AEffect* effect);

protected:
    void setFlag(VstInt32 flag, bool state);
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0) const;

    AEffect cEffect{};
    float sampleRate = 44100.0f;
    AEffEditor* editor = nullptr;
    VstInt32 numPrograms;
    VstInt32 numParams;
    // Written by setProgram on the dispatching thread, read by setParameter on
    // whichever thread the host automates from.
    std::atomic<VstInt32> curProgram{0};
    VstInt32 blockSize = 1024;
    AudioMasterCallback audioMaster;
};

}  // namespace vst
