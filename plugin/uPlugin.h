// APlugin: the one effect object a host gets from the library entry.
//
// It is the shell (record, dispatcher answers, parameters, programs, host
// queries) around the signal engine it embeds. The shell side is spread over
// plugin/APlugin*.cpp by concern: construction and audio entry points
// (APlugin.cpp), the parameter set (APluginParameters.cpp), programs
// (APluginPrograms.cpp) and identity and capability queries (APluginQueries.cpp).
//
// Threads: the host's audio thread runs process/processReplacing; its
// user-interface thread runs the dispatcher and the editor; setParameter may
// come from either. Shared values are single relaxed atomics, never locks.
#pragma once

#include <atomic>

#include "engine/Engine.h"
#include "engine/ParamIndex.h"
#include "plugin/APluginProgram.h"
#include "vst/AudioEffectX.h"

namespace trv4 {

constexpr int kNumPrograms = 45;
constexpr vst::VstInt32 kUniqueID = vst::fourCC('7', '9', '4', '3');

class APlugin : public vst::AudioEffectX, private HostTimeSource {
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
    // Answers the editor test port (editor/EditorTestPort.h) and nothing else.
    vst::VstIntPtr vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt) override;

    // Read access for the editor glue (window thread).
    float parameterValue(int index) const { return params[index].load(std::memory_order_relaxed); }
    const Engine& engineState() const { return engine; }
    bool editorClosed() const { return editorClosedFlag.load(std::memory_order_relaxed); }
    void setEditorClosed(bool closed) { editorClosedFlag.store(closed, std::memory_order_relaxed); }
    const APluginProgram& program(int index) const { return programs[index]; }

private:
    bool queryHostTime(int32_t requestMask, HostTime& out) override;

    char hostVendor[65] = {};
    char hostProduct[65] = {};
    ParameterArray params{};
    std::atomic<bool> editorClosedFlag{false};
    Engine engine;
    APluginProgram programs[kNumPrograms];
    float vu = 0;
};

}  // namespace trv4
