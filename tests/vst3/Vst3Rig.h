// A small VST3 host for the tests: loads the built bundle's module by path,
// takes its factory through the exported GetPluginFactory, and supplies the
// host-side objects a plug-in meets (a memory stream, parameter change
// queues, a component handler). Next to it, the VST 2 plug-in object as the
// reference: the same APlugin, linked into the test and driven through its
// VST 2 record, so that its random generator can be seeded as the module's
// is through the test port.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "engine/Random.h"
#include "plugin/uPlugin.h"
#include "tests/support/ModulePath.h"
#include "tools/host/PluginHost.h"
#include "vst3/Vst3Interface.h"
#include "vst3/Vst3TestPort.h"

namespace trv4test {

// The bundle's module, loaded as a host loads it, entry function included.
class Vst3Module {
public:
    explicit Vst3Module(const std::string& path) {
#if defined(_WIN32)
        handle_ = LoadLibraryA(path.c_str());
        auto entry = symbol<bool (*)()>("InitDll");
        entered_ = entry && entry();
#else
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        auto entry = symbol<bool (*)(void*)>("ModuleEntry");
        entered_ = entry && entry(handle_);
#endif
        auto factoryProc = symbol<vst3::GetFactoryProc>("GetPluginFactory");
        if (entered_ && factoryProc) factory_ = factoryProc();
    }
    ~Vst3Module() {
        if (factory_) factory_->release();
        if (!handle_) return;
#if defined(_WIN32)
        auto exit = symbol<bool (*)()>("ExitDll");
        if (entered_ && exit) exit();
        FreeLibrary(static_cast<HMODULE>(handle_));
#else
        auto exit = symbol<bool (*)()>("ModuleExit");
        if (entered_ && exit) exit();
        dlclose(handle_);
#endif
    }
    bool entered() const { return entered_; }
    vst3::IPluginFactory* factory() const { return factory_; }

private:
    template <typename Proc>
    Proc symbol(const char* name) const {
        if (!handle_) return nullptr;
#if defined(_WIN32)
        return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)));
#else
        return reinterpret_cast<Proc>(dlsym(handle_, name));
#endif
    }

    void* handle_ = nullptr;
    vst3::IPluginFactory* factory_ = nullptr;
    bool entered_ = false;
};

inline std::string vst3ModulePath() { return hostPath(TRV4_VST3_MODULE_PATH); }

// Host objects live on the test's stack: their reference counts are not
// theirs to end.
template <typename Interface>
class HostObject : public Interface {
public:
    vst3::tresult VST3_CALL queryInterface(const char* iid, void** obj) override {
        if (Interface::iid == iid || vst3::FUnknown::iid == iid) {
            *obj = this;
            return vst3::kResultOk;
        }
        *obj = nullptr;
        return vst3::kNoInterface;
    }
    vst3::uint32 VST3_CALL addRef() override { return 1; }
    vst3::uint32 VST3_CALL release() override { return 1; }
};

class MemoryStream : public HostObject<vst3::IBStream> {
public:
    std::vector<uint8_t> bytes;
    vst3::int64 position = 0;

