// The straightforward sample step: plain scalar code, one numbered step after
// the other, one call per input sample. It is the readable statement of the
// sample loop and the yardstick the fast block path (BlockStages.h, whose
// stages carry the same numbers) is tested against. Audio thread.
#include <cmath>

#include "engine/Engine.h"
#include "engine/InputMend.h"
#include "engine/OutputFlush.h"
#include "engine/Nearest.h"

namespace trv4 {

void Engine::referenceStep(float inL, float inR, float& outL, float& outR, RandomStream& random) {
    // 0. The host's samples, mended before anything reads them (dry path too).
    inL = mendInput(inL);
    inR = mendInput(inR);

    // Read at every step: Depth, AM, Pan, Mono, Spread, Hi-Cut.
    const float depth = params[kDepth].load(std::memory_order_relaxed);
    const float am = params[kAM].load(std::memory_order_relaxed);
    const float pan = params[kPan].load(std::memory_order_relaxed);
    const float mono = params[kMono].load(std::memory_order_relaxed);
    const float spread = params[kSpread].load(std::memory_order_relaxed);
    const float hiCut = params[kHiCut].load(std::memory_order_relaxed);

    // 1. Smoothing of base delay and depth while a ramp runs.
    if (st.rampCounter > 0) {
        st.baseDelay = nearestInt32(st.smoother.run(st.delayTarget, st.zDelay));
        const double d = st.smoother.run(depth, st.zDepth);
        st.depthSamples = static_cast<float>(st.baseDelay * d);
        --st.rampCounter;
    }

    // 2. Dither, uniform in [-3e-8, 3e-8), shared by both channels.
    const double noise = (random.next() - 0.5) * 6e-8;

    // 3. Input stage: the same input oversampling-factor times through the
    // low-pass into the buffers.
    const float xL = static_cast<float>(inL + static_cast<double>(st.feedback.feedback[0]) + noise);
    const float xR = static_cast<float>(inR + static_cast<double>(st.feedback.feedback[1]) + noise);
    for (int k = 0; k < st.oversampling; ++k) {
        const float left = st.input.run(0, xL);
        const float right = st.input.run(1, xR);
        st.delay.write(left, right);
    }

    // 4. Modulators.
    stepModulators(st.mod1, st.mod2, random);
    const double lfo1 = st.mod1.output;
    const double lfo2 = st.mod2.output;

    // 5, 6. Taps; Spread crossfades the right tap from lfo1 to lfo2.
    const float posL = static_cast<float>(st.depthSamples * lfo1);
    double tapL = st.delay.tap(0, st.baseDelay, posL);
    const float posR =
        static_cast<float>(((1.0 - spread) * lfo1 + static_cast<double>(spread) * lfo2) * st.depthSamples);
    double tapR = st.delay.tap(1, st.baseDelay, posR);

    // 7. Feedback for the next sample.
    st.feedback.run(0, tapL);
    st.feedback.run(1, tapR);

    // 8. Amplitude modulation by lfo1.
    const double g = 1 - (1 - lfo1) * am;
    tapL *= g;
    tapR *= g;

    // 9. Auto-pan by lfo2.
    tapL *= 1 - (1 - lfo2) * pan;
    tapR *= 1 - static_cast<double>(pan) * lfo2;

    // 10. Hi-cut, skipped (states untouched) at exactly 1.0.
    if (hiCut < 1.0f) {
        tapL = st.hiCut.run(0, tapL);
        tapR = st.hiCut.run(1, tapR);
    }

    // 11. Mix with the raw input.
    double mixL = tapL * st.wetGain + inL * static_cast<double>(st.dryGain);
    double mixR = tapR * st.wetGain + inR * static_cast<double>(st.dryGain);

    // 12. Mono sum.
    if (mono > 0.5f) mixL = mixR = 0.5 * mixL + 0.5 * mixR;

    // 13. Limiter: a peak above 2.0 is brought to 2.0 at once; the reduction
    // then decays by 0.368 per second.
    const float peakL = static_cast<float>(std::fabs(mixL) + 1e-20);
    const float peakR = static_cast<float>(std::fabs(mixR) + 1e-20);
    const float peak = peakR > peakL ? peakR : peakL;
    const double t = (peak - 2.0) / peak;
    st.limiterReduction = static_cast<float>(st.limiterReduction * static_cast<double>(st.limiterRelease));
    if (t > st.limiterReduction) st.limiterReduction = static_cast<float>(t);
    // Results stay within +-2.0, and subnormal results leave as 0 (OutputFlush.h).
    outL = flushSubnormal(holdAtCeiling(static_cast<float>((1.0 - st.limiterReduction) * mixL)));
    outR = flushSubnormal(holdAtCeiling(static_cast<float>((1.0 - st.limiterReduction) * mixR)));

    // 14. Meter: instant attack, release by the meter coefficient.
    if (st.meterLevel < peak)
        st.meterLevel = peak;
    else
        st.meterLevel =
            static_cast<float>(st.meterLevel + (peak - static_cast<double>(st.meterLevel)) * st.meterCoefficient);
}

void Engine::processReference(const float* const* inputs, float* const* outputs, int32_t n) {
    applyPendingRamp();
    updateBlock();
    RandomStream random;
    for (int32_t i = 0; i < n; ++i) {
        float left, right;
        referenceStep(inputs[0][i], inputs[1][i], left, right, random);
        outputs[0][i] = left;
        outputs[1][i] = right;
    }
    random.commit();
    recoverFromNonFinite();
    publish();
}

}  // namespace trv4
