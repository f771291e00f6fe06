// The block operations and the fast path behind them: per chunk of frames,
// first everything that does not depend on the audio (chunk::prepare), then
// the serial loop over both channels at once (loop::run). Audio thread.
#include "engine/Engine.h"

#include "engine/BlockLoop.h"
#include "engine/ChunkPrepare.h"

namespace trv4 {

namespace {

using LoopFunction = void (*)(EngineState&, const BlockScratch&, const float*, const float*, float*, float*, int,
                              const loop::Options&);

template <bool kAccumulate, int kOversampling, bool kTapsFirst>
LoopFunction pickLoop(bool hiCut, bool amPan) {
    if (hiCut)
        return amPan ? loop::run<kOversampling, true, true, kTapsFirst, kAccumulate>
                     : loop::run<kOversampling, true, false, kTapsFirst, kAccumulate>;
    return amPan ? loop::run<kOversampling, false, true, kTapsFirst, kAccumulate>
                 : loop::run<kOversampling, false, false, kTapsFirst, kAccumulate>;
}

template <bool kAccumulate, bool kTapsFirst>
LoopFunction pickLoop(int oversampling, bool hiCut, bool amPan) {
    if (oversampling == 1) return pickLoop<kAccumulate, 1, kTapsFirst>(hiCut, amPan);
    if (oversampling == 2) return pickLoop<kAccumulate, 2, kTapsFirst>(hiCut, amPan);
    return pickLoop<kAccumulate, 4, kTapsFirst>(hiCut, amPan);
}

}  // namespace

// Depth, AM, Pan, Mono, Spread and the Hi-Cut switch are taken once per
// block here (the scalar step reads them at every sample); a change arriving
// in the middle of a block is heard from the next block on.
template <bool kAccumulate>
void Engine::processFast(const float* const* inputs, float* const* outputs, int32_t n) {
    const float depth = params[kDepth].load(std::memory_order_relaxed);
    const float spread = params[kSpread].load(std::memory_order_relaxed);
    const float am = params[kAM].load(std::memory_order_relaxed);
    const float pan = params[kPan].load(std::memory_order_relaxed);
    const loop::Options options{am, pan, params[kHiCut].load(std::memory_order_relaxed) < 1.0f, am != 0 || pan != 0,
                                params[kMono].load(std::memory_order_relaxed) > 0.5f};
    const LoopFunction writesFirst = pickLoop<kAccumulate, false>(st.oversampling, options.hiCut, options.amPan);
    const LoopFunction tapsFirst = pickLoop<kAccumulate, true>(st.oversampling, options.hiCut, options.amPan);

    RandomStream random;
    for (int32_t done = 0; done < n;) {
        const int count = n - done < BlockScratch::kFrames ? static_cast<int>(n - done) : BlockScratch::kFrames;
        const bool ramp = st.rampCounter > 0;
        chunk::prepare(st, scratch, count, depth, spread, random);
        // Outside a ramp every read position lies at most floor(depth)
        // samples ahead of the base delay (lfo <= 1).
        const bool early = !ramp && st.baseDelay - static_cast<int32_t>(st.depthSamples) - 1 >= st.oversampling;
        const LoopFunction run = early ? tapsFirst : writesFirst;
        run(st, scratch, inputs[0] + done, inputs[1] + done, outputs[0] + done, outputs[1] + done, count, options);
        done += count;
    }
    random.commit();
}

template void Engine::processFast<false>(const float* const*, float* const*, int32_t);

void Engine::processReplacing(const float* const* inputs, float* const* outputs, int32_t n) {
    applyPendingRamp();
    updateBlock();
    if (n > 0) processFast<false>(inputs, outputs, n);
    recoverFromNonFinite();
    publish();
}

void Engine::processAccumulating(const float* const* inputs, float* const* outputs, int32_t n) {
    applyPendingRamp();
    updateBlock();
    if (n > 0) processFast<true>(inputs, outputs, n);
    recoverFromNonFinite();
    publish();
}

}  // namespace trv4
