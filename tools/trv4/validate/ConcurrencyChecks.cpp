// Checks of what runs while audio is processed: automation every 32
// samples, parameters and texts asked from a second thread, program changes,
// and the editor opened, idled and closed (on the headless backend, through
// the editor's test port) while another thread processes.
#include <atomic>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>

#include "editor/EditorTestPort.h"
#include "tools/trv4/validate/Checks.h"
#include "tools/trv4/validate/Signals.h"

namespace trv4tool::validate {

namespace {

constexpr float kRate = 44100;

// seconds of noise in blocks of 32 with every parameter set to a random
// value before each block; the output must stay sound.
void automate(Session& session, Instance& fx, double seconds, Faults& f, const std::string& where) {
    const Stereo in = makeSignal(Signal::kNoise, 4096, kRate, 90);
    Stereo out(32);
    Analysis a;
    for (size_t frame = 0; frame < size_t(kRate * seconds); frame += 32) {
        for (int index = 0; index < fx.parameters(); ++index) fx.setParameter(index, session.uniform());
        const size_t at = frame % (in.frames() - 32);
        float* inputs[2] = {const_cast<float*>(in.left.data()) + at, const_cast<float*>(in.right.data()) + at};
        float* outputs[2] = {out.left.data(), out.right.data()};
        fx.process(inputs, outputs, 32);
        a.add(out);
    }
    f.expect(a.fault().empty(), where + a.fault());
}

Outcome automation(Session& session) {
    Faults f;
    for (int program : {0, 14, 30}) {
        Instance fx(session);
        fx.setProgram(program);
        fx.start(kRate);
        automate(session, fx, 3, f, "program " + std::to_string(program) + ": ");
    }
    return f.outcome("every parameter every 32 samples for 3 s, three programs");
}

Outcome longAutomation(Session& session) {
    Faults f;
    const int programs = Instance(session).programs();
    for (int program = 0; program < programs; ++program) {
        Instance fx(session);
        fx.setProgram(program);
        fx.start(kRate);
        automate(session, fx, 60, f, "program " + std::to_string(program) + ": ");
    }
    return f.outcome("60 s of random automation per program");
}

// Processes noise on a thread of its own until stopped; collects what it heard.
class AudioThread {
public:
    explicit AudioThread(Instance& fx) : fx_(fx), thread_([this] { run(); }) {}
    ~AudioThread() { stop(); }
    void stop() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
    }
    const Analysis& heard() const { return heard_; }
    long long blocks() const { return blocks_; }

private:
    void run() {
        const Stereo in = makeSignal(Signal::kNoise, 4096, kRate, 91);
        Stereo out(256);
        for (size_t at = 0; !done_; at = (at + 256) % (in.frames() - 256)) {
            float* inputs[2] = {const_cast<float*>(in.left.data()) + at, const_cast<float*>(in.right.data()) + at};
            float* outputs[2] = {out.left.data(), out.right.data()};
            fx_.process(inputs, outputs, 256);
            heard_.add(out);
            ++blocks_;
        }
    }

    Instance& fx_;
    std::atomic<bool> done_{false};
    Analysis heard_;
    long long blocks_ = 0;
    std::thread thread_;
};

// Sets random parameters and asks their texts until stopped.
class AutomationThread {
public:
    AutomationThread(Instance& fx, uint64_t seed) : fx_(fx), random_(seed), thread_([this] { run(); }) {}
    ~AutomationThread() { stop(); }
    void stop() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
    }

private:
    void run() {
        std::uniform_real_distribution<float> value(-0.25f, 1.25f);
        char text[64];
        for (int i = 0; !done_; ++i) {
            const int index = i % fx_.parameters();
            fx_.setParameter(index, value(random_));
            fx_.getParameter(index);
            if (i % 7 == 0) fx_.dispatch(vst::effGetParamDisplay, index, 0, text);
        }
    }

    Instance& fx_;
    std::atomic<bool> done_{false};
    std::mt19937 random_;
    std::thread thread_;
};

