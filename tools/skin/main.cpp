// trv4-skin: draws every picture of the editor and writes them as PNG files
// into a folder, for a person to look at or for an editor build to pick up;
// preview.png shows them put together as the editor shows them in use. With
// --form it writes the editor's complete stored description instead (the
// form text editor/PluginEditorWindow.form with every picture as a payload),
// as text for a person to read or as the C++ source the build embeds.
//
//   trv4-skin OUTPUT-FOLDER
//   trv4-skin --form FILE [--template FORM]
//   trv4-skin --form-source FILE.cpp [--template FORM]
//
// Without --template the form text built into the tool is used. Exit status
// 0 when every file was written, 1 on a failure, 2 on a usage error.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "skin/FormSkin.h"
#include "tools/skin/PngFile.h"
#include "tools/skin/Preview.h"
#include "skin/SkinPictures.h"

namespace platform {
const uint8_t* EditorFormTemplateData();
size_t EditorFormTemplateSize();
}  // namespace platform

namespace {

using Drawer = std::function<void(toolkit::TMemoryDIB&)>;

std::vector<std::pair<std::string, Drawer>> Pictures() {
    using namespace trv4skin;
    std::vector<std::pair<std::string, Drawer>> list = {
        {"chassis.png", [](toolkit::TMemoryDIB& d) { DrawChassis(d); }},
        {"index-pointer.png", [](toolkit::TMemoryDIB& d) { DrawPointer(d); }},
        {"knob-body.png", [](toolkit::TMemoryDIB& d) { DrawKnobBody(d); }},
        {"switch-on.png", [](toolkit::TMemoryDIB& d) { DrawSwitch(true, d); }},
        {"switch-off.png", [](toolkit::TMemoryDIB& d) { DrawSwitch(false, d); }},
        {"meter-cover.png", [](toolkit::TMemoryDIB& d) { DrawMeterCover(d); }},
        {"meter-column.png", [](toolkit::TMemoryDIB& d) { DrawMeterColumn(d); }},
        {"preview.png", DrawPreview},
    };
    for (int n = 1; n <= kWaveCount; ++n)
        list.emplace_back("wave-" + std::to_string(n) + ".png", [n](toolkit::TMemoryDIB& d) { DrawWave(n, d); });
    return list;
}

// The form text compiled into the tool (EmbedFile.cmake).
std::string BuiltInTemplate() {
    return std::string(reinterpret_cast<const char*>(platform::EditorFormTemplateData()),
                       platform::EditorFormTemplateSize());
}

// --form / --form-source: 0 written, 1 failure, 2 usage.
int WriteForm(int argc, char** argv) {
    const bool source = std::string(argv[1]) == "--form-source";
    std::string templateText;
    if (argc == 5 && std::string(argv[3]) == "--template") {
        std::ifstream in(argv[4], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "trv4-skin: cannot read %s\n", argv[4]);
            return 1;
        }
        templateText.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else if (argc == 3) {
        templateText = BuiltInTemplate();
    } else {
        return 2;
    }
    const std::string form = trv4skin::CompleteEditorForm(templateText);
    const std::string text = source ? trv4skin::DescriptionSource(form) : form;
    std::ofstream out(argv[2], std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "trv4-skin: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* usage =
        "usage: trv4-skin OUTPUT-FOLDER\n"
        "       trv4-skin --form FILE [--template FORM]\n"
        "       trv4-skin --form-source FILE.cpp [--template FORM]\n";
    if (argc >= 2 && (std::string(argv[1]) == "--form" || std::string(argv[1]) == "--form-source")) {
        try {
            const int status = WriteForm(argc, argv);
            if (status == 2) std::fprintf(stderr, "%s", usage);
            return status;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "trv4-skin: %s\n", e.what());
            return 1;
        }
    }
    if (argc != 2) {
        std::fprintf(stderr, "%s", usage);
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
