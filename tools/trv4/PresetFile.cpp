#include "tools/trv4/PresetFile.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "vst/VstInterface.h"

namespace trv4tool {

namespace {

constexpr int32_t kChunkMagic = vst::fourCC('C', 'c', 'n', 'K');
constexpr int32_t kProgramMagic = vst::fourCC('F', 'x', 'C', 'k');
constexpr int32_t kBankMagic = vst::fourCC('F', 'x', 'B', 'k');
constexpr int32_t kProgramChunkMagic = vst::fourCC('F', 'P', 'C', 'h');
constexpr int32_t kBankChunkMagic = vst::fourCC('F', 'B', 'C', 'h');

// Program: magic, byteSize, fxMagic, version, fxID, fxVersion, numParams,
// name[28], then numParams floats. Bank: magic, byteSize, fxMagic, version,
// fxID, fxVersion, numPrograms, 128 reserved bytes (version 2 keeps the
// current program in the first four), then the programs.
constexpr size_t kProgramHeader = 28 + kPresetNameBytes;
constexpr size_t kBankHeader = 28 + 128;
constexpr int32_t kProgramFormat = 1;
constexpr int32_t kBankFormat = 2;

// Big-endian reads from a buffer whose bounds the caller has checked.
int32_t readInt(const uint8_t* p) {
    return static_cast<int32_t>((uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) |
                                uint32_t(p[3]));
}

void appendInt(std::vector<uint8_t>& out, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    out.push_back(uint8_t(u >> 24));
    out.push_back(uint8_t(u >> 16));
    out.push_back(uint8_t(u >> 8));
    out.push_back(uint8_t(u));
}

void putInt(std::vector<uint8_t>& out, size_t at, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    out[at] = uint8_t(u >> 24);
    out[at + 1] = uint8_t(u >> 16);
    out[at + 2] = uint8_t(u >> 8);
    out[at + 3] = uint8_t(u);
}

std::string fourCCText(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((u >> shift) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text;
}

std::string number(long long v) { return std::to_string(v); }

void appendProgram(std::vector<uint8_t>& out, const Preset& preset, const PresetProgram& program) {
    size_t start = out.size();
    appendInt(out, kChunkMagic);
    appendInt(out, 0);  // byteSize, filled in below
    appendInt(out, kProgramMagic);
    appendInt(out, kProgramFormat);
    appendInt(out, preset.fxID);
    appendInt(out, preset.fxVersion);
    appendInt(out, static_cast<int32_t>(program.values.size()));
    char name[kPresetNameBytes] = {};
    std::memcpy(name, program.name.data(), std::min(program.name.size(), kPresetNameBytes - 1));
    out.insert(out.end(), name, name + kPresetNameBytes);
    for (float v : program.values) appendInt(out, std::bit_cast<int32_t>(v));
    putInt(out, start + 4, static_cast<int32_t>(out.size() - start - 8));
}

// Parses one 'FxCk' program at offset; answers the offset after it, or 0
// with error set. what names the program in messages ("the program",
// "program 3").
size_t parseProgram(const uint8_t* data, size_t size, size_t offset, const std::string& what, PresetProgram& program,
                    int32_t& numParams, std::string& error) {
    if (size - offset < kProgramHeader) {
        error = "truncated: " + what + " needs at least " + number(kProgramHeader) + " bytes, " +
                number(static_cast<long long>(size - offset)) + " remain";
        return 0;
    }
    const uint8_t* p = data + offset;
    if (readInt(p) != kChunkMagic) {
        error = what + " has no 'CcnK' header";
        return 0;
    }
    int32_t fxMagic = readInt(p + 8);
    if (fxMagic == kProgramChunkMagic) {
        error = what + " is in opaque-chunk form ('FPCh'); only parameter form is supported";
        return 0;
    }
    if (fxMagic != kProgramMagic) {
        error = what + " has the wrong magic '" + fourCCText(fxMagic) + "' (expected 'FxCk')";
        return 0;
    }
    int32_t format = readInt(p + 12);
    if (format < 0 || format > kProgramFormat) {
        error = what + " has the unknown format version " + number(format);
        return 0;
    }
    numParams = readInt(p + 24);
    if (numParams < 0) {
        error = what + " has a negative parameter count (" + number(numParams) + ")";
        return 0;
    }
    uint64_t length = kProgramHeader + 4ull * static_cast<uint64_t>(numParams);
    if (length > size - offset) {
        error = "truncated: " + what + " declares " + number(numParams) + " parameters (" +
                number(static_cast<long long>(length)) + " bytes), " + number(static_cast<long long>(size - offset)) +
                " remain";
        return 0;
    }
    int32_t byteSize = readInt(p + 4);
    if (static_cast<int64_t>(byteSize) + 8 != static_cast<int64_t>(length)) {
        error = what + "'s size field says " + number(byteSize) + " bytes after it, its content has " +
                number(static_cast<long long>(length - 8));
        return 0;
    }
    const char* name = reinterpret_cast<const char*>(p + 28);
    PresetProgram parsed;
    parsed.name.assign(name, strnlen(name, kPresetNameBytes));
    parsed.values.reserve(static_cast<size_t>(numParams));
    for (int32_t i = 0; i < numParams; ++i) {
        float v = std::bit_cast<float>(readInt(p + kProgramHeader + 4 * static_cast<size_t>(i)));
        if (!std::isfinite(v)) {
            error = what + ", parameter " + number(i) + " is not a finite number";
            return 0;
        }
        parsed.values.push_back(v);
    }
    program = std::move(parsed);
    return offset + static_cast<size_t>(length);
}

bool trailing(size_t end, size_t size, std::string& error) {
    if (end == size) return false;
    error = number(static_cast<long long>(size - end)) + " unexpected bytes after the end of the preset";
    return true;
}

bool readProgramFile(const uint8_t* data, size_t size, Preset& out, std::string& error) {
    PresetProgram program;
    int32_t numParams = 0;
    size_t end = parseProgram(data, size, 0, "the program", program, numParams, error);
    if (!end || trailing(end, size, error)) return false;
    Preset preset;
    preset.kind = PresetKind::Program;
    preset.fxID = readInt(data + 16);
    preset.fxVersion = readInt(data + 20);
    preset.programs.push_back(std::move(program));
    out = std::move(preset);
    return true;
}

bool readBankFile(const uint8_t* data, size_t size, Preset& out, std::string& error) {
    if (size < kBankHeader) {
        error = "truncated: a bank needs at least " + number(kBankHeader) + " bytes, the file has " +
                number(static_cast<long long>(size));
        return false;
    }
    int32_t format = readInt(data + 12);
    if (format < 0 || format > kBankFormat) {
        error = "the bank has the unknown format version " + number(format);
        return false;
    }
    int32_t numPrograms = readInt(data + 24);
    if (numPrograms < 0) {
        error = "the bank has a negative program count (" + number(numPrograms) + ")";
        return false;
    }
    Preset preset;
    preset.kind = PresetKind::Bank;
    preset.fxID = readInt(data + 16);
    preset.fxVersion = readInt(data + 20);
    preset.currentProgram = format >= 2 ? readInt(data + 28) : -1;
    // An empty bank has no program to select; its zero-filled field says so.
    if (numPrograms == 0 && preset.currentProgram == 0) preset.currentProgram = -1;
    // Every program takes at least its header: bound the reservation by
    // what the file can hold, not by the count it declares.
    preset.programs.reserve(std::min<size_t>(static_cast<size_t>(numPrograms), (size - kBankHeader) / kProgramHeader));
    size_t offset = kBankHeader;
    int32_t firstParams = -1;
    for (int32_t i = 0; i < numPrograms; ++i) {
        std::string what = "program " + number(i);
        PresetProgram program;
        int32_t numParams = 0;
        size_t next = parseProgram(data, size, offset, what, program, numParams, error);
        if (!next) {
            const std::string truncated = "truncated: ";
            if (error.compare(0, truncated.size(), truncated) == 0)
                error = truncated + "the bank declares " + number(numPrograms) + " programs; " +
                        error.substr(truncated.size());
            return false;
        }
        int32_t id = readInt(data + offset + 16);
        if (id != preset.fxID) {
            error = what + " belongs to the plug-in " + describeID(id) + ", the bank to " + describeID(preset.fxID);
            return false;
        }
        if (firstParams >= 0 && numParams != firstParams) {
            error = what + " has " + number(numParams) + " parameters, program 0 has " + number(firstParams);
            return false;
        }
        firstParams = numParams;
        preset.programs.push_back(std::move(program));
        offset = next;
    }
    int32_t byteSize = readInt(data + 4);
    if (static_cast<int64_t>(byteSize) + 8 != static_cast<int64_t>(offset)) {
        error = "the bank's size field says " + number(byteSize) + " bytes after it, its content has " +
                number(static_cast<long long>(offset - 8));
        return false;
    }
    if (trailing(offset, size, error)) return false;
    if (preset.currentProgram < -1 || preset.currentProgram >= numPrograms) {
        error = "the bank's current program " + number(preset.currentProgram) + " is not one of its " +
                number(numPrograms) + " programs";
        return false;
    }
    out = std::move(preset);
    return true;
}

}  // namespace

std::vector<uint8_t> writePreset(const Preset& preset) {
    std::vector<uint8_t> out;
    if (preset.kind == PresetKind::Program) {
        static const PresetProgram empty;
        appendProgram(out, preset, preset.programs.empty() ? empty : preset.programs.front());
        return out;
    }
    appendInt(out, kChunkMagic);
    appendInt(out, 0);  // byteSize, filled in below
    appendInt(out, kBankMagic);
    appendInt(out, kBankFormat);
    appendInt(out, preset.fxID);
    appendInt(out, preset.fxVersion);
    appendInt(out, static_cast<int32_t>(preset.programs.size()));
    // The current program field names one of the bank's programs (zero for
    // an empty bank, which readers take as none).
    const int32_t last = std::max(static_cast<int32_t>(preset.programs.size()) - 1, 0);
    appendInt(out, std::clamp(preset.currentProgram, 0, last));
    out.resize(kBankHeader, 0);
    for (const PresetProgram& program : preset.programs) appendProgram(out, preset, program);
    putInt(out, 4, static_cast<int32_t>(out.size() - 8));
    return out;
}

bool readPreset(const uint8_t* data, size_t size, Preset& out, std::string& error) {
    if (!data || size < 12) {
        error =
            "truncated: " + number(static_cast<long long>(data ? size : 0)) + " bytes are too few for a preset file";
        return false;
    }
    if (readInt(data) != kChunkMagic) {
        error = "not a VST preset file (no 'CcnK' header)";
        return false;
    }
    switch (readInt(data + 8)) {
    case kProgramMagic:
    case kProgramChunkMagic: return readProgramFile(data, size, out, error);
    case kBankMagic: return readBankFile(data, size, out, error);
    case kBankChunkMagic:
        error = "the bank is in opaque-chunk form ('FBCh'); only parameter form is supported";
        return false;
    default: error = "wrong magic '" + fourCCText(readInt(data + 8)) + "' (expected 'FxCk' or 'FxBk')"; return false;
    }
}

bool presetFits(const Preset& preset, const PluginShape& shape, std::string& error, std::string& warning) {
    warning.clear();
    if (preset.fxID != shape.uniqueID) {
        error =
            "the preset belongs to the plug-in " + describeID(preset.fxID) + ", not to " + describeID(shape.uniqueID);
        return false;
    }
    if (preset.kind == PresetKind::Bank && static_cast<int64_t>(preset.programs.size()) != shape.numPrograms) {
        error = "the bank holds " + number(static_cast<long long>(preset.programs.size())) +
                " programs, the plug-in has " + number(shape.numPrograms);
        return false;
    }
    for (const PresetProgram& program : preset.programs) {
        if (static_cast<int64_t>(program.values.size()) != shape.numParams) {
            error = "the preset holds " + number(static_cast<long long>(program.values.size())) +
                    " parameters per program, the plug-in has " + number(shape.numParams);
            return false;
        }
    }
    if (preset.fxVersion != shape.version)
        warning = "the preset was saved by version " + number(preset.fxVersion) + " of the plug-in, this is version " +
                  number(shape.version);
    return true;
}

bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path + " for reading";
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad()) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file) file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (file) file.close();
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool loadPresetFile(const std::string& path, Preset& out, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readFileBytes(path, bytes, error)) return false;
    if (!readPreset(bytes.data(), bytes.size(), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

std::string describeID(int32_t id) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<uint32_t>(id));
    std::string chars = fourCCText(id);
    if (chars.find('?') != std::string::npos) return hex;
    return "'" + chars + "' (" + hex + ")";
}

}  // namespace trv4tool
