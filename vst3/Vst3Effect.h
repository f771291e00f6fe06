// Vst3Effect: the plug-in as a VST3 host sees it. One object is the
// component, the audio processor, the edit controller and the unit
// description at once, around the one APlugin that the VST 2 module also
// makes: parameters, programs and sound are that object's, so both formats
// sound and behave alike. The plug-in talks to this adapter through the
// same host callback a VST 2 host answers (time information, sample rate).
// The editor is the VST 2 build's, made with this adapter as its host, so
// that the user's edits reach the VST3 host as edits with their gestures
// (Vst3EffectEditor.cpp, Vst3View.h).
//
// One object rather than a processor and a controller: the plug-in's
// parameters live in one place (the APlugin), and a second object would
// need a copy kept in step through messages. Ardour, REAPER, Bitwig Studio
// and Carla ask the component for the controller interface first and use
// the same object when it answers.
//
// Threads, as the interface assigns them: process() on the host's audio
// thread; everything else on its user-interface thread. Parameter values
// are the APlugin's relaxed atomics; nothing here locks or allocates while
// processing.
#pragma once

#include <atomic>
#include <memory>

#include "editor/EditorHost.h"
#include "vst/VstInterface.h"
#include "vst3/StateSides.h"
#include "vst3/Vst3Parameters.h"
#include "vst3/Vst3TestPort.h"

namespace trv4 {

class APlugin;
class EditorGlue;
class Vst3View;

class Vst3Effect final : public ComponentSide,
                         public vst3::IAudioProcessor,
                         public ControllerSide,
                         public vst3::IUnitInfo,
                         public vst3::IProcessContextRequirements,
                         public IVst3TestPort,
                         public EditorHost {
public:
    // The class the factory makes; stable across releases.
    static constexpr vst3::Uid kClassId = vst3::makeUid(0x54525634, 0x2D564633, 0x37393433, 0x546F6C76);

    // Creates the plug-in object; throws only when memory runs out.
    Vst3Effect();
    ~Vst3Effect();

    // FUnknown
    vst3::tresult VST3_CALL queryInterface(const char* iid, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override;
    vst3::uint32 VST3_CALL release() override;

    // IPluginBase (one answer for the component and the controller)
    vst3::tresult VST3_CALL initialize(vst3::FUnknown* context) override;
    vst3::tresult VST3_CALL terminate() override;

    // IComponent
    vst3::tresult VST3_CALL getControllerClassId(char* classId) override;
    vst3::tresult VST3_CALL setIoMode(vst3::int32 mode) override;
    vst3::int32 VST3_CALL getBusCount(vst3::MediaType type, vst3::BusDirection dir) override;
    vst3::tresult VST3_CALL getBusInfo(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                       vst3::BusInfo& bus) override;
    vst3::tresult VST3_CALL getRoutingInfo(vst3::RoutingInfo& inInfo, vst3::RoutingInfo& outInfo) override;
    vst3::tresult VST3_CALL activateBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                        vst3::TBool state) override;
    vst3::tresult VST3_CALL setActive(vst3::TBool state) override;

    // IAudioProcessor
    vst3::tresult VST3_CALL setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                               vst3::SpeakerArrangement* outputs, vst3::int32 numOuts) override;
    vst3::tresult VST3_CALL getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                              vst3::SpeakerArrangement& arr) override;
    vst3::tresult VST3_CALL canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
    vst3::uint32 VST3_CALL getLatencySamples() override;
    vst3::tresult VST3_CALL setupProcessing(vst3::ProcessSetup& setup) override;
    vst3::tresult VST3_CALL setProcessing(vst3::TBool state) override;
    vst3::tresult VST3_CALL process(vst3::ProcessData& data) override;
    vst3::uint32 VST3_CALL getTailSamples() override;

    // IEditController
    vst3::tresult VST3_CALL setComponentState(vst3::IBStream* state) override;
    vst3::int32 VST3_CALL getParameterCount() override;
    vst3::tresult VST3_CALL getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info) override;
    vst3::tresult VST3_CALL getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                                  vst3::String128 string) override;
    vst3::tresult VST3_CALL getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                                  vst3::ParamValue& valueNormalized) override;
    vst3::ParamValue VST3_CALL normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue valueNormalized) override;
    vst3::ParamValue VST3_CALL plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) override;
    vst3::ParamValue VST3_CALL getParamNormalized(vst3::ParamID id) override;
    vst3::tresult VST3_CALL setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::tresult VST3_CALL setComponentHandler(vst3::IComponentHandler* handler) override;
    vst3::IPlugView* VST3_CALL createView(vst3::FIDString name) override;

    // IUnitInfo: one root unit with the program list.
    vst3::int32 VST3_CALL getUnitCount() override;
    vst3::tresult VST3_CALL getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) override;
    vst3::int32 VST3_CALL getProgramListCount() override;
    vst3::tresult VST3_CALL getProgramListInfo(vst3::int32 listIndex, vst3::ProgramListInfo& info) override;
    vst3::tresult VST3_CALL getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                           vst3::String128 name) override;
    vst3::tresult VST3_CALL getProgramInfo(vst3::ProgramListID listId, vst3::int32 programIndex,
                                           const char* attributeId, vst3::String128 attributeValue) override;
    vst3::tresult VST3_CALL hasProgramPitchNames(vst3::ProgramListID listId, vst3::int32 programIndex) override;
    vst3::tresult VST3_CALL getProgramPitchName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                                vst3::int16 midiPitch, vst3::String128 name) override;
    vst3::UnitID VST3_CALL getSelectedUnit() override;
    vst3::tresult VST3_CALL selectUnit(vst3::UnitID unitId) override;
    vst3::tresult VST3_CALL getUnitByBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 busIndex,
                                         vst3::int32 channel, vst3::UnitID& unitId) override;
    vst3::tresult VST3_CALL setUnitProgramData(vst3::int32 listOrUnitId, vst3::int32 programIndex,
                                               vst3::IBStream* data) override;

    // IProcessContextRequirements
    vst3::uint32 VST3_CALL getProcessContextRequirements() override;

    // IVst3TestPort
    void VST3_CALL seedRandom(vst3::uint64 seed) override;
    vst3::TBool VST3_CALL fillEditorTestPort(void* port) override;

    // EditorHost: the editor's reads, and its edits and size requests for
    // the host (user-interface thread).
    float parameterValue(int index) const override;
    void setParameterAutomated(int index, float value) override;
    void beginEdit(int index) override;
    void endEdit(int index) override;
    float meterLevel() const override;
    double hostTempo() const override;
    bool requestEditorSize(int width, int height) override;

    // The editor glue behind every view; lives as long as this object.
    EditorGlue& editorGlue() const { return *glue_; }
    // The view that shows the editor now: attachView fails while another
    // one does; detachView forgets view if it is that one.
    bool attachView(Vst3View* view);
    void detachView(Vst3View* view);

