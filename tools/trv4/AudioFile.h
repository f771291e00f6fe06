// The audio-file layer of trv4: readers and writers of interleaved 32-bit
// float frames behind one small interface. The Linux build reads WAV, AIFF
// and FLAC through libsndfile; every build reads and writes raw files
// (interleaved stereo little-endian float32, no header), and the Windows
// build has only those.
//
// Called on trv4's main thread, between processing calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace trv4tool {

class AudioReader {
public:
    virtual ~AudioReader() = default;
    virtual int sampleRate() const = 0;
    virtual int channels() const = 0;    // 1 or more
    virtual int64_t frames() const = 0;  // as the file declares
    // Reads up to count frames into interleaved; answers the frames read (0 at
    // the end) or -1 with error set.
    virtual int64_t read(float* interleaved, int64_t count, std::string& error) = 0;
};

class AudioWriter {
public:
    virtual ~AudioWriter() = default;
    // Writes count stereo frames; false with error set on failure.
    virtual bool write(const float* interleaved, int64_t count, std::string& error) = 0;
    // Flushes and closes; false with error set on failure.
    virtual bool finish(std::string& error) = 0;
};

// Opens an input file. rawRate is the sample rate of a raw file (which has
// no header to say it). Null with a one-line reason naming the file when it
// is missing, unreadable or malformed.
std::unique_ptr<AudioReader> openAudioReader(const std::string& path, int rawRate, std::string& error);

// Creates a stereo output file of the format its extension names. Null with a
// one-line reason when the extension is unknown or the file cannot be made.
std::unique_ptr<AudioWriter> openAudioWriter(const std::string& path, int sampleRate, std::string& error);

// One line for --help: which files this build reads and writes.
const char* audioFormatsSummary();

// True when the path names a raw file (".raw" or ".f32", any case).
bool isRawPath(const std::string& path);

}  // namespace trv4tool
