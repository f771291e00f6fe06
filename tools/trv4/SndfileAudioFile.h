// Audio files through libsndfile: WAV, AIFF and FLAC in (any sample format
// the library reads, delivered as float), out as 32-bit float WAV or AIFF, or
// 24-bit FLAC (FLAC stores no float). Linux build only.
#pragma once

#include <memory>
#include <string>

#include "tools/trv4/AudioFile.h"

namespace trv4tool {

std::unique_ptr<AudioReader> openSndfileReader(const std::string& path, std::string& error);
std::unique_ptr<AudioWriter> openSndfileWriter(const std::string& path, int sampleRate, std::string& error);

}  // namespace trv4tool
