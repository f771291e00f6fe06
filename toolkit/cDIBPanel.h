// TCustomDIBContainer/TDIBContainer: the only windowed object of a skinned
// window. It owns the main surface (a TWinDIB the size of its client area)
// and a scratch surface; each paint fills the main surface with Color, lets
// every windowless child paint into it in z-order (toolkit controls through
// the scratch surface, blended back with their Opacity; plain platform
// controls straight into the main surface's context) and copies the update
// rectangle to the window. It also keeps the DIB tab list and the active
// toolkit control (the one holding the toolkit focus).
//
// Window thread only.
#pragma once

#include <string>
#include <vector>

#include "platform/WinControl.h"
#include "toolkit/cDIBBorder.h"
#include "toolkit/cDIBControl.h"
#include "toolkit/cDIBWin.h"

namespace toolkit {

enum TBorderDrawPosition {
    bdOverControls,
    bdUnderControls,
};

class TCustomDIBContainer : public platform::Panel {
public:
    explicit TCustomDIBContainer(platform::Component* owner);
    ~TCustomDIBContainer() override;

    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }

    TWinDIB& MainSurface() { return fMain; }
    TWinDIB& ScratchSurface() { return fScratch; }

    TBorderDrawPosition BorderDrawPosition() const { return fBorderPos; }
    void SetBorderDrawPosition(TBorderDrawPosition pos);
    // The frame drawn into the main surface (not owned; none by default).
    TDIBBorder* DIBBorder() const { return fBorder; }
    void SetDIBBorder(TDIBBorder* border);
    // The client area inside the border's edges.
    platform::Rect DIBClientRect() const { return fBorder ? fBorder->Shrink(ClientRect()) : ClientRect(); }

    // The DIB tab list, in Tab order.
    const std::vector<TCustomDIBControl*>& DIBTabList() const { return fTabList; }
    // Moves control to index (removing it first; at or beyond the end
    // appends; negative only removes). Returns its index now, -1 if absent.
    int SetTabIndex(TCustomDIBControl& control, int index);
    void RemoveFromTabList(TCustomDIBControl& control);
    // A control being freed leaves the list and stops being active without
    // any exit step (its events may reach objects already gone).
    void ForgetControl(TCustomDIBControl& control);
    // The container takes part in window Tab navigation only with a
    // non-empty DIB tab list.
    bool TabStop() const { return !fTabList.empty(); }

    TCustomDIBControl* ActiveControl() const { return fActive; }
    // Kill-focus to the previous active control, set-focus to the new one,
    // then OnActiveControlChange. Null clears.
    void SetActiveControl(TCustomDIBControl* control);
    // Tab navigation: the next (or previous) enabled control of the list.
    void SelectNext(bool forward);
    // The update rectangle of the paint in progress.
    const platform::Rect& UpdateRect() const { return fUpdate; }

    void PaintWindow(platform::DeviceContext& dc, const platform::Rect& update, bool carriesDC) override;
    // Key messages go to the active toolkit control when it wants the key
    // (its dialog-code flags); otherwise Tab moves the toolkit focus.
    void KeyDown(platform::Key& key, platform::ShiftState shift) override;
    void KeyPress(char& key) override;
    void KeyUp(platform::Key& key, platform::ShiftState shift) override;
    unsigned DialogCode() override;
    void DoEnter() override;
    void DoExit() override;
    void Loaded() override;
    void Notification(platform::Component* component) override;

    TDIBPaintEvent BeforePaint;
    TDIBPaintEvent AfterPaint;
    platform::NotifyEvent OnActiveControlChange;

protected:
    void BoundsChanged() override;

private:
    void ResizeMain();
    // A scratch surface of w x h physical pixels for one control's paint.
    TWinDIB& ScratchFor(int w, int h);
    // character: a KeyPress character rather than a key code.
    // Alt+character on a child's Accelerator clicks it; true when one did.
    bool Accelerate(char key);
    bool ActiveWants(platform::Key key, bool character) const;

    TWinDIB fMain;
    TWinDIB fScratch;
    TWinDIB fSpareScratch;
    TBorderDrawPosition fBorderPos = bdOverControls;
    TDIBBorder* fBorder = nullptr;
    std::string fPendingBorder;  // a border named while loading
    std::vector<TCustomDIBControl*> fTabList;
    TCustomDIBControl* fActive = nullptr;
    bool fActivating = false;
    bool fSecondPass = false;
    platform::Rect fUpdate;
};

class TDIBContainer : public TCustomDIBContainer {
public:
    explicit TDIBContainer(platform::Component* owner) : TCustomDIBContainer(owner) {}
    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }
    // Makes TDIBContainer, TDIBImage and TDIBDial known to the form reader
    // (idempotent).
    static void RegisterClasses();
};

}  // namespace toolkit
