// The checks of trv4 validate for a .vst3 bundle: the interface's own rules
// (the factory, the call order initialize, setupProcessing, setActive,
// setProcessing and back, the thread rules, parameters and their texts, the
// program list, state round trips of the component and the controller, the
// editor's view) and the sound (sample-accurate parameter points, every
// program at every rate in blocks of odd sizes). Each check makes its own
// instances on the validating thread; the host records every call the
// plug-in makes into it from the wrong thread, and each check fails on one.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

#include "editor/EditorTestPort.h"
#include "tools/trv4/validate/Checks.h"
#include "tools/trv4/validate/Signals.h"
#include "vst3/Vst3TestPort.h"

namespace trv4tool::validate {

namespace {

using trv4host::Vst3Change;
using trv4host::Vst3Instance;

std::unique_ptr<Vst3Instance> make(Session& session, Faults& faults) {
    std::string error;
    auto instance = Vst3Instance::Create(*session.module().vst3(), error);
    if (!instance) faults.add(error);
    return instance;
}

void expectThreadRules(Vst3Instance& instance, Faults& faults) {
    for (const std::string& fault : instance.threadFaults) faults.add(fault);
}

// The program-change parameter, when there is one.
bool programChange(Vst3Instance& instance, vst3::ParameterInfo& info) {
    for (int i = 0; i < instance.parameterCount(); ++i)
        if (instance.parameterInfo(i, info) && (info.flags & vst3::ParameterInfo::kIsProgramChange)) return true;
    return false;
}

// Selects a program as a host's preset menu does: the controller's value,
// then the processor's through a flush when it processes.
bool selectProgram(Vst3Instance& instance, int program) {
    vst3::ParameterInfo info;
    if (!programChange(instance, info) || info.stepCount < 1) return false;
    const double value = static_cast<double>(program) / info.stepCount;
    if (instance.controller()->setParamNormalized(info.id, value) != vst3::kResultOk) return false;
    if (instance.processing()) {
        const Vst3Change change{0, info.id, value};
        instance.process(nullptr, nullptr, nullptr, nullptr, 0, &change, 1, nullptr);
    }
    return true;
}

bool seed(Vst3Instance& instance, uint64_t value) {
    trv4::IVst3TestPort* port = instance.query<trv4::IVst3TestPort>();
    if (!port) return false;
    port->seedRandom(value);
    port->release();
    return true;
}

// Processes in through instance in blocks of `block` frames, no changes.
Stereo run(Vst3Instance& instance, const Stereo& in, int block, bool inPlace = false) {
    Stereo out(in.frames());
    if (inPlace) out = in;
    for (size_t start = 0; start < in.frames(); start += static_cast<size_t>(block)) {
        const int n = static_cast<int>(std::min<size_t>(static_cast<size_t>(block), in.frames() - start));
        const float* l = inPlace ? &out.left[start] : &in.left[start];
        const float* r = inPlace ? &out.right[start] : &in.right[start];
        instance.process(l, r, &out.left[start], &out.right[start], n, nullptr, 0, nullptr);
    }
    return out;
}

bool start(Vst3Instance& instance, double rate, int maxFrames) {
    return instance.setup(rate, maxFrames) && instance.activate() && instance.startProcessing();
}

Outcome factory(Session& session) {
    Faults faults;
    const trv4host::Vst3Module& module = *session.module().vst3();
    const trv4host::Vst3Class& audio = module.audioClass();
    faults.expect(!audio.name.empty(), "the audio class has no name");
    faults.expect(audio.subCategories.find("Fx") != std::string::npos, "the audio class is not in the Fx category");
    faults.expect(module.factoryInfo().vendor[0] != 0, "the factory names no vendor");
    vst3::IPluginFactory* f = module.factory();
    void* obj = reinterpret_cast<void*>(1);
    const vst3::Uid nobody = vst3::makeUid(0x01234567, 0x89ABCDEF, 0x01234567, 0x89ABCDEF);
    faults.expect(f->createInstance(nobody.bytes, vst3::IComponent::iid.bytes, &obj) != vst3::kResultOk && !obj,
                  "an unknown class id made an object");
    obj = reinterpret_cast<void*>(1);
    faults.expect(f->createInstance(audio.cid.data(), nobody.bytes, &obj) != vst3::kResultOk && !obj,
                  "an unknown interface id made an object");
    return faults.outcome(audio.name + " " + audio.version + " (" + audio.subCategories + ")");
}

Outcome callOrder(Session& session) {
    // initialize, then rounds of setupProcessing, setActive(true),
    // setProcessing(true), blocks and a parameter flush, setProcessing(false),
    // setActive(false), at other rates and sizes; terminate at the end.
    Faults faults;
    auto instance = make(session, faults);
    if (!instance) return faults.outcome("");
    faults.expect(instance->processor()->canProcessSampleSize(vst3::kSample32) == vst3::kResultTrue,
                  "32-bit samples refused");
    vst3::SpeakerArrangement mono = 0x1, stereo = vst3::kSpeakerStereo;
    faults.expect(instance->processor()->setBusArrangements(&stereo, 1, &stereo, 1) == vst3::kResultTrue,
                  "stereo in and out refused");
    if (instance->processor()->setBusArrangements(&mono, 1, &mono, 1) == vst3::kResultTrue) {
        vst3::SpeakerArrangement now = 0;
        instance->processor()->getBusArrangement(vst3::kOutput, 0, now);
        faults.expect(now == mono, "mono accepted but not taken");
    }
    instance->processor()->setBusArrangements(&stereo, 1, &stereo, 1);
    Stereo in = makeSignal(Signal::kNoise, 4096, 44100, 7);
    const struct {
        double rate;
        int maxFrames;
    } rounds[] = {{44100, 512}, {96000, 64}, {192000, 4096}, {48000, 1}};
    for (const auto& round : rounds) {
        const std::string at = " at " + std::to_string(static_cast<int>(round.rate));
        if (!instance->setup(round.rate, round.maxFrames)) {
            faults.add("setupProcessing refused" + at);
            continue;
        }
        if (!instance->activate() || !instance->startProcessing()) {
            faults.add("setActive or setProcessing refused" + at);
            instance->deactivate();
            continue;
        }
        Stereo out = run(*instance, in, round.maxFrames);
        faults.expect(instance->process(nullptr, nullptr, nullptr, nullptr, 0, nullptr, 0, nullptr) == vst3::kResultOk,
                      "a parameter flush (no samples) failed" + at);
        Analysis a;
        a.add(out);
        if (!a.fault().empty()) faults.add(a.fault() + at);
        faults.expect(a.rms() > 0, "silence out" + at);
        instance->stopProcessing();
        instance->deactivate();
    }
    // setProcessing(false) right after true, with no block between.
    faults.expect(start(*instance, 44100, 512), "a fifth round refused");
    instance->stopProcessing();
    instance->deactivate();
    expectThreadRules(*instance, faults);
    return faults.outcome("4 rounds of setupProcessing, setActive, setProcessing, process, and back");
}

Outcome threadRules(Session& session) {
    // The audio thread processes while the user-interface thread selects
    // programs, moves parameters, reads their texts, and saves and loads the
    // state; the plug-in calls the host only on the user-interface thread.
    Faults faults;
    auto instance = make(session, faults);
    if (!instance || !start(*instance, 48000, 256)) return faults.outcome("setup refused");
    std::atomic<bool> stop{false};
    Analysis analysis;
    std::thread audio([&] {
        Stereo in = makeSignal(Signal::kNoise, 256, 48000, 3);
        while (!stop.load()) analysis.add(run(*instance, in, 256));
    });
    std::vector<uint8_t> component, controller;
    const int count = instance->parameterCount();
    for (int i = 0; i < 40; ++i) {
        vst3::ParameterInfo info;
        if (instance->parameterInfo(i % count, info) && !(info.flags & vst3::ParameterInfo::kIsProgramChange)) {
            instance->controller()->setParamNormalized(info.id, session.uniform());
            instance->valueText(info.id, instance->value(info.id));
        }
        vst3::ParameterInfo program;
        if (programChange(*instance, program))
            instance->controller()->setParamNormalized(
                program.id, (i % (program.stepCount + 1)) / std::max(1.0, double(program.stepCount)));
        if (instance->saveState(component, controller)) instance->loadState(component, controller);
    }
    stop.store(true);
    audio.join();
    instance->stopProcessing();
    instance->deactivate();
    if (!analysis.fault().empty()) faults.add(analysis.fault());
    expectThreadRules(*instance, faults);
    return faults.outcome(std::to_string(analysis.frames) +
                          " frames processed on a second thread while programs, parameters and state changed");
}

Outcome parameters(Session& session) {
    Faults faults;
    auto instance = make(session, faults);
    if (!instance) return faults.outcome("");
    const int count = instance->parameterCount();
    std::vector<vst3::ParamID> ids;
    int checked = 0, programChanges = 0;
    vst3::IEditController& c = *instance->controller();
    for (int i = 0; i < count; ++i) {
        vst3::ParameterInfo info;
        if (!instance->parameterInfo(i, info)) {
            faults.add("no info for parameter " + std::to_string(i));
            continue;
        }
        ids.push_back(info.id);
        std::string name;
        for (const char16_t* t = info.title; *t && name.size() < 127; ++t) name += static_cast<char>(*t);
        faults.expect(info.defaultNormalizedValue >= 0 && info.defaultNormalizedValue <= 1 && info.stepCount >= 0,
                      name + ": default or steps out of range");
        if (info.flags & vst3::ParameterInfo::kIsProgramChange) ++programChanges;
        if (info.flags & vst3::ParameterInfo::kIsHidden) continue;
        faults.expect(!name.empty(), "parameter " + std::to_string(i) + " has no title");
        // Every text reads back as a value that shows the same text, and a
        // stepped value survives plain and back.
        for (int k = 0; k <= 100; ++k) {
            double v = k / 100.0;
            if (info.stepCount > 0) v = std::nearbyint(v * info.stepCount) / info.stepCount;
            const std::string text = instance->valueText(info.id, v);
            vst3::String128 wide{};
            for (size_t n = 0; n < text.size() && n < 127; ++n) wide[n] = static_cast<unsigned char>(text[n]);
            vst3::ParamValue back = -1;
            if (c.getParamValueByString(info.id, wide, back) != vst3::kResultOk) {
                faults.add(name + ": \"" + text + "\" not read back");
                continue;
            }
            faults.expect(instance->valueText(info.id, back) == text,
                          name + ": \"" + text + "\" reads back as \"" + instance->valueText(info.id, back) + "\"");
            if (info.stepCount > 0)
                faults.expect(
                    std::fabs(c.plainParamToNormalized(info.id, c.normalizedParamToPlain(info.id, v)) - v) < 1e-9,
                    name + ": a step does not survive plain and back");
            ++checked;
        }
    }
    std::sort(ids.begin(), ids.end());
    faults.expect(std::adjacent_find(ids.begin(), ids.end()) == ids.end(), "two parameters share an id");
    faults.expect(programChanges <= 1, "more than one program-change parameter");
    expectThreadRules(*instance, faults);
    return faults.outcome(std::to_string(count) + " parameters, " + std::to_string(checked) + " texts read back");
}

Outcome programs(Session& session) {
    // The program change's steps are the program list of its unit; each
    // selects its own values.
    Faults faults;
    auto instance = make(session, faults);
    if (!instance) return faults.outcome("");
    vst3::ParameterInfo change;
    if (!programChange(*instance, change)) return {Outcome::kSkip, "no program-change parameter"};
    vst3::IUnitInfo* units = instance->units();
    vst3::ProgramListID listId = vst3::kNoProgramListId;
    for (vst3::int32 u = 0; units && u < units->getUnitCount(); ++u) {
        vst3::UnitInfo unit{};
        if (units->getUnitInfo(u, unit) == vst3::kResultOk && unit.id == change.unitId) listId = unit.programListId;
    }
    int listed = -1;
    for (vst3::int32 l = 0; units && l < units->getProgramListCount(); ++l) {
        vst3::ProgramListInfo list{};
        if (units->getProgramListInfo(l, list) == vst3::kResultOk && list.id == listId) listed = list.programCount;
    }
    faults.expect(listed == change.stepCount + 1, "the program list and the program change count differently");
    std::vector<std::vector<double>> values;
    for (int p = 0; p <= change.stepCount; ++p) {
        vst3::String128 name{};
        faults.expect(units && units->getProgramName(listId, p, name) == vst3::kResultOk && name[0] != 0,
                      "program " + std::to_string(p) + " has no name");
        faults.expect(selectProgram(*instance, p), "program " + std::to_string(p) + " not selected");
        const double expected = static_cast<double>(p) / change.stepCount;
        faults.expect(std::fabs(instance->value(change.id) - expected) < 1e-9,
                      "program " + std::to_string(p) + " reads back as another");
        std::vector<double> v;
        for (int i = 0; i < instance->parameterCount(); ++i) {
            vst3::ParameterInfo info;
            if (instance->parameterInfo(i, info) && info.id != change.id) v.push_back(instance->value(info.id));
        }
        values.push_back(v);
    }
    std::sort(values.begin(), values.end());
    const auto distinct = std::unique(values.begin(), values.end()) - values.begin();
    faults.expect(distinct > 1, "every program has the same values");
    expectThreadRules(*instance, faults);
    return faults.outcome(std::to_string(change.stepCount + 1) + " programs listed and selected, " +
                          std::to_string(distinct) + " distinct");
}

Outcome sampleAccuracy(Session& session) {
    // A point at frame k inside a block sounds as the same change made at
    // the start of a block cut at k.
    Faults faults;
    auto a = make(session, faults), b = make(session, faults);
    if (!a || !b) return faults.outcome("");
    vst3::ParameterInfo p0, p2;
    if (!a->parameterInfo(0, p0) || !a->parameterInfo(2, p2)) return faults.outcome("fewer than 3 parameters");
    Stereo in = makeSignal(Signal::kNoise, 512, 44100, 11);
    // The instances of a module may share one random generator, which the
    // activation draws from too: each is seeded just before it starts.
    auto prepare = [&](Vst3Instance& instance, uint32_t k) {
        instance.deactivate();
        if (!seed(instance, 1234 + k)) faults.add("no test port to seed the random generator");
        selectProgram(instance, 14);
        start(instance, 44100, 512);
    };
    for (int k : {1, 137, 301, 511}) {
        const Vst3Change changes[] = {{k, p0.id, 0.25}, {k, p2.id, 0.9}};
        const Vst3Change atStart[] = {{0, p0.id, 0.25}, {0, p2.id, 0.9}};
        Stereo whole(512), cut(512);
        prepare(*a, static_cast<uint32_t>(k));
        a->process(in.left.data(), in.right.data(), whole.left.data(), whole.right.data(), 512, changes, 2, nullptr);
        prepare(*b, static_cast<uint32_t>(k));
        b->process(in.left.data(), in.right.data(), cut.left.data(), cut.right.data(), k, nullptr, 0, nullptr);
        b->process(&in.left[k], &in.right[k], &cut.left[k], &cut.right[k], 512 - k, atStart, 2, nullptr);
        faults.expect(!std::memcmp(whole.left.data(), cut.left.data(), 512 * sizeof(float)) &&
                          !std::memcmp(whole.right.data(), cut.right.data(), 512 * sizeof(float)),
                      "a point at frame " + std::to_string(k) + " does not sound as a block cut there");
    }
    expectThreadRules(*a, faults);
    return faults.outcome("points at frames 1, 137, 301, 511");
}

Outcome stateRoundTrip(Session& session) {
    // Component and controller state: a state saved by one instance loads
    // into another (read 3 bytes at a time), which then saves the same bytes
    // and shows the same values; damaged, cut, empty and foreign streams are
    // refused and leave the plug-in as it was; a state followed by other
    // data is read to its own end only.
    Faults faults;
    auto a = make(session, faults), b = make(session, faults);
    if (!a || !b) return faults.outcome("");
    selectProgram(*a, 7);
    for (int i = 0; i < a->parameterCount(); ++i) {
        vst3::ParameterInfo info;
        if (a->parameterInfo(i, info) && !(info.flags & vst3::ParameterInfo::kIsProgramChange))
            a->controller()->setParamNormalized(info.id, session.uniform());
    }
    std::vector<uint8_t> component, controller, component2, controller2;
    if (!a->saveState(component, controller)) return faults.outcome("getState refused");
    faults.expect(!component.empty(), "an empty component state");
    faults.expect(b->loadState(component, controller, 3), "its own state refused (3 bytes a read)");
    faults.expect(b->saveState(component2, controller2) && component2 == component && controller2 == controller,
                  "a loaded state saves differently");
    for (int i = 0; i < a->parameterCount(); ++i) {
        vst3::ParameterInfo info;
        if (a->parameterInfo(i, info))
            faults.expect(a->value(info.id) == b->value(info.id),
                          "parameter " + std::to_string(info.id) + " differs after loading");
    }

    selectProgram(*b, 12);
    std::vector<uint8_t> before, beforeController;
    b->saveState(before, beforeController);
    std::vector<std::vector<uint8_t>> bad = {{},
                                             std::vector<uint8_t>(component.begin(), component.end() - 1),
                                             component,
                                             controller,
                                             std::vector<uint8_t>(64, 0x5A)};
    bad[2][component.size() / 3] ^= 1;
    int refused = 0;
    for (const auto& bytes : bad) {
        if (!b->loadState(bytes, {})) ++refused;
        std::vector<uint8_t> now, nowController;
        b->saveState(now, nowController);
        faults.expect(now == before && nowController == beforeController, "a refused state changed the plug-in");
    }
    faults.expect(refused == static_cast<int>(bad.size()), "an empty, cut, damaged or foreign component state loaded");
    if (!controller.empty()) {
        std::vector<uint8_t> cutController(controller.begin(), controller.end() - 1);
        faults.expect(!b->loadState(component, cutController), "a cut controller state loaded");
    }
    // Hosts keep other data behind the plug-in's in one stream.
    std::vector<uint8_t> longer = component;
    longer.insert(longer.end(), {1, 2, 3, 4, 5});
    size_t used = 0;
    faults.expect(b->loadState(longer, {}, SIZE_MAX, &used) && used == component.size(),
                  "a state followed by other data was not read to its own end (" + std::to_string(used) + " of " +
                      std::to_string(component.size()) + " bytes)");
    expectThreadRules(*b, faults);
    return faults.outcome(std::to_string(component.size()) + " + " + std::to_string(controller.size()) +
                          " bytes round trip; 6 bad streams refused");
}

Outcome signals(Session& session) {
    // Every program at every rate the engine is built for, in blocks of odd
    // sizes, and in place: finite, no subnormals, within the ceiling.
    Faults faults;
    auto instance = make(session, faults);
    if (!instance) return faults.outcome("");
    vst3::ParameterInfo change{};
    const int programCount = programChange(*instance, change) ? change.stepCount + 1 : 1;
    const int blocks[] = {1, 7, 333, 2048};
    int runs = 0;
    for (float rate : kSupportedRates) {
        Stereo in = makeSignal(Signal::kNoise, static_cast<size_t>(rate / 8), rate, 5);
        for (int p = 0; p < programCount; ++p) {
            const int block = blocks[p % 4];
            selectProgram(*instance, p);
            if (!start(*instance, rate, block)) {
                faults.add("start refused at " + std::to_string(int(rate)));
                continue;
            }
            Analysis a;
            a.add(run(*instance, in, block, p % 2 == 1));
            if (!a.fault().empty())
                faults.add("program " + std::to_string(p) + " at " + std::to_string(int(rate)) + ": " + a.fault());
            instance->deactivate();
            ++runs;
        }
    }
    expectThreadRules(*instance, faults);
    return faults.outcome(std::to_string(runs) + " runs");
}

Outcome editor(Session& session) {
    // The view: its window systems and size; opened on the headless window
    // system of the editor's test port, it asks the Linux run loop for its
    // idle, a wheel notch on a knob reaches the host as one edit (begin,
    // perform, end), and closing it leaves nothing registered.
    Faults faults;
    auto instance = make(session, faults);
    if (!instance) return faults.outcome("");
    vst3::IPlugView* view = instance->view();
    if (!view) return {Outcome::kSkip, "no editor (the controller makes no view)"};
#if defined(_WIN32)
    const char* type = vst3::kPlatformTypeHWND;
#else
    const char* type = vst3::kPlatformTypeX11EmbedWindowID;
#endif
    faults.expect(view->isPlatformTypeSupported(type) == vst3::kResultTrue, std::string(type) + " not supported");
    faults.expect(view->isPlatformTypeSupported("NoSuchWindowSystem") != vst3::kResultTrue,
                  "an unknown window system is supported");
    vst3::ViewRect size{};
    faults.expect(view->getSize(&size) == vst3::kResultOk && size.width() > 0 && size.height() > 0, "no view size");
    std::string summary = std::to_string(size.width()) + " x " + std::to_string(size.height());

    trv4::EditorTestPort port{};
    port.size = sizeof port;
    trv4::IVst3TestPort* tools = instance->query<trv4::IVst3TestPort>();
    const bool headless = tools && tools->fillEditorTestPort(&port);
    if (tools) tools->release();
    if (headless && instance->attachView(nullptr)) {
#if !defined(_WIN32)
        faults.expect(instance->timerCount() + instance->fdHandlerCount() > 0,
                      "the view asked the run loop for no idle");
#endif
        instance->idle(true);
        trv4::EditorControlInfo knob{};
        if (port.controlInfo && port.controlInfo(port.context, "DelayCoarseControl", &knob)) {
            instance->edits.clear();
            port.mouseWheel(port.context, knob.left + knob.width / 2, knob.top + knob.height / 2, 120);
            instance->idle(true);
            const auto& e = instance->edits;
            faults.expect(e.size() == 3 && e[0].kind == trv4host::Vst3Edit::kBegin &&
                              e[1].kind == trv4host::Vst3Edit::kPerform && e[2].kind == trv4host::Vst3Edit::kEnd &&
                              e[1].value == instance->value(e[1].id),
                          "a wheel notch did not come as begin, perform (the value the controller holds), end");
            summary += ", wheel notch as one edit";
        }
    } else if (headless) {
        faults.add("the view did not open on the test port's window system");
    }
    instance->closeView();
    faults.expect(instance->timerCount() == 0 && instance->fdHandlerCount() == 0,
                  "the view left timers or handlers registered");
    expectThreadRules(*instance, faults);
    return faults.outcome(summary);
}

}  // namespace

void addVst3Checks(std::vector<Check>& checks) {
    checks.push_back({"vst3-factory", factory});
    checks.push_back({"vst3-call-order", callOrder});
    checks.push_back({"vst3-thread-rules", threadRules});
    checks.push_back({"vst3-parameters", parameters});
    checks.push_back({"vst3-programs", programs});
    checks.push_back({"vst3-sample-accuracy", sampleAccuracy});
    checks.push_back({"vst3-state", stateRoundTrip});
    checks.push_back({"vst3-signals", signals});
    checks.push_back({"vst3-editor", editor});
}

}  // namespace trv4tool::validate
