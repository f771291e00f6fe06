// Our definitions of the CLAP plug-in interface's core: the version record,
// the library entry, the plug-in factory, the plug-in and host records,
// processing, events and streams. Written from the interface's published
// documentation; the layouts, identifiers and numbers are the interface's
// (they are its binary contract), the spellings of types and constants ours:
// types drop the interface's prefix and suffix, constants are kName.
//
// Every function pointer uses the interface's calling convention (cdecl on
// 32-bit Windows, the platform's default elsewhere).
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define CLAP_CALL __cdecl
#else
#define CLAP_CALL
#endif

namespace clap {

using id = uint32_t;
constexpr id kInvalidId = 0xFFFFFFFFu;

// Interface version 1.2, as the records we fill announce it; any 1.x host
// or plug-in is compatible.
struct version {
    uint32_t major;
    uint32_t minor;
    uint32_t revision;
};
constexpr version kVersion{1, 2, 2};
constexpr bool isCompatible(const version& v) { return v.major >= 1; }

constexpr uint32_t kNameSize = 256;
constexpr uint32_t kPathSize = 1024;

// --- Entry and plug-in factory ---------------------------------------------

// The one symbol a CLAP library exports, named clap_entry.
struct plugin_entry {
    clap::version clap_version;
    bool(CLAP_CALL* init)(const char* plugin_path);
    void(CLAP_CALL* deinit)();
    const void*(CLAP_CALL* get_factory)(const char* factory_id);
};

struct host;
struct plugin;

struct plugin_descriptor {
    clap::version clap_version;
    const char* id;  // reverse-domain, stable for the plug-in's life
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version;
    const char* description;
    const char* const* features;  // null-terminated list
};

constexpr char kPluginFactoryId[] = "clap.plugin-factory";

struct plugin_factory {
    uint32_t(CLAP_CALL* get_plugin_count)(const plugin_factory* factory);
    const plugin_descriptor*(CLAP_CALL* get_plugin_descriptor)(const plugin_factory* factory, uint32_t index);
    const plugin*(CLAP_CALL* create_plugin)(const plugin_factory* factory, const host* host, const char* plugin_id);
};

// --- Host and plug-in records ----------------------------------------------

struct host {
    clap::version clap_version;
    void* host_data;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    const void*(CLAP_CALL* get_extension)(const host* host, const char* extension_id);
    void(CLAP_CALL* request_restart)(const host* host);
    void(CLAP_CALL* request_process)(const host* host);
    void(CLAP_CALL* request_callback)(const host* host);
};

struct process;

// process() answers.
constexpr int32_t kProcessError = 0;
constexpr int32_t kProcessContinue = 1;
constexpr int32_t kProcessContinueIfNotQuiet = 2;
constexpr int32_t kProcessTail = 3;
constexpr int32_t kProcessSleep = 4;

struct plugin {
    const plugin_descriptor* desc;
    void* plugin_data;
    bool(CLAP_CALL* init)(const plugin* plugin);
    void(CLAP_CALL* destroy)(const plugin* plugin);
    bool(CLAP_CALL* activate)(const plugin* plugin, double sample_rate, uint32_t min_frames_count,
                              uint32_t max_frames_count);
    void(CLAP_CALL* deactivate)(const plugin* plugin);
    bool(CLAP_CALL* start_processing)(const plugin* plugin);
    void(CLAP_CALL* stop_processing)(const plugin* plugin);
    void(CLAP_CALL* reset)(const plugin* plugin);
    int32_t(CLAP_CALL* process)(const plugin* plugin, const clap::process* process);
    const void*(CLAP_CALL* get_extension)(const plugin* plugin, const char* id);
    void(CLAP_CALL* on_main_thread)(const plugin* plugin);
};

// --- Events ------------------------------------------------------------------

struct event_header {
    uint32_t size;  // of the whole event
    uint32_t time;  // frame within the block
    uint16_t space_id;
    uint16_t type;
    uint32_t flags;
};

constexpr uint16_t kCoreEventSpace = 0;
constexpr uint32_t kEventIsLive = 1u << 0;
constexpr uint32_t kEventDontRecord = 1u << 1;

// Event types of the core space (those this plug-in reads or writes; the
// note and MIDI types 0-4 and 10-12 are ignored).
constexpr uint16_t kEventParamValue = 5;
constexpr uint16_t kEventParamMod = 6;
constexpr uint16_t kEventParamGestureBegin = 7;
constexpr uint16_t kEventParamGestureEnd = 8;
constexpr uint16_t kEventTransport = 9;

struct event_param_value {
    event_header header;
    id param_id;
    void* cookie;
    int32_t note_id;  // -1: all
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double value;
};

struct event_param_gesture {
    event_header header;
    id param_id;
};

// Positions in fixed point: 31 fractional bits.
using beattime = int64_t;
using sectime = int64_t;
constexpr double kBeatTimeFactor = 2147483648.0;
constexpr double kSecTimeFactor = 2147483648.0;

constexpr uint32_t kTransportHasTempo = 1u << 0;
constexpr uint32_t kTransportHasBeatsTimeline = 1u << 1;
constexpr uint32_t kTransportHasSecondsTimeline = 1u << 2;
constexpr uint32_t kTransportHasTimeSignature = 1u << 3;
constexpr uint32_t kTransportIsPlaying = 1u << 4;
constexpr uint32_t kTransportIsRecording = 1u << 5;
constexpr uint32_t kTransportIsLoopActive = 1u << 6;
constexpr uint32_t kTransportIsWithinPreRoll = 1u << 7;

struct event_transport {
    event_header header;
    uint32_t flags;
    beattime song_pos_beats;
    sectime song_pos_seconds;
    double tempo;  // beats per minute
    double tempo_inc;
    beattime loop_start_beats;
    beattime loop_end_beats;
    sectime loop_start_seconds;
    sectime loop_end_seconds;
    beattime bar_start;
    int32_t bar_number;
    uint16_t tsig_num;
    uint16_t tsig_denom;
};

struct input_events {
    void* ctx;
    uint32_t(CLAP_CALL* size)(const input_events* list);
    const event_header*(CLAP_CALL* get)(const input_events* list, uint32_t index);
};

struct output_events {
    void* ctx;
    bool(CLAP_CALL* try_push)(const output_events* list, const event_header* event);
};

// --- Processing ----------------------------------------------------------------

struct audio_buffer {
    float** data32;
    double** data64;
    uint32_t channel_count;
    uint32_t latency;
    uint64_t constant_mask;
};

struct process {
    int64_t steady_time;  // -1 when the host has none
    uint32_t frames_count;
    const event_transport* transport;  // null for a free-running host
    const audio_buffer* audio_inputs;
    audio_buffer* audio_outputs;
    uint32_t audio_inputs_count;
    uint32_t audio_outputs_count;
    const input_events* in_events;
    const output_events* out_events;
};

// --- Streams -------------------------------------------------------------------

// read and write answer the bytes moved (0 at the end of an input stream),
// or a negative number on an error; both may move fewer bytes than asked.
struct istream {
    void* ctx;
    int64_t(CLAP_CALL* read)(const istream* stream, void* buffer, uint64_t size);
};

struct ostream {
    void* ctx;
    int64_t(CLAP_CALL* write)(const ostream* stream, const void* buffer, uint64_t size);
};

}  // namespace clap
