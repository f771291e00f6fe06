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

#include "tools/host/ClapHost.h"
#include "vst/VstInterface.h"

namespace trv4host {

class ClapBridge {
public:
    // A new instance of module's plug-in behind a record, its calls to the
    // host answered by audioMaster; null with a reason.
    static vst::AEffect* create(const ClapModule& module, vst::AudioMasterCallback audioMaster, std::string& error);
    // The bridge behind a record, or null for a record of a VST 2 plug-in.
    static ClapBridge* of(vst::AEffect* record);

    ClapInstance& instance() { return *instance_; }
    // A change at frame `frame` of the next processed block (VST 2 value).
    void queueChange(uint32_t frame, int index, float value);

private:
    ClapBridge() = default;
    static vst::VstIntPtr VST_CALL dispatchEntry(vst::AEffect* e, vst::VstInt32 opcode, vst::VstInt32 index,
                                                 vst::VstIntPtr value, void* ptr, float opt);
    static void VST_CALL processEntry(vst::AEffect* e, float** in, float** out, vst::VstInt32 n);
    static void VST_CALL replacingEntry(vst::AEffect* e, float** in, float** out, vst::VstInt32 n);
    static void VST_CALL setParameterEntry(vst::AEffect* e, vst::VstInt32 index, float value);
    static float VST_CALL getParameterEntry(vst::AEffect* e, vst::VstInt32 index);

    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt);
    void process(float** in, float** out, int n, bool accumulate);
    void setParameter(int index, float value);
    float getParameter(int index);
    clap::param_info info(int index) const;
    bool selectProgram(int program);
    bool openEditor(void* parent);
    // The plug-in's value events, told to the host as audioMasterAutomate.
    void reportEdits();

    vst::AEffect record_{};
    const ClapModule* module_ = nullptr;
    std::unique_ptr<ClapInstance> instance_;
    vst::AudioMasterCallback audioMaster_ = nullptr;
    std::vector<clap::param_info> params_;
    std::vector<std::string> programNames_;
    int currentProgram_ = 0;
    double sampleRate_ = 44100;
    int blockSize_ = 1024;
    std::vector<ClapParamChange> pending_;
    std::vector<float> scratch_[2];
    vst::ERect rect_{};
    bool editorOpen_ = false;
    int flushesDone_ = 0;
};

}  // namespace trv4host
