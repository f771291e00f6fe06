#include "tools/trv4/validate/Signals.h"

#include <algorithm>
#include <cmath>

namespace trv4tool::validate {

const char* signalName(Signal signal) {
    switch (signal) {
    case Signal::kNoise: return "noise";
    case Signal::kSilence: return "silence";
    case Signal::kSquare: return "square";
    case Signal::kImpulse: return "impulse";
    }
    return "?";
}

Stereo makeSignal(Signal signal, size_t frames, double rate, uint32_t seed) {
    Stereo s(frames);
    uint32_t x = seed * 2654435761u + 1;
    auto next = [&x] {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return static_cast<float>(x) / 2147483648.0f - 1.0f;
    };
    for (size_t i = 0; i < frames; ++i) {
        switch (signal) {
        case Signal::kNoise:
            s.left[i] = next();
            s.right[i] = next();
            break;
        case Signal::kSquare:
            s.left[i] = s.right[i] = std::fmod(double(i) * 220.0 / rate, 1.0) < 0.5 ? 1.0f : -1.0f;
            break;
        case Signal::kImpulse: s.left[i] = s.right[i] = i == 0 ? 1.0f : 0.0f; break;
        case Signal::kSilence: break;
        }
    }
    return s;
}

void Analysis::add(const float* samples, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const float v = samples[i];
        if (!std::isfinite(v)) {
            ++nonFinite;
            continue;
        }
        if (std::fpclassify(v) == FP_SUBNORMAL) ++subnormal;
        peak = std::max(peak, std::fabs(v));
        sumSquares += double(v) * v;
    }
}

void Analysis::add(const Stereo& audio) {
    add(audio.left.data(), audio.frames());
    add(audio.right.data(), audio.frames());
    frames += 2 * audio.frames();
}

std::string Analysis::fault() const {
    if (nonFinite) return std::to_string(nonFinite) + " samples not finite";
    if (subnormal) return std::to_string(subnormal) + " subnormal samples";
    if (peak > kPeakCeiling) return "peak " + std::to_string(peak) + " above 2.0";
    return "";
}

Stereo render(Instance& instance, const Stereo& in, int blockSize, Session* random) {
    Stereo out(in.frames());
    for (size_t done = 0; done < in.frames();) {
        int n = blockSize > 0 ? blockSize : 1 + random->below(4096);
        n = static_cast<int>(std::min<size_t>(size_t(n), in.frames() - done));
        float* const inputs[2] = {const_cast<float*>(in.left.data()) + done,
                                  const_cast<float*>(in.right.data()) + done};
        float* const outputs[2] = {out.left.data() + done, out.right.data() + done};
        instance.process(inputs, outputs, n);
        done += size_t(n);
    }
    return out;
}

}  // namespace trv4tool::validate
