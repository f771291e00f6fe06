// Checks of the sound of every factory program: test signals at full scale,
// silence and its decay, broken input from the host, and (strict) every
// program at every rate.
#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/trv4/validate/Checks.h"
#include "tools/trv4/validate/Signals.h"

namespace trv4tool::validate {

namespace {

constexpr Signal kSignals[] = {Signal::kNoise, Signal::kSilence, Signal::kSquare, Signal::kImpulse};
// What the dither leaves once the echoes have died (-100 dB).
constexpr float kDitherFloor = 1e-5f;

// The signals in turn through one effect at rate, then silence until the
// output is down at the dither floor (at most maxTail seconds). Answers the
// seconds the decay took, or -1 when it did not get there.
double programSignals(Session& session, int program, float rate, double seconds, double maxTail, Faults& f) {
    Instance fx(session);
    fx.setProgram(program);
    fx.start(rate);
    const std::string where = "program " + std::to_string(program) + " at " + std::to_string(int(rate)) + " Hz, ";
    const size_t frames = size_t(rate * seconds);
    for (Signal signal : kSignals) {
        Analysis a;
        a.add(render(fx, makeSignal(signal, frames, rate, 20 + program), 512));
        f.expect(a.fault().empty(), where + signalName(signal) + ": " + a.fault());
    }
    render(fx, makeSignal(Signal::kNoise, frames, rate, 40 + program), 512);
    const Stereo silence(size_t(rate / 10));
    for (double tail = 0; tail < maxTail; tail += 0.1) {
        Analysis a;
        a.add(render(fx, silence, 512));
        f.expect(a.fault().empty(), where + "silent tail: " + a.fault());
        if (a.peak < kDitherFloor) return tail + 0.1;
    }
    f.add(where + "silence after noise still above -100 dB after " + std::to_string(int(maxTail)) + " s");
    return -1;
}

Outcome programs(Session& session) {
    Faults f;
    double slowest = 0;
    const int programs = Instance(session).programs();
    for (int program = 0; program < programs; ++program)
        slowest = std::max(slowest, programSignals(session, program, 44100, 0.25, 30, f));
    return f.outcome(std::to_string(programs) +
                     " programs: noise, silence, square, impulse sound; silence after noise below -100 dB within " +
                     std::to_string(slowest).substr(0, 4) + " s");
}

Outcome everyRate(Session& session) {
    Faults f;
    std::vector<float> rates(std::begin(kSupportedRates), std::end(kSupportedRates));
    rates.insert(rates.end(), std::begin(kOtherRates), std::end(kOtherRates));
    const int programs = Instance(session).programs();
    for (float rate : rates)
        for (int program = 0; program < programs; ++program) programSignals(session, program, rate, 0.25, 60, f);
    return f.outcome(std::to_string(programs) + " programs at " + std::to_string(rates.size()) + " rates");
}

// One block of broken samples, then normal input: the output must be
// numbers throughout and, a second later, as loud as a twin's that never
// saw the broken block.
Outcome brokenInput(Session& session) {
    const float rate = 44100;
    const float inf = std::numeric_limits<float>::infinity();
    const float broken[] = {std::numeric_limits<float>::quiet_NaN(), inf, -inf, 1e30f, -1e30f};
    Faults f;
    double worst = 1;
    const int programs = Instance(session).programs();
    for (int program = 0; program < programs; ++program) {
        Instance hurt(session), twin(session);
        for (Instance* fx : {&hurt, &twin}) {
            fx->setProgram(program);
            fx->start(rate);
        }
        const Stereo before = makeSignal(Signal::kNoise, size_t(rate / 2), rate, 50 + program);
        render(hurt, before, 512);
        render(twin, before, 512);
        Stereo bad = makeSignal(Signal::kNoise, 512, rate, 60 + program);
        const Stereo good = bad;
        for (size_t i = 0; i < bad.frames(); ++i) {
            if (i % 3 == 0) bad.left[i] = broken[i % 5];
            if (i % 4 == 1) bad.right[i] = broken[(i + 2) % 5];
        }
        const std::string where = "program " + std::to_string(program) + ": ";
        Analysis during;
        during.add(render(hurt, bad, 512));
        render(twin, good, 512);
        f.expect(during.fault().empty(), where + "the broken block gave " + during.fault());
        const Stereo after = makeSignal(Signal::kNoise, size_t(rate), rate, 70 + program);
        Analysis firstSecond;
        firstSecond.add(render(hurt, after, 512));
        render(twin, after, 512);
        f.expect(firstSecond.fault().empty(), where + "the second after it gave " + firstSecond.fault());
        const Stereo later = makeSignal(Signal::kNoise, size_t(rate / 2), rate, 80 + program);
        Analysis a, b;
        a.add(render(hurt, later, 512));
        b.add(render(twin, later, 512));
        f.expect(a.fault().empty(), where + "later: " + a.fault());
        const double ratio = b.rms() > 0 ? a.rms() / b.rms() : 0;
        worst = std::min(worst, std::min(ratio, 1 / std::max(ratio, 1e-9)));
        f.expect(ratio > 0.5 && ratio < 2,
                 where + "a second later the level is " + std::to_string(ratio) + " of the twin's");
    }
    return f.outcome("NaN, +-inf, 1e30 for a block: numbers throughout, normal level a second later (worst ratio " +
                     std::to_string(worst).substr(0, 4) + ")");
}

}  // namespace

void addSignalChecks(std::vector<Check>& checks) {
    checks.push_back({"program-signals", programs});
    checks.push_back({"broken-input", brokenInput});
    checks.push_back({"every-program-every-rate", everyRate, true});
}

}  // namespace trv4tool::validate
