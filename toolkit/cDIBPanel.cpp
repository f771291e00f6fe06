#include "toolkit/cDIBPanel.h"

#include <algorithm>

#include "platform/Form.h"
#include "toolkit/cDIBDial.h"
#include "toolkit/cDIBImage.h"
#include "toolkit/cDIBTimer.h"

namespace toolkit {

TCustomDIBContainer::TCustomDIBContainer(platform::Component* owner) : platform::Panel(owner) { ResizeMain(); }

TCustomDIBContainer::~TCustomDIBContainer() {
    SetDIBBorder(nullptr);
    fActive = nullptr;
    fTabList.clear();
}

const platform::ClassInfo& TCustomDIBContainer::StaticClass() {
    static const platform::ClassInfo info = [] {
        platform::ClassBuilder<TCustomDIBContainer> b("TCustomDIBContainer", &platform::Panel::StaticClass());
        b.Enum("BorderDrawPosition", &TCustomDIBContainer::BorderDrawPosition,
               [](TCustomDIBContainer& c, int v) { c.SetBorderDrawPosition(static_cast<TBorderDrawPosition>(v)); },
               {"bdOverControls", "bdUnderControls"})
            .Default(platform::Value::Identifier("bdOverControls"));
        b.Raw(
             "DIBBorder",
             [](const TCustomDIBContainer& c) {
                 return platform::Value::Identifier(c.fBorder ? c.fBorder->Name() : c.fPendingBorder);
             },
             [](TCustomDIBContainer& c, const platform::Value& v) {
                 const std::string& name = v.AsIdentifier();
                 if (c.IsLoading()) {
                     c.fPendingBorder = name;
                     return;
                 }
                 auto* border = c.Root()->Find<TDIBBorder>(name);
                 if (!border) throw platform::ValueError("'" + name + "' is not a border");
                 c.SetDIBBorder(border);
             })
            .StoredWhen([](const TCustomDIBContainer& c) { return c.fBorder || !c.fPendingBorder.empty(); });
        platform::AddEventProperty(b, "BeforePaint", &TCustomDIBContainer::BeforePaint);
        platform::AddEventProperty(b, "AfterPaint", &TCustomDIBContainer::AfterPaint);
        platform::AddEventProperty(b, "OnActiveControlChange", &TCustomDIBContainer::OnActiveControlChange);
        return b.Build();
    }();
    return info;
}

const platform::ClassInfo& TDIBContainer::StaticClass() {
    static const platform::ClassInfo info =
        platform::ClassBuilder<TDIBContainer>("TDIBContainer", &TCustomDIBContainer::StaticClass()).Creatable().Build();
    return info;
}

void TDIBContainer::RegisterClasses() {
    platform::ClassRegistry::Register(StaticClass());
    platform::ClassRegistry::Register(TDIBImage::StaticClass());
    TDIBDial::RegisterClass();
    TDIBBorder::RegisterClass();
    TDIBTimer::RegisterClass();
}

void TCustomDIBContainer::SetBorderDrawPosition(TBorderDrawPosition pos) {
    if (pos == fBorderPos) return;
    fBorderPos = pos;
    InvalidateRect(ClientRect(), false);
}

void TCustomDIBContainer::SetDIBBorder(TDIBBorder* border) {
    fPendingBorder.clear();
    if (border == fBorder) return;
    if (fBorder) {
        fBorder->RemoveUser(this);
        fBorder->RemoveFreeNotification(this);
    }
    fBorder = border;
    if (fBorder) {
        fBorder->AddUser(this);
        fBorder->FreeNotification(this);
    }
    InvalidateRect(ClientRect(), false);
}

void TCustomDIBContainer::Notification(platform::Component* component) {
    platform::Panel::Notification(component);
    if (component != fBorder) return;
    fBorder = nullptr;
    InvalidateRect(ClientRect(), false);
}

void TCustomDIBContainer::ResizeMain() {
    const platform::Rect client = PaintScale().ToPhysical(ClientRect());
    fMain.SetSize(static_cast<uint16_t>(std::clamp(client.right, 1, 65535)),
                  static_cast<uint16_t>(std::clamp(client.bottom, 1, 65535)));
}

void TCustomDIBContainer::BoundsChanged() {
    platform::Panel::BoundsChanged();
    if (!IsLoading()) ResizeMain();
}

void TCustomDIBContainer::Loaded() {
    platform::Panel::Loaded();
    ResizeMain();
    if (!fPendingBorder.empty()) {
        // A name that is no border of this form leaves the container without.
        auto* border = Root()->Find<TDIBBorder>(fPendingBorder);
        fPendingBorder.clear();
        SetDIBBorder(border);
    }
    // The stored orders of the toolkit children, lowest first; -1 stays out.
    std::vector<TCustomDIBControl*> ordered;
    for (platform::Control* c : Controls())
        if (auto* t = dynamic_cast<TCustomDIBControl*>(c); t && t->StoredTabOrder() >= 0) ordered.push_back(t);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](auto* a, auto* b) { return a->StoredTabOrder() < b->StoredTabOrder(); });
    fTabList = ordered;
    for (size_t i = 0; i < fTabList.size(); ++i) fTabList[i]->SetDIBTabOrder(static_cast<int16_t>(i));
}

