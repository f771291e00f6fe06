#include "editor/MeterScale.h"

#include <cmath>

namespace trv4 {

float MeterSteps(float level) {
    const long double l = 20.0L * std::log10(11.22L * level + 1e-20L) / 3.0L;
    return static_cast<float>(l);
}

int8_t MeterSegmentCount(float level) {
    const float steps = MeterSteps(level);
    if (!(steps >= 0)) return 0;  // below -21 dBFS, silence, or not a number
    if (steps >= 127) return 127;
    return static_cast<int8_t>(steps);
}

int MeterCoverHeight(int count) {
    if (count <= 0) return kMeterCoverFullHeight;
    if (count >= kMeterSegments) return 1;
    return kMeterCoverFullHeight - kMeterSegmentRows * count;
}

}  // namespace trv4
