// A plug-in object made directly from the shell library, with a host
// callback that knows nothing: for tests that look inside (editor mark,
// write-through into programs) rather than through the exported entry.
#pragma once

#include <cstring>
#include <memory>
#include <string>

#include "plugin/uPlugin.h"
#include "vst/AEffEditor.h"

namespace trv4test {

inline vst::VstIntPtr VST_CALL silentHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*,
                                          float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

// The object holds the engine's buffers: keep it on the heap.
inline std::unique_ptr<trv4::APlugin> makePlugin() { return std::make_unique<trv4::APlugin>(&silentHost); }

// A host buffer of 64 bytes that starts out as garbage (no terminator), so a
// query that writes nothing, or writes without a terminator, shows.
struct HostBuffer {
    static constexpr std::size_t kSize = 64;
    char bytes[kSize];
    HostBuffer() { std::memset(bytes, 0x7F, kSize); }
    char* data() { return bytes; }
    bool terminated() const { return std::memchr(bytes, 0, kSize) != nullptr; }
    std::string text() const { return terminated() ? std::string(bytes) : std::string("<unterminated>"); }
    // Bytes after the terminator the query left alone.
    bool untouchedAfterText() const {
        const std::size_t end = std::strlen(bytes) + 1;
        for (std::size_t i = end; i < kSize; ++i)
            if (bytes[i] != 0x7F) return false;
        return true;
    }
};

template <class Query>
std::string queryText(Query query) {
    HostBuffer buffer;
    query(buffer.data());
    return buffer.text();
}

}  // namespace trv4test
