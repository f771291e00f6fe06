// The checks of trv4 validate for a .clap file: the interface's own rules
// (descriptor, call order, thread rules, parameters, state round trips,
// presets, the editor's events) and the sound (sample-accurate events,
// every preset at every rate, block sizes, buffers in place). Each check
// makes its own instances on the validating thread; the host records every
// call the plug-in makes into it from the wrong thread, and each check
// fails on one.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

#include "clap/TestPortExtension.h"
#include "editor/EditorTestPort.h"
#include "tools/trv4/validate/Checks.h"
#include "tools/trv4/validate/Signals.h"

namespace trv4tool::validate {

namespace {

using trv4host::ClapInstance;
using trv4host::ClapParamChange;

std::unique_ptr<ClapInstance> make(Session& session, Faults& faults) {
    std::string error;
    auto instance = ClapInstance::Create(*session.module().clap(), error);
    if (!instance) faults.add(error);
    return instance;
}

const trv4clap::plugin_editor_test_port* tools(ClapInstance& instance) {
    return static_cast<const trv4clap::plugin_editor_test_port*>(instance.extension(trv4clap::kExtEditorTestPort));
}

void expectThreadRules(ClapInstance& instance, Faults& faults) {
    for (const std::string& fault : instance.threadFaults) faults.add(fault);
}

// Processes in through instance in blocks of `block` frames, no events.
Stereo run(ClapInstance& instance, const Stereo& in, uint32_t block, bool inPlace = false) {
    Stereo out(in.frames());
    if (inPlace) out = in;
    for (size_t start = 0; start < in.frames(); start += block) {
        const uint32_t n = static_cast<uint32_t>(std::min<size_t>(block, in.frames() - start));
        const float* l = inPlace ? &out.left[start] : &in.left[start];
        const float* r = inPlace ? &out.right[start] : &in.right[start];
        instance.process(l, r, &out.left[start], &out.right[start], n, {}, nullptr);
    }
    return out;
}

const char* nativeApi() {
#if defined(_WIN32)
    return clap::kWindowApiWin32;
#else
    return clap::kWindowApiX11;
#endif
}

bool loadPreset(ClapInstance& instance, const std::string& key) {
    return instance.presetLoad() &&
           instance.presetLoad()->from_location(&instance.plugin(), clap::kPresetLocationPlugin, nullptr, key.c_str());
}

Outcome descriptor(Session& session) {
    Faults faults;
    const trv4host::ClapModule& module = *session.module().clap();
    const clap::plugin_descriptor& d = module.descriptor();
    faults.expect(d.id && std::strchr(d.id, '.'), "the id is not in reverse-domain form");
    faults.expect(d.name && *d.name, "no name");
    faults.expect(d.version && *d.version, "no version");
    bool effect = false, stereo = false;
    for (const char* const* f = d.features; f && *f; ++f) {
        effect = effect || !std::strcmp(*f, "audio-effect");
        stereo = stereo || !std::strcmp(*f, "stereo");
    }
    faults.expect(effect && stereo, "features lack audio-effect or stereo");
    const clap::plugin_factory& factory = module.factory();
    faults.expect(factory.get_plugin_count(&factory) == 1, "the factory offers more than one plug-in");
    clap::host host{};
    host.clap_version = clap::kVersion;
    faults.expect(!factory.create_plugin(&factory, &host, "example.nobody.nothing"), "an unknown id made a plug-in");
    host.clap_version = {0, 9, 0};
    faults.expect(!factory.create_plugin(&factory, &host, d.id), "a pre-1.0 host got a plug-in");
    return faults.outcome(std::string(d.id ? d.id : "") + " " + (d.version ? d.version : ""));
}

Outcome callOrder(Session& session) {
    Faults faults;
    auto instance = make(session, faults);
    if (!instance) return faults.outcome("");
    faults.expect(!instance->startProcessing(), "started processing before activation");
    Stereo in = makeSignal(Signal::kNoise, 4096, 44100, 7);
    // init, activate, start, process, stop, deactivate, and again at other
    // rates and sizes, with a reset and an empty block along the way.
    const struct {
        double rate;
        uint32_t maxFrames;
    } rounds[] = {{44100, 512}, {96000, 64}, {192000, 4096}, {48000, 1}};
    for (const auto& round : rounds) {
        if (!instance->activate(round.rate, round.maxFrames)) {
            faults.add("activate(" + std::to_string(round.rate) + ") refused");
            continue;
        }
        faults.expect(instance->startProcessing(), "start_processing refused");
        Stereo out = run(*instance, in, round.maxFrames);
        faults.expect(instance->process(nullptr, nullptr, nullptr, nullptr, 0, {}, nullptr) != clap::kProcessError,
                      "an empty block was an error");
        instance->reset();
        run(*instance, in, round.maxFrames);
        Analysis a;
        a.add(out);
        if (!a.fault().empty()) faults.add(a.fault() + " at " + std::to_string(round.rate));
        instance->stopProcessing();
        instance->deactivate();
    }
    expectThreadRules(*instance, faults);
    return faults.outcome("4 rounds of activate, start, process, reset, stop, deactivate");
}

Outcome threadRules(Session& session) {
    // The audio thread processes while the main thread loads presets, saves
    // and loads state, moves parameters and runs the editor.
    Faults faults;
    auto instance = make(session, faults);
    if (!instance || !instance->activate(48000, 256)) return faults.outcome("");
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        instance->startProcessing();
        Stereo in = makeSignal(Signal::kNoise, 256, 48000, 3);
        while (!stop.load()) run(*instance, in, 256);
        instance->stopProcessing();
    });
    std::vector<uint8_t> state;
    trv4::EditorTestPort port{};
    port.size = sizeof port;
    const bool editor = tools(*instance) && tools(*instance)->fill(&instance->plugin(), &port);
    if (editor && instance->gui()->create(&instance->plugin(), nativeApi(), false)) {
        clap::window window{};
        window.api = nativeApi();
        instance->gui()->set_parent(&instance->plugin(), &window);
    }
    for (int i = 0; i < 40; ++i) {
        loadPreset(*instance, std::to_string(i % 45));
        instance->saveState(state);
        instance->loadState(state);
        instance->fireTimers();
        if (editor) port.mouseWheel(port.context, 60, 60, 120);
    }
    stop.store(true);
    audio.join();
    if (instance->gui()) instance->gui()->destroy(&instance->plugin());
    faults.expect(instance->timers.empty(), "the editor left a timer registered");
    expectThreadRules(*instance, faults);
    return faults.outcome("presets, state, editor and timers on the main thread while processing");
}

