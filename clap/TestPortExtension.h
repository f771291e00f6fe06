// Our own CLAP extension for our tools and tests: the editor test port
// (editor/EditorTestPort.h) and the replay seed (plugin/ReplaySeed.h), as
// the VST 2 build hands them out through its vendor-specific request. Hosts
// never ask for this id.
#pragma once

#include "clap/ClapCore.h"

namespace trv4clap {

constexpr char kExtEditorTestPort[] = "example.tolvmark.trv-4.editor-test-port";

struct plugin_editor_test_port {
    // Fills port (an EditorTestPort whose size field the caller set); true
    // when it did. From then on the editor opens on the port's headless
    // backend, with or without a parent window. Main thread.
    bool(CLAP_CALL* fill)(const clap::plugin* plugin, void* port);
    // Reseeds the plug-in's random generator (dither, random wave shapes),
    // so that a render can be repeated exactly.
    void(CLAP_CALL* seed)(const clap::plugin* plugin, uint64_t seed);
};

}  // namespace trv4clap
