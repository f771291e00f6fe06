#include "tools/host/Vst3Bridge.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "editor/EditorFactory.h"
#include "editor/EditorTestPort.h"
#include "plugin/ReplaySeed.h"
#include "vst3/Vst3TestPort.h"

namespace trv4host {

namespace {

// The chunk: the component's state, its length first (4 bytes, little
// endian), then the controller's.
std::vector<uint8_t> joinState(const std::vector<uint8_t>& component, const std::vector<uint8_t>& controller) {
    std::vector<uint8_t> chunk(4);
    for (int i = 0; i < 4; ++i) chunk[static_cast<size_t>(i)] = static_cast<uint8_t>(component.size() >> (8 * i));
    chunk.insert(chunk.end(), component.begin(), component.end());
    chunk.insert(chunk.end(), controller.begin(), controller.end());
    return chunk;
}

bool splitState(const uint8_t* data, size_t size, std::vector<uint8_t>& component, std::vector<uint8_t>& controller) {
    if (!data || size < 4) return false;
    size_t length = 0;
    for (int i = 0; i < 4; ++i) length |= static_cast<size_t>(data[i]) << (8 * i);
    if (length > size - 4) return false;
    component.assign(data + 4, data + 4 + length);
    controller.assign(data + 4 + length, data + size);
    return true;
}

}  // namespace

vst::AEffect* Vst3Bridge::create(const Vst3Module& module, vst::AudioMasterCallback audioMaster, std::string& error) {
    std::unique_ptr<Vst3Bridge> bridge(new Vst3Bridge(audioMaster));
    bridge->module_ = &module;
    bridge->instance_ = Vst3Instance::Create(module, error);
    if (!bridge->instance_) return nullptr;
    Vst3Instance& instance = *bridge->instance_;
    for (int i = 0; i < instance.parameterCount(); ++i) {
        vst3::ParameterInfo info;
        if (!instance.parameterInfo(i, info)) continue;
        if ((info.flags & vst3::ParameterInfo::kIsProgramChange) && !bridge->hasProgramChange_) {
            bridge->programChange_ = info;
            bridge->hasProgramChange_ = true;
        } else {
            bridge->params_.push_back(info);
        }
    }
    bridge->findPrograms();
    bridge->pieceChanges_.reserve(1024);
    // Whether there is an editor: a view made and let go again.
    const bool editor = instance.view() != nullptr;
    instance.closeView();
    bridge->publish(static_cast<int>(bridge->params_.size()), static_cast<int>(bridge->programNames_.size()), editor);
    bridge->record_.flags |= vst::effFlagsProgramChunks;
    return &bridge.release()->record_;
}

Vst3Bridge* Vst3Bridge::of(vst::AEffect* record) { return dynamic_cast<Vst3Bridge*>(BridgedEffect::of(record)); }

void Vst3Bridge::findPrograms() {
    if (!hasProgramChange_ || programChange_.stepCount < 1) return;
    const int count = programChange_.stepCount + 1;
    // The program list of the program change's unit names the programs.
    vst3::IUnitInfo* units = instance_->units();
    vst3::ProgramListID list = vst3::kNoProgramListId;
    for (vst3::int32 u = 0; units && u < units->getUnitCount(); ++u) {
        vst3::UnitInfo unit{};
        if (units->getUnitInfo(u, unit) == vst3::kResultOk && unit.id == programChange_.unitId)
            list = unit.programListId;
    }
    for (int p = 0; p < count; ++p) {
        vst3::String128 name{};
        if (units && list != vst3::kNoProgramListId && units->getProgramName(list, p, name) == vst3::kResultOk) {
            programNames_.push_back(narrowText(name, 128));
            continue;
        }
        // Without a list, the parameter's own text for the step.
        programNames_.push_back(instance_->valueText(programChange_.id, static_cast<double>(p) / (count - 1)));
    }
}

vst3::ParamID Vst3Bridge::idOf(int index) const {
    if (index == static_cast<int>(params_.size())) return programChange_.id;
    return index >= 0 && index < static_cast<int>(params_.size()) ? params_[static_cast<size_t>(index)].id : 0;
}

int Vst3Bridge::indexOf(vst3::ParamID id) const {
    for (size_t i = 0; i < params_.size(); ++i)
        if (params_[i].id == id) return static_cast<int>(i);
    return hasProgramChange_ && id == programChange_.id ? static_cast<int>(params_.size()) : -1;
}

void Vst3Bridge::setParameter(int index, float value) {
    if (index < 0 || index >= static_cast<int>(params_.size())) return;
    instance_->controller()->setParamNormalized(idOf(index), value);
    queueSetting(index, value);
}

float Vst3Bridge::getParameter(int index) {
    if (index < 0 || index >= static_cast<int>(params_.size())) return 0.0f;
    return static_cast<float>(instance_->value(idOf(index)));
}

bool Vst3Bridge::selectProgram(int program) {
    if (!hasProgramChange_ || program < 0 || program > programChange_.stepCount) return false;
    const float value = static_cast<float>(static_cast<double>(program) / programChange_.stepCount);
    instance_->controller()->setParamNormalized(programChange_.id, value);
    queueSetting(static_cast<int>(params_.size()), value);
    return true;
}

int Vst3Bridge::currentProgram() {
    if (!hasProgramChange_) return currentProgram_;
    return static_cast<int>(std::lround(instance_->value(programChange_.id) * programChange_.stepCount));
}

bool Vst3Bridge::readyToProcess() { return instance_->processing(); }

int Vst3Bridge::largestPiece() const { return instance_->maxFrames(); }

void Vst3Bridge::processPiece(const float* const in[2], float* const out[2], int n, const Change* changes, size_t count,
                              const vst::VstTimeInfo* time, int offset) {
    pieceChanges_.clear();
    for (size_t i = 0; i < count; ++i)
        pieceChanges_.push_back({static_cast<vst3::int32>(changes[i].frame), idOf(changes[i].index), changes[i].value});
    vst3::ProcessContext* context = nullptr;
    if (time) {
        // The host's time at the piece's first frame.
        using Ctx = vst3::ProcessContext;
        const bool playing = (time->flags & vst::kVstTransportPlaying) != 0;
        const double rate = time->sampleRate > 0 ? time->sampleRate : sampleRate_;
        const double advance = playing ? offset : 0;
        context_ = {};
        context_.sampleRate = rate;
        context_.projectTimeSamples = std::llround(time->samplePos + advance);
        context_.continousTimeSamples = context_.projectTimeSamples;
        context_.tempo = time->tempo;
        context_.state = playing ? vst3::uint32{Ctx::kPlaying} : 0u;
        if (time->flags & vst::kVstTransportRecording) context_.state |= Ctx::kRecording;
        if (time->flags & vst::kVstTransportCycleActive) context_.state |= Ctx::kCycleActive;
        if (time->flags & vst::kVstTempoValid) context_.state |= Ctx::kTempoValid;
        if (time->flags & vst::kVstPpqPosValid) {
            context_.state |= Ctx::kProjectTimeMusicValid;
            context_.projectTimeMusic = time->ppqPos + advance * time->tempo / 60.0 / rate;
        }
        if (time->flags & vst::kVstBarsValid) {
            context_.state |= Ctx::kBarPositionValid;
            context_.barPositionMusic = time->barStartPos;
        }
        if (time->flags & vst::kVstCyclePosValid) {
            context_.state |= Ctx::kCycleValid;
            context_.cycleStartMusic = time->cycleStartPos;
            context_.cycleEndMusic = time->cycleEndPos;
        }
        if (time->flags & vst::kVstTimeSigValid) {
            context_.state |= Ctx::kTimeSigValid;
            context_.timeSigNumerator = time->timeSigNumerator;
            context_.timeSigDenominator = time->timeSigDenominator;
        }
        context = &context_;
    }
    instance_->process(in[0], in[1], out[0], out[1], n, pieceChanges_.data(), pieceChanges_.size(), context);
}

void Vst3Bridge::afterBlock() {
    // A separate controller hears what its processor was sent and what the
    // processor sent back; one object knows it already.
    if (instance_->separateController()) {
        for (const Change& c : pending_) instance_->controller()->setParamNormalized(idOf(c.index), c.value);
        for (size_t i = 0; i < instance_->outputCount(); ++i) {
            const Vst3Change out = instance_->output(i);
            instance_->controller()->setParamNormalized(out.id, out.value);
        }
    }
    reportEdits();
}

void Vst3Bridge::reportEdits() {
    // Copied first: the host's answers may lead the view to edit again.
    const std::vector<Vst3Edit> edits = std::move(instance_->edits);
    instance_->edits.clear();
    for (const Vst3Edit& e : edits) {
        const int index = indexOf(e.id);
        if (index < 0 || index >= static_cast<int>(params_.size())) continue;
        switch (e.kind) {
        case Vst3Edit::kBegin: tellHost(vst::audioMasterBeginEdit, index); break;
        case Vst3Edit::kPerform:
            queueSetting(index, static_cast<float>(e.value));
            tellHost(vst::audioMasterAutomate, index, static_cast<float>(e.value));
            break;
        case Vst3Edit::kEnd: tellHost(vst::audioMasterEndEdit, index); break;
        }
    }
}

vst::VstIntPtr Vst3Bridge::vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt) {
    // The host's size hint goes to the view's content scale; our tools'
    // requests: the replay seed and the editor's test port, through the
    // plug-in's test port.
    if (index == trv4::kSizeHintIndex && value == trv4::kSizeHintValue) {
        vst3::IPlugView* view = instance_->view();
        void* obj = nullptr;
        if (!view || view->queryInterface(vst3::IPlugViewContentScaleSupport::iid.bytes, &obj) != vst3::kResultOk)
            return 0;
        auto* scale = static_cast<vst3::IPlugViewContentScaleSupport*>(obj);
        const bool ok = scale->setContentScaleFactor(opt) == vst3::kResultOk;
        scale->release();
        return ok ? 1 : 0;
    }
    const bool seed = index == trv4::kReplaySeedIndex && value == trv4::kReplaySeedValue;
    const bool editorPort = index == trv4::kTestPortIndex && value == trv4::kTestPortValue;
    if (!ptr || !(seed || editorPort)) return 0;
    trv4::IVst3TestPort* port = instance_->query<trv4::IVst3TestPort>();
    if (!port) return 0;
    vst::VstIntPtr answer = 1;
    if (seed)
        port->seedRandom(*static_cast<const uint64_t*>(ptr));
    else
        answer = port->fillEditorTestPort(ptr) ? 1 : 0;
    port->release();
    return answer;
}

