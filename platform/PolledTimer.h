// A timer of a backend that fires its timers from its own event processing
// (X11 at idle, headless when a test advances its clock). The backend keeps
// the slots and checks them; the timer object only marks its slot dead when
// it goes, so a tick never reaches a freed handler. Window thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "platform/Backend.h"

namespace platform {

struct PolledTimerSlot {
    unsigned interval;
    uint64_t due;    // milliseconds on the backend's clock
    uint64_t order;  // creation order, for timers due at the same time
    std::function<void()> tick;
    bool alive = true;
};

class PolledTimer : public NativeTimer {
public:
    explicit PolledTimer(std::shared_ptr<PolledTimerSlot> slot) : slot_(std::move(slot)) {}
    ~PolledTimer() override { slot_->alive = false; }

private:
    std::shared_ptr<PolledTimerSlot> slot_;
};

}  // namespace platform
