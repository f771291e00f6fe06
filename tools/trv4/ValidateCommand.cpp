// trv4 validate PLUGIN [--strict] [--seed N]: loads the plug-in as a host
// does and runs the named checks of validate/, one line each, then
// "N passed, N failed". Exit status 1 on any failure.
#include <chrono>
#include <cstdio>

#include "tools/trv4/CommandLine.h"
#include "tools/trv4/Commands.h"
#include "tools/trv4/Numbers.h"
#include "tools/trv4/validate/Checks.h"

namespace trv4tool {

int runValidate(const std::vector<std::string>& words) {
    Arguments args;
    std::string error;
    if (!parseArguments(words, {{"strict", false}, {"seed", true}}, args, error)) return usageError(error);
    if (args.positional.size() != 1) return usageError("validate takes PLUGIN");
    validate::Options options;
    options.path = args.positional[0];
    options.strict = args.has("strict");
    if (const std::string* seed = args.last("seed")) {
        long long value = 0;
        if (!parseInteger(*seed, value) || value < 0) return usageError("--seed takes a whole number from 0");
        options.seed = static_cast<uint64_t>(value);
    }
    std::unique_ptr<validate::Session> session = validate::Session::open(options, error);
    if (!session) return fail(error);

    std::vector<validate::Check> checks;
    if (session->module().clap()) {
        validate::addClapChecks(checks);
    } else if (session->module().vst3()) {
        validate::addVst3Checks(checks);
    } else {
        validate::addLifecycleChecks(checks);
        validate::addDispatcherChecks(checks);
        validate::addSignalChecks(checks);
        validate::addConcurrencyChecks(checks);
        validate::addStateChecks(checks);  // last: its environment check sums up every call
    }

    int passed = 0, failed = 0;
    for (const validate::Check& check : checks) {
        if (check.strictOnly && !options.strict) continue;
        const auto start = std::chrono::steady_clock::now();
        const validate::Outcome outcome = check.run(*session);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const char* mark = outcome.kind == validate::Outcome::kPass   ? "pass"
                           : outcome.kind == validate::Outcome::kFail ? "FAIL"
                                                                      : "note";
        if (outcome.kind == validate::Outcome::kPass) ++passed;
        if (outcome.kind == validate::Outcome::kFail) ++failed;
        std::printf("%s  %-26s %s (%s s)\n", mark, check.name, outcome.detail.c_str(), formatFixed(seconds, 2).c_str());
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}

}  // namespace trv4tool
