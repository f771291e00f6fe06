// A small VST3 host: loads a .vst3 bundle (or the binary inside it) by path,
// enters the module as the platform wants (ModuleEntry with the library's
// handle on Linux, InitDll on Windows), takes its factory and makes the
// first audio-module class, then drives it as a host does: the component,
// its audio processor and its edit controller (the same object, or a
// separate controller made from the class id the component names), process
// setup, activation, processing with parameter points at chosen frames and
// a process context, state streams of both sides, and the editor's view with
// a frame of the host's (and on Linux a run loop for its timers and file
// descriptors). Used by trv4 (through Vst3Bridge) and by the tests.
//
// Everything a process call hands the plug-in (buses, parameter changes,
// the output change list) is made when the instance is; nothing allocates
// while processing.
//
// The thread that creates an instance is its user-interface thread. The
// calls of setProcessing and process are made as on the host's audio
// thread, whichever thread makes them; the plug-in's calls into the host
// from inside them, or from any thread but the user-interface thread, are
// recorded in threadFaults so that a check can fail on them.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "vst3/Vst3Interface.h"
#include "tools/host/ThreadRules.h"
#include "vst3/Vst3ViewInterface.h"

namespace trv4host {

// A VST3 text (UTF-16, at most capacity units, ended by 0) as ASCII, '?'
// for every other character.
std::string narrowText(const char16_t* text, size_t capacity);

// One class the module's factory describes.
struct Vst3Class {
    std::string cid;  // 16 bytes
    std::string category, name, subCategories, vendor, version, sdkVersion;
    vst3::uint32 classFlags = 0;
};

// The loaded module. Releases the factory, calls the module's exit function
// and unloads it when destroyed; every instance it made must go first.
class Vst3Module {
public:
    // Null with a one-line reason when the bundle or file cannot be found or
    // loaded, the entry function refuses, or the factory offers no audio
    // module class.
    static std::unique_ptr<Vst3Module> Load(const std::string& path, std::string& error);
    ~Vst3Module();
    Vst3Module(const Vst3Module&) = delete;
    Vst3Module& operator=(const Vst3Module&) = delete;

    // The binary inside the bundle that was loaded.
    const std::string& binaryPath() const { return binary_; }
    vst3::IPluginFactory* factory() const { return factory_; }
    const vst3::PFactoryInfo& factoryInfo() const { return factoryInfo_; }
    const std::vector<Vst3Class>& classes() const { return classes_; }
    // The first class of the audio-module category.
    const Vst3Class& audioClass() const { return classes_[audioClass_]; }

    // The binary a bundle path names: the path itself when it is a file,
    // else <bundle>/Contents/<architecture>/<bundle name>.<suffix>.
    static std::string binaryOf(const std::string& path);

private:
    Vst3Module() = default;

    void* handle_ = nullptr;
    bool entered_ = false;
    std::string binary_;
    vst3::IPluginFactory* factory_ = nullptr;
    vst3::PFactoryInfo factoryInfo_{};
    std::vector<Vst3Class> classes_;
    size_t audioClass_ = 0;
};

// A parameter point to send with the next process call.
struct Vst3Change {
    vst3::int32 frame;
    vst3::ParamID id;
    vst3::ParamValue value;
};

// What the plug-in told the host through its component handler.
struct Vst3Edit {
    enum Kind { kBegin, kPerform, kEnd };
    Kind kind;
    vst3::ParamID id;
    vst3::ParamValue value;  // kPerform only
};

class Vst3HostObjects;

class Vst3Instance : public ThreadRules {
public:
    // The most points one parameter carries in one process call; the most
    // parameters one process call changes is the controller's count.
    static constexpr int kMaxPointsPerParameter = 256;

    // Creates and initialises the module's audio class (and its controller
    // when separate), hands the controller the component's state and the
    // host's component handler; null with a reason.
    static std::unique_ptr<Vst3Instance> Create(const Vst3Module& module, std::string& error);
    // Stops processing, deactivates, closes the view, terminates and
    // releases as a host does.
    ~Vst3Instance();
    Vst3Instance(const Vst3Instance&) = delete;
    Vst3Instance& operator=(const Vst3Instance&) = delete;

