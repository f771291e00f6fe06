// The record a probe plug-in keeps of the calls a host makes, read by the
// tests through effVendorSpecific (index kProbeLogQuery). Plain data with a
// fixed layout, so that it can be read across a DLL boundary without
// sharing a heap.
#pragma once

#include <cstdint>

#include "vst/VstInterface.h"

namespace trv4probe {

constexpr vst::VstInt32 kProbeLogQuery = vst::fourCC('p', 'r', 'b', 'L');
// effVendorSpecific with this index and value 1 makes parameter 2 ignore
// writes (a plug-in that forgets a value), value 0 ends that.
constexpr vst::VstInt32 kProbeForgetQuery = vst::fourCC('p', 'r', 'b', 'F');

constexpr int kProbePrograms = 3;
constexpr int kProbeParams = 4;
constexpr vst::VstInt32 kProbeID = vst::fourCC('P', 'r', 'b', '1');
constexpr vst::VstInt32 kProbeVersion = 7;

enum class Call : int32_t {
    SetSampleRate,
    SetBlockSize,
    SetProgram,
    SetParameter,
    SetProgramName,
    Resume,
    Suspend,
    Process
};

struct CallRecord {
    Call call;
    int32_t index;  // program or parameter index, frames for Process
    float value;    // rate, block size or parameter value
    // Process: what audioMasterGetTime answered for mask 0x2400.
    int32_t gotTime;
    int32_t timeFlags;
    double samplePos;
    double tempo;
    int32_t timeSigNumerator;
    int32_t requestMask;
};

struct ProbeLog {
    static constexpr int kCapacity = 8192;
    int32_t count;
    int32_t overflow;  // calls that did not fit
    CallRecord calls[kCapacity];
};

}  // namespace trv4probe
