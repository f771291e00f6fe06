#include "platform/win32/Win32Services.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

namespace platform {

void Win32Services::OpenDocument(uintptr_t owner, const std::string& verb, const std::string& file) {
    // The result is not examined: a missing browser or program shows its
    // own message, or nothing.
    ShellExecuteA(reinterpret_cast<HWND>(owner), verb.empty() ? nullptr : verb.c_str(), file.c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

bool Win32Services::ReadSetting(const std::string& key, const std::string& name, std::string& text) {
    text.clear();
    // Registry paths are relative to the root: drop a leading backslash.
    const char* path = key.c_str();
    while (*path == '\\') ++path;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    struct Closer {
        HKEY h;
        ~Closer() { RegCloseKey(h); }
    } closer{handle};

    DWORD type = 0, size = 0;
    LONG status = RegQueryValueExA(handle, name.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) return true;
    if (status != ERROR_SUCCESS) return true;
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw SettingError("Invalid data type for '" + name + "'");
    std::vector<char> buffer(size + 1, '\0');
    DWORD read = size;
    if (RegQueryValueExA(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read) !=
        ERROR_SUCCESS)
        return true;
    // The stored text may or may not carry its terminating zero.
    text.assign(buffer.data(), strnlen(buffer.data(), read));
    return true;
}

void Win32Services::ShowMessage(uintptr_t owner, const std::string& caption, const std::string& text) {
    const UINT icon = caption == "Error" ? MB_ICONERROR : MB_ICONINFORMATION;
    MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), MB_OK | icon);
}

uint64_t Win32Services::PerformanceCounter() {
    LARGE_INTEGER v{};
    QueryPerformanceCounter(&v);
    return static_cast<uint64_t>(v.QuadPart);
}

uint64_t Win32Services::PerformanceFrequency() {
    LARGE_INTEGER v{};
    QueryPerformanceFrequency(&v);
    return static_cast<uint64_t>(v.QuadPart);
}

uint32_t Win32Services::TickCount() { return GetTickCount(); }

}  // namespace platform
