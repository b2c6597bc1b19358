#pragma once
// Shared fixture of the tests that load the test modules: points the module search path at
// them and leaves the host clean (scene reset, modules unloaded, faults and logs cleared).

#include <gtest/gtest.h>
#include <maya/MDistance.h>
#include <maya/MTime.h>

#include <host/command_log.h>
#include <host/faults.h>
#include <host/plugins.h>
#include <host/scene.h>

#include <cstdlib>
#include <string>

class PluginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("MAYA_PLUG_IN_PATH", HOST_TEST_MODULE_DIR, 1);
        clean();
    }
    void TearDown() override { clean(); }

    static void clean() {
        host::resetScene();
        host::unloadAllPlugins();
        host::clearFaults();
        host::clearCommandLog();
        host::clearMessageLog();
        host::clearRegistrationLog();
        for (const char* name : {"HOSTTEST_INIT_FAIL", "HOSTTEST_LEAK", "HOSTTEST_UNINIT_FAIL",
                                 "HOSTTEST_WRONG_OBJECT", "HOSTTEST_DRAW_OVERRIDE"}) {
            unsetenv(name);
        }
    }

    static std::string modulePath(const std::string& name) {
        return std::string(HOST_TEST_MODULE_DIR) + "/" + name + ".so";
    }

    static bool logHas(const std::string& text) {
        for (const std::string& line : host::messageLog()) {
            if (line.find(text) != std::string::npos)
                return true;
        }
        return false;
    }
};
