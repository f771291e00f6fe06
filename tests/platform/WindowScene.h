// The form the real-window checks put into a host window: a background, a
// label, a picture and two click areas, built the same way on every backend
// so that the screen can be compared with the headless rendering.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Form.h"
#include "platform/Image.h"
#include "platform/Label.h"

namespace platform::testing {

constexpr int kSceneWidth = 240;
constexpr int kSceneHeight = 120;

struct Scene {
    std::unique_ptr<Form> form;
    Image* left = nullptr;   // click area at (20, 60), 60 x 40
    Image* right = nullptr;  // red picture at (150, 50), 50 x 50
    Label* label = nullptr;
    std::vector<std::string> clicks;
};

inline std::unique_ptr<Scene> BuildScene(Backend& backend, uintptr_t parent) {
    auto scene = std::make_unique<Scene>();
    scene->form = std::make_unique<Form>(backend, parent);
    Form& form = *scene->form;
    form.SetBounds(0, 0, kSceneWidth, kSceneHeight);
    form.SetColor(clSilver);

    scene->label = new Label(&form);
    scene->label->SetParent(&form);
    scene->label->SetBounds(20, 20, 0, 0);
    scene->label->SetColor(clBlack);
    scene->label->SetFont({"Arial", -11, clInfoBk});
    scene->label->SetCaption("Delay 12.50");

    scene->left = new Image(&form);
    scene->left->SetName("Left");
    scene->left->SetParent(&form);
    scene->left->SetBounds(20, 60, 60, 40);
    scene->left->SetCursor(Cursor::HandPoint);

    scene->right = new Image(&form);
    scene->right->SetName("Right");
    scene->right->SetParent(&form);
    scene->right->SetBounds(150, 50, 50, 50);
    auto picture = DibSection::Create(60, 60);
    picture->DC().FillRect({0, 0, 60, 60}, RGBColor(200, 30, 30));
    picture->DC().FillRect({10, 10, 20, 20}, RGBColor(30, 30, 200));
    scene->right->SetPicture(std::move(picture));

    Scene* s = scene.get();
    for (Image* area : {scene->left, scene->right})
        area->OnClick.Set([s](Component* sender) { s->clicks.push_back(sender->Name()); });
    return scene;
}

}  // namespace platform::testing
