// Modulator shapes for a run of frames, four frames per 256-bit vector, for
// processors with AVX (Engine::useWideVectors). Written with the compiler's
// generic vector types, compiled for AVX where render() is instantiated.
// Each lane computes exactly what shapeValue() and modulatorSine() compute
// for its phase, operation for operation, so the outputs are the same bits
// as those of ModulatorBlock.h. Used by the fast block path on the audio
// thread.
#pragma once

#include <cstdint>
#include <cstring>

#include "engine/Modulator.h"

// Every function here is compiled for AVX and inlined into render(), so the
// warning about passing 256-bit vectors without AVX does not apply.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace trv4::modwide {

typedef double Quad __attribute__((vector_size(32)));
typedef int64_t QuadMask __attribute__((vector_size(32)));
typedef float QuadFloat __attribute__((vector_size(16)));
typedef int32_t QuadInt __attribute__((vector_size(16)));
typedef uint32_t QuadPhase __attribute__((vector_size(16)));

[[gnu::always_inline, gnu::target("avx")]] inline Quad absolute(Quad v) {
    return reinterpret_cast<Quad>(reinterpret_cast<QuadMask>(v) & 0x7FFFFFFFFFFFFFFFll);
}

[[gnu::always_inline, gnu::target("avx")]] inline Quad roundToFloat(Quad v) {
    return __builtin_convertvector(__builtin_convertvector(v, QuadFloat), Quad);
}

// modulatorSine() on four lanes.
[[gnu::always_inline, gnu::target("avx")]] inline Quad sine(Quad a) {
    a = a > 4.71238898038469 ? a - 6.283185307179586 : a;
    const Quad folded = 3.141592653589793 - a;
    const Quad r = folded < a ? folded : a;
    const Quad r2 = r * r;
    Quad p = r2 * (1.0 / 355687428096000.0) - 1.0 / 1307674368000.0;
    p = p * r2 + 1.0 / 6227020800.0;
    p = p * r2 - 1.0 / 39916800.0;
    p = p * r2 + 1.0 / 362880.0;
    p = p * r2 - 1.0 / 5040.0;
    p = p * r2 + 1.0 / 120.0;
    p = p * r2 - 1.0 / 6.0;
    return r + (r * r2) * p;
}

// Shapes 1 to 9 from theta (radians) and x = (P - 2^31) / 2^31.
template <Wave W>
[[gnu::always_inline, gnu::target("avx")]] inline Quad shape(Quad theta, Quad x) {
    if constexpr (W == Wave::RaisedCosine) {
        return 0.5 * sine(theta - kQuarterTurn) + 0.5;
    } else if constexpr (W == Wave::SignedSquareCosine) {
        const Quad s = roundToFloat(sine(theta - kQuarterTurn));
        return 0.5 * s * absolute(s) + 0.5;
    } else if constexpr (W == Wave::SquaredCosine) {
        const Quad v = 0.5 * sine(theta - kQuarterTurn) + 0.5;
        return v * v;
    } else if constexpr (W == Wave::InvertedSquaredCosine) {
        const Quad v = 0.5 * sine(theta + kQuarterTurn) + 0.5;
        return 1.0 - v * v;
    } else if constexpr (W == Wave::Triangle) {
        return 1.0 - absolute(x);
    } else if constexpr (W == Wave::SignedSquareTriangle) {
        const Quad t = roundToFloat(2.0 * (1.0 - absolute(x)) - 1.0);
        return 0.5 * t * absolute(t) + 0.5;
    } else if constexpr (W == Wave::SquaredTriangle) {
        const Quad v = 1.0 - absolute(x);
        return v * v;
    } else if constexpr (W == Wave::InvertedParabola) {
        return 1.0 - x * x;
    } else if constexpr (W == Wave::FastRiseFall) {
        const Quad rise = 1.0 - x * x;
        const Quad d = x - 1.0;
        return x < 0.0 ? rise : d * d;
    } else {
        return Quad{};
    }
}

// Outputs of one modulator for frames 0..n-1; advances its phase by n steps.
template <Wave W>
[[gnu::target("avx")]] void render(Modulator& m, float* out, int n) {
    const uint32_t inc = m.increment;
    uint32_t phase = m.phase;
    // Lanes hold P - 2^31 as signed integers: exact as doubles, and x at once.
    QuadPhase centred = QuadPhase{phase, phase + inc, phase + 2 * inc, phase + 3 * inc} - 0x80000000u;
    int j = 0;
    for (; j + 4 <= n; j += 4) {
        const Quad c = __builtin_convertvector(reinterpret_cast<QuadInt>(centred), Quad);
        const Quad theta = (c + 2147483648.0) * kPhaseToRadians;
        const Quad x = c * (1.0 / 2147483648.0);  // exact: a power of two
        const QuadFloat v = __builtin_convertvector(shape<W>(theta, x), QuadFloat);
        std::memcpy(out + j, &v, sizeof v);
        centred += 4 * inc;
        phase += 4 * inc;
    }
    for (; j < n; ++j) {
        out[j] = shapeValue(W, phase);
        phase += inc;
    }
    m.phase = phase;
    if (n > 0) m.output = out[n - 1];
}

}  // namespace trv4::modwide

#pragma GCC diagnostic pop
