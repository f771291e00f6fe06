// A small CLAP host: loads a .clap library by path through its clap_entry,
// makes the plug-in it offers and drives it as a host does: activation,
// processing with parameter events at chosen frames and a transport, the
// plug-in's output events, flushes, state streams, presets and the editor.
// It keeps the interface's thread rules itself and records every call the
// plug-in makes into the host from the wrong thread, so that a check can
// fail on it. Used by trv4 (through ClapBridge) and by the tests.
//
// The thread that creates an instance is its main thread. The calls of
// startProcessing, process, stopProcessing (and a flush while processing)
// are made as on the host's audio thread, whichever thread makes them: the
// plug-in's calls into the host from inside them count as audio-thread
// calls, all others as made on the calling thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "clap/ClapExtensions.h"
#include "clap/ClapPresetDiscovery.h"
#include "tools/host/ThreadRules.h"

namespace trv4host {

// The loaded library. Calls the entry's deinit and unloads it when
// destroyed; every instance it made must be destroyed first.
class ClapModule {
public:
    // Null with a one-line reason when the file cannot be loaded, has no
    // clap_entry, its version is incompatible, its init fails or it offers
    // no plug-in.
    static std::unique_ptr<ClapModule> Load(const std::string& path, std::string& error);
    ~ClapModule();

    const clap::plugin_entry& entry() const { return *entry_; }
    const clap::plugin_factory& factory() const { return *factory_; }
    // The first plug-in's descriptor.
    const clap::plugin_descriptor& descriptor() const { return *descriptor_; }
    // The preset names the discovery factory lists for locations inside the
    // plug-in, with their load keys; empty without the factory.
    struct Preset {
        std::string name, key;
    };
    const std::vector<Preset>& presets() const { return presets_; }

private:
    ClapModule() = default;
    void discoverPresets();

    void* handle_ = nullptr;
    const clap::plugin_entry* entry_ = nullptr;
    const clap::plugin_factory* factory_ = nullptr;
    const clap::plugin_descriptor* descriptor_ = nullptr;
    std::vector<Preset> presets_;
};

// A parameter change to send: at frame `frame` of the next block, or at
// once through a flush when not processing.
struct ClapParamChange {
    uint32_t frame;
    clap::id param;
    double value;
};

// An event the plug-in sent the host.
struct ClapOutputEvent {
    uint16_t type;  // clap::kEventParamValue, kEventParamGestureBegin, kEventParamGestureEnd
    clap::id param;
    double value;  // value events only
};

class ClapInstance : public ThreadRules {
public:
    // Creates and initialises the module's first plug-in; null with a reason.
    static std::unique_ptr<ClapInstance> Create(const ClapModule& module, std::string& error);
    // Stops, deactivates and destroys the plug-in as a host does.
    ~ClapInstance();
    ClapInstance(const ClapInstance&) = delete;
    ClapInstance& operator=(const ClapInstance&) = delete;

    const clap::plugin& plugin() const { return *plugin_; }
    const clap::plugin_params* params() const { return params_; }
    const clap::plugin_state* state() const { return state_; }
    const clap::plugin_gui* gui() const { return gui_; }
    const clap::plugin_preset_load* presetLoad() const { return presetLoad_; }
    const void* extension(const char* id) const { return plugin_->get_extension(plugin_, id); }

    // --- Life cycle ----------------------------------------------------------
    bool activate(double sampleRate, uint32_t maxFrames);
    void deactivate();
    bool startProcessing();
    void stopProcessing();
    // reset, as on the audio thread.
    void reset();
    bool active() const { return active_; }
    bool processing() const { return processing_; }
    double sampleRate() const { return sampleRate_; }
    uint32_t maxFrames() const { return maxFrames_; }

    // --- Audio ---------------------------------------------------------------
    // Processes n frames of two separate channels with the changes (sorted by
    // frame) and, when transport is not null, that transport. The output
    // events land in output(). Answers the plug-in's status.
    int32_t process(const float* inL, const float* inR, float* outL, float* outR, uint32_t n,
                    const std::vector<ClapParamChange>& changes, const clap::event_transport* transport);
    // params.flush with the changes (frames ignored); output events as above.
    void flush(const std::vector<ClapParamChange>& changes);
    std::vector<ClapOutputEvent>& output() { return output_; }

    // --- Parameters ------------------------------------------------------------
    uint32_t parameterCount() const;
    bool parameterInfo(uint32_t index, clap::param_info& info) const;
    double value(clap::id param) const;
    std::string valueText(clap::id param, double value) const;

    // --- State -------------------------------------------------------------------
    // The plug-in's state; false when it has none or refuses.
    bool saveState(std::vector<uint8_t>& bytes) const;
    // Loads bytes, the stream handing out at most chunk bytes a read.
    bool loadState(const std::vector<uint8_t>& bytes, size_t chunk = SIZE_MAX);

    // --- What the plug-in asked of the host --------------------------------------
    int flushRequests = 0;
    int rescans = 0;
    int restartRequests = 0;
    int callbackRequests = 0;
    std::vector<std::string> log;  // the plug-in's log lines
    std::vector<clap::id> timers;  // registered and not unregistered
    std::vector<int> fds;          // file descriptors registered for reading (POSIX)
    std::vector<std::string> presetErrors;
    int presetsLoaded = 0;
    // Runs the plug-in's timer handler for every registered timer.
    void fireTimers();
    // The host's idle step: the plug-in's fd handler for every registered
    // descriptor that is readable now (never waiting), then the timers.
    void idle();

private:
    ClapInstance() : ThreadRules("main thread") {}

    friend struct ClapHostCalls;
    clap::host host_{};
    const clap::plugin* plugin_ = nullptr;
    const clap::plugin_params* params_ = nullptr;
    const clap::plugin_state* state_ = nullptr;
    const clap::plugin_gui* gui_ = nullptr;
    const clap::plugin_preset_load* presetLoad_ = nullptr;
    const clap::plugin_timer_support* timerSupport_ = nullptr;
    const clap::plugin_posix_fd_support* fdSupport_ = nullptr;
    bool active_ = false;
    bool processing_ = false;
    double sampleRate_ = 0;
    uint32_t maxFrames_ = 0;
    clap::id nextTimer_ = 1;
    std::vector<ClapOutputEvent> output_;
};

}  // namespace trv4host
