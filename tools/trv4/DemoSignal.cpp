#include "tools/trv4/DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace trv4tool {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kNoteSeconds = 0.1875;  // eighth notes at 160 beats per minute
constexpr double kPlaySeconds = 6.0;     // notes start within this time
constexpr double kTotalSeconds = 7.5;    // and ring out until here

double midiHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// A small fixed-seed generator: the demo must not change from run to run.
struct Noise {
    uint32_t state = 0x2545F491u;
    double next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 8388608.0 - 1.0;  // -1..1
    }
};

// Karplus-Strong: a noise burst circulating in a delay line one period long,
// averaged at each pass (a gentle low-pass), so it decays like a string.
void addPluck(std::vector<double>& left, std::vector<double>& right, int sampleRate, size_t start, int note, double pan,
              Noise& noise) {
    // The loop delays by length + 0.5 (the averaging) + the allpass delay;
    // keeping that fraction in 0.1..1.1 keeps the allpass well damped.
    double period = sampleRate / midiHz(note);
    size_t length = std::max<size_t>(2, static_cast<size_t>(period - 0.6));
    double fraction = period - 0.5 - static_cast<double>(length);
    double allpass = (1.0 - fraction) / (1.0 + fraction);
    // The burst, softened by a one-pole low-pass and without its mean (a DC
    // offset would decay as a thump).
    std::vector<double> line(length);
    double smooth = 0, mean = 0;
    for (double& v : line) {
        smooth += 0.6 * (noise.next() - smooth);
        v = smooth;
        mean += v / static_cast<double>(length);
    }
    for (double& v : line) v -= mean;
    size_t frames = std::min(left.size() - std::min(start, left.size()), static_cast<size_t>(2.5 * sampleRate));
    double decay = std::pow(0.001, 1.0 / (1.2 * sampleRate / period));  // -60 dB in about 1.2 s
    double gainL = std::cos(pan * kPi / 2) * 0.5, gainR = std::sin(pan * kPi / 2) * 0.5;
    double previous = 0, apIn = 0, apOut = 0;
    size_t pos = 0;
    for (size_t i = 0; i < frames; ++i) {
        double current = line[pos];
        double averaged = decay * 0.5 * (current + previous);
        previous = current;
        apOut = allpass * (averaged - apOut) + apIn;
        apIn = averaged;
        line[pos] = apOut;
        pos = pos + 1 == length ? 0 : pos + 1;
        left[start + i] += gainL * current;
        right[start + i] += gainR * current;
    }
}

// A pad: three slightly detuned sawtooths per chord note (band-limited by
// their first partials), slow attack and release, a little wider in stereo.
void addPad(std::vector<double>& left, std::vector<double>& right, int sampleRate) {
    const int chord[] = {45, 52, 57, 60, 64};  // A2 E3 A3 C4 E4
    const double detune[] = {-0.07, 0.0, 0.06};
    const int partials = 8;
    size_t frames = left.size();
    double attack = 1.5 * sampleRate, release = 2.0 * sampleRate;
    for (int note : chord) {
        for (int voice = 0; voice < 3; ++voice) {
            double hz = midiHz(note) * std::pow(2.0, detune[voice] / 12.0);
            double pan = 0.5 + 0.3 * (voice - 1);
            double gainL = std::cos(pan * kPi / 2) * 0.05, gainR = std::sin(pan * kPi / 2) * 0.05;
            for (int k = 1; k <= partials && k * hz < 0.45 * sampleRate; ++k) {
                // Rotating phasor instead of a sine call per sample.
                double w = 2 * kPi * k * hz / sampleRate;
                double c = std::cos(w), s = std::sin(w), re = 1, im = 0;
                double amp = 1.0 / k;
                for (size_t i = 0; i < frames; ++i) {
                    double env = std::min({1.0, i / attack, (frames - i) / release});
                    double v = amp * env * im;
                    left[i] += gainL * v;
                    right[i] += gainR * v;
                    double nre = re * c - im * s;
                    im = re * s + im * c;
                    re = nre;
                }
            }
        }
    }
}

class DemoReader final : public AudioReader {
public:
    DemoReader(std::vector<float> frames, int rate) : samples_(std::move(frames)), rate_(rate) {}
    int sampleRate() const override { return rate_; }
    int channels() const override { return 2; }
    int64_t frames() const override { return static_cast<int64_t>(samples_.size() / 2); }
    int64_t read(float* interleaved, int64_t count, std::string&) override {
        int64_t left = frames() - position_;
        int64_t n = std::min(count, left);
        std::memcpy(interleaved, samples_.data() + 2 * position_, static_cast<size_t>(n) * 2 * sizeof(float));
        position_ += n;
        return n;
    }

private:
    std::vector<float> samples_;
    int rate_;
    int64_t position_ = 0;
};

}  // namespace

std::vector<float> makeDemoSignal(int sampleRate) {
    size_t frames = static_cast<size_t>(kTotalSeconds * sampleRate);
    std::vector<double> left(frames), right(frames);
    addPad(left, right, sampleRate);
    // Arpeggios up and down through A minor, F, C and G major, eight notes
    // each: root, third, fifth, octave, tenth and back.
    const int roots[] = {57, 53, 60, 55};
    const int pattern[] = {0, 1, 2, 3, 4, 3, 2, 1};
    Noise noise;
    int steps = static_cast<int>(kPlaySeconds / kNoteSeconds);
    for (int step = 0; step < steps; ++step) {
        int chord = (step / 8) % 4;
        int third = chord == 0 ? 3 : 4;
        const int tones[] = {0, third, 7, 12, 12 + third};
        int note = roots[chord] + tones[pattern[step % 8]];
        double pan = 0.35 + 0.3 * ((step % 2) ? 1 : 0);
        addPluck(left, right, sampleRate, static_cast<size_t>(step * kNoteSeconds * sampleRate), note, pan, noise);
    }
    double peak = 1e-9;
    for (size_t i = 0; i < frames; ++i) peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    double gain = 0.5 / peak;
    std::vector<float> out(2 * frames);
    for (size_t i = 0; i < frames; ++i) {
        out[2 * i] = static_cast<float>(left[i] * gain);
        out[2 * i + 1] = static_cast<float>(right[i] * gain);
    }
    return out;
}

std::unique_ptr<AudioReader> openDemoReader(int sampleRate) {
    return std::make_unique<DemoReader>(makeDemoSignal(sampleRate), sampleRate);
}

}  // namespace trv4tool
