#include "tools/trv4/Renderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "plugin/ReplaySeed.h"
#include "tools/host/BridgedEffect.h"
#include "tools/trv4/ProgressBar.h"

namespace trv4tool {

namespace {

constexpr double kLongRenderSeconds = 20;  // a progress bar from this length on

}  // namespace

void setTransportTime(trv4host::Host& host, const Transport& transport, double samplePos, bool first) {
    vst::VstTimeInfo& info = host.timeInfo;
    info = {};
    info.samplePos = samplePos;
    info.sampleRate = host.sampleRate;
    info.tempo = transport.tempo;
    info.ppqPos = samplePos / host.sampleRate * transport.tempo / 60.0;
    info.barStartPos = std::floor(info.ppqPos / 4.0) * 4.0;
    info.timeSigNumerator = 4;
    info.timeSigDenominator = 4;
    info.flags = vst::kVstTempoValid | vst::kVstTimeSigValid | vst::kVstPpqPosValid | vst::kVstBarsValid;
    if (transport.playing) info.flags |= vst::kVstTransportPlaying;
    if (first) info.flags |= vst::kVstTransportChanged;
}

bool render(LoadedPlugin& plugin, const PluginSettings& settings, AudioReader& in, AudioWriter& out,
            const RenderJob& job, RenderResult& result, std::string& error) {
    const trv4host::Effect& effect = plugin.effect();
    trv4host::Host& host = plugin.host();
    const int channels = in.channels();
    if (channels < 1 || channels > 2) {
        error = "the input has " + std::to_string(channels) + " channels; trv4 takes mono or stereo";
        return false;
    }
    const int rate = in.sampleRate();
    const int block = job.blockSize;
    const int64_t inputFrames = in.frames();
    const int64_t tailFrames = static_cast<int64_t>(std::llround(job.tailSeconds * rate));

    std::vector<float> readBuffer(static_cast<size_t>(block) * channels);
    std::vector<float> inL(block), inR(block), outL(block), outR(block);
    std::vector<float> writeBuffer(static_cast<size_t>(block) * 2);

    host.sampleRate = rate;
    host.blockSize = block;
    host.timeInfoAvailable = job.transport.answered;
    effect.setSampleRate(static_cast<float>(rate));
    effect.setBlockSize(block);
    applySettings(effect, settings);
    if (job.seeded) {
        uint64_t seed = job.seed;
        effect.dispatch(vst::effVendorSpecific, trv4::kReplaySeedIndex, trv4::kReplaySeedValue, &seed);
    }
    effect.resume();
    trv4host::BridgedEffect* bridge = trv4host::BridgedEffect::of(effect.record());
    size_t nextChange = 0;

    ProgressBar progress(inputFrames + tailFrames, inputFrames + tailFrames >= kLongRenderSeconds * rate);
    RenderResult totals;
    double samplePos = job.transport.samplePos;
    bool inputEnded = false;
    int64_t tailLeft = tailFrames;
    bool ok = true;
    for (bool first = true;; first = false) {
        int n = 0;
        if (!inputEnded) {
            int64_t got = in.read(readBuffer.data(), block, error);
            if (got < 0) {
                ok = false;
                break;
            }
            n = static_cast<int>(got);
            for (int i = 0; i < n; ++i) {
                inL[i] = readBuffer[static_cast<size_t>(i) * channels];
                inR[i] = readBuffer[static_cast<size_t>(i) * channels + channels - 1];
            }
            inputEnded = n < block;
        }
        if (inputEnded && n < block && tailLeft > 0) {
            int silence = static_cast<int>(std::min<int64_t>(block - n, tailLeft));
            std::fill(inL.begin() + n, inL.begin() + n + silence, 0.0f);
            std::fill(inR.begin() + n, inR.begin() + n + silence, 0.0f);
            n += silence;
            tailLeft -= silence;
        }
        if (n == 0) break;

        // Pieces of the block between the changes that fall into it; a CLAP
        // or VST3 plug-in takes them at their frames and the block whole.
        for (int done = 0; done < n;) {
            int end = n;
            for (; nextChange < job.automation.size(); ++nextChange) {
                const Automation& a = job.automation[nextChange];
                const int64_t at = a.frame - totals.frames;
                if (at >= n) break;
                if (bridge) {
                    bridge->queueChange(static_cast<uint32_t>(std::max<int64_t>(at, 0)), a.index, a.value);
                } else if (at > done) {
                    end = static_cast<int>(at);
                    break;
                } else {
                    effect.setParameter(a.index, a.value);
                }
            }
            if (job.transport.answered) setTransportTime(host, job.transport, samplePos, first && done == 0);
            effect.processReplacing(&inL[done], &inR[done], &outL[done], &outR[done], end - done);
            if (job.transport.playing) samplePos += end - done;
            done = end;
        }

        for (int i = 0; i < n; ++i) {
            for (float v : {outL[i], outR[i]}) {
                if (!std::isfinite(v))
                    ++totals.nonFinite;
                else
                    totals.peak = std::max(totals.peak, std::fabs(v));
            }
            writeBuffer[2 * static_cast<size_t>(i)] = outL[i];
            writeBuffer[2 * static_cast<size_t>(i) + 1] = outR[i];
        }
        if (!out.write(writeBuffer.data(), n, error)) {
            ok = false;
            break;
        }
        totals.frames += n;
        progress.update(totals.frames);
    }
    progress.finish();
    effect.suspend();
    if (ok) result = totals;
    return ok;
}

}  // namespace trv4tool
