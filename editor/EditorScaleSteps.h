// The editor's sizes: 100, 125, 150, 175 and 200 per cent of 755 x 370.
#pragma once

#include <cmath>

namespace trv4 {

constexpr int kScaleSteps[] = {100, 125, 150, 175, 200};

// The step nearest to a scale factor (1.0 = 100 %); 0 for a value that is
// no size: not a number, or outside 0.5 .. 4 (a host that sends 100 meant
// per cent of something else, not ten thousand per cent).
inline int ScaleStepOf(double factor) {
    if (!(factor >= 0.5 && factor <= 4.0)) return 0;
    int best = kScaleSteps[0];
    for (int step : kScaleSteps)
        if (std::fabs(factor * 100 - step) < std::fabs(factor * 100 - best)) best = step;
    return best;
}

}  // namespace trv4
