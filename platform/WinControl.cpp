#include "platform/WinControl.h"

#include <algorithm>
#include <exception>

#include "platform/Form.h"

namespace platform {

WinControl::WinControl(Component* owner) : Control(owner) {}

WinControl::~WinControl() {
    for (Control* c : controls_) c->parent_ = nullptr;
    controls_.clear();
    native_.reset();
}

const ClassInfo& WinControl::StaticClass() {
    static const ClassInfo info = [] {
        ClassBuilder<WinControl> b("TWinControl", &Control::StaticClass());
        AddColorProperty(b, "Color", &Control::GetColor, &Control::SetColor);
        b.Default(Value::Identifier("clBtnFace"));
        AddEventProperty(b, "OnEnter", &WinControl::OnEnter);
        AddEventProperty(b, "OnExit", &WinControl::OnExit);
        return b.Build();
    }();
    return info;
}

const ClassInfo& Panel::StaticClass() {
    static const ClassInfo info = ClassBuilder<Panel>("TPanel", &WinControl::StaticClass()).Creatable().Build();
    return info;
}

Backend* FindBackend(Component* component) {
    for (Component* c = component; c; c = c->Owner())
        if (auto* w = dynamic_cast<WinControl*>(c))
            if (Backend* backend = w->GetBackend()) return backend;
    return nullptr;
}

Control* WinControl::ControlAt(Point p) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        Control* c = *it;
        if (!c->IsWindowed() && c->Visible() && c->Enabled() && c->BoundsRect().Contains(p)) return c;
    }
    return nullptr;
}

Backend* WinControl::GetBackend() const { return Parent() ? Parent()->GetBackend() : nullptr; }

uintptr_t WinControl::ParentHandle() const { return Parent() ? Parent()->Handle() : 0; }

void WinControl::CreateHandle() {
    if (native_) return;
    Backend* backend = GetBackend();
    const uintptr_t parent = ParentHandle();
    if (!backend || (Parent() && !parent)) return;
    native_ = backend->CreateNativeWindow(parent, PaintScale().ToPhysical(BoundsRect()), *this);
    if (!Visible()) native_->Show(false);
    for (Control* c : controls_)
        if (c->IsWindowed()) static_cast<WinControl*>(c)->CreateHandle();
}

void WinControl::DestroyHandle() {
    for (Control* c : controls_)
        if (c->IsWindowed()) static_cast<WinControl*>(c)->DestroyHandle();
    capture_ = hover_ = nullptr;
    native_.reset();
}

void WinControl::BoundsChanged() {
    if (native_) native_->SetBounds(PaintScale().ToPhysical(BoundsRect()));
}

PixelScale WinControl::PaintScale() const { return Parent() ? Parent()->PaintScale() : scale_; }

void WinControl::SetPaintScale(PixelScale scale) {
    scale_ = scale;
    const std::function<void(WinControl&)> resize = [&](WinControl& w) {
        w.BoundsChanged();
        for (Control* c : w.controls_)
            if (c->IsWindowed()) resize(static_cast<WinControl&>(*c));
        w.InvalidateRect(w.ClientRect(), false);
    };
    resize(*this);
}

void WinControl::SetParent(WinControl* parent) {
    if (parent == Parent()) return;
    DestroyHandle();
    Control::SetParent(parent);
    if (parent && parent->HasHandle() && !IsLoading()) CreateHandle();
}

void WinControl::SetVisible(bool visible) {
    Control::SetVisible(visible);
    if (native_) native_->Show(visible);
}

void WinControl::AdoptStreamed(Component* child) {
    if (auto* control = dynamic_cast<Control*>(child)) control->SetParent(this);
}

void WinControl::Loaded() {
    Control::Loaded();
    if (!native_ && Parent() && Parent()->HasHandle()) CreateHandle();
}

void WinControl::SetFocus() {
    if (native_) native_->SetFocus();
}

