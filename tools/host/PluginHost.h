// A small VST 2 host: loads a plug-in binary by path through its exported
// entry (never linking the plug-in's classes), answers its callbacks and wraps
// the record's entry points. A .clap file is loaded as a CLAP plug-in, a
// .vst3 bundle (or a binary exporting GetPluginFactory) as a VST3 plug-in,
// and each driven through a VST 2 record of the host's own (ClapBridge.h,
// Vst3Bridge.h). Used by the trv4 command-line host and by the
// tests that drive the plug-in as a host would.
//
// Single-threaded: one host object serves the effects it created; callbacks
// arrive on the calling thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ProductInfo.h"
#include "tools/host/ClapHost.h"
#include "tools/host/Vst3Host.h"
#include "vst/VstInterface.h"

namespace trv4host {

// The loaded library. Unloads it when destroyed; every effect it created must
// be closed first.
class PluginModule {
public:
    // Null with a one-line reason in error when the file cannot be loaded or
    // exports neither VSTPluginMain nor main (nor, for a .clap file,
    // clap_entry, nor for a .vst3 bundle GetPluginFactory).
    static std::unique_ptr<PluginModule> Load(const std::string& path, std::string& error);
    ~PluginModule();

    // The CLAP library of a .clap file, else null (and the entries are null).
    const ClapModule* clap() const { return clap_.get(); }
    // The VST3 module of a .vst3 bundle, else null (and the entries are null).
    const Vst3Module* vst3() const { return vst3_.get(); }

    using EntryProc = vst::AEffect*(VST_CALL*)(vst::AudioMasterCallback);
    EntryProc vstPluginMain() const { return vstPluginMain_; }
    EntryProc legacyMain() const { return legacyMain_; }
    EntryProc entry() const { return vstPluginMain_ ? vstPluginMain_ : legacyMain_; }

private:
    PluginModule() = default;
    void* handle_ = nullptr;
    std::unique_ptr<ClapModule> clap_;
    std::unique_ptr<Vst3Module> vst3_;
    EntryProc vstPluginMain_ = nullptr;
    EntryProc legacyMain_ = nullptr;
};

// One parameter change reported through audioMasterAutomate.
struct AutomationEvent {
    int index;
    float value;
};

// What the host answers. Tests change these fields to play other hosts.
class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    vst::VstIntPtr version = 2400;  // audioMasterVersion
    std::string vendor = trv4::product::kVendor;
    std::string product = "trv4 host";
    bool timeInfoAvailable = false;  // answer audioMasterGetTime with timeInfo
    vst::VstTimeInfo timeInfo{};
    double sampleRate = 44100;
    int blockSize = 512;

    std::vector<AutomationEvent> automation;  // audioMasterAutomate log
    std::vector<vst::VstInt32> timeRequests;  // masks of audioMasterGetTime
    // The last audioMasterSizeWindow (0 x 0: none since it was taken).
    int requestedWidth = 0, requestedHeight = 0;
    int callbackCount = 0;

    // Calls the entry with this host's callback; null when the plug-in
    // refuses (or the entry is missing).
    vst::AEffect* instantiate(PluginModule::EntryProc entry);
    // The module's entry, or for a CLAP or VST3 module a new instance behind
    // a record of its bridge; null when the plug-in refuses.
    vst::AEffect* instantiate(const PluginModule& module);

    static vst::VstIntPtr VST_CALL callback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                                            vst::VstIntPtr value, void* ptr, float opt);

private:
    vst::VstIntPtr answer(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value,
                          void* ptr, float opt);
};

// Convenience calls on a record, as a host makes them.
class Effect {
public:
    explicit Effect(vst::AEffect* record) : record_(record) {}
    ~Effect() { close(); }
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    vst::AEffect* record() const { return record_; }
    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0) const;
    std::string text(vst::VstInt32 opcode, vst::VstInt32 index = 0) const;  // string queries
    void setParameter(int index, float value) const;
    float getParameter(int index) const;
    void setSampleRate(float rate) const { dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate); }
    void setBlockSize(int size) const { dispatch(vst::effSetBlockSize, 0, size); }
    void resume() const { dispatch(vst::effMainsChanged, 0, 1); }
    void suspend() const { dispatch(vst::effMainsChanged, 0, 0); }
    void setProgram(int index) const { dispatch(vst::effSetProgram, 0, index); }
    // Processes n frames of two channels (separate buffers), replacing.
    void processReplacing(const float* inL, const float* inR, float* outL, float* outR, int n) const;
    void processAccumulating(const float* inL, const float* inR, float* outL, float* outR, int n) const;
    // effClose; the record is gone afterwards. Answers the dispatcher's reply.
    vst::VstIntPtr close();

private:
    vst::AEffect* record_;
};

}  // namespace trv4host
