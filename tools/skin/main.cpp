// trv4-skin: draws every picture of the editor and writes them as PNG files
// into a folder, for a person to look at or for an editor build to pick up;
// preview.png shows them put together as the editor shows them in use.
//
//   trv4-skin OUTPUT-FOLDER
//
// Exit status 0 when every file was written, 1 on a write failure, 2 on a
// usage error.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tools/skin/PngFile.h"
#include "tools/skin/Preview.h"
#include "tools/skin/SkinPictures.h"

namespace {

using Drawer = std::function<void(toolkit::TMemoryDIB&)>;

std::vector<std::pair<std::string, Drawer>> Pictures() {
    using namespace trv4skin;
    std::vector<std::pair<std::string, Drawer>> list = {
        {"chassis.png", DrawChassis},
        {"index-pointer.png", DrawPointer},
        {"knob-body.png", DrawKnobBody},
        {"switch-on.png", [](toolkit::TMemoryDIB& d) { DrawSwitch(true, d); }},
        {"switch-off.png", [](toolkit::TMemoryDIB& d) { DrawSwitch(false, d); }},
        {"meter-cover.png", DrawMeterCover},
        {"meter-column.png", DrawMeterColumn},
        {"preview.png", DrawPreview},
    };
    for (int n = 1; n <= kWaveCount; ++n)
        list.emplace_back("wave-" + std::to_string(n) + ".png", [n](toolkit::TMemoryDIB& d) { DrawWave(n, d); });
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: trv4-skin OUTPUT-FOLDER\n");
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        int failures = 0;
        for (const auto& [name, draw] : Pictures()) {
            toolkit::TMemoryDIB dib;
            draw(dib);
            const std::string path = (folder / name).string();
            if (trv4skin::WritePng(dib, path)) {
                std::printf("%s  %d x %d\n", path.c_str(), dib.Width(), dib.Height());
            } else {
                std::fprintf(stderr, "trv4-skin: cannot write %s\n", path.c_str());
                ++failures;
            }
        }
        return failures ? 1 : 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "trv4-skin: %s\n", e.what());
        return 1;
    }
}
