// Vst3Bridge: a VST3 plug-in seen through a VST 2 effect record, so that the
// trv4 commands (info, render, snapshot, edit, presets) drive a .vst3 bundle
// with the calls they make on a VST 2 plug-in. Each record call becomes the
// VST3 calls a host makes for it: resume sets up processing, activates and
// starts processing; suspend stops, deactivates. A parameter set between
// blocks goes to the controller at once and to the processor as a point at
// frame 0 of the next block; automation goes as points at their frames.
// Programs are the program-change parameter's steps, named by the program
// list of its unit. The chunk is the component's state followed by the
// controller's. The editor is the controller's view in the host's window,
// with a frame of the host's (resize requests become audioMasterSizeWindow)
// and on Linux a run loop idled with effEditIdle; the view's edits
// (beginEdit, performEdit, endEdit) become audioMasterBeginEdit, Automate and
// EndEdit. Values are the VST 2 scale, which is VST3's normalized one.
//
// The record's parameters are the controller's, in its order, without the
// program change (VST 2 has programs of its own).
//
// The thread of trv4: one thread makes every call.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/host/BridgedEffect.h"
#include "tools/host/Vst3Host.h"

namespace trv4host {

class Vst3Bridge final : public BridgedEffect {
public:
    // A new instance of module's audio class behind a record, its calls to
    // the host answered by audioMaster; null with a reason.
    static vst::AEffect* create(const Vst3Module& module, vst::AudioMasterCallback audioMaster, std::string& error);
    // The bridge behind a record, or null for a record of another plug-in.
    static Vst3Bridge* of(vst::AEffect* record);

    Vst3Instance& instance() { return *instance_; }
    const Vst3Module& module() const { return *module_; }

private:
    explicit Vst3Bridge(vst::AudioMasterCallback audioMaster) : BridgedEffect(audioMaster) {}

    vst::VstIntPtr dispatchFormat(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                  float opt) override;
    void setParameter(int index, float value) override;
    float getParameter(int index) override;
    bool selectProgram(int program) override;
    int currentProgram() override;
    bool readyToProcess() override;
    int largestPiece() const override;
    void processPiece(const float* const in[2], float* const out[2], int n, const Change* changes, size_t count,
                      const vst::VstTimeInfo* time, int offset) override;
    void afterBlock() override;

    void findPrograms();
    // The parameter id a change's index names (the program change: one past
    // the record's parameters).
    vst3::ParamID idOf(int index) const;
    int indexOf(vst3::ParamID id) const;
    // The view's edits, told to the host; each value also waits for the
    // processor's next block.
    void reportEdits();
    vst::VstIntPtr vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt);

    const Vst3Module* module_ = nullptr;
    std::unique_ptr<Vst3Instance> instance_;
    std::vector<vst3::ParameterInfo> params_;
    bool hasProgramChange_ = false;
    vst3::ParameterInfo programChange_{};
    std::vector<Vst3Change> pieceChanges_;
    vst3::ProcessContext context_{};
    std::vector<uint8_t> chunk_;
    vst::ERect rect_{};
};

}  // namespace trv4host
