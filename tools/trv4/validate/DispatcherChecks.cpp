// Checks of the dispatcher: every opcode from 0 to 80 with edge indices,
// values and buffers, and the text answers (always terminated, never longer
// than the plug-in's longest texts).
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include "editor/EditorTestPort.h"
#include "tools/trv4/validate/Checks.h"
#include "tools/trv4/validate/Signals.h"

namespace trv4tool::validate {

namespace {

// A buffer handed to the plug-in: the front of a larger arena whose rest
// shows any write past the longest text the plug-in writes.
class Arena {
public:
    static constexpr size_t kSize = 4096;
    static constexpr unsigned char kPattern = 0xA5;

    void fill(unsigned char value) { std::memset(bytes_, value, kSize); }
    // A text of n 'A's with no terminator before byte n (the arena's last
    // byte ends it, as a host's later memory might).
    void unterminated(size_t n) {
        fill(0);
        std::memset(bytes_, 'A', n);
    }
    char* data() { return reinterpret_cast<char*>(bytes_); }
    // First offset at or after from that no longer holds value; kSize if none.
    size_t changedFrom(size_t from, unsigned char value) const {
        for (size_t i = kSize; i-- > from;)
            if (bytes_[i] != value) return i;
        return kSize;
    }
    // Position of the first NUL, or kSize.
    size_t terminator() const {
        const void* nul = std::memchr(bytes_, 0, kSize);
        return nul ? static_cast<const unsigned char*>(nul) - bytes_ : kSize;
    }

private:
    alignas(16) unsigned char bytes_[kSize];
};

const char* opcodeName(int opcode) {
    static const char* const names[] = {
        "effOpen",           "effClose",          "effSetProgram",    "effGetProgram",
        "effSetProgramName", "effGetProgramName", "effGetParamLabel", "effGetParamDisplay",
        "effGetParamName",   "effGetVu",          "effSetSampleRate", "effSetBlockSize",
        "effMainsChanged",   "effEditGetRect",    "effEditOpen",      "effEditClose"};
    return opcode >= 0 && opcode < 16 ? names[opcode] : "opcode";
}

Outcome everyOpcode(Session& session) {
    Instance fx(session);
    fx.start(44100);
    // With the editor's test port taken, effEditOpen builds the window on
    // the headless backend, so it joins the sweep; without it, it would open
    // a real window and is left out.
    trv4::EditorTestPort port;
    std::memset(&port, 0, sizeof port);
    port.size = sizeof port;
    const bool headless = fx.dispatch(vst::effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue, &port) == 1;
    // The edges of the parameter and program ranges the record announces.
    const int params = fx.parameters(), programs = fx.programs();
    const vst::VstInt32 indices[] = {-1, 0, 1, params - 1, params, programs - 1, programs, INT_MIN, INT_MAX};
    const vst::VstIntPtr values[] = {0, 1, -1, programs, INT_MAX, INT_MIN};
    const float opts[] = {
        0.0f,  1.0f,    -1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
        1e30f, 44100.0f};
    Arena arena;
    Faults f;
    long long calls = 0;
    for (int opcode = 0; opcode <= 80; ++opcode) {
        // effClose ends the effect.
        if (opcode == vst::effClose || (opcode == vst::effEditOpen && !headless)) continue;
        int k = 0;
        for (vst::VstInt32 index : indices)
            for (vst::VstIntPtr value : values)
                for (int buffer = 0; buffer < 3; ++buffer, ++k) {
                    void* ptr = nullptr;
                    if (buffer == 1) arena.fill(0);
                    if (buffer == 2) arena.unterminated(300);
                    if (buffer) ptr = arena.data();
                    fx.dispatch(opcode, index, value, ptr, opts[k % 7]);
                    ++calls;
                    // No text of the plug-in reaches 256 bytes.
                    if (buffer == 1)
                        f.expect(
                            arena.changedFrom(256, 0) == Arena::kSize,
                            std::string(opcodeName(opcode)) + " " + std::to_string(opcode) + " wrote past 256 bytes");
                }
    }
    fx.dispatch(vst::effEditClose);
    // The effect still works, and effSetProgram out of range changed nothing.
    fx.setProgram(3);
    fx.setProgram(programs);
    fx.setProgram(-1);
    f.expect(fx.dispatch(vst::effGetProgram) == 3, "effSetProgram out of range changed the program");
    fx.dispatch(vst::effMainsChanged, 0, 0);
    fx.start(44100);
    Analysis a;
    a.add(render(fx, makeSignal(Signal::kNoise, 22050, 44100, 7), 512));
    f.expect(a.fault().empty(), "after the opcode sweep: " + a.fault());
    f.expect(a.peak > 0.01f, "no output after the opcode sweep");
    return f.outcome(std::to_string(calls) + " calls, opcodes 0 to 80 (not effClose" +
                     (headless ? ", effEditOpen on the headless backend" : ", nor effEditOpen") +
                     "), edge indices, values and buffers");
}

struct TextQuery {
    vst::VstInt32 opcode;
    const char* name;
    size_t nominal;  // the interface's buffer size for it
    size_t longest;  // longest text the plug-in writes, terminator not counted
};

const TextQuery kTextQueries[] = {
    {vst::effGetProgramName, "program name", 24, 24},
    {vst::effGetParamLabel, "parameter label", 8, 13},
    {vst::effGetParamDisplay, "parameter display", 8, 13},
    {vst::effGetParamName, "parameter name", 8, 13},
    {vst::effGetProgramNameIndexed, "indexed program name", 24, 24},
    {vst::effGetEffectName, "effect name", 32, 32},
    {vst::effGetVendorString, "vendor text", 64, 64},
    {vst::effGetProductString, "product text", 64, 64},
    {vst::effGetErrorText, "error text", 256, 255},
};

Outcome texts(Session& session) {
    Instance fx(session);
    fx.start(44100);
    Arena arena;
    Faults f;
    long long answers = 0, pastNominal = 0;
    auto ask = [&](const TextQuery& q, vst::VstInt32 index, size_t size) {
        arena.fill(Arena::kPattern);
        fx.dispatch(q.opcode, index, 0, arena.data());
        ++answers;
        const size_t end = arena.changedFrom(0, Arena::kPattern);
        if (end == Arena::kSize) return;  // nothing written (an answer of 0)
        const std::string where =
            std::string(q.name) + " " + std::to_string(index) + " (buffer " + std::to_string(size) + ")";
        const size_t nul = arena.terminator();
        f.expect(nul <= q.longest && nul <= end, where + ": not terminated within " + std::to_string(q.longest + 1));
        f.expect(end <= q.longest, where + ": wrote " + std::to_string(end + 1) + " bytes");
        if (end >= size) ++pastNominal;
    };
    // Every program, each with every parameter's texts, at two buffer sizes.
    const int params = fx.parameters(), programs = fx.programs();
    for (int program = 0; program < programs; ++program) {
        fx.setProgram(program);
        for (const TextQuery& q : kTextQueries)
            for (size_t size : {q.nominal, q.nominal + 1}) {
                const bool perParameter = q.opcode >= vst::effGetParamLabel && q.opcode <= vst::effGetParamName;
                if (perParameter) {
                    for (int index = -1; index <= params + 1; ++index) ask(q, index, size);
                } else if (q.opcode == vst::effGetProgramNameIndexed) {
                    if (program == 0)
                        for (int index : {-1, 0, programs - 1, programs, INT_MAX, INT_MIN}) ask(q, index, size);
                    ask(q, program, size);
                } else {
                    ask(q, 0, size);
                }
            }
        f.expect(!fx.text(vst::effGetProgramName).empty(), "program " + std::to_string(program) + " has no name");
    }
    // Output pins: label " 1" / " 2", flags 3, the short label left alone.
    for (int index : {-1, 0, 1, 2}) {
        vst::VstPinProperties pin;
        std::memset(&pin, 0xA5, sizeof pin);
        const auto answer = fx.dispatch(vst::effGetOutputProperties, index, 0, &pin);
        if (index == 0 || index == 1) {
            const std::string expected = index == 0 ? " 1" : " 2";
            f.expect(
                answer == 1 && std::memchr(pin.label, 0, sizeof pin.label) && pin.label == expected && pin.flags == 3,
                "output pin " + std::to_string(index));
            f.expect(static_cast<unsigned char>(pin.shortLabel[0]) == 0xA5, "output pin short label written");
        } else {
            f.expect(answer == 0, "output pin " + std::to_string(index) + " answered");
        }
    }
    // A name sent without a terminator within 300 bytes is kept cut.
    arena.unterminated(300);
    fx.dispatch(vst::effSetProgramName, 0, 0, arena.data());
    const std::string kept = fx.text(vst::effGetProgramName);
    f.expect(kept.size() <= 24 && kept == std::string(kept.size(), 'A'), "a long name came back as \"" + kept + "\"");
    return f.outcome(std::to_string(answers) + " text answers terminated and within the plug-in's lengths (" +
                     std::to_string(pastNominal) + " longer than the interface's nominal buffer)");
}

}  // namespace

void addDispatcherChecks(std::vector<Check>& checks) {
    checks.push_back({"every-opcode", everyOpcode});
    checks.push_back({"texts", texts});
}

}  // namespace trv4tool::validate
