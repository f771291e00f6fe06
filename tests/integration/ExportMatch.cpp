// trv4_export_match PLUGIN INPUT EXPORT PROGRAM OTHER [options]
//
// Compares a host's export of INPUT through TRV-4 with renders of our own
// host (the VST 2 module PLUGIN, loaded in this process the way trv4 render
// loads it). A host resumes the plug-in some time before the first exported
// frame and feeds it silence meanwhile (Ardour: a pre-roll of two seconds
// plus the engine cycles before its export starts, which depend on the
// machine's load), so the modulators are further on in their cycles than in
// a render that starts at the first frame. The length of that silence is
// searched: each candidate is a fresh instance fed that many frames of
// silence and then INPUT, and the candidate whose output is closest to the
// export wins (coarse steps first, then finer ones around the best).
//
// Prints the silence found and, at that silence, the signal-to-difference
// ratio of the export against the render of PROGRAM, of OTHER and against
// the dry input, over the frames from --skip on. Exits 0 when PROGRAM
// reaches --bound dB, OTHER and the dry input stay below --reject dB; 1
// otherwise; 2 on wrong usage or unreadable files.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tools/trv4/AudioFile.h"
#include "tools/trv4/LoadedPlugin.h"
#include "tools/trv4/PluginSettings.h"
#include "tools/trv4/Renderer.h"

namespace {

using trv4tool::AudioReader;
using trv4tool::AudioWriter;

struct Stereo {
    int rate = 0;
    std::vector<float> frames;  // interleaved left, right
    int64_t size() const { return static_cast<int64_t>(frames.size() / 2); }
};

bool readStereo(const std::string& path, Stereo& out, std::string& error) {
    std::unique_ptr<AudioReader> in = trv4tool::openAudioReader(path, 48000, error);
    if (!in) return false;
    if (in->channels() != 2) {
        error = path + ": not stereo";
        return false;
    }
    out.rate = in->sampleRate();
    out.frames.resize(static_cast<size_t>(std::max<int64_t>(in->frames(), 0)) * 2);
    int64_t done = 0;
    while (done < out.size()) {
        int64_t got = in->read(out.frames.data() + done * 2, out.size() - done, error);
        if (got < 0) return false;
        if (got == 0) break;
        done += got;
    }
    out.frames.resize(static_cast<size_t>(done) * 2);
    return true;
}

// `silence` frames of silence, then the first `frames` frames of the input.
class PrerollReader : public AudioReader {
public:
    PrerollReader(const Stereo& input, int64_t silence, int64_t frames)
        : input_(input), silence_(silence), frames_(std::min(frames, input.size())) {}
    int sampleRate() const override { return input_.rate; }
    int channels() const override { return 2; }
    int64_t frames() const override { return silence_ + frames_; }
    int64_t read(float* interleaved, int64_t count, std::string&) override {
        int64_t n = std::min(count, frames() - position_);
        for (int64_t i = 0; i < n; ++i, ++position_) {
            int64_t at = position_ - silence_;
            interleaved[2 * i] = at < 0 ? 0.0f : input_.frames[2 * at];
            interleaved[2 * i + 1] = at < 0 ? 0.0f : input_.frames[2 * at + 1];
        }
        return n;
    }

private:
    const Stereo& input_;
    int64_t silence_, frames_, position_ = 0;
};

class MemoryWriter : public AudioWriter {
public:
    std::vector<float> frames;
    bool write(const float* interleaved, int64_t count, std::string&) override {
        frames.insert(frames.end(), interleaved, interleaved + count * 2);
        return true;
    }
    bool finish(std::string&) override { return true; }
};

// Signal-to-difference ratio in dB of `got` against `want` over frames
// [from, to) of `got`; `want` starts `offset` frames earlier than its data.
double ratioDb(const std::vector<float>& got, const std::vector<float>& want, int64_t offset, int64_t from, int64_t to,
               double* largest = nullptr) {
    double signal = 0, difference = 0, peak = 0;
    for (int64_t i = 2 * from; i < 2 * to; ++i) {
        double w = want[static_cast<size_t>(i + 2 * offset)];
        double d = got[static_cast<size_t>(i)] - w;
        signal += w * w;
        difference += d * d;
        peak = std::max(peak, std::fabs(d));
    }
    if (largest) *largest = peak;
    if (difference == 0) return std::numeric_limits<double>::infinity();
    return 10 * std::log10(signal / difference);
}

struct Options {
    std::string plugin, input, exported, program, other;
    double skipSeconds = 0.2;                 // the part the comparison leaves out
    double searchFrom = 1.9, searchTo = 5.9;  // seconds of silence searched
    double bound = 40, reject = 20;           // dB
};

class Matcher {
public:
    Matcher(const Options& options, const Stereo& input, const Stereo& exported)
        : options_(options), input_(input), exported_(exported) {}

    // The output of a fresh instance with `program` after `silence` frames of
    // silence and the first `frames` frames of the input; empty on failure.
    std::vector<float> render(int program, int64_t silence, int64_t frames) {
        std::string error;
        std::unique_ptr<trv4tool::LoadedPlugin> plugin = trv4tool::LoadedPlugin::load(options_.plugin, error);
        if (!plugin) return fail(error);
        trv4tool::PluginSettings settings;
        settings.programIndex = program;
        PrerollReader in(input_, silence, frames);
        MemoryWriter out;
        trv4tool::RenderResult result;
        if (!trv4tool::render(*plugin, settings, in, out, trv4tool::RenderJob{}, result, error)) return fail(error);
        return std::move(out.frames);
    }

