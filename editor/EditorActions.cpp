#include "editor/EditorActions.h"

#include <cmath>

#include "text/ExactDecimal.h"
#include "text/TextWriter.h"

namespace trv4 {

std::string FixedText(double value, int decimals) {
    if (std::isnan(value)) return "NAN";
    if (decimals < 0) decimals = 0;
    if (decimals > 9) decimals = 9;
    constexpr uint64_t kLimit = 1000000000000000000;  // 10^18
    const char* infinity = value < 0 ? "-INF" : "INF";
    if (std::isinf(value)) return infinity;
    const ExactDecimal exact(value);
    if (exact.exponent() + decimals >= 18) return infinity;
    const uint64_t units = exact.rounded(decimals);
    if (units >= kLimit) return infinity;

    uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    char digits[24];
    TextWriter text(digits, sizeof digits);
    if (exact.negative() && units != 0) text.put('-');
    text.putDecimal(units / scale);
    if (decimals > 0) {
        text.put('.');
        text.putDecimal(units % scale, decimals);
    }
    return digits;
}

std::string AboutText() {
    return std::string("TRV-4  by ") + kMakerName + ", " + kMakerAddress +
           "\r\rVersion: " + FixedText(kProductVersion, 2);
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
