// For as long as it lives, the user's remembered editor size is absent: on
// Linux a settings folder of the test's own (XDG_CONFIG_HOME), both gone at
// the end; on Windows the test user's registry value, removed at the start
// and at the end.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <stdlib.h>
#include <unistd.h>
#endif

namespace trv4test {

class NoRememberedSize {
public:
    explicit NoRememberedSize(const std::string& tag) {
#if defined(_WIN32)
        (void)tag;
        forget();
#else
        folder_ =
            std::filesystem::temp_directory_path() / ("trv4-" + tag + "-" + std::to_string(getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
#endif
    }
    ~NoRememberedSize() {
#if defined(_WIN32)
        forget();
#else
        unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(folder_);
#endif
    }
    NoRememberedSize(const NoRememberedSize&) = delete;
    NoRememberedSize& operator=(const NoRememberedSize&) = delete;

private:
#if defined(_WIN32)
    static void forget() { RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Tolvmark Audio\\TRV-4", "EditorSize"); }
#else
    std::filesystem::path folder_;
#endif
};

}  // namespace trv4test