void WinControl::InvalidateRect(const Rect& rect, bool erase) {
    if (native_) native_->Invalidate(PaintScale().ToPhysical(rect), erase);
}

void WinControl::ValidateRect(const Rect& rect) {
    if (native_) native_->Validate(PaintScale().ToPhysical(rect));
}

void WinControl::Update() {
    if (native_) native_->Update();
}

void WinControl::PaintWindow(DeviceContext& dc, const Rect& update, bool carriesDC) {
    dc.FillRect(update, ResolveColor(GetColor()));
    PaintControls(dc, update);
}

void WinControl::PaintControls(DeviceContext& dc, const Rect& update) {
    // A copy: a paint handler may change the z-order.
    const std::vector<Control*> controls = controls_;
    for (Control* c : controls)
        if (!c->IsWindowed() && c->Visible() &&
            !c->PaintScale().ToPhysical(c->BoundsRect()).Intersect(update).IsEmpty())
            PaintControl(*c, dc, update);
}

void WinControl::PaintControl(Control& control, DeviceContext& dc, const Rect& update) {
    const Point origin = dc.Origin();
    const Rect clip = dc.ClipBox();
    const Rect bounds = control.PaintScale().ToPhysical(control.BoundsRect());
    dc.SetOrigin({origin.x + bounds.left, origin.y + bounds.top});
    dc.SetClip(update.Intersect(clip).Intersect(bounds).Offset(-bounds.left, -bounds.top));
    control.Paint(dc);
    dc.SetOrigin(origin);
    dc.SetClip(clip);
}

void WinControl::InsertControl(Control* control) { controls_.push_back(control); }

void WinControl::RemoveControl(Control* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (capture_ == control) ReleaseCapture();
    if (hover_ == control) hover_ = nullptr;
}

void WinControl::MoveControl(Control* control, bool toFront) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    controls_.erase(it);
    if (toFront) {
        controls_.push_back(control);
    } else {
        controls_.insert(controls_.begin(), control);
    }
    control->Invalidate();
}

void WinControl::ControlVisibilityChanged(Control& control) {
    if (control.Visible()) return;
    // A hidden control gets nothing more, not even the rest of its press.
    if (capture_ == &control) {
        ReleaseCapture();
        swallowRelease_ = buttonsDown_ > 0;
    }
    if (hover_ == &control) hover_ = nullptr;
}

void WinControl::ReleaseCapture() {
    capture_ = nullptr;
    captureInside_ = false;
}

void WinControl::SetHover(Control* control) {
    if (control == hover_) return;
    Control* old = hover_;
    hover_ = control;
    if (old) old->MouseLeave();
    if (control && hover_ == control) control->MouseEnter();
}

void WinControl::Guard(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception& e) {
        if (Backend* backend = GetBackend()) {
            try {
                backend->System().ShowMessage(Handle(), "Error", e.what());
            } catch (...) {
                // The message box failed too: nothing is left to tell, and
                // the window must carry on.
            }
        }
    } catch (...) {
        // Not an exception we can describe: dropped, because nothing may
        // unwind into the window procedure.
    }
}

void WinControl::NativePaint(DeviceContext& dc, const Rect& paintRect, bool carriesDC) {
    Guard([&] { PaintWindow(dc, paintRect, carriesDC); });
}

void WinControl::NativeMouseDown(MouseButton button, ShiftState shift, Point physical) {
    Guard([&] {
        const Point p = PaintScale().ToLogical(physical);
        ++buttonsDown_;
        if (buttonsDown_ == 1) {
            native_->SetCapture(true);
            Control* target = ControlAt(p);
            SetHover(target);
            capture_ = target;
            captureInside_ = target != nullptr;
            selfPressed_ = target == nullptr;
        }
        if (capture_) {
            capture_->HandleMouseDown(button, shift, p.x - capture_->Left(), p.y - capture_->Top());
        } else if (selfPressed_) {
            HandleMouseDown(button, shift, p.x, p.y);
        }
    });
}

