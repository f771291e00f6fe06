// Fuzz target: the plug-in object as a host drives it, with the plug-in's
// classes linked in. The input is a script of host calls: dispatcher calls
// with any opcode (but effClose, which ends every run), index, value, float
// and buffer; parameter sets and gets; process calls of any count with any
// samples (non-numbers included), replacing, accumulating or in place;
// sample rates, suspend and resume, program changes and the host's time
// information. The editor runs on the headless backend (its test port is
// taken first), so its opcodes are fair game too, a few per input.
//
// What must hold: nothing crashes or reads out of bounds (the sanitizers),
// the output is always numbers within 4.0 (the limiter holds 2.0 up to the
// float32 rounding of its reduction, which for a peak near 5e7 before it
// can leave up to 4.0), and every text answer is terminated within 65 bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "editor/EditorTestPort.h"
#include "vst/VstEntry.h"
#include "vst/VstInterface.h"

namespace {

vst::VstTimeInfo timeInfo{};
bool timeAvailable = false;

vst::VstIntPtr VST_CALL hostCallback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void* ptr,
                                     float) {
    switch (opcode) {
    case vst::audioMasterVersion: return 2400;
    case vst::audioMasterGetTime: return timeAvailable ? reinterpret_cast<vst::VstIntPtr>(&timeInfo) : 0;
    case vst::audioMasterGetVendorString:
    case vst::audioMasterGetProductString: std::strcpy(static_cast<char*>(ptr), "fuzz"); return 1;
    default: return 0;
    }
}

float anyFloat(FuzzedDataProvider& in) {
    const uint32_t bits = in.ConsumeIntegral<uint32_t>();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// Mostly small indices near the edges, sometimes anything.
int32_t anyIndex(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-2, 46) : in.ConsumeIntegral<int32_t>();
}

bool isTextAnswer(int opcode) {
    return opcode == vst::effGetProgramName || opcode == vst::effGetParamLabel || opcode == vst::effGetParamDisplay ||
           opcode == vst::effGetParamName || opcode == vst::effGetProgramNameIndexed ||
           opcode == vst::effGetEffectName || opcode == vst::effGetVendorString || opcode == vst::effGetProductString;
}

bool isEditorOpcode(int opcode) {
    return opcode == vst::effEditOpen || opcode == vst::effEditIdle || opcode == vst::effEditGetRect ||
           opcode == vst::effEditClose || opcode == vst::effEditKeyDown || opcode == vst::effEditKeyUp;
}

