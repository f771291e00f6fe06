#include <windows.h>

#include "platform/UserSettings.h"

namespace platform {

namespace {

// Registry paths are relative to the root: a leading backslash is dropped.
const char* PathOf(const std::string& key) {
    const char* path = key.c_str();
    while (*path == '\\') ++path;
    return path;
}

}  // namespace

bool ReadUserNumber(const std::string& key, const std::string& name, long& value) {
    DWORD type = 0, data = 0, size = sizeof data;
    if (RegGetValueA(HKEY_CURRENT_USER, PathOf(key), name.c_str(), RRF_RT_DWORD, &type, &data, &size) != ERROR_SUCCESS)
        return false;
    value = static_cast<long>(data);
    return true;
}

bool WriteUserNumber(const std::string& key, const std::string& name, long value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, PathOf(key), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const DWORD data = static_cast<DWORD>(value);
    const bool ok = RegSetValueExA(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                   sizeof data) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return ok;
}

}  // namespace platform
