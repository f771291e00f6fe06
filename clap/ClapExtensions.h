// Our definitions of the CLAP extensions this plug-in offers or uses: audio
// ports, parameters, state, latency, tail, the editor (gui), timers, file
// descriptors, thread checks, preset loading and the host's log. Layouts,
// identifier strings and numbers are the interface's; spellings ours (see
// ClapCore.h).
#pragma once

#include "clap/ClapCore.h"

namespace clap {

// --- Audio ports ---------------------------------------------------------------

constexpr char kExtAudioPorts[] = "clap.audio-ports";
constexpr char kPortStereo[] = "stereo";
constexpr uint32_t kAudioPortIsMain = 1u << 0;

struct audio_port_info {
    clap::id id;
    char name[kNameSize];
    uint32_t flags;
    uint32_t channel_count;
    const char* port_type;
    clap::id in_place_pair;
};

struct plugin_audio_ports {
    uint32_t(CLAP_CALL* count)(const plugin* plugin, bool is_input);
    bool(CLAP_CALL* get)(const plugin* plugin, uint32_t index, bool is_input, audio_port_info* info);
};

// --- Parameters ----------------------------------------------------------------

constexpr char kExtParams[] = "clap.params";
constexpr uint32_t kParamIsStepped = 1u << 0;
constexpr uint32_t kParamIsHidden = 1u << 2;
constexpr uint32_t kParamIsAutomatable = 1u << 5;
constexpr uint32_t kParamIsEnum = 1u << 16;

struct param_info {
    clap::id id;
    uint32_t flags;
    void* cookie;
    char name[kNameSize];
    char module[kPathSize];
    double min_value;
    double max_value;
    double default_value;
};

struct plugin_params {
    uint32_t(CLAP_CALL* count)(const plugin* plugin);
    bool(CLAP_CALL* get_info)(const plugin* plugin, uint32_t param_index, param_info* info);
    bool(CLAP_CALL* get_value)(const plugin* plugin, id param_id, double* out_value);
    bool(CLAP_CALL* value_to_text)(const plugin* plugin, id param_id, double value, char* out_buffer,
                                   uint32_t out_buffer_capacity);
    bool(CLAP_CALL* text_to_value)(const plugin* plugin, id param_id, const char* text, double* out_value);
    void(CLAP_CALL* flush)(const plugin* plugin, const input_events* in, const output_events* out);
};

constexpr uint32_t kParamRescanValues = 1u << 0;
constexpr uint32_t kParamRescanText = 1u << 1;

struct host_params {
    void(CLAP_CALL* rescan)(const host* host, uint32_t flags);
    void(CLAP_CALL* clear)(const host* host, id param_id, uint32_t flags);
    void(CLAP_CALL* request_flush)(const host* host);
};

// --- State, latency, tail ---------------------------------------------------------

constexpr char kExtState[] = "clap.state";

struct plugin_state {
    bool(CLAP_CALL* save)(const plugin* plugin, const ostream* stream);
    bool(CLAP_CALL* load)(const plugin* plugin, const istream* stream);
};

struct host_state {
    void(CLAP_CALL* mark_dirty)(const host* host);
};

constexpr char kExtLatency[] = "clap.latency";
constexpr char kExtTail[] = "clap.tail";

// Both extensions are one getter: frames of latency, frames of tail
// (0xFFFFFFFF: endless).
struct plugin_frames_getter {
    uint32_t(CLAP_CALL* get)(const plugin* plugin);
};

// --- Editor ------------------------------------------------------------------------

constexpr char kExtGui[] = "clap.gui";
constexpr char kWindowApiWin32[] = "win32";
constexpr char kWindowApiX11[] = "x11";

struct window {
    const char* api;
    union {
        void* cocoa;
        void* uikit;
        unsigned long x11;
        void* win32;
        void* ptr;
    };
};

struct gui_resize_hints {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;
    uint32_t aspect_ratio_width;
    uint32_t aspect_ratio_height;
};

struct plugin_gui {
    bool(CLAP_CALL* is_api_supported)(const plugin* plugin, const char* api, bool is_floating);
    bool(CLAP_CALL* get_preferred_api)(const plugin* plugin, const char** api, bool* is_floating);
    bool(CLAP_CALL* create)(const plugin* plugin, const char* api, bool is_floating);
    void(CLAP_CALL* destroy)(const plugin* plugin);
    bool(CLAP_CALL* set_scale)(const plugin* plugin, double scale);
    bool(CLAP_CALL* get_size)(const plugin* plugin, uint32_t* width, uint32_t* height);
    bool(CLAP_CALL* can_resize)(const plugin* plugin);
    bool(CLAP_CALL* get_resize_hints)(const plugin* plugin, gui_resize_hints* hints);
    bool(CLAP_CALL* adjust_size)(const plugin* plugin, uint32_t* width, uint32_t* height);
    bool(CLAP_CALL* set_size)(const plugin* plugin, uint32_t width, uint32_t height);
    bool(CLAP_CALL* set_parent)(const plugin* plugin, const window* window);
    bool(CLAP_CALL* set_transient)(const plugin* plugin, const window* window);
    void(CLAP_CALL* suggest_title)(const plugin* plugin, const char* title);
    bool(CLAP_CALL* show)(const plugin* plugin);
    bool(CLAP_CALL* hide)(const plugin* plugin);
};

struct host_gui {
    void(CLAP_CALL* resize_hints_changed)(const host* host);
    bool(CLAP_CALL* request_resize)(const host* host, uint32_t width, uint32_t height);
    bool(CLAP_CALL* request_show)(const host* host);
    bool(CLAP_CALL* request_hide)(const host* host);
    void(CLAP_CALL* closed)(const host* host, bool was_destroyed);
};

constexpr char kExtTimerSupport[] = "clap.timer-support";

struct plugin_timer_support {
    void(CLAP_CALL* on_timer)(const plugin* plugin, id timer_id);
};

struct host_timer_support {
    bool(CLAP_CALL* register_timer)(const host* host, uint32_t period_ms, id* timer_id);
    bool(CLAP_CALL* unregister_timer)(const host* host, id timer_id);
};

constexpr char kExtPosixFdSupport[] = "clap.posix-fd-support";
constexpr uint32_t kFdRead = 1u << 0;
constexpr uint32_t kFdWrite = 1u << 1;
constexpr uint32_t kFdError = 1u << 2;

struct plugin_posix_fd_support {
    void(CLAP_CALL* on_fd)(const plugin* plugin, int fd, uint32_t flags);
};

struct host_posix_fd_support {
    bool(CLAP_CALL* register_fd)(const host* host, int fd, uint32_t flags);
    bool(CLAP_CALL* modify_fd)(const host* host, int fd, uint32_t flags);
    bool(CLAP_CALL* unregister_fd)(const host* host, int fd);
};

// --- Threads, log ------------------------------------------------------------------

constexpr char kExtThreadCheck[] = "clap.thread-check";

struct host_thread_check {
    bool(CLAP_CALL* is_main_thread)(const host* host);
    bool(CLAP_CALL* is_audio_thread)(const host* host);
};

constexpr char kExtLog[] = "clap.log";
constexpr int32_t kLogError = 3;
constexpr int32_t kLogHostMisbehaving = 5;

struct host_log {
    void(CLAP_CALL* log)(const host* host, int32_t severity, const char* message);
};

// --- Preset loading ------------------------------------------------------------------

// The current name and the one hosts of the draft era ask for.
constexpr char kExtPresetLoad[] = "clap.preset-load/2";
constexpr char kExtPresetLoadCompat[] = "clap.preset-load.draft/2";

// Where a preset lives: a file, or inside the plug-in (location null).
constexpr uint32_t kPresetLocationFile = 0;
constexpr uint32_t kPresetLocationPlugin = 1;

struct plugin_preset_load {
    bool(CLAP_CALL* from_location)(const plugin* plugin, uint32_t location_kind, const char* location,
                                   const char* load_key);
};

struct host_preset_load {
    void(CLAP_CALL* on_error)(const host* host, uint32_t location_kind, const char* location, const char* load_key,
                              int32_t os_error, const char* message);
    void(CLAP_CALL* loaded)(const host* host, uint32_t location_kind, const char* location, const char* load_key);
};

}  // namespace clap
