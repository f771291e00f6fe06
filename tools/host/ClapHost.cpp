#include "tools/host/ClapHost.h"

#include <algorithm>
#include <cstring>

#if !defined(_WIN32)
#include <poll.h>
#endif

#include "ProductInfo.h"
#include "tools/host/AudioCall.h"
#include "tools/host/SharedLibrary.h"

namespace trv4host {

namespace {

// The preset names a discovery provider reports for the plug-in's own location.
struct PresetCollector {
    std::vector<ClapModule::Preset>* presets;
    bool pluginLocation = false;
};

bool CLAP_CALL declareLocation(const clap::preset_discovery_indexer* indexer,
                               const clap::preset_discovery_location* location) {
    if (location && location->kind == clap::kPresetLocationPlugin)
        static_cast<PresetCollector*>(indexer->indexer_data)->pluginLocation = true;
    return true;
}
bool CLAP_CALL declareFiletype(const clap::preset_discovery_indexer*, const clap::preset_discovery_filetype*) {
    return true;
}
bool CLAP_CALL declareSoundpack(const clap::preset_discovery_indexer*, const clap::preset_discovery_soundpack*) {
    return true;
}
const void* CLAP_CALL indexerExtension(const clap::preset_discovery_indexer*, const char*) { return nullptr; }

bool CLAP_CALL beginPreset(const clap::preset_discovery_metadata_receiver* receiver, const char* name,
                           const char* key) {
    static_cast<PresetCollector*>(receiver->receiver_data)->presets->push_back({name ? name : "", key ? key : ""});
    return true;
}

}  // namespace

std::unique_ptr<ClapModule> ClapModule::Load(const std::string& path, std::string& error) {
    std::unique_ptr<ClapModule> module(new ClapModule());
    module->handle_ = openLibrary(path, error);
    if (!module->handle_) return nullptr;
    module->entry_ = static_cast<const clap::plugin_entry*>(findSymbol(module->handle_, "clap_entry"));
    if (!module->entry_) {
        error = path + " is not a CLAP plug-in (no clap_entry export)";
        return nullptr;
    }
    if (!clap::isCompatible(module->entry_->clap_version) || !module->entry_->init || !module->entry_->get_factory) {
        error = path + ": its clap_entry is of an incompatible interface version";
        module->entry_ = nullptr;
        return nullptr;
    }
    if (!module->entry_->init(path.c_str())) {
        error = path + ": the entry's init failed";
        module->entry_ = nullptr;
        return nullptr;
    }
    module->factory_ = static_cast<const clap::plugin_factory*>(module->entry_->get_factory(clap::kPluginFactoryId));
    if (!module->factory_ || module->factory_->get_plugin_count(module->factory_) < 1 ||
        !(module->descriptor_ = module->factory_->get_plugin_descriptor(module->factory_, 0))) {
        error = path + ": the library offers no plug-in";
        return nullptr;
    }
    module->discoverPresets();
    return module;
}

void ClapModule::discoverPresets() {
    auto* factory =
        static_cast<const clap::preset_discovery_factory*>(entry_->get_factory(clap::kPresetDiscoveryFactoryId));
    if (!factory || factory->count(factory) < 1) return;
    PresetCollector collector{&presets_};
    clap::preset_discovery_indexer indexer{
        clap::kVersion,  "trv4",           trv4::product::kVendor, "", "1", &collector, declareFiletype,
        declareLocation, declareSoundpack, indexerExtension};
    const clap::preset_discovery_provider_descriptor* descriptor = factory->get_descriptor(factory, 0);
    const clap::preset_discovery_provider* provider =
        descriptor ? factory->create(factory, &indexer, descriptor->id) : nullptr;
    if (!provider) return;
    if (provider->init(provider) && collector.pluginLocation) {
        clap::preset_discovery_metadata_receiver receiver{};
        receiver.receiver_data = &collector;
        receiver.begin_preset = beginPreset;
        // The other calls only describe the preset; a receiver must still
        // offer them.
        receiver.on_error = [](const clap::preset_discovery_metadata_receiver*, int32_t, const char*) {};
        receiver.add_plugin_id = [](const clap::preset_discovery_metadata_receiver*, const clap::universal_plugin_id*) {
        };
        receiver.set_soundpack_id = [](const clap::preset_discovery_metadata_receiver*, const char*) {};
        receiver.set_flags = [](const clap::preset_discovery_metadata_receiver*, uint32_t) {};
        receiver.add_creator = [](const clap::preset_discovery_metadata_receiver*, const char*) {};
        receiver.set_description = [](const clap::preset_discovery_metadata_receiver*, const char*) {};
        receiver.set_timestamps = [](const clap::preset_discovery_metadata_receiver*, clap::timestamp,
                                     clap::timestamp) {};
        receiver.add_feature = [](const clap::preset_discovery_metadata_receiver*, const char*) {};
        receiver.add_extra_info = [](const clap::preset_discovery_metadata_receiver*, const char*, const char*) {};
        provider->get_metadata(provider, clap::kPresetLocationPlugin, nullptr, &receiver);
    }
    provider->destroy(provider);
}

ClapModule::~ClapModule() {
    if (!handle_) return;
    if (entry_ && entry_->deinit) entry_->deinit();
    closeLibrary(handle_);
}

// --- The host's side of the interface ---------------------------------------------

struct ClapHostCalls {
    static ClapInstance& of(const clap::host* host) { return *static_cast<ClapInstance*>(host->host_data); }

