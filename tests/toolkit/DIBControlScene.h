// A headless form with one full-size container and probe controls that
// record their steps and paint a solid colour: the scene of the control,
// container and image tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Form.h"
#include "platform/headless/HeadlessBackend.h"
#include "toolkit/cDIBControl.h"
#include "toolkit/cDIBPanel.h"

namespace toolkit::test {

class ProbeControl : public TCustomDIBControl {
public:
    ProbeControl(platform::Component* owner, std::vector<std::string>& log, const char* name)
        : TCustomDIBControl(owner), fLog(log) {
        SetName(name);
        OnMouseEnter.Set([this](platform::Component*) { fLog.push_back(Name() + " enter"); });
        OnMouseLeave.Set([this](platform::Component*) { fLog.push_back(Name() + " leave"); });
        OnMouseDown.Set([this](platform::Component*, platform::MouseButton, platform::ShiftState, int x, int y) {
            fLog.push_back(Name() + " down " + std::to_string(x) + "," + std::to_string(y));
        });
        OnEnter.Set([this](platform::Component*) { fLog.push_back(Name() + " focus"); });
        OnExit.Set([this](platform::Component*) { fLog.push_back(Name() + " unfocus"); });
    }
    platform::Color paint = 0x0000FF;  // red
    int highlights = 0;
    int unhighlights = 0;
    using TCustomDIBControl::CreateLink;

protected:
    void PaintDIB(TWinDIB& surface) override { surface.FillRect(0, 0, Width(), Height(), paint); }
    void Highlight() override { ++highlights; }
    void Unhighlight() override { ++unhighlights; }

private:
    std::vector<std::string>& fLog;
};

class Scene {
public:
    Scene() : form(backend, 0) {
        form.SetBounds(0, 0, 100, 60);
        container = new TDIBContainer(&form);
        container->SetParent(&form);
        container->SetBounds(0, 0, 100, 60);
        container->SetColor(0xFF0000);  // blue background
    }
    ProbeControl* Probe(const char* name, int l, int t, int w, int h) {
        auto* p = new ProbeControl(&form, log, name);
        p->SetBounds(l, t, w, h);
        return p;
    }
    uintptr_t Window() const { return container->Handle(); }
    // The screen pixel at (x, y) of the form after pending paints.
    uint32_t Screen(int x, int y) {
        backend.PaintPending();
        auto shot = backend.Capture(form.Handle());
        const uint8_t* p = shot->Bits() + (static_cast<size_t>(shot->Height() - 1 - y) * shot->Width() + x) * 4;
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
    }

    std::vector<std::string> log;  // outlives the controls
    platform::HeadlessBackend backend;
    platform::Form form;
    TDIBContainer* container;
};

}  // namespace toolkit::test
