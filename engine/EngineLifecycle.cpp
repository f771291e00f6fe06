// Lifecycle of the engine: construction, sample-rate change, suspend (clear)
// and resume (rate constants, pre-roll, ramp), ramp arming and the values the
// editor polls. Called on the dispatching thread, never during a block.
#include <cmath>

#include "engine/Engine.h"
#include "engine/Nearest.h"

namespace trv4 {

Engine::Engine(const ParameterArray& p, HostTimeSource& t) : params(p), time(t) {
    st.delay.clear();
    useWideVectors(true);
}

// The processor's feature bits and the system's saving of the 256-bit
// registers, both checked by the compiler's run-time support.
void Engine::useWideVectors(bool on) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    __builtin_cpu_init();
    wide = on && __builtin_cpu_supports("avx");
#else
    wide = false;
#endif
}

void Engine::setSampleRate(float sampleRate) {
    st.sampleRate = sampleRate;
    st.sampleRateChanged = true;
}

double Engine::sampleRate() const { return st.sampleRate; }

void Engine::clearSignalState() {
    st.input.reset();
    st.delay.clear();
    st.feedback.resetState();
    st.hiCut.resetState();
    st.limiterReduction = 0;
    st.meterLevel = 0;
}

void Engine::suspend() {
    clearSignalState();
    st.feedback.gain = 0;
    st.depthSamples = 0;
    st.mod1.clear();
    st.mod2.clear();
    st.hostTempo = 0;
    publish();
}

void Engine::resume() {
    if (st.sampleRateChanged) {
        st.sampleRateChanged = false;
        const double stored = st.sampleRate;
        const double sr = workingRate(stored);

        st.meterCoefficient = static_cast<float>(1 - std::exp(-1 / (0.2 * sr)));

        st.oversampling = 4;
        if (stored == 88200 || stored == 96000) st.oversampling = 2;
        if (stored == 176400 || stored == 192000) st.oversampling = 1;

        st.input.set = &kInputLowpass176k;
        if (stored == 48000 || stored == 96000 || stored == 192000) st.input.set = &kInputLowpass192k;
        st.heldInput = HeldInputResponse::of(*st.input.set, st.oversampling);

        // 0.6 s of delay at normalised delay 1, counted at the buffer's rate.
        st.delayScale = 0;
        if (stored == 44100 || stored == 48000) st.delayScale = static_cast<float>(stored * 0.6 * 4 / 131071);
        if (stored == 88200 || stored == 96000) st.delayScale = static_cast<float>(stored * 0.6 * 2 / 131071);
        if (stored == 176400 || stored == 192000) st.delayScale = static_cast<float>(stored * 0.6 / 131071);

        st.limiterRelease = static_cast<float>(std::exp(std::log(0.368) / sr));  // 0.368 per second

        // Smoothing: bilinear one-pole at 63 rad/s, ramps of ten time constants.
        const float T = static_cast<float>(1 / sr);
        st.rampLength = static_cast<int32_t>(nearestInt64(sr / 63 * 10));
        const float K = static_cast<float>(std::cos(63.0 * T * 0.5) / std::sin(63.0 * T * 0.5));
        st.smoother.b0 = st.smoother.b1 = static_cast<float>(1 / (1 + static_cast<double>(K)));
        st.smoother.a = static_cast<float>((1 - static_cast<double>(K)) / (1 + static_cast<double>(K)));
        sharedRampLength.store(st.rampLength, std::memory_order_relaxed);
    }

    // The pre-roll smooths only while the ramp left by the last parameter
    // change runs.
    applyPendingRamp();
    if (st.rampLength != 0) preRoll();
    st.rampCounter = st.rampLength;
    publish();
}

// Silent samples through the whole chain, so that the filters and the
// modulators have settled before the host's first block; the results are
// discarded.
void Engine::preRoll() {
    static constexpr float kSilence[BlockScratch::kFrames] = {};
    float discard[2][BlockScratch::kFrames];
    const float* in[2] = {kSilence, kSilence};
    float* out[2] = {discard[0], discard[1]};

    st.zDelay = st.zDepth = 0;
    updateBlock();
    for (int32_t left = st.rampLength + 1; left > 0; left -= BlockScratch::kFrames) {
        const int32_t n = left < BlockScratch::kFrames ? left : BlockScratch::kFrames;
        processFast<false>(in, out, n);
    }
    recoverFromNonFinite();
}

void Engine::armRamp() {
    armedRampLength.store(sharedRampLength.load(std::memory_order_relaxed), std::memory_order_relaxed);
    armCount.fetch_add(1, std::memory_order_release);
}

void Engine::applyPendingRamp() {
    const uint32_t count = armCount.load(std::memory_order_acquire);
    if (count == seenArmCount) return;
    seenArmCount = count;
    st.rampCounter = armedRampLength.load(std::memory_order_relaxed);
}

// A host that sends a non-number or a value far beyond full scale would
// leave the recursive filters and the delay buffers holding non-numbers for
// good; the next block then starts from silence instead.
void Engine::recoverFromNonFinite() {
    bool finite = std::isfinite(st.limiterReduction) && std::isfinite(st.meterLevel);
    for (int ch = 0; ch < 2; ++ch) {
        for (int k = 0; k < 2; ++k)
            finite = finite && std::isfinite(st.input.s1[k][ch]) && std::isfinite(st.input.s2[k][ch]);
        finite = finite && std::isfinite(st.feedback.s1[ch]) && std::isfinite(st.feedback.s2[ch]) &&
                 std::isfinite(st.feedback.feedback[ch]);
        for (int k = 0; k < HiCut::kSections; ++k)
            finite = finite && std::isfinite(st.hiCut.s1[k][ch]) && std::isfinite(st.hiCut.s2[k][ch]);
    }
    if (!finite) clearSignalState();
}

void Engine::publish() {
    publishedMeter.store(st.meterLevel, std::memory_order_relaxed);
    publishedTempo.store(st.hostTempo, std::memory_order_relaxed);
    publishedWave1.store(static_cast<unsigned>(st.mod1.wave), std::memory_order_relaxed);
    publishedWave2.store(static_cast<unsigned>(st.mod2.wave), std::memory_order_relaxed);
}

float Engine::meterLevel() const { return publishedMeter.load(std::memory_order_relaxed); }
double Engine::hostTempo() const { return publishedTempo.load(std::memory_order_relaxed); }
unsigned Engine::wave1() const { return publishedWave1.load(std::memory_order_relaxed); }
unsigned Engine::wave2() const { return publishedWave2.load(std::memory_order_relaxed); }

}  // namespace trv4
