// Writes the seed inputs of the host-side fuzz targets:
// make_host_corpus DIR writes DIR/preset/* (program and bank files of
// TRV-4's shape) and DIR/dispatcher/* (short call scripts).
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/trv4/PresetFile.h"

namespace {

void save(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

trv4tool::PresetProgram program(int k) {
    trv4tool::PresetProgram p;
    p.name = "Program " + std::to_string(k);
    for (int i = 0; i < 21; ++i) p.values.push_back(float((k * 7 + i) % 11) / 10.0f);
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::filesystem::path root = argv[1];
    std::filesystem::create_directories(root / "preset");
    std::filesystem::create_directories(root / "dispatcher");

    trv4tool::Preset bank;
    bank.kind = trv4tool::PresetKind::Bank;
    bank.fxID = 0x37393433;
    bank.fxVersion = 1;
    bank.currentProgram = 3;
    for (int k = 0; k < 45; ++k) bank.programs.push_back(program(k));
    save(root / "preset" / "bank.fxb", trv4tool::writePreset(bank));
    bank.programs.resize(2);
    save(root / "preset" / "short-bank.fxb", trv4tool::writePreset(bank));
    trv4tool::Preset one = bank;
    one.kind = trv4tool::PresetKind::Program;
    one.programs.resize(1);
    save(root / "preset" / "program.fxp", trv4tool::writePreset(one));

    // Scripts: the first byte of each step picks the call (see
    // fuzz_dispatcher.cpp); the rest are its arguments.
    save(root / "dispatcher" / "resume-process", {5, 1, 0, 1, 3, 0x00, 0x02, 0, 0, 3, 0x40, 0x00, 2, 1});
    save(root / "dispatcher" / "texts", {0, 7, 1, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6, 1, 20, 0, 8, 1, 5});
    save(root / "dispatcher" / "sync", {7, 1, 1, 0, 0,    0,    0, 0, 0x5E, 0x40, 1, 2, 3, 4,    5,    6, 7, 8,
                                        6, 5, 3, 4, 0x00, 0x04, 0, 0, 5,    0,    2, 1, 3, 0x00, 0x01, 0, 0});
    return 0;
}
