// The magnified editor: the same window, its controls in the same logical
// places, its pictures drawn again by the skin code at the new size (each
// picture for its own place, so that it lines up with the magnified chassis)
// and its windows painting physical pixels. The pictures come from the
// skin's kept set (skin/ScaledPictures.h): drawn by the first editor opened
// at a size, copied by the later ones.
#include <vector>

#include "editor/TPluginEditorWindow.h"
#include "skin/ScaledPictures.h"
#include "toolkit/cDIBDial.h"
#include "toolkit/cDIBImage.h"
#include "toolkit/cDIBImageList.h"

namespace trv4 {

void TPluginEditorWindow::SetScalePercent(int percent) {
    if (percent == PaintScale().percent) return;
    // The controls keep their logical sizes whatever their images measure.
    std::vector<platform::Image*> images;
    std::vector<trv4skin::PicturePlace> places;
    for (platform::Component* c : Components()) {
        if (auto* dial = dynamic_cast<toolkit::TDIBDial*>(c)) dial->SetAutoSize(false);
        if (auto* image = dynamic_cast<toolkit::TDIBImage*>(c)) image->SetAutoSize(false);
        if (auto* image = dynamic_cast<platform::Image*>(c)) {
            images.push_back(image);
            places.push_back({image->Name(), image->Left(), image->Top()});
        }
    }
    const std::shared_ptr<const trv4skin::ScaledPictures> pictures = trv4skin::ScaledPictures::at(percent, places);
    if (auto* list = Find<toolkit::TDIBImageList>("DIBImageList1")) {
        toolkit::TDIBImages& items = list->DIBImages();
        for (int i = 0; i < items.Count() && i < trv4skin::ScaledPictures::kListItems; ++i)
            trv4skin::CopyPixels(pictures->listItem(i), items.Items(i).DIB());
    }
    for (size_t i = 0; i < images.size(); ++i)
        if (!pictures->picture(i).empty()) images[i]->SetPictureData(pictures->picture(i));
    SetPaintScale(platform::PixelScale{percent});
}

}  // namespace trv4
