// The parts of the calling thread's and the process's state that a plug-in
// must leave as it found them: the floating-point control registers (x87
// control word and the control bits of MXCSR) and the process locale. The
// watch snapshots them around every call trv4 validate makes into the
// plug-in, records any change and puts the old state back, so one faulty
// call cannot spoil the checks after it. Any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace trv4tool::validate {

// The x87 control word's defined fields: the six exception masks (bits 0-5),
// precision control (8-9) and rounding control (10-11). Bit 6 is reserved
// and the processor reports it set whatever was loaded; bit 12 (infinity
// control) has no effect since the 80387. Only these fields are compared.
constexpr uint32_t kX87DefinedFields = 0x0F3F;

struct FloatEnvironment {
    uint32_t x87 = 0;    // x87 control word's defined fields (0 where there is no x87)
    uint32_t mxcsr = 0;  // MXCSR without its six exception status flags

    bool operator==(const FloatEnvironment&) const = default;
};

FloatEnvironment readFloatEnvironment();
void writeFloatEnvironment(const FloatEnvironment& environment);
std::string describe(const FloatEnvironment& environment);

// The defined fields of the x87 control word the plug-in must leave after
// constructing an effect on a 32-bit x86 thread: every exception masked,
// 64-bit mantissa, round to nearest (the plug-in loads 0x133F). 64-bit code
// does no x87 arithmetic, and there the word must stay as it was.
constexpr uint32_t kConstructionControlWord = 0x133F & kX87DefinedFields;
// MXCSR exception masks, which construction sets.
constexpr uint32_t kMxcsrMasks = 0x1F80;

class EnvironmentWatch {
public:
    // One watched call: snapshot at construction, compare at finish().
    class Scope {
    public:
        Scope(EnvironmentWatch& watch, const char* what, int detail);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        EnvironmentWatch& watch_;
        const char* what_;
        int detail_;
        FloatEnvironment before_;
        std::string locale_;
    };

    long long calls() const { return calls_.load(); }
    // The changes seen so far, one line each (the first 20 kept).
    std::vector<std::string> changes() const;
    long long changeCount() const { return changeCount_.load(); }
    void record(const std::string& change);

private:
    std::atomic<long long> calls_{0};
    std::atomic<long long> changeCount_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> changes_;
};

std::string currentLocale();

}  // namespace trv4tool::validate
