#include "platform/Timer.h"

#include "platform/SystemError.h"
#include "platform/WinControl.h"

namespace platform {

Backend* FindBackend(Component* component) {
    for (Component* c = component; c; c = c->Owner())
        if (auto* w = dynamic_cast<WinControl*>(c))
            if (Backend* backend = w->GetBackend()) return backend;
    return nullptr;
}

Timer::Timer(Component* owner) : Component(owner) { Restart(); }

Timer::~Timer() { native_.reset(); }

const ClassInfo& Timer::StaticClass() {
    static const ClassInfo info = [] {
        ClassBuilder<Timer> b("TTimer", &Component::StaticClass());
        b.Creatable();
        b.Bool("Enabled", &Timer::Enabled, &Timer::SetEnabled).Default(Value::Identifier("True"));
        b.Integer("Interval", &Timer::Interval, [](Timer& t, int v) { t.SetInterval(static_cast<unsigned>(v)); }, 0,
                  INT32_MAX)
            .Default(Value::Integer(1000));
        AddEventProperty(b, "OnTimer", &Timer::OnTimer);
        return b.Build();
    }();
    return info;
}

void Timer::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    Restart();
}

void Timer::SetInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    Restart();
}

void Timer::Loaded() {
    Component::Loaded();
    Restart();
}

void Timer::Restart() {
    native_.reset();
    if (!enabled_ || interval_ == 0 || IsLoading()) return;
    Backend* backend = FindBackend(this);
    if (!backend) return;
    try {
        native_ = backend->CreateTimer(interval_, [this, backend] {
            // A failing tick handler is reported; the timer keeps running.
            try {
                OnTimer(this);
            } catch (const std::exception& e) {
                try {
                    backend->System().ShowMessage(0, "Error", e.what());
                } catch (...) {
                }
            } catch (...) {
            }
        });
    } catch (const SystemError&) {
        enabled_ = false;
    }
}

}  // namespace platform