// --- Tab list and focus ------------------------------------------------------

int TCustomDIBContainer::SetTabIndex(TCustomDIBControl& control, int index) {
    RemoveFromTabList(control);
    if (index < 0) return -1;
    const size_t at = std::min(static_cast<size_t>(index), fTabList.size());
    fTabList.insert(fTabList.begin() + static_cast<std::ptrdiff_t>(at), &control);
    return static_cast<int>(at);
}

void TCustomDIBContainer::RemoveFromTabList(TCustomDIBControl& control) { std::erase(fTabList, &control); }

void TCustomDIBContainer::ForgetControl(TCustomDIBControl& control) {
    RemoveFromTabList(control);
    if (fActive == &control) fActive = nullptr;
}

void TCustomDIBContainer::SetActiveControl(TCustomDIBControl* control) {
    if (control == fActive || fActivating) return;
    fActivating = true;
    TCustomDIBControl* old = fActive;
    fActive = control;
    try {
        if (old) old->DIBExit();
        if (control) control->DIBEnter();
        OnActiveControlChange(this);
    } catch (...) {
        // Not swallowed: the re-entry guard comes down, the caller sees it.
        fActivating = false;
        throw;
    }
    fActivating = false;
}

void TCustomDIBContainer::SelectNext(bool forward) {
    const int n = static_cast<int>(fTabList.size());
    if (n == 0) return;
    const auto it = std::find(fTabList.begin(), fTabList.end(), fActive);
    int i = it == fTabList.end() ? (forward ? -1 : n) : static_cast<int>(it - fTabList.begin());
    for (int step = 0; step < n; ++step) {
        i = (i + (forward ? 1 : -1) + n) % n;
        TCustomDIBControl* c = fTabList[static_cast<size_t>(i)];
        if (c->Enabled() && c->Visible()) {
            SetActiveControl(c);
            return;
        }
    }
}

bool TCustomDIBContainer::ActiveWants(platform::Key key, bool character) const {
    if (!fActive) return false;
    const uint8_t flags = fActive->DialogFlags();
    if (flags & dcWantAllKeys) return true;
    if (key == platform::vkTab) return (flags & dcWantTab) != 0;
    if (!character && key >= platform::vkLeft && key <= platform::vkDown) return (flags & dcWantArrows) != 0;
    // Enter and Escape belong to the dialog unless the control wants all.
    return key != platform::vkReturn && key != platform::vkEscape;
}

void TCustomDIBContainer::KeyDown(platform::Key& key, platform::ShiftState shift) {
    if (ActiveWants(key, false)) {
        fActive->KeyDown(key, shift);
        return;
    }
    if (key == platform::vkTab && !fTabList.empty()) {
        SelectNext((shift & platform::ssShift) == 0);
        key = 0;
        return;
    }
    platform::Panel::KeyDown(key, shift);
}

bool TCustomDIBContainer::Accelerate(char key) {
    platform::Backend* backend = GetBackend();
    if (!key || !backend || !(backend->KeyboardState() & platform::ssAlt) || !Enabled() || !Visible()) return false;
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    const std::vector<platform::Control*> controls = Controls();
    for (platform::Control* c : controls) {
        auto* t = dynamic_cast<TCustomDIBControl*>(c);
        if (t && t->Accelerator() && upper(t->Accelerator()) == upper(key) && t->Enabled() && t->Visible()) {
            t->Click();
            return true;
        }
    }
    return false;
}

void TCustomDIBContainer::KeyPress(char& key) {
    if (Accelerate(key)) {
        key = 0;
        return;
    }
    if (ActiveWants(static_cast<unsigned char>(key), true)) {
        fActive->KeyPress(key);
        return;
    }
    platform::Panel::KeyPress(key);
}

void TCustomDIBContainer::KeyUp(platform::Key& key, platform::ShiftState shift) {
    if (ActiveWants(key, false)) {
        fActive->KeyUp(key, shift);
        return;
    }
    platform::Panel::KeyUp(key, shift);
}

unsigned TCustomDIBContainer::DialogCode() {
    if (!fActive) return 0;
    const uint8_t flags = fActive->DialogFlags();
    if (flags & dcWantAllKeys) return platform::dlgcWantAllKeys;
    unsigned code = 0;
    if (flags & dcWantTab) code |= platform::dlgcWantTab;
    if (flags & dcWantArrows) code |= platform::dlgcWantArrows;
    return code;
}

