// A probe plug-in for the host tests: 3 programs of 4 parameters, outputs
// left unchanged and right inverted (so that channel routing shows), and a
// log of every call that matters to a host's order. Each process call asks
// the host for its time information, as a tempo-synced effect does.
#include <cstring>
#include <new>

#include "tests/tools/ProbeLog.h"

namespace {

using namespace trv4probe;

struct Probe {
    vst::AEffect record{};
    vst::AudioMasterCallback host = nullptr;
    int current = 0;
    float values[kProbePrograms][kProbeParams] = {};
    char names[kProbePrograms][32] = {};
    bool forget = false;
    ProbeLog log{};
};

Probe* probeOf(vst::AEffect* e) { return static_cast<Probe*>(e->object); }

void note(Probe* p, Call call, int32_t index = 0, float value = 0) {
    if (p->log.count >= ProbeLog::kCapacity) {
        ++p->log.overflow;
        return;
    }
    CallRecord& r = p->log.calls[p->log.count++];
    r = {};
    r.call = call;
    r.index = index;
    r.value = value;
}

void copyName(char* to, const char* from) {
    std::strncpy(to, from, 31);
    to[31] = 0;
}

vst::VstIntPtr VST_CALL dispatcher(vst::AEffect* e, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value,
                                   void* ptr, float opt) {
    Probe* p = probeOf(e);
    switch (opcode) {
    case vst::effClose: delete p; return 1;
    case vst::effSetProgram:
        if (value >= 0 && value < kProbePrograms) {
            p->current = static_cast<int>(value);
            note(p, Call::SetProgram, p->current);
        }
        return 0;
    case vst::effGetProgram: return p->current;
    case vst::effSetProgramName:
        if (ptr) copyName(p->names[p->current], static_cast<char*>(ptr));
        note(p, Call::SetProgramName, p->current);
        return 0;
    case vst::effGetProgramName:
        if (ptr) copyName(static_cast<char*>(ptr), p->names[p->current]);
        return 0;
    case vst::effGetProgramNameIndexed:
        if (index < 0 || index >= kProbePrograms || !ptr) return 0;
        copyName(static_cast<char*>(ptr), p->names[index]);
        return 1;
    case vst::effGetParamName:
        if (ptr) {
            static const char* const names[kProbeParams] = {"Alpha", "Beta", "Gamma", ""};
            copyName(static_cast<char*>(ptr), index >= 0 && index < kProbeParams ? names[index] : "");
        }
        return 0;
    case vst::effSetSampleRate: note(p, Call::SetSampleRate, 0, opt); return 0;
    case vst::effSetBlockSize: note(p, Call::SetBlockSize, 0, static_cast<float>(value)); return 0;
    case vst::effMainsChanged: note(p, value ? Call::Resume : Call::Suspend); return 0;
    case vst::effVendorSpecific:
        if (index == kProbeLogQuery) return reinterpret_cast<vst::VstIntPtr>(&p->log);
        if (index == kProbeForgetQuery) p->forget = value != 0;
        return 0;
    default: return 0;
    }
}

void VST_CALL setParameter(vst::AEffect* e, vst::VstInt32 index, float value) {
    Probe* p = probeOf(e);
    note(p, Call::SetParameter, index, value);
    if (index < 0 || index >= kProbeParams || (p->forget && index == 2)) return;
    p->values[p->current][index] = value > 1.0f ? 1.0f : (value >= 0.0f ? value : 0.0f);
}

float VST_CALL getParameter(vst::AEffect* e, vst::VstInt32 index) {
    Probe* p = probeOf(e);
    return index >= 0 && index < kProbeParams ? p->values[p->current][index] : 0.0f;
}

void VST_CALL processReplacing(vst::AEffect* e, float** inputs, float** outputs, vst::VstInt32 frames) {
    Probe* p = probeOf(e);
    note(p, Call::Process, frames);
    if (p->log.count > 0 && p->log.calls[p->log.count - 1].call == Call::Process) {
        CallRecord& r = p->log.calls[p->log.count - 1];
        r.requestMask = vst::kVstTempoValid | vst::kVstTimeSigValid;
        auto* info =
            reinterpret_cast<vst::VstTimeInfo*>(p->host(e, vst::audioMasterGetTime, 0, r.requestMask, nullptr, 0));
        if (info) {
            r.gotTime = 1;
            r.timeFlags = info->flags;
            r.samplePos = info->samplePos;
            r.tempo = info->tempo;
            r.timeSigNumerator = info->timeSigNumerator;
        }
    }
    for (vst::VstInt32 i = 0; i < frames; ++i) {
        outputs[0][i] = inputs[0][i];
        outputs[1][i] = -inputs[1][i];
    }
}

void VST_CALL process(vst::AEffect* e, float** inputs, float** outputs, vst::VstInt32 frames) {}

vst::AEffect* create(vst::AudioMasterCallback host) {
    if (!host || host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0) == 0) return nullptr;
    Probe* p = new (std::nothrow) Probe();
    if (!p) return nullptr;
    p->host = host;
    for (int i = 0; i < kProbePrograms; ++i) {
        copyName(p->names[i], i == 0 ? "First" : i == 1 ? "Second" : "Third");
        for (int j = 0; j < kProbeParams; ++j) p->values[i][j] = 0.1f * static_cast<float>(i + j);
    }
    vst::AEffect& r = p->record;
    r.magic = vst::kEffectMagic;
    r.dispatcher = dispatcher;
    r.process = process;
    r.setParameter = setParameter;
    r.getParameter = getParameter;
    r.numPrograms = kProbePrograms;
    r.numParams = kProbeParams;
    r.numInputs = 2;
    r.numOutputs = 2;
    r.flags = vst::effFlagsCanReplacing;
    r.ioRatio = 1.0f;
    r.object = p;
    r.uniqueID = kProbeID;
    r.version = kProbeVersion;
    r.processReplacing = processReplacing;
    return &r;
}

}  // namespace

#if defined(_WIN32)
#define PROBE_EXPORT extern "C" __declspec(dllexport)
#else
#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

PROBE_EXPORT vst::AEffect* VST_CALL VSTPluginMain(vst::AudioMasterCallback host) { return create(host); }
