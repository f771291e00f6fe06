// The preset file reader and writer as a unit: the byte layout hosts expect,
// round trips, and every way a file can be malformed.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>

#include "tools/trv4/PresetFile.h"
#include "vst/VstInterface.h"

namespace trv4tool {
namespace {

constexpr int32_t kID = vst::fourCC('T', 's', 't', '1');

Preset makeBank(int programs, int params) {
    Preset bank;
    bank.kind = PresetKind::Bank;
    bank.fxID = kID;
    bank.fxVersion = 3;
    bank.currentProgram = programs > 1 ? 1 : 0;
    for (int p = 0; p < programs; ++p) {
        PresetProgram program;
        program.name = "Program " + std::to_string(p);
        for (int i = 0; i < params; ++i) program.values.push_back(static_cast<float>(p * 100 + i) / 1000.0f);
        bank.programs.push_back(program);
    }
    return bank;
}

uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | uint32_t(b[at + 3]);
}

void setBe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v >> 24);
    b[at + 1] = uint8_t(v >> 16);
    b[at + 2] = uint8_t(v >> 8);
    b[at + 3] = uint8_t(v);
}

// Parsing must fail with a reason containing `reason` and leave out alone.
void expectRefused(const std::vector<uint8_t>& bytes, const std::string& reason) {
    Preset out;
    out.fxID = 12345;
    std::string error;
    EXPECT_FALSE(readPreset(bytes.data(), bytes.size(), out, error));
    EXPECT_NE(error.find(reason), std::string::npos) << "error: " << error;
    EXPECT_EQ(out.fxID, 12345);
    EXPECT_TRUE(out.programs.empty());
}

TEST(PresetFile, BankLayoutIsTheStandardOne) {
    Preset bank = makeBank(2, 3);
    bank.programs[0].values[1] = 0.75f;
    std::vector<uint8_t> b = writePreset(bank);
    const size_t program = 56 + 3 * 4;
    ASSERT_EQ(b.size(), 156 + 2 * program);
    EXPECT_EQ(be32(b, 0), uint32_t(vst::fourCC('C', 'c', 'n', 'K')));
    EXPECT_EQ(be32(b, 4), b.size() - 8);
    EXPECT_EQ(be32(b, 8), uint32_t(vst::fourCC('F', 'x', 'B', 'k')));
    EXPECT_EQ(be32(b, 12), 2u);  // format version 2: holds the current program
    EXPECT_EQ(be32(b, 16), uint32_t(kID));
    EXPECT_EQ(be32(b, 20), 3u);
    EXPECT_EQ(be32(b, 24), 2u);
    EXPECT_EQ(be32(b, 28), 1u);
    for (size_t i = 32; i < 156; ++i) ASSERT_EQ(b[i], 0) << "reserved byte " << i;
    // The first program: its own header, the name in 28 bytes, big-endian floats.
    EXPECT_EQ(be32(b, 156), uint32_t(vst::fourCC('C', 'c', 'n', 'K')));
    EXPECT_EQ(be32(b, 160), program - 8);
    EXPECT_EQ(be32(b, 164), uint32_t(vst::fourCC('F', 'x', 'C', 'k')));
    EXPECT_EQ(be32(b, 168), 1u);
    EXPECT_EQ(be32(b, 172), uint32_t(kID));
    EXPECT_EQ(be32(b, 176), 3u);
    EXPECT_EQ(be32(b, 180), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[184])), "Program 0");
    for (size_t i = 184 + 9; i < 184 + 28; ++i) ASSERT_EQ(b[i], 0);
    EXPECT_EQ(be32(b, 212 + 4), 0x3F400000u);  // 0.75f
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[156 + program + 28])), "Program 1");
}

TEST(PresetFile, ProgramFileLayout) {
    Preset program = makeBank(1, 2);
    program.kind = PresetKind::Program;
    std::vector<uint8_t> b = writePreset(program);
    ASSERT_EQ(b.size(), 56u + 8u);
    EXPECT_EQ(be32(b, 4), 56u);
    EXPECT_EQ(be32(b, 8), uint32_t(vst::fourCC('F', 'x', 'C', 'k')));
    EXPECT_EQ(be32(b, 24), 2u);
    EXPECT_EQ(be32(b, 60), std::bit_cast<uint32_t>(0.001f));
}

