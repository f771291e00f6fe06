// The named checks of trv4 validate, grouped by concern into the files of
// this folder. A check makes its own instances from the session and answers
// pass, fail (with the first faults found) or skip (with the reason, for
// what the plug-in does not have). Validating thread.
#pragma once

#include <string>
#include <vector>

#include "tools/trv4/validate/Session.h"

namespace trv4tool::validate {

struct Outcome {
    enum Kind { kPass, kFail, kSkip };
    Kind kind = kPass;
    std::string detail;
};

// Collects the faults of one check; keeps the first few.
class Faults {
public:
    void add(const std::string& fault) {
        if (count_++ < 4) text_ += (text_.empty() ? "" : "; ") + fault;
    }
    void expect(bool ok, const std::string& fault) {
        if (!ok) add(fault);
    }
    bool any() const { return count_ > 0; }
    // Fail with the faults, or pass with the summary.
    Outcome outcome(const std::string& summary) const {
        if (!count_) return {Outcome::kPass, summary};
        return {Outcome::kFail, text_ + (count_ > 4 ? " (+" + std::to_string(count_ - 4) + " more)" : "")};
    }

private:
    int count_ = 0;
    std::string text_;
};

struct Check {
    const char* name;
    Outcome (*run)(Session& session);
    bool strictOnly = false;
};

void addLifecycleChecks(std::vector<Check>& checks);
void addDispatcherChecks(std::vector<Check>& checks);
void addSignalChecks(std::vector<Check>& checks);
void addConcurrencyChecks(std::vector<Check>& checks);
void addStateChecks(std::vector<Check>& checks);
// The checks for a .clap file (ClapChecks.cpp), in place of all the above.
void addClapChecks(std::vector<Check>& checks);
// The checks for a .vst3 bundle (Vst3Checks.cpp), likewise.
void addVst3Checks(std::vector<Check>& checks);

// The six rates the engine is built for, then the ones hosts also use.
inline constexpr float kSupportedRates[] = {44100, 48000, 88200, 96000, 176400, 192000};
inline constexpr float kOtherRates[] = {22050, 32000, 352800, 384000};

}  // namespace trv4tool::validate
