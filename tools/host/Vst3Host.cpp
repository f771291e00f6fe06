#include "tools/host/Vst3Host.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "tools/host/AudioCall.h"
#include "tools/host/SharedLibrary.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <poll.h>
#endif

namespace trv4host {

namespace {

std::string field(const char* text, size_t capacity) { return std::string(text, strnlen(text, capacity)); }

// The host's objects live as long as the instance that owns them, which
// outlives every reference the plug-in holds: their counts end nothing.
template <typename... Interfaces>
class HostObject : public Interfaces... {
public:
    vst3::tresult VST3_CALL queryInterface(const char* iid, void** obj) override {
        if (!obj) return vst3::kInvalidArgument;
        *obj = nullptr;
        if (vst3::FUnknown::iid == iid)
            *obj = static_cast<vst3::FUnknown*>(static_cast<std::tuple_element_t<0, std::tuple<Interfaces...>>*>(this));
        else
            (void)((Interfaces::iid == iid ? (*obj = static_cast<Interfaces*>(this), true) : false) || ...);
        return *obj ? vst3::kResultOk : vst3::kNoInterface;
    }
    vst3::uint32 VST3_CALL addRef() override { return 1; }
    vst3::uint32 VST3_CALL release() override { return 1; }
};

// A byte stream over a vector: reads hand out at most `chunk` bytes a call,
// as some hosts' streams do.
class MemoryStream final : public HostObject<vst3::IBStream> {
public:
    MemoryStream(std::vector<uint8_t>& bytes, size_t chunk) : bytes_(bytes), chunk_(std::max<size_t>(chunk, 1)) {}

