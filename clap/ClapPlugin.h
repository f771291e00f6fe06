// ClapPlugin: the plug-in as a CLAP host sees it. It owns one plug-in object
// of the VST 2 build (the same object, engine, programs and parameter texts)
// and drives it through its class-layer interface, answering that object's
// host callbacks itself: time information from the CLAP transport, the
// sample rate and block size it was activated with. It makes the editor
// glue with itself as the editor's host, so that the user's edits and
// gestures become CLAP output events.
//
// Parameter events are applied sample-accurately: a block is cut at every
// event's frame, and at the largest block the host announced.
//
// Threads, as the interface defines them: main thread for everything but
// process (audio thread) and params.flush (audio thread while processing,
// main thread otherwise). Debug builds assert them (ThreadCheck.h). The
// plug-in object itself keeps its own rules (no locks; shared values are
// single atomics).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "clap/ClapExtensions.h"
#include "clap/EditEventQueue.h"
#include "clap/TestPortExtension.h"
#include "clap/ThreadCheck.h"
#include "editor/EditorHost.h"
#include "vst/AudioEffectX.h"

namespace trv4 {
class EditorGlue;
class ProgramBank;
}  // namespace trv4

namespace trv4clap {

// The plug-in's id, on the maker's own domain; never to change.
constexpr char kPluginId[] = "example.tolvmark.trv-4";

class ClapPlugin final : public trv4::EditorHost {
public:
    // Made by the factory for host; the object behind the plug-in is made
    // at init.
    explicit ClapPlugin(const clap::host* host);
    ~ClapPlugin();
    ClapPlugin(const ClapPlugin&) = delete;
    ClapPlugin& operator=(const ClapPlugin&) = delete;

    const clap::plugin* record() const { return &record_; }
    void setDescriptor(const clap::plugin_descriptor* descriptor);
    static ClapPlugin* from(const clap::plugin* plugin) { return static_cast<ClapPlugin*>(plugin->plugin_data); }

    // --- The plug-in record (ClapPlugin.cpp) ---------------------------------
    bool init();
    bool activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames);
    void deactivate();
    bool startProcessing();
    void stopProcessing();
    void reset();
    const void* extension(const char* id) const;
    void onMainThread();

    // --- Processing (ClapProcess.cpp) --------------------------------------------
    int32_t process(const clap::process& process);
    // params.flush: applies in's parameter values, hands out the editor's
    // edits (audio or main thread, never both at once).
    void flush(const clap::input_events* in, const clap::output_events* out);

    // --- Parameters (ClapParams.cpp) ---------------------------------------------
    static const clap::plugin_params kParams;
    bool parameterInfo(uint32_t index, clap::param_info& info) const;

    // --- State (ClapState.cpp) ------------------------------------------------------
    static const clap::plugin_state kState;
    bool saveState(const clap::ostream& stream) const;
    bool loadState(const clap::istream& stream);

    // --- Programs (ClapPresets.cpp) --------------------------------------------------
    static const clap::plugin_preset_load kPresetLoad;
    bool loadPreset(uint32_t kind, const char* location, const char* key);

    // --- Editor (ClapGui.cpp) ---------------------------------------------------------
    static const clap::plugin_gui kGui;
    static const clap::plugin_timer_support kTimer;
    static const clap::plugin_posix_fd_support kPosixFd;
    static const plugin_editor_test_port kTestPort;
    bool guiCreate(const char* api, bool floating);
    void guiDestroy();
    bool guiSize(uint32_t& width, uint32_t& height) const;
    bool guiSetScale(double scale);
    bool guiSetParent(const clap::window& window);
    bool guiShow();
    bool guiHide();
    void guiIdle();
    // The editor glue (the test port is reached through it).
    trv4::EditorGlue* editorGlue() const { return glue_.get(); }

    // --- EditorHost: the editor's calls (main thread) ------------------------------
    float parameterValue(int index) const override;
    void setParameterAutomated(int index, float value) override;
    void beginEdit(int index) override;
    void endEdit(int index) override;
    float meterLevel() const override;
    double hostTempo() const override;
    // The host's gui request_resize; false without the host's gui extension.
    bool requestEditorSize(int width, int height) override;

    vst::AudioEffectX& effect() const { return *effect_; }
    double sampleRate() const { return sampleRate_; }

private:
    // The object's host callback: version, time information, sample rate,
    // block size; the editor's automation reaches us as EditorHost instead.
    static vst::VstIntPtr VST_CALL audioMaster(vst::AEffect* record, vst::VstInt32 opcode, vst::VstInt32 index,
                                               vst::VstIntPtr value, void* ptr, float opt);
    vst::VstIntPtr answer(vst::VstInt32 opcode);

    // Processing helpers (ClapProcess.cpp).
    void applyEvent(const clap::event_header& event);
    void setTransport(const clap::event_transport* transport);
    void processSpan(float** in, float** out, uint32_t offset, uint32_t frames);
    void pushEdits(const clap::output_events* out);
    void queueEdit(const EditEvent& event);
    // Tells the editor and the host that values changed behind their backs.
    void valuesChanged();
    template <typename T>
    const T* hostExtension(const char* id) const;
    void logError(const char* message) const;

    clap::plugin record_{};
    const clap::host* host_;
    ThreadCheck threads_;
    std::unique_ptr<vst::AudioEffectX> effect_;
    trv4::EditorHost* pluginEditorHost_ = nullptr;  // the object's meter and tempo
    trv4::ProgramBank* bank_ = nullptr;
    std::unique_ptr<trv4::EditorGlue> glue_;

    const clap::host_params* hostParams_ = nullptr;
    const clap::host_state* hostState_ = nullptr;
    const clap::host_gui* hostGui_ = nullptr;
    const clap::host_timer_support* hostTimer_ = nullptr;
    const clap::host_posix_fd_support* hostFd_ = nullptr;
    const clap::host_preset_load* hostPresetLoad_ = nullptr;
    const clap::host_log* hostLog_ = nullptr;

    bool active_ = false;
    std::atomic<bool> processing_{false};
    double sampleRate_ = 44100;
    uint32_t maxFrames_ = 0;

    // Time information for the span being processed; timeValid_ false
    // answers "no time information" as a host without a transport does.
    vst::VstTimeInfo timeInfo_{};
    bool timeValid_ = false;
    double transportSamplePos_ = 0;  // song position at frame 0 of the block

    EditEventQueue edits_;

    // Editor state (main thread).
    bool guiCreated_ = false;
    bool guiOpen_ = false;
    clap::id timerId_ = clap::kInvalidId;
    int eventFd_ = -1;  // the editor's X connection, registered with the host
};

}  // namespace trv4clap
