// The per-block update: turns the current parameter values into engine
// values, in a fixed order, at the start of every block (and once in the
// pre-roll of resume). The costly steps run only when their inputs changed
// since they last ran. Audio thread.
#include <algorithm>
#include <array>
#include <cmath>

#include "engine/Engine.h"
#include "engine/ParameterLaws.h"

namespace trv4 {

namespace {

// Bilinear pre-warping needs omega T / 2 below pi/2, where the tangent turns
// negative. At the supported rates every edge stays below 1.4253 (20 kHz and
// the hi-cut's 125700 rad/s at 44.1 kHz); at lower rates the edges are held
// at 1.45 (about 0.46 SR), so the filters stay finite and stable and no
// non-number reaches the feedback path or the output.
constexpr double kMaxHalfAngle = 1.45;

double halfAngle(float omega, float T) { return std::min(omega * static_cast<double>(T) / 2, kMaxHalfAngle); }

// The scale of an exponential law in hertz as an angular frequency in rad/s.
constexpr double angular(ParamIndex index) {
    return 2 * 3.141592653589793 * static_cast<double>(kParameterLaws[index].scale);
}

// Whether now differs from last (then last becomes now).
template <size_t N>
bool changed(std::array<float, N>& last, const std::array<float, N>& now) {
    if (last == now) return false;
    last = now;
    return true;
}

// Quality factors of the three hi-cut sections, in order.
constexpr float kHiCutQ[HiCut::kSections] = {0.5f, 0.7f, 1.9f};

}  // namespace

void Engine::updateBlock() {
    float p[kNumParams];
    for (int i = 0; i < kNumParams; ++i) p[i] = params[i].load(std::memory_order_relaxed);
    const double sr = workingRate(st.sampleRate);
    const float T = static_cast<float>(1 / sr);

    // 1. Delay target: the Delay law relative to its maximum, as buffer samples.
    if (changed(lastUpdate.delay, {p[kDelay], st.delayScale})) {
        const ParameterLaw& delay = kParameterLaws[kDelay];
        const double delayBase = static_cast<double>(delay.baseOrOffset);
        const float d = static_cast<float>(lawPower<double>(delay, p[kDelay]) * (1 / delayBase));  // 1/12000 .. 1
        st.delayTarget = static_cast<float>(131071 * static_cast<double>(d) * st.delayScale);
    }

    // 2. Modulators: shapes, rates, increments, phase locks.
    const ModulatorSettings mods{p[kWave1],  p[kRate1],      p[kWave2],       p[kRate2],
                                 p[kOffset], p[kHostOffset], p[kSync] > 0.5f, sr};
    const bool rateChanged = lastUpdate.modulatorRate != sr;
    lastUpdate.modulatorRate = sr;
    if (changed(lastUpdate.modulators, {p[kWave1], p[kRate1], p[kWave2], p[kRate2], p[kOffset]}) || rateChanged)
        st.freeModulation = freeModulation(mods);
    setupModulators(st.mod1, st.mod2, mods, st.freeModulation, time, st.hostTempo);

    // 3. Feedback band-pass between Low and High, pre-warped edges.
    FeedbackBandpass& bp = st.feedback;
    if (changed(lastUpdate.bandpass, {p[kHigh], p[kLow], T})) {
        const float omegaH = static_cast<float>(angular(kHigh) * lawPower<double>(kParameterLaws[kHigh], p[kHigh]));
        const float omegaL = static_cast<float>(angular(kLow) * lawPower<double>(kParameterLaws[kLow], p[kLow]));
        const float warpedH = static_cast<float>((2 / static_cast<double>(T)) * std::tan(halfAngle(omegaH, T)));
        const float warpedL = static_cast<float>((2 / static_cast<double>(T)) * std::tan(halfAngle(omegaL, T)));
        const double omega0 = std::sqrt(static_cast<double>(warpedH) * warpedL);
        double Q = omega0 / std::fabs(static_cast<double>(warpedH) - warpedL);
        if (Q > 100) Q = 100;  // equal edges give an infinite Q
        const double K = 2 / (omega0 * T);
        const double D = K * K + K / Q + 1;
        bp.b0 = static_cast<float>((K / Q) / D);
        bp.b2 = static_cast<float>(-(K / Q) / D);
        bp.a1 = static_cast<float>((2 - 2 * K * K) / D);
        bp.a2 = static_cast<float>((K * K - K / Q + 1) / D);
    }

    // 4. Feedback gain: -0.99 .. +0.99.
    bp.gain = static_cast<float>((p[kFeedback] - 0.5) * 1.98);

    // 5. Output gains: Level -16 dB + 20 p dB, -20dB switch, Mix.
    if (changed(lastUpdate.gains, {p[kLevel], p[kMinus20dB], p[kMix]})) {
        float G = static_cast<float>(std::pow(10.0, p[kLevel]) * 0.158489319246);
        G = static_cast<float>(((1.0 - p[kMinus20dB]) * 0.9 + 0.1) * G);
        st.wetGain = static_cast<float>(p[kMix] * static_cast<double>(G));
        st.dryGain = static_cast<float>((1.0 - p[kMix]) * G);
    }

    // 6. Hi-cut: cutoff 12570 * 10^p rad/s (the Hi-Cut law's 2 kHz taken as
    // 12570 rad/s), K the cotangent of the warped half angle; computed also
    // while the stage is off.
    if (changed(lastUpdate.hiCut, {p[kHiCut], T})) {
        const float omegaC = static_cast<float>(lawPower<double>(kParameterLaws[kHiCut], p[kHiCut]) * 12570);
        const double angle = halfAngle(omegaC, T);
        const float Kc = static_cast<float>(std::cos(angle) / std::sin(angle));
        const double K = Kc;
        for (int k = 0; k < HiCut::kSections; ++k) {
            const double q = kHiCutQ[k];
            const double D = K / q + 1 + K * K;
            st.hiCut.c0[k] = static_cast<float>(1 / D);
            st.hiCut.c1[k] = static_cast<float>(2 / D);
            st.hiCut.c2[k] = static_cast<float>(1 / D);
            st.hiCut.a1[k] = static_cast<float>((2 - 2 * K * K) / D);
            st.hiCut.a2[k] = static_cast<float>((K * K - K / q + 1) / D);
        }
    }
}

}  // namespace trv4