void TCustomDIBContainer::DoEnter() {
    if (!fActive && !fTabList.empty()) {
        platform::Backend* backend = GetBackend();
        const bool back = backend && (backend->KeyboardState() & platform::ssShift);
        SetActiveControl(back ? fTabList.back() : fTabList.front());
    }
    platform::Panel::DoEnter();
}

void TCustomDIBContainer::DoExit() {
    SetActiveControl(nullptr);
    platform::Panel::DoExit();
}

// --- Paint -------------------------------------------------------------------

// Two surfaces: the larger keeps its size, the other takes each new one. A
// picture as large as the panel under small controls (a skin's chassis)
// then makes no new surface of megabytes, zeroed by the system, on every
// paint.
TWinDIB& TCustomDIBContainer::ScratchFor(int w, int h) {
    for (TWinDIB* s : {&fScratch, &fSpareScratch})
        if (s->HasPixels() && s->Width() == w && s->Height() == h) return *s;
    const auto area = [](const TWinDIB& s) { return s.HasPixels() ? int64_t{s.Width()} * s.Height() : 0; };
    TWinDIB& s = area(fScratch) <= area(fSpareScratch) ? fScratch : fSpareScratch;
    s.SetSize(static_cast<uint16_t>(w), static_cast<uint16_t>(h));
    return s;
}

void TCustomDIBContainer::PaintWindow(platform::DeviceContext& dc, const platform::Rect& paintRect, bool carriesDC) {
    // paintRect and everything painted are physical pixels; the controls'
    // places and the grown update rectangle are logical ones.
    const platform::PixelScale scale = PaintScale();
    const platform::Rect client = scale.ToPhysical(ClientRect());
    platform::Rect update = paintRect;
    const bool secondPass = fSecondPass || carriesDC;
    fSecondPass = false;
    if (!secondPass) {
        platform::Rect grown = scale.ToLogical(paintRect);
        for (platform::Control* c : Controls())
            if (auto* t = dynamic_cast<TCustomDIBControl*>(c); t && t->Visible()) t->AdjustUpdateRect(grown);
        grown = grown.Intersect(ClientRect());
        update = scale.ToPhysical(grown);
        if (update.left != paintRect.left || update.top != paintRect.top || update.right != paintRect.right ||
            update.bottom > paintRect.bottom + 2 || update.bottom < paintRect.bottom - 2) {
            ValidateRect(scale.ToLogical(paintRect));
            InvalidateRect(grown, false);
            fSecondPass = true;
            return;
        }
    }
    if (fMain.Width() != client.right || fMain.Height() != client.bottom) ResizeMain();
    update = update.Intersect(client);
    fUpdate = update;
    if (update.IsEmpty()) return;
    platform::DeviceContext* mainDC = fMain.DC();
    if (!mainDC) return;
    fMain.SetClipRect({update.left, update.top, update.right - 1, update.bottom - 1});
    mainDC->SetOrigin({0, 0});
    mainDC->SetClip(update);

    BeforePaint(this, fMain);

    // Background, unless opaque children cover the update rectangle.
    bool covered = false;
    for (platform::Control* c : Controls())
        if (!c->IsWindowed() && c->Visible() && c->IsOpaque() &&
            scale.ToPhysical(c->BoundsRect()).Intersect(update) == update)
            covered = true;
    if (!covered)
        fMain.FillRect(update.left, update.top, update.Width(), update.Height(), platform::ResolveColor(GetColor()));
    if (fBorder && fBorderPos == bdUnderControls) fBorder->Draw(fMain, client);

    // A copy: a paint handler may change the z-order.
    const std::vector<platform::Control*> controls = Controls();
    for (platform::Control* c : controls) {
        if (c->IsWindowed() || !c->Visible()) continue;
        const platform::Rect bounds = scale.ToPhysical(c->BoundsRect());
        const platform::Rect visible = bounds.Intersect(update);
        if (visible.IsEmpty()) continue;
        if (auto* t = dynamic_cast<TCustomDIBControl*>(c)) {
            TWinDIB& scratch = ScratchFor(std::clamp(bounds.Width(), 1, 65535), std::clamp(bounds.Height(), 1, 65535));
            scratch.ResetSettings();
            scratch.SetClipRect({visible.left - bounds.left, visible.top - bounds.top, visible.right - bounds.left - 1,
                                 visible.bottom - bounds.top - 1});
            t->PaintOnto(fMain, scratch);
        } else {
            platform::WinControl::PaintControl(*c, *mainDC, update);
        }
    }

    if (fBorder && fBorderPos == bdOverControls) fBorder->Draw(fMain, client);
    AfterPaint(this, fMain);
    mainDC->ResetClip();
    fMain.ResetClipRect();
    fMain.Render(dc, update.left, update.top, update);
}

}  // namespace toolkit
