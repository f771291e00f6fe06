// The block operations and the fast path behind them: per chunk of frames,
// first everything that does not depend on the audio (chunk::prepare), then
// the stages of the sample step frame by frame over both channels at once
// (BlockStages.h), in the order of the reference step. Audio thread.
#include "engine/Engine.h"

#include "engine/BlockStages.h"
#include "engine/ChunkPrepare.h"
#include "engine/InputMend.h"

// The 256-bit helpers of BlockStages.h are inlined into code compiled for
// AVX; the warning about passing such vectors without AVX does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace trv4 {

namespace {

// Values the stages read once per block.
struct FrameOptions {
    bool mono;  // Mono > 0.5
};

// Frames first..end-1 of a chunk; in and out point at the chunk's frame 0.
// kWritesAfter: no tap of these frames reads a row they write (base delay -
// floor(depth) - 1 >= oversampling factor x frames), so each frame writes its
// rows after its other steps, in the input stage's loop with its state in
// registers, and the chain of the low-pass states runs beside the feedback
// path instead of holding it up. Otherwise each frame writes its rows before
// its taps read. kAmPan: AM or Pan above 0 (at 0 both gains are
// exactly 1). The steps after the mix (mono, limiter, meter) run over the
// whole run after its frames.
template <int kOversampling, bool kHiCut, bool kAmPan, bool kWritesAfter, bool kAccumulate, bool kWide>
[[gnu::always_inline]] inline void runFramesBody(EngineState& st, const BlockScratch& s, int first, int end,
                                                 float* outL, float* outR, const FrameOptions& opt) {
    const int n = end - first;
    alignas(16) float peaks[BlockScratch::kFrames];
    __m128d mixed[BlockScratch::kFrames];
    {
        stage::InputStage<kOversampling> input(st);
        stage::FeedbackStage feedback(st.feedback);
        stage::HiCutStage hiCut(st.hiCut);
        const __m128d wet = stage::broadcast(st.wetGain), dry = stage::broadcast(st.dryGain);
        // Steps 0 to 3 (first half) of frame j: the host's samples (mended
        // ahead, InputMend.h), then x = in + last frame's feedback + noise.
        // Steps 1, 2 and 4 (smoothing, dither, modulators) are prepared in s.
        const auto begin = [&](int j, __m128d& in) {
            in = stage::pair(s.in[j]);
            return stage::InputStage<kOversampling>::sum(in, feedback.value, s.noise[j]);
        };
        // Steps 5 to 11 of frame j.
        const auto finish = [&](int j, __m128d in) {
            // 5, 6, 7. Taps and feedback band-pass.
            const __m128d f = stage::pair(s.frac[j]);
            __m128d tap = stage::readTaps(st.delay.rows, s.rowL[j], s.rowR[j], f);
            feedback.run(tap);
            // 8, 9. Amplitude modulation and auto-pan.
            if constexpr (kAmPan) tap = stage::modulateAmplitude(tap, s.am[j], s.pan[j]);
            // 10. Hi-cut.
            if constexpr (kHiCut) tap = hiCut.run(tap);
            // 11. Mix.
            mixed[j - first] = stage::mix(tap, in, wet, dry);
        };
        if constexpr (kWritesAfter) {
            // 3. (second half) x through the low-pass into the buffer after
            // the frame's other steps, in the input stage's loop.
            const auto frame = [&](int i) {
                __m128d in;
                const __m128d x = begin(first + i, in);
                finish(first + i, in);
                return x;
            };
            if constexpr (kWide)
                input.runWide(n, frame);
            else
                input.run(n, frame);
        } else {
            for (int j = first; j < end; ++j) {
                __m128d in;
                // 3. (second half) x through the low-pass into the buffer
                // before the taps read.
                input.run(begin(j, in));
                finish(j, in);
            }
        }
    }
    // 12. Mono.
    if (opt.mono) stage::monoSum(mixed, n);
    // 13. Limiter.
    if constexpr (kWide)
        stage::LimiterStage<kAccumulate>(st).runWide(mixed, n, peaks, outL + first, outR + first);
    else
        stage::LimiterStage<kAccumulate>(st).run(mixed, n, peaks, outL + first, outR + first);
    // 14. Meter, over the peaks of all frames.
    if constexpr (kWide)
        stage::MeterStage(st).runWide(peaks, n);
    else
        stage::MeterStage(st).run(peaks, n);
}

// The frames as compiled for every processor of the target, and again for
// processors with AVX (the same operations in the three-operand encoding,
// with the widest loops in 256-bit vectors).
template <int kOversampling, bool kHiCut, bool kAmPan, bool kWritesAfter, bool kAccumulate>
void runFrames(EngineState& st, const BlockScratch& s, int first, int end, float* outL, float* outR,
               const FrameOptions& opt) {
    runFramesBody<kOversampling, kHiCut, kAmPan, kWritesAfter, kAccumulate, false>(st, s, first, end, outL, outR, opt);
}

template <int kOversampling, bool kHiCut, bool kAmPan, bool kWritesAfter, bool kAccumulate>
[[gnu::target("avx")]] void runFramesWide(EngineState& st, const BlockScratch& s, int first, int end, float* outL,
                                          float* outR, const FrameOptions& opt) {
    runFramesBody<kOversampling, kHiCut, kAmPan, kWritesAfter, kAccumulate, true>(st, s, first, end, outL, outR, opt);
}

// The fewest frames worth a run with the rows written after the frames.
constexpr int kShortestRun = 16;

using FramesFunction = void (*)(EngineState&, const BlockScratch&, int, int, float*, float*, const FrameOptions&);

template <bool kAccumulate, int kOversampling, bool kWritesAfter, bool kWide>
FramesFunction pickFrames(bool hiCut, bool amPan) {
    if constexpr (kWide) {
        if (hiCut)
            return amPan ? runFramesWide<kOversampling, true, true, kWritesAfter, kAccumulate>
                         : runFramesWide<kOversampling, true, false, kWritesAfter, kAccumulate>;
        return amPan ? runFramesWide<kOversampling, false, true, kWritesAfter, kAccumulate>
                     : runFramesWide<kOversampling, false, false, kWritesAfter, kAccumulate>;
    } else {
        if (hiCut)
            return amPan ? runFrames<kOversampling, true, true, kWritesAfter, kAccumulate>
                         : runFrames<kOversampling, true, false, kWritesAfter, kAccumulate>;
        return amPan ? runFrames<kOversampling, false, true, kWritesAfter, kAccumulate>
                     : runFrames<kOversampling, false, false, kWritesAfter, kAccumulate>;
    }
}

template <bool kAccumulate, bool kWritesAfter, bool kWide>
FramesFunction pickFrames(int oversampling, bool hiCut, bool amPan) {
    if (oversampling == 1) return pickFrames<kAccumulate, 1, kWritesAfter, kWide>(hiCut, amPan);
    if (oversampling == 2) return pickFrames<kAccumulate, 2, kWritesAfter, kWide>(hiCut, amPan);
    return pickFrames<kAccumulate, 4, kWritesAfter, kWide>(hiCut, amPan);
}

template <bool kAccumulate, bool kWritesAfter>
FramesFunction pickFrames(bool wide, int oversampling, bool hiCut, bool amPan) {
    return wide ? pickFrames<kAccumulate, kWritesAfter, true>(oversampling, hiCut, amPan)
                : pickFrames<kAccumulate, kWritesAfter, false>(oversampling, hiCut, amPan);
}

// Frames 0..n-1 of a chunk whose tap rows are prepared: runs of frames none
// of whose taps reads a row the run writes go to writesAfter, all other
// frames to writesFirst, in order. A tap reads rows row and row + 1; they
// were written before a run that starts k frames before frame j when row
// lies more than k + 1 frames' rows behind the newest row of frame j. Runs
// shorter than kShortestRun stay with writesFirst: the change of state form
// of the input stage (HeldInput.h) would cost more than they save.
void runChunk(EngineState& st, const BlockScratch& s, int n, float* const* out, FramesFunction writesFirst,
              FramesFunction writesAfter, const FrameOptions& options) {
    const int32_t step = st.oversampling;
    if (s.nearestAge > n * step) {
        // Every frame's taps lie behind all rows of the chunk: one run.
        (n >= kShortestRun ? writesAfter : writesFirst)(st, s, 0, n, out[0], out[1], options);
        return;
    }
    int pending = 0;   // first frame not yet handed on
    int runStart = 0;  // first frame of the run being grown
    auto closeRun = [&](int end) {
        if (end - runStart < kShortestRun) return;
        if (pending < runStart) writesFirst(st, s, pending, runStart, out[0], out[1], options);
        writesAfter(st, s, runStart, end, out[0], out[1], options);
        pending = end;
    };
    int32_t reach = step;  // (j - runStart + 1) x step
    for (int j = 0; j < n; ++j) {
        const int32_t age = s.age[j];
        if (age > reach) {
            reach += step;
            continue;
        }
        closeRun(j);
        runStart = age > step ? j : j + 1;
        reach = (j + 2 - runStart) * step;
    }
    closeRun(n);
    if (pending < n) writesFirst(st, s, pending, n, out[0], out[1], options);
}

// chunk::prepare as compiled for every processor, and again for processors
// with AVX.
void prepareChunk(EngineState& st, BlockScratch& s, int n, float depth, float spread, float am, float pan,
                  RandomStream& random) {
    chunk::prepare(st, s, n, depth, spread, am, pan, random, false);
}

[[gnu::target("avx")]] void prepareChunkWide(EngineState& st, BlockScratch& s, int n, float depth, float spread,
                                             float am, float pan, RandomStream& random) {
    chunk::prepare(st, s, n, depth, spread, am, pan, random, true);
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
    const bool hiCut = params[kHiCut].load(std::memory_order_relaxed) < 1.0f;
    const bool amPan = am != 0 || pan != 0;
    const FrameOptions options{params[kMono].load(std::memory_order_relaxed) > 0.5f};
    const FramesFunction writesFirst = pickFrames<kAccumulate, false>(wide, st.oversampling, hiCut, amPan);
    const FramesFunction writesAfter = pickFrames<kAccumulate, true>(wide, st.oversampling, hiCut, amPan);

    RandomStream random;
    for (int32_t done = 0; done < n;) {
        const int count = n - done < BlockScratch::kFrames ? static_cast<int>(n - done) : BlockScratch::kFrames;
        if (wide)
            prepareChunkWide(st, scratch, count, depth, spread, am, pan, random);
        else
            prepareChunk(st, scratch, count, depth, spread, am, pan, random);
        if (wide)
            mendInputsWide(inputs[0] + done, inputs[1] + done, count, scratch.in);
        else
            mendInputs(inputs[0] + done, inputs[1] + done, count, scratch.in);
        float* out[2] = {outputs[0] + done, outputs[1] + done};
        runChunk(st, scratch, count, out, writesFirst, writesAfter, options);
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
