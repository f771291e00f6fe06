// VST 2 preset files in parameter form: a program file ('CcnK' header,
// 'FxCk' program) and a bank file ('CcnK' header, 'FxBk' bank of 'FxCk'
// programs). Every field is big-endian; program names take 28 bytes.
// The opaque-chunk forms ('FPCh', 'FBCh') are recognised only to refuse them.
//
// Pure data: nothing here talks to a plug-in. Called on trv4's main thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace trv4tool {

enum class PresetKind { Program, Bank };

struct PresetProgram {
    std::string name;           // at most 27 characters are stored
    std::vector<float> values;  // one per parameter, as getParameter answers
};

// One preset file's content. A program file holds exactly one program.
struct Preset {
    PresetKind kind = PresetKind::Bank;
    int32_t fxID = 0;       // the plug-in's unique ID
    int32_t fxVersion = 0;  // the plug-in's version
    // The program a bank selects after loading; -1 when the bank does not say
    // (format version 1). Ignored for program files.
    int32_t currentProgram = -1;
    std::vector<PresetProgram> programs;
};

// What a preset must match to be loaded into a plug-in: the record's fields.
struct PluginShape {
    int32_t uniqueID = 0;
    int32_t version = 0;
    int32_t numPrograms = 0;
    int32_t numParams = 0;
};

constexpr size_t kPresetNameBytes = 28;

// The file's bytes. A bank is written in format version 2 (with the current
// program); every program must have the same number of values.
std::vector<uint8_t> writePreset(const Preset& preset);

// Parses a program or bank file. On failure answers false with a one-line
// reason (truncated, wrong magic, chunk form, inconsistent sizes or counts,
// a value that is not a finite number) and leaves out unchanged.
bool readPreset(const uint8_t* data, size_t size, Preset& out, std::string& error);

// Checks that a parsed preset fits the plug-in: its ID, its parameter count
// and, for a bank, its program count. Answers false with a reason when not.
// A different plug-in version is accepted (hosts load older banks) and
// reported in warning.
bool presetFits(const Preset& preset, const PluginShape& shape, std::string& error, std::string& warning);

// Whole-file helpers; false with a reason on failure.
bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

// Reads and parses a preset file; the reason names the file.
bool loadPresetFile(const std::string& path, Preset& out, std::string& error);

// "'7943' (0x37393433)": a four-character ID as text and number.
std::string describeID(int32_t id);

}  // namespace trv4tool
