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

void copyText(void* ptr, const std::string& text, size_t capacity) {
    if (!ptr) return;
    const size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(ptr, text.data(), n);
    static_cast<char*>(ptr)[n] = 0;
}

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
    std::unique_ptr<ClapBridge> bridge(new ClapBridge());
    bridge->module_ = &module;
    bridge->audioMaster_ = audioMaster;
    bridge->instance_ = ClapInstance::Create(module, error);
    if (!bridge->instance_) return nullptr;
    for (uint32_t i = 0; i < bridge->instance_->parameterCount(); ++i) {
        clap::param_info info{};
        if (bridge->instance_->parameterInfo(i, info)) bridge->params_.push_back(info);
    }
    for (const ClapModule::Preset& preset : module.presets()) bridge->programNames_.push_back(preset.name);

    vst::AEffect& r = bridge->record_;
    r.magic = vst::kEffectMagic;
    r.dispatcher = dispatchEntry;
    r.process = processEntry;
    r.setParameter = setParameterEntry;
    r.getParameter = getParameterEntry;
    r.numPrograms = static_cast<vst::VstInt32>(bridge->programNames_.size());
    r.numParams = static_cast<vst::VstInt32>(bridge->params_.size());
    r.numInputs = 2;
    r.numOutputs = 2;
    r.flags = vst::effFlagsCanReplacing | (bridge->instance_->gui() ? vst::effFlagsHasEditor : 0);
    r.ioRatio = 1.0f;
    r.object = bridge.get();
    r.version = 1;
    r.processReplacing = replacingEntry;
    return &bridge.release()->record_;
}

ClapBridge* ClapBridge::of(vst::AEffect* record) {
    return record && record->dispatcher == dispatchEntry ? static_cast<ClapBridge*>(record->object) : nullptr;
}

vst::VstIntPtr VST_CALL ClapBridge::dispatchEntry(vst::AEffect* e, vst::VstInt32 opcode, vst::VstInt32 index,
                                                  vst::VstIntPtr value, void* ptr, float opt) {
    ClapBridge* self = of(e);
    if (opcode == vst::effClose) {
        delete self;
        return 1;
    }
    return self->dispatch(opcode, index, value, ptr, opt);
}

void VST_CALL ClapBridge::processEntry(vst::AEffect* e, float** in, float** out, vst::VstInt32 n) {
    of(e)->process(in, out, n, true);
}

void VST_CALL ClapBridge::replacingEntry(vst::AEffect* e, float** in, float** out, vst::VstInt32 n) {
    of(e)->process(in, out, n, false);
}

void VST_CALL ClapBridge::setParameterEntry(vst::AEffect* e, vst::VstInt32 index, float value) {
    of(e)->setParameter(index, value);
}

float VST_CALL ClapBridge::getParameterEntry(vst::AEffect* e, vst::VstInt32 index) {
    return of(e)->getParameter(index);
}

clap::param_info ClapBridge::info(int index) const {
    if (index < 0 || index >= static_cast<int>(params_.size())) return {};
    return params_[static_cast<size_t>(index)];
}

void ClapBridge::queueChange(uint32_t frame, int index, float value) {
    if (index < 0 || index >= static_cast<int>(params_.size())) return;
    const clap::param_info& p = params_[static_cast<size_t>(index)];
    const double clamped = value > 1.0f ? 1.0 : (value >= 0.0f ? value : 0.0);
    pending_.push_back({frame, p.id, p.min_value + clamped * (p.max_value - p.min_value)});
}

