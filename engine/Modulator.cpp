#include "engine/Modulator.h"

#include "engine/Engine.h"
#include "engine/Nearest.h"
#include "engine/ParameterLaws.h"
#include "engine/TempoMultiplier.h"

namespace trv4 {

namespace {

constexpr double kTwoTo32 = 4294967296.0;
constexpr int32_t kTimeInfoMask = 0x2400;  // tempo valid 0x400 | time signature valid 0x2000
constexpr int32_t kTransportPlaying = 0x2;
constexpr int32_t kTempoValid = 0x400;
constexpr int32_t kTimeSigValid = 0x2000;

Wave waveFromParameter(float p) { return static_cast<Wave>(nearestInt64(10.0 * p)); }

// The law of Rate 1 or Rate 2, 0.02 Hz * 1000^p.
float freeRate(ParamIndex rate, float p) { return static_cast<float>(lawValue<double>(kParameterLaws[rate], p)); }

// One cycle lasts 256 / M beats; M = 2^nearest(10 p) * m.
float syncedRate(float p, uint32_t multiplier, double tempo) {
    const uint32_t steps = static_cast<uint32_t>(1u << nearestInt64(10.0 * p)) * multiplier;
    return static_cast<float>(steps * tempo / 15360.0);
}

uint32_t phaseOffset(float p) { return nearestModulo32(p * kTwoTo32); }

// Rates from the host's tempo and, while the transport plays, phases locked
// to the song position. Answers false when the host gives no tempo and time
// signature: the free rates then stand.
bool syncToHost(Modulator& m1, Modulator& m2, const ModulatorSettings& s, uint32_t offsetPhase, HostTimeSource& time,
                double& hostTempo) {
    HostTime info;
    if (!time.queryHostTime(kTimeInfoMask, info)) return false;
    if (!(info.flags & kTempoValid) || !(info.flags & kTimeSigValid)) return false;
    // A host reporting a tempo that is not a finite number is treated as one that
    // reports none, so the editor never shows it.
    if (!std::isfinite(info.tempo)) return false;
    hostTempo = info.tempo;

    const uint32_t m = tempoMultiplier(info.tempo);
    m1.rate = syncedRate(s.rate1, m, info.tempo);
    m2.rate = syncedRate(s.rate2, m, info.tempo);

    if (info.flags & kTransportPlaying) {
        const uint32_t host = phaseOffset(s.hostOffset);
        m1.phase = nearestModulo32(kTwoTo32 * m1.rate * info.samplePos / s.sampleRate) + host;
        m2.phase = nearestModulo32(kTwoTo32 * m2.rate * info.samplePos / s.sampleRate) + host + offsetPhase;
    }
    return true;
}

uint32_t incrementFor(float rate, double sampleRate) { return nearestModulo32(kTwoTo32 * rate / sampleRate); }

}  // namespace

FreeModulation freeModulation(const ModulatorSettings& s) {
    FreeModulation f;
    f.wave1 = waveFromParameter(s.wave1);
    f.rate1 = freeRate(kRate1, s.rate1);
    f.increment1 = incrementFor(f.rate1, s.sampleRate);
    if (s.wave2 == 0.0f) {
        // Wave 2 off: modulator 2 follows modulator 1, Offset behind it.
        f.wave2 = f.wave1;
        f.rate2 = f.rate1;
        f.increment2 = f.increment1;
    } else {
        f.wave2 = waveFromParameter(s.wave2);
        f.rate2 = freeRate(kRate2, s.rate2);
        f.increment2 = incrementFor(f.rate2, s.sampleRate);
    }
    f.offsetPhase = phaseOffset(s.offset);
    return f;
}

void setupModulators(Modulator& m1, Modulator& m2, const ModulatorSettings& s, const FreeModulation& free,
                     HostTimeSource& time, double& hostTempo) {
    const bool follow = s.wave2 == 0.0f;
    m1.wave = free.wave1;
    m2.wave = free.wave2;
    m1.rate = free.rate1;
    m2.rate = free.rate2;
    m1.increment = free.increment1;
    m2.increment = free.increment2;
    if (s.sync && syncToHost(m1, m2, s, free.offsetPhase, time, hostTempo)) {
        if (follow) m2.rate = m1.rate;
        m1.increment = incrementFor(m1.rate, s.sampleRate);
        m2.increment = follow ? m1.increment : incrementFor(m2.rate, s.sampleRate);
    }
    // Offset is re-imposed only while both run at the same speed, as they
    // always do while modulator 2 follows.
    if (m2.increment == m1.increment) m2.phase = m1.phase + free.offsetPhase;
}

}  // namespace trv4