    vst3::tresult VST3_CALL read(void* buffer, vst3::int32 n, vst3::int32* done) override {
        const vst3::int64 available = static_cast<vst3::int64>(bytes.size()) - position;
        const vst3::int32 count = n < available ? n : static_cast<vst3::int32>(available > 0 ? available : 0);
        if (count > 0) std::memcpy(buffer, bytes.data() + position, static_cast<size_t>(count));
        position += count;
        if (done) *done = count;
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL write(void* buffer, vst3::int32 n, vst3::int32* done) override {
        if (bytes.size() < static_cast<size_t>(position + n)) bytes.resize(static_cast<size_t>(position + n));
        std::memcpy(bytes.data() + position, buffer, static_cast<size_t>(n));
        position += n;
        if (done) *done = n;
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) override {
        position = mode == kSeekSet   ? pos
                   : mode == kSeekCur ? position + pos
                                      : static_cast<vst3::int64>(bytes.size()) + pos;
        if (result) *result = position;
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL tell(vst3::int64* pos) override {
        *pos = position;
        return vst3::kResultOk;
    }
};

class ValueQueue : public HostObject<vst3::IParamValueQueue> {
public:
    vst3::ParamID id = 0;
    std::vector<std::pair<vst3::int32, double>> points;

    vst3::ParamID VST3_CALL getParameterId() override { return id; }
    vst3::int32 VST3_CALL getPointCount() override { return static_cast<vst3::int32>(points.size()); }
    vst3::tresult VST3_CALL getPoint(vst3::int32 index, vst3::int32& offset, double& value) override {
        if (index < 0 || index >= getPointCount()) return vst3::kInvalidArgument;
        offset = points[static_cast<size_t>(index)].first;
        value = points[static_cast<size_t>(index)].second;
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL addPoint(vst3::int32 offset, double value, vst3::int32& index) override {
        index = getPointCount();
        points.emplace_back(offset, value);
        return vst3::kResultOk;
    }
};

class ParameterChanges : public HostObject<vst3::IParameterChanges> {
public:
    std::vector<std::unique_ptr<ValueQueue>> queues;

    void add(vst3::ParamID id, vst3::int32 offset, double value) {
        vst3::int32 index = 0;
        addParameterData(id, index)->addPoint(offset, value, index);
    }
    vst3::int32 VST3_CALL getParameterCount() override { return static_cast<vst3::int32>(queues.size()); }
    vst3::IParamValueQueue* VST3_CALL getParameterData(vst3::int32 index) override {
        return index >= 0 && index < getParameterCount() ? queues[static_cast<size_t>(index)].get() : nullptr;
    }
    vst3::IParamValueQueue* VST3_CALL addParameterData(const vst3::ParamID& id, vst3::int32& index) override {
        for (size_t i = 0; i < queues.size(); ++i)
            if (queues[i]->id == id) return index = static_cast<vst3::int32>(i), queues[i].get();
        queues.push_back(std::make_unique<ValueQueue>());
        queues.back()->id = id;
        index = getParameterCount() - 1;
        return queues.back().get();
    }
};

class RecordingHandler : public HostObject<vst3::IComponentHandler> {
public:
    std::vector<vst3::int32> restarts;
    vst3::tresult VST3_CALL beginEdit(vst3::ParamID) override { return vst3::kResultOk; }
    vst3::tresult VST3_CALL performEdit(vst3::ParamID, double) override { return vst3::kResultOk; }
    vst3::tresult VST3_CALL endEdit(vst3::ParamID) override { return vst3::kResultOk; }
    vst3::tresult VST3_CALL restartComponent(vst3::int32 flags) override {
        restarts.push_back(flags);
        return vst3::kResultOk;
    }
};

std::u16string inline u16(const char* text) {
    std::u16string s;
    while (*text) s += static_cast<char16_t>(static_cast<unsigned char>(*text++));
    return s;
}

std::string inline narrow(const char16_t* text) {
    std::string s;
    while (*text) s += static_cast<char>(*text++);
    return s;
}

// One plug-in instance of the module with its interfaces, created and
// initialised as a host does; released when the test ends.
class Vst3Instance {
public:
    explicit Vst3Instance(vst3::IPluginFactory* factory) {
        void* obj = nullptr;
        const auto cid = factoryClassId(factory);
        if (factory->createInstance(cid.data(), vst3::IComponent::iid.bytes, &obj) != vst3::kResultOk) return;
        component = static_cast<vst3::IComponent*>(obj);
        component->initialize(nullptr);
        component->queryInterface(vst3::IAudioProcessor::iid.bytes, reinterpret_cast<void**>(&processor));
        component->queryInterface(vst3::IEditController::iid.bytes, reinterpret_cast<void**>(&controller));
        component->queryInterface(vst3::IUnitInfo::iid.bytes, reinterpret_cast<void**>(&units));
        component->queryInterface(trv4::IVst3TestPort::iid.bytes, reinterpret_cast<void**>(&port));
    }
    ~Vst3Instance() {
        for (vst3::FUnknown* i : std::initializer_list<vst3::FUnknown*>{processor, controller, units, port})
            if (i) i->release();
        if (component) {
            component->terminate();
            component->release();
        }
    }
    static std::string factoryClassId(vst3::IPluginFactory* factory) {
        vst3::PClassInfo info{};
        factory->getClassInfo(0, &info);
        return std::string(info.cid, 16);
    }

    // Sample rate and block size, 32-bit samples, then activation.
    void start(double rate, int maxBlock, vst3::uint64 seed) {
        vst3::ProcessSetup setup{vst3::kRealtime, vst3::kSample32, maxBlock, rate};
        ASSERT_EQ(processor->setupProcessing(setup), vst3::kResultOk);
        port->seedRandom(seed);
        ASSERT_EQ(component->setActive(1), vst3::kResultOk);
        ASSERT_EQ(processor->setProcessing(1), vst3::kResultOk);
    }

    vst3::tresult process(const float* inL, const float* inR, float* outL, float* outR, int n,
                          vst3::IParameterChanges* changes = nullptr, vst3::ProcessContext* context = nullptr,
                          vst3::IParameterChanges* outChanges = nullptr) {
        float* in[2] = {const_cast<float*>(inL), const_cast<float*>(inR)};
        float* out[2] = {outL, outR};
        vst3::AudioBusBuffers inBus{};
        inBus.numChannels = 2;
        inBus.channelBuffers32 = in;
        vst3::AudioBusBuffers outBus{};
        outBus.numChannels = 2;
        outBus.channelBuffers32 = out;
        vst3::ProcessData data{};
        data.symbolicSampleSize = vst3::kSample32;
        data.numSamples = n;
        data.numInputs = 1;
        data.numOutputs = 1;
        data.inputs = &inBus;
        data.outputs = &outBus;
        data.inputParameterChanges = changes;
        data.outputParameterChanges = outChanges;
        data.processContext = context;
        return processor->process(data);
    }

    std::string text(vst3::ParamID id, double value) {
        vst3::String128 s{};
        EXPECT_EQ(controller->getParamStringByValue(id, value, s), vst3::kResultOk) << id;
        return narrow(s);
    }

    vst3::IComponent* component = nullptr;
    vst3::IAudioProcessor* processor = nullptr;
    vst3::IEditController* controller = nullptr;
    vst3::IUnitInfo* units = nullptr;
    trv4::IVst3TestPort* port = nullptr;
};

// The VST 2 plug-in object made as the VST 2 module makes it, with the
// test's host callback.
inline vst::AEffect* VST_CALL referenceEntry(vst::AudioMasterCallback audioMaster) {
    return (new trv4::APlugin(audioMaster))->getAeffect();
}

class Vst3Test : public ::testing::Test {
protected:
    static void SetUpTestSuite() { module = new Vst3Module(vst3ModulePath()); }
    static void TearDownTestSuite() {
        delete module;
        module = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(module->factory()) << "cannot load " << vst3ModulePath(); }

    Vst3Instance& makeInstance() {
        instances.push_back(std::make_unique<Vst3Instance>(module->factory()));
        EXPECT_NE(instances.back()->controller, nullptr);
        return *instances.back();
    }
    // The VST 2 reference at the same rate and program, resumed after
    // seeding.
    trv4host::Effect& makeReference(double rate, vst3::uint64 seed, int program = 0) {
        references.push_back(std::make_unique<trv4host::Effect>(host.instantiate(referenceEntry)));
        trv4host::Effect& fx = *references.back();
        fx.setSampleRate(static_cast<float>(rate));
        fx.setProgram(program);
        trv4::seedRandom(seed);
        fx.resume();
        return fx;
    }

    trv4host::Host host;
    std::vector<std::unique_ptr<Vst3Instance>> instances;
    std::vector<std::unique_ptr<trv4host::Effect>> references;
    inline static Vst3Module* module = nullptr;
};

}  // namespace trv4test
