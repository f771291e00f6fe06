// APlugin: the one effect object a host gets from the library entry.
//
// It is the shell (record, dispatcher answers, parameters, programs, host
// queries) around the signal engine it embeds. The shell side is spread over
// plugin/APlugin*.cpp by concern: construction and audio entry points
// (APlugin.cpp), the parameter set (APluginParameters.cpp), programs
// (APluginPrograms.cpp) and identity and capability queries (APluginQueries.cpp).
// The editor is made by the editor's factory and reaches this object only as
// its EditorHost.
//
// Threads: the host's audio thread runs process/processReplacing; its
// user-interface thread runs the dispatcher and the editor; setParameter may
// come from either. Shared values are single relaxed atomics, never locks.
#pragma once

#include <atomic>

#include "editor/EditorHost.h"
#include "engine/Engine.h"
#include "engine/ParamIndex.h"
#include "plugin/APluginProgram.h"
#include "plugin/FactoryPrograms.h"
#include "plugin/ProgramBank.h"
#include "vst/AudioEffectX.h"

namespace trv4 {

class EditorGlue;

constexpr vst::VstInt32 kUniqueID = vst::fourCC('7', '9', '4', '3');

class APlugin : public vst::AudioEffectX, public EditorHost, public ProgramBank, private HostTimeSource {
public:
    explicit APlugin(vst::AudioMasterCallback audioMaster);
    ~APlugin() override;

    void setSampleRate(float sampleRate) override;
    void setParameter(vst::VstInt32 index, float value) override;
    float getParameter(vst::VstInt32 index) override;
    void process(float** inputs, float** outputs, vst::VstInt32 sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, vst::VstInt32 sampleFrames) override;
    void setProgram(vst::VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(vst::VstInt32 index, char* label) override;
    void getParameterDisplay(vst::VstInt32 index, char* text) override;
    void getParameterName(vst::VstInt32 index, char* text) override;
    float getVu() override;
    void suspend() override;
    void resume() override;
    bool getProgramNameIndexed(vst::VstInt32 category, vst::VstInt32 index, char* text) override;
    bool getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    vst::VstInt32 canDo(char* text) override;
    // The replay seed (ReplaySeed.h); everything else is handed to the
    // editor, which answers its test port and the host's size hint; every
    // other request answers 0.
    vst::VstIntPtr vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt) override;

    // EditorHost: what the editor reads and sends (window thread). One
    // override serves both bases' setParameterAutomated.
    float parameterValue(int index) const override { return params[index].load(std::memory_order_relaxed); }
    void setParameterAutomated(vst::VstInt32 index, float value) override;
    float meterLevel() const override { return engine.meterLevel(); }
    double hostTempo() const override { return engine.hostTempo(); }
    // audioMasterSizeWindow: a host that answers 0 keeps the frame it has.
    bool requestEditorSize(int width, int height) override {
        return callHost(vst::audioMasterSizeWindow, width, height) != 0;
    }
    // The VST 2 host is told of no gestures: these do nothing.
    void beginEdit(int) override {}
    void endEdit(int) override {}

    // ProgramBank (APluginPrograms.cpp).
    float programValue(int program, int index) const override { return programs[program].value(index); }
    const char* programName(int program) const override { return programs[program].name(); }
    void restoreProgram(int program, const float* values, const char* name) override;

    // Any program's stored values and name without selecting it: formats
    // that save the whole bank at once read it here.
    const APluginProgram& program(int index) const { return programs[index]; }

private:
    bool queryHostTime(int32_t requestMask, HostTime& out) override;

    ParameterArray params{};
    Engine engine;
    APluginProgram programs[kNumPrograms];
    float vu = 0;                      // getVu's value: nothing sets it, so the host always reads 0
    EditorGlue* editorGlue = nullptr;  // the base's editor, as the glue it is
};

}  // namespace trv4
