// What the checks of trv4 validate share: the plug-in module loaded once,
// the options, the seeded random source of the checks, and the environment
// watch every call into the plug-in passes through. An Instance is one
// effect made from the module's entry with a host of its own, as a host
// makes it; its calls are watched (Environment.h). Instances are driven from
// the validating thread; a check that processes on a second thread uses one
// instance per role and joins before it ends.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "tools/host/PluginHost.h"
#include "tools/trv4/validate/Environment.h"

namespace trv4tool::validate {

struct Options {
    std::string path;
    bool strict = false;
    uint64_t seed = 1;
};

class Session {
public:
    // Null with a one-line reason when the module cannot be loaded.
    static std::unique_ptr<Session> open(const Options& options, std::string& error);

    const Options& options() const { return options_; }
    const trv4host::PluginModule& module() const { return *module_; }
    EnvironmentWatch& watch() { return watch_; }
    std::mt19937_64& random() { return random_; }
    // Uniform in [0, 1).
    float uniform() { return std::uniform_real_distribution<float>(0.0f, 1.0f)(random_); }
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

private:
    Session() = default;
    Options options_;
    std::unique_ptr<trv4host::PluginModule> module_;
    EnvironmentWatch watch_;
    std::mt19937_64 random_;
};

class Instance {
public:
    // Instantiates through the module's entry and sends effOpen; checks the
    // floating-point control the construction leaves (recorded in the watch).
    explicit Instance(Session& session);
    ~Instance() { close(); }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    bool valid() const { return record_ != nullptr; }
    vst::AEffect* record() const { return record_; }
    // The counts the plug-in's record announces (0 without a record).
    int programs() const { return record_ ? record_->numPrograms : 0; }
    int parameters() const { return record_ ? record_->numParams : 0; }
    trv4host::Host& host() { return *host_; }

    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0);
    void setParameter(int index, float value);
    float getParameter(int index);
    // n frames, two channels each way; accumulating adds to out.
    void process(float* const* in, float* const* out, int n, bool accumulate = false);

    // effSetSampleRate, effSetBlockSize, resume.
    void start(float rate, int blockSize = 512);
    void setProgram(int program) { dispatch(vst::effSetProgram, 0, program); }
    std::string text(vst::VstInt32 opcode, vst::VstInt32 index = 0);
    // effClose; answers the dispatcher's reply (0 when already closed).
    vst::VstIntPtr close();

private:
    Session& session_;
    std::unique_ptr<trv4host::Host> host_;
    vst::AEffect* record_ = nullptr;
};

}  // namespace trv4tool::validate
