// ClapBridge: a CLAP plug-in seen through a VST 2 effect record, so that the
// trv4 commands (info, render, snapshot, edit) drive a .clap file with the calls
// they make on a VST 2 plug-in. Each record call becomes the CLAP calls a
// host makes for it: resume activates, the first block starts processing,
// suspend stops and deactivates, parameters go as value events in the next block (or
// through a flush between blocks), programs are the presets the
// preset-discovery factory lists and are selected through preset loading,
// the transport is the host's time information, the editor is the gui
// extension idled by its timers, and the editor's value events reach the host
// as automation. Values are the VST 2 scale (0..1) mapped onto each
// parameter's range.
//
// What VST 2 has and CLAP has not: program names the host edits stay in the
// bridge; the record's unique ID is 0.
//
// The thread of trv4: one thread makes every call.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/host/BridgedEffect.h"
#include "tools/host/ClapHost.h"

namespace trv4host {

class ClapBridge final : public BridgedEffect {
public:
    // A new instance of module's plug-in behind a record, its calls to the
    // host answered by audioMaster; null with a reason.
    static vst::AEffect* create(const ClapModule& module, vst::AudioMasterCallback audioMaster, std::string& error);
    // The bridge behind a record, or null for a record of another plug-in.
    static ClapBridge* of(vst::AEffect* record);

    ClapInstance& instance() { return *instance_; }

private:
    explicit ClapBridge(vst::AudioMasterCallback audioMaster) : BridgedEffect(audioMaster) {}

    vst::VstIntPtr dispatchFormat(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                  float opt) override;
    void setParameter(int index, float value) override;
    float getParameter(int index) override;
    bool selectProgram(int program) override;
    bool readyToProcess() override;
    int largestPiece() const override;
    void processPiece(const float* const in[2], float* const out[2], int n, const Change* changes, size_t count,
                      const vst::VstTimeInfo* time, int offset) override;
    void afterBlock() override { reportEdits(); }

    clap::param_info info(int index) const;
    // The waiting changes as CLAP value events.
    std::vector<ClapParamChange> events(const Change* changes, size_t count) const;
    bool openEditor(void* parent);
    // The plug-in's value events, told to the host as audioMasterAutomate.
    void reportEdits();

    const ClapModule* module_ = nullptr;
    std::unique_ptr<ClapInstance> instance_;
    std::vector<clap::param_info> params_;
    vst::ERect rect_{};
    bool editorOpen_ = false;
    int flushesDone_ = 0;
};

}  // namespace trv4host
