// Processing: audio in spans cut at every parameter event's frame (and at
// the largest block announced), the transport as the object's time
// information, and the editor's edits handed to the host. Audio thread;
// nothing here allocates, locks or calls the system.
#include <algorithm>
#include <cmath>

#include "clap/ClapPlugin.h"
#include "clap/ParameterText.h"
#include "editor/EditorFactory.h"
#include "engine/ParamIndex.h"

namespace trv4clap {

namespace {

// Song positions reach us in fixed point (31 fractional bits of a second),
// which cannot hold every whole sample position exactly; hosts count in
// whole samples, so a position within this distance of one is taken as it.
constexpr double kWholeSampleSnap = 1e-3;

const clap::event_header* eventAt(const clap::input_events* in, uint32_t index) {
    return in && in->get ? in->get(in, index) : nullptr;
}

uint32_t eventCount(const clap::input_events* in) { return in && in->size ? in->size(in) : 0; }

}  // namespace

void ClapPlugin::setTransport(const clap::event_transport* transport) {
    timeValid_ = transport != nullptr;
    if (!transport) return;
    vst::VstTimeInfo& info = timeInfo_;
    info = {};
    info.sampleRate = sampleRate_;
    double samplePos = static_cast<double>(transport->song_pos_seconds) / clap::kSecTimeFactor * sampleRate_;
    const double whole = std::nearbyint(samplePos);
    if (std::fabs(samplePos - whole) < kWholeSampleSnap) samplePos = whole;
    transportSamplePos_ = samplePos;
    info.samplePos = samplePos;
    info.tempo = transport->tempo;
    info.ppqPos = static_cast<double>(transport->song_pos_beats) / clap::kBeatTimeFactor;
    info.barStartPos = static_cast<double>(transport->bar_start) / clap::kBeatTimeFactor;
    info.timeSigNumerator = transport->tsig_num;
    info.timeSigDenominator = transport->tsig_denom;
    if (transport->flags & clap::kTransportHasTempo) info.flags |= vst::kVstTempoValid;
    if (transport->flags & clap::kTransportHasTimeSignature) info.flags |= vst::kVstTimeSigValid;
    if (transport->flags & clap::kTransportHasBeatsTimeline) info.flags |= vst::kVstPpqPosValid | vst::kVstBarsValid;
    if (transport->flags & clap::kTransportIsPlaying) info.flags |= vst::kVstTransportPlaying;
    if (transport->flags & clap::kTransportIsRecording) info.flags |= vst::kVstTransportRecording;
}

void ClapPlugin::applyEvent(const clap::event_header& event) {
    if (event.space_id != clap::kCoreEventSpace) return;
    if (event.type == clap::kEventParamValue && event.size >= sizeof(clap::event_param_value)) {
        const auto& change = reinterpret_cast<const clap::event_param_value&>(event);
        // Per-note, per-key and per-channel values do not apply to an effect
        // without notes: only the ones meant for everything are taken.
        if (change.param_id < static_cast<clap::id>(trv4::kNumParams) && change.note_id < 0 && change.key < 0 &&
            change.channel < 0)
            effect_->setParameter(static_cast<vst::VstInt32>(change.param_id),
                                  static_cast<float>(storedValue(static_cast<int>(change.param_id), change.value)));
    } else if (event.type == clap::kEventTransport && event.size >= sizeof(clap::event_transport)) {
        setTransport(reinterpret_cast<const clap::event_transport*>(&event));
        // Its position is that of its own frame; the spans count from frame 0.
        transportSamplePos_ -= event.time;
    }
}

void ClapPlugin::processSpan(float** in, float** out, uint32_t offset, uint32_t frames) {
    while (frames > 0) {
        const uint32_t n = std::min(frames, maxFrames_);
        float* inputs[2] = {in[0] + offset, in[1] + offset};
        float* outputs[2] = {out[0] + offset, out[1] + offset};
        // The position of the span's first frame; it moves only while playing.
        if (timeValid_ && (timeInfo_.flags & vst::kVstTransportPlaying))
            timeInfo_.samplePos = transportSamplePos_ + offset;
        effect_->processReplacing(inputs, outputs, static_cast<vst::VstInt32>(n));
        offset += n;
        frames -= n;
    }
}

int32_t ClapPlugin::process(const clap::process& p) {
    TRV4_CLAP_AUDIO_THREAD(threads_);
    if (!active_) return clap::kProcessError;
    setTransport(p.transport);

    float** in = p.audio_inputs_count > 0 && p.audio_inputs ? p.audio_inputs[0].data32 : nullptr;
    float** out = p.audio_outputs_count > 0 && p.audio_outputs ? p.audio_outputs[0].data32 : nullptr;
    const bool stereo = in && out && p.audio_inputs[0].channel_count >= 2 && p.audio_outputs[0].channel_count >= 2 &&
                        in[0] && in[1] && out[0] && out[1];
    const uint32_t frames = stereo ? p.frames_count : 0;

    // Every event takes effect at its own frame: the audio before it is
    // processed first. Events past the block's end count as at its end.
    uint32_t done = 0;
    const uint32_t count = eventCount(p.in_events);
    bool changed = false;
    for (uint32_t i = 0; i < count; ++i) {
        const clap::event_header* event = eventAt(p.in_events, i);
        if (!event) continue;
        const uint32_t at = std::min(event->time, frames);
        if (at > done) {
            processSpan(in, out, done, at - done);
            done = at;
        }
        applyEvent(*event);
        changed = changed || event->type == clap::kEventParamValue;
    }
    if (frames > done) processSpan(in, out, done, frames - done);
    if (stereo) p.audio_outputs[0].constant_mask = 0;
    timeValid_ = false;

    if (changed && glue_) glue_->postUpdate();
    pushEdits(p.out_events);
    if (!stereo && p.frames_count > 0) return clap::kProcessError;
    return clap::kProcessContinue;
}

void ClapPlugin::flush(const clap::input_events* in, const clap::output_events* out) {
    const uint32_t count = eventCount(in);
    bool changed = false;
    for (uint32_t i = 0; i < count; ++i) {
        const clap::event_header* event = eventAt(in, i);
        if (!event || event->type != clap::kEventParamValue) continue;
        applyEvent(*event);
        changed = true;
    }
    if (changed && glue_) glue_->postUpdate();
    pushEdits(out);
}

void ClapPlugin::pushEdits(const clap::output_events* out) {
    if (!out || !out->try_push) return;
    EditEvent edit{};
    while (edits_.peek(edit)) {
        bool pushed = false;
        if (edit.kind == EditEvent::kValue) {
            clap::event_param_value event{};
            event.header = {sizeof event, 0, clap::kCoreEventSpace, clap::kEventParamValue, 0};
            event.param_id = edit.param;
            event.note_id = -1;
            event.port_index = -1;
            event.channel = -1;
            event.key = -1;
            event.value = hostValue(static_cast<int>(edit.param), static_cast<float>(edit.value));
            pushed = out->try_push(out, &event.header);
        } else {
            clap::event_param_gesture event{};
            const uint16_t type =
                edit.kind == EditEvent::kBegin ? clap::kEventParamGestureBegin : clap::kEventParamGestureEnd;
            event.header = {sizeof event, 0, clap::kCoreEventSpace, type, 0};
            event.param_id = edit.param;
            pushed = out->try_push(out, &event.header);
        }
        // A full host queue keeps the rest for the next block.
        if (!pushed) break;
        edits_.pop();
    }
}

}  // namespace trv4clap
