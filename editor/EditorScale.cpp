// The magnified editor: the same window, its controls in the same logical
// places, its pictures drawn again by the skin code at the new size (each
// picture for its own place, so that it lines up with the magnified chassis)
// and its windows painting physical pixels.
#include <vector>

#include "editor/TPluginEditorWindow.h"
#include "toolkit/cDIBDial.h"
#include "toolkit/cDIBImage.h"
#include "toolkit/cDIBImageList.h"
#include "toolkit/cDIBPayload.h"
#include "skin/EditorPictures.h"

namespace trv4 {

void TPluginEditorWindow::SetScalePercent(int percent) {
    if (percent == PaintScale().percent) return;
    const trv4skin::Placement whole{platform::PixelScale{percent}};
    // The controls keep their logical sizes whatever their images measure.
    for (platform::Component* c : Components()) {
        if (auto* dial = dynamic_cast<toolkit::TDIBDial*>(c)) dial->SetAutoSize(false);
        if (auto* image = dynamic_cast<toolkit::TDIBImage*>(c)) image->SetAutoSize(false);
    }
    if (auto* list = Find<toolkit::TDIBImageList>("DIBImageList1")) {
        toolkit::TDIBImages& items = list->DIBImages();
        for (int i = 0; i < items.Count(); ++i) trv4skin::DrawListItem(i, items.Items(i).DIB(), whole);
    }
    toolkit::TMemoryDIB picture;
    for (platform::Component* c : Components()) {
        auto* image = dynamic_cast<platform::Image*>(c);
        if (!image) continue;
        const trv4skin::Placement at{platform::PixelScale{percent}, image->Left(), image->Top()};
        if (trv4skin::DrawControlPicture(image->Name(), picture, at))
            image->SetPictureData(toolkit::WriteDIBData(picture));
    }
    SetPaintScale(platform::PixelScale{percent});
}

}  // namespace trv4
