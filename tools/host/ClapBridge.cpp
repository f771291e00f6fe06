#include "tools/host/ClapBridge.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "clap/TestPortExtension.h"
#include "editor/EditorFactory.h"
#include "editor/EditorTestPort.h"
#include "plugin/ReplaySeed.h"

namespace trv4host {

namespace {

// The VST 2 time information of the host as a CLAP transport.
clap::event_transport transportOf(const vst::VstTimeInfo& info, double sampleRate) {
    clap::event_transport t{};
    t.header = {sizeof t, 0, clap::kCoreEventSpace, clap::kEventTransport, 0};
    if (info.flags & vst::kVstTempoValid) t.flags |= clap::kTransportHasTempo;
    if (info.flags & vst::kVstTimeSigValid) t.flags |= clap::kTransportHasTimeSignature;
    if (info.flags & vst::kVstPpqPosValid) t.flags |= clap::kTransportHasBeatsTimeline;
    if (info.flags & vst::kVstTransportPlaying) t.flags |= clap::kTransportIsPlaying;
    if (info.flags & vst::kVstTransportRecording) t.flags |= clap::kTransportIsRecording;
    t.flags |= clap::kTransportHasSecondsTimeline;
    const double rate = info.sampleRate > 0 ? info.sampleRate : sampleRate;
    t.song_pos_seconds = std::llround(info.samplePos / rate * clap::kSecTimeFactor);
    t.song_pos_beats = std::llround(info.ppqPos * clap::kBeatTimeFactor);
    t.bar_start = std::llround(info.barStartPos * clap::kBeatTimeFactor);
    t.tempo = info.tempo;
    t.tsig_num = static_cast<uint16_t>(info.timeSigNumerator);
    t.tsig_denom = static_cast<uint16_t>(info.timeSigDenominator);
    return t;
}

}  // namespace

vst::AEffect* ClapBridge::create(const ClapModule& module, vst::AudioMasterCallback audioMaster, std::string& error) {
    std::unique_ptr<ClapBridge> bridge(new ClapBridge(audioMaster));
    bridge->module_ = &module;
    bridge->instance_ = ClapInstance::Create(module, error);
    if (!bridge->instance_) return nullptr;
    for (uint32_t i = 0; i < bridge->instance_->parameterCount(); ++i) {
        clap::param_info info{};
        if (bridge->instance_->parameterInfo(i, info)) bridge->params_.push_back(info);
    }
    for (const ClapModule::Preset& preset : module.presets()) bridge->programNames_.push_back(preset.name);
    bridge->publish(static_cast<int>(bridge->params_.size()), static_cast<int>(bridge->programNames_.size()),
                    bridge->instance_->gui() != nullptr);
    return &bridge.release()->record_;
}

ClapBridge* ClapBridge::of(vst::AEffect* record) { return dynamic_cast<ClapBridge*>(BridgedEffect::of(record)); }

clap::param_info ClapBridge::info(int index) const {
    if (index < 0 || index >= static_cast<int>(params_.size())) return {};
    return params_[static_cast<size_t>(index)];
}

std::vector<ClapParamChange> ClapBridge::events(const Change* changes, size_t count) const {
    std::vector<ClapParamChange> out;
    for (size_t i = 0; i < count; ++i) {
        const clap::param_info p = info(changes[i].index);
        out.push_back({changes[i].frame, p.id, p.min_value + changes[i].value * (p.max_value - p.min_value)});
    }
    return out;
}

void ClapBridge::setParameter(int index, float value) {
    if (index < 0 || index >= static_cast<int>(params_.size())) return;
    queueSetting(index, value);
    // Between blocks the change goes through a flush at once; while the
    // plug-in processes, it goes with the next block.
    if (!instance_->processing()) {
        instance_->flush(events(pending_.data(), pending_.size()));
        pending_.clear();
    }
}

float ClapBridge::getParameter(int index) {
    const clap::param_info p = info(index);
    if (p.max_value <= p.min_value) return 0.0f;
    return static_cast<float>((instance_->value(p.id) - p.min_value) / (p.max_value - p.min_value));
}

bool ClapBridge::selectProgram(int program) {
    if (program < 0 || program >= static_cast<int>(module_->presets().size()) || !instance_->presetLoad()) return false;
    const std::string& key = module_->presets()[static_cast<size_t>(program)].key;
    if (!instance_->presetLoad()->from_location(&instance_->plugin(), clap::kPresetLocationPlugin, nullptr,
                                                key.c_str()))
        return false;
    return true;
}

bool ClapBridge::openEditor(void* parent) {
    const clap::plugin_gui* gui = instance_->gui();
    if (!gui || editorOpen_) return editorOpen_;
#if defined(_WIN32)
    const char* api = clap::kWindowApiWin32;
#else
    const char* api = clap::kWindowApiX11;
#endif
    if (!gui->create(&instance_->plugin(), api, false)) return false;
    clap::window window{};
    window.api = api;
#if defined(_WIN32)
    window.win32 = parent;
#else
    window.x11 = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parent));
