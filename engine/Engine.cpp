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

template <bool kAccumulate, int kOversampling>
LoopFunction pickLoop(bool hiCut, bool mono) {
    if (hiCut) return mono ? loop::run<kOversampling, true, true, kAccumulate> : loop::run<kOversampling, true, false, kAccumulate>;
    return mono ? loop::run<kOversampling, false, true, kAccumulate> : loop::run<kOversampling, false, false, kAccumulate>;
}

template <bool kAccumulate>
LoopFunction pickLoop(int oversampling, bool hiCut, bool mono) {
    if (oversampling == 1) return pickLoop<kAccumulate, 1>(hiCut, mono);
    if (oversampling == 2) return pickLoop<kAccumulate, 2>(hiCut, mono);
    return pickLoop<kAccumulate, 4>(hiCut, mono);
}

}  // namespace

// Depth, AM, Pan, Mono, Spread and the Hi-Cut switch are taken once per
// block here (the scalar step reads them at every sample); a change arriving
// in the middle of a block is heard from the next block on.
template <bool kAccumulate>
void Engine::processFast(const float* const* inputs, float* const* outputs, int32_t n) {
    const float depth = params[kDepth].load(std::memory_order_relaxed);
    const float spread = params[kSpread].load(std::memory_order_relaxed);
    const loop::Options options{params[kAM].load(std::memory_order_relaxed),
                                params[kPan].load(std::memory_order_relaxed),
                                params[kHiCut].load(std::memory_order_relaxed) < 1.0f,
                                params[kMono].load(std::memory_order_relaxed) > 0.5f};
    const LoopFunction run = pickLoop<kAccumulate>(st.oversampling, options.hiCut, options.mono);

    RandomStream random;
    for (int32_t done = 0; done < n;) {
        const int count = n - done < BlockScratch::kFrames ? static_cast<int>(n - done) : BlockScratch::kFrames;
        chunk::prepare(st, scratch, count, depth, spread, random);
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