    // The closeness of the export's frames [skip, end) to a render after
    // `silence` frames of silence.
    double score(int program, int64_t silence, int64_t end) {
        std::vector<float> r = render(program, silence, end);
        if (r.empty()) return -std::numeric_limits<double>::infinity();
        return ratioDb(exported_.frames, r, silence, skip(), end);
    }

    // The silence, in frames, that brings a render of `program` closest to
    // the export over its first second from `skip` on: every 512 frames in
    // the range, then every 32, 4 and 1 around the best so far.
    int64_t search(int program) {
        const int64_t end = std::min<int64_t>(skip() + input_.rate, length());
        const int64_t from = std::llround(options_.searchFrom * input_.rate);
        const int64_t to = std::llround(options_.searchTo * input_.rate);
        int64_t best = from;
        double bestScore = -std::numeric_limits<double>::infinity();
        auto tryFrom = [&](int64_t lo, int64_t hi, int64_t step) {
            for (int64_t s = std::max(from, lo); s <= std::min(to, hi); s += step) {
                double v = score(program, s, end);
                if (v > bestScore) bestScore = v, best = s;
            }
        };
        tryFrom(from, to, 512);
        int64_t previous = 512;
        for (int64_t step : {32, 4, 1}) {
            tryFrom(best - previous, best + previous, step);
            previous = step;
        }
        return best;
    }

    int64_t skip() const { return std::llround(options_.skipSeconds * input_.rate); }
    int64_t length() const { return std::min(input_.size(), exported_.size()); }
    bool failed() const { return failed_; }

private:
    std::vector<float> fail(const std::string& error) {
        if (!failed_) std::fprintf(stderr, "trv4_export_match: %s\n", error.c_str());
        failed_ = true;
        return {};
    }

    const Options& options_;
    const Stereo& input_;
    const Stereo& exported_;
    bool failed_ = false;
};

int usage() {
    std::fprintf(stderr,
                 "usage: trv4_export_match PLUGIN INPUT EXPORT PROGRAM OTHER [--skip S] [--search FROM TO]"
                 " [--bound DB] [--reject DB]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto number = [&](double& v) {
            if (i + 1 >= argc) return false;
            v = std::atof(argv[++i]);
            return true;
        };
        if (a == "--skip"     ? !number(o.skipSeconds)
            : a == "--search" ? !number(o.searchFrom) || !number(o.searchTo)
            : a == "--bound"  ? !number(o.bound)
            : a == "--reject" ? !number(o.reject)
                              : (positional.push_back(a), false))
            return usage();
    }
    if (positional.size() != 5 || o.searchTo < o.searchFrom) return usage();
    o.plugin = positional[0], o.input = positional[1], o.exported = positional[2];
    o.program = positional[3], o.other = positional[4];

    std::string error;
    Stereo input, exported;
    if (!readStereo(o.input, input, error) || !readStereo(o.exported, exported, error)) {
        std::fprintf(stderr, "trv4_export_match: %s\n", error.c_str());
        return 2;
    }
    if (input.rate != exported.rate) {
        std::fprintf(stderr, "trv4_export_match: the input runs at %d Hz, the export at %d Hz\n", input.rate,
                     exported.rate);
        return 1;
    }
    if (exported.size() != input.size()) {
        std::printf("FAILED: the export has %lld frames, the input %lld\n", static_cast<long long>(exported.size()),
                    static_cast<long long>(input.size()));
        return 1;
    }
    std::unique_ptr<trv4tool::LoadedPlugin> plugin = trv4tool::LoadedPlugin::load(o.plugin, error);
    if (!plugin) {
        std::fprintf(stderr, "trv4_export_match: %s\n", error.c_str());
        return 2;
    }
    const int program = plugin->findProgram(o.program), other = plugin->findProgram(o.other);
    plugin.reset();
    if (program < 0 || other < 0) {
        std::fprintf(stderr, "trv4_export_match: no program %s\n", (program < 0 ? o.program : o.other).c_str());
        return 2;
    }

    Matcher matcher(o, input, exported);
    const int64_t end = matcher.length(), skip = matcher.skip();
    if (end <= skip + input.rate) {
        std::fprintf(stderr, "trv4_export_match: %lld frames are too few to compare\n", static_cast<long long>(end));
        return 1;
    }
    const int64_t silence = matcher.search(program);
    std::vector<float> mine = matcher.render(program, silence, end);
    std::vector<float> theirs = matcher.render(other, silence, end);
    if (matcher.failed()) return 2;
    double largest = 0;
    const double match = ratioDb(exported.frames, mine, silence, skip, end, &largest);
    const double confused = ratioDb(exported.frames, theirs, silence, skip, end);
    const double dry = ratioDb(exported.frames, input.frames, 0, skip, end);
    std::printf("silence before the first frame: %lld frames (%.3f s)\n", static_cast<long long>(silence),
                static_cast<double>(silence) / input.rate);
    std::printf("%s: %.1f dB (largest difference %.3g), %s: %.1f dB, dry input: %.1f dB, over %.2f .. %.2f s\n",
                o.program.c_str(), match, largest, o.other.c_str(), confused, dry,
                static_cast<double>(skip) / input.rate, static_cast<double>(end) / input.rate);
    bool ok = true;
    if (!(match >= o.bound)) {
        std::printf("FAILED: the export is not the render of %s (%.1f dB, bound %.1f dB)\n", o.program.c_str(), match,
                    o.bound);
        ok = false;
    }
    if (!(confused < o.reject)) {
        std::printf("FAILED: the export is as close to %s (%.1f dB)\n", o.other.c_str(), confused);
        ok = false;
    }
    if (!(dry < o.reject)) {
        std::printf("FAILED: the export is close to the dry input (%.1f dB)\n", dry);
        ok = false;
    }
    return ok ? 0 : 1;
}