Outcome parameters(Session& session) {
    Faults faults;
    auto instance = make(session, faults);
    if (!instance) return faults.outcome("");
    const uint32_t count = instance->parameterCount();
    std::vector<clap::id> ids;
    int checked = 0;
    for (uint32_t i = 0; i < count; ++i) {
        clap::param_info info{};
        if (!instance->parameterInfo(i, info)) {
            faults.add("no info for parameter " + std::to_string(i));
            continue;
        }
        const std::string name = info.name;
        ids.push_back(info.id);
        faults.expect(!name.empty(), "parameter " + std::to_string(i) + " has no name");
        faults.expect(info.min_value < info.max_value && info.default_value >= info.min_value &&
                          info.default_value <= info.max_value,
                      name + ": range or default wrong");
        if (info.flags & clap::kParamIsStepped)
            faults.expect(info.min_value == std::floor(info.min_value) && info.max_value == std::floor(info.max_value),
                          name + ": stepped with a fractional range");
        if (info.flags & clap::kParamIsHidden) continue;
        // Every text value_to_text writes reads back as a value that shows it.
        for (int k = 0; k <= 100; ++k) {
            double v = info.min_value + (info.max_value - info.min_value) * k / 100.0;
            if (info.flags & clap::kParamIsStepped) v = std::nearbyint(v);
            const std::string text = instance->valueText(info.id, v);
            double back = 0;
            if (!instance->params()->text_to_value(&instance->plugin(), info.id, text.c_str(), &back)) {
                faults.add(name + ": \"" + text + "\" not read back");
                continue;
            }
            faults.expect(instance->valueText(info.id, back) == text,
                          name + ": \"" + text + "\" reads back as \"" + instance->valueText(info.id, back) + "\"");
            ++checked;
        }
    }
    std::sort(ids.begin(), ids.end());
    faults.expect(std::adjacent_find(ids.begin(), ids.end()) == ids.end(), "two parameters share an id");
    return faults.outcome(std::to_string(count) + " parameters, " + std::to_string(checked) + " texts read back");
}

