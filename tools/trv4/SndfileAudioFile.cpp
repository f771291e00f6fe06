#include "tools/trv4/SndfileAudioFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>

namespace trv4tool {

namespace {

std::string lowerExtension(const std::string& path) {
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

class SndfileReader final : public AudioReader {
public:
    SndfileReader(SNDFILE* file, const SF_INFO& info, std::string path)
        : file_(file), info_(info), path_(std::move(path)) {}
    ~SndfileReader() override { sf_close(file_); }
    int sampleRate() const override { return info_.samplerate; }
    int channels() const override { return info_.channels; }
    int64_t frames() const override { return info_.frames; }

    int64_t read(float* interleaved, int64_t count, std::string& error) override {
        sf_count_t got = sf_readf_float(file_, interleaved, count);
        if (got < count && sf_error(file_) != SF_ERR_NO_ERROR) {
            error = path_ + ": " + sf_strerror(file_);
            return -1;
        }
        return got;
    }

private:
    SNDFILE* file_;
    SF_INFO info_;
    std::string path_;
};

class SndfileWriter final : public AudioWriter {
public:
    SndfileWriter(SNDFILE* file, std::string path) : file_(file), path_(std::move(path)) {}
    ~SndfileWriter() override {
        if (file_) sf_close(file_);
    }

    bool write(const float* interleaved, int64_t count, std::string& error) override {
        if (sf_writef_float(file_, interleaved, count) != count) {
            error = "cannot write " + path_ + ": " + sf_strerror(file_);
            return false;
        }
        return true;
    }

    bool finish(std::string& error) override {
        int result = sf_close(file_);
        file_ = nullptr;
        if (result != 0) {
            error = "cannot finish " + path_ + ": " + sf_error_number(result);
            return false;
        }
        return true;
    }

private:
    SNDFILE* file_;
    std::string path_;
};

}  // namespace

std::unique_ptr<AudioReader> openSndfileReader(const std::string& path, std::string& error) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot read " + path + ": " + sf_strerror(nullptr);
        return nullptr;
    }
    if (info.channels < 1 || info.samplerate < 1 || info.frames < 0) {
        sf_close(file);
        error = path + " is malformed: " + std::to_string(info.channels) + " channels at " +
                std::to_string(info.samplerate) + " Hz";
        return nullptr;
    }
    return std::make_unique<SndfileReader>(file, info, path);
}

std::unique_ptr<AudioWriter> openSndfileWriter(const std::string& path, int sampleRate, std::string& error) {
    std::string ext = lowerExtension(path);
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    if (ext == "wav" || ext == "wave")
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    else if (ext == "aif" || ext == "aiff" || ext == "aifc")
        info.format = SF_FORMAT_AIFF | SF_FORMAT_FLOAT;
    else if (ext == "flac")
        info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    else {
        error = "cannot tell the output format from \"" + path + "\": use .wav, .aiff, .flac or .raw";
        return nullptr;
    }
    if (!sf_format_check(&info)) {
        error = "cannot write " + path + ": " + std::to_string(sampleRate) + " Hz is not possible in this format";
        return nullptr;
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot create " + path + ": " + sf_strerror(nullptr);
        return nullptr;
    }
    // Integer formats clip what the plug-in's limiter lets past full scale
    // instead of wrapping it round.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return std::make_unique<SndfileWriter>(file, path);
}

}  // namespace trv4tool