    vst3::IComponent* component() const { return component_; }
    vst3::IAudioProcessor* processor() const { return processor_; }
    vst3::IEditController* controller() const { return controller_; }
    // The controller's program lists, when it describes any.
    vst3::IUnitInfo* units() const { return units_; }
    bool separateController() const { return separate_; }
    // An interface of the component (addRef'd by the plug-in; the caller
    // releases it), or null.
    template <typename Interface>
    Interface* query() const {
        void* obj = nullptr;
        if (component_->queryInterface(Interface::iid.bytes, &obj) != vst3::kResultOk) return nullptr;
        return static_cast<Interface*>(obj);
    }

    // --- Life cycle: setupProcessing, setActive, setProcessing, and back ----------
    bool setup(double sampleRate, int maxFrames);
    bool activate();
    void deactivate();
    bool startProcessing();
    void stopProcessing();
    bool active() const { return active_; }
    bool processing() const { return processing_; }
    double sampleRate() const { return sampleRate_; }
    int maxFrames() const { return maxFrames_; }

    // --- Audio ---------------------------------------------------------------
    // Processes n frames of two separate channels (n == 0 with null buffers:
    // a parameter flush) with count changes, sorted by frame, and the
    // context when not null. Answers the plug-in's result.
    vst3::tresult process(const float* inL, const float* inR, float* outL, float* outR, int n,
                          const Vst3Change* changes, size_t count, vst3::ProcessContext* context);
    // The output parameter changes of the last process call, as the last
    // point of each parameter.
    size_t outputCount() const;
    Vst3Change output(size_t index) const;

    // --- Parameters (the controller's) -------------------------------------------
    int parameterCount() const;
    bool parameterInfo(int index, vst3::ParameterInfo& info) const;
    vst3::ParamValue value(vst3::ParamID id) const;
    std::string valueText(vst3::ParamID id, vst3::ParamValue value) const;

    // --- State ---------------------------------------------------------------------
    // The component's and the controller's streams; false when one refuses.
    bool saveState(std::vector<uint8_t>& component, std::vector<uint8_t>& controller) const;
    // Loads the component's state (the controller gets it through
    // setComponentState) and then the controller's (skipped when empty),
    // the streams handing out at most chunk bytes a read. used, when given,
    // receives how far the component read its stream.
    bool loadState(const std::vector<uint8_t>& component, const std::vector<uint8_t>& controller,
                   size_t chunk = SIZE_MAX, size_t* used = nullptr);

    // --- Editor --------------------------------------------------------------------
    // The controller's editor view, made on first use; null when it has none.
    vst3::IPlugView* view();
    // Attaches the view to a native parent window (an X11 window id on
    // Linux, an HWND on Windows), after giving it the host's frame.
    bool attachView(void* parent);
    // removed() when attached, then the view is released.
    void closeView();
    // The size the view asked for through the frame since the last call
    // (0 x 0: none). The frame agreed and called onSize already.
    bool takeResizeRequest(int& width, int& height);
    // Runs the timers that fell due (every timer when `everyTimer`) and the
    // handlers of readable file descriptors (Linux run loop); the
    // user-interface thread's idle. On Windows, where a view idles on its own
    // thread timer, `everyTimer` with a view attached first runs the thread's
    // messages until a timer has come.
    void idle(bool everyTimer = false);

    // --- What the plug-in asked of the host --------------------------------------------
    std::vector<Vst3Edit> edits;
    std::vector<vst3::int32> restarts;  // restartComponent flags
    // Timers and file-descriptor handlers registered with the run loop.
    size_t timerCount() const;
    size_t fdHandlerCount() const;

private:
    Vst3Instance();
    friend class Vst3HostObjects;

    std::unique_ptr<Vst3HostObjects> host_;
    vst3::IComponent* component_ = nullptr;
    vst3::IAudioProcessor* processor_ = nullptr;
    vst3::IEditController* controller_ = nullptr;
    vst3::IUnitInfo* units_ = nullptr;
    vst3::IPlugView* view_ = nullptr;
    bool separate_ = false;
    bool viewAttached_ = false;
    bool active_ = false;
    bool processing_ = false;
    double sampleRate_ = 44100;
    int maxFrames_ = 1024;
};

}  // namespace trv4host
