// The user's own settings, kept from one session to the next: numbers
// under a key such as "\Software\Vendor\Product". Windows: the registry
// under HKEY_CURRENT_USER, DWORD values. Linux: the user's INI file of the
// key (the first file LinuxServices::ReadSetting looks in:
// $XDG_CONFIG_HOME/Vendor/Product.ini, or ~/.config/... when it is unset),
// lines "Name=number".
//
// Called on the window thread, never on the audio path.
#pragma once

#include <string>

namespace platform {

// The number stored as name under key; false when there is none, or it is
// no number (not a DWORD, not decimal digits).
bool ReadUserNumber(const std::string& key, const std::string& name, long& value);
// Stores value as name under key. Linux: every other line of the file is
// kept as it was, and the file is replaced whole (a new file renamed into
// place), so a write that fails leaves the old file untouched. False when
// it could not be written.
bool WriteUserNumber(const std::string& key, const std::string& name, long value);

}  // namespace platform
