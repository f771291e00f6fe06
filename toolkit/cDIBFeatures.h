// Add-on behaviours of a toolkit control (its DIBFeatures): each mouse
// message reaches the control's features first, in order, and a feature
// may swallow it, so the control never sees it. TDIBFeatures is owned by
// the control and owns its features; TDIBFeatureKeyLock is the one feature
// of this library. Features live in code: stored forms do not hold them.
//
// Window thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/Input.h"

namespace toolkit {

class TCustomDIBControl;

// One mouse message as the control is about to handle it (control
// coordinates).
struct TDIBMessage {
    enum Kind { dmMouseDown, dmMouseMove, dmMouseUp, dmClick, dmMouseEnter, dmMouseLeave, dmMouseWheel };
    Kind kind;
    platform::MouseButton button = platform::MouseButton::Left;
    platform::ShiftState shift = 0;
    int x = 0;
    int y = 0;
    int wheelDelta = 0;
};

class TDIBFeature {
public:
    virtual ~TDIBFeature() = default;
    // After the control's form is loaded (or at once when the feature is
    // added to a control that is not loading).
    virtual void Initialize(TCustomDIBControl& control) {}
    // True swallows the message.
    virtual bool Message(TCustomDIBControl& control, const TDIBMessage& message) = 0;
};

class TDIBFeatures {
public:
    explicit TDIBFeatures(TCustomDIBControl& owner) : fOwner(owner) {}
    TDIBFeatures(const TDIBFeatures&) = delete;
    TDIBFeatures& operator=(const TDIBFeatures&) = delete;

    int Count() const { return int(fItems.size()); }
    TDIBFeature& Items(int index) const { return *fItems.at(size_t(index)); }
    // Takes ownership; returns the feature.
    template <typename F>
    F& Add(std::unique_ptr<F> feature) {
        F& f = *feature;
        Insert(std::move(feature));
        return f;
    }
    void Delete(int index);
    void Clear() { fItems.clear(); }

    void InitializeAll();
    // True when some feature swallowed the message.
    bool Dispatch(const TDIBMessage& message);

private:
    void Insert(std::unique_ptr<TDIBFeature> feature);

    TCustomDIBControl& fOwner;
    std::vector<std::unique_ptr<TDIBFeature>> fItems;
};

// Swallows left presses made while a modifier (ssShift, ssCtrl or ssAlt) is
// held, together with the moves, auto-repeats and release of that press, so
// a control can be locked against accidental changes.
class TDIBFeatureKeyLock : public TDIBFeature {
public:
    explicit TDIBFeatureKeyLock(platform::ShiftState key = platform::ssCtrl) : fKey(key) {}
    platform::ShiftState Key() const { return fKey; }
    void SetKey(platform::ShiftState key) { fKey = key; }
    bool Message(TCustomDIBControl& control, const TDIBMessage& message) override;

private:
    platform::ShiftState fKey;
    bool fSwallowing = false;  // a locked press is in progress
};

}  // namespace toolkit
