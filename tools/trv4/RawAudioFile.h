// Raw audio files: interleaved stereo little-endian float32 frames and no
// header. The sample rate is not stored; the caller says it. Used by every
// build and the only format of the Windows build (libsndfile is not built for
// mingw).
#pragma once

#include <memory>
#include <string>

#include "tools/trv4/AudioFile.h"

namespace trv4tool {

// Null with a reason when the file cannot be opened or its length is not a
// whole number of stereo frames.
std::unique_ptr<AudioReader> openRawReader(const std::string& path, int sampleRate, std::string& error);
std::unique_ptr<AudioWriter> openRawWriter(const std::string& path, std::string& error);

}  // namespace trv4tool