    vst3::tresult VST3_CALL read(void* buffer, vst3::int32 n, vst3::int32* done) override {
        if (n < 0 || (!buffer && n > 0)) return vst3::kInvalidArgument;
        const size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
        const size_t count = std::min({static_cast<size_t>(n), available, chunk_});
        if (count > 0) std::memcpy(buffer, bytes_.data() + position_, count);
        position_ += count;
        if (done) *done = static_cast<vst3::int32>(count);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL write(void* buffer, vst3::int32 n, vst3::int32* done) override {
        if (n < 0 || (!buffer && n > 0)) return vst3::kInvalidArgument;
        if (bytes_.size() < position_ + static_cast<size_t>(n)) bytes_.resize(position_ + static_cast<size_t>(n));
        if (n > 0) std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(n));
        position_ += static_cast<size_t>(n);
        if (done) *done = n;
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) override {
        const vst3::int64 base = mode == kSeekSet   ? 0
                                 : mode == kSeekCur ? static_cast<vst3::int64>(position_)
                                                    : static_cast<vst3::int64>(bytes_.size());
        if (mode < kSeekSet || mode > kSeekEnd || base + pos < 0) return vst3::kInvalidArgument;
        position_ = static_cast<size_t>(base + pos);
        if (result) *result = static_cast<vst3::int64>(position_);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL tell(vst3::int64* pos) override {
        if (!pos) return vst3::kInvalidArgument;
        *pos = static_cast<vst3::int64>(position_);
        return vst3::kResultOk;
    }

private:
    std::vector<uint8_t>& bytes_;
    size_t chunk_;
    size_t position_ = 0;
};

// One parameter's points in a process call; room for them made up front.
class ValueQueue final : public HostObject<vst3::IParamValueQueue> {
public:
    ValueQueue() { points_.reserve(Vst3Instance::kMaxPointsPerParameter); }
    void reset(vst3::ParamID id) {
        id_ = id;
        points_.clear();
    }
    vst3::ParamID VST3_CALL getParameterId() override { return id_; }
    vst3::int32 VST3_CALL getPointCount() override { return static_cast<vst3::int32>(points_.size()); }
    vst3::tresult VST3_CALL getPoint(vst3::int32 index, vst3::int32& offset, vst3::ParamValue& value) override {
        if (index < 0 || index >= getPointCount()) return vst3::kInvalidArgument;
        offset = points_[static_cast<size_t>(index)].offset;
        value = points_[static_cast<size_t>(index)].value;
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL addPoint(vst3::int32 offset, vst3::ParamValue value, vst3::int32& index) override {
        // Points keep rising offsets: one at the same offset as the last
        // replaces it.
        if (!points_.empty() && points_.back().offset == offset) {
            points_.back().value = value;
            index = getPointCount() - 1;
            return vst3::kResultOk;
        }
        if (points_.size() == points_.capacity() || (!points_.empty() && offset < points_.back().offset))
            return vst3::kResultFalse;
        points_.push_back({offset, value});
        index = getPointCount() - 1;
        return vst3::kResultOk;
    }

private:
    struct Point {
        vst3::int32 offset;
        vst3::ParamValue value;
    };
    vst3::ParamID id_ = 0;
    std::vector<Point> points_;
};

// The changed parameters of a process call, a queue each, up to a count
// fixed when the instance is made.
class ChangeList final : public HostObject<vst3::IParameterChanges> {
public:
    // Made before processing, never while it runs.
    void reserve(size_t capacity) {
        queues_ = std::vector<ValueQueue>(capacity);
        used_ = 0;
    }
    void clear() { used_ = 0; }
    vst3::int32 VST3_CALL getParameterCount() override { return static_cast<vst3::int32>(used_); }
    vst3::IParamValueQueue* VST3_CALL getParameterData(vst3::int32 index) override {
        return index >= 0 && static_cast<size_t>(index) < used_ ? &queues_[static_cast<size_t>(index)] : nullptr;
    }
    vst3::IParamValueQueue* VST3_CALL addParameterData(const vst3::ParamID& id, vst3::int32& index) override {
        for (size_t i = 0; i < used_; ++i) {
            if (queues_[i].getParameterId() != id) continue;
            index = static_cast<vst3::int32>(i);
            return &queues_[i];
        }
        if (used_ == queues_.size()) return nullptr;
        queues_[used_].reset(id);
        index = static_cast<vst3::int32>(used_);
        return &queues_[used_++];
    }

private:
    std::vector<ValueQueue> queues_;
    size_t used_ = 0;
};

}  // namespace

// Everything the host hands the plug-in: its context, the component
// handler, the view's frame with the run loop, and the process call's
// buffers and change lists.
class Vst3HostObjects final : public HostObject<vst3::IComponentHandler, vst3::IPlugFrame, vst3::IRunLoop> {
public:
    explicit Vst3HostObjects(Vst3Instance& instance) : instance_(instance) {}

    // The context initialize() gets: the host's root object.
    class Context final : public HostObject<vst3::FUnknown> {
    } context;

    vst3::tresult VST3_CALL queryInterface(const char* iid, void** obj) override {
#if defined(_WIN32)
        // The run loop is Linux's: a Windows view runs on the window system's own.
        if (vst3::IRunLoop::iid == iid) {
            if (obj) *obj = nullptr;
            return vst3::kNoInterface;
        }
#endif
        return HostObject::queryInterface(iid, obj);
    }

