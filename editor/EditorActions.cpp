#include "editor/EditorActions.h"

#include <cmath>
#include <iterator>

namespace trv4 {

std::string FixedText(double value, int decimals) {
    if (std::isnan(value)) return "NAN";
    if (decimals < 0) decimals = 0;
    if (decimals > 9) decimals = 9;
    uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const double scaled = std::floor(std::fabs(value) * static_cast<double>(scale) + 0.5);
    if (!(scaled < 1e18)) return value < 0 ? "-INF" : "INF";
    const uint64_t units = static_cast<uint64_t>(scaled);

    // Digits from the right: the decimals, the point, then the whole part.
    char digits[32];
    int n = 0;
    uint64_t rest = units;
    for (int i = 0; i < decimals; ++i, rest /= 10) digits[n++] = static_cast<char>('0' + rest % 10);
    if (decimals > 0) digits[n++] = '.';
    do {
        digits[n++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest);
    if (value < 0 && units != 0) digits[n++] = '-';
    return std::string(std::make_reverse_iterator(digits + n), std::make_reverse_iterator(digits));
}

std::string AboutText() {
    return std::string("TRV-4  by ") + kMakerName + ", " + kMakerAddress + "\r\rVersion: " +
           FixedText(kProductVersion, 2);
}

bool ReadManualLocation(platform::Services& system, std::string& path) {
    const bool opened = system.ReadSetting(kManualKey, kManualValue, path);
    if (path.size() >= kManualPathLimit) path.clear();
    return opened;
}

void LogoClick(platform::Services& system, uintptr_t owner) { system.OpenDocument(owner, "", kMakerAddress); }

void UsersManualClick(platform::Services& system, uintptr_t owner) {
    std::string path;
    ReadManualLocation(system, path);
    if (path.empty()) return;
    system.OpenDocument(owner, "open", path);
}

void AboutClick(platform::Services& system, uintptr_t owner) { system.ShowMessage(owner, "Information", AboutText()); }

}  // namespace trv4