    static const void* CLAP_CALL extension(const clap::host* host, const char* id);
    static void CLAP_CALL requestRestart(const clap::host* host) { ++of(host).restartRequests; }
    static void CLAP_CALL requestProcess(const clap::host*) {}
    static void CLAP_CALL requestCallback(const clap::host* host) { ++of(host).callbackRequests; }

    static bool CLAP_CALL isMainThread(const clap::host* host) { return of(host).onMainThread(); }
    static bool CLAP_CALL isAudioThread(const clap::host*) { return ClapInstance::onAudioThread(); }

    static void CLAP_CALL rescan(const clap::host* host, uint32_t) {
        of(host).expectMainThread("params.rescan");
        ++of(host).rescans;
    }
    static void CLAP_CALL clear(const clap::host* host, clap::id, uint32_t) {
        of(host).expectMainThread("params.clear");
    }
    static void CLAP_CALL requestFlush(const clap::host* host) { ++of(host).flushRequests; }
    static void CLAP_CALL markDirty(const clap::host* host) { of(host).expectMainThread("state.mark_dirty"); }
    static void CLAP_CALL logLine(const clap::host* host, int32_t, const char* message) {
        of(host).log.push_back(message ? message : "");
    }
    static bool CLAP_CALL registerTimer(const clap::host* host, uint32_t, clap::id* id) {
        ClapInstance& self = of(host);
        self.expectMainThread("timer_support.register_timer");
        if (!id) return false;
        *id = self.nextTimer_++;
        self.timers.push_back(*id);
        return true;
    }
    static bool CLAP_CALL unregisterTimer(const clap::host* host, clap::id id) {
        ClapInstance& self = of(host);
        self.expectMainThread("timer_support.unregister_timer");
        auto it = std::find(self.timers.begin(), self.timers.end(), id);
        if (it == self.timers.end()) return false;
        self.timers.erase(it);
        return true;
    }
    static bool CLAP_CALL registerFd(const clap::host* host, int fd, uint32_t flags) {
        ClapInstance& self = of(host);
        self.expectMainThread("posix_fd_support.register_fd");
        // Reading only: the editor's connection is all a plug-in of ours
        // watches.
        if (fd < 0 || flags != clap::kFdRead || std::count(self.fds.begin(), self.fds.end(), fd)) return false;
        self.fds.push_back(fd);
        return true;
    }
    static bool CLAP_CALL modifyFd(const clap::host* host, int fd, uint32_t flags) {
        ClapInstance& self = of(host);
        self.expectMainThread("posix_fd_support.modify_fd");
        return flags == clap::kFdRead && std::count(self.fds.begin(), self.fds.end(), fd);
    }
    static bool CLAP_CALL unregisterFd(const clap::host* host, int fd) {
        ClapInstance& self = of(host);
        self.expectMainThread("posix_fd_support.unregister_fd");
        auto it = std::find(self.fds.begin(), self.fds.end(), fd);
        if (it == self.fds.end()) return false;
        self.fds.erase(it);
        return true;
    }
    static void CLAP_CALL presetError(const clap::host* host, uint32_t, const char*, const char* key, int32_t,
                                      const char* message) {
        of(host).presetErrors.push_back(std::string(key ? key : "") + ": " + (message ? message : ""));
    }
    static void CLAP_CALL presetLoaded(const clap::host* host, uint32_t, const char*, const char*) {
        ++of(host).presetsLoaded;
    }
    static void CLAP_CALL guiHintsChanged(const clap::host*) {}
    static bool CLAP_CALL guiRequestResize(const clap::host*, uint32_t, uint32_t) { return false; }
    static bool CLAP_CALL guiRequestShow(const clap::host*) { return false; }
    static bool CLAP_CALL guiRequestHide(const clap::host*) { return false; }
    static void CLAP_CALL guiClosed(const clap::host*, bool) {}

