#include "platform/Control.h"

#include "platform/WinControl.h"

namespace platform {

Control::Control(Component* owner) : Component(owner), bounds_{0, 0, 32, 32} {}

Control::~Control() {
    if (parent_) parent_->RemoveControl(this);
}

const ClassInfo& Control::StaticClass() {
    static const ClassInfo info = [] {
        ClassBuilder<Control> b("TControl", &Component::StaticClass());
        b.Integer("Left", &Control::Left, &Control::SetLeft, -32768, 32767).Default(Value::Integer(0));
        b.Integer("Top", &Control::Top, &Control::SetTop, -32768, 32767).Default(Value::Integer(0));
        b.Integer("Width", &Control::Width, &Control::SetWidth, 0, 32767).StoredWhen(&Control::StoresSize);
        b.Integer("Height", &Control::Height, &Control::SetHeight, 0, 32767).StoredWhen(&Control::StoresSize);
        b.Bool("Visible", &Control::Visible, &Control::SetVisible).Default(Value::Identifier("True"));
        b.Bool("Enabled", &Control::Enabled, &Control::SetEnabled).Default(Value::Identifier("True"));
        b.Enum("Cursor", &Control::GetCursor, [](Control& c, int v) { c.SetCursor(static_cast<Cursor>(v)); },
               {"crDefault", "crArrow", "crHandPoint"})
            .Default(Value::Identifier("crDefault"));
        AddEventProperty(b, "OnClick", &Control::OnClick);
        AddEventProperty(b, "OnMouseDown", &Control::OnMouseDown);
        AddEventProperty(b, "OnMouseMove", &Control::OnMouseMove);
        AddEventProperty(b, "OnMouseUp", &Control::OnMouseUp);
        AddEventProperty(b, "OnMouseEnter", &Control::OnMouseEnter);
        AddEventProperty(b, "OnMouseLeave", &Control::OnMouseLeave);
        AddEventProperty(b, "OnKeyDown", &Control::OnKeyDown);
        AddEventProperty(b, "OnKeyPress", &Control::OnKeyPress);
        AddEventProperty(b, "OnKeyUp", &Control::OnKeyUp);
        return b.Build();
    }();
    return info;
}

void Control::SetBounds(int left, int top, int width, int height) {
    const Rect bounds{left, top, left + (width < 0 ? 0 : width), top + (height < 0 ? 0 : height)};
    if (bounds == bounds_) return;
    Invalidate();
    bounds_ = bounds;
    BoundsChanged();
    Invalidate();
}

void Control::SetVisible(bool visible) {
    if (visible == visible_) return;
    if (!visible) Invalidate();
    visible_ = visible;
    if (parent_) parent_->ControlVisibilityChanged(*this);
    if (visible) Invalidate();
}

void Control::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Invalidate();
}

void Control::SetColor(Color color) {
    if (color == color_) return;
    color_ = color;
    Invalidate();
}

void Control::SetParent(WinControl* parent) {
    if (parent == parent_) return;
    if (parent_) {
        Invalidate();
        parent_->RemoveControl(this);
    }
    parent_ = parent;
    if (parent_) {
        parent_->InsertControl(this);
        Invalidate();
    }
}

void Control::BringToFront() {
    if (parent_) parent_->MoveControl(this, true);
}

void Control::SendToBack() {
    if (parent_) parent_->MoveControl(this, false);
}

PixelScale Control::PaintScale() const { return parent_ ? parent_->PaintScale() : PixelScale{}; }

void Control::Invalidate() {
    if (parent_ && visible_) parent_->InvalidateRect(bounds_, !IsOpaque());
}

void Control::Repaint() {
    Invalidate();
    if (parent_) parent_->Update();
}

bool Control::MouseCaptured() const { return parent_ && parent_->CaptureControl() == this; }

void Control::MouseDown(MouseButton button, ShiftState shift, int x, int y) { OnMouseDown(this, button, shift, x, y); }
void Control::MouseMove(ShiftState shift, int x, int y) { OnMouseMove(this, shift, x, y); }
void Control::MouseUp(MouseButton button, ShiftState shift, int x, int y) { OnMouseUp(this, button, shift, x, y); }
void Control::Click() { OnClick(this); }
void Control::MouseEnter() { OnMouseEnter(this); }
void Control::MouseLeave() { OnMouseLeave(this); }
void Control::KeyDown(Key& key, ShiftState shift) { OnKeyDown(this, key, shift); }
void Control::KeyPress(char& key) { OnKeyPress(this, key); }
void Control::KeyUp(Key& key, ShiftState shift) { OnKeyUp(this, key, shift); }

void Control::HandleMouseDown(MouseButton button, ShiftState shift, int x, int y) {
    if (button == MouseButton::Left) clicked_ = true;
    MouseDown(button, shift, x, y);
}

void Control::HandleMouseUp(MouseButton button, ShiftState shift, int x, int y) {
    if (button == MouseButton::Left && clicked_) {
        clicked_ = false;
        if (ClientRect().Contains({x, y})) Click();
    }
    MouseUp(button, shift, x, y);
}

Component* Control::StreamParent() const { return parent_; }

}  // namespace platform
