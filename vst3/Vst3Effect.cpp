// Vst3Effect: interface lookup, lifetime, the component's buses and
// activation, and the audio processor. The controller side and the saved
// state are in Vst3EffectController.cpp, the editor's side in
// Vst3EffectEditor.cpp.
#include "vst3/Vst3Effect.h"

#include <cmath>
#include <cstring>

#include "editor/EditorFactory.h"
#include "engine/Random.h"
#include "plugin/uPlugin.h"
#include "vst3/ParameterChangeCursor.h"
#include "vst3/Vst3Parameters.h"

namespace trv4 {

Vst3Effect::Vst3Effect() : plugin_(std::make_unique<APlugin>(&Vst3Effect::hostCallback)) {
    // The record's user field is the host's to use: it leads callbacks back
    // here. Callbacks made while the plug-in was constructed (the host's
    // vendor and product texts) found it empty and were answered with 0.
    plugin_->getAeffect()->user = this;
    glue_ = createPluginEditor(*this, plugin_.get());
}

Vst3Effect::~Vst3Effect() {
    // The editor first (it reads the object), then the object.
    glue_.reset();
    plugin_.reset();
    if (handler_) handler_->release();
}

vst3::tresult VST3_CALL Vst3Effect::queryInterface(const char* iid, void** obj) {
    if (!obj) return vst3::kInvalidArgument;
    void* found = nullptr;
    if (vst3::FUnknown::iid == iid || vst3::IPluginBase::iid == iid || vst3::IComponent::iid == iid)
        found = static_cast<vst3::IComponent*>(this);
    else if (vst3::IAudioProcessor::iid == iid)
        found = static_cast<vst3::IAudioProcessor*>(this);
    else if (vst3::IEditController::iid == iid)
        found = static_cast<vst3::IEditController*>(this);
    else if (vst3::IUnitInfo::iid == iid)
        found = static_cast<vst3::IUnitInfo*>(this);
    else if (vst3::IProcessContextRequirements::iid == iid)
        found = static_cast<vst3::IProcessContextRequirements*>(this);
    else if (IVst3TestPort::iid == iid)
        found = static_cast<IVst3TestPort*>(this);
    *obj = found;
    if (!found) return vst3::kNoInterface;
    addRef();
    return vst3::kResultOk;
}

vst3::uint32 VST3_CALL Vst3Effect::addRef() { return ++refCount_; }

vst3::uint32 VST3_CALL Vst3Effect::release() {
    const vst3::uint32 left = --refCount_;
    if (left == 0) delete this;
    return left;
}

vst3::tresult VST3_CALL Vst3Effect::initialize(vst3::FUnknown*) {
    // The plug-in object exists from creation on; the host's context offers
    // nothing it needs.
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3Effect::terminate() {
    setComponentHandler(nullptr);
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3Effect::getControllerClassId(char*) {
    // This object is its own controller.
    return vst3::kNotImplemented;
}

vst3::tresult VST3_CALL Vst3Effect::setIoMode(vst3::int32) { return vst3::kNotImplemented; }

vst3::int32 VST3_CALL Vst3Effect::getBusCount(vst3::MediaType type, vst3::BusDirection) {
    return type == vst3::kAudio ? 1 : 0;
}

vst3::tresult VST3_CALL Vst3Effect::getBusInfo(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                               vst3::BusInfo& bus) {
    if (type != vst3::kAudio || index != 0 || (dir != vst3::kInput && dir != vst3::kOutput))
        return vst3::kInvalidArgument;
    std::memset(&bus, 0, sizeof bus);
    bus.mediaType = vst3::kAudio;
    bus.direction = dir;
    bus.channelCount = 2;
    toString128(dir == vst3::kInput ? "Stereo In" : "Stereo Out", bus.name);
    bus.busType = vst3::kMain;
    bus.flags = vst3::BusInfo::kDefaultActive;
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3Effect::getRoutingInfo(vst3::RoutingInfo&, vst3::RoutingInfo&) {
    return vst3::kNotImplemented;
}

vst3::tresult VST3_CALL Vst3Effect::activateBus(vst3::MediaType type, vst3::BusDirection, vst3::int32 index,
                                                vst3::TBool) {
    // The two stereo buses are always in use; switching them is accepted.
    return type == vst3::kAudio && index == 0 ? vst3::kResultOk : vst3::kInvalidArgument;
}

vst3::tresult VST3_CALL Vst3Effect::setActive(vst3::TBool state) {
    // The VST 2 switch: resume recomputes the rate constants and pre-rolls,
    // suspend clears buffers and running state.
    if (state)
        plugin_->resume();
    else
        plugin_->suspend();
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3Effect::setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                                       vst3::SpeakerArrangement* outputs, vst3::int32 numOuts) {
    const bool stereo = numIns == 1 && numOuts == 1 && inputs && outputs && inputs[0] == vst3::kSpeakerStereo &&
                        outputs[0] == vst3::kSpeakerStereo;
    return stereo ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult VST3_CALL Vst3Effect::getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                                      vst3::SpeakerArrangement& arr) {
    if (index != 0 || (dir != vst3::kInput && dir != vst3::kOutput)) return vst3::kInvalidArgument;
    arr = vst3::kSpeakerStereo;
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3Effect::canProcessSampleSize(vst3::int32 symbolicSampleSize) {
    return symbolicSampleSize == vst3::kSample32 ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::uint32 VST3_CALL Vst3Effect::getLatencySamples() { return 0; }

vst3::tresult VST3_CALL Vst3Effect::setupProcessing(vst3::ProcessSetup& setup) {
    if (setup.symbolicSampleSize != vst3::kSample32) return vst3::kResultFalse;
    // Every rate is taken as the VST 2 build takes it: the six it is made
    // for get their filters and oversampling, any other one runs undelayed
    // (the engine's own rule). The new rate counts from the next activation.
    if (setup.sampleRate > 0) sampleRate_ = setup.sampleRate;
    if (setup.maxSamplesPerBlock > 0) maxBlockSize_ = setup.maxSamplesPerBlock;
    plugin_->setSampleRate(static_cast<float>(sampleRate_));
    plugin_->setBlockSize(maxBlockSize_);
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3Effect::setProcessing(vst3::TBool) { return vst3::kResultOk; }

vst3::tresult VST3_CALL Vst3Effect::process(vst3::ProcessData& data) {
    if (data.symbolicSampleSize != vst3::kSample32) return vst3::kInvalidArgument;
    const int frames = data.numSamples > 0 ? data.numSamples : 0;

    float* out[2] = {};
    float* in[2] = {};
    if (data.numOutputs > 0 && data.outputs && data.outputs[0].numChannels >= 2 && data.outputs[0].channelBuffers32) {
        out[0] = data.outputs[0].channelBuffers32[0];
        out[1] = data.outputs[0].channelBuffers32[1];
        data.outputs[0].silenceFlags = 0;
    }
    if (data.numInputs > 0 && data.inputs && data.inputs[0].numChannels >= 2 && data.inputs[0].channelBuffers32) {
        in[0] = data.inputs[0].channelBuffers32[0];
        in[1] = data.inputs[0].channelBuffers32[1];
    }
    const bool audio = frames > 0 && out[0] && out[1];
    if (audio && !(in[0] && in[1])) {
        // No input bus: silence in, processed in place.
        std::memset(out[0], 0, sizeof(float) * static_cast<size_t>(frames));
        std::memset(out[1], 0, sizeof(float) * static_cast<size_t>(frames));
        in[0] = out[0];
        in[1] = out[1];
    }

    // The block is cut where parameter changes land, so that each takes
    // effect at its own sample as it would between two VST 2 blocks.
    ParameterChangeCursor changes(data.inputParameterChanges);
    int position = 0;
    do {
        changes.applyUpTo(position,
                          [&](vst3::ParamID id, vst3::ParamValue value) { applyChange(id, value, data, position); });
        const int next = std::min(changes.nextOffset(), frames);
        if (audio && next > position) {
            updateTimeInfo(data.processContext, position);
            float* pieceIn[2] = {in[0] + position, in[1] + position};
            float* pieceOut[2] = {out[0] + position, out[1] + position};
            plugin_->processReplacing(pieceIn, pieceOut, next - position);
        }
        position = next > position ? next : frames;
    } while (position < frames);
    // Points at or past the end of the block hold from the next block on.
    changes.applyUpTo(INT_MAX, [&](vst3::ParamID id, vst3::ParamValue value) {
        applyChange(id, value, data, frames > 0 ? frames - 1 : 0);
    });
    return vst3::kResultOk;
}

void Vst3Effect::applyChange(vst3::ParamID id, vst3::ParamValue value, vst3::ProcessData& data, int offset) {
    // The editor shows the host's changes at its next idle (one atomic
    // store here).
    glue_->postUpdate();
    if (id < static_cast<vst3::ParamID>(kNumParams)) {
        plugin_->setParameter(static_cast<vst::VstInt32>(id), static_cast<float>(value));
        return;
    }
    if (id != kProgramParamId) return;
    const int program = programFromValue(value);
    if (program != plugin_->getProgram()) plugin_->setProgram(program);
    // The host learns the program's values as changes of the plug-in's own,
    // also when its preset menu selected the program on the controller side
    // just before (setParamNormalized), which is the host's only news of it.
    if (!data.outputParameterChanges) return;
    for (int i = 0; i < kNumParams; ++i) {
        vst3::int32 slot = 0;
        const vst3::ParamID changed = static_cast<vst3::ParamID>(i);
        if (vst3::IParamValueQueue* queue = data.outputParameterChanges->addParameterData(changed, slot))
            queue->addPoint(offset, plugin_->getParameter(i), slot);
    }
}

vst3::uint32 VST3_CALL Vst3Effect::getTailSamples() {
    // The echoes of the longest delay die away through the feedback gain
    // (F.B., at most 0.99 either way): count the repeats until they are
    // 100 dB down, plus a tenth of a second for the filters and smoothing.
    const double delaySeconds = 0.05 * std::pow(12000.0, plugin_->getParameter(kDelay)) / 1000.0;
    const double gain = std::fabs((plugin_->getParameter(kFeedback) - 0.5) * 1.98);
    const double repeats = gain > 1e-6 ? std::ceil(std::log(1e-5) / std::log(gain)) : 0.0;
    const double samples = ((repeats + 1) * delaySeconds + 0.1) * sampleRate_;
    return samples >= static_cast<double>(vst3::kInfiniteTail - 1) ? vst3::kInfiniteTail - 1
                                                                   : static_cast<vst3::uint32>(std::ceil(samples));
}

vst3::uint32 VST3_CALL Vst3Effect::getProcessContextRequirements() {
    return vst3::IProcessContextRequirements::kNeedProjectTimeMusic | vst3::IProcessContextRequirements::kNeedTempo |
           vst3::IProcessContextRequirements::kNeedTimeSignature |
           vst3::IProcessContextRequirements::kNeedTransportState;
}

void VST3_CALL Vst3Effect::seedRandom(vst3::uint64 seed) { trv4::seedRandom(seed); }

void Vst3Effect::updateTimeInfo(const vst3::ProcessContext* context, int offset) {
    timeInfoValid_ = context != nullptr;
    if (!context) return;
    using Ctx = vst3::ProcessContext;
    vst::VstTimeInfo& t = timeInfo_;
    const bool playing = (context->state & Ctx::kPlaying) != 0;
    const double rate = context->sampleRate > 0 ? context->sampleRate : sampleRate_;
    // The position moves on with the piece only while the transport runs;
    // a stopped host reports the same place for every block.
    const double advance = playing ? offset : 0;
    t = {};
    t.sampleRate = rate;
    t.samplePos = static_cast<double>(context->projectTimeSamples) + advance;
    t.tempo = context->tempo;
    t.flags = 0;
    if (playing) t.flags |= vst::kVstTransportPlaying;
    if (context->state & Ctx::kRecording) t.flags |= vst::kVstTransportRecording;
    if (context->state & Ctx::kCycleActive) t.flags |= vst::kVstTransportCycleActive;
    if (context->state & Ctx::kTempoValid) t.flags |= vst::kVstTempoValid;
    if (context->state & Ctx::kProjectTimeMusicValid) {
        t.flags |= vst::kVstPpqPosValid;
        const double beatsPerSample = (context->state & Ctx::kTempoValid) ? context->tempo / 60.0 / rate : 0.0;
        t.ppqPos = context->projectTimeMusic + advance * beatsPerSample;
    }
    if (context->state & Ctx::kBarPositionValid) {
        t.flags |= vst::kVstBarsValid;
        t.barStartPos = context->barPositionMusic;
    }
    if (context->state & Ctx::kCycleValid) {
        t.flags |= vst::kVstCyclePosValid;
        t.cycleStartPos = context->cycleStartMusic;
        t.cycleEndPos = context->cycleEndMusic;
    }
    if (context->state & Ctx::kTimeSigValid) {
        t.flags |= vst::kVstTimeSigValid;
        t.timeSigNumerator = context->timeSigNumerator;
        t.timeSigDenominator = context->timeSigDenominator;
    }
}

vst::VstIntPtr VST_CALL Vst3Effect::hostCallback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32,
                                                 vst::VstIntPtr, void*, float) {
    auto* self = effect ? static_cast<Vst3Effect*>(effect->user) : nullptr;
    if (opcode == vst::audioMasterVersion) return 2400;
    return self ? self->answerHost(opcode) : 0;
}

vst::VstIntPtr Vst3Effect::answerHost(vst::VstInt32 opcode) {
    switch (opcode) {
    case vst::audioMasterGetTime:
        // Within process(), the piece being rendered; outside it (the
        // pre-roll of an activation) the last one known, as a VST 2 host
        // answers with its current position. None before the first.
        return timeInfoValid_ ? reinterpret_cast<vst::VstIntPtr>(&timeInfo_) : 0;
    case vst::audioMasterGetSampleRate: return static_cast<vst::VstIntPtr>(sampleRate_);
    case vst::audioMasterGetBlockSize: return maxBlockSize_;
    default:
        // audioMasterAutomate among them: the editor's edits come as
        // EditorHost calls, and the object makes no others.
        return 0;
    }
}

}  // namespace trv4
