// What a host learns through the dispatcher of the built module: identity
// texts, pins, capability answers, the base answers, and that every text
// query terminates the host's buffer.
#include <cstring>
#include <string>
#include <vector>

#include "editor/EditorTestPort.h"
#include "tests/plugin/ModuleFixture.h"
#include "tests/plugin/TestPlugin.h"

namespace {

using trv4test::HostBuffer;
using namespace vst;

class HostQueries : public trv4test::ModuleTest {};

TEST_F(HostQueries, IdentityTexts) {
    auto& fx = makeEffect();
    const struct {
        VstInt32 opcode;
        const char* text;
    } cases[] = {{effGetEffectName, "TRV-4"}, {effGetVendorString, "Tolvmark Audio"}, {effGetProductString, "TRV-4"}};
    for (const auto& c : cases) {
        HostBuffer buffer;
        EXPECT_EQ(fx.dispatch(c.opcode, 0, 0, buffer.data()), 1) << c.opcode;
        EXPECT_EQ(buffer.text(), c.text);
        EXPECT_TRUE(buffer.untouchedAfterText());
    }
    EXPECT_EQ(fx.record()->uniqueID, 0x37393433);
    EXPECT_EQ(fx.record()->version, 1);
    EXPECT_EQ(fx.record()->flags & effFlagsProgramChunks, 0) << "no chunks: state goes through parameters";
    EXPECT_EQ(fx.dispatch(effGetVendorVersion), 0);
    EXPECT_EQ(fx.dispatch(effGetVstVersion), 2300);
    EXPECT_EQ(fx.dispatch(effGetPlugCategory), 0);
    HostBuffer error;
    EXPECT_EQ(fx.dispatch(effGetErrorText, 0, 0, error.data()), 0);
}

TEST_F(HostQueries, OutputPins) {
    auto& fx = makeEffect();
    for (int index : {0, 1}) {
        VstPinProperties pin;
        std::memset(&pin, 0x5A, sizeof pin);
        EXPECT_EQ(fx.dispatch(effGetOutputProperties, index, 0, &pin), 1);
        ASSERT_NE(std::memchr(pin.label, 0, sizeof pin.label), nullptr);
        EXPECT_EQ(std::string(pin.label), index == 0 ? " 1" : " 2");
        EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
        VstInt32 untouched;
        std::memset(&untouched, 0x5A, sizeof untouched);
        EXPECT_EQ(pin.arrangementType, untouched) << "left as the host passed it";
        EXPECT_EQ(pin.shortLabel[0], 0x5A);
    }
    for (int index : {2, -1, 100}) {
        VstPinProperties pin;
        std::memset(&pin, 0x5A, sizeof pin);
        EXPECT_EQ(fx.dispatch(effGetOutputProperties, index, 0, &pin), 0) << index;
        EXPECT_EQ(pin.label[0], 0x5A);
    }
    VstPinProperties pin{};
    EXPECT_EQ(fx.dispatch(effGetInputProperties, 0, 0, &pin), 0);
}

TEST_F(HostQueries, CanDoAnswersNoToEverything) {
    auto& fx = makeEffect();
    const char* queries[] = {"sendVstEvents",
                             "sendVstMidiEvent",
                             "sendVstTimeInfo",
                             "receiveVstEvents",
                             "receiveVstMidiEvent",
                             "receiveVstTimeInfo",
                             "offline",
                             "plugAsChannelInsert",
                             "plugAsSend",
                             "mixDryWet",
                             "noRealTime",
                             "multipass",
                             "metapass",
                             "1in1out",
                             "1in2out",
                             "2in1out",
                             "2in2out",
                             "2in4out",
                             "4in2out",
                             "4in4out",
                             "4in8out",
                             "8in4out",
                             "8in8out",
                             "midiProgramNames",
                             "conformsToWindowRules",
                             "bypass",
                             ""};
    for (const char* q : queries) {
        std::string text = q;
        EXPECT_EQ(fx.dispatch(effCanDo, 0, 0, text.data()), -1) << '"' << q << '"';
    }
}

TEST_F(HostQueries, BaseAnswers) {
    auto& fx = makeEffect();
    void* chunk = &fx;
    EXPECT_EQ(fx.dispatch(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(chunk, &fx) << "ptr left alone";
    EXPECT_EQ(fx.dispatch(effGetChunk, 1, 0, &chunk), 0);
    char data[16] = {};
    fx.setParameter(0, 0.25f);
    EXPECT_EQ(fx.dispatch(effSetChunk, 0, sizeof data, data), 0);
    EXPECT_EQ(fx.getParameter(0), 0.25f);
    for (int index : {0, 20, 21}) EXPECT_EQ(fx.dispatch(effCanBeAutomated, index), 1) << index;
    char value[] = "0.5";
    EXPECT_EQ(fx.dispatch(effString2Parameter, 0, 0, value), 0);
    EXPECT_EQ(fx.getParameter(0), 0.25f);
    char properties[256] = {};
    EXPECT_EQ(fx.dispatch(effGetParameterProperties, 0, 0, properties), 0);
    EXPECT_EQ(fx.dispatch(effGetTailSize), 0);
    EXPECT_EQ(fx.dispatch(effGetNumProgramCategories), 1);
    EXPECT_EQ(fx.dispatch(effKeysRequired), 1);
}

// The editor's test port opens only to both magic numbers and a record of
// its own size; any other vendor-specific request answers 0, leaves the
// record alone, and the editor still needs a parent window.
TEST_F(HostQueries, TheTestPortOpensOnlyToItsOwnRequest) {
    auto& fx = makeEffect();
    trv4::EditorTestPort port{};
    port.size = sizeof port;
    trv4::EditorTestPort shortRecord{};
    shortRecord.size = sizeof shortRecord - 1;
    EXPECT_EQ(fx.dispatch(effVendorSpecific, trv4::kTestPortIndex + 1, trv4::kTestPortValue, &port), 0);
    EXPECT_EQ(fx.dispatch(effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue + 1, &port), 0);
    EXPECT_EQ(fx.dispatch(effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue, nullptr), 0);
    EXPECT_EQ(fx.dispatch(effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue, &shortRecord), 0);
    EXPECT_EQ(port.context, nullptr);
    EXPECT_EQ(port.capture, nullptr);
    EXPECT_EQ(shortRecord.context, nullptr);
    EXPECT_EQ(fx.dispatch(effEditOpen), 0) << "no parent window and no port";

    ASSERT_EQ(fx.dispatch(effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue, &port), 1);
    EXPECT_NE(port.context, nullptr);
    EXPECT_EQ(port.capture(port.context, nullptr, 755, 370), 0) << "no window open yet";
    ASSERT_EQ(fx.dispatch(effEditOpen), 1) << "off-screen on the port's backend";
    std::vector<uint32_t> pixels(755 * 370);
    EXPECT_EQ(port.capture(port.context, pixels.data(), 755, 370), 1);
    EXPECT_EQ(port.capture(port.context, pixels.data(), 370, 755), 0) << "the size must match";
    fx.dispatch(effEditClose);
    EXPECT_EQ(port.capture(port.context, pixels.data(), 755, 370), 0) << "closed: nothing to drive";
}

// A host that passes uninitialised buffers must get a terminated text from
// every query, including those with nothing to say.
TEST_F(HostQueries, EveryTextQueryTerminatesTheBuffer) {
    auto& fx = makeEffect();
    const struct {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        const char* expected;
    } cases[] = {
        {effGetParamName, 0, 0, "Delay"},
        {effGetParamName, 19, 0, "Hi-Cut"},
        {effGetParamName, 20, 0, ""},
        {effGetParamName, 21, 0, ""},
        {effGetParamName, -1, 0, ""},
        {effGetParamDisplay, 0, 0, "14 ms"},
        {effGetParamDisplay, 20, 0, ""},
        {effGetParamDisplay, 21, 0, ""},
        {effGetParamDisplay, -1, 0, ""},
        {effGetParamLabel, 0, 0, ""},
        {effGetParamLabel, 20, 0, ""},
        {effGetProgramName, 0, 0, "Wide Chorus"},
        {effGetProgramNameIndexed, 44, 0, "Bucket on Head"},
        {effGetProgramNameIndexed, 45, 0, ""},
        {effGetProgramNameIndexed, -1, 0, ""},
    };
    for (const auto& c : cases) {
        HostBuffer buffer;
        fx.dispatch(c.opcode, c.index, c.value, buffer.data());
        EXPECT_EQ(buffer.text(), c.expected) << "opcode " << c.opcode << " index " << c.index;
        EXPECT_TRUE(buffer.untouchedAfterText()) << "opcode " << c.opcode << " index " << c.index;
    }
    HostBuffer name;
    EXPECT_EQ(fx.dispatch(effGetProgramNameIndexed, 41, 0, name.data()), 1);
    EXPECT_EQ(name.text(), "Come baaaaaack!");
    EXPECT_EQ(fx.dispatch(effGetProgramNameIndexed, 45, 0, name.data()), 0);
}

}  // namespace