    // IComponentHandler
    vst3::tresult VST3_CALL beginEdit(vst3::ParamID id) override {
        instance_.expectMainThread("IComponentHandler::beginEdit");
        instance_.edits.push_back({Vst3Edit::kBegin, id, 0});
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL performEdit(vst3::ParamID id, vst3::ParamValue value) override {
        instance_.expectMainThread("IComponentHandler::performEdit");
        instance_.edits.push_back({Vst3Edit::kPerform, id, value});
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL endEdit(vst3::ParamID id) override {
        instance_.expectMainThread("IComponentHandler::endEdit");
        instance_.edits.push_back({Vst3Edit::kEnd, id, 0});
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL restartComponent(vst3::int32 flags) override {
        instance_.expectMainThread("IComponentHandler::restartComponent");
        instance_.restarts.push_back(flags);
        return vst3::kResultOk;
    }

    // IPlugFrame: the host agrees to every size and tells the view so.
    vst3::tresult VST3_CALL resizeView(vst3::IPlugView* view, vst3::ViewRect* rect) override {
        instance_.expectMainThread("IPlugFrame::resizeView");
        if (!view || !rect || rect->width() <= 0 || rect->height() <= 0) return vst3::kInvalidArgument;
        requestedWidth = rect->width();
        requestedHeight = rect->height();
        view->onSize(rect);
        return vst3::kResultOk;
    }

    // IRunLoop
    vst3::tresult VST3_CALL registerEventHandler(vst3::IEventHandler* handler, int fd) override {
        instance_.expectMainThread("IRunLoop::registerEventHandler");
        if (!handler || fd < 0) return vst3::kInvalidArgument;
        handler->addRef();
        fdHandlers.push_back({handler, fd});
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL unregisterEventHandler(vst3::IEventHandler* handler) override {
        instance_.expectMainThread("IRunLoop::unregisterEventHandler");
        bool found = false;
        for (auto it = fdHandlers.begin(); it != fdHandlers.end();) {
            if (it->handler != handler) {
                ++it;
                continue;
            }
            it->handler->release();
            it = fdHandlers.erase(it);
            found = true;
        }
        return found ? vst3::kResultOk : vst3::kInvalidArgument;
    }
    vst3::tresult VST3_CALL registerTimer(vst3::ITimerHandler* handler, vst3::uint64 milliseconds) override {
        instance_.expectMainThread("IRunLoop::registerTimer");
        if (!handler) return vst3::kInvalidArgument;
        handler->addRef();
        const auto interval = std::chrono::milliseconds(std::max<vst3::uint64>(milliseconds, 1));
        timers.push_back({handler, interval, std::chrono::steady_clock::now() + interval});
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL unregisterTimer(vst3::ITimerHandler* handler) override {
        instance_.expectMainThread("IRunLoop::unregisterTimer");
        for (auto it = timers.begin(); it != timers.end(); ++it) {
            if (it->handler != handler) continue;
            it->handler->release();
            timers.erase(it);
            return vst3::kResultOk;
        }
        return vst3::kInvalidArgument;
    }

    // Drops what the plug-in left registered (its objects are still there).
    void forgetRunLoop() {
        for (Timer& t : timers) t.handler->release();
        for (FdHandler& h : fdHandlers) h.handler->release();
        timers.clear();
        fdHandlers.clear();
    }

    void idle(bool everyTimer) {
        const auto now = std::chrono::steady_clock::now();
        // A handler may unregister itself or others: walk a copy and run only
        // those still registered.
        const std::vector<Timer> due = timers;
        for (const Timer& t : due) {
            auto it =
                std::find_if(timers.begin(), timers.end(), [&](const Timer& x) { return x.handler == t.handler; });
            if (it == timers.end() || (it->next > now && !everyTimer)) continue;
            it->next = now + it->interval;
            t.handler->onTimer();
        }
#if !defined(_WIN32)
        const std::vector<FdHandler> handlers = fdHandlers;
        for (const FdHandler& h : handlers) {
            pollfd p{h.fd, POLLIN, 0};
            if (::poll(&p, 1, 0) <= 0 || !(p.revents & (POLLIN | POLLHUP))) continue;
            const bool still = std::any_of(fdHandlers.begin(), fdHandlers.end(),
                                           [&](const FdHandler& x) { return x.handler == h.handler && x.fd == h.fd; });
            if (still) h.handler->onFDIsSet(h.fd);
        }
#endif
    }

    struct Timer {
        vst3::ITimerHandler* handler;
        std::chrono::milliseconds interval;
        std::chrono::steady_clock::time_point next;
    };
    struct FdHandler {
        vst3::IEventHandler* handler;
        int fd;
    };
    std::vector<Timer> timers;
    std::vector<FdHandler> fdHandlers;
    int requestedWidth = 0, requestedHeight = 0;

    ChangeList inputChanges, outputChanges;
    float* inputs[2] = {};
    float* outputs[2] = {};
    vst3::AudioBusBuffers inputBus{}, outputBus{};
    vst3::ProcessData data{};

private:
    Vst3Instance& instance_;
};

// --- The module ------------------------------------------------------------------

std::string Vst3Module::binaryOf(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path bundle(path);
    if (!fs::is_directory(bundle, ec)) return path;
    fs::path name = bundle.filename();
    if (name.empty()) name = bundle.parent_path().filename();
#if defined(_WIN32)
    const char* arch = sizeof(void*) == 8 ? "x86_64-win" : "x86-win";
    const char* suffix = ".vst3";
#else
    const char* arch = "x86_64-linux";
    const char* suffix = ".so";
#endif
    return (bundle / "Contents" / arch / name.stem()).string() + suffix;
}

std::unique_ptr<Vst3Module> Vst3Module::Load(const std::string& path, std::string& error) {
    std::unique_ptr<Vst3Module> module(new Vst3Module());
    module->binary_ = binaryOf(path);
    module->handle_ = openLibrary(module->binary_, error);
    if (!module->handle_) return nullptr;
#if defined(_WIN32)
    using Entry = bool (*)();
    auto entry = reinterpret_cast<Entry>(findSymbol(module->handle_, "InitDll"));
    module->entered_ = !entry || entry();
    const char* entryName = "InitDll";
#else
    using Entry = bool (*)(void*);
    auto entry = reinterpret_cast<Entry>(findSymbol(module->handle_, "ModuleEntry"));
    module->entered_ = !entry || entry(module->handle_);
    const char* entryName = "ModuleEntry";
#endif
    if (!module->entered_) {
        error = module->binary_ + ": its " + entryName + " refused";
        return nullptr;
    }
    auto getFactory = reinterpret_cast<vst3::GetFactoryProc>(findSymbol(module->handle_, "GetPluginFactory"));
    if (!getFactory) {
        error = module->binary_ + " is not a VST3 module (no GetPluginFactory export)";
        return nullptr;
    }
    module->factory_ = getFactory();
    if (!module->factory_) {
        error = module->binary_ + ": GetPluginFactory gave no factory";
        return nullptr;
    }
    module->factory_->getFactoryInfo(&module->factoryInfo_);
    void* obj = nullptr;
    vst3::IPluginFactory2* factory2 = nullptr;
    if (module->factory_->queryInterface(vst3::IPluginFactory2::iid.bytes, &obj) == vst3::kResultOk)
        factory2 = static_cast<vst3::IPluginFactory2*>(obj);
    bool found = false;
    for (vst3::int32 i = 0; i < module->factory_->countClasses(); ++i) {
        Vst3Class c;
        vst3::PClassInfo2 info2{};
        vst3::PClassInfo info{};
        if (factory2 && factory2->getClassInfo2(i, &info2) == vst3::kResultOk) {
            c.cid.assign(info2.cid, 16);
            c.category = field(info2.category, sizeof info2.category);
            c.name = field(info2.name, sizeof info2.name);
            c.subCategories = field(info2.subCategories, sizeof info2.subCategories);
            c.vendor = field(info2.vendor, sizeof info2.vendor);
            c.version = field(info2.version, sizeof info2.version);
            c.sdkVersion = field(info2.sdkVersion, sizeof info2.sdkVersion);
            c.classFlags = info2.classFlags;
        } else if (module->factory_->getClassInfo(i, &info) == vst3::kResultOk) {
            c.cid.assign(info.cid, 16);
            c.category = field(info.category, sizeof info.category);
            c.name = field(info.name, sizeof info.name);
        } else {
            continue;
        }
        if (!found && c.category == vst3::kAudioEffectClass) {
            module->audioClass_ = module->classes_.size();
            found = true;
        }
        module->classes_.push_back(c);
    }
    if (factory2) factory2->release();
    if (!found) {
        error = module->binary_ + ": the factory offers no audio module class";
        return nullptr;
    }
    return module;
}

Vst3Module::~Vst3Module() {
    if (factory_) factory_->release();
    if (!handle_) return;
    if (entered_) {
#if defined(_WIN32)
        auto exit = reinterpret_cast<bool (*)()>(findSymbol(handle_, "ExitDll"));
#else
        auto exit = reinterpret_cast<bool (*)()>(findSymbol(handle_, "ModuleExit"));
#endif
        if (exit) exit();
    }
    closeLibrary(handle_);
}

// --- The instance ------------------------------------------------------------------

Vst3Instance::Vst3Instance() : ThreadRules("user-interface thread"), host_(std::make_unique<Vst3HostObjects>(*this)) {}

std::unique_ptr<Vst3Instance> Vst3Instance::Create(const Vst3Module& module, std::string& error) {
    std::unique_ptr<Vst3Instance> self(new Vst3Instance());
    vst3::IPluginFactory* factory = module.factory();
    void* obj = nullptr;
    const std::string& cid = module.audioClass().cid;
    if (factory->createInstance(cid.data(), vst3::IComponent::iid.bytes, &obj) != vst3::kResultOk || !obj) {
        error = "the factory made no component of " + module.audioClass().name;
        return nullptr;
    }
    self->component_ = static_cast<vst3::IComponent*>(obj);
    if (self->component_->initialize(&self->host_->context) != vst3::kResultOk) {
        self->component_->release();
        self->component_ = nullptr;
        error = "the component's initialize failed";
        return nullptr;
    }
    self->processor_ = self->query<vst3::IAudioProcessor>();
    if (!self->processor_) {
        error = "the component has no audio processor";
        return nullptr;
    }
    self->controller_ = self->query<vst3::IEditController>();
    if (!self->controller_) {
        // A controller of its own, made from the class id the component names.
        char controllerId[16] = {};
        if (self->component_->getControllerClassId(controllerId) == vst3::kResultOk &&
            factory->createInstance(controllerId, vst3::IEditController::iid.bytes, &obj) == vst3::kResultOk && obj) {
            self->controller_ = static_cast<vst3::IEditController*>(obj);
            self->separate_ = true;
            if (self->controller_->initialize(&self->host_->context) != vst3::kResultOk) {
                error = "the edit controller's initialize failed";
                return nullptr;
            }
        }
    }
    if (!self->controller_) {
        error = "the plug-in has no edit controller";
        return nullptr;
    }
    if (self->controller_->queryInterface(vst3::IUnitInfo::iid.bytes, &obj) == vst3::kResultOk)
        self->units_ = static_cast<vst3::IUnitInfo*>(obj);
    if (self->separate_) {
        // A separate controller starts from the component's state.
        std::vector<uint8_t> state;
        MemoryStream out(state, SIZE_MAX);
        if (self->component_->getState(&out) == vst3::kResultOk) {
            MemoryStream in(state, SIZE_MAX);
            self->controller_->setComponentState(&in);
        }
    }
    self->controller_->setComponentHandler(self->host_.get());

    // Stereo in, stereo out, both buses on; the change lists sized for every
    // parameter the controller has.
    vst3::SpeakerArrangement stereo[2] = {vst3::kSpeakerStereo, vst3::kSpeakerStereo};
    self->processor_->setBusArrangements(&stereo[0], 1, &stereo[1], 1);
    self->component_->activateBus(vst3::kAudio, vst3::kInput, 0, 1);
    self->component_->activateBus(vst3::kAudio, vst3::kOutput, 0, 1);
    const size_t capacity = static_cast<size_t>(std::max(self->parameterCount(), 1));
    self->host_->inputChanges.reserve(capacity);
    self->host_->outputChanges.reserve(capacity);
    return self;
}

Vst3Instance::~Vst3Instance() {
    if (component_) {
        stopProcessing();
        deactivate();
        closeView();
        if (controller_) controller_->setComponentHandler(nullptr);
    }
    host_->forgetRunLoop();
    if (units_) units_->release();
    if (controller_) {
        if (separate_) controller_->terminate();
        controller_->release();
    }
    if (processor_) processor_->release();
    if (component_) {
        component_->terminate();
        component_->release();
    }
}

bool Vst3Instance::setup(double sampleRate, int maxFrames) {
    if (active_) return false;
    vst3::ProcessSetup setup{vst3::kRealtime, vst3::kSample32, std::max(maxFrames, 1), sampleRate};
    if (processor_->canProcessSampleSize(vst3::kSample32) != vst3::kResultTrue ||
        processor_->setupProcessing(setup) != vst3::kResultOk)
        return false;
    sampleRate_ = sampleRate;
    maxFrames_ = setup.maxSamplesPerBlock;
    return true;
}

bool Vst3Instance::activate() {
    if (!active_) active_ = component_->setActive(1) == vst3::kResultOk;
    return active_;
}

void Vst3Instance::deactivate() {
    stopProcessing();
    if (!active_) return;
    component_->setActive(0);
    active_ = false;
}

bool Vst3Instance::startProcessing() {
    if (processing_ || !active_) return processing_;
    AudioCall audio;
    // Plug-ins that keep no processing state may answer "not implemented".
    const vst3::tresult result = processor_->setProcessing(1);
    processing_ = result == vst3::kResultOk || result == vst3::kNotImplemented;
    return processing_;
}

void Vst3Instance::stopProcessing() {
    if (!processing_) return;
    {
        AudioCall audio;
        processor_->setProcessing(0);
    }
    processing_ = false;
}

vst3::tresult Vst3Instance::process(const float* inL, const float* inR, float* outL, float* outR, int n,
                                    const Vst3Change* changes, size_t count, vst3::ProcessContext* context) {
    Vst3HostObjects& h = *host_;
    h.inputChanges.clear();
    h.outputChanges.clear();
    for (size_t i = 0; i < count; ++i) {
        vst3::int32 index = 0;
        if (vst3::IParamValueQueue* queue = h.inputChanges.addParameterData(changes[i].id, index))
            queue->addPoint(changes[i].frame, changes[i].value, index);
    }
    h.inputs[0] = const_cast<float*>(inL);
    h.inputs[1] = const_cast<float*>(inR);
    h.outputs[0] = outL;
    h.outputs[1] = outR;
    h.inputBus = {};
    h.inputBus.numChannels = 2;
    h.inputBus.channelBuffers32 = h.inputs;
    h.outputBus = {};
    h.outputBus.numChannels = 2;
    h.outputBus.channelBuffers32 = h.outputs;
    vst3::ProcessData& data = h.data;
    data = {};
    data.processMode = vst3::kRealtime;
    data.symbolicSampleSize = vst3::kSample32;
    data.numSamples = n;
    const bool audio = n > 0 && inL && inR && outL && outR;
    data.numInputs = audio ? 1 : 0;
    data.numOutputs = audio ? 1 : 0;
    data.inputs = audio ? &h.inputBus : nullptr;
    data.outputs = audio ? &h.outputBus : nullptr;
    data.inputParameterChanges = &h.inputChanges;
    data.outputParameterChanges = &h.outputChanges;
    data.processContext = context;
    AudioCall call;
    return processor_->process(data);
}

size_t Vst3Instance::outputCount() const { return static_cast<size_t>(host_->outputChanges.getParameterCount()); }

Vst3Change Vst3Instance::output(size_t index) const {
    Vst3Change change{0, 0, 0};
    vst3::IParamValueQueue* queue = host_->outputChanges.getParameterData(static_cast<vst3::int32>(index));
    if (!queue || queue->getPointCount() < 1) return change;
    change.id = queue->getParameterId();
    queue->getPoint(queue->getPointCount() - 1, change.frame, change.value);
    return change;
}

int Vst3Instance::parameterCount() const { return controller_->getParameterCount(); }

bool Vst3Instance::parameterInfo(int index, vst3::ParameterInfo& info) const {
    std::memset(&info, 0, sizeof info);
    return controller_->getParameterInfo(index, info) == vst3::kResultOk;
}

vst3::ParamValue Vst3Instance::value(vst3::ParamID id) const { return controller_->getParamNormalized(id); }

std::string Vst3Instance::valueText(vst3::ParamID id, vst3::ParamValue value) const {
    vst3::String128 text{};
    if (controller_->getParamStringByValue(id, value, text) != vst3::kResultOk) return {};
    return narrowText(text, 128);
}

bool Vst3Instance::saveState(std::vector<uint8_t>& component, std::vector<uint8_t>& controller) const {
    component.clear();
    controller.clear();
    MemoryStream componentStream(component, SIZE_MAX);
    if (component_->getState(&componentStream) != vst3::kResultOk) return false;
    MemoryStream controllerStream(controller, SIZE_MAX);
    const vst3::tresult result = controller_->getState(&controllerStream);
    return result == vst3::kResultOk || result == vst3::kNotImplemented;
}

bool Vst3Instance::loadState(const std::vector<uint8_t>& component, const std::vector<uint8_t>& controller,
                             size_t chunk, size_t* used) {
    std::vector<uint8_t> componentBytes = component, controllerBytes = controller;
    MemoryStream componentStream(componentBytes, chunk);
    const vst3::tresult result = component_->setState(&componentStream);
    if (used) {
        vst3::int64 position = 0;
        componentStream.tell(&position);
        *used = static_cast<size_t>(position);
    }
    if (result != vst3::kResultOk) return false;
    MemoryStream again(componentBytes, chunk);
    if (controller_->setComponentState(&again) != vst3::kResultOk) return false;
    if (controllerBytes.empty()) return true;
    MemoryStream controllerStream(controllerBytes, chunk);
    return controller_->setState(&controllerStream) == vst3::kResultOk;
}

vst3::IPlugView* Vst3Instance::view() {
    if (!view_) view_ = controller_->createView("editor");
    return view_;
}

bool Vst3Instance::attachView(void* parent) {
    if (!view() || viewAttached_) return viewAttached_;
#if defined(_WIN32)
    const char* type = vst3::kPlatformTypeHWND;
#else
    const char* type = vst3::kPlatformTypeX11EmbedWindowID;
#endif
    if (view_->isPlatformTypeSupported(type) != vst3::kResultTrue) return false;
    view_->setFrame(host_.get());
    viewAttached_ = view_->attached(parent, type) == vst3::kResultOk;
    if (!viewAttached_) view_->setFrame(nullptr);
    return viewAttached_;
}

void Vst3Instance::closeView() {
    if (!view_) return;
    if (viewAttached_) {
        view_->removed();
        view_->setFrame(nullptr);
    }
    viewAttached_ = false;
    view_->release();
    view_ = nullptr;
}

bool Vst3Instance::takeResizeRequest(int& width, int& height) {
    width = host_->requestedWidth;
    height = host_->requestedHeight;
    host_->requestedWidth = host_->requestedHeight = 0;
    return width > 0 && height > 0;
}

#if defined(_WIN32)
namespace {

// A Windows view has no run loop to ask: it idles on a thread timer of its
// own, which the thread's message loop runs. Runs this thread's messages
// until a timer has come, at most a little longer than a view's period, as a
// host's message loop would have meanwhile. A quit message is put back for
// the caller's own loop.
void runMessagesUntilTimer() {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        MSG msg;
        bool timer = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (msg.message == WM_TIMER) timer = true;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (timer || GetTickCount64() - start > 60) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace
#endif

std::string narrowText(const char16_t* text, size_t capacity) {
    std::string s;
    for (size_t i = 0; i < capacity && text[i]; ++i) s += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    return s;
}

void Vst3Instance::idle(bool everyTimer) {
#if defined(_WIN32)
    if (everyTimer && viewAttached_) runMessagesUntilTimer();
#endif
    host_->idle(everyTimer);
}

size_t Vst3Instance::timerCount() const { return host_->timers.size(); }

size_t Vst3Instance::fdHandlerCount() const { return host_->fdHandlers.size(); }

}  // namespace trv4host
