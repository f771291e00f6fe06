#include "editor/TPluginEditorWindow.h"

#include <stdexcept>

#include "editor/EditorActions.h"
#include "toolkit/cDIBDial.h"
#include "toolkit/cDIBImageList.h"
#include "toolkit/cDIBPanel.h"

namespace trv4 {

namespace {

using platform::Component;

// The read-out labels and the parameter each shows.
struct ReadoutName {
    const char* name;
    int index;
};
constexpr ReadoutName kReadoutNames[] = {
    {"Label1", kDelay},     {"Label2", kLevel}, {"Label3", kMix},    {"Label4", kRate1},  {"Label5", kDepth},
    {"Label6", kAM},        {"Label7", kRate2}, {"Label8", kOffset}, {"Label9", kPan},    {"Label10", kHostOffset},
    {"Label11", kFeedback}, {"Label12", kHigh}, {"Label13", kLow},   {"Label14", kHiCut},
};

struct SwitchNames {
    const char* on;
    const char* off;
    int index;
};
constexpr SwitchNames kSwitchNames[] = {
    {"MonoOn", "MonoOff", kMono},
    {"dbOn", "dbOff", kMinus20dB},
    {"SpreadOn", "SpreadOff", kSpread},
    {"EnableOn", "EnableOff", kSync},
};

template <typename T>
T& Require(const Component& root, const std::string& name) {
    T* c = root.Find<T>(name);
    if (!c) throw std::runtime_error("the editor description has no control '" + name + "' of the expected class");
    return *c;
}

}  // namespace

TPluginEditorWindow::TPluginEditorWindow(platform::Backend& backend, uintptr_t parent, std::string_view description)
    : Form(backend, parent) {
    RegisterClasses();
    RegisterMethods();
    Load(description);
    FindControls();
}

TPluginEditorWindow::~TPluginEditorWindow() {
    // The controls go while the window whose handlers they call is whole.
    host_ = nullptr;
    DestroyComponents();
}

const platform::ClassInfo& TPluginEditorWindow::StaticClass() {
    static const platform::ClassInfo info =
        platform::ClassBuilder<TPluginEditorWindow>("TPluginEditorWindow", &Form::StaticClass()).Build();
    return info;
}

void TPluginEditorWindow::RegisterClasses() {
    toolkit::TDIBContainer::RegisterClasses();
    toolkit::TDIBImageList::RegisterClass();
    toolkit::TDIBDial::RegisterClass();
}

void TPluginEditorWindow::RegisterMethods() {
    using Notify = void(Component*);
    using Mouse = void(Component*, platform::MouseButton, platform::ShiftState, int, int);
    RegisterMethod<Notify>("FormCreate", [this](Component* s) { FormCreate(s); });
    RegisterMethod<Notify>("FormPaint", [this](Component* s) { FormPaint(s); });
    RegisterMethod<Notify>("KnobControlChange", [this](Component* s) { KnobControlChange(s); });
    RegisterMethod<Notify>("LogoClick", [this](Component* s) { LogoClick(s); });
    RegisterMethod<Notify>("UsersManualClick", [this](Component* s) { UsersManualClick(s); });
    RegisterMethod<Notify>("AboutClick", [this](Component* s) { AboutClick(s); });
    RegisterMethod<Mouse>("ControlMouseDown", [this](Component* s, platform::MouseButton b, platform::ShiftState sh,
                                                     int x, int y) { ControlMouseDown(s, b, sh, x, y); });
    RegisterMethod<Mouse>("ButtonClick", [this](Component* s, platform::MouseButton b, platform::ShiftState sh, int x,
                                                int y) { ButtonClick(s, b, sh, x, y); });
}

void TPluginEditorWindow::FindControls() {
    for (Component* c : Components()) {
        auto* knob = dynamic_cast<toolkit::TDIBDial*>(c);
        if (knob && knob->Tag() >= 0 && knob->Tag() < kNumParams) knobs_[knob->Tag()] = knob;
    }
    for (int index : kKnobOrder)
        if (!knobs_[index])
            throw std::runtime_error("the editor description has no knob for parameter " + std::to_string(index));
    for (const ReadoutName& r : kReadoutNames) readouts_[r.index] = &Require<platform::Label>(*this, r.name);
    for (size_t i = 0; i < switches_.size(); ++i) {
        const SwitchNames& s = kSwitchNames[i];
        switches_[i] = {&Require<platform::Image>(*this, s.on), &Require<platform::Image>(*this, s.off), s.index};
    }
    for (int n = 1; n <= 10; ++n) {
        waves1_[n] = &Require<platform::Image>(*this, "LWF" + std::to_string(n));
        waves2_[n] = &Require<platform::Image>(*this, "RWF" + std::to_string(n));
    }
    meter_ = &Require<platform::Image>(*this, "Meter");
    Require<toolkit::TDIBContainer>(*this, "DIBContainer1");

    // The wheel and the release are not part of the stored description:
    // every knob takes them.
    for (int index : kKnobOrder) {
        knobs_[index]->OnMouseWheel.Set([this](Component* s, int notches, platform::ShiftState shift, bool& handled) {
            KnobMouseWheel(s, notches, shift, handled);
        });
        knobs_[index]->OnMouseUp.Set([this](Component* s, platform::MouseButton b, platform::ShiftState sh, int x,
                                            int y) { ControlMouseUp(s, b, sh, x, y); });
    }
    AttachSizeMenu();
}

void TPluginEditorWindow::FormCreate(Component*) {
    // Our read-outs are formatted without the process locale, so there is
    // no format record to load here.
    hostTempo_ = 0.0;
    updating_ = false;
    shown_.fill(-1.0f);
    meterSegmentCount_ = 0;
    lastSegmentCount_ = 0;
    meterLevel_ = 1e-20f;
}

void TPluginEditorWindow::FormPaint(Component*) {
    if (auto* container = Find<toolkit::TDIBContainer>("DIBContainer1"))
        container->InvalidateRect(container->ClientRect(), false);
}

void TPluginEditorWindow::LogoClick(Component*) { trv4::LogoClick(GetBackend()->System(), Handle()); }

void TPluginEditorWindow::UsersManualClick(Component*) { trv4::UsersManualClick(GetBackend()->System(), Handle()); }

void TPluginEditorWindow::AboutClick(Component*) { trv4::AboutClick(GetBackend()->System(), Handle()); }

}  // namespace trv4
