// TCustomDIBControl: the base of the skinned windowless controls (dial,
// image). It lives in a TCustomDIBContainer, which hands it a scratch
// surface holding what lies beneath it before each paint; the control draws
// into that surface and the surface is blended back with Opacity. It owns
// its image links (all bound to one DIBImageList), its press auto-repeat
// timer, the hover, hot and toolkit-focus flags and its place in the
// container's DIB tab list.
//
// Hover: outside -> over and hot (enter) -> hot only (left while the press
// that began inside still holds the mouse) -> outside (release).
//
// Window thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Control.h"
#include "toolkit/cDIBFeatures.h"
#include "toolkit/cDIBImageList.h"
#include "toolkit/cDIBTimer.h"
#include "toolkit/cDIBWin.h"

namespace toolkit {

class TCustomDIBContainer;

using TDIBPaintEvent = platform::Event<void(platform::Component* sender, TAbstractSuperDIB& surface)>;

// A popup menu as the toolkit fills it: item captions and what each does.
// Showing it is the business of whoever handles OnContextPopup.
struct TDIBPopupMenu {
    struct Item {
        std::string caption;
        std::function<void()> action;
    };
    std::vector<Item> items;
};

using TDIBContextPopupEvent = platform::Event<void(platform::Component* sender, TDIBPopupMenu& menu, int x, int y)>;

// Dialog-code flags of a toolkit control.
enum : uint8_t {
    dcWantTab = 1,
    dcWantArrows = 2,
    dcWantAllKeys = 4,
};

class TCustomDIBControl : public platform::Control {
public:
    // Raises std::runtime_error "Owner cannot be nil" without an owner and
    // "Parent must be a TDIBContainer" when the owner neither is a container
    // nor owns one.
    explicit TCustomDIBControl(platform::Component* owner);
    ~TCustomDIBControl() override;

    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }

    // 0 (invisible, still receiving the mouse) to 255 (opaque drawing).
    uint8_t Opacity() const { return fOpacity; }
    void SetOpacity(uint8_t opacity);

    TCustomDIBImageList* DIBImageList() const { return fImageList; }
    // Passed to every link of the control.
    void SetDIBImageList(TCustomDIBImageList* list);

    // The index in the container's DIB tab list; -1: not in it.
    int16_t DIBTabOrder() const { return fTabOrder; }
    void SetDIBTabOrder(int16_t order);
    // Restores the stored order after loading (the container calls it).
    int16_t StoredTabOrder() const { return fTabOrder; }

    // The names of the published properties a design-time template saves
    // and loads for this class.
    virtual std::vector<std::string> TemplateProperties() const { return {"Width", "Height"}; }

    // Alt+this character clicks the control (letters in either case).
    char Accelerator() const { return fAccelerator; }
    void SetAccelerator(char c) { fAccelerator = c; }
    uint8_t DialogFlags() const { return fDialogFlags; }
    void SetDialogFlags(uint8_t flags) { fDialogFlags = flags; }

    // Controls that move with this one.
    std::vector<platform::Control*>& Children() { return fChildren; }
    // Add-on behaviours that see each mouse message first.
    TDIBFeatures& DIBFeatures() { return *fFeatures; }

    // The control's own popup menu (not owned); none: the shared one.
    TDIBPopupMenu* PopupMenu() const { return fPopupMenu; }
    void SetPopupMenu(TDIBPopupMenu* menu) { fPopupMenu = menu; }
    // The menu that controls without their own fill through their hooks.
    static TDIBPopupMenu& SharedPopupMenu();
    // A context-menu request at (x, y), control coordinates (a right
    // release inside the control makes one): offers the own menu, or the
    // shared one once the hooks filled it, through OnContextPopup when it
    // has items. True when a menu was offered.
    bool ContextPopup(int x, int y);

    bool DIBFocused() const { return fFocused; }
    bool MouseOver() const { return fOver; }
    bool Hot() const { return fHot; }
    platform::ShiftState LastShift() const { return fShift; }
    platform::Point LastMousePosition() const { return fMousePos; }
    bool ButtonHeld(platform::MouseButton button) const;

    // Press auto-repeat: while the left button is held the press is
    // delivered again every RepeatPeriod milliseconds.
    bool AutoRepeat() const { return fAutoRepeat; }
    void SetAutoRepeat(bool on) { fAutoRepeat = on; }
    unsigned RepeatPeriod() const { return fRepeatPeriod; }
    void SetRepeatPeriod(unsigned ms);
    bool RepeatRunning() const { return fTimer->Enabled(); }
    // The repeat stops at its next tick.
    void RequestRepeatStop() { fStopRequested = true; }

