// A test fixture that loads the plug-in DLL into the stand-in host.
#pragma once

#include "plugin_host.h"

#include <gtest/gtest.h>

class PluginFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(host.Load(standin::PluginDllPath(), &error)) << error;
        plugin = host.Plugin();
    }
    void TearDown() override { host.Unload(); }

    standin::PluginHost host;
    IPrintOemUI* plugin = nullptr;
};