Outcome sampleAccuracy(Session& session) {
    // A change at frame k inside a block sounds as the same change made
    // between two blocks cut at k.
    Faults faults;
    auto a = make(session, faults), b = make(session, faults);
    if (!a || !b || !tools(*a)) return faults.outcome("");
    Stereo in = makeSignal(Signal::kNoise, 512, 44100, 11);
    const uint32_t frames[] = {1, 137, 301, 511};
    // The instances of a module share one random generator, which the
    // activation draws from too: each is seeded just before it starts.
    auto prepare = [&](ClapInstance& instance, uint32_t k) {
        instance.stopProcessing();
        instance.deactivate();
        tools(instance)->seed(&instance.plugin(), 1234 + k);
        loadPreset(instance, "14");
        instance.activate(44100, 512);
        instance.startProcessing();
    };
    for (uint32_t k : frames) {
        const std::vector<ClapParamChange> change = {{k, 0, 0.25}, {k, 2, 0.9}};
        Stereo whole(512), cut(512);
        prepare(*a, k);
        a->process(in.left.data(), in.right.data(), whole.left.data(), whole.right.data(), 512, change, nullptr);
        prepare(*b, k);
        b->process(in.left.data(), in.right.data(), cut.left.data(), cut.right.data(), k, {}, nullptr);
        b->process(&in.left[k], &in.right[k], &cut.left[k], &cut.right[k], 512 - k, {{0, 0, 0.25}, {0, 2, 0.9}},
                   nullptr);
        faults.expect(!std::memcmp(whole.left.data(), cut.left.data(), 512 * sizeof(float)) &&
                          !std::memcmp(whole.right.data(), cut.right.data(), 512 * sizeof(float)),
                      "a change at frame " + std::to_string(k) + " does not sound as a block cut there");
    }
    expectThreadRules(*a, faults);
    return faults.outcome("changes at frames 1, 137, 301, 511");
}

Outcome stateRoundTrip(Session& session) {
    Faults faults;
    auto a = make(session, faults), b = make(session, faults);
    if (!a || !b || !a->state()) return faults.outcome("");
    loadPreset(*a, "7");
    std::vector<ClapParamChange> edits;
    for (uint32_t i = 0; i < a->parameterCount(); ++i) {
        clap::param_info info{};
        a->parameterInfo(i, info);
        edits.push_back({0, info.id, info.min_value + (info.max_value - info.min_value) * session.uniform()});
    }
    a->flush(edits);
    std::vector<uint8_t> saved, again, before;
    faults.expect(a->saveState(saved), "save refused");
    faults.expect(b->loadState(saved, 3), "its own state refused (3 bytes a read)");
    faults.expect(b->saveState(again) && again == saved, "a loaded state saves differently");
    for (uint32_t i = 0; i < a->parameterCount(); ++i)
        faults.expect(a->value(i) == b->value(i), "parameter " + std::to_string(i) + " differs after loading");
    // Refusals leave everything as it was.
    loadPreset(*b, "12");
    b->saveState(before);
    std::vector<std::vector<uint8_t>> bad = {{}, std::vector<uint8_t>(saved.begin(), saved.end() - 1), saved, saved};
    bad[2][saved.size() / 3] ^= 1;
    bad[3].push_back(0);
    for (const auto& bytes : bad) {
        faults.expect(!b->loadState(bytes), "a cut, damaged or lengthened state was loaded");
        b->saveState(again);
        faults.expect(again == before, "a refused state changed the plug-in");
    }
    expectThreadRules(*b, faults);
    return faults.outcome(std::to_string(saved.size()) + " bytes round trip; 4 bad streams refused");
}

