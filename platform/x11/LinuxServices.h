// System services on Linux: xdg-open for documents and web addresses, INI
// files for machine settings, a message box of our own on the backend's
// display, and the monotonic clock.
//
// Settings: the key "\Software\Vendor\Product" is the file
// Vendor/Product.ini under $XDG_CONFIG_HOME (or ~/.config when it is unset),
// then under /etc/xdg; the value "Name" is its line "Name=text" (section
// lines and lines starting with ';' or '#' are skipped). The first file
// that exists answers.
//
// Window thread only.
#pragma once

#include <string>

#include "platform/Backend.h"

struct _XDisplay;

namespace platform {

class LinuxServices : public Services {
public:
    explicit LinuxServices(_XDisplay* display) : display_(display) {}

    void OpenDocument(uintptr_t owner, const std::string& verb, const std::string& file) override;
    bool ReadSetting(const std::string& key, const std::string& name, std::string& text) override;
    void ShowMessage(uintptr_t owner, const std::string& caption, const std::string& text) override;
    uint64_t PerformanceCounter() override;
    uint64_t PerformanceFrequency() override { return 1000000000; }
    uint32_t TickCount() override;

    // The INI file a key maps to under dir (exposed for tests).
    static std::string SettingsFile(const std::string& dir, const std::string& key);

private:
    _XDisplay* display_;
};

// The modal box of ShowMessage: runs its own event loop on display until
// OK (or Enter, Escape, the window's close button) ends it.
void RunMessageBox(_XDisplay* display, unsigned long owner, const std::string& caption, const std::string& text);

}  // namespace platform