    TCustomDIBContainer* Container() const;
    // The scratch surface of the paint in progress; none outside a paint.
    TWinDIB* Surface() const { return fSurface; }
    // Copies what lies beneath from main, paints, and blends the result back
    // onto main at (Left, Top) with Opacity. The container calls it.
    void PaintOnto(TWinDIB& main, TWinDIB& scratch);
    // First-pass hook: a control may enlarge the container's update
    // rectangle (container client coordinates).
    virtual void AdjustUpdateRect(platform::Rect& update) {}

    // The toolkit focus: the container's active control.
    void SetDIBFocus();
    // Enter and exit steps run by the container's set-focus and kill-focus.
    void DIBEnter();
    void DIBExit();

    void SetParent(platform::WinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;
    // Hiding or disabling the control ends a press in progress (its repeat
    // and, through PressAborted, what a descendant began with it).
    void SetEnabled(bool enabled) override;
    void SetVisible(bool visible) override;
    void Loaded() override;
    void Notification(platform::Component* component) override;

    // The platform's mouse steps: each message goes to the DIBFeatures
    // first, then, unless one swallowed it, to the DIB... step below.
    void MouseDown(platform::MouseButton button, platform::ShiftState shift, int x, int y) final;
    void MouseMove(platform::ShiftState shift, int x, int y) final;
    void MouseUp(platform::MouseButton button, platform::ShiftState shift, int x, int y) final;
    void Click() final;
    void MouseEnter() final;
    void MouseLeave() final;
    bool MouseWheel(int delta, platform::ShiftState shift, int x, int y) final;

    TDIBPaintEvent OnPaintStart;
    TDIBPaintEvent OnPaintEnd;
    platform::NotifyEvent OnEnter;
    platform::NotifyEvent OnExit;
    TDIBContextPopupEvent OnContextPopup;

protected:
    // The control's mouse handling; descendants override these and call
    // the inherited step.
    virtual void DIBMouseDown(platform::MouseButton button, platform::ShiftState shift, int x, int y);
    virtual void DIBMouseMove(platform::ShiftState shift, int x, int y);
    virtual void DIBMouseUp(platform::MouseButton button, platform::ShiftState shift, int x, int y);
    virtual void DIBClick();
    virtual void DIBMouseEnter();
    virtual void DIBMouseLeave();
    virtual bool DIBMouseWheel(int delta, platform::ShiftState shift, int x, int y) { return false; }
    // The shared popup menu's hooks: fill it, then adjust what the fill
    // (of this class and its ancestors) put there.
    virtual void FillSharedPopup(TDIBPopupMenu& menu) {}
    virtual void SharedPopupFilled(TDIBPopupMenu& menu) {}

    // A link bound to DIBImageList whose changes run ImageChanged; owned by
    // the control.
    TDIBImageLink& CreateLink();
    virtual void ImageChanged(TDIBImageLink& link) { Invalidate(); }
    // The class's own drawing onto Surface(), in control coordinates.
    virtual void PaintDIB(TWinDIB& surface) {}
    virtual void Highlight() {}
    virtual void Unhighlight() {}
    // A press ended without its release (the control was hidden or
    // disabled while the button was down).
    virtual void PressAborted() {}

private:
    void RepeatTick();
    void AbortPress();
    void DeferredLeave();
    void ResolvePendingList();

    uint8_t fOpacity = 255;
    TCustomDIBImageList* fImageList = nullptr;
    std::string fPendingList;  // a list named while loading
    std::vector<std::unique_ptr<TDIBImageLink>> fLinks;
    int16_t fTabOrder = -1;
    char fAccelerator = 0;
    uint8_t fDialogFlags = dcWantArrows;
    std::vector<platform::Control*> fChildren;
    std::unique_ptr<TDIBFeatures> fFeatures;
    TDIBPopupMenu* fPopupMenu = nullptr;
    bool fMovingChildren = false;
    bool fDestroying = false;

    bool fFocused = false;
    bool fOver = false;
    bool fHot = false;
    unsigned fButtons = 0;
    platform::ShiftState fShift = 0;
    platform::Point fMousePos{0, 0};

    bool fAutoRepeat = false;
    unsigned fRepeatPeriod = 250;
    bool fStopRequested = false;
    bool fHasPress = false;
    platform::MouseButton fPressButton = platform::MouseButton::Left;
    platform::ShiftState fPressShift = 0;
    std::unique_ptr<TDIBTimer> fTimer;

    TWinDIB* fSurface = nullptr;
};

}  // namespace toolkit
