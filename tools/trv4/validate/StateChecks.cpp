// Checks of what a host saves and restores (through parameters, program
// names and the current program; the plug-in has no chunks), and of the
// environment every call must leave as it found it.
#include <cstring>
#include <vector>

#include "tools/trv4/validate/Checks.h"

namespace trv4tool::validate {

namespace {

struct Program {
    std::string name;
    std::vector<float> values;
};

struct Bank {
    std::vector<Program> programs;
    int current = 0;
};

// As a host saves a bank: each program selected, its name and values read.
Bank save(Instance& fx) {
    Bank bank;
    bank.current = static_cast<int>(fx.dispatch(vst::effGetProgram));
    bank.programs.resize(fx.programs());
    for (int p = 0; p < fx.programs(); ++p) {
        fx.setProgram(p);
        bank.programs[p].name = fx.text(vst::effGetProgramName);
        for (int i = 0; i < fx.parameters(); ++i) bank.programs[p].values.push_back(fx.getParameter(i));
    }
    fx.setProgram(bank.current);
    return bank;
}

void restore(Instance& fx, const Bank& bank) {
    for (int p = 0; p < int(bank.programs.size()); ++p) {
        fx.setProgram(p);
        std::string name = bank.programs[p].name;
        fx.dispatch(vst::effSetProgramName, 0, 0, name.data());
        for (size_t i = 0; i < bank.programs[p].values.size(); ++i) fx.setParameter(int(i), bank.programs[p].values[i]);
    }
    fx.setProgram(bank.current);
}

void compare(const Bank& a, const Bank& b, Faults& f) {
    f.expect(a.current == b.current,
             "current program " + std::to_string(b.current) + " for " + std::to_string(a.current));
    f.expect(a.programs.size() == b.programs.size(), "the banks hold different numbers of programs");
    for (size_t p = 0; p < std::min(a.programs.size(), b.programs.size()); ++p) {
        f.expect(a.programs[p].name == b.programs[p].name, "program " + std::to_string(p) + " named \"" +
                                                               b.programs[p].name + "\" for \"" + a.programs[p].name +
                                                               "\"");
        f.expect(a.programs[p].values.size() == b.programs[p].values.size(),
                 "program " + std::to_string(p) + " parameter count");
        for (size_t i = 0; i < std::min(a.programs[p].values.size(), b.programs[p].values.size()); ++i)
            f.expect(std::memcmp(&a.programs[p].values[i], &b.programs[p].values[i], sizeof(float)) == 0,
                     "program " + std::to_string(p) + " parameter " + std::to_string(i) + " differs");
    }
}

Outcome bankRestore(Session& session) {
    Instance source(session), target(session);
    // Edits a user might make: values off the factory grid, new names.
    for (int p = 0; p < source.programs(); p += 4) {
        source.setProgram(p);
        for (int i = 0; i < source.parameters(); ++i)
            if (session.below(3) == 0) source.setParameter(i, session.uniform());
        std::string name = "User " + std::to_string(p) + (p % 8 ? "" : " with a long name");
        source.dispatch(vst::effSetProgramName, 0, 0, name.data());
    }
    source.setProgram(17);
    const Bank saved = save(source);
    restore(target, saved);
    Faults f;
    compare(saved, save(target), f);
    // The indexed names agree without selecting.
    for (int p = 0; p < int(saved.programs.size()); ++p)
        f.expect(target.text(vst::effGetProgramNameIndexed, p) == saved.programs[p].name,
                 "indexed name of program " + std::to_string(p));
    return f.outcome("a bank with edited values and names restores exactly into a second instance");
}

Outcome programCycle(Session& session) {
    Instance fx(session);
    const Bank first = save(fx);
    for (int p = fx.programs() - 1; p >= 0; --p) fx.setProgram(p);
    for (int p = 0; p < fx.programs(); p += 2) fx.setProgram(p);
    fx.setProgram(0);
    Faults f;
    compare(first, save(fx), f);
    for (size_t p = 0; p < first.programs.size(); ++p)
        for (float v : first.programs[p].values)
            f.expect(v >= 0 && v <= 1, "program " + std::to_string(p) + " value out of 0..1");
    return f.outcome("every program's name and values unchanged by a program cycle");
}

Outcome environment(Session& session) {
    Faults f;
    for (const std::string& change : session.watch().changes()) f.add(change);
    return f.outcome("floating-point control and locale kept by " + std::to_string(session.watch().calls()) +
                     " calls; construction sets the expected control word");
}

}  // namespace

void addStateChecks(std::vector<Check>& checks) {
    checks.push_back({"bank-restore", bankRestore});
    checks.push_back({"program-cycle", programCycle});
    checks.push_back({"environment", environment});
}

}  // namespace trv4tool::validate
