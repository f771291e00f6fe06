// trv4 info on a .vst3 bundle: what a VST3 host learns at load, in place of
// the VST 2 record and dispatcher answers: the factory and its classes, the
// interfaces the component answers, its buses, latency, tail, editor size,
// each parameter's id, flags and steps, and the program lists. The
// parameter and program tables follow from the common part of info.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/trv4/InfoSections.h"

namespace trv4tool {

namespace {

void line(const char* label, const std::string& value) { std::printf("  %-28s %s\n", label, value.c_str()); }

std::string narrow(const char16_t* text, size_t capacity) {
    std::string s;
    for (size_t i = 0; i < capacity && text[i]; ++i) s += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    return s;
}

std::string hex(const std::string& bytes) {
    std::string text;
    char digits[3];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", c);
        text += digits;
    }
    return text;
}

std::string paramFlags(vst3::int32 flags) {
    std::string text;
    auto add = [&](vst3::int32 bit, const char* name) {
        if (!(flags & bit)) return;
        if (!text.empty()) text += ' ';
        text += name;
    };
    using P = vst3::ParameterInfo;
    add(P::kCanAutomate, "automate");
    add(P::kIsReadOnly, "read-only");
    add(P::kIsWrapAround, "wrap");
    add(P::kIsList, "list");
    add(P::kIsHidden, "hidden");
    add(P::kIsProgramChange, "program-change");
    add(P::kIsBypass, "bypass");
    return text.empty() ? "none" : text;
}

template <typename Interface>
bool answers(const trv4host::Vst3Instance& instance) {
    Interface* i = instance.query<Interface>();
    if (i) i->release();
    return i != nullptr;
}

}  // namespace

void printVst3Sections(const trv4host::Vst3Module& module, trv4host::Vst3Instance& instance) {
    const vst3::PFactoryInfo& f = module.factoryInfo();
    std::printf("VST3 factory (%s)\n", module.binaryPath().c_str());
    line("vendor", std::string(f.vendor, strnlen(f.vendor, sizeof f.vendor)));
    line("url", std::string(f.url, strnlen(f.url, sizeof f.url)));
    line("flags", std::to_string(f.flags));
    for (const trv4host::Vst3Class& c : module.classes()) {
        std::printf("Class %s\n", hex(c.cid).c_str());
        line("category", c.category);
        line("name", c.name);
        line("subcategories", c.subCategories);
        line("vendor", c.vendor);
        line("version", c.version);
        line("interface version", c.sdkVersion);
    }

    std::printf("Interfaces of the component\n");
    line("IAudioProcessor", answers<vst3::IAudioProcessor>(instance) ? "offered" : "-");
    line("IEditController", instance.separateController() ? "separate object" : "same object");
    line("IUnitInfo", instance.units() ? "offered (controller)" : "-");
    line("IProcessContextRequirements", answers<vst3::IProcessContextRequirements>(instance) ? "offered" : "-");

    std::printf("Buses\n");
    for (vst3::BusDirection dir : {vst3::kInput, vst3::kOutput}) {
        for (vst3::int32 i = 0; i < instance.component()->getBusCount(vst3::kAudio, dir); ++i) {
            vst3::BusInfo bus{};
            if (instance.component()->getBusInfo(vst3::kAudio, dir, i, bus) != vst3::kResultOk) continue;
            char label[32], text[200];
            std::snprintf(label, sizeof label, "audio %s %d", dir == vst3::kInput ? "input" : "output", i);
            std::snprintf(text, sizeof text, "\"%s\", %d channels, %s%s", narrow(bus.name, 128).c_str(),
                          bus.channelCount, bus.busType == vst3::kMain ? "main" : "aux",
                          bus.flags & vst3::BusInfo::kDefaultActive ? ", active by default" : "");
            line(label, text);
        }
    }
    line("event buses", std::to_string(instance.component()->getBusCount(vst3::kEvent, vst3::kInput)) + " in, " +
                            std::to_string(instance.component()->getBusCount(vst3::kEvent, vst3::kOutput)) + " out");
    line("32-bit samples",
         instance.processor()->canProcessSampleSize(vst3::kSample32) == vst3::kResultTrue ? "yes" : "no");
    line("64-bit samples",
         instance.processor()->canProcessSampleSize(vst3::kSample64) == vst3::kResultTrue ? "yes" : "no");
    if (instance.setup(44100, 512) && instance.activate()) {
        line("latency", std::to_string(instance.processor()->getLatencySamples()) + " frames at 44100 Hz");
        line("tail", std::to_string(instance.processor()->getTailSamples()) + " frames at 44100 Hz");
        instance.deactivate();
    }
    vst3::ViewRect size{};
    if (vst3::IPlugView* view = instance.view(); view && view->getSize(&size) == vst3::kResultOk)
        line("editor", std::to_string(size.width()).append(" x ").append(std::to_string(size.height())));
    else
        line("editor", "no view");
    instance.closeView();

    std::printf("Parameter ids\n");
    std::printf("  %3s  %-6s %-14s %-8s %-22s %s\n", "#", "id", "title", "units", "flags", "steps (default)");
    for (int i = 0; i < instance.parameterCount(); ++i) {
        vst3::ParameterInfo info;
        if (!instance.parameterInfo(i, info)) continue;
        std::printf("  %3d  %-6u %-14s %-8s %-22s %d (%s)\n", i, info.id, narrow(info.title, 128).c_str(),
                    narrow(info.units, 128).c_str(), paramFlags(info.flags).c_str(), info.stepCount,
                    instance.valueText(info.id, info.defaultNormalizedValue).c_str());
    }
    vst3::IUnitInfo* units = instance.units();
    for (vst3::int32 l = 0; units && l < units->getProgramListCount(); ++l) {
        vst3::ProgramListInfo list{};
        if (units->getProgramListInfo(l, list) != vst3::kResultOk) continue;
        std::printf("Program list %d \"%s\": %d programs\n", list.id, narrow(list.name, 128).c_str(),
                    list.programCount);
    }
}

}  // namespace trv4tool
