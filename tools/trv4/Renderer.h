// Renders audio through a loaded plug-in in the order a host uses: sample
// rate, block size, program and parameters, resume, blocks, suspend. Plays
// the host's transport for tempo sync when asked: audioMasterGetTime then
// answers the tempo, a 4/4 time signature, the playing flag and the song
// position, which advances with every block while playing.
//
// With a seed, the plug-in's random generator (dither, random wave shapes)
// starts from it, so that two renders of the same settings are equal to the
// bit, through VST 2, CLAP or VST3 alike.
//
// Runs on trv4's main thread, which is also the plug-in's audio thread here:
// buffers are made before resume, and file work happens between blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/trv4/AudioFile.h"
#include "tools/trv4/LoadedPlugin.h"
#include "tools/trv4/PluginSettings.h"

namespace trv4tool {

struct Transport {
    bool answered = false;  // whether the host answers audioMasterGetTime at all
    double tempo = 120;     // beats per minute
    bool playing = false;
    double samplePos = 0;  // song position of the first frame, in samples
};

// A parameter change at a frame of the render: a VST 2 plug-in gets it
// between two blocks cut there, a CLAP or VST3 plug-in at that frame inside
// its block.
struct Automation {
    int64_t frame;
    int index;
    float value;
};

struct RenderJob {
    int blockSize = 512;
    double tailSeconds = 0;  // silence fed after the input, so that echoes ring out
    Transport transport;
    std::vector<Automation> automation;  // by frame
    bool seeded = false;                 // reseed the plug-in's random generator (replay seed) before resume
    uint64_t seed = 0;
};

struct RenderResult {
    int64_t frames = 0;
    float peak = 0;         // largest magnitude in the output
    int64_t nonFinite = 0;  // output samples that were not finite numbers
};

// What the host answers to audioMasterGetTime for a block starting at
// samplePos: tempo, 4/4, positions, the playing flag; first marks the
// transport as changed.
void setTransportTime(trv4host::Host& host, const Transport& transport, double samplePos, bool first);

// Reads every frame of in (mono feeds both inputs; more than two channels is
// an error), processes it and writes stereo to out. False with a one-line
// reason on a read or write failure; the plug-in is suspended either way.
bool render(LoadedPlugin& plugin, const PluginSettings& settings, AudioReader& in, AudioWriter& out,
            const RenderJob& job, RenderResult& result, std::string& error);

}  // namespace trv4tool
