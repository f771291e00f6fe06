#include "tools/trv4/EditorCalls.h"

#include <cstdio>

#include "editor/EditorFactory.h"
#include "tools/trv4/Numbers.h"

namespace trv4tool {

namespace {

// Larger than any screen: a rectangle beyond it is garbage.
constexpr int kLargestEditor = 8192;

}  // namespace

bool sendScaleHint(const LoadedPlugin& plugin, const Arguments& args, std::string& error) {
    if (!args.has("scale")) return true;
    double factor = 1;
    if (!numberOption(args, "scale", 1, 2, factor, error)) return false;
    plugin.effect().dispatch(vst::effVendorSpecific, trv4::kSizeHintIndex, trv4::kSizeHintValue, nullptr,
                             static_cast<float>(factor));
    return true;
}

bool editorSize(const LoadedPlugin& plugin, int& width, int& height, std::string& error) {
    const trv4host::Effect& effect = plugin.effect();
    if (!(effect.record()->flags & vst::effFlagsHasEditor)) {
        error = plugin.path() + " has no editor";
        return false;
    }
    vst::ERect* rect = nullptr;
    effect.dispatch(vst::effEditGetRect, 0, 0, &rect);
    if (!rect) {
        error = "the plug-in's editor answers no rectangle";
        return false;
    }
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    if (width <= 0 || height <= 0 || width > kLargestEditor || height > kLargestEditor) {
        error = "the plug-in's editor answers an unusable rectangle (" + std::to_string(width) + " x " +
                std::to_string(height) + ")";
        return false;
    }
    return true;
}

std::vector<std::string> parameterNames(const LoadedPlugin& plugin) {
    std::vector<std::string> names;
    for (int i = 0; i < plugin.effect().record()->numParams; ++i)
        names.push_back(plugin.effect().text(vst::effGetParamName, i));
    return names;
}

void printAutomation(LoadedPlugin& plugin, const std::vector<std::string>& names) {
    std::vector<trv4host::AutomationEvent>& log = plugin.host().automation;
    for (const trv4host::AutomationEvent& event : log) {
        const bool named = event.index >= 0 && event.index < static_cast<int>(names.size());
        std::printf("automate %d \"%s\" %s\n", event.index, named ? names[event.index].c_str() : "",
                    formatFloat(event.value).c_str());
    }
    if (!log.empty()) std::fflush(stdout);
    log.clear();
}

}  // namespace trv4tool