Outcome presets(Session& session) {
    Faults faults;
    auto instance = make(session, faults);
    if (!instance) return faults.outcome("");
    const auto& list = session.module().clap()->presets();
    if (list.empty()) return {Outcome::kSkip, "no preset-discovery factory"};
    for (const auto& preset : list) faults.expect(loadPreset(*instance, preset.key), preset.name + " did not load");
    faults.expect(!loadPreset(*instance, "no such preset"), "an unknown key loaded");
    return faults.outcome(std::to_string(list.size()) + " presets listed and loaded");
}

Outcome signals(Session& session) {
    // Every preset at every rate the engine is built for, in blocks of odd
    // sizes, and in place: the same as with separate buffers.
    Faults faults;
    auto instance = make(session, faults);
    if (!instance) return faults.outcome("");
    const auto& list = session.module().clap()->presets();
    const uint32_t blocks[] = {1, 7, 333, 2048};
    int runs = 0;
    for (float rate : kSupportedRates) {
        Stereo in = makeSignal(Signal::kNoise, static_cast<size_t>(rate / 4), rate, 5);
        for (size_t p = 0; p < std::max<size_t>(list.size(), 1); ++p) {
            if (!list.empty()) loadPreset(*instance, list[p].key);
            const uint32_t block = blocks[p % 4];
            instance->activate(rate, block);
            instance->startProcessing();
            Analysis a;
            a.add(run(*instance, in, block, p % 2 == 1));
            if (!a.fault().empty())
                faults.add((list.empty() ? "" : list[p].name) + " at " + std::to_string(int(rate)) + ": " + a.fault());
            instance->stopProcessing();
            instance->deactivate();
            ++runs;
        }
    }
    expectThreadRules(*instance, faults);
    return faults.outcome(std::to_string(runs) + " runs");
}

Outcome editorEvents(Session& session) {
    Faults faults;
    auto instance = make(session, faults);
    if (!instance) return faults.outcome("");
    trv4::EditorTestPort port{};
    port.size = sizeof port;
    if (!instance->gui() || !tools(*instance) || !tools(*instance)->fill(&instance->plugin(), &port))
        return {Outcome::kSkip, "no editor or no test port"};
    const clap::plugin& plugin = instance->plugin();
    const char* api = nativeApi();
    clap::window window{};
    window.api = api;
    faults.expect(instance->gui()->create(&plugin, api, false) && instance->gui()->set_parent(&plugin, &window),
                  "the editor did not open");
    faults.expect(instance->timers.size() == 1, "the editor registered no timer");
    uint32_t w = 0, h = 0;
    faults.expect(instance->gui()->get_size(&plugin, &w, &h) && w > 0 && h > 0, "no editor size");
    faults.expect(instance->gui()->set_scale(&plugin, 1.0), "scale 1 refused");
    instance->fireTimers();
    trv4::EditorControlInfo knob{};
    if (port.controlInfo(port.context, "DelayCoarseControl", &knob)) {
        port.mouseWheel(port.context, knob.left + knob.width / 2, knob.top + knob.height / 2, 120);
        faults.expect(instance->flushRequests > 0, "no flush asked for outside processing");
        instance->flush({});
        const auto& out = instance->output();
        faults.expect(out.size() == 3 && out[0].type == clap::kEventParamGestureBegin &&
                          out[1].type == clap::kEventParamValue && out[2].type == clap::kEventParamGestureEnd,
                      "a wheel notch did not come as begin, value, end");
    }
    instance->gui()->destroy(&plugin);
    faults.expect(instance->timers.empty(), "the editor's timer outlived it");
    expectThreadRules(*instance, faults);
    return faults.outcome(std::to_string(w) + " x " + std::to_string(h) + ", wheel notch as one gesture");
}

}  // namespace

void addClapChecks(std::vector<Check>& checks) {
    checks.push_back({"clap-descriptor", descriptor});
    checks.push_back({"clap-call-order", callOrder});
    checks.push_back({"clap-thread-rules", threadRules});
    checks.push_back({"clap-parameters", parameters});
    checks.push_back({"clap-sample-accuracy", sampleAccuracy});
    checks.push_back({"clap-state", stateRoundTrip});
    checks.push_back({"clap-presets", presets});
    checks.push_back({"clap-signals", signals});
    checks.push_back({"clap-editor", editorEvents});
}

}  // namespace trv4tool::validate