    // Input event list: a vector of header pointers.
    static uint32_t CLAP_CALL inSize(const clap::input_events* list) {
        return static_cast<uint32_t>(static_cast<std::vector<const clap::event_header*>*>(list->ctx)->size());
    }
    static const clap::event_header* CLAP_CALL inGet(const clap::input_events* list, uint32_t index) {
        auto& events = *static_cast<std::vector<const clap::event_header*>*>(list->ctx);
        return index < events.size() ? events[index] : nullptr;
    }
    static bool CLAP_CALL outPush(const clap::output_events* list, const clap::event_header* event) {
        auto& self = *static_cast<ClapInstance*>(list->ctx);
        if (!event || event->space_id != clap::kCoreEventSpace) return false;
        if (event->type == clap::kEventParamValue && event->size >= sizeof(clap::event_param_value)) {
            const auto& e = reinterpret_cast<const clap::event_param_value&>(*event);
            self.output_.push_back({event->type, e.param_id, e.value});
        } else if ((event->type == clap::kEventParamGestureBegin || event->type == clap::kEventParamGestureEnd) &&
                   event->size >= sizeof(clap::event_param_gesture)) {
            self.output_.push_back(
                {event->type, reinterpret_cast<const clap::event_param_gesture&>(*event).param_id, 0.0});
        }
        return true;
    }
};

namespace {

const clap::host_thread_check kThreadCheck{ClapHostCalls::isMainThread, ClapHostCalls::isAudioThread};
const clap::host_params kHostParams{ClapHostCalls::rescan, ClapHostCalls::clear, ClapHostCalls::requestFlush};
const clap::host_state kHostState{ClapHostCalls::markDirty};
const clap::host_log kHostLog{ClapHostCalls::logLine};
const clap::host_timer_support kHostTimer{ClapHostCalls::registerTimer, ClapHostCalls::unregisterTimer};
const clap::host_posix_fd_support kHostFd{ClapHostCalls::registerFd, ClapHostCalls::modifyFd,
                                          ClapHostCalls::unregisterFd};
const clap::host_preset_load kHostPresetLoad{ClapHostCalls::presetError, ClapHostCalls::presetLoaded};
const clap::host_gui kHostGui{ClapHostCalls::guiHintsChanged, ClapHostCalls::guiRequestResize,
                              ClapHostCalls::guiRequestShow, ClapHostCalls::guiRequestHide, ClapHostCalls::guiClosed};

std::vector<clap::event_param_value> valueEvents(const std::vector<ClapParamChange>& changes) {
    std::vector<clap::event_param_value> events;
    for (const ClapParamChange& change : changes) {
        clap::event_param_value e{};
        e.header = {sizeof e, change.frame, clap::kCoreEventSpace, clap::kEventParamValue, 0};
        e.param_id = change.param;
        e.note_id = -1;
        e.port_index = -1;
        e.channel = -1;
        e.key = -1;
        e.value = change.value;
        events.push_back(e);
    }
    return events;
}

}  // namespace

const void* CLAP_CALL ClapHostCalls::extension(const clap::host*, const char* id) {
    if (!id) return nullptr;
    if (!std::strcmp(id, clap::kExtThreadCheck)) return &kThreadCheck;
    if (!std::strcmp(id, clap::kExtParams)) return &kHostParams;
    if (!std::strcmp(id, clap::kExtState)) return &kHostState;
    if (!std::strcmp(id, clap::kExtLog)) return &kHostLog;
    if (!std::strcmp(id, clap::kExtTimerSupport)) return &kHostTimer;
#if !defined(_WIN32)
    if (!std::strcmp(id, clap::kExtPosixFdSupport)) return &kHostFd;
#endif
    if (!std::strcmp(id, clap::kExtPresetLoad)) return &kHostPresetLoad;
    if (!std::strcmp(id, clap::kExtGui)) return &kHostGui;
    return nullptr;
}

std::unique_ptr<ClapInstance> ClapInstance::Create(const ClapModule& module, std::string& error) {
    std::unique_ptr<ClapInstance> self(new ClapInstance());
    self->host_ = {clap::kVersion,
                   self.get(),
                   "trv4",
                   trv4::product::kVendor,
                   trv4::product::kAddress,
                   trv4::product::kVersionText,
                   ClapHostCalls::extension,
                   ClapHostCalls::requestRestart,
                   ClapHostCalls::requestProcess,
                   ClapHostCalls::requestCallback};
    const clap::plugin_factory& factory = module.factory();
    self->plugin_ = factory.create_plugin(&factory, &self->host_, module.descriptor().id);
    if (!self->plugin_) {
        error = std::string("the factory made no plug-in for ") + module.descriptor().id;
        return nullptr;
    }
    if (!self->plugin_->init(self->plugin_)) {
        self->plugin_->destroy(self->plugin_);
        self->plugin_ = nullptr;
        error = "the plug-in's init failed";
        return nullptr;
    }
    self->params_ = static_cast<const clap::plugin_params*>(self->extension(clap::kExtParams));
    self->state_ = static_cast<const clap::plugin_state*>(self->extension(clap::kExtState));
    self->gui_ = static_cast<const clap::plugin_gui*>(self->extension(clap::kExtGui));
    self->presetLoad_ = static_cast<const clap::plugin_preset_load*>(self->extension(clap::kExtPresetLoad));
    self->timerSupport_ = static_cast<const clap::plugin_timer_support*>(self->extension(clap::kExtTimerSupport));
    self->fdSupport_ = static_cast<const clap::plugin_posix_fd_support*>(self->extension(clap::kExtPosixFdSupport));
    return self;
}

ClapInstance::~ClapInstance() {
    if (!plugin_) return;
    stopProcessing();
    deactivate();
    plugin_->destroy(plugin_);
}

bool ClapInstance::activate(double sampleRate, uint32_t maxFrames) {
    if (active_) return true;
    active_ = plugin_->activate(plugin_, sampleRate, 1, maxFrames);
    if (active_) {
        sampleRate_ = sampleRate;
        maxFrames_ = maxFrames;
    }
    return active_;
}

void ClapInstance::deactivate() {
    if (!active_) return;
    plugin_->deactivate(plugin_);
    active_ = false;
}

bool ClapInstance::startProcessing() {
    if (processing_ || !active_) return processing_;
    AudioCall audio;
    processing_ = plugin_->start_processing(plugin_);
    return processing_;
}

void ClapInstance::stopProcessing() {
    if (!processing_) return;
    {
        AudioCall audio;
        plugin_->stop_processing(plugin_);
    }
    processing_ = false;
}

void ClapInstance::reset() {
    AudioCall audio;
    plugin_->reset(plugin_);
}

int32_t ClapInstance::process(const float* inL, const float* inR, float* outL, float* outR, uint32_t n,
                              const std::vector<ClapParamChange>& changes, const clap::event_transport* transport) {
    std::vector<clap::event_param_value> events = valueEvents(changes);
    std::vector<const clap::event_header*> headers;
    for (const auto& e : events) headers.push_back(&e.header);
    clap::input_events in{&headers, ClapHostCalls::inSize, ClapHostCalls::inGet};
    clap::output_events out{this, ClapHostCalls::outPush};

    float* inputs[2] = {const_cast<float*>(inL), const_cast<float*>(inR)};
    float* outputs[2] = {outL, outR};
    clap::audio_buffer input{inputs, nullptr, 2, 0, 0};
    clap::audio_buffer output{outputs, nullptr, 2, 0, 0};
    clap::process p{-1, n, transport, &input, &output, 1, 1, &in, &out};
    AudioCall audio;
    return plugin_->process(plugin_, &p);
}

void ClapInstance::flush(const std::vector<ClapParamChange>& changes) {
    if (!params_ || !params_->flush) return;
    std::vector<clap::event_param_value> events = valueEvents(changes);
    std::vector<const clap::event_header*> headers;
    for (const auto& e : events) headers.push_back(&e.header);
    clap::input_events in{&headers, ClapHostCalls::inSize, ClapHostCalls::inGet};
    clap::output_events out{this, ClapHostCalls::outPush};
    // A flush while processing belongs to the audio thread.
    if (processing_) {
        AudioCall audio;
        params_->flush(plugin_, &in, &out);
    } else {
        params_->flush(plugin_, &in, &out);
    }
}

uint32_t ClapInstance::parameterCount() const { return params_ ? params_->count(plugin_) : 0; }

bool ClapInstance::parameterInfo(uint32_t index, clap::param_info& info) const {
    return params_ && params_->get_info(plugin_, index, &info);
}

double ClapInstance::value(clap::id param) const {
    double v = 0;
    if (params_) params_->get_value(plugin_, param, &v);
    return v;
}

std::string ClapInstance::valueText(clap::id param, double value) const {
    char text[256] = {};
    if (!params_ || !params_->value_to_text(plugin_, param, value, text, sizeof text)) return {};
    text[sizeof text - 1] = 0;
    return text;
}

namespace {

struct ReadCursor {
    const std::vector<uint8_t>* bytes;
    size_t at;
    size_t chunk;
};

int64_t CLAP_CALL streamRead(const clap::istream* stream, void* buffer, uint64_t size) {
    auto& c = *static_cast<ReadCursor*>(stream->ctx);
    const size_t n = std::min<uint64_t>({size, c.chunk, c.bytes->size() - c.at});
    // An empty stream has no data pointer to copy from.
    if (n > 0) std::memcpy(buffer, c.bytes->data() + c.at, n);
    c.at += n;
    return static_cast<int64_t>(n);
}

int64_t CLAP_CALL streamWrite(const clap::ostream* stream, const void* buffer, uint64_t size) {
    auto& bytes = *static_cast<std::vector<uint8_t>*>(stream->ctx);
    const auto* p = static_cast<const uint8_t*>(buffer);
    // Takes at most 1000 bytes a call, as hosts may.
    const size_t n = std::min<uint64_t>(size, 1000);
    bytes.insert(bytes.end(), p, p + n);
    return static_cast<int64_t>(n);
}

}  // namespace

bool ClapInstance::saveState(std::vector<uint8_t>& bytes) const {
    bytes.clear();
    if (!state_) return false;
    clap::ostream stream{&bytes, streamWrite};
    return state_->save(plugin_, &stream);
}

bool ClapInstance::loadState(const std::vector<uint8_t>& bytes, size_t chunk) {
    if (!state_) return false;
    ReadCursor cursor{&bytes, 0, std::max<size_t>(chunk, 1)};
    clap::istream stream{&cursor, streamRead};
    return state_->load(plugin_, &stream);
}

void ClapInstance::fireTimers() {
    if (!timerSupport_) return;
    const std::vector<clap::id> now = timers;
    for (clap::id id : now) timerSupport_->on_timer(plugin_, id);
}

void ClapInstance::idle() {
#if !defined(_WIN32)
    if (fdSupport_) {
        const std::vector<int> now = fds;
        for (int fd : now) {
            pollfd ready{fd, POLLIN, 0};
            if (poll(&ready, 1, 0) == 1 && (ready.revents & POLLIN)) fdSupport_->on_fd(plugin_, fd, clap::kFdRead);
        }
    }
#endif
    fireTimers();
}

}  // namespace trv4host
