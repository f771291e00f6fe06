// System services on Linux: xdg-open for documents and web addresses, INI
// files for machine settings, the backend's message box, and the monotonic
// clock.
//
// Settings: the key "\Software\Vendor\Product" is the file
// Vendor/Product.ini under $XDG_CONFIG_HOME (or ~/.config when it is unset),
// then under each directory of $XDG_CONFIG_DIRS (or /etc/xdg when it is
// unset); only absolute directories count. The value "Name" is its line
// "Name=text", the text taken as it stands after the '=' less surrounding
// blanks (no quoting, no escapes); section lines and lines starting with
// ';' or '#' are skipped. The first file that can be read answers. Every
// value is text.
//
// Documents: xdg-open started without a shell, the file as its one
// argument, detached from the host (see OpenDocument).
//
// Window thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Backend.h"

namespace platform {

class LinuxServices : public Services {
public:
    // Shows a message box; ShowMessage does nothing without one.
    using MessageSink = std::function<void(uintptr_t owner, const std::string& caption, const std::string& text)>;
    explicit LinuxServices(MessageSink showMessage) : showMessage_(std::move(showMessage)) {}

    void OpenDocument(uintptr_t owner, const std::string& verb, const std::string& file) override;
    bool ReadSetting(const std::string& key, const std::string& name, std::string& text) override;
    void ShowMessage(uintptr_t owner, const std::string& caption, const std::string& text) override;
    uint64_t PerformanceCounter() override;
    uint64_t PerformanceFrequency() override { return 1000000000; }
    uint32_t TickCount() override;

    // The INI file a key maps to under dir (exposed for tests).
    static std::string SettingsFile(const std::string& dir, const std::string& key);
    // The directories searched for settings, first first.
    static std::vector<std::string> SettingsDirectories();

private:
    MessageSink showMessage_;
};

}  // namespace platform
