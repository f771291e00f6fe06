// The thread rule our hosts hold a plug-in's calls into them to: the calls
// of the audio thread are the ones the host marks (AudioCall.h); every other
// call must come from the thread that made the instance (CLAP's main thread,
// VST3's user-interface thread). A call from elsewhere is recorded in
// threadFaults, so that a check can fail on it.
#pragma once

#include <string>
#include <thread>
#include <vector>

#include "tools/host/AudioCall.h"

namespace trv4host {

class ThreadRules {
public:
    std::vector<std::string> threadFaults;  // host calls made on the wrong thread

    // Whether the calling thread is inside one of the audio-thread calls, or
    // is the instance's own thread outside them.
    static bool onAudioThread() { return insideAudioCall(); }
    bool onMainThread() const { return !onAudioThread() && std::this_thread::get_id() == mainThread_; }

protected:
    // threadName: the format's name for the instance's thread.
    explicit ThreadRules(const char* threadName) : threadName_(threadName) {}

    void expectMainThread(const char* call) {
        if (!onMainThread()) threadFaults.push_back(std::string(call) + " called off the " + threadName_);
    }

private:
    const char* threadName_;
    std::thread::id mainThread_ = std::this_thread::get_id();
};

}  // namespace trv4host