Outcome secondThread(Session& session) {
    Instance fx(session);
    fx.setProgram(3);
    fx.start(kRate);
    long long blocks = 0;
    Faults f;
    {
        AudioThread audio(fx);
        AutomationThread automation(fx, session.options().seed);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        automation.stop();
        audio.stop();
        f.expect(audio.heard().fault().empty(), "audio thread heard " + audio.heard().fault());
        blocks = audio.blocks();
    }
    for (int index = 0; index < fx.parameters(); ++index) {
        const float v = fx.getParameter(index);
        f.expect(v >= 0 && v <= 1, "parameter " + std::to_string(index) + " holds " + std::to_string(v));
    }
    f.expect(blocks > 0, "no block processed");
    return f.outcome("parameters and texts from a second thread during " + std::to_string(blocks) + " blocks");
}

// Between blocks on the processing thread, then from the window thread
// while another thread processes (as a host's program menu does).
Outcome programChanges(Session& session) {
    Instance fx(session);
    fx.start(kRate);
    const Stereo in = makeSignal(Signal::kNoise, 512, kRate, 92);
    Analysis a;
    const int programs = fx.programs();
    if (programs <= 0) {
        Faults f;
        f.add("the record announces no programs");
        return f.outcome("program changes");
    }
    for (int i = 0; i < 10 * programs; ++i) {
        fx.setProgram((i * 7) % programs);
        a.add(render(fx, in, 128));
    }
    Faults f;
    f.expect(a.fault().empty(), "between blocks: " + a.fault());
    {
        AudioThread audio(fx);
        for (int i = 0; i < 4 * programs; ++i) {
            fx.setProgram((i * 11) % programs);
            std::this_thread::yield();
        }
        audio.stop();
        f.expect(audio.heard().fault().empty(), "from another thread: " + audio.heard().fault());
    }
    f.expect(fx.dispatch(vst::effGetProgram) == ((4 * programs - 1) * 11) % programs,
             "the last program change was lost");
    return f.outcome("program changes between blocks and from a second thread while processing");
}

Outcome editor(Session& session) {
    Instance fx(session);
    trv4::EditorTestPort port;
    std::memset(&port, 0, sizeof port);
    port.size = sizeof port;
    if (fx.dispatch(vst::effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue, &port) != 1)
        return {Outcome::kSkip, "the module has no editor test port"};
    fx.start(kRate);
    Faults f;
    vst::ERect* rect = nullptr;
    fx.dispatch(vst::effEditGetRect, 0, 0, &rect);
    f.expect(rect && rect->right - rect->left == 755 && rect->bottom - rect->top == 370,
             "effEditGetRect is not 755 x 370");
    {
        AudioThread audio(fx);
        for (int round = 0; round < 8; ++round) {
            std::unique_ptr<AutomationThread> automation;
            if (round % 2) automation = std::make_unique<AutomationThread>(fx, session.options().seed + round);
            if (fx.dispatch(vst::effEditOpen, 0, 0, nullptr) == 0) {
                automation.reset();
                audio.stop();
                if (round == 0) return {Outcome::kSkip, "the module has no editor (effEditOpen answers 0)"};
                f.add("effEditOpen answered 0 in round " + std::to_string(round));
                break;
            }
            for (int idle = 0; idle < 10; ++idle) {
                fx.dispatch(vst::effEditIdle);
                port.advanceClock(port.context, 20);
            }
            std::vector<uint32_t> pixels(755 * 370);
            f.expect(port.capture(port.context, pixels.data(), 755, 370) == 1, "no 755 x 370 window to capture");
            fx.dispatch(vst::effEditClose);
            fx.dispatch(vst::effEditIdle);  // an idle after close must be harmless
        }
        audio.stop();
        f.expect(audio.heard().fault().empty(), "audio thread heard " + audio.heard().fault());
    }
    return f.outcome("editor opened, idled and closed 8 times while processing, with automation every other time");
}

}  // namespace

void addConcurrencyChecks(std::vector<Check>& checks) {
    checks.push_back({"automation-every-32", automation});
    checks.push_back({"second-thread-parameters", secondThread});
    checks.push_back({"program-changes", programChanges});
    checks.push_back({"editor-while-processing", editor});
    checks.push_back({"random-automation-60s", longAutomation, true});
}

}  // namespace trv4tool::validate
