// The stereo delay buffer: oversampled, filtered input history of both
// channels. Owned by the engine; written and read on the audio thread.
#pragma once

#include <cstdint>

namespace trv4 {

struct DelayLine {
    // 2^17 samples per channel: every index wraps with one AND instead of a
    // compare and branch, and the longest delay (0.6 s at 192 kHz, 115200
    // samples) fits with room for the sweep.
    static constexpr int32_t kLength = 131072;
    static constexpr int32_t kMask = kLength - 1;

    // Row i holds left and right sample i, so that one write stores both
    // channels. Row kLength repeats row 0: a read of rows idx and idx + 1
    // then never needs a second wrap.
    alignas(64) float rows[kLength + 1][2];
    int32_t writeIndex = 0;  // newest row

    void clear() {
        for (auto& row : rows) row[0] = row[1] = 0;
        writeIndex = 0;
    }

    void write(float left, float right) {
        writeIndex = (writeIndex + 1) & kMask;
        rows[writeIndex][0] = left;
        rows[writeIndex][1] = right;
        if (writeIndex == 0) {
            rows[kLength][0] = left;
            rows[kLength][1] = right;
        }
    }

    // Linear interpolation pos samples ahead of the base delay, on one
    // channel. Example: write index 1000, base delay 300, pos 2.25 reads rows
    // 702 and 703 with weights 0.75 and 0.25, a delay of 297.75 samples. pos
    // never exceeds the base delay, so the read stays within the written
    // history; at pos = base delay the newest row comes with full weight and
    // the one after it (the oldest) with weight 0.
    double tap(int ch, int32_t baseDelay, float pos) const {
        const int32_t i = static_cast<int32_t>(pos);
        const int32_t idx = (writeIndex - baseDelay + i) & kMask;
        const float f = pos - static_cast<float>(i);
        return (1.0 - f) * rows[idx][ch] + static_cast<double>(f) * rows[idx + 1][ch];
    }
};

}  // namespace trv4