void ClapBridge::setParameter(int index, float value) {
    queueChange(0, index, value);
    // Between blocks the change goes through a flush at once; while the
    // plug-in processes, it goes with the next block.
    if (!instance_->processing()) {
        instance_->flush(pending_);
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
    currentProgram_ = program;
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

vst::VstIntPtr ClapBridge::dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                    float opt) {
    const clap::plugin* plugin = &instance_->plugin();
    const clap::plugin_descriptor& descriptor = module_->descriptor();
    switch (opcode) {
    case vst::effSetProgram: selectProgram(static_cast<int>(value)); return 0;
    case vst::effGetProgram: return currentProgram_;
    case vst::effSetProgramName:
        if (ptr && currentProgram_ < static_cast<int>(programNames_.size()))
            programNames_[static_cast<size_t>(currentProgram_)] = std::string(static_cast<const char*>(ptr), 0, 24);
        return 0;
    case vst::effGetProgramName:
        copyText(ptr,
                 currentProgram_ < static_cast<int>(programNames_.size())
                     ? programNames_[static_cast<size_t>(currentProgram_)]
                     : "",
                 25);
        return 0;
    case vst::effGetProgramNameIndexed:
        if (index < 0 || index >= static_cast<int>(programNames_.size())) return 0;
        copyText(ptr, programNames_[static_cast<size_t>(index)], 25);
        return 1;
    case vst::effGetParamName: copyText(ptr, info(index).name, 64); return 0;
    case vst::effGetParamLabel: copyText(ptr, "", 64); return 0;
    case vst::effGetParamDisplay:
        copyText(ptr, instance_->valueText(info(index).id, instance_->value(info(index).id)), 64);
        return 0;
    case vst::effSetSampleRate: sampleRate_ = opt; return 0;
    case vst::effSetBlockSize: blockSize_ = static_cast<int>(value); return 0;
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
    case vst::effGetProductString: copyText(ptr, descriptor.name ? descriptor.name : "", 64); return 1;
    case vst::effGetVendorString: copyText(ptr, descriptor.vendor ? descriptor.vendor : "", 64); return 1;
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
    case vst::effCanBeAutomated: return index >= 0 && index < static_cast<int>(params_.size()) ? 1 : 0;
    case vst::effGetNumProgramCategories: return 1;
    case vst::effCanDo: return -1;
    case vst::effGetVstVersion: return 2400;
    default: return 0;
    }
}

void ClapBridge::reportEdits() {
    // Gestures have no VST 2 counterpart here; values become automation.
    for (const ClapOutputEvent& e : instance_->output()) {
        if (e.type != clap::kEventParamValue) continue;
        for (size_t i = 0; i < params_.size(); ++i) {
            const clap::param_info& p = params_[i];
            if (p.id != e.param || !audioMaster_ || p.max_value <= p.min_value) continue;
            const auto value = static_cast<float>((e.value - p.min_value) / (p.max_value - p.min_value));
            audioMaster_(&record_, vst::audioMasterAutomate, static_cast<vst::VstInt32>(i), 0, nullptr, value);
        }
    }
    instance_->output().clear();
}

void ClapBridge::process(float** in, float** out, int n, bool accumulate) {
    if (n <= 0 || !in || !out || !instance_->active()) return;
    if (!instance_->processing() && !instance_->startProcessing()) return;
    // The host's transport, asked as a VST 2 plug-in asks it.
    const auto* time = reinterpret_cast<const vst::VstTimeInfo*>(
        audioMaster_ ? audioMaster_(&record_, vst::audioMasterGetTime, 0, 0, nullptr, 0.0f) : 0);
    clap::event_transport transport{};
    if (time) transport = transportOf(*time, sampleRate_);
    std::stable_sort(pending_.begin(), pending_.end(), [](auto& a, auto& b) { return a.frame < b.frame; });
    float* target[2] = {out[0], out[1]};
    if (accumulate) {
        for (auto& s : scratch_) s.assign(static_cast<size_t>(n), 0.0f);
        target[0] = scratch_[0].data();
        target[1] = scratch_[1].data();
    }
    // Blocks above the size the plug-in was activated for go in pieces.
    const int most = static_cast<int>(std::max<uint32_t>(instance_->maxFrames(), 1));
    for (int done = 0; done < n;) {
        const int piece = std::min(n - done, most);
        std::vector<ClapParamChange> events;
        for (const ClapParamChange& c : pending_)
            if (static_cast<int>(c.frame) >= done && (static_cast<int>(c.frame) < done + piece || done + piece == n))
                events.push_back({c.frame - static_cast<uint32_t>(done), c.param, c.value});
        instance_->process(in[0] + done, in[1] + done, target[0] + done, target[1] + done, static_cast<uint32_t>(piece),
                           events, time ? &transport : nullptr);
        if (time && (time->flags & vst::kVstTransportPlaying))
            transport.song_pos_seconds += std::llround(piece / sampleRate_ * clap::kSecTimeFactor);
        done += piece;
    }
    pending_.clear();
    reportEdits();
    if (accumulate)
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < n; ++i) out[c][i] += scratch_[c][static_cast<size_t>(i)];
}

}  // namespace trv4host
