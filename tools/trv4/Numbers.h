// Number parsing and formatting for trv4's command line and output, without
// the process locale: the texts always use '.' whatever the user's settings.
#pragma once

#include <string>
#include <string_view>

namespace trv4tool {

// The whole text must be a decimal integer (an optional '-' and digits).
bool parseInteger(std::string_view text, long long& out);

// The whole text must be a finite decimal number ("0.5", "-3", "1e-3").
bool parseNumber(std::string_view text, double& out);

// The shortest text that reads back as exactly this float.
std::string formatFloat(float value);

// Fixed notation with the given digits after the point.
std::string formatFixed(double value, int decimals);

}  // namespace trv4tool