vst::VstIntPtr Vst3Bridge::dispatchFormat(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                          float opt) {
    const bool param = index >= 0 && index < static_cast<int>(params_.size());
    switch (opcode) {
    case vst::effGetParamName:
        copyHostBuffer(ptr, param ? narrowText(params_[static_cast<size_t>(index)].title, 128) : "", 64);
        return 0;
    case vst::effGetParamLabel:
        copyHostBuffer(ptr, param ? narrowText(params_[static_cast<size_t>(index)].units, 128) : "", 64);
        return 0;
    case vst::effGetParamDisplay:
        copyHostBuffer(ptr, param ? instance_->valueText(idOf(index), instance_->value(idOf(index))) : "", 64);
        return 0;
    case vst::effMainsChanged:
        if (value) {
            if (!instance_->active() && instance_->setup(sampleRate_, std::max(blockSize_, 1)) && instance_->activate())
                instance_->startProcessing();
        } else {
            instance_->stopProcessing();
            instance_->deactivate();
        }
        return 0;
    case vst::effGetChunk: {
        std::vector<uint8_t> component, controller;
        if (!ptr || !instance_->saveState(component, controller)) return 0;
        chunk_ = joinState(component, controller);
        *static_cast<void**>(ptr) = chunk_.data();
        return static_cast<vst::VstIntPtr>(chunk_.size());
    }
    case vst::effSetChunk: {
        std::vector<uint8_t> component, controller;
        if (value <= 0 ||
            !splitState(static_cast<const uint8_t*>(ptr), static_cast<size_t>(value), component, controller))
            return 0;
        return instance_->loadState(component, controller) ? 1 : 0;
    }
    case vst::effEditGetRect: {
        vst3::ViewRect size{};
        vst3::IPlugView* view = instance_->view();
        if (!ptr || !view || view->getSize(&size) != vst3::kResultOk) return 0;
        rect_ = {0, 0, static_cast<int16_t>(size.height()), static_cast<int16_t>(size.width())};
        *static_cast<vst::ERect**>(ptr) = &rect_;
        return 1;
    }
    // No parent: the view of an editor whose test port was handed out
    // opens on the port's headless window system (trv4 snapshot).
    case vst::effEditOpen: return instance_->attachView(ptr) ? 1 : 0;
    case vst::effEditClose: instance_->closeView(); return 0;
    case vst::effEditIdle: {
        // A VST 2 host's idle asks for the editor's idle now: every timer
        // runs, due or not.
        instance_->idle(true);
        int width = 0, height = 0;
        if (instance_->takeResizeRequest(width, height) && audioMaster_)
            audioMaster_(&record_, vst::audioMasterSizeWindow, width, height, nullptr, 0.0f);
        reportEdits();
        return 0;
    }
    case vst::effGetEffectName:
    case vst::effGetProductString: copyHostBuffer(ptr, module_->audioClass().name, 64); return 1;
    case vst::effGetVendorString: {
        const std::string& vendor = module_->audioClass().vendor;
        const char* factoryVendor = module_->factoryInfo().vendor;
        copyHostBuffer(ptr, vendor.empty() ? std::string(factoryVendor, strnlen(factoryVendor, 64)) : vendor, 64);
        return 1;
    }
    case vst::effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
    default: return 0;
    }
}

}  // namespace trv4host