TEST(PresetFile, RoundTripsKeepEveryBitAndName) {
    Preset bank = makeBank(45, 21);
    // Values a host may hand over: out of range, negative zero, tiny.
    bank.programs[3].values[0] = 1.5f;
    bank.programs[3].values[1] = -0.0f;
    bank.programs[3].values[2] = std::numeric_limits<float>::denorm_min();
    bank.programs[44].name = "Bucket on Head";
    bank.programs[7].name = "";
    bank.currentProgram = 44;
    std::vector<uint8_t> bytes = writePreset(bank);
    Preset back;
    std::string error;
    ASSERT_TRUE(readPreset(bytes.data(), bytes.size(), back, error)) << error;
    EXPECT_EQ(back.kind, PresetKind::Bank);
    EXPECT_EQ(back.fxID, kID);
    EXPECT_EQ(back.fxVersion, 3);
    EXPECT_EQ(back.currentProgram, 44);
    ASSERT_EQ(back.programs.size(), 45u);
    for (size_t p = 0; p < 45; ++p) {
        EXPECT_EQ(back.programs[p].name, bank.programs[p].name);
        ASSERT_EQ(back.programs[p].values.size(), 21u);
        for (size_t i = 0; i < 21; ++i)
            EXPECT_EQ(std::bit_cast<uint32_t>(back.programs[p].values[i]),
                      std::bit_cast<uint32_t>(bank.programs[p].values[i]));
    }
    EXPECT_EQ(writePreset(back), bytes);

    Preset program = makeBank(1, 21);
    program.kind = PresetKind::Program;
    program.programs[0].name = "Tape Delay";
    bytes = writePreset(program);
    ASSERT_TRUE(readPreset(bytes.data(), bytes.size(), back, error)) << error;
    EXPECT_EQ(back.kind, PresetKind::Program);
    ASSERT_EQ(back.programs.size(), 1u);
    EXPECT_EQ(back.programs[0].name, "Tape Delay");
    EXPECT_EQ(back.programs[0].values, program.programs[0].values);
}

TEST(PresetFile, NamesAreCutToTheFieldAndReadWithoutTerminator) {
    Preset program = makeBank(1, 1);
    program.kind = PresetKind::Program;
    program.programs[0].name = std::string(40, 'x');
    std::vector<uint8_t> bytes = writePreset(program);
    EXPECT_EQ(bytes.size(), 60u);
    Preset back;
    std::string error;
    ASSERT_TRUE(readPreset(bytes.data(), bytes.size(), back, error)) << error;
    EXPECT_EQ(back.programs[0].name, std::string(27, 'x'));
    // Another host may fill all 28 bytes.
    std::memset(&bytes[28], 'y', 28);
    ASSERT_TRUE(readPreset(bytes.data(), bytes.size(), back, error)) << error;
    EXPECT_EQ(back.programs[0].name, std::string(28, 'y'));
}

TEST(PresetFile, VersionOneBankNamesNoCurrentProgram) {
    std::vector<uint8_t> bytes = writePreset(makeBank(2, 2));
    setBe32(bytes, 12, 1);
    setBe32(bytes, 28, 0);
    Preset back;
    std::string error;
    ASSERT_TRUE(readPreset(bytes.data(), bytes.size(), back, error)) << error;
    EXPECT_EQ(back.currentProgram, -1);
}

TEST(PresetFile, WrittenBanksReadBackWhateverTheirCurrentProgram) {
    // An empty bank, and a current program the bank does not hold.
    for (auto [programs, current, expected] : {std::tuple{0, -1, -1}, {0, 5, -1}, {3, 7, 2}, {3, -4, 0}}) {
        Preset bank = makeBank(programs, 2);
        bank.currentProgram = current;
        std::vector<uint8_t> bytes = writePreset(bank);
        Preset back;
        std::string error;
        ASSERT_TRUE(readPreset(bytes.data(), bytes.size(), back, error)) << programs << " programs: " << error;
        EXPECT_EQ(back.currentProgram, expected) << programs << " programs, current " << current;
        EXPECT_EQ(back.programs.size(), static_cast<size_t>(programs));
    }
}

