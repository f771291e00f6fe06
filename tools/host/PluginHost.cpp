#include "tools/host/PluginHost.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>

#include "tools/host/ClapBridge.h"
#include "tools/host/SharedLibrary.h"
#include "tools/host/Vst3Bridge.h"

namespace trv4host {

namespace {

// Which host answers a record's callbacks. During instantiation the plug-in
// calls back before its record is known (with null, or with the record it is
// building), so the host being instantiated answers those.
std::mutex registryMutex;
std::vector<std::pair<vst::AEffect*, Host*>> registry;
Host* instantiating = nullptr;

Host* hostFor(vst::AEffect* effect) {
    std::lock_guard<std::mutex> lock(registryMutex);
    for (auto& entry : registry)
        if (entry.first == effect) return entry.second;
    return instantiating;
}

void forget(Host* host) {
    std::lock_guard<std::mutex> lock(registryMutex);
    registry.erase(std::remove_if(registry.begin(), registry.end(), [host](auto& e) { return e.second == host; }),
                   registry.end());
}

void copyText(void* ptr, const std::string& text, size_t capacity) {
    if (!ptr) return;
    size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(ptr, text.data(), n);
    static_cast<char*>(ptr)[n] = 0;
}

}  // namespace

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path, std::string& error) {
    std::unique_ptr<PluginModule> module(new PluginModule());
    if (path.size() > 5 && path.compare(path.size() - 5, 5, ".clap") == 0) {
        module->clap_ = ClapModule::Load(path, error);
        return module->clap_ ? std::move(module) : nullptr;
    }
    std::string bundle = path;
    while (bundle.size() > 1 && (bundle.back() == '/' || bundle.back() == '\\')) bundle.pop_back();
    if (bundle.size() > 5 && bundle.compare(bundle.size() - 5, 5, ".vst3") == 0) {
        module->vst3_ = Vst3Module::Load(bundle, error);
        return module->vst3_ ? std::move(module) : nullptr;
    }
    module->handle_ = openLibrary(path, error);
    if (!module->handle_) return nullptr;
    if (!findSymbol(module->handle_, "VSTPluginMain") && !findSymbol(module->handle_, "main") &&
        findSymbol(module->handle_, "GetPluginFactory")) {
        // The binary inside a VST3 bundle, named directly.
        closeLibrary(module->handle_);
        module->handle_ = nullptr;
        module->vst3_ = Vst3Module::Load(path, error);
        return module->vst3_ ? std::move(module) : nullptr;
    }
    module->vstPluginMain_ = reinterpret_cast<EntryProc>(findSymbol(module->handle_, "VSTPluginMain"));
    module->legacyMain_ = reinterpret_cast<EntryProc>(findSymbol(module->handle_, "main"));
    if (!module->vstPluginMain_ && !module->legacyMain_) {
        error = path + " is not a VST 2 plug-in (no VSTPluginMain or main export)";
        return nullptr;
    }
    return module;
}

PluginModule::~PluginModule() {
    if (handle_) closeLibrary(handle_);
}

Host::Host() = default;

Host::~Host() { forget(this); }

vst::AEffect* Host::instantiate(PluginModule::EntryProc entry) {
    if (!entry) return nullptr;
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        instantiating = this;
    }
    vst::AEffect* effect = entry(&Host::callback);
    std::lock_guard<std::mutex> lock(registryMutex);
    instantiating = nullptr;
    if (effect) registry.emplace_back(effect, this);
    return effect;
}

vst::AEffect* Host::instantiate(const PluginModule& module) {
    if (!module.clap() && !module.vst3()) return instantiate(module.entry());
    std::string error;
    vst::AEffect* effect = module.clap() ? ClapBridge::create(*module.clap(), &Host::callback, error)
                                         : Vst3Bridge::create(*module.vst3(), &Host::callback, error);
    std::lock_guard<std::mutex> lock(registryMutex);
    if (effect) registry.emplace_back(effect, this);
    return effect;
}

vst::VstIntPtr VST_CALL Host::callback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                                       vst::VstIntPtr value, void* ptr, float opt) {
    Host* host = hostFor(effect);
    if (!host) return opcode == vst::audioMasterVersion ? 2400 : 0;
    return host->answer(effect, opcode, index, value, ptr, opt);
}

vst::VstIntPtr Host::answer(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                            float opt) {
    ++callbackCount;
    switch (opcode) {
    case vst::audioMasterAutomate: automation.push_back({index, opt}); return 0;
    case vst::audioMasterVersion: return version;
    case vst::audioMasterGetTime:
        timeRequests.push_back(static_cast<vst::VstInt32>(value));
        if (!timeInfoAvailable) return 0;
        timeInfo.sampleRate = sampleRate;
        return reinterpret_cast<vst::VstIntPtr>(&timeInfo);
    case vst::audioMasterGetVendorString: copyText(ptr, vendor, 65); return 1;
    case vst::audioMasterGetProductString: copyText(ptr, product, 65); return 1;
    case vst::audioMasterGetVendorVersion: return 1;
    case vst::audioMasterGetSampleRate: return static_cast<vst::VstIntPtr>(sampleRate);
    case vst::audioMasterGetBlockSize: return blockSize;
    case vst::audioMasterSizeWindow:
        requestedWidth = index;
        requestedHeight = static_cast<int>(value);
        return 1;
    default: return 0;
    }
}

vst::VstIntPtr Effect::dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                float opt) const {
    return record_ ? record_->dispatcher(record_, opcode, index, value, ptr, opt) : 0;
}

std::string Effect::text(vst::VstInt32 opcode, vst::VstInt32 index) const {
    // Hosts pass generous buffers; the last byte is forced to a terminator so
    // that a text the plug-in left unterminated still ends inside the buffer.
    char buffer[256];
    std::memset(buffer, 0, sizeof buffer);
    dispatch(opcode, index, 0, buffer);
    buffer[sizeof buffer - 1] = 0;
    return buffer;
}

void Effect::setParameter(int index, float value) const {
    if (record_) record_->setParameter(record_, index, value);
}

float Effect::getParameter(int index) const { return record_ ? record_->getParameter(record_, index) : 0.0f; }

void Effect::processReplacing(const float* inL, const float* inR, float* outL, float* outR, int n) const {
    float* inputs[2] = {const_cast<float*>(inL), const_cast<float*>(inR)};
    float* outputs[2] = {outL, outR};
    if (record_) record_->processReplacing(record_, inputs, outputs, n);
}

void Effect::processAccumulating(const float* inL, const float* inR, float* outL, float* outR, int n) const {
    float* inputs[2] = {const_cast<float*>(inL), const_cast<float*>(inR)};
    float* outputs[2] = {outL, outR};
    if (record_) record_->process(record_, inputs, outputs, n);
}

vst::VstIntPtr Effect::close() {
    if (!record_) return 0;
    vst::VstIntPtr answer = dispatch(vst::effClose);
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        registry.erase(std::remove_if(registry.begin(), registry.end(), [this](auto& e) { return e.first == record_; }),
                       registry.end());
    }
    record_ = nullptr;
    return answer;
}

}  // namespace trv4host
