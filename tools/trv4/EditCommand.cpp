// trv4 edit PLUGIN: the plug-in's editor in a window of trv4's own, driven
// the way a host drives it: effEditIdle every 20 ms, the built-in demo
// signal processed in real time (and thrown away) so that the meter moves,
// and every automation the editor sends printed as it arrives. Ends, closing
// the editor first, when the window is closed or on Ctrl-C.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tools/trv4/Commands.h"
#include "tools/trv4/DemoSignal.h"
#include "tools/trv4/EditorCalls.h"
#include "tools/trv4/HostWindow.h"
#include "tools/trv4/Renderer.h"

namespace trv4tool {

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 512;
constexpr auto kIdlePeriod = std::chrono::milliseconds(20);
// Where the window goes on a screen without a window manager.
constexpr int kWindowLeft = 40, kWindowTop = 30;

// The demo signal, looped, processed at the pace of the clock.
class SilentPlayer {
public:
    SilentPlayer(const trv4host::Effect& effect, trv4host::Host& host, const Transport& transport)
        : effect_(effect),
          host_(host),
          transport_(transport),
          demo_(makeDemoSignal(kRate)),
          inL_(kBlock),
          inR_(kBlock),
          outL_(kBlock),
          outR_(kBlock),
          start_(std::chrono::steady_clock::now()) {}

