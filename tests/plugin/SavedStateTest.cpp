// Saving and restoring through the built module as a host does it: a bank
// is the 21 values and the name of each of the 45 programs plus the current
// program index, read and written through setProgram, the parameter entries
// and the program-name opcodes.
#include <array>
#include <random>
#include <string>
#include <vector>

#include "tests/plugin/ModuleFixture.h"

namespace {

using namespace vst;
using trv4host::Effect;

struct SavedProgram {
    std::array<float, 21> values;
    std::string name;
};

struct SavedBank {
    std::vector<SavedProgram> programs;
    int current = 0;
};

SavedBank saveBank(const Effect& fx) {
    SavedBank bank;
    bank.current = static_cast<int>(fx.dispatch(effGetProgram));
    for (int p = 0; p < fx.record()->numPrograms; ++p) {
        fx.setProgram(p);
        SavedProgram program;
        for (int i = 0; i < 21; ++i) program.values[i] = fx.getParameter(i);
        program.name = fx.text(effGetProgramName);
        bank.programs.push_back(program);
    }
    fx.setProgram(bank.current);
    return bank;
}

void restoreBank(const Effect& fx, const SavedBank& bank) {
    for (int p = 0; p < static_cast<int>(bank.programs.size()); ++p) {
        fx.setProgram(p);
        for (int i = 0; i < 21; ++i) fx.setParameter(i, bank.programs[p].values[i]);
        std::string name = bank.programs[p].name;
        fx.dispatch(effSetProgramName, 0, 0, name.data());
    }
    fx.setProgram(bank.current);
}

void expectBank(const Effect& fx, const SavedBank& bank) {
    ASSERT_EQ(bank.programs.size(), 45u);
    EXPECT_EQ(fx.dispatch(effGetProgram), bank.current);
    for (int p = 0; p < 45; ++p) {
        EXPECT_EQ(fx.text(effGetProgramNameIndexed, p), bank.programs[p].name) << p;
        fx.setProgram(p);
        EXPECT_EQ(fx.text(effGetProgramName), bank.programs[p].name) << p;
        for (int i = 0; i < 21; ++i) EXPECT_EQ(fx.getParameter(i), bank.programs[p].values[i]) << p << " p" << i;
    }
}

// Every program gets random values and a new name, the current one changes.
void scramble(const Effect& fx, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int p = 0; p < 45; ++p) {
        fx.setProgram(p);
        for (int i = 0; i < 21; ++i) fx.setParameter(i, value(random));
        std::string name = "Scrambled ";
        name += std::to_string(p);
        fx.dispatch(effSetProgramName, 0, 0, name.data());
    }
    fx.setProgram(static_cast<int>(random() % 45));
}

class SavedState : public trv4test::ModuleTest {};

TEST_F(SavedState, BankSurvivesScrambleAndRestore) {
    auto& fx = makeEffect();
    // Make the bank differ from the factory first, so that restoring cannot
    // pass by falling back to factory values.
    scramble(fx, 1);
    fx.setProgram(17);
    const SavedBank saved = saveBank(fx);
    EXPECT_EQ(saved.current, 17);
    EXPECT_EQ(saved.programs[3].name, "Scrambled 3");

    scramble(fx, 2);
    fx.setProgram(30);
    restoreBank(fx, saved);
    expectBank(fx, saved);
}

TEST_F(SavedState, RestoreIntoAFreshObject) {
    auto& source = makeEffect();
    scramble(source, 3);
    const SavedBank saved = saveBank(source);

    auto& target = makeEffect();
    restoreBank(target, saved);
    expectBank(target, saved);
}

TEST_F(SavedState, ObjectsKeepTheirOwnPrograms) {
    auto& first = makeEffect();
    auto& second = makeEffect();
    first.setProgram(3);
    first.setParameter(0, 0.1f);
    std::string name = "Edited";
    first.dispatch(effSetProgramName, 0, 0, name.data());

    second.setProgram(3);
    EXPECT_EQ(second.getParameter(0), 0.65f);
    EXPECT_EQ(second.text(effGetProgramName), "Piano Chorus #3");
    EXPECT_EQ(first.text(effGetProgramNameIndexed, 3), "Edited");

    // Closing one leaves the other as it was.
    first.close();
    second.setProgram(0);
    second.setProgram(3);
    EXPECT_EQ(second.getParameter(0), 0.65f);
}

}  // namespace
