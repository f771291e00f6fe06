#include "tools/trv4/RawAudioFile.h"

#include <bit>
#include <cstring>
#include <fstream>
#include <vector>

namespace trv4tool {

namespace {

constexpr int64_t kFrameBytes = 2 * 4;

// Every target is little-endian; the conversion is spelled out so that the
// file format does not depend on it.
float fromLittle(const unsigned char* p) {
    uint32_t u = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    return std::bit_cast<float>(u);
}

void toLittle(float v, unsigned char* p) {
    uint32_t u = std::bit_cast<uint32_t>(v);
    p[0] = uint8_t(u);
    p[1] = uint8_t(u >> 8);
    p[2] = uint8_t(u >> 16);
    p[3] = uint8_t(u >> 24);
}

class RawReader final : public AudioReader {
public:
    RawReader(std::ifstream file, std::string path, int rate, int64_t frames)
        : file_(std::move(file)), path_(std::move(path)), rate_(rate), frames_(frames) {}
    int sampleRate() const override { return rate_; }
    int channels() const override { return 2; }
    int64_t frames() const override { return frames_; }

    int64_t read(float* interleaved, int64_t count, std::string& error) override {
        bytes_.resize(static_cast<size_t>(count * kFrameBytes));
        file_.read(reinterpret_cast<char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
        if (file_.bad()) {
            error = "cannot read " + path_;
            return -1;
        }
        int64_t got = static_cast<int64_t>(file_.gcount()) / kFrameBytes;
        for (int64_t i = 0; i < got * 2; ++i) interleaved[i] = fromLittle(bytes_.data() + 4 * i);
        return got;
    }

private:
    std::ifstream file_;
    std::string path_;
    int rate_;
    int64_t frames_;
    std::vector<unsigned char> bytes_;
};

class RawWriter final : public AudioWriter {
public:
    RawWriter(std::ofstream file, std::string path) : file_(std::move(file)), path_(std::move(path)) {}

    bool write(const float* interleaved, int64_t count, std::string& error) override {
        bytes_.resize(static_cast<size_t>(count * kFrameBytes));
        for (int64_t i = 0; i < count * 2; ++i) toLittle(interleaved[i], bytes_.data() + 4 * i);
        file_.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
        if (!file_) {
            error = "cannot write " + path_;
            return false;
        }
        return true;
    }

    bool finish(std::string& error) override {
        file_.close();
        if (!file_) {
            error = "cannot write " + path_;
            return false;
        }
        return true;
    }

private:
    std::ofstream file_;
    std::string path_;
    std::vector<unsigned char> bytes_;
};

}  // namespace

std::unique_ptr<AudioReader> openRawReader(const std::string& path, int sampleRate, std::string& error) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        error = "cannot open " + path + " for reading";
        return nullptr;
    }
    std::streamoff size = file.tellg();
    file.seekg(0);
    if (size < 0 || !file) {
        error = "cannot read " + path;
        return nullptr;
    }
    if (size % kFrameBytes != 0) {
        error = path + " is not a raw stereo float file: its " + std::to_string(size) +
                " bytes are not a whole number of 8-byte frames";
        return nullptr;
    }
    return std::make_unique<RawReader>(std::move(file), path, sampleRate, static_cast<int64_t>(size / kFrameBytes));
}

std::unique_ptr<AudioWriter> openRawWriter(const std::string& path, std::string& error) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        error = "cannot create " + path;
        return nullptr;
    }
    return std::make_unique<RawWriter>(std::move(file), path);
}

}  // namespace trv4tool
