// The windowless control: a rectangle of its parent's client area that
// paints into the parent's device context and receives the mouse messages
// the parent routes to it (the topmost visible, enabled control under the
// pointer). A press captures the mouse for the pressed control: it receives
// the moves and the release even outside its bounds; while it holds the
// capture only it gets enter and leave notices (leave when the pointer
// exits its bounds, enter when it returns), and at a release outside it the
// control under the pointer gets its enter notice.
//
// Window thread only.
#pragma once

#include "platform/Colors.h"
#include "platform/Component.h"
#include "platform/DeviceContext.h"
#include "platform/Input.h"
#include "platform/PixelScale.h"

namespace platform {

class WinControl;

using MouseEvent = Event<void(Component* sender, MouseButton button, ShiftState shift, int x, int y)>;
using MouseMoveEvent = Event<void(Component* sender, ShiftState shift, int x, int y)>;
using KeyEvent = Event<void(Component* sender, Key& key, ShiftState shift)>;
using KeyPressEvent = Event<void(Component* sender, char& key)>;

class Control : public Component {
public:
    explicit Control(Component* owner);
    ~Control() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& Class() const override { return StaticClass(); }

    int Left() const { return bounds_.left; }
    int Top() const { return bounds_.top; }
    int Width() const { return bounds_.Width(); }
    int Height() const { return bounds_.Height(); }
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    // Negative sizes become 0. Repaints the old and the new place.
    virtual void SetBounds(int left, int top, int width, int height);
    Rect BoundsRect() const { return bounds_; }
    Rect ClientRect() const { return {0, 0, Width(), Height()}; }

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    Cursor GetCursor() const { return cursor_; }
    void SetCursor(Cursor cursor) { cursor_ = cursor; }
    Color GetColor() const { return color_; }
    void SetColor(Color color);

    WinControl* Parent() const { return parent_; }
    virtual void SetParent(WinControl* parent);
    // Z-order among the parent's controls.
    void BringToFront();
    void SendToBack();

    // Marks the control's area for repainting; Repaint also paints it now.
    void Invalidate();
    void Repaint();
    // True while this control holds the mouse after a press.
    bool MouseCaptured() const;
    // An opaque control covers its whole rectangle when it paints.
    virtual bool IsOpaque() const { return false; }
    virtual bool IsWindowed() const { return false; }
    // Whether the stored description holds Width and Height (a form stores
    // its client size instead).
    virtual bool StoresSize() const { return true; }

    // The magnification of the window the control paints into: places,
    // sizes and input are logical pixels, painting is in physical ones.
    virtual PixelScale PaintScale() const;
    // Paints in the control's own coordinates: the origin is at its top-left
    // corner and the clip lies within its bounds; both in physical pixels
    // (PaintScale()).
    virtual void Paint(DeviceContext& dc) {}

    // Message steps; the base versions fire the events.
    virtual void MouseDown(MouseButton button, ShiftState shift, int x, int y);
    virtual void MouseMove(ShiftState shift, int x, int y);
    virtual void MouseUp(MouseButton button, ShiftState shift, int x, int y);
    virtual void Click();
    virtual void MouseEnter();
    virtual void MouseLeave();
    // The mouse wheel over the control: delta in Windows units (120 per
    // notch, positive away from the user), (x, y) the pointer. Answers
    // whether the control used it; the base does nothing.
    virtual bool MouseWheel(int delta, ShiftState shift, int x, int y) { return false; }
    // A handler that sets the key to 0 consumes it.
    virtual void KeyDown(Key& key, ShiftState shift);
    virtual void KeyPress(char& key);
    virtual void KeyUp(Key& key, ShiftState shift);

    // Press and release as the parent delivers them: a left press and a left
    // release inside the control make a click (OnClick before OnMouseUp).
    void HandleMouseDown(MouseButton button, ShiftState shift, int x, int y);
    void HandleMouseUp(MouseButton button, ShiftState shift, int x, int y);

    Component* StreamParent() const override;

    MouseEvent OnMouseDown;
    MouseMoveEvent OnMouseMove;
    MouseEvent OnMouseUp;
    NotifyEvent OnClick;
    NotifyEvent OnMouseEnter;
    NotifyEvent OnMouseLeave;
    KeyEvent OnKeyDown;
    KeyPressEvent OnKeyPress;
    KeyEvent OnKeyUp;

protected:
    // Called after the bounds changed (WinControl moves its window).
    virtual void BoundsChanged() {}

private:
    friend class WinControl;

    Rect bounds_;
    bool visible_ = true;
    bool enabled_ = true;
    bool clicked_ = false;
    Cursor cursor_ = Cursor::Default;
    Color color_ = clBtnFace;
    WinControl* parent_ = nullptr;
};

}  // namespace platform
