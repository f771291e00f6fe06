// trv4 info on a .clap file: what a CLAP host learns at load, in place of
// the VST 2 record and dispatcher answers: the descriptor, the extensions
// the plug-in offers, its audio ports, latency, tail, editor size and each
// parameter's id, flags and range. The parameter and program tables follow
// from the common part of info.
#include <cstdio>
#include <string>

#include "tools/host/ClapBridge.h"
#include "tools/trv4/InfoSections.h"
#include "tools/trv4/Numbers.h"

namespace trv4tool {

namespace {

const char* const kExtensions[] = {clap::kExtAudioPorts,   clap::kExtParams,         clap::kExtState,
                                   clap::kExtLatency,      clap::kExtTail,           clap::kExtGui,
                                   clap::kExtTimerSupport, clap::kExtPosixFdSupport, clap::kExtPresetLoad};

void line(const char* label, const std::string& value) { std::printf("  %-28s %s\n", label, value.c_str()); }

std::string paramFlags(uint32_t flags) {
    std::string text;
    auto add = [&](uint32_t bit, const char* name) {
        if (!(flags & bit)) return;
        if (!text.empty()) text += ' ';
        text += name;
    };
    add(clap::kParamIsStepped, "stepped");
    add(clap::kParamIsHidden, "hidden");
    add(clap::kParamIsAutomatable, "automatable");
    add(clap::kParamIsEnum, "enum");
    return text.empty() ? "none" : text;
}

}  // namespace

void printClapSections(const trv4host::ClapModule& module, trv4host::ClapInstance& instance) {
    const clap::plugin_descriptor& d = module.descriptor();
    const clap::version& v = module.entry().clap_version;
    std::printf("CLAP descriptor (interface %u.%u.%u)\n", v.major, v.minor, v.revision);
    line("id", d.id ? d.id : "");
    line("name", d.name ? d.name : "");
    line("vendor", d.vendor ? d.vendor : "");
    line("version", d.version ? d.version : "");
    line("url", d.url ? d.url : "");
    std::string features;
    for (const char* const* f = d.features; f && *f; ++f) {
        if (!features.empty()) features += ' ';
        features += *f;
    }
    line("features", features);

    std::printf("Extensions\n");
    for (const char* id : kExtensions) line(id, instance.extension(id) ? "offered" : "-");

    std::printf("Audio ports\n");
    auto* ports = static_cast<const clap::plugin_audio_ports*>(instance.extension(clap::kExtAudioPorts));
    for (bool input : {true, false}) {
        const uint32_t count = ports ? ports->count(&instance.plugin(), input) : 0;
        for (uint32_t i = 0; i < count; ++i) {
            clap::audio_port_info info{};
            if (!ports->get(&instance.plugin(), i, input, &info)) continue;
            char label[32], text[clap::kNameSize + 96];
            std::snprintf(label, sizeof label, "%s %u", input ? "input" : "output", i);
            std::snprintf(text, sizeof text, "\"%s\", id %u, %u channels, %s, in place with %u", info.name, info.id,
                          info.channel_count, info.port_type ? info.port_type : "", info.in_place_pair);
            line(label, text);
        }
    }
    instance.activate(44100, 512);
    auto frames = [&](const char* id) {
        auto* getter = static_cast<const clap::plugin_frames_getter*>(instance.extension(id));
        return getter ? std::to_string(getter->get(&instance.plugin())).append(" frames at 44100 Hz")
                      : std::string("-");
    };
    line("latency", frames(clap::kExtLatency));
    line("tail", frames(clap::kExtTail));
    instance.deactivate();
    uint32_t width = 0, height = 0;
    const clap::plugin_gui* gui = instance.gui();
    if (gui && gui->get_size(&instance.plugin(), &width, &height))
        line("editor", std::to_string(width).append(" x ").append(std::to_string(height)));

    std::printf("Parameter ids\n");
    std::printf("  %3s  %-10s %-14s %-34s %s\n", "#", "id", "name", "flags", "range (default)");
    for (uint32_t i = 0; i < instance.parameterCount(); ++i) {
        clap::param_info info{};
        if (!instance.parameterInfo(i, info)) continue;
        std::printf("  %3u  %-10u %-14s %-34s %s..%s (%s)\n", i, info.id, info.name, paramFlags(info.flags).c_str(),
                    formatFloat(info.min_value).c_str(), formatFloat(info.max_value).c_str(),
                    formatFloat(info.default_value).c_str());
    }
    std::printf("Presets from the discovery factory: %zu\n", module.presets().size());
}

}  // namespace trv4tool
