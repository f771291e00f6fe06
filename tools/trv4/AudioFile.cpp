#include "tools/trv4/AudioFile.h"

#include <algorithm>
#include <cctype>

#include "tools/trv4/RawAudioFile.h"
#if TRV4_HAVE_SNDFILE
#include "tools/trv4/SndfileAudioFile.h"
#endif

namespace trv4tool {

namespace {

bool endsWith(const std::string& path, const char* suffix) {
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    std::string s = suffix;
    return lower.size() >= s.size() && lower.compare(lower.size() - s.size(), s.size(), s) == 0;
}

#if !TRV4_HAVE_SNDFILE
// Without libsndfile a .wav would be read as raw floats and give noise: say
// so instead.
bool refuseContainer(const std::string& path, std::string& error) {
    for (const char* ext : {".wav", ".wave", ".aif", ".aiff", ".aifc", ".flac"}) {
        if (endsWith(path, ext)) {
            error = path + ": this build reads and writes raw files only (interleaved stereo float32, .raw)";
            return true;
        }
    }
    return false;
}
#endif

}  // namespace

bool isRawPath(const std::string& path) { return endsWith(path, ".raw") || endsWith(path, ".f32"); }

std::unique_ptr<AudioReader> openAudioReader(const std::string& path, int rawRate, std::string& error) {
#if TRV4_HAVE_SNDFILE
    if (!isRawPath(path)) return openSndfileReader(path, error);
#else
    if (refuseContainer(path, error)) return nullptr;
#endif
    return openRawReader(path, rawRate, error);
}

std::unique_ptr<AudioWriter> openAudioWriter(const std::string& path, int sampleRate, std::string& error) {
#if TRV4_HAVE_SNDFILE
    if (!isRawPath(path)) return openSndfileWriter(path, sampleRate, error);
#else
    if (refuseContainer(path, error)) return nullptr;
#endif
    return openRawWriter(path, error);
}

const char* audioFormatsSummary() {
#if TRV4_HAVE_SNDFILE
    return "Audio files: WAV, AIFF and FLAC in (mono or stereo); out as 32-bit float WAV or AIFF, or 24-bit FLAC,\n"
           "by the extension of OUT. Files ending in .raw hold interleaved stereo little-endian float32\n"
           "frames without a header, at the rate --sr gives.";
#else
    return "Audio files: this build reads and writes raw files only: interleaved stereo little-endian\n"
           "float32 frames without a header (.raw), at the rate --sr gives (WAV, AIFF and FLAC need\n"
           "the Linux build).";
#endif
}

}  // namespace trv4tool
