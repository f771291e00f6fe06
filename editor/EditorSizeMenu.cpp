// The size menu of the editor's panel and the screen-density change: both
// only report to the glue, which knows the host and the remembered choice.
#include <iterator>
#include <string>
#include <vector>

#include "editor/EditorScaleSteps.h"
#include "editor/TPluginEditorWindow.h"
#include "toolkit/cDIBControl.h"
#include "toolkit/cDIBImage.h"

namespace trv4 {

void TPluginEditorWindow::AttachSizeMenu() {
    sizeMenu_ = std::make_unique<toolkit::TDIBPopupMenu>();
    for (int step : kScaleSteps)
        sizeMenu_->items.push_back({"Size: " + std::to_string(step) + "%", [this, step] {
                                        if (OnSizeChosen) OnSizeChosen(step);
                                    }});
    // The chassis picture covers the panel: a right click that no control
    // takes lands on it. The knobs keep the toolkit's own (empty) menu.
    if (auto* chassis = Find<toolkit::TDIBImage>("DIBImage1")) {
        chassis->SetPopupMenu(sizeMenu_.get());
        chassis->OnContextPopup.Set([this](Component* sender, toolkit::TDIBPopupMenu& menu, int x, int y) {
            ShowSizeMenu(sender, menu, x, y);
        });
    }
}

void TPluginEditorWindow::ShowSizeMenu(Component* sender, toolkit::TDIBPopupMenu& menu, int x, int y) {
    auto* control = dynamic_cast<platform::Control*>(sender);
    if (!control || !control->Parent()) return;
    // The menu opens at the click, in the physical pixels of the window the
    // chassis paints into.
    const platform::PixelScale scale = PaintScale();
    const platform::Point at{scale.ToPhysical(control->Left() + x), scale.ToPhysical(control->Top() + y)};
    std::vector<std::string> captions;
    int checked = -1;
    for (size_t i = 0; i < menu.items.size(); ++i) {
        captions.push_back(menu.items[i].caption);
        if (i < std::size(kScaleSteps) && kScaleSteps[i] == ScalePercent()) checked = static_cast<int>(i);
    }
    // The actions are the menu's own; the menu outlives every pick (it
    // belongs to this window, which the pick may resize but not free).
    GetBackend()->ShowPopupMenu(control->Parent()->Handle(), at, captions, checked, scale, [&menu](int item) {
        if (item >= 0 && static_cast<size_t>(item) < menu.items.size() && menu.items[item].action)
            menu.items[item].action();
    });
}

void TPluginEditorWindow::DpiChanged(int dpi) {
    if (OnDpiChanged) OnDpiChanged(dpi);
}

}  // namespace trv4
