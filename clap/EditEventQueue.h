// EditEventQueue: the user's edits in the editor on their way to the host,
// as the host's output events want them: gesture begin, value, gesture end,
// in the order the editor made them.
//
// One producer (the main thread, where the editor runs) and one consumer
// (the audio thread inside process, or the main thread inside a flush the
// host asked for while it is not processing). A fixed ring of single-slot
// stores and two atomic counters: nothing locks or allocates. An edit that
// finds the ring full is dropped (the value still reached the plug-in; the
// host sees it at its next read of the parameter).
#pragma once

#include <atomic>
#include <cstdint>

namespace trv4clap {

struct EditEvent {
    enum Kind : uint8_t { kBegin, kValue, kEnd };
    Kind kind;
    uint32_t param;
    double value;  // kValue only
};

class EditEventQueue {
public:
    static constexpr uint32_t kCapacity = 1024;  // a power of two

    // Producer side. False when full.
    bool push(const EditEvent& event) {
        const uint32_t head = head_.load(std::memory_order_relaxed);
        if (head - tail_.load(std::memory_order_acquire) >= kCapacity) return false;
        slots_[head & (kCapacity - 1)] = event;
        head_.store(head + 1, std::memory_order_release);
        return true;
    }

    // Consumer side: the oldest event, or false when empty.
    bool peek(EditEvent& out) const {
        const uint32_t tail = tail_.load(std::memory_order_relaxed);
        if (tail == head_.load(std::memory_order_acquire)) return false;
        out = slots_[tail & (kCapacity - 1)];
        return true;
    }
    void pop() { tail_.store(tail_.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

    bool empty() const { return tail_.load(std::memory_order_acquire) == head_.load(std::memory_order_acquire); }

private:
    EditEvent slots_[kCapacity] = {};
    std::atomic<uint32_t> head_{0};
    std::atomic<uint32_t> tail_{0};
};

}  // namespace trv4clap
