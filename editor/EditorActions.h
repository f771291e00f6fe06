// The actions behind the editor window's three click areas: the logo opens
// the maker's web site, the manual icon opens the user's manual that the
// installer registered, the about icon shows the product and its version.
// TPluginEditorWindow's LogoClick, UsersManualClick and AboutClick call these
// with the window's system services and its native handle as the owner.
//
// None of them keeps state. User-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "ProductInfo.h"
#include "platform/Backend.h"

namespace trv4 {

constexpr const char* kMakerName = product::kVendor;
constexpr const char* kMakerAddress = product::kAddress;
constexpr double kProductVersion = product::kVersion;

// Where the installer writes the manual's full path: the machine-wide
// setting "Manual" under this key (Windows: HKEY_LOCAL_MACHINE; Linux: the
// INI file "Tolvmark Audio/TRV-4.ini" under the XDG configuration
// directories, see platform/x11/LinuxServices.h).
constexpr const char* kManualKey = "\\Software\\Tolvmark Audio\\TRV-4";
constexpr const char* kManualValue = "Manual";
// Paths of this many characters or more are refused (the shell interface
// the editor was designed around holds 255 characters and a terminator).
constexpr size_t kManualPathLimit = 256;

// "TRV-4  by Tolvmark Audio, https://tolvmark.example/trv-4\r\rVersion: 1.21",
// the version in fixed notation with two decimals.
std::string AboutText();

// value in fixed notation with the given number of decimals (0 to 9), its
// exact value rounded halves away from zero, decimal point '.', whatever the process
// locale: "1.21", "-0.50", "12". Non-finite values, and values whose
// digits would pass 10^18, give "INF", "-INF" or "NAN".
std::string FixedText(double value, int decimals);

// Reads the manual's path into path. The answer says whether the key could
// be opened; path is empty when the key or value is missing, the value is
// empty or too long. A value that is not text raises platform::SettingError.
bool ReadManualLocation(platform::Services& system, std::string& path);

// Opens the maker's web address with the default action (the browser).
void LogoClick(platform::Services& system, uintptr_t owner);
// Opens the manual with verb "open", or does nothing when there is no usable
// path. A value of the wrong type leaves as platform::SettingError for the
// window's event guard to report; the editor carries on.
void UsersManualClick(platform::Services& system, uintptr_t owner);
// Shows AboutText() in an information box (caption "Information").
void AboutClick(platform::Services& system, uintptr_t owner);

}  // namespace trv4
