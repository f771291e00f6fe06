// Programs: the 45 factory rows, selection, write-through and names.
#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "plugin/FactoryPrograms.h"
#include "tests/plugin/TestPlugin.h"

namespace {

using trv4test::HostBuffer;
using trv4test::makePlugin;

// The factory programs written out once more, apart from the plug-in's own
// table, one row per program: number, quoted name, then p0 .. p20.
const char* const kSheet[] = {
    R"(| 0 | "Wide Chorus" | 0.6 | 0.8 | 0.5 | 0.1 | 0.34 | 0.3 | 0 | 0.1 | 0.26 | 0 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 1 | "Piano Chorus #1" | 0.68 | 0.8 | 0.5 | 0.1 | 0.3 | 0.24 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 2 | "Piano Chorus #2" | 0.6 | 0.8 | 0.5 | 0.2 | 0.4 | 0.5 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 3 | "Piano Chorus #3" | 0.65 | 0.8 | 0.5 | 0.9 | 0.3 | 0.4 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 4 | "Piano Chorus #4" | 0.34 | 0.8 | 0.5 | 0.7 | 0.7 | 0.5 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 5 | "Clean Guitar Chorus" | 0.54 | 0.8 | 0.5 | 0.1 | 0.46 | 0.3 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 6 | "Lead Guitar Chorus" | 0.61 | 0.8 | 0.5 | 0.1 | 0.39 | 0.25 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 7 | "String Pad Chorus" | 0.64 | 0.8 | 0.5 | 0.1 | 0.28 | 0.8 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 8 | "Modulated Room" | 0.8 | 0.8 | 0.2 | 1 | 0.3 | 0.5 | 0 | 0 | 0 | 0 | 0 | 0 | 0.8 | 0.7 | 0 | 0 | 0 | 0 | 0 | 1 | 0 |)",
    R"(| 9 | "Solid El-Bass" | 0.38 | 0.8 | 0.5 | 0.1 | 0.59 | 0.3 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 10 | "Lead Synth" | 0.48 | 0.8 | 0.5 | 0.1 | 0.44 | 1 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 11 | "Vocal Overdub" | 0.27 | 0.8 | 1 | 0.1 | 0.75 | 0.8 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 12 | "Vocal Spread" | 0.76 | 0.8 | 0.2 | 0.1 | 0.23 | 0.1 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 13 | "Rock Singer" | 0.79 | 0.8 | 0.2 | 0.1 | 0.38 | 0.15 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 14 | "Tape Delay" | 0.86 | 0.8 | 0.2 | 0.6 | 0.2 | 0.02 | 0 | 1 | 0.7 | 0 | 0.3 | 0 | 0.7 | 0.8 | 0.5 | 0 | 0 | 0 | 0 | 1 | 0 |)",
    R"(| 15 | "Fat Voice" | 0.61 | 0.8 | 0.5 | 0.1 | 0.43 | 0.5 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 16 | "Stereo to Cymbal" | 0.61 | 0.8 | 0.5 | 0.1 | 0.46 | 0.3 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 17 | "Guitar Flanger #1" | 0.46 | 0.6 | 0.5 | 0.5 | 0.58 | 0.5 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.85 | 0.8 | 0.5 | 0 | 0 | 1 | 1 | 1 | 0 |)",
    R"(| 18 | "Guitar Flanger #2" | 0.32 | 0.8 | 0.5 | 0.5 | 0.83 | 0.3 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.2 | 0.8 | 0.5 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 19 | "Guitar Flanger #3" | 0.27 | 0.8 | 0.5 | 0.5 | 0.74 | 0.5 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.15 | 0.8 | 0.5 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 20 | "Guitar Flanger #4" | 0.24 | 0.8 | 0.5 | 0.5 | 0.52 | 0.8 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.16 | 0.8 | 0.5 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 21 | "Guitar Flanger #5" | 0.17 | 0.8 | 0.5 | 0.5 | 0.86 | 0.5 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.8 | 0.8 | 0.5 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 22 | "Guitar Flanger #6" | 0.37 | 0.8 | 0.5 | 0.5 | 0.67 | 1 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.7 | 0.8 | 0.5 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 23 | "Guitar Flanger #7" | 0.28 | 1 | 0.7 | 0.5 | 0.64 | 0.3 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.03 | 0.8 | 0.5 | 0 | 0 | 1 | 1 | 1 | 0 |)",
    R"(| 24 | "Guitar Flanger #8" | 0.11 | 0.65 | 1 | 0.5 | 0.9 | 0.5 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.7 | 0.8 | 0.5 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 25 | "Guitar Flanger #9" | 0.42 | 0.8 | 0.5 | 0.5 | 0.68 | 0.7 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 0.8 | 0.5 | 0 | 0 | 1 | 1 | 1 | 0 |)",
    R"(| 26 | "Guitar Flanger #10" | 0.32 | 0.8 | 0.5 | 0.1 | 0.7 | 0.5 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 27 | "Guitar Flanger #11" | 0.28 | 0.8 | 1 | 1 | 1 | 0.8 | 0 | 0 | 0 | 0 | 0 | 0 | 0.16 | 0.8 | 0.3 | 0 | 0 | 0 | 0 | 1 | 0 |)",
    R"(| 28 | "String Pad Flanger" | 0.27 | 0.8 | 0.5 | 0.1 | 0.23 | 1 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 29 | "Fast Tremolo" | 0 | 0.8 | 1 | 0.1 | 0.89 | 0 | 0.5 | 0 | 0 | 0 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 0 | 0 | 1 | 0 |)",
    R"(| 30 | "Vibrato" | 0.36 | 0.8 | 1 | 0.1 | 0.83 | 1 | 0 | 0 | 0 | 0 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 0 | 0 | 1 | 0 |)",
    R"(| 31 | "Spread The Love" | 0.07 | 0.9 | 0.75 | 0.7 | 0.57 | 0.15 | 0.2 | 0.4 | 0.66 | 0.5 | 0.4 | 0.5 | 0.25 | 1 | 0 | 0 | 0 | 1 | 1 | 1 | 0 |)",
    R"(| 32 | "Spread Vibrato" | 0.36 | 0.8 | 1 | 0.1 | 0.83 | 1 | 0 | 0 | 0 | 0.25 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 33 | "Linear Panning" | 0 | 0.8 | 1 | 0.5 | 0.5 | 0 | 0 | 0 | 0 | 0 | 1 | 0 | 0.5 | 1 | 0 | 0 | 0 | 0 | 1 | 1 | 0 |)",
    R"(| 34 | "Random Panning" | 0 | 0.8 | 1 | 0 | 0 | 0 | 0 | 1 | 0.9 | 0 | 1 | 0 | 0.5 | 1 | 0 | 0 | 0 | 0 | 0 | 1 | 0 |)",
    R"(| 35 | "Leslie" | 0.46 | 0.8 | 1 | 0.1 | 0.5 | 1 | 0.4 | 0 | 0 | 0.75 | 0.5 | 0 | 0.5 | 1 | 0 | 0 | 0 | 0 | 0 | 1 | 0 |)",
    R"(| 36 | "Waving String Pad" | 0.32 | 0.8 | 0.5 | 0.5 | 0.2 | 1 | 0 | 0 | 0 | 0 | 0 | 0 | 0.2 | 0.8 | 0.5 | 0 | 0 | 0 | 1 | 1 | 0 |)",
    R"(| 37 | "Spacy Cymbal" | 0.22 | 0.8 | 0.5 | 0.5 | 0.35 | 1 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 0.8 | 0.5 | 0 | 0 | 1 | 1 | 1 | 0 |)",
    R"(| 38 | "Flanging Snare" | 0.32 | 0.8 | 0.5 | 0.1 | 0.47 | 1 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 39 | "Sirens In My Head" | 0.6 | 0.8 | 1 | 0.7 | 0.8 | 0.5 | 0 | 0.4 | 0.69 | 0.49 | 1 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 1 | 1 | 0 |)",
    R"(| 40 | "UFO!" | 0.54 | 0.8 | 1 | 0.1 | 0.9 | 1 | 1 | 0.3 | 0.66 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 41 | "Come baaaaaack!" | 0.92 | 0.8 | 0.75 | 0.2 | 0.29 | 0.5 | 1 | 0 | 0 | 0 | 0.5 | 0 | 0.25 | 1 | 0.25 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 42 | "Unstable Record Player" | 0.56 | 0.8 | 1 | 0.1 | 0.48 | 1 | 0 | 0 | 0 | 0 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 0 | 0 | 1 | 0 |)",
    R"(| 43 | "I Come in Peace" | 0.49 | 0.8 | 1 | 0.1 | 0.9 | 1 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.5 | 1 | 0 | 0 | 0 | 1 | 0 | 1 | 0 |)",
    R"(| 44 | "Bucket on Head" | 0.37 | 0.8 | 1 | 0.5 | 0.52 | 0 | 0 | 0 | 0 | 0.5 | 0 | 0 | 0.8 | 0.8 | 0.5 | 0 | 0 | 1 | 0 | 1 | 0 |)",
};

struct SheetRow {
    int number = -1;
    std::string name;
    std::vector<float> values;
};

SheetRow parseRow(const std::string& line) {
    SheetRow row;
    std::vector<std::string> cells;
    std::size_t start = 1;
    for (std::size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1) {
        std::string cell = line.substr(start, bar - start);
        cell.erase(0, cell.find_first_not_of(' '));
        cell.erase(cell.find_last_not_of(' ') + 1);
        cells.push_back(cell);
    }
    if (cells.size() != 23) return row;
    row.number = std::stoi(cells[0]);
    row.name = cells[1].substr(1, cells[1].size() - 2);
    for (std::size_t i = 2; i < cells.size(); ++i) {
        float v = -1;
        std::from_chars(cells[i].data(), cells[i].data() + cells[i].size(), v);
        row.values.push_back(v);
    }
    return row;
}

std::string programName(trv4::APlugin& p) {
    return trv4test::queryText([&](char* t) { p.getProgramName(t); });
}
std::string indexedName(trv4::APlugin& p, int index, bool* answer = nullptr) {
    return trv4test::queryText([&](char* t) {
        bool ok = p.getProgramNameIndexed(0, index, t);
        if (answer) *answer = ok;
    });
}

TEST(Programs, EveryFactoryRowLoads) {
    ASSERT_EQ(std::size(kSheet), 45u);
    auto p = makePlugin();
    for (int i = 0; i < 45; ++i) {
        const SheetRow row = parseRow(kSheet[i]);
        ASSERT_EQ(row.number, i);
        ASSERT_EQ(row.values.size(), 21u) << i;
        EXPECT_STREQ(trv4::kFactoryProgramNames[i], row.name.c_str()) << i;
        EXPECT_EQ(indexedName(*p, i), row.name) << i;

        p->setProgram(i);
        EXPECT_EQ(p->getProgram(), i);
        EXPECT_EQ(programName(*p), row.name);
        for (int j = 0; j < 21; ++j) {
            EXPECT_EQ(trv4::kFactoryProgramValues[i][j], row.values[j]) << "program " << i << " p" << j;
            EXPECT_EQ(p->getParameter(j), row.values[j]) << "program " << i << " p" << j;
        }
    }
}

TEST(Programs, StartsOnProgramZero) {
    auto p = makePlugin();
    EXPECT_EQ(p->getProgram(), 0);
    EXPECT_EQ(programName(*p), "Wide Chorus");
    EXPECT_EQ(p->getParameter(0), 0.6f);
    p->setProgram(44);
    EXPECT_EQ(programName(*p), "Bucket on Head");
    EXPECT_EQ(p->getParameter(2), 1.0f);
}

TEST(Programs, OutOfRangeSelectionChangesNothing) {
    auto p = makePlugin();
    p->setProgram(5);
    p->setParameter(1, 0.3f);
    for (int index : {45, -1, 1000}) {
        p->dispatcher(vst::effSetProgram, 0, index, nullptr, 0);
        p->setProgram(index);
        EXPECT_EQ(p->getProgram(), 5);
        EXPECT_EQ(p->dispatcher(vst::effGetProgram, 0, 0, nullptr, 0), 5);
        EXPECT_EQ(p->getParameter(1), 0.3f);
        EXPECT_EQ(programName(*p), "Clean Guitar Chorus");
    }
}

TEST(Programs, EditsStayInTheirProgram) {
    auto p = makePlugin();
    p->setProgram(3);
    p->setParameter(0, 0.1f);
    p->setProgram(4);
    EXPECT_EQ(p->getParameter(0), 0.34f);
    p->setProgram(3);
    EXPECT_EQ(p->getParameter(0), 0.1f);
    EXPECT_EQ(p->getParameter(3), 0.9f) << "untouched values keep their factory setting";
    EXPECT_EQ(trv4::kFactoryProgramValues[3][0], 0.65f) << "the factory table never changes";

    // Clamped values are what the program keeps.
    p->setParameter(5, 3.0f);
    p->setProgram(0);
    p->setProgram(3);
    EXPECT_EQ(p->getParameter(5), 1.0f);

    // A new object starts from the factory again.
    auto fresh = makePlugin();
    fresh->setProgram(3);
    EXPECT_EQ(fresh->getParameter(0), 0.65f);
}

TEST(Programs, SelectingMarksTheEditor) {
    auto p = makePlugin();
    p->getEditor()->idle();
    ASSERT_FALSE(p->getEditor()->updatePending());
    p->setProgram(12);
    EXPECT_TRUE(p->getEditor()->updatePending());
}

TEST(Programs, RenameAndReadByIndex) {
    auto p = makePlugin();
    p->setProgram(7);
    char newName[] = "My Pad";
    p->setProgramName(newName);
    p->setProgram(8);
    EXPECT_EQ(indexedName(*p, 7), "My Pad");
    EXPECT_EQ(programName(*p), "Modulated Room");

    bool answer = false;
    EXPECT_EQ(indexedName(*p, 41, &answer), "Come baaaaaack!");
    EXPECT_TRUE(answer);
    EXPECT_EQ(p->getProgram(), 8) << "reading a name selects nothing";
    for (int index : {45, -1}) {
        answer = true;
        EXPECT_EQ(indexedName(*p, index, &answer), "") << index;
        EXPECT_FALSE(answer) << index;
    }
}

TEST(Programs, ReceivedNamesAreCutAtTwentyFourCharacters) {
    auto p = makePlugin();
    char longName[] = "A name far longer than any host display allows";
    p->setProgramName(longName);
    EXPECT_EQ(programName(*p), std::string(longName, 24));

    // Exactly 24 characters and no terminator: read no further than them.
    char unterminated[24];
    std::memset(unterminated, 'x', sizeof unterminated);
    p->setProgramName(unterminated);
    EXPECT_EQ(programName(*p), std::string(24, 'x'));

    HostBuffer buffer;
    p->getProgramName(buffer.data());
    EXPECT_TRUE(buffer.untouchedAfterText()) << "25 bytes written at most";

    char empty[] = "";
    p->setProgramName(empty);
    EXPECT_EQ(programName(*p), "");
}

}  // namespace
