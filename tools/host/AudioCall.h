// Which of the plug-in's calls into the host come from the host's audio
// thread: the host marks each of its audio-thread calls (process, and the
// flushes and resets that run as audio-thread work) with an AudioCall, and
// the thread checks read onAudioThread().
#pragma once

namespace trv4host {

// Set while this thread is inside an audio-thread call of any instance.
inline thread_local int audioCallDepth = 0;

struct AudioCall {
    AudioCall() { ++audioCallDepth; }
    ~AudioCall() { --audioCallDepth; }
    AudioCall(const AudioCall&) = delete;
    AudioCall& operator=(const AudioCall&) = delete;
};

inline bool insideAudioCall() { return audioCallDepth > 0; }

}  // namespace trv4host
