#include "toolkit/cDIBTimer.h"

#include <cstdint>
#include <exception>

#include "platform/SystemError.h"
#include "platform/WinControl.h"

namespace toolkit {

TDIBTimer::TDIBTimer(platform::Component* owner) : platform::Component(owner) {}

TDIBTimer::~TDIBTimer() { fNative.reset(); }

const platform::ClassInfo& TDIBTimer::StaticClass() {
    static const platform::ClassInfo info = [] {
        platform::ClassBuilder<TDIBTimer> b("TDIBTimer", &platform::Component::StaticClass());
        b.Creatable();
        b.Bool("Enabled", &TDIBTimer::Enabled, &TDIBTimer::SetEnabled).Default(platform::Value::Identifier("False"));
        b.Integer(
             "Interval", &TDIBTimer::Interval, [](TDIBTimer& t, int v) { t.SetInterval(static_cast<unsigned>(v)); }, 0,
             INT32_MAX)
            .Default(platform::Value::Integer(1000));
        b.Add(
            "OnTimer",
            [](TDIBTimer& t, const platform::Value& v) {
                const std::string& method = v.AsIdentifier();
                const auto* handler = t.Root()->FindMethod<void(platform::Component*)>(method);
                if (!handler) throw platform::ValueError("the form has no method '" + method + "' of this kind");
                platform::NotifyEvent e;
                e.name = method;
                e.handler = *handler;
                t.SetOnTimer(e);
            },
            [](const TDIBTimer& t) { return platform::Value::Identifier(t.fOnTimer.name); });
        b.StoredWhen([](const TDIBTimer& t) { return !t.fOnTimer.name.empty(); });
        return b.Build();
    }();
    return info;
}

void TDIBTimer::RegisterClass() { platform::ClassRegistry::Register(StaticClass()); }

void TDIBTimer::SetEnabled(bool on) {
    if (on == fEnabled) return;
    fEnabled = on;
    Restart();
}

void TDIBTimer::SetInterval(unsigned ms) {
    if (ms == fInterval) return;
    fInterval = ms;
    Restart();
}

void TDIBTimer::SetOnTimer(std::function<void(platform::Component*)> handler) {
    fOnTimer.Set(std::move(handler));
    Restart();
}

void TDIBTimer::SetOnTimer(const platform::NotifyEvent& event) {
    fOnTimer = event;
    Restart();
}

void TDIBTimer::Loaded() {
    platform::Component::Loaded();
    Restart();
}

void TDIBTimer::Restart() {
    fNative.reset();
    if (!fEnabled || fInterval == 0 || !fOnTimer || IsLoading()) return;
    fBackend = platform::FindBackend(this);
    if (!fBackend) return;
    try {
        fNative = fBackend->CreateTimer(fInterval, [this] { Tick(); });
    } catch (const platform::SystemError&) {
        fEnabled = false;
    }
}

void TDIBTimer::Tick() {
    try {
        fOnTimer(this);
    } catch (const std::exception& e) {
        try {
            fBackend->System().ShowMessage(0, "Error", e.what());
        } catch (...) {
            // The message box failed too: nothing is left to tell, and the
            // timer keeps running.
        }
    } catch (...) {
        // Not an exception we can describe: dropped, because a tick comes
        // from the window system's message loop and nothing may unwind
        // into it.
    }
}

}  // namespace toolkit
