#include "toolkit/cDIBControl.h"

#include <algorithm>
#include <stdexcept>

#include "toolkit/cDIBPanel.h"

namespace toolkit {

namespace {

// The container itself, or the first container among its owned components.
TCustomDIBContainer* ContainerOf(platform::Component* c) {
    if (auto* container = dynamic_cast<TCustomDIBContainer*>(c)) return container;
    for (platform::Component* owned : c->Components())
        if (auto* container = dynamic_cast<TCustomDIBContainer*>(owned)) return container;
    return nullptr;
}

platform::Component* CheckedOwner(platform::Component* owner) {
    if (!owner) throw std::runtime_error("Owner cannot be nil");
    if (!ContainerOf(owner)) throw std::runtime_error("Parent must be a TDIBContainer");
    return owner;
}

unsigned ButtonBit(platform::MouseButton b) { return 1u << static_cast<unsigned>(b); }

}  // namespace

TCustomDIBControl::TCustomDIBControl(platform::Component* owner)
    : platform::Control(CheckedOwner(owner)),
      fFeatures(std::make_unique<TDIBFeatures>(*this)),
      fTimer(std::make_unique<TDIBTimer>(this)) {
    fTimer->SetInterval(fRepeatPeriod);
    fTimer->SetOnTimer([this](platform::Component*) { RepeatTick(); });
    if (!owner->IsLoading()) SetParent(ContainerOf(owner));
}

TCustomDIBControl::~TCustomDIBControl() {
    fDestroying = true;
    for (auto& link : fLinks) link->SetOwnerDestroying(true);
    if (fImageList) fImageList->RemoveFreeNotification(this);
    if (TCustomDIBContainer* c = Container()) c->ForgetControl(*this);
    fTimer.reset();
    fLinks.clear();
}

const platform::ClassInfo& TCustomDIBControl::StaticClass() {
    static const platform::ClassInfo info = [] {
        using platform::Value;
        platform::ClassBuilder<TCustomDIBControl> b("TCustomDIBControl", &platform::Control::StaticClass());
        b.Integer(
             "Opacity", &TCustomDIBControl::Opacity,
             [](TCustomDIBControl& c, int v) { c.SetOpacity(static_cast<uint8_t>(v)); }, 0, 255)
            .Default(Value::Integer(255));
        b.Raw(
             "DIBImageList",
             [](const TCustomDIBControl& c) {
                 return Value::Identifier(c.fImageList ? c.fImageList->Name() : c.fPendingList);
             },
             [](TCustomDIBControl& c, const Value& v) {
                 const std::string& name = v.AsIdentifier();
                 if (c.IsLoading()) {
                     c.fPendingList = name;
                     return;
                 }
                 auto* list = c.Root()->Find<TCustomDIBImageList>(name);
                 if (!list) throw platform::ValueError("'" + name + "' is not an image list");
                 c.SetDIBImageList(list);
             })
            .StoredWhen([](const TCustomDIBControl& c) { return c.fImageList || !c.fPendingList.empty(); });
        b.Integer(
             "DIBTabOrder", &TCustomDIBControl::DIBTabOrder,
             [](TCustomDIBControl& c, int v) { c.SetDIBTabOrder(static_cast<int16_t>(v)); }, -32768, 32767)
            .Default(Value::Integer(-1));
        b.Integer(
             "Accelerator", [](const TCustomDIBControl& c) { return static_cast<unsigned char>(c.fAccelerator); },
             [](TCustomDIBControl& c, int v) { c.fAccelerator = static_cast<char>(v); }, 0, 255)
            .Default(Value::Integer(0));
        platform::AddEventProperty(b, "OnPaintStart", &TCustomDIBControl::OnPaintStart);
        platform::AddEventProperty(b, "OnPaintEnd", &TCustomDIBControl::OnPaintEnd);
        platform::AddEventProperty(b, "OnEnter", &TCustomDIBControl::OnEnter);
        platform::AddEventProperty(b, "OnExit", &TCustomDIBControl::OnExit);
        return b.Build();
    }();
    return info;
}

TCustomDIBContainer* TCustomDIBControl::Container() const { return dynamic_cast<TCustomDIBContainer*>(Parent()); }

void TCustomDIBControl::SetOpacity(uint8_t opacity) {
    if (opacity == fOpacity) return;
    fOpacity = opacity;
    Invalidate();
}

void TCustomDIBControl::SetDIBImageList(TCustomDIBImageList* list) {
    fPendingList.clear();
    if (list == fImageList) return;
    if (fImageList) fImageList->RemoveFreeNotification(this);
    fImageList = list;
    if (fImageList) fImageList->FreeNotification(this);
    for (auto& link : fLinks) link->SetDIBImageList(list);
    Invalidate();
}

void TCustomDIBControl::Notification(platform::Component* component) {
    if (component != fImageList) return;
    // The list's destructor has already detached the links from it.
    fImageList = nullptr;
    Invalidate();
}

TDIBImageLink& TCustomDIBControl::CreateLink() {
    fLinks.push_back(std::make_unique<TDIBImageLink>(this));
    TDIBImageLink& link = *fLinks.back();
    link.OnImageChanged = [this](TDIBImageLink& changed) {
        if (!fDestroying) ImageChanged(changed);
    };
    link.SetDIBImageList(fImageList);
    return link;
}

void TCustomDIBControl::SetDIBTabOrder(int16_t order) {
    TCustomDIBContainer* c = Container();
    if (!c || IsLoading()) {
        fTabOrder = order;
        return;
    }
    fTabOrder = static_cast<int16_t>(c->SetTabIndex(*this, order));
}

void TCustomDIBControl::SetRepeatPeriod(unsigned ms) {
    fRepeatPeriod = ms;
    fTimer->SetInterval(ms);
}

bool TCustomDIBControl::ButtonHeld(platform::MouseButton button) const { return (fButtons & ButtonBit(button)) != 0; }

void TCustomDIBControl::SetParent(platform::WinControl* parent) {
    TCustomDIBContainer* container = nullptr;
    if (parent) {
        container = ContainerOf(parent);
        if (!container) throw std::runtime_error("Parent must be a TDIBContainer");
    }
    if (container == Parent()) return;
    if (TCustomDIBContainer* old = Container()) {
        if (old->ActiveControl() == this) old->SetActiveControl(nullptr);
        old->RemoveFromTabList(*this);
    }
    platform::Control::SetParent(container);
    SetDIBTabOrder(fTabOrder);
}

void TCustomDIBControl::SetBounds(int left, int top, int width, int height) {
    const int dx = left - Left(), dy = top - Top();
    platform::Control::SetBounds(left, top, width, height);
    if ((dx == 0 && dy == 0) || fMovingChildren) return;
    fMovingChildren = true;
    for (platform::Control* child : fChildren)
        if (child != this) child->SetBounds(child->Left() + dx, child->Top() + dy, child->Width(), child->Height());
    fMovingChildren = false;
}

void TCustomDIBControl::SetVisible(bool visible) {
    platform::Control::SetVisible(visible);
    // A hidden control gets no release: its press ends here.
    if (!visible) AbortPress();
}

void TCustomDIBControl::AbortPress() {
    const bool pressed = fHasPress || fButtons != 0;
    fTimer->SetEnabled(false);
    fHasPress = false;
    fButtons = 0;
    if (pressed) PressAborted();
}

void TCustomDIBControl::SetEnabled(bool enabled) {
    platform::Control::SetEnabled(enabled);
    if (!enabled) AbortPress();
    if (!enabled && fFocused) {
        TCustomDIBContainer* c = Container();
        if (c && c->ActiveControl() == this) {
            c->SetActiveControl(nullptr);
        } else {
            DIBExit();
        }
    }
}

void TCustomDIBControl::Loaded() {
    platform::Control::Loaded();
    ResolvePendingList();
    fFeatures->InitializeAll();
}

void TCustomDIBControl::ResolvePendingList() {
    if (fPendingList.empty()) return;
    // A name that is not a list of this form leaves the control without
    // images: it draws nothing, as with a missing image.
    auto* list = Root()->Find<TCustomDIBImageList>(fPendingList);
    fPendingList.clear();
    SetDIBImageList(list);
}

// --- Focus -------------------------------------------------------------------

void TCustomDIBControl::SetDIBFocus() {
    if (TCustomDIBContainer* c = Container()) {
        if (Enabled()) c->SetActiveControl(this);
    }
}

void TCustomDIBControl::DIBEnter() {
    if (fFocused || !Enabled()) return;
    const bool wasActive = fHot;
    fFocused = true;
    if (TCustomDIBContainer* c = Container()) {
        c->SetActiveControl(this);
        c->SetFocus();
    }
    if (!wasActive) Highlight();
    OnEnter(this);
}

void TCustomDIBControl::DIBExit() {
    if (!fFocused) return;
    fFocused = false;
    OnExit(this);
    if (!fHot) Unhighlight();
}

// --- Mouse -------------------------------------------------------------------

void TCustomDIBControl::MouseDown(platform::MouseButton button, platform::ShiftState shift, int x, int y) {
    if (!fFeatures->Dispatch({TDIBMessage::dmMouseDown, button, shift, x, y})) DIBMouseDown(button, shift, x, y);
}

void TCustomDIBControl::MouseMove(platform::ShiftState shift, int x, int y) {
    if (!fFeatures->Dispatch({TDIBMessage::dmMouseMove, platform::MouseButton::Left, shift, x, y}))
        DIBMouseMove(shift, x, y);
}

void TCustomDIBControl::MouseUp(platform::MouseButton button, platform::ShiftState shift, int x, int y) {
    if (!fFeatures->Dispatch({TDIBMessage::dmMouseUp, button, shift, x, y})) DIBMouseUp(button, shift, x, y);
}

void TCustomDIBControl::Click() {
    if (!fFeatures->Dispatch({TDIBMessage::dmClick})) DIBClick();
}

void TCustomDIBControl::MouseEnter() {
    if (!fFeatures->Dispatch({TDIBMessage::dmMouseEnter})) DIBMouseEnter();
}

void TCustomDIBControl::MouseLeave() {
    if (!fFeatures->Dispatch({TDIBMessage::dmMouseLeave})) DIBMouseLeave();
}

bool TCustomDIBControl::MouseWheel(int delta, platform::ShiftState shift, int x, int y) {
    TDIBMessage m{TDIBMessage::dmMouseWheel, platform::MouseButton::Left, shift, x, y};
    m.wheelDelta = delta;
    if (fFeatures->Dispatch(m)) return true;
    return DIBMouseWheel(delta, shift, x, y);
}

void TCustomDIBControl::DIBMouseDown(platform::MouseButton button, platform::ShiftState shift, int x, int y) {
    if (button == platform::MouseButton::Left) {
        fHasPress = true;
        fPressButton = button;
        fPressShift = shift;
        fMousePos = {x, y};
        if (fAutoRepeat && !fTimer->Enabled()) {
            fStopRequested = false;
            fTimer->SetEnabled(true);
        }
    }
    fShift = shift;
    fButtons |= ButtonBit(button);
    if (fTabOrder >= 0) SetDIBFocus();
    platform::Control::MouseDown(button, shift, x, y);
}

void TCustomDIBControl::DIBMouseMove(platform::ShiftState shift, int x, int y) {
    fMousePos = {x, y};
    fShift = shift;
    platform::Control::MouseMove(shift, x, y);
}

void TCustomDIBControl::DIBMouseUp(platform::MouseButton button, platform::ShiftState shift, int x, int y) {
    fButtons &= ~ButtonBit(button);
    fShift = shift;
    if (button == platform::MouseButton::Left) {
        fTimer->SetEnabled(false);
        fHasPress = false;
    }
    platform::Control::MouseUp(button, shift, x, y);
    if (button == platform::MouseButton::Left) DeferredLeave();
    if (button == platform::MouseButton::Right && ClientRect().Contains({x, y})) ContextPopup(x, y);
}

TDIBPopupMenu& TCustomDIBControl::SharedPopupMenu() {
    static TDIBPopupMenu menu;
    return menu;
}

bool TCustomDIBControl::ContextPopup(int x, int y) {
    TDIBPopupMenu* menu = fPopupMenu;
    if (!menu) {
        menu = &SharedPopupMenu();
        menu->items.clear();
        FillSharedPopup(*menu);
        SharedPopupFilled(*menu);
    }
    if (menu->items.empty()) return false;
    OnContextPopup(this, *menu, x, y);
    return true;
}

void TCustomDIBControl::DeferredLeave() {
    if (!fHot || fOver || MouseCaptured()) return;
    fHot = false;
    platform::Control::MouseLeave();
    if (!fFocused) Unhighlight();
}

void TCustomDIBControl::DIBClick() {
    platform::Control::Click();
    if (fTabOrder >= 0 && !fFocused) SetDIBFocus();
}

void TCustomDIBControl::DIBMouseEnter() {
    const bool wasActive = fFocused || fHot;
    fOver = fHot = true;
    if (!wasActive) Highlight();
    // Also when the pointer comes back during the press, although the leave
    // notice waits for the release; the repeat resumes then.
    platform::Control::MouseEnter();
    if (MouseCaptured() && fAutoRepeat && fHasPress && !fTimer->Enabled()) fTimer->SetEnabled(true);
}

void TCustomDIBControl::DIBMouseLeave() {
    fTimer->SetEnabled(false);
    fOver = false;
    if (MouseCaptured()) return;
    if (!fHot) return;
    fHot = false;
    platform::Control::MouseLeave();
    if (!fFocused) Unhighlight();
}

void TCustomDIBControl::RepeatTick() {
    if (fStopRequested) {
        fStopRequested = false;
        fTimer->SetEnabled(false);
        return;
    }
    if (fHasPress) MouseDown(fPressButton, fPressShift, fMousePos.x, fMousePos.y);
}

// --- Paint -------------------------------------------------------------------

void TCustomDIBControl::PaintOnto(TWinDIB& main, TWinDIB& scratch) {
    // What lies beneath (unless the control covers it all); parts outside
    // the container stay as they are. All in the container's physical
    // pixels.
    const platform::Rect at = PaintScale().ToPhysical(BoundsRect());
    const int sx = std::max(0, at.left), sy = std::max(0, at.top);
    if (!IsOpaque())
        main.CopyRegion(sx - at.left, sy - at.top, at.Width() - (sx - at.left), at.Height() - (sy - at.top), scratch,
                        sx, sy);
    fSurface = &scratch;
    try {
        OnPaintStart(this, scratch);
        PaintDIB(scratch);
        OnPaintEnd(this, scratch);
    } catch (...) {
        // Not swallowed: the surface is lent for this paint only.
        fSurface = nullptr;
        throw;
    }
    fSurface = nullptr;
    scratch.SetOpacity(fOpacity);
    scratch.Draw(main, at.left, at.top);
}

}  // namespace toolkit
