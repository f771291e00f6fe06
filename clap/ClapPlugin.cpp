// The plug-in record's life cycle, the extension table, the object's host
// callback and the editor's calls.
#include "clap/ClapPlugin.h"

#include <cmath>
#include <cstring>

#include "clap/TestPortExtension.h"
#include "editor/EditorFactory.h"
#include "engine/ParamIndex.h"
#include "plugin/ProgramBank.h"
#include "vst/VstEntry.h"

namespace trv4clap {

namespace {

// Trampolines of the plug-in record: no exception may cross into the host.
bool CLAP_CALL pluginInit(const clap::plugin* p) { return ClapPlugin::from(p)->init(); }
void CLAP_CALL pluginDestroy(const clap::plugin* p) { delete ClapPlugin::from(p); }
bool CLAP_CALL pluginActivate(const clap::plugin* p, double rate, uint32_t minFrames, uint32_t maxFrames) {
    return ClapPlugin::from(p)->activate(rate, minFrames, maxFrames);
}
void CLAP_CALL pluginDeactivate(const clap::plugin* p) { ClapPlugin::from(p)->deactivate(); }
bool CLAP_CALL pluginStartProcessing(const clap::plugin* p) { return ClapPlugin::from(p)->startProcessing(); }
void CLAP_CALL pluginStopProcessing(const clap::plugin* p) { ClapPlugin::from(p)->stopProcessing(); }
void CLAP_CALL pluginReset(const clap::plugin* p) { ClapPlugin::from(p)->reset(); }
int32_t CLAP_CALL pluginProcess(const clap::plugin* p, const clap::process* process) {
    return process ? ClapPlugin::from(p)->process(*process) : clap::kProcessError;
}
const void* CLAP_CALL pluginExtension(const clap::plugin* p, const char* id) {
    return id ? ClapPlugin::from(p)->extension(id) : nullptr;
}
void CLAP_CALL pluginOnMainThread(const clap::plugin* p) { ClapPlugin::from(p)->onMainThread(); }

// One stereo port each way, which may share its buffers.
constexpr clap::id kInputPortId = 0;
constexpr clap::id kOutputPortId = 1;

uint32_t CLAP_CALL audioPortCount(const clap::plugin*, bool) { return 1; }
bool CLAP_CALL audioPortGet(const clap::plugin*, uint32_t index, bool isInput, clap::audio_port_info* info) {
    if (index != 0 || !info) return false;
    *info = {};
    info->id = isInput ? kInputPortId : kOutputPortId;
    std::strcpy(info->name, isInput ? "Input" : "Output");
    info->flags = clap::kAudioPortIsMain;
    info->channel_count = 2;
    info->port_type = clap::kPortStereo;
    info->in_place_pair = isInput ? kOutputPortId : kInputPortId;
    return true;
}
const clap::plugin_audio_ports kAudioPorts{audioPortCount, audioPortGet};

uint32_t CLAP_CALL latencyGet(const clap::plugin*) { return 0; }
const clap::plugin_frames_getter kLatency{latencyGet};

// The ring-out a user expects: the longest delay the modulation reaches,
// once more for every repeat until the feedback has fallen by 60 dB, capped
// at a minute; the filters and the limiter add nothing audible.
uint32_t CLAP_CALL tailGet(const clap::plugin* p) {
    const vst::AudioEffectX& effect = ClapPlugin::from(p)->effect();
    auto& e = const_cast<vst::AudioEffectX&>(effect);
    const double delaySeconds = 0.05e-3 * std::pow(12000.0, e.getParameter(trv4::kDelay));
    const double longest = delaySeconds * (1.0 + e.getParameter(trv4::kDepth));
    const double gain = std::fabs((e.getParameter(trv4::kFeedback) - 0.5) * 1.98);
    const double repeats = gain > 1e-3 ? std::log(1e-3) / std::log(gain) : 0.0;
    const double seconds = std::min(60.0, longest * (1.0 + repeats) + 0.05);
    return static_cast<uint32_t>(std::ceil(seconds * ClapPlugin::from(p)->sampleRate()));
}
const clap::plugin_frames_getter kTail{tailGet};

}  // namespace

ClapPlugin::ClapPlugin(const clap::host* host) : host_(host) {
    record_.plugin_data = this;
    record_.init = pluginInit;
    record_.destroy = pluginDestroy;
    record_.activate = pluginActivate;
    record_.deactivate = pluginDeactivate;
    record_.start_processing = pluginStartProcessing;
    record_.stop_processing = pluginStopProcessing;
    record_.reset = pluginReset;
    record_.process = pluginProcess;
    record_.get_extension = pluginExtension;
    record_.on_main_thread = pluginOnMainThread;
}

ClapPlugin::~ClapPlugin() {
    // The editor first (it reads the object), then the object.
    guiDestroy();
    glue_.reset();
    effect_.reset();
}

void ClapPlugin::setDescriptor(const clap::plugin_descriptor* descriptor) { record_.desc = descriptor; }

template <typename T>
const T* ClapPlugin::hostExtension(const char* id) const {
    return host_->get_extension ? static_cast<const T*>(host_->get_extension(host_, id)) : nullptr;
}

bool ClapPlugin::init() {
    threads_.attach(host_);
    TRV4_CLAP_MAIN_THREAD(threads_);
    if (effect_) return true;
    hostParams_ = hostExtension<clap::host_params>(clap::kExtParams);
    hostState_ = hostExtension<clap::host_state>(clap::kExtState);
    hostGui_ = hostExtension<clap::host_gui>(clap::kExtGui);
    hostTimer_ = hostExtension<clap::host_timer_support>(clap::kExtTimerSupport);
    hostFd_ = hostExtension<clap::host_posix_fd_support>(clap::kExtPosixFdSupport);
    hostPresetLoad_ = hostExtension<clap::host_preset_load>(clap::kExtPresetLoad);
    if (!hostPresetLoad_) hostPresetLoad_ = hostExtension<clap::host_preset_load>(clap::kExtPresetLoadCompat);
    hostLog_ = hostExtension<clap::host_log>(clap::kExtLog);
    try {
        std::unique_ptr<vst::AudioEffect> made(vst::createEffectInstance(&ClapPlugin::audioMaster));
        auto* effect = dynamic_cast<vst::AudioEffectX*>(made.get());
        pluginEditorHost_ = dynamic_cast<trv4::EditorHost*>(made.get());
        bank_ = dynamic_cast<trv4::ProgramBank*>(made.get());
        if (!effect || !pluginEditorHost_ || !bank_) return false;
        effect_.reset(effect);
        made.release();
        effect_->getAeffect()->user = this;
        glue_ = trv4::createPluginEditor(*this, effect_.get());
    } catch (...) {
        // Out of memory: the host is told the plug-in could not start.
        glue_.reset();
        effect_.reset();
        return false;
    }
    return true;
}

bool ClapPlugin::activate(double sampleRate, uint32_t, uint32_t maxFrames) {
    TRV4_CLAP_MAIN_THREAD(threads_);
    if (active_ || !effect_ || !(sampleRate > 0) || maxFrames == 0) return false;
    sampleRate_ = sampleRate;
    maxFrames_ = maxFrames;
    // What a VST 2 host sends before it resumes: rate, block size, resume.
    effect_->setSampleRate(static_cast<float>(sampleRate));
    effect_->setBlockSize(static_cast<vst::VstInt32>(maxFrames));
    effect_->resume();
    active_ = true;
    return true;
}

void ClapPlugin::deactivate() {
    TRV4_CLAP_MAIN_THREAD(threads_);
    if (!active_) return;
    effect_->suspend();
    active_ = false;
}

bool ClapPlugin::startProcessing() {
    TRV4_CLAP_AUDIO_THREAD(threads_);
    if (!active_) return false;
    processing_.store(true, std::memory_order_release);
    return true;
}

void ClapPlugin::stopProcessing() {
    TRV4_CLAP_AUDIO_THREAD(threads_);
    processing_.store(false, std::memory_order_release);
}

void ClapPlugin::reset() {
    TRV4_CLAP_AUDIO_THREAD(threads_);
    if (!active_) return;
    // Cleared buffers and a fresh start, as a VST 2 host gets by switching
    // the plug-in off and on.
    effect_->suspend();
    effect_->resume();
}

const void* ClapPlugin::extension(const char* id) const {
    if (!std::strcmp(id, clap::kExtAudioPorts)) return &kAudioPorts;
    if (!std::strcmp(id, clap::kExtParams)) return &kParams;
    if (!std::strcmp(id, clap::kExtState)) return &kState;
    if (!std::strcmp(id, clap::kExtLatency)) return &kLatency;
    if (!std::strcmp(id, clap::kExtTail)) return &kTail;
    if (!std::strcmp(id, clap::kExtPresetLoad) || !std::strcmp(id, clap::kExtPresetLoadCompat)) return &kPresetLoad;
    if (!std::strcmp(id, clap::kExtGui)) return &kGui;
    if (!std::strcmp(id, clap::kExtTimerSupport)) return &kTimer;
#if !defined(_WIN32)
    if (!std::strcmp(id, clap::kExtPosixFdSupport)) return &kPosixFd;
#endif
    if (!std::strcmp(id, kExtEditorTestPort)) return &kTestPort;
    return nullptr;
}

void ClapPlugin::onMainThread() { TRV4_CLAP_MAIN_THREAD(threads_); }

vst::VstIntPtr VST_CALL ClapPlugin::audioMaster(vst::AEffect* record, vst::VstInt32 opcode, vst::VstInt32,
                                                vst::VstIntPtr, void*, float) {
    // While the object is being made its record is not ours yet: it asks
    // only for the host's texts, and gets none.
    auto* self = record ? static_cast<ClapPlugin*>(record->user) : nullptr;
    if (!self) return opcode == vst::audioMasterVersion ? 2400 : 0;
    return self->answer(opcode);
}

vst::VstIntPtr ClapPlugin::answer(vst::VstInt32 opcode) {
    switch (opcode) {
    case vst::audioMasterVersion: return 2400;
    case vst::audioMasterGetTime:
        // Asked from inside process, for the span being processed.
        return timeValid_ ? reinterpret_cast<vst::VstIntPtr>(&timeInfo_) : 0;
    case vst::audioMasterGetSampleRate: return static_cast<vst::VstIntPtr>(sampleRate_);
    case vst::audioMasterGetBlockSize: return static_cast<vst::VstIntPtr>(maxFrames_);
    default:
        // audioMasterAutomate among them: the editor's edits come as
        // EditorHost calls, and the object makes no others.
        return 0;
    }
}

float ClapPlugin::parameterValue(int index) const { return effect_->getParameter(index); }

void ClapPlugin::setParameterAutomated(int index, float value) {
    TRV4_CLAP_MAIN_THREAD(threads_);
    effect_->setParameter(index, value);
    queueEdit({EditEvent::kValue, static_cast<uint32_t>(index), effect_->getParameter(index)});
}

void ClapPlugin::beginEdit(int index) { queueEdit({EditEvent::kBegin, static_cast<uint32_t>(index), 0}); }

void ClapPlugin::endEdit(int index) { queueEdit({EditEvent::kEnd, static_cast<uint32_t>(index), 0}); }

void ClapPlugin::queueEdit(const EditEvent& event) {
    if (!edits_.push(event)) logError("editor edits dropped: the host does not read them");
    // While processing, process hands them out; otherwise the host is asked
    // for a flush.
    if (!processing_.load(std::memory_order_acquire) && hostParams_ && hostParams_->request_flush)
        hostParams_->request_flush(host_);
}

float ClapPlugin::meterLevel() const { return pluginEditorHost_->meterLevel(); }

double ClapPlugin::hostTempo() const { return pluginEditorHost_->hostTempo(); }

void ClapPlugin::valuesChanged() {
    if (glue_) glue_->postUpdate();
    if (hostParams_ && hostParams_->rescan)
        hostParams_->rescan(host_, clap::kParamRescanValues | clap::kParamRescanText);
}

void ClapPlugin::logError(const char* message) const {
    if (hostLog_ && hostLog_->log) hostLog_->log(host_, clap::kLogError, message);
}

}  // namespace trv4clap
