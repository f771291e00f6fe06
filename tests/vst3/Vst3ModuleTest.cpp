// The VST3 bundle as a host meets it: the factory and its class, the one
// object with all its interfaces, the parameters against the VST 2 texts,
// the program list, and the saved state.
#include <cstring>

#include "ProductInfo.h"
#include "plugin/FactoryPrograms.h"
#include "tests/vst3/Vst3Rig.h"
#include "vst3/Vst3Parameters.h"
#include "vst3/Vst3State.h"

namespace {

using namespace trv4test;

class Vst3Module : public Vst3Test {};

TEST_F(Vst3Module, FactoryDescribesOneStableEffectClass) {
    ASSERT_TRUE(module->entered());
    vst3::IPluginFactory* factory = module->factory();
    vst3::PFactoryInfo info{};
    ASSERT_EQ(factory->getFactoryInfo(&info), vst3::kResultOk);
    EXPECT_STREQ(info.vendor, "Tolvmark Audio");
    EXPECT_TRUE(info.flags & vst3::PFactoryInfo::kUnicode);
    ASSERT_EQ(factory->countClasses(), 1);

    // The class id never changes between releases: hosts file sessions
    // under it. Its bytes follow the platform's identifier order.
#if defined(_WIN32)
    const char expected[17] = "4VRTV-3F7943Tolv";
#else
    const char expected[17] = "TRV4-VF37943Tolv";
#endif
    EXPECT_EQ(Vst3Instance::factoryClassId(factory), std::string(expected, 16));

    vst3::IPluginFactory3* factory3 = nullptr;
    ASSERT_EQ(factory->queryInterface(vst3::IPluginFactory3::iid.bytes, reinterpret_cast<void**>(&factory3)),
              vst3::kResultOk);
    vst3::PClassInfo2 info2{};
    ASSERT_EQ(factory3->getClassInfo2(0, &info2), vst3::kResultOk);
    EXPECT_STREQ(info2.category, "Audio Module Class");
    EXPECT_STREQ(info2.name, "TRV-4");
    EXPECT_STREQ(info2.subCategories, "Fx|Modulation");
    EXPECT_STREQ(info2.version, trv4::product::kVersionText);
    vst3::PClassInfoW wide{};
    ASSERT_EQ(factory3->getClassInfoUnicode(0, &wide), vst3::kResultOk);
    EXPECT_EQ(narrow(wide.name), "TRV-4");
    EXPECT_EQ(std::memcmp(wide.cid, info2.cid, 16), 0);
    EXPECT_EQ(factory3->getClassInfo2(1, &info2), vst3::kInvalidArgument);
    factory3->release();

    void* obj = &info;
    char otherClass[16] = {};
    EXPECT_NE(factory->createInstance(otherClass, vst3::IComponent::iid.bytes, &obj), vst3::kResultOk);
    EXPECT_EQ(obj, nullptr);
}

TEST_F(Vst3Module, OneStereoObjectForComponentProcessorAndController) {
    Vst3Instance& fx = makeInstance();
    ASSERT_TRUE(fx.processor && fx.controller && fx.units && fx.port);
    vst3::FUnknown* a = nullptr;
    vst3::FUnknown* b = nullptr;
    fx.component->queryInterface(vst3::FUnknown::iid.bytes, reinterpret_cast<void**>(&a));
    fx.controller->queryInterface(vst3::FUnknown::iid.bytes, reinterpret_cast<void**>(&b));
    EXPECT_EQ(a, b);
    a->release();
    b->release();

    EXPECT_EQ(fx.component->getBusCount(vst3::kAudio, vst3::kInput), 1);
    EXPECT_EQ(fx.component->getBusCount(vst3::kAudio, vst3::kOutput), 1);
    EXPECT_EQ(fx.component->getBusCount(vst3::kEvent, vst3::kInput), 0);
    vst3::BusInfo bus{};
    ASSERT_EQ(fx.component->getBusInfo(vst3::kAudio, vst3::kOutput, 0, bus), vst3::kResultOk);
    EXPECT_EQ(bus.channelCount, 2);
    EXPECT_EQ(bus.busType, vst3::kMain);
    EXPECT_TRUE(bus.flags & vst3::BusInfo::kDefaultActive);
    EXPECT_NE(fx.component->getBusInfo(vst3::kAudio, vst3::kOutput, 1, bus), vst3::kResultOk);

    vst3::SpeakerArrangement stereo = vst3::kSpeakerStereo, mono = 1;
    EXPECT_EQ(fx.processor->setBusArrangements(&stereo, 1, &stereo, 1), vst3::kResultTrue);
    EXPECT_NE(fx.processor->setBusArrangements(&mono, 1, &mono, 1), vst3::kResultTrue);

    // 32-bit samples only; the 64-bit kind is refused at every step.
    EXPECT_EQ(fx.processor->canProcessSampleSize(vst3::kSample32), vst3::kResultTrue);
    EXPECT_EQ(fx.processor->canProcessSampleSize(vst3::kSample64), vst3::kResultFalse);
    vst3::ProcessSetup setup64{vst3::kRealtime, vst3::kSample64, 512, 44100};
    EXPECT_NE(fx.processor->setupProcessing(setup64), vst3::kResultOk);
    fx.start(44100, 512, 1);
    vst3::ProcessData data64{};
    data64.symbolicSampleSize = vst3::kSample64;
    data64.numSamples = 16;
    EXPECT_NE(fx.processor->process(data64), vst3::kResultOk);

    EXPECT_EQ(fx.processor->getLatencySamples(), 0u);
    // "Wide Chorus": 14 ms delay with feedback at 0: one echo and the filters.
    const vst3::uint32 tail = fx.processor->getTailSamples();
    EXPECT_GT(tail, 0.014 * 44100);
    EXPECT_LT(tail, 0.2 * 44100);
    fx.controller->setParamNormalized(trv4::kFeedback, 1.0);
    EXPECT_GT(fx.processor->getTailSamples(), 100u * tail);
}

TEST_F(Vst3Module, ParametersShowAndReadTheVst2Texts) {
    Vst3Instance& fx = makeInstance();
    trv4host::Effect& reference = makeReference(44100, 1);
    ASSERT_EQ(fx.controller->getParameterCount(), 22);
    for (int i = 0; i < 21; ++i) {
        vst3::ParameterInfo info{};
        ASSERT_EQ(fx.controller->getParameterInfo(i, info), vst3::kResultOk);
        EXPECT_EQ(info.id, static_cast<vst3::ParamID>(i));
        EXPECT_EQ(narrow(info.title), reference.text(vst::effGetParamName, i)) << i;
        const bool wave = i == trv4::kWave1 || i == trv4::kWave2;
        const bool toggle = i >= trv4::kMono && i <= trv4::kSync;
        EXPECT_EQ(info.stepCount, wave ? 10 : toggle ? 1 : 0) << i;
        EXPECT_EQ(info.defaultNormalizedValue, trv4::kFactoryProgramValues[0][i]) << i;
        EXPECT_EQ((info.flags & vst3::ParameterInfo::kCanAutomate) != 0, i != trv4::kSpare) << i;
    }

    // Each round sets every parameter to v (Wave 1 to 1 - v, so that Wave 2
    // at 0 shows that it follows Wave 1) on both plug-ins; after one block
    // the VST 2 display texts are what the VST3 side shows for the value,
    // and reading a text back gives a value that shows the same text.
    std::vector<float> silence(64, 0.0f), l(64), r(64);
    for (float v : {0.0f, 0.07f, 0.25f, 0.5f, 0.5001f, 0.73f, 1.0f}) {
        for (int i = 0; i < 21; ++i) {
            const float value = i == trv4::kWave1 ? 1.0f - v : v;
            reference.setParameter(i, value);
            fx.controller->setParamNormalized(i, value);
        }
        reference.processReplacing(silence.data(), silence.data(), l.data(), r.data(), 64);
        for (int i = 0; i < 20; ++i) {
            const std::string shown = fx.text(i, fx.controller->getParamNormalized(i));
            EXPECT_EQ(shown, reference.text(vst::effGetParamDisplay, i)) << "parameter " << i << " at " << v;
            double back = -1;
            ASSERT_EQ(fx.controller->getParamValueByString(i, u16(shown.c_str()).data(), back), vst3::kResultOk)
                << shown;
            EXPECT_EQ(fx.text(i, back), shown) << "parameter " << i << " read back from " << shown;
        }
    }
    double value = -1;
    EXPECT_EQ(fx.controller->getParamValueByString(trv4::kDelay, u16("600").data(), value), vst3::kResultOk);
    EXPECT_EQ(value, 1.0);
    EXPECT_EQ(fx.controller->getParamValueByString(trv4::kDelay, u16("5 Hz").data(), value), vst3::kResultFalse);
    EXPECT_EQ(fx.controller->getParamValueByString(trv4::kMono, u16("on").data(), value), vst3::kResultOk);
    EXPECT_EQ(value, 1.0);
}

TEST_F(Vst3Module, ProgramListNamesTheProgramsAndTheProgramParameterSelectsThem) {
    Vst3Instance& fx = makeInstance();
    RecordingHandler handler;
    fx.controller->setComponentHandler(&handler);

    vst3::ParameterInfo program{};
    ASSERT_EQ(fx.controller->getParameterInfo(21, program), vst3::kResultOk);
    EXPECT_TRUE(program.flags & vst3::ParameterInfo::kIsProgramChange);
    EXPECT_EQ(program.stepCount, 44);
    vst3::UnitInfo unit{};
    ASSERT_EQ(fx.units->getUnitCount(), 1);
    ASSERT_EQ(fx.units->getUnitInfo(0, unit), vst3::kResultOk);
    EXPECT_EQ(unit.id, program.unitId);
    vst3::ProgramListInfo list{};
    ASSERT_EQ(fx.units->getProgramListCount(), 1);
    ASSERT_EQ(fx.units->getProgramListInfo(0, list), vst3::kResultOk);
    EXPECT_EQ(list.id, unit.programListId);
    ASSERT_EQ(list.programCount, 45);
    for (int p = 0; p < 45; ++p) {
        vst3::String128 name{};
        ASSERT_EQ(fx.units->getProgramName(list.id, p, name), vst3::kResultOk);
        EXPECT_EQ(narrow(name), trv4::kFactoryProgramNames[p]);
    }
    vst3::String128 name{};
    EXPECT_NE(fx.units->getProgramName(list.id, 45, name), vst3::kResultOk);

    // From the host's preset menu (controller side): the 21 values follow.
    // The host is not called back from inside its own call (Ardour 7 would
    // wait for its own lock there).
    const double leslie = 35.0 / 44.0;
    EXPECT_EQ(fx.text(program.id, leslie), "Leslie");
    double value = -1;
    ASSERT_EQ(fx.controller->getParamValueByString(program.id, u16("Leslie").data(), value), vst3::kResultOk);
    EXPECT_EQ(value, leslie);
    ASSERT_EQ(fx.controller->setParamNormalized(program.id, leslie), vst3::kResultOk);
    EXPECT_TRUE(handler.restarts.empty());
    EXPECT_EQ(fx.controller->getParamNormalized(program.id), leslie);
    for (int i = 0; i < 21; ++i) EXPECT_EQ(fx.controller->getParamNormalized(i), trv4::kFactoryProgramValues[35][i]);

    // Through process: the values go back to the host as output changes,
    // also for the program the controller side selected just before (the
    // host sends that change both ways, and this is its news of the values).
    fx.start(44100, 64, 1);
    std::vector<float> silence(64, 0.0f), l(64), r(64);
    for (int selected : {35, 44}) {
        ParameterChanges in, out;
        in.add(program.id, 10, selected / 44.0);
        ASSERT_EQ(fx.process(silence.data(), silence.data(), l.data(), r.data(), 64, &in, nullptr, &out),
                  vst3::kResultOk);
        ASSERT_EQ(out.queues.size(), 21u);
        for (auto& queue : out.queues) {
            ASSERT_EQ(queue->points.size(), 1u);
            EXPECT_EQ(queue->points[0].first, 10);
            EXPECT_EQ(queue->points[0].second, trv4::kFactoryProgramValues[selected][queue->id]) << queue->id;
            EXPECT_EQ(fx.controller->getParamNormalized(queue->id), trv4::kFactoryProgramValues[selected][queue->id]);
        }
    }
    fx.controller->setComponentHandler(nullptr);
}

std::vector<uint8_t> componentState(Vst3Instance& fx) {
    MemoryStream stream;
    EXPECT_EQ(fx.component->getState(&stream), vst3::kResultOk);
    return stream.bytes;
}

vst3::tresult restore(Vst3Instance& fx, std::vector<uint8_t> bytes, bool controller = false) {
    MemoryStream stream;
    stream.bytes = std::move(bytes);
    return controller ? fx.controller->setState(&stream) : fx.component->setState(&stream);
}

TEST_F(Vst3Module, StateCarriesTheBankIntoASecondInstanceAndRefusesDamage) {
    Vst3Instance& a = makeInstance();
    // Edits in two programs (written through into them), a third current.
    a.controller->setParamNormalized(trv4::kProgramParamId, 3.0 / 44);
    a.controller->setParamNormalized(trv4::kDelay, 0.1234);
    a.controller->setParamNormalized(trv4::kProgramParamId, 10.0 / 44);
    a.controller->setParamNormalized(trv4::kDepth, 0.9);
    a.controller->setParamNormalized(trv4::kProgramParamId, 7.0 / 44);
    const std::vector<uint8_t> saved = componentState(a);

    Vst3Instance& b = makeInstance();
    ASSERT_EQ(restore(b, saved), vst3::kResultOk);
    EXPECT_EQ(componentState(b), saved);
    EXPECT_EQ(b.controller->getParamNormalized(trv4::kProgramParamId), 7.0 / 44);
    b.controller->setParamNormalized(trv4::kProgramParamId, 3.0 / 44);
    EXPECT_EQ(b.controller->getParamNormalized(trv4::kDelay), 0.1234f);
    b.controller->setParamNormalized(trv4::kProgramParamId, 10.0 / 44);
    EXPECT_EQ(b.controller->getParamNormalized(trv4::kDepth), 0.9f);

    // Program names travel too.
    trv4::SavedBank renamed{};
    for (int p = 0; p < 45; ++p)
        for (int i = 0; i < 21; ++i) renamed.values[p][i] = trv4::kFactoryProgramValues[p][i];
    std::strcpy(renamed.names[12], "Renamed Twelve");
    renamed.current = 12;
    std::vector<uint8_t> bank(trv4::kMaxBankBytes);
    bank.resize(static_cast<size_t>(trv4::writeBank(renamed, bank.data())));
    Vst3Instance& c = makeInstance();
    ASSERT_EQ(restore(c, bank), vst3::kResultOk);
    vst3::String128 name{};
    c.units->getProgramName(1, 12, name);
    EXPECT_EQ(narrow(name), "Renamed Twelve");
    EXPECT_EQ(narrow(name), c.text(trv4::kProgramParamId, c.controller->getParamNormalized(trv4::kProgramParamId)));

    // Damaged, cut, foreign or newer data leaves the plug-in as it was.
    const std::vector<uint8_t> before = componentState(b);
    std::vector<uint8_t> flipped = saved;
    flipped[flipped.size() / 2] ^= 0x10;
    std::vector<uint8_t> cut(saved.begin(), saved.end() - 1);
    std::vector<uint8_t> newer = saved;
    newer[8] = 2;
    MemoryStream controllerState;
    ASSERT_EQ(a.controller->getState(&controllerState), vst3::kResultOk);
    for (const auto& bad : {flipped, cut, newer, controllerState.bytes, std::vector<uint8_t>{}}) {
        EXPECT_EQ(restore(b, bad), vst3::kResultFalse);
        EXPECT_EQ(componentState(b), before);
    }

    // The controller's own state: its header round-trips, the component's
    // stream is not one.
    EXPECT_EQ(restore(b, controllerState.bytes, true), vst3::kResultOk);
    EXPECT_EQ(restore(b, saved, true), vst3::kResultFalse);
}

}  // namespace