TEST(PresetFile, EveryTruncationIsRefused) {
    std::vector<uint8_t> bank = writePreset(makeBank(3, 4));
    for (size_t size = 0; size < bank.size(); ++size) {
        std::vector<uint8_t> cut(bank.begin(), bank.begin() + static_cast<std::ptrdiff_t>(size));
        SCOPED_TRACE("bank cut to " + std::to_string(size) + " bytes");
        expectRefused(cut, "truncated");
    }
    Preset program = makeBank(1, 4);
    program.kind = PresetKind::Program;
    std::vector<uint8_t> file = writePreset(program);
    for (size_t size = 0; size < file.size(); ++size) {
        SCOPED_TRACE("program cut to " + std::to_string(size) + " bytes");
        expectRefused(std::vector<uint8_t>(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size)),
                      "truncated");
    }
}

TEST(PresetFile, MalformedHeadersAreRefused) {
    const std::vector<uint8_t> good = writePreset(makeBank(2, 3));
    const size_t second = 156 + 56 + 12;  // offset of program 1
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
        const char* reason;
    } cases[] = {
        {"chunk magic", 0, uint32_t(vst::fourCC('R', 'I', 'F', 'F')), "no 'CcnK' header"},
        {"fx magic", 8, uint32_t(vst::fourCC('X', 'x', 'B', 'k')), "wrong magic 'XxBk'"},
        {"opaque bank", 8, uint32_t(vst::fourCC('F', 'B', 'C', 'h')), "opaque-chunk"},
        {"format version", 12, 3, "format version 3"},
        {"negative program count", 24, 0xFFFFFFFFu, "negative program count"},
        {"huge program count", 24, 0x7FFFFFFFu, "truncated"},
        {"more programs than present", 24, 3, "truncated"},
        {"fewer programs than present", 24, 1, "size field"},
        {"bank size field", 4, 1000, "size field"},
        {"current program", 28, 2, "current program 2"},
        {"program header", 156, 0, "program 0 has no 'CcnK' header"},
        {"program magic", 164, uint32_t(vst::fourCC('F', 'x', 'B', 'k')), "program 0 has the wrong magic"},
        {"opaque program", 164, uint32_t(vst::fourCC('F', 'P', 'C', 'h')), "opaque-chunk"},
        {"program format", 168, 9, "unknown format version 9"},
        {"program of another plug-in", second + 16, 0x11223344u, "belongs to the plug-in 0x11223344"},
        {"program size field", 160, 4, "size field"},
        {"negative parameter count", 180, 0x80000000u, "negative parameter count"},
        {"not a number", 212, 0x7FC00000u, "parameter 0 is not a finite number"},
        {"infinity", 216, 0x7F800000u, "parameter 1 is not a finite number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = good;
        setBe32(bytes, c.at, c.value);
        expectRefused(bytes, c.reason);
    }
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    expectRefused(longer, "1 unexpected bytes");
    expectRefused({}, "truncated");

    Preset uneven = makeBank(2, 3);
    uneven.programs[1].values.pop_back();
    expectRefused(writePreset(uneven), "program 1 has 2 parameters, program 0 has 3");
}

TEST(PresetFile, FitChecksIdentityAndCounts) {
    Preset bank = makeBank(45, 21);
    bank.fxVersion = 1;
    const PluginShape shape{kID, 1, 45, 21};
    std::string error, warning;
    EXPECT_TRUE(presetFits(bank, shape, error, warning)) << error;
    EXPECT_TRUE(warning.empty());

    EXPECT_FALSE(presetFits(bank, {vst::fourCC('7', '9', '4', '3'), 1, 45, 21}, error, warning));
    EXPECT_NE(error.find("'Tst1'"), std::string::npos) << error;
    EXPECT_NE(error.find("'7943'"), std::string::npos) << error;
    EXPECT_FALSE(presetFits(bank, {kID, 1, 44, 21}, error, warning));
    EXPECT_NE(error.find("45 programs"), std::string::npos) << error;
    EXPECT_FALSE(presetFits(bank, {kID, 1, 45, 22}, error, warning));
    EXPECT_NE(error.find("21 parameters"), std::string::npos) << error;

    // A program file fits whatever the plug-in's program count is.
    Preset program = makeBank(1, 21);
    program.kind = PresetKind::Program;
    EXPECT_TRUE(presetFits(program, {kID, 1, 45, 21}, error, warning)) << error;
    EXPECT_NE(warning.find("version 3"), std::string::npos) << warning;
}

}  // namespace
}  // namespace trv4tool