#endif
    if (!gui->set_parent(&instance_->plugin(), &window)) {
        gui->destroy(&instance_->plugin());
        return false;
    }
    gui->show(&instance_->plugin());
    editorOpen_ = true;
    return true;
}

vst::VstIntPtr ClapBridge::dispatchFormat(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                          float opt) {
    const clap::plugin* plugin = &instance_->plugin();
    const clap::plugin_descriptor& descriptor = module_->descriptor();
    switch (opcode) {
    case vst::effGetParamName: copyHostBuffer(ptr, info(index).name, 64); return 0;
    case vst::effGetParamLabel: copyHostBuffer(ptr, "", 64); return 0;
    case vst::effGetParamDisplay:
        copyHostBuffer(ptr, instance_->valueText(info(index).id, instance_->value(info(index).id)), 64);
        return 0;
    case vst::effMainsChanged:
        // Processing starts with the first block: a host that resumes
        // and never processes (trv4 edit --no-audio) gets the editor's
        // edits through flushes.
        if (value) {
            instance_->activate(sampleRate_, static_cast<uint32_t>(std::max(blockSize_, 1)));
        } else {
            instance_->stopProcessing();
            instance_->deactivate();
        }
        return 0;
    case vst::effEditGetRect: {
        uint32_t w = 0, h = 0;
        if (!ptr || !instance_->gui() || !instance_->gui()->get_size(plugin, &w, &h)) return 0;
        rect_ = {0, 0, static_cast<int16_t>(h), static_cast<int16_t>(w)};
        *static_cast<vst::ERect**>(ptr) = &rect_;
        return 1;
    }
    case vst::effEditOpen: return openEditor(ptr) ? 1 : 0;
    case vst::effEditClose:
        if (editorOpen_) instance_->gui()->destroy(plugin);
        editorOpen_ = false;
        return 0;
    case vst::effEditIdle:
        instance_->idle();
        // The editor's edits between blocks come through the flush the
        // plug-in asked for.
        if (instance_->flushRequests > flushesDone_) {
            flushesDone_ = instance_->flushRequests;
            if (!instance_->processing()) instance_->flush({});
        }
        reportEdits();
        return 0;
    case vst::effGetEffectName:
    case vst::effGetProductString: copyHostBuffer(ptr, descriptor.name ? descriptor.name : "", 64); return 1;
    case vst::effGetVendorString: copyHostBuffer(ptr, descriptor.vendor ? descriptor.vendor : "", 64); return 1;
    case vst::effVendorSpecific: {
        // The host's size hint goes to the gui's scale; our tools'
        // requests: the editor test port and the replay seed.
        if (index == trv4::kSizeHintIndex && value == trv4::kSizeHintValue)
            return instance_->gui() && instance_->gui()->set_scale(plugin, opt) ? 1 : 0;
        auto* tools =
            static_cast<const trv4clap::plugin_editor_test_port*>(instance_->extension(trv4clap::kExtEditorTestPort));
        if (!tools || !ptr) return 0;
        if (index == trv4::kTestPortIndex && value == trv4::kTestPortValue) return tools->fill(plugin, ptr) ? 1 : 0;
        if (index == trv4::kReplaySeedIndex && value == trv4::kReplaySeedValue) {
            tools->seed(plugin, *static_cast<const uint64_t*>(ptr));
            return 1;
        }
        return 0;
    }
    default: return 0;
    }
}

void ClapBridge::reportEdits() {
    // Gestures have no VST 2 counterpart here; values become automation.
    for (const ClapOutputEvent& e : instance_->output()) {
        if (e.type != clap::kEventParamValue) continue;
        for (size_t i = 0; i < params_.size(); ++i) {
            const clap::param_info& p = params_[i];
            if (p.id != e.param || p.max_value <= p.min_value) continue;
            const auto value = static_cast<float>((e.value - p.min_value) / (p.max_value - p.min_value));
            tellHost(vst::audioMasterAutomate, static_cast<vst::VstInt32>(i), value);
        }
    }
    instance_->output().clear();
}

bool ClapBridge::readyToProcess() {
    return instance_->active() && (instance_->processing() || instance_->startProcessing());
}

int ClapBridge::largestPiece() const { return static_cast<int>(instance_->maxFrames()); }

void ClapBridge::processPiece(const float* const in[2], float* const out[2], int n, const Change* changes, size_t count,
                              const vst::VstTimeInfo* time, int offset) {
    clap::event_transport transport{};
    if (time) {
        transport = transportOf(*time, sampleRate_);
        if (time->flags & vst::kVstTransportPlaying)
            transport.song_pos_seconds += std::llround(offset / sampleRate_ * clap::kSecTimeFactor);
    }
    instance_->process(in[0], in[1], out[0], out[1], static_cast<uint32_t>(n), events(changes, count),
                       time ? &transport : nullptr);
}

}  // namespace trv4host
