// System services on Windows: ShellExecuteA, the registry under
// HKEY_LOCAL_MACHINE (read-only), MessageBoxA, the performance counter and
// the tick count. Window thread only.
#pragma once

#include "platform/Backend.h"

namespace platform {

class Win32Services : public Services {
public:
    void OpenDocument(uintptr_t owner, const std::string& verb, const std::string& file) override;
    bool ReadSetting(const std::string& key, const std::string& name, std::string& text) override;
    void ShowMessage(uintptr_t owner, const std::string& caption, const std::string& text) override;
    uint64_t PerformanceCounter() override;
    uint64_t PerformanceFrequency() override;
    uint32_t TickCount() override;
};

}  // namespace platform
