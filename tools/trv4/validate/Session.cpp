#include "tools/trv4/validate/Session.h"

#include <cstring>

namespace trv4tool::validate {

std::unique_ptr<Session> Session::open(const Options& options, std::string& error) {
    std::unique_ptr<Session> session(new Session());
    session->options_ = options;
    session->random_.seed(options.seed);
    session->module_ = trv4host::PluginModule::Load(options.path, error);
    if (!session->module_) return nullptr;
    return session;
}

Instance::Instance(Session& session) : session_(session), host_(std::make_unique<trv4host::Host>()) {
    const FloatEnvironment before = readFloatEnvironment();
    const std::string locale = currentLocale();
    vst::AEffect* record = host_->instantiate(session.module());
    const FloatEnvironment after = readFloatEnvironment();
    FloatEnvironment expected = before;
    expected.mxcsr |= kMxcsrMasks;
#if defined(__i386__)
    expected.x87 = kConstructionControlWord;
#endif
    if (!(after == expected)) {
        session.watch().record("construction left " + describe(after) + " (expected " + describe(expected) + ")");
        writeFloatEnvironment(before);
    }
    if (currentLocale() != locale) session.watch().record("construction changed the locale");
    if (record && record->magic == vst::kEffectMagic) {
        record_ = record;
        dispatch(vst::effOpen);
    }
}

vst::VstIntPtr Instance::dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                  float opt) {
    if (!record_) return 0;
    EnvironmentWatch::Scope scope(session_.watch(), "opcode", opcode);
    return record_->dispatcher(record_, opcode, index, value, ptr, opt);
}

void Instance::setParameter(int index, float value) {
    if (!record_) return;
    EnvironmentWatch::Scope scope(session_.watch(), "setParameter", index);
    record_->setParameter(record_, index, value);
}

float Instance::getParameter(int index) {
    if (!record_) return 0;
    EnvironmentWatch::Scope scope(session_.watch(), "getParameter", index);
    return record_->getParameter(record_, index);
}

void Instance::process(float* const* in, float* const* out, int n, bool accumulate) {
    if (!record_) return;
    EnvironmentWatch::Scope scope(session_.watch(), accumulate ? "process" : "processReplacing", n);
    float* inputs[2] = {in[0], in[1]};
    float* outputs[2] = {out[0], out[1]};
    if (accumulate)
        record_->process(record_, inputs, outputs, n);
    else
        record_->processReplacing(record_, inputs, outputs, n);
}

void Instance::start(float rate, int blockSize) {
    dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
    dispatch(vst::effSetBlockSize, 0, blockSize);
    dispatch(vst::effMainsChanged, 0, 1);
}

std::string Instance::text(vst::VstInt32 opcode, vst::VstInt32 index) {
    char buffer[256];
    std::memset(buffer, 0, sizeof buffer);
    dispatch(opcode, index, 0, buffer);
    buffer[sizeof buffer - 1] = 0;
    return buffer;
}

vst::VstIntPtr Instance::close() {
    if (!record_) return 0;
    const vst::VstIntPtr answer = dispatch(vst::effClose);
    record_ = nullptr;
    // Forget the record before another effect may get the same address.
    host_ = std::make_unique<trv4host::Host>();
    return answer;
}

}  // namespace trv4tool::validate
