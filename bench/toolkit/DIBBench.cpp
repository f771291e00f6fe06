// Speed of the surface operations the editor's repaint is made of. Each
// blend routine over a whole 755 x 370 window, the rotation and the scale,
// and one full repaint: the chassis copy, sixteen 10 x 10 pointers with key
// skip and fourteen read-out sized copies (goal: under 1 ms).
#include <benchmark/benchmark.h>

#include "toolkit/cDIB.h"

namespace {

using toolkit::TMemoryDIB;

constexpr int kW = 755, kH = 370;

void Pattern(TMemoryDIB& dib) {
    uint32_t* p = dib.Bits();
    for (size_t i = 0, n = size_t(dib.Width()) * dib.Height(); i < n; ++i)
        p[i] = uint32_t(i * 2654435761u) | 0x10000000u;
}

void Rate(benchmark::State& state, double pixelsPerIteration) {
    state.counters["Mpix/s"] =
        benchmark::Counter(pixelsPerIteration * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

// 0 copy, 1 opacity, 2 alpha, 3 alpha with opacity, 4 key skip, 5 key skip with opacity.
void BM_Blend(benchmark::State& state) {
    TMemoryDIB src(kW, kH), dst(kW, kH);
    Pattern(src);
    Pattern(dst);
    const int kind = int(state.range(0));
    if (kind == 1 || kind == 3 || kind == 5) src.SetOpacity(128);
    if (kind == 2 || kind == 3) src.SetMasked(true);
    if (kind == 4 || kind == 5) src.SetTransparent(true);
    for (auto _ : state) {
        src.Draw(dst, 0, 0);
        benchmark::DoNotOptimize(dst.Bits());
    }
    Rate(state, double(kW) * kH);
}
BENCHMARK(BM_Blend)->DenseRange(0, 5)->ArgName("routine");

void BM_Rotate45Knob(benchmark::State& state) {
    TMemoryDIB knob(49, 49), dst(kW, kH);
    Pattern(knob);
    knob.SetTransparent(true);
    knob.SetAutoSize(true);
    knob.SetAngle(45);
    const auto box = knob.TransformedSize(49, 49);
    for (auto _ : state) {
        knob.Draw(dst, 100, 100);
        benchmark::DoNotOptimize(dst.Bits());
    }
    Rate(state, double(box.x) * box.y);
}
BENCHMARK(BM_Rotate45Knob);

void BM_Scale200Knob(benchmark::State& state) {
    TMemoryDIB knob(49, 49), dst(kW, kH);
    Pattern(knob);
    knob.SetAutoSize(true);
    knob.SetScale(200);
    for (auto _ : state) {
        knob.Draw(dst, 100, 100);
        benchmark::DoNotOptimize(dst.Bits());
    }
    Rate(state, 98.0 * 98.0);
}
BENCHMARK(BM_Scale200Knob);

void BM_EditorRepaint(benchmark::State& state) {
    TMemoryDIB chassis(kW, kH), main(kW, kH), pointer(10, 10), label(44, 14);
    Pattern(chassis);
    Pattern(pointer);
    Pattern(label);
    pointer.SetTransparent(true);
    for (auto _ : state) {
        chassis.Draw(main, 0, 0);
        for (int i = 0; i < 16; ++i) pointer.Draw(main, 40 + 42 * i, 60 + 9 * (i % 4));
        for (int i = 0; i < 14; ++i) label.CopyRegion(30 + 50 * i, 300, 44, 14, main, 0, 0);
        benchmark::DoNotOptimize(main.Bits());
    }
    state.counters["ms"] = benchmark::Counter(double(state.iterations()) * 1e-3,
                                              benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_EditorRepaint);

}  // namespace
