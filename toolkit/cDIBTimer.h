// The toolkit's message-driven timer: calls OnTimer every Interval
// milliseconds while Enabled, Interval > 0 and OnTimer is assigned. A system
// timer (identifier 1 of a hidden message window on Windows) exists only
// while it runs; it runs through the backend of the form at the top of its
// owner chain. When the system has no timer to give, the timer switches
// itself off (Enabled false) and no error reaches the caller. An exception
// raised by OnTimer goes to the backend's message box; the timer keeps
// running. The press auto-repeat of every toolkit control uses one.
//
// Window thread only.
#pragma once

#include <functional>
#include <memory>

#include "platform/Backend.h"
#include "platform/Component.h"

namespace toolkit {

class TDIBTimer : public platform::Component {
public:
    explicit TDIBTimer(platform::Component* owner);
    ~TDIBTimer() override;

    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }
    // Makes TDIBTimer known to the form reader (idempotent).
    static void RegisterClass();

    bool Enabled() const { return fEnabled; }
    void SetEnabled(bool on);
    unsigned Interval() const { return fInterval; }
    void SetInterval(unsigned ms);
    const platform::NotifyEvent& OnTimer() const { return fOnTimer; }
    // Assigning the handler restarts the timer.
    void SetOnTimer(std::function<void(platform::Component*)> handler);
    void SetOnTimer(const platform::NotifyEvent& event);
    // A system timer exists.
    bool Running() const { return fNative != nullptr; }

    void Loaded() override;

private:
    void Restart();
    void Tick();

    bool fEnabled = false;
    unsigned fInterval = 1000;
    platform::NotifyEvent fOnTimer;
    std::unique_ptr<platform::NativeTimer> fNative;
    platform::Backend* fBackend = nullptr;
};

}  // namespace toolkit
