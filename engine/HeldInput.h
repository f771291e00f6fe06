// The input low-pass over one held input value, in closed form. The input
// stage feeds the same x through both sections k times (k = oversampling
// factor), so the k outputs and the state after them are fixed linear
// combinations of the state before and x, with weights that depend only on
// the coefficient set and k.
//
// The fast path carries the state in another basis: z, the filter's next four
// outputs if the input were 0 from now on. Then output r of a frame is
// z[r] + out[r] x, and the next frame's z[r] is z[r + k] + input[r] x while
// r + k < 4, else a weighted sum of the four z (feed[r]) plus input[r] x. Each
// frame costs a few independent products, and the state reaches the next
// frame through one multiply and a few adds instead of 2k dependent filter
// steps. toZ and fromZ convert between z and the sections' own states (s1, s2
// of section 1, then of section 2), which stay the stored state.
//
// Computed once per rate (construction, resume) on the dispatching thread,
// read on the audio thread.
#pragma once

#include <cmath>
#include <utility>

#include "engine/Filters.h"

namespace trv4 {

struct HeldInputResponse {
    static constexpr int kMaxSteps = 4;
    static constexpr int kOrder = 4;

    // The weights the block loop multiplies by are stored twice, once per
    // channel lane, so that it loads them as they are.
    using Lanes = double[2];

    int steps = 0;
    double toZ[kOrder][kOrder] = {};              // z = toZ s
    double fromZ[kOrder][kOrder] = {};            // s = fromZ z
    alignas(16) Lanes out[kMaxSteps] = {};        // weight of x in output r of a frame
    alignas(16) Lanes feed[kOrder][kOrder] = {};  // next z[r] from z, for r + steps >= 4
    alignas(16) Lanes input[kOrder] = {};         // weight of x in the next z[r]

    static HeldInputResponse of(const InputLowpassSet& set, int steps) {
        HeldInputResponse h;
        h.steps = steps;
        // Outputs 0..7 from each unit state with the input 0: toZ is the
        // first four, and the next frame's z comes from outputs k..k+3.
        double later[2 * kOrder][kOrder];
        for (int i = 0; i < kOrder; ++i) {
            double s[kOrder] = {};
            s[i] = 1;
            for (int n = 0; n < 2 * kOrder; ++n) later[n][i] = step(set, s, 0);
        }
        for (int k = 0; k < kOrder; ++k)
            for (int i = 0; i < kOrder; ++i) h.toZ[k][i] = later[k][i];
        invert(h.toZ, h.fromZ);
        for (int r = 0; r < kOrder; ++r)
            for (int i = 0; i < kOrder; ++i) {
                double sum = 0;
                for (int k = 0; k < kOrder; ++k) sum += later[r + steps][k] * h.fromZ[k][i];
                h.feed[r][i][0] = h.feed[r][i][1] = sum;
            }
        // From rest: x held for the frame's steps, then 0.
        double s[kOrder] = {};
        for (int n = 0; n < steps + kOrder; ++n) {
            const double y = step(set, s, n < steps ? 1 : 0);
            double* weight = n < steps ? h.out[n] : h.input[n - steps];
            weight[0] = weight[1] = y;
        }
        return h;
    }

private:
    // One step of both sections, as the reference step runs it; answers the
    // output with the gain.
    static double step(const InputLowpassSet& set, double* s, double x) {
        double y = x;
        for (int k = 0; k < 2; ++k) {
            double& s1 = s[2 * k];
            double& s2 = s[2 * k + 1];
            const double w = y - set.a1[k] * s1 - set.a2[k] * s2;
            y = set.b1[k] * s1 + w + s2;
            s2 = s1;
            s1 = w;
        }
        return y * set.gain;
    }

    // Gauss-Jordan elimination with partial pivoting.
    static void invert(const double (&m)[kOrder][kOrder], double (&inverse)[kOrder][kOrder]) {
        double a[kOrder][2 * kOrder];
        for (int r = 0; r < kOrder; ++r)
            for (int c = 0; c < kOrder; ++c) {
                a[r][c] = m[r][c];
                a[r][kOrder + c] = r == c ? 1 : 0;
            }
        for (int c = 0; c < kOrder; ++c) {
            int pivot = c;
            for (int r = c + 1; r < kOrder; ++r)
                if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
            for (int k = 0; k < 2 * kOrder; ++k) std::swap(a[c][k], a[pivot][k]);
            const double scale = 1 / a[c][c];
            for (int k = 0; k < 2 * kOrder; ++k) a[c][k] *= scale;
            for (int r = 0; r < kOrder; ++r) {
                if (r == c) continue;
                const double f = a[r][c];
                for (int k = 0; k < 2 * kOrder; ++k) a[r][k] -= f * a[c][k];
            }
        }
        for (int r = 0; r < kOrder; ++r)
            for (int c = 0; c < kOrder; ++c) inverse[r][c] = a[r][kOrder + c];
    }
};

}  // namespace trv4
