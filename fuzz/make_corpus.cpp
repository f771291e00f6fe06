// Writes the seed inputs of the fuzz targets: make_corpus DIR writes
// DIR/dib_data/* and DIR/rsb/*.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "toolkit/cDIB.h"
#include "toolkit/cDIBByteReader.h"
#include "toolkit/cDIBFormat.h"
#include "toolkit/cDIBPayload.h"

namespace {

void Save(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> RsbHeader(uint32_t version, uint32_t w, uint32_t h, uint32_t r, uint32_t g, uint32_t b,
                               uint32_t a) {
    std::vector<uint8_t> out(28);
    const uint32_t v[7] = {version, w, h, r, g, b, a};
    for (int i = 0; i < 7; ++i) toolkit::PutU32(out.data() + 4 * i, v[i]);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::filesystem::path root = argv[1];
    std::filesystem::create_directories(root / "dib_data");
    std::filesystem::create_directories(root / "rsb");

    toolkit::TMemoryDIB pointer(10, 10);
    for (int i = 0; i < 100; ++i) pointer.Bits()[i] = 0x66666666u + uint32_t(i);
    Save(root / "dib_data" / "pointer", toolkit::WriteDIBData(pointer));
    toolkit::TMemoryDIB dot(1, 1);
    Save(root / "dib_data" / "dot", toolkit::WriteDIBData(dot));
    std::vector<uint8_t> packed = {'D', 'I', 'B', 'C', 'M', 'P'};
    packed.resize(30, 0x11);
    Save(root / "dib_data" / "compressed", packed);
    Save(root / "dib_data" / "short", {'D', 'I', 'B', 'C', 'M', 'P', 1, 0});

    toolkit::TRSBFormat rsb;
    Save(root / "rsb" / "plain", rsb.Encode(pointer));
    pointer.SetMasked(true);
    Save(root / "rsb" / "masked", rsb.Encode(pointer));
    auto odd = RsbHeader(1, 3, 1, 3, 3, 2, 1);
    odd.resize(odd.size() + 6, 0xA5);
    Save(root / "rsb" / "odd_bits", odd);
    Save(root / "rsb" / "version2", RsbHeader(2, 1, 1, 5, 6, 5, 0));
    return 0;
}