protected:
    vst3::tresult setComponentStream(vst3::IBStream* state) override;
    vst3::tresult getComponentStream(vst3::IBStream* state) override;
    vst3::tresult setControllerStream(vst3::IBStream* state) override;
    vst3::tresult getControllerStream(vst3::IBStream* state) override;

private:
    // The host callback the APlugin is made with; finds this adapter through
    // the record's user field.
    static vst::VstIntPtr VST_CALL hostCallback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                                                vst::VstIntPtr value, void* ptr, float opt);
    vst::VstIntPtr answerHost(vst::VstInt32 opcode);

    // The time information for the piece of the block that starts offset
    // samples into it, from the host's process context (none without one).
    void updateTimeInfo(const vst3::ProcessContext* context, int offset);
    // One change of a process call at offset: a parameter, or a program
    // change, whose 21 new values go back to the host as output changes.
    void applyChange(vst3::ParamID id, vst3::ParamValue value, vst3::ProcessData& data, int offset);
    // Selects a program, the 21 values with it.
    void selectProgram(int program);
    // The stored values and names the parameter texts depend on.
    TextContext textContext() const;

    std::atomic<vst3::uint32> refCount_{1};
    std::unique_ptr<APlugin> plugin_;
    std::unique_ptr<EditorGlue> glue_;
    Vst3View* view_ = nullptr;  // attached, not owned
    vst3::IComponentHandler* handler_ = nullptr;
    double sampleRate_ = 44100;
    int maxBlockSize_ = 1024;
    // Written and read on the audio thread only, within process().
    vst::VstTimeInfo timeInfo_{};
    bool timeInfoValid_ = false;
};

}  // namespace trv4
