#include "tools/host/BridgedEffect.h"

#include <algorithm>
#include <cstring>

namespace trv4host {

namespace {

// Changes a block may carry before the list grows (it grows between
// blocks only when a host queues more).
constexpr size_t kExpectedChanges = 1024;

}  // namespace

void copyHostBuffer(void* ptr, const std::string& text, size_t capacity) {
    if (!ptr || capacity == 0) return;
    const size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(ptr, text.data(), n);
    static_cast<char*>(ptr)[n] = 0;
}

BridgedEffect::BridgedEffect(vst::AudioMasterCallback audioMaster) : audioMaster_(audioMaster) {
    pending_.reserve(kExpectedChanges);
    pieceChanges_.reserve(kExpectedChanges);
}

vst::AEffect* BridgedEffect::publish(int numParams, int numPrograms, bool hasEditor) {
    vst::AEffect& r = record_;
    r.magic = vst::kEffectMagic;
    r.dispatcher = dispatchEntry;
    r.process = processEntry;
    r.setParameter = setParameterEntry;
    r.getParameter = getParameterEntry;
    r.numPrograms = numPrograms;
    r.numParams = numParams;
    r.numInputs = 2;
    r.numOutputs = 2;
    r.flags = vst::effFlagsCanReplacing | (hasEditor ? vst::effFlagsHasEditor : 0);
    r.ioRatio = 1.0f;
    r.object = this;
    r.version = 1;
    r.processReplacing = replacingEntry;
    return &r;
}

BridgedEffect* BridgedEffect::of(vst::AEffect* record) {
    return record && record->dispatcher == dispatchEntry ? static_cast<BridgedEffect*>(record->object) : nullptr;
}

vst::VstIntPtr VST_CALL BridgedEffect::dispatchEntry(vst::AEffect* e, vst::VstInt32 opcode, vst::VstInt32 index,
                                                     vst::VstIntPtr value, void* ptr, float opt) {
    BridgedEffect* self = of(e);
    if (opcode == vst::effClose) {
        delete self;
        return 1;
    }
    return self->dispatch(opcode, index, value, ptr, opt);
}

void VST_CALL BridgedEffect::processEntry(vst::AEffect* e, float** in, float** out, vst::VstInt32 n) {
    of(e)->process(in, out, n, true);
}

void VST_CALL BridgedEffect::replacingEntry(vst::AEffect* e, float** in, float** out, vst::VstInt32 n) {
    of(e)->process(in, out, n, false);
}

void VST_CALL BridgedEffect::setParameterEntry(vst::AEffect* e, vst::VstInt32 index, float value) {
    of(e)->setParameter(index, value);
}

float VST_CALL BridgedEffect::getParameterEntry(vst::AEffect* e, vst::VstInt32 index) {
    return of(e)->getParameter(index);
}

void BridgedEffect::queueChange(uint32_t frame, int index, float value) {
    if (index < 0 || index >= record_.numParams) return;
    pending_.push_back({frame, index, value > 1.0f ? 1.0f : (value >= 0.0f ? value : 0.0f)});
}

void BridgedEffect::queueSetting(int index, float value) {
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                  [index](const Change& c) { return c.frame == 0 && c.index == index; }),
                   pending_.end());
    pending_.push_back({0, index, value > 1.0f ? 1.0f : (value >= 0.0f ? value : 0.0f)});
}

void BridgedEffect::tellHost(vst::VstInt32 opcode, vst::VstInt32 index, float opt) {
    if (audioMaster_) audioMaster_(&record_, opcode, index, 0, nullptr, opt);
}

vst::VstIntPtr BridgedEffect::dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                       float opt) {
    const int programs = static_cast<int>(programNames_.size());
    switch (opcode) {
    case vst::effSetProgram:
        if (value >= 0 && value < programs && selectProgram(static_cast<int>(value)))
            currentProgram_ = static_cast<int>(value);
        return 0;
    case vst::effGetProgram: return currentProgram();
    case vst::effSetProgramName: {
        const int program = currentProgram();
        if (ptr && program >= 0 && program < programs)
            programNames_[static_cast<size_t>(program)] = std::string(static_cast<const char*>(ptr), 0, 24);
        return 0;
    }
    case vst::effGetProgramName: {
        const int program = currentProgram();
        copyHostBuffer(ptr, program >= 0 && program < programs ? programNames_[static_cast<size_t>(program)] : "", 25);
        return 0;
    }
    case vst::effGetProgramNameIndexed:
        if (index < 0 || index >= programs) return 0;
        copyHostBuffer(ptr, programNames_[static_cast<size_t>(index)], 25);
        return 1;
    case vst::effSetSampleRate: sampleRate_ = opt; return 0;
    case vst::effSetBlockSize: blockSize_ = static_cast<int>(value); return 0;
    case vst::effCanBeAutomated: return index >= 0 && index < record_.numParams ? 1 : 0;
    case vst::effGetNumProgramCategories: return 1;
    case vst::effCanDo: return -1;
    case vst::effGetVstVersion: return 2400;
    default: return dispatchFormat(opcode, index, value, ptr, opt);
    }
}

void BridgedEffect::process(float** in, float** out, int n, bool accumulate) {
    if (n <= 0 || !in || !out || !readyToProcess()) return;
    // The host's transport, asked as a VST 2 plug-in asks it.
    const auto* time = reinterpret_cast<const vst::VstTimeInfo*>(
        audioMaster_ ? audioMaster_(&record_, vst::audioMasterGetTime, 0, 0, nullptr, 0.0f) : 0);
    std::stable_sort(pending_.begin(), pending_.end(),
                     [](const Change& a, const Change& b) { return a.frame < b.frame; });
    float* target[2] = {out[0], out[1]};
    if (accumulate) {
        for (auto& s : scratch_) s.assign(static_cast<size_t>(n), 0.0f);
        target[0] = scratch_[0].data();
        target[1] = scratch_[1].data();
    }
    // Blocks above the size the plug-in was prepared for go in pieces.
    const int most = std::max(largestPiece(), 1);
    for (int done = 0; done < n;) {
        const int piece = std::min(n - done, most);
        pieceChanges_.clear();
        for (const Change& c : pending_)
            if (static_cast<int64_t>(c.frame) >= done &&
                (static_cast<int64_t>(c.frame) < done + piece || done + piece == n))
                pieceChanges_.push_back({c.frame - static_cast<uint32_t>(done), c.index, c.value});
        const float* const pieceIn[2] = {in[0] + done, in[1] + done};
        float* const pieceOut[2] = {target[0] + done, target[1] + done};
        processPiece(pieceIn, pieceOut, piece, pieceChanges_.data(), pieceChanges_.size(), time, done);
        done += piece;
    }
    afterBlock();
    pending_.clear();
    if (accumulate)
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < n; ++i) out[c][i] += scratch_[c][static_cast<size_t>(i)];
}

}  // namespace trv4host