void process(vst::AEffect* fx, FuzzedDataProvider& in) {
    static std::vector<float> buffers[4];
    const int n = in.ConsumeIntegralInRange<int>(-2, 2048);
    const int mode = in.ConsumeIntegralInRange<int>(0, 2);  // replacing, accumulating, in place
    const size_t frames = size_t(n > 0 ? n : 1);
    for (auto& b : buffers) b.assign(frames, 0.0f);
    // Input samples from the script while it lasts, then a ramp.
    for (size_t i = 0; i < frames; ++i)
        buffers[0][i] = in.remaining_bytes() >= 4 && in.ConsumeBool() ? anyFloat(in) : float(i % 64) / 32.0f - 1.0f;
    for (size_t i = 0; i < frames; ++i) buffers[1][i] = buffers[0][frames - 1 - i];
    float* inputs[2] = {buffers[0].data(), buffers[1].data()};
    float* outputs[2] = {buffers[2].data(), buffers[3].data()};
    if (mode == 2) {
        for (int c = 0; c < 2; ++c) std::memcpy(outputs[c], inputs[c], frames * sizeof(float));
        float* io[2] = {outputs[0], outputs[1]};
        fx->processReplacing(fx, io, io, n);
    } else if (mode == 1) {
        fx->process(fx, inputs, outputs, n);
    } else {
        fx->processReplacing(fx, inputs, outputs, n);
    }
    if (n <= 0) return;
    for (int c = 0; c < 2; ++c)
        for (size_t i = 0; i < frames; ++i)
            if (!(std::fabs(outputs[c][i]) <= 4.0f)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    timeAvailable = false;
    vst::AEffect* fx = vst::createEffectRecord(hostCallback);
    if (!fx) std::abort();
    trv4::EditorTestPort port{};
    port.size = sizeof port;
    fx->dispatcher(fx, vst::effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue, &port, 0);

    alignas(16) char arena[1024];
    // Each resume runs the engine's pre-roll (thousands of samples) and
    // each editor opening builds the window: a few per input keep the
    // runs fast.
    int editorCalls = 0, resumes = 0;
    for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
        switch (in.ConsumeIntegralInRange<int>(0, 7)) {
        case 0: {
            int opcode = in.ConsumeIntegralInRange<int>(0, 80);
            if (opcode == vst::effClose) opcode = vst::effGetProgram;
            if (isEditorOpcode(opcode) && ++editorCalls > 4) break;
            if (opcode == vst::effMainsChanged && ++resumes > 2) break;
            const int32_t index = anyIndex(in);
            const vst::VstIntPtr value =
                in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(-2, 46) : in.ConsumeIntegral<int32_t>();
            const float opt = anyFloat(in);
            std::memset(arena, 0xA5, sizeof arena);
            const std::string text = in.ConsumeRandomLengthString(300);
            std::memcpy(arena, text.data(), text.size());
            if (in.ConsumeBool()) arena[text.size()] = 0;
            arena[sizeof arena - 1] = 0;
            void* ptr = in.ConsumeIntegralInRange<int>(0, 7) == 0 ? nullptr : arena;
            fx->dispatcher(fx, opcode, index, value, ptr, opt);
            if (ptr && isTextAnswer(opcode)) {
                std::memset(arena, 0xA5, sizeof arena);
                fx->dispatcher(fx, opcode, index, value, arena, opt);
                if (!std::memchr(arena, 0, 65) && static_cast<unsigned char>(arena[0]) != 0xA5) std::abort();
                for (size_t i = 65; i < sizeof arena; ++i)
                    if (static_cast<unsigned char>(arena[i]) != 0xA5) std::abort();
            }
            break;
        }
        case 1: fx->setParameter(fx, anyIndex(in), anyFloat(in)); break;
        case 2: {
            const float v = fx->getParameter(fx, anyIndex(in));
            if (!(v >= 0.0f && v <= 1.0f)) std::abort();
            break;
        }
        case 3:
        case 4: process(fx, in); break;
        case 5: {
            static const float rates[] = {44100, 48000, 88200, 96000, 176400, 192000, 22050, 384000};
            float rate = in.ConsumeBool() ? rates[in.ConsumeIntegralInRange<int>(0, 7)] : anyFloat(in);
            // The pre-roll at resume lasts ten smoothing time constants of
            // the rate (1.6 million samples at the 10 MHz the engine
            // clamps to): above 400 kHz every rate behaves alike, so
            // the runs stay short.
            if (rate > 400000.0f) rate = 400000.0f;
            fx->dispatcher(fx, vst::effSetSampleRate, 0, 0, nullptr, rate);
            if (++resumes <= 2)
                fx->dispatcher(fx, vst::effMainsChanged, 0, in.ConsumeIntegralInRange<int>(0, 1), nullptr, 0);
            break;
        }
        case 6: fx->dispatcher(fx, vst::effSetProgram, 0, anyIndex(in), nullptr, 0); break;
        case 7: {
            timeAvailable = in.ConsumeBool();
            double d[3];
            for (double& v : d) {
                const uint64_t bits = in.ConsumeIntegral<uint64_t>();
                std::memcpy(&v, &bits, sizeof v);
            }
            timeInfo.tempo = in.ConsumeBool() ? d[0] : in.ConsumeFloatingPointInRange<double>(0, 1000);
            timeInfo.ppqPos = d[1];
            timeInfo.samplePos = d[2];
            timeInfo.flags = in.ConsumeIntegral<int32_t>();
            timeInfo.timeSigNumerator = in.ConsumeIntegral<int32_t>();
            timeInfo.timeSigDenominator = in.ConsumeIntegral<int32_t>();
            break;
        }
        }
    }
    fx->dispatcher(fx, vst::effClose, 0, 0, nullptr, 0);
    return 0;
}
