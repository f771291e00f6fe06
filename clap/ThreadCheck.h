// Assertions of the interface's thread rules, in debug builds only: calls
// marked main-thread must come on the host's main thread, process and the
// calls made from it on its audio thread. They ask the host's thread-check
// extension; a host without it is not checked. Release builds compile them
// to nothing.
#pragma once

#include <cassert>

#include "clap/ClapExtensions.h"

namespace trv4clap {

class ThreadCheck {
public:
    void attach(const clap::host* host) {
        host_ = host;
        check_ = host && host->get_extension
                     ? static_cast<const clap::host_thread_check*>(host->get_extension(host, clap::kExtThreadCheck))
                     : nullptr;
    }
    bool onMainThread() const { return !check_ || !check_->is_main_thread || check_->is_main_thread(host_); }
    bool onAudioThread() const { return !check_ || !check_->is_audio_thread || check_->is_audio_thread(host_); }

private:
    const clap::host* host_ = nullptr;
    const clap::host_thread_check* check_ = nullptr;
};

}  // namespace trv4clap

#define TRV4_CLAP_MAIN_THREAD(checker) assert((checker).onMainThread() && "main-thread call off the main thread")
#define TRV4_CLAP_AUDIO_THREAD(checker) assert((checker).onAudioThread() && "audio-thread call off the audio thread")
