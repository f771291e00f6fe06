// The timer component: calls OnTimer every Interval milliseconds while
// Enabled, from the window thread (a hidden message window's timer 1 on
// Windows; the backend's event processing elsewhere). It runs through the
// backend of the form that owns it; when the system has no timer to give it
// switches itself off (Enabled false) instead of raising an error.
//
// Window thread only.
#pragma once

#include <memory>

#include "platform/Backend.h"
#include "platform/Component.h"

namespace platform {

class Timer : public Component {
public:
    explicit Timer(Component* owner);
    ~Timer() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& Class() const override { return StaticClass(); }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    bool Running() const { return native_ != nullptr; }

    void Loaded() override;

    NotifyEvent OnTimer;

private:
    void Restart();

    bool enabled_ = true;
    unsigned interval_ = 1000;
    std::unique_ptr<NativeTimer> native_;
};

// The backend of the form at the top of component's owner chain, or none.
Backend* FindBackend(Component* component);

}  // namespace platform