void WinControl::NativeMouseMove(ShiftState shift, Point physical) {
    Guard([&] {
        const Point p = PaintScale().ToLogical(physical);
        if (capture_) {
            Control* c = capture_;
            const bool inside = c->BoundsRect().Contains(p);
            if (inside != captureInside_) {
                captureInside_ = inside;
                hover_ = inside ? c : nullptr;
                inside ? c->MouseEnter() : c->MouseLeave();
            }
            if (capture_ == c) c->MouseMove(shift, p.x - c->Left(), p.y - c->Top());
            return;
        }
        if (buttonsDown_ > 0) {
            if (selfPressed_) MouseMove(shift, p.x, p.y);
            return;
        }
        Control* target = ControlAt(p);
        SetHover(target);
        if (target) {
            target->MouseMove(shift, p.x - target->Left(), p.y - target->Top());
        } else {
            MouseMove(shift, p.x, p.y);
        }
    });
}

void WinControl::NativeMouseUp(MouseButton button, ShiftState shift, Point physical) {
    Guard([&] {
        const Point p = PaintScale().ToLogical(physical);
        if (buttonsDown_ == 0) return;  // the press began outside our window
        const bool last = --buttonsDown_ == 0;
        Control* c = capture_;
        const bool self = selfPressed_;
        if (last) {
            native_->SetCapture(false);
            ReleaseCapture();
            selfPressed_ = false;
            if (swallowRelease_) {
                swallowRelease_ = false;
                return;
            }
        }
        if (c) {
            c->HandleMouseUp(button, shift, p.x - c->Left(), p.y - c->Top());
        } else if (self) {
            HandleMouseUp(button, shift, p.x, p.y);
        }
        if (last) SetHover(ControlAt(p));
    });
}

void WinControl::NativeMouseLeave() {
    Guard([&] {
        if (buttonsDown_ == 0) SetHover(nullptr);
    });
}

void WinControl::NativeMouseWheel(int delta, ShiftState shift, Point physical) {
    Guard([&] {
        const Point p = PaintScale().ToLogical(physical);
        Control* target = ControlAt(p);
        if (target && target->MouseWheel(delta, shift, p.x - target->Left(), p.y - target->Top())) return;
        MouseWheel(delta, shift, p.x, p.y);
    });
}

namespace {

// The form that previews key messages of its other windows, or none.
Form* KeyPreviewer(WinControl& control) {
    auto* form = dynamic_cast<Form*>(control.Root());
    return form && form != &control && form->KeyPreview() ? form : nullptr;
}

}  // namespace

void WinControl::NativeKeyDown(Key key, ShiftState shift) {
    Guard([&] {
        if (Form* form = KeyPreviewer(*this)) form->KeyDown(key, shift);
        if (key) KeyDown(key, shift);
    });
}

void WinControl::NativeKeyPress(char character) {
    Guard([&] {
        if (Form* form = KeyPreviewer(*this)) form->KeyPress(character);
        if (character) KeyPress(character);
    });
}

void WinControl::NativeKeyUp(Key key, ShiftState shift) {
    Guard([&] {
        if (Form* form = KeyPreviewer(*this)) form->KeyUp(key, shift);
        if (key) KeyUp(key, shift);
    });
}

unsigned WinControl::NativeDialogCode() {
    unsigned code = 0;
    Guard([&] { code = DialogCode(); });
    return code;
}

Cursor WinControl::NativeCursorAt(Point physical) {
    Control* c = capture_ ? capture_ : ControlAt(PaintScale().ToLogical(physical));
    Cursor cursor = c ? c->GetCursor() : Cursor::Default;
    if (cursor == Cursor::Default) cursor = GetCursor();
    return cursor == Cursor::Default ? Cursor::Arrow : cursor;
}

void WinControl::NativeFocus(bool gained) {
    Guard([&] { gained ? DoEnter() : DoExit(); });
}

void WinControl::NativeDpiChanged(int dpi) {
    Guard([&] { DpiChanged(dpi); });
}

}  // namespace platform
