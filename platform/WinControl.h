// A control with a native window of its own: it holds windowless child
// controls in z-order (lowest first), routes its window's mouse messages to
// them (see Control.h for capture and enter/leave), paints them into its
// paint context, and receives keyboard, focus, dialog-code and set-cursor
// requests. Its window is created once its parent has one (a Form creates
// its own at construction) and lives until the control is freed.
//
// An exception raised by an event handler never reaches the system: the
// window's message step reports it with the backend's message box and the
// window carries on.
//
// Window thread only.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/Backend.h"
#include "platform/Control.h"

namespace platform {

using PaintEvent = NotifyEvent;

class WinControl : public Control, public WindowEvents {
public:
    explicit WinControl(Component* owner);
    ~WinControl() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& Class() const override { return StaticClass(); }

    bool IsWindowed() const override { return true; }
    // A window inside another takes its parent's scale; the top one keeps
    // its own. SetPaintScale sizes the native windows anew and repaints them.
    PixelScale PaintScale() const override;
    void SetPaintScale(PixelScale scale);
    const std::vector<Control*>& Controls() const { return controls_; }
    // The topmost visible and enabled windowless control at p (client
    // coordinates), or none.
    Control* ControlAt(Point p) const;
    Control* CaptureControl() const { return capture_; }

    bool HasHandle() const { return native_ != nullptr; }
    uintptr_t Handle() const { return native_ ? native_->Handle() : 0; }
    NativeWindow* Native() const { return native_.get(); }
    // The backend of the form this control is on; none off a form.
    virtual Backend* GetBackend() const;

    void SetFocus();
    bool Focused() const { return native_ && native_->Focused(); }

    // Client-area repaint requests, in logical pixels.
    void InvalidateRect(const Rect& rect, bool erase);
    void ValidateRect(const Rect& rect);
    void Update();

    // The paint of the window: by default the background in Color, then the
    // windowless controls. dc is the paint context, update the rectangle to
    // repaint (physical pixels, as are the rectangles of the two below);
    // carriesDC: the request brought its own context.
    virtual void PaintWindow(DeviceContext& dc, const Rect& update, bool carriesDC);
    // The visible windowless controls that meet update, lowest first.
    void PaintControls(DeviceContext& dc, const Rect& update);
    // One control with the origin moved to it and the clip cut to it.
    static void PaintControl(Control& control, DeviceContext& dc, const Rect& update);

    // The answer to the dialog-code query (dlgc... bits).
    virtual unsigned DialogCode() { return 0; }
    // The window's screen density changed (dots per inch, 96 at 100 %):
    // nothing here; a form that follows the screen sizes itself anew.
    virtual void DpiChanged(int dpi) {}
    virtual void DoEnter() { OnEnter(this); }
    virtual void DoExit() { OnExit(this); }

    void SetParent(WinControl* parent) override;
    void SetVisible(bool visible) override;
    void AdoptStreamed(Component* child) override;
    void Loaded() override;

    NotifyEvent OnEnter;
    NotifyEvent OnExit;

    // WindowEvents: the native window's messages; their points are physical
    // pixels, taken to logical ones before anything sees them.
    void NativePaint(DeviceContext& dc, const Rect& paintRect, bool carriesDC) override;
    void NativeMouseDown(MouseButton button, ShiftState shift, Point p) override;
    void NativeMouseMove(ShiftState shift, Point p) override;
    void NativeMouseUp(MouseButton button, ShiftState shift, Point p) override;
    void NativeMouseLeave() override;
    // To the windowless control under the pointer; the window's own
    // MouseWheel when there is none or it does not use it.
    void NativeMouseWheel(int delta, ShiftState shift, Point p) override;
    void NativeKeyDown(Key key, ShiftState shift) override;
    void NativeKeyPress(char character) override;
    void NativeKeyUp(Key key, ShiftState shift) override;
    unsigned NativeDialogCode() override;
    Cursor NativeCursorAt(Point p) override;
    void NativeFocus(bool gained) override;
    void NativeDpiChanged(int dpi) override;

protected:
    // The native parent: the parent control's window (a Form answers the
    // host's window).
    virtual uintptr_t ParentHandle() const;
    void CreateHandle();
    void DestroyHandle();
    void BoundsChanged() override;
    // Runs one message step; an exception is reported, not passed on.
    void Guard(const std::function<void()>& step);

private:
    friend class Control;
    void InsertControl(Control* control);
    void RemoveControl(Control* control);
    void MoveControl(Control* control, bool toFront);
    void ControlVisibilityChanged(Control& control);
    void SetHover(Control* control);
    void ReleaseCapture();

    std::vector<Control*> controls_;
    std::unique_ptr<NativeWindow> native_;
    PixelScale scale_;
    Control* capture_ = nullptr;   // the pressed windowless control
    bool captureInside_ = false;   // the pointer is inside capture_
    bool selfPressed_ = false;     // a press on no control: the window's own
    bool swallowRelease_ = false;  // the pressed control was hidden
    int buttonsDown_ = 0;
    Control* hover_ = nullptr;
};

// A plain windowed container for other controls. It stays for the
// toolkit's container, which is a panel with windowless children.
class Panel : public WinControl {
public:
    explicit Panel(Component* owner) : WinControl(owner) {}
    static const ClassInfo& StaticClass();
    const ClassInfo& Class() const override { return StaticClass(); }
};

// The backend of the form at the top of component's owner chain, or none.
Backend* FindBackend(Component* component);

}  // namespace platform
