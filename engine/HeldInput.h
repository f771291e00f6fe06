// The input low-pass over one held input value, in closed form. The input
// stage feeds the same x through both sections k times (k = oversampling
// factor); every one of the k outputs and the four states after them is a
// fixed linear combination of the four states before and x, with weights
// that depend only on the coefficient set and k. Computed once per rate, they
// turn a chain of 2k dependent filter steps into independent products, so
// the states reach the next frame after one multiply and a few adds. Filled
// on the dispatching thread (construction, resume), read on the audio thread.
#pragma once

#include "engine/Filters.h"

namespace trv4 {

struct HeldInputResponse {
    static constexpr int kMaxSteps = 4;
    // Weights on (s1 of section 1, s2 of section 1, s1 of section 2, s2 of
    // section 2, x), in that order.
    static constexpr int kTerms = 5;

    int steps = 0;
    double out[kMaxSteps][kTerms] = {};  // output of step r, gain included
    double next[4][kTerms] = {};         // the states after the k steps, same order

    // Runs the filter step by step on each unit state and on a unit input:
    // by linearity the results are the weights.
    static HeldInputResponse of(const InputLowpassSet& set, int steps) {
        HeldInputResponse h;
        h.steps = steps;
        for (int term = 0; term < kTerms; ++term) {
            double s[4] = {};
            double x = 0;
            if (term < 4)
                s[term] = 1;
            else
                x = 1;
            for (int r = 0; r < steps; ++r) {
                double y = x;
                for (int k = 0; k < 2; ++k) {
                    double& s1 = s[2 * k];
                    double& s2 = s[2 * k + 1];
                    const double w = y - set.a1[k] * s1 - set.a2[k] * s2;
                    y = set.b1[k] * s1 + w + s2;
                    s2 = s1;
                    s1 = w;
                }
                h.out[r][term] = y * set.gain;
            }
            for (int i = 0; i < 4; ++i) h.next[i][term] = s[i];
        }
        return h;
    }
};

}  // namespace trv4
