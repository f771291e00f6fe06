// Loads the built plug-in module once per test program and makes effects
// through its exported entry, as a host does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/ModulePath.h"
#include "tools/host/PluginHost.h"

namespace trv4test {

class ModuleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        module = trv4host::PluginModule::Load(modulePath(), error).release();
        if (!module) loadError = error;
    }
    static void TearDownTestSuite() {
        delete module;
        module = nullptr;
    }
    void SetUp() override { ASSERT_NE(module, nullptr) << loadError; }

    // A new effect of this test's host; closed when the test ends.
    trv4host::Effect& makeEffect() {
        vst::AEffect* record = host.instantiate(module->entry());
        EXPECT_NE(record, nullptr);
        effects.push_back(std::make_unique<trv4host::Effect>(record));
        return *effects.back();
    }

    trv4host::Host host;
    std::vector<std::unique_ptr<trv4host::Effect>> effects;

    inline static trv4host::PluginModule* module = nullptr;
    inline static std::string loadError;
};

}  // namespace trv4test
