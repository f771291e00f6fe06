#include "toolkit/cDIBFeatures.h"

#include "toolkit/cDIBControl.h"

namespace toolkit {

void TDIBFeatures::Insert(std::unique_ptr<TDIBFeature> feature) {
    fItems.push_back(std::move(feature));
    if (!fOwner.IsLoading()) fItems.back()->Initialize(fOwner);
}

void TDIBFeatures::Delete(int index) {
    if (index >= 0 && index < Count()) fItems.erase(fItems.begin() + index);
}

void TDIBFeatures::InitializeAll() {
    for (auto& f : fItems) f->Initialize(fOwner);
}

bool TDIBFeatures::Dispatch(const TDIBMessage& message) {
    // By index: a feature may delete features while it runs.
    for (int i = 0; i < Count(); ++i)
        if (fItems[size_t(i)]->Message(fOwner, message)) return true;
    return false;
}

bool TDIBFeatureKeyLock::Message(TCustomDIBControl& control, const TDIBMessage& message) {
    switch (message.kind) {
    case TDIBMessage::dmMouseDown:
        if (message.button != platform::MouseButton::Left) return false;
        // A repeated press of a locked press stays locked.
        if (!fSwallowing) fSwallowing = (message.shift & fKey) != 0;
        return fSwallowing;
    case TDIBMessage::dmMouseMove:
    case TDIBMessage::dmClick: return fSwallowing;
    case TDIBMessage::dmMouseUp:
        if (message.button != platform::MouseButton::Left || !fSwallowing) return false;
        fSwallowing = false;
        return true;
    default: return false;
    }
}

}  // namespace toolkit