    // Processes the frames that fell due since the last call, at most a
    // tenth of a second (after a stall the player skips rather than races).
    void catchUp() {
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        const int64_t due = static_cast<int64_t>(elapsed * kRate);
        if (due - played_ > kRate / 10) played_ = due - kRate / 10;
        const int64_t demoFrames = static_cast<int64_t>(demo_.size() / 2);
        while (played_ < due && demoFrames > 0) {
            const int n = static_cast<int>(std::min<int64_t>(kBlock, due - played_));
            for (int i = 0; i < n; ++i) {
                const size_t frame = static_cast<size_t>((played_ + i) % demoFrames);
                inL_[i] = demo_[2 * frame];
                inR_[i] = demo_[2 * frame + 1];
            }
            if (transport_.answered) setTransportTime(host_, transport_, double(played_), played_ == 0);
            effect_.processReplacing(inL_.data(), inR_.data(), outL_.data(), outR_.data(), n);
            played_ += n;
        }
    }

private:
    const trv4host::Effect& effect_;
    trv4host::Host& host_;
    Transport transport_;
    std::vector<float> demo_, inL_, inR_, outL_, outR_;
    std::chrono::steady_clock::time_point start_;
    int64_t played_ = 0;
};

// What the edit command line asks for.
struct EditOptions {
    std::string pluginPath;
    bool tempoGiven = false;  // the host answers its time, with this tempo
    double tempo = 0;
    bool audio = true;   // false: --no-audio
    Arguments settings;  // program and parameter options, resolved once the plug-in is loaded
};

// False with a one-line reason for the usage message.
bool parseEditOptions(const std::vector<std::string>& words, EditOptions& options, std::string& error) {
    std::vector<OptionSpec> specs = {{"tempo", true}, {"no-audio", false}, {"scale", true}};
    addSettingsOptions(specs);
    Arguments& args = options.settings;
    if (!parseArguments(words, specs, args, error)) return false;
    if (args.positional.size() != 1) {
        error = "edit takes PLUGIN";
        return false;
    }
    if (!numberOption(args, "tempo", 1, 1000, options.tempo, error)) return false;
    options.pluginPath = args.positional[0];
    options.tempoGiven = args.has("tempo");
    options.audio = !args.has("no-audio");
    return true;
}

// The host's window with the plug-in's editor open in it; width and height
// come in as the size asked before opening and go out as the size in effect.
std::unique_ptr<HostWindow> openEditorWindow(LoadedPlugin& plugin, int& width, int& height, std::string& error) {
    const trv4host::Effect& effect = plugin.effect();
    std::unique_ptr<HostWindow> window = HostWindow::open(effect.text(vst::effGetEffectName) + " - trv4 edit",
                                                          kWindowLeft, kWindowTop, width, height, error);
    if (!window) return nullptr;
    if (effect.dispatch(vst::effEditOpen, 0, 0, window->handle()) == 0) {
        error = "the plug-in's editor did not open";
        return nullptr;
    }
    // And again once it is open: an editor may know its size only now.
    int openWidth = width, openHeight = height;
    if (editorSize(plugin, openWidth, openHeight, error) && (openWidth != width || openHeight != height)) {
        window->resize(openWidth, openHeight);
        width = openWidth;
        height = openHeight;
    }
    return window;
}

// Idles the editor (and plays the demo when asked) until the window is
// closed, which answers true, or Ctrl-C, which answers false.
bool idleUntilClosed(LoadedPlugin& plugin, HostWindow& window, SilentPlayer* player,
                     const std::vector<std::string>& names) {
    auto next = std::chrono::steady_clock::now();
    while (!interrupted()) {
        if (!window.pump()) return true;
        if (player) player->catchUp();
        plugin.effect().dispatch(vst::effEditIdle);
        // The editor asked for another size (audioMasterSizeWindow).
        trv4host::Host& host = plugin.host();
        if (host.requestedWidth > 0 && host.requestedHeight > 0)
            window.resize(host.requestedWidth, host.requestedHeight);
        host.requestedWidth = host.requestedHeight = 0;
        printAutomation(plugin, names);
        next += kIdlePeriod;
        const auto now = std::chrono::steady_clock::now();
        if (next < now) next = now;
        std::this_thread::sleep_until(next);
    }
    return false;
}

int editPlugin(const EditOptions& options) {
    std::string error;
    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::load(options.pluginPath, error);
    if (!plugin) return fail(error);
    PluginSettings settings;
    if (!resolveSettings(*plugin, options.settings, settings, error)) return fail(error);
    const trv4host::Effect& effect = plugin->effect();
    trv4host::Host& host = plugin->host();
    // Hosts send their size hint and ask for the rectangle before they open
    // the editor, to size their window.
    if (!sendScaleHint(*plugin, options.settings, error)) return usageError(error);
    int width = 0, height = 0;
    if (!editorSize(*plugin, width, height, error)) return fail(error);

    host.sampleRate = kRate;
    host.blockSize = kBlock;
    effect.setSampleRate(kRate);
    effect.setBlockSize(kBlock);
    for (const std::string& warning : settings.warnings) std::fprintf(stderr, "trv4: warning: %s\n", warning.c_str());
    applySettings(effect, settings);
    Transport transport;
    transport.answered = options.tempoGiven;
    transport.tempo = options.tempo;
    transport.playing = true;
    host.timeInfoAvailable = transport.answered;
    const std::vector<std::string> names = parameterNames(*plugin);

    std::unique_ptr<HostWindow> window = openEditorWindow(*plugin, width, height, error);
    if (!window) return fail(error);
    catchInterrupt();
    int x = 0, y = 0;
    window->screenOrigin(x, y);
    std::printf("editor open: %d x %d at %d,%d on the screen (close the window or press Ctrl-C to end)\n", width,
                height, x, y);
    std::fflush(stdout);

    effect.resume();
    SilentPlayer player(effect, host, transport);
    const bool closedByUser = idleUntilClosed(*plugin, *window, options.audio ? &player : nullptr, names);
    effect.dispatch(vst::effEditClose);
    printAutomation(*plugin, names);
    effect.suspend();
    // The plug-in goes before the window: an X11 editor may have put an X
    // error handler in front of ours that must not outlive its library.
    plugin.reset();
    window.reset();
    std::printf("editor closed (%s)\n", closedByUser ? "window closed" : "interrupted");
    return 0;
}

}  // namespace

int runEdit(const std::vector<std::string>& words) {
    EditOptions options;
    std::string error;
    if (!parseEditOptions(words, options, error)) return usageError(error);
    return editPlugin(options);
}

}  // namespace trv4tool
