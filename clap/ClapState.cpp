// The state extension: the bank (StateFormat.h) written to and read from the
// host's streams. Main thread. A load is read and checked whole before any
// of it reaches the plug-in, so a refused stream changes nothing.
#include <cstring>
#include <memory>

#include "clap/ClapPlugin.h"
#include "clap/StateFormat.h"
#include "plugin/ProgramBank.h"

namespace trv4clap {

namespace {

void copyName(char* dest, const char* name) {
    const std::size_t n = name ? strnlen(name, kStateNameBytes - 1) : 0;
    std::memcpy(dest, name, n);
    dest[n] = 0;
}

bool CLAP_CALL stateSave(const clap::plugin* p, const clap::ostream* stream) {
    return stream && stream->write && ClapPlugin::from(p)->saveState(*stream);
}

bool CLAP_CALL stateLoad(const clap::plugin* p, const clap::istream* stream) {
    return stream && stream->read && ClapPlugin::from(p)->loadState(*stream);
}

}  // namespace

const clap::plugin_state ClapPlugin::kState{stateSave, stateLoad};

bool ClapPlugin::saveState(const clap::ostream& stream) const {
    TRV4_CLAP_MAIN_THREAD(threads_);
    auto state = std::make_unique<BankState>();
    state->current = static_cast<uint32_t>(effect_->getProgram());
    for (int program = 0; program < trv4::kNumPrograms; ++program) {
        for (int i = 0; i < trv4::kNumParams; ++i) state->values[program][i] = bank_->programValue(program, i);
        copyName(state->names[program], bank_->programName(program));
    }
    auto bytes = std::make_unique<uint8_t[]>(kStateBytes);
    encodeState(*state, bytes.get());
    // Streams may take fewer bytes than offered.
    for (std::size_t done = 0; done < kStateBytes;) {
        const int64_t wrote = stream.write(&stream, bytes.get() + done, kStateBytes - done);
        if (wrote <= 0) return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

bool ClapPlugin::loadState(const clap::istream& stream) {
    TRV4_CLAP_MAIN_THREAD(threads_);
    // One byte more than a state holds: a longer stream is not ours.
    auto bytes = std::make_unique<uint8_t[]>(kStateBytes + 1);
    std::size_t size = 0;
    while (size < kStateBytes + 1) {
        const int64_t got = stream.read(&stream, bytes.get() + size, kStateBytes + 1 - size);
        if (got < 0) {
            logError("state not loaded: the host's stream failed");
            return false;
        }
        if (got == 0) break;
        size += static_cast<std::size_t>(got);
    }
    auto state = std::make_unique<BankState>();
    if (!decodeState(bytes.get(), size, *state)) {
        logError("state not loaded: it is not a TRV-4 state, or it is damaged or cut short");
        return false;
    }
    for (int program = 0; program < trv4::kNumPrograms; ++program)
        bank_->restoreProgram(program, state->values[program], state->names[program]);
    // Selecting the current program loads its values, as a restored VST 2
    // bank does.
    effect_->setProgram(static_cast<vst::VstInt32>(state->current));
    valuesChanged();
    return true;
}

}  // namespace trv4clap
