// Checks of the record and the effect's life: identity, open and close,
// several instances at once, the call orders hosts really use, block sizes,
// sample rates and buffer layouts.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "editor/EditorTestPort.h"
#include "tools/trv4/validate/Checks.h"
#include "tools/trv4/validate/Signals.h"

namespace trv4tool::validate {

namespace {

constexpr double kRate = 44100;

// Largest difference between two renders.
float maxDifference(const Stereo& a, const Stereo& b) {
    float d = 0;
    for (size_t i = 0; i < a.frames(); ++i)
        d = std::max({d, std::fabs(a.left[i] - b.left[i]), std::fabs(a.right[i] - b.right[i])});
    return d;
}

// Two instances of the same settings differ only by the dither (and what the
// feedback makes of it): far below this. (Programs with the random wave
// shape draw from the generator all instances share, so the checks that
// compare instances use program 0.)
constexpr float kSameSound = 1e-4f;

Outcome identity(Session& session) {
    Instance fx(session);
    if (!fx.valid()) return {Outcome::kFail, "the entry gave no effect record with the 'VstP' magic"};
    const vst::AEffect& r = *fx.record();
    Faults f;
    f.expect(r.numPrograms == 45, "numPrograms " + std::to_string(r.numPrograms));
    f.expect(r.numParams == 21, "numParams " + std::to_string(r.numParams));
    f.expect(r.numInputs == 2 && r.numOutputs == 2, "not 2 inputs and 2 outputs");
    f.expect(r.flags == 0x19, "flags " + std::to_string(r.flags) + " (expected editor, mono, replacing: 0x19)");
    f.expect(r.uniqueID == vst::fourCC('7', '9', '4', '3'), "uniqueID " + std::to_string(r.uniqueID));
    f.expect(r.version == 1 && r.initialDelay == 0 && r.ioRatio == 1.0f, "version, initialDelay or ioRatio");
    f.expect(r.processReplacing && r.process && r.setParameter && r.getParameter && r.dispatcher,
             "an entry point is missing");
    f.expect(fx.dispatch(vst::effIdentify) == vst::fourCC('N', 'v', 'E', 'f'), "effIdentify");
    f.expect(fx.dispatch(vst::effGetVstVersion) == 2300, "effGetVstVersion");
    f.expect(fx.text(vst::effGetEffectName) == "TRV-4", "effect name \"" + fx.text(vst::effGetEffectName) + "\"");
    f.expect(fx.text(vst::effGetProductString) == "TRV-4", "product text");
    f.expect(fx.text(vst::effGetVendorString) == "Tolvmark Audio", "vendor text");
    f.expect(fx.dispatch(vst::effGetProgram) == 0, "current program is not 0 after construction");
    // A host that does not speak VST 2 gets no record.
    trv4host::Host refusing;
    refusing.version = 0;
    vst::AEffect* none = refusing.instantiate(session.module().entry());
    f.expect(none == nullptr, "an effect for a host answering 0 to audioMasterVersion");
    f.expect(fx.close() == 1, "effClose does not answer 1");
    return f.outcome("record, identity texts and answers as designed");
}

// The editor on the headless backend, when the module offers its test port.
bool openEditor(Instance& fx) {
    trv4::EditorTestPort port;
    std::memset(&port, 0, sizeof port);
    port.size = sizeof port;
    if (fx.dispatch(vst::effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue, &port) != 1) return false;
    return fx.dispatch(vst::effEditOpen) != 0;
}

Outcome openClose(Session& session) {
    Faults f;
    for (int i = 0; i < 100 && !f.any(); ++i) {
        Instance fx(session);
        f.expect(fx.valid(), "cycle " + std::to_string(i) + ": no record");
        if (i % 10 == 5 && openEditor(fx)) {
            fx.dispatch(vst::effEditIdle);
            fx.dispatch(vst::effEditClose);
        }
        if (i % 10 == 0) {
            fx.start(float(kRate));
            Stereo in = makeSignal(Signal::kNoise, 256, kRate, i);
            Analysis a;
            a.add(render(fx, in, 256));
            f.expect(a.fault().empty(), "cycle " + std::to_string(i) + ": " + a.fault());
        }
        f.expect(fx.close() == 1, "cycle " + std::to_string(i) + ": effClose does not answer 1");
    }
    return f.outcome("100 effects made, opened and closed, the editor opened and closed in ten of them");
}

// count instances at once, each with its own Delay, processing block by
// block in turn: each must sound as it does alone, and one fed silence
// must stay silent.
Outcome instances(Session& session, int count) {
    const size_t frames = size_t(kRate) / 2;
    const int block = 441;
    auto setUp = [&](Instance& fx, int k) {
        fx.setProgram(0);
        fx.setParameter(0, 0.1f + 0.1f * k);
        fx.start(float(kRate), block);
    };
    std::vector<Stereo> inputs, alone;
    for (int k = 0; k < count; ++k) {
        inputs.push_back(makeSignal(k == count - 1 ? Signal::kSilence : Signal::kNoise, frames, kRate, 10 + k));
        Instance fx(session);
        setUp(fx, k);
        alone.push_back(render(fx, inputs[k], block));
    }
    std::vector<std::unique_ptr<Instance>> all;
    std::vector<Stereo> together;
    for (int k = 0; k < count; ++k) {
        all.push_back(std::make_unique<Instance>(session));
        setUp(*all.back(), k);
        together.emplace_back(frames);
    }
    for (size_t done = 0; done < frames; done += block)
        for (int k = 0; k < count; ++k) {
            float* in[2] = {inputs[k].left.data() + done, inputs[k].right.data() + done};
            float* out[2] = {together[k].left.data() + done, together[k].right.data() + done};
            all[k]->process(in, out, block);
        }
    Faults f;
    for (int k = 0; k < count; ++k) {
        const float d = maxDifference(alone[k], together[k]);
        f.expect(d < kSameSound,
                 "instance " + std::to_string(k) + " differs from its run alone by " + std::to_string(d));
        f.expect(std::fabs(all[k]->getParameter(0) - (0.1f + 0.1f * k)) < 1e-6f,
                 "instance " + std::to_string(k) + " lost its Delay value");
    }
    Analysis silent;
    silent.add(together[count - 1]);
    f.expect(silent.peak < 1e-5f,
             "the instance fed silence hears the others (peak " + std::to_string(silent.peak) + ")");
    all[0]->setProgram(7);
    f.expect(all[1]->dispatch(vst::effGetProgram) == 0, "a program change reached another instance");
    return f.outcome(std::to_string(count) + " instances alternate blocks, each sounds as alone");
}

Outcome twoInstances(Session& session) { return instances(session, 2); }
Outcome eightInstances(Session& session) { return instances(session, 8); }

// One call order hosts use; the output must stay sound throughout.
Outcome callOrders(Session& session) {
    Faults f;
    const Stereo in = makeSignal(Signal::kNoise, 2048, kRate, 3);
    auto sound = [&](Instance& fx, const char* order, int block = 512) {
        Analysis a;
        a.add(render(fx, in, block));
        f.expect(a.fault().empty(), std::string(order) + ": " + a.fault());
    };
    {
        Instance fx(session);
        sound(fx, "process before resume");
        fx.start(float(kRate));
        sound(fx, "process after the late resume");
    }
    {
        Instance fx(session);
        fx.start(float(kRate));
        fx.dispatch(vst::effMainsChanged, 0, 1);
        sound(fx, "resume twice");
        fx.dispatch(vst::effMainsChanged, 0, 0);
        fx.dispatch(vst::effMainsChanged, 0, 0);
        sound(fx, "suspend twice, then process");
        fx.dispatch(vst::effMainsChanged, 0, 1);
        fx.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 96000.0f);
        sound(fx, "sample rate changed without suspend");
        fx.dispatch(vst::effMainsChanged, 0, 1);
        sound(fx, "resume at the new rate without suspend");
        fx.dispatch(vst::effSetBlockSize, 0, 64);
        sound(fx, "block size changed while resumed (blocks of 1024)", 1024);
        // A count of 0 (and a negative one) must leave the outputs alone.
        float sentinel[2] = {7.0f, 7.0f}, source[2] = {0.5f, 0.5f};
        float* inputs[2] = {source, source + 1};
        float* outputs[2] = {sentinel, sentinel + 1};
        fx.process(inputs, outputs, 0);
        fx.process(inputs, outputs, 0, true);
        fx.process(inputs, outputs, -1);
        f.expect(sentinel[0] == 7.0f && sentinel[1] == 7.0f, "a count of 0 or less wrote the outputs");
        sound(fx, "process after count 0");
    }
    return f.outcome("process before resume, resume and suspend twice, rate and block size changes, count 0");
}

Outcome blockSizes(Session& session) {
    const Stereo in = makeSignal(Signal::kNoise, size_t(kRate), kRate, 4);
    auto run = [&](int block) {
        Instance fx(session);
        fx.setProgram(0);
        fx.start(float(kRate), block > 0 ? block : 4096);
        return render(fx, in, block, &session);
    };
    const Stereo reference = run(512);
    Faults f;
    for (int block : {1, 7, 63, 64, 4097, 8192, 0}) {
        const Stereo out = run(block);
        const std::string name = block ? "blocks of " + std::to_string(block) : "random block sizes";
        Analysis a;
        a.add(out);
        f.expect(a.fault().empty(), name + ": " + a.fault());
        const float d = maxDifference(out, reference);
        f.expect(d < kSameSound, name + " differ from blocks of 512 by " + std::to_string(d));
    }
    return f.outcome("1, 7, 63, 64, 4097, 8192 and random sizes sound as blocks of 512");
}

Outcome sampleRates(Session& session) {
    Faults f;
    std::vector<float> rates(std::begin(kSupportedRates), std::end(kSupportedRates));
    rates.insert(rates.end(), std::begin(kOtherRates), std::end(kOtherRates));
    for (float rate : rates) {
        for (int program : {0, 14}) {
            Instance fx(session);
            fx.setProgram(program);
            fx.start(rate);
            Analysis a;
            a.add(render(fx, makeSignal(Signal::kNoise, size_t(rate / 4), rate, 5), 512));
            a.add(render(fx, makeSignal(Signal::kImpulse, size_t(rate / 4), rate, 5), 512));
            f.expect(a.fault().empty(), std::to_string(int(rate)) + " Hz: " + a.fault());
            f.expect(a.peak > 0.01f, std::to_string(int(rate)) + " Hz: no output");
        }
    }
    return f.outcome("six supported rates and 22050, 32000, 352800, 384000");
}

Outcome bufferLayouts(Session& session) {
    const Stereo in = makeSignal(Signal::kNoise, 8192, kRate, 6);
    auto fresh = [&] {
        auto fx = std::make_unique<Instance>(session);
        fx->setProgram(0);
        fx->start(float(kRate));
        return fx;
    };
    auto separate = fresh();
    const Stereo reference = render(*separate, in, 512);
    Faults f;
    // In place: the outputs are the input buffers.
    {
        auto fx = fresh();
        Stereo io = in;
        for (size_t done = 0; done < io.frames(); done += 512) {
            float* buffers[2] = {io.left.data() + done, io.right.data() + done};
            fx->process(buffers, buffers, 512);
        }
        const float d = maxDifference(io, reference);
        f.expect(d < kSameSound, "in-place processing differs from separate buffers by " + std::to_string(d));
    }
    // Accumulating onto zeroed outputs gives the replacing result.
    {
        auto fx = fresh();
        Stereo out(in.frames());
        for (size_t done = 0; done < in.frames(); done += 512) {
            float* inputs[2] = {const_cast<float*>(in.left.data()) + done, const_cast<float*>(in.right.data()) + done};
            float* outputs[2] = {out.left.data() + done, out.right.data() + done};
            fx->process(inputs, outputs, 512, true);
        }
        const float d = maxDifference(out, reference);
        f.expect(d < kSameSound, "accumulating onto zeros differs from replacing by " + std::to_string(d));
        // And it adds: the same again onto a constant.
        Stereo ones(512), again(512);
        std::fill(ones.left.begin(), ones.left.end(), 1.0f);
        std::fill(ones.right.begin(), ones.right.end(), 1.0f);
        auto a = fresh(), b = fresh();
        Stereo silence(512);
        float* si[2] = {silence.left.data(), silence.right.data()};
        float* oo[2] = {ones.left.data(), ones.right.data()};
        float* ao[2] = {again.left.data(), again.right.data()};
        a->process(si, oo, 512, true);
        b->process(si, ao, 512);
        bool adds = true;
        for (int i = 0; i < 512; ++i) adds = adds && std::fabs(ones.left[i] - 1.0f - again.left[i]) < 1e-5f;
        f.expect(adds, "accumulating does not add to what the output holds");
    }
    return f.outcome("in-place equals separate buffers; accumulating equals replacing on zeroed outputs");
}

}  // namespace

void addLifecycleChecks(std::vector<Check>& checks) {
    checks.push_back({"identity", identity});
    checks.push_back({"open-close-100", openClose});
    checks.push_back({"two-instances", twoInstances});
    checks.push_back({"eight-instances", eightInstances});
    checks.push_back({"call-orders", callOrders});
    checks.push_back({"block-sizes", blockSizes});
    checks.push_back({"sample-rates", sampleRates});
    checks.push_back({"buffer-layouts", bufferLayouts});
}

}  // namespace trv4tool::validate
