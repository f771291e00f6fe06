#include "tools/trv4/Numbers.h"

#include <charconv>
#include <cmath>

namespace trv4tool {

bool parseInteger(std::string_view text, long long& out) {
    if (text.empty()) return false;
    long long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    out = value;
    return true;
}

bool parseNumber(std::string_view text, double& out) {
    if (text.empty()) return false;
    // from_chars takes no leading '+'; accept it as people type it.
    if (text.front() == '+') text.remove_prefix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return false;
    out = value;
    return true;
}

std::string formatFloat(float value) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string formatFixed(double value, int decimals) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

}  // namespace trv4tool
