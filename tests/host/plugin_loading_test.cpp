// Loading modules as the host does: lookup, MApiVersion, initializePlugin, what the
// registry keeps, refusal of duplicates, and the check on unload.

#define MNoVersionString
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>

#include <ostream>

#include "plugin_test_support.h"

namespace {

const std::vector<std::string> kCommands{"testEcho",  "testFail",      "testNested",
                                         "testThrow", "testDestroyed", "testUnloadSelf"};

TEST_F(PluginTest, LoadsByBareNameAndRecordsWhatItRegistered) {
    MStringArray result;
    ASSERT_TRUE(MGlobal::executeCommand("loadPlugin hosttestplugin", result));
    ASSERT_EQ(1u, result.length());
    EXPECT_STREQ("hosttestplugin", result[0].asChar());

    host::PluginInfo info;
    ASSERT_TRUE(host::findPlugin("hosttestplugin", &info));
    EXPECT_EQ("700", info.apiVersion);
    EXPECT_EQ("Test vendor", info.vendor);
    EXPECT_EQ("1.2", info.version);
    EXPECT_EQ(modulePath("hosttestplugin"), info.path);
    EXPECT_EQ((std::vector<std::string>{"Host unsure", "Host test"}), info.translators);
    EXPECT_EQ(kCommands, info.commands);
    ASSERT_EQ(2u, info.nodeTypes.size());
    EXPECT_EQ("hostTestNode", info.nodeTypes[0].name);
    EXPECT_EQ(0x7f101u, info.nodeTypes[0].id);
    EXPECT_EQ(0, info.nodeTypes[0].kind);
    EXPECT_EQ("hostTestLocator", info.nodeTypes[1].name);
    EXPECT_EQ(0x7f102u, info.nodeTypes[1].id);
    EXPECT_EQ(1, info.nodeTypes[1].kind);
    EXPECT_EQ(info.translators, host::registeredTranslators());
    EXPECT_EQ(kCommands, host::registeredCommands());

    // Loading it again changes nothing.
    EXPECT_TRUE(MGlobal::executeCommand("loadPlugin hosttestplugin"));
    EXPECT_TRUE(MGlobal::executeCommand(MString("loadPlugin \"") +
                                        modulePath("hosttestplugin").c_str() + "\""));
    EXPECT_EQ(1u, host::loadedPlugins().size());

    ASSERT_TRUE(MGlobal::executeCommand("unloadPlugin hosttestplugin"));
    EXPECT_TRUE(host::loadedPlugins().empty());
    EXPECT_TRUE(host::registeredCommands().empty());
    EXPECT_TRUE(host::registeredTranslators().empty());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(MGlobal::executeCommand("testEcho"));
    testing::internal::GetCapturedStderr();
}

TEST_F(PluginTest, SearchesTheEnvironmentThenTheBuildsModuleFolder) {
    setenv("MAYA_PLUG_IN_PATH", "/first:/second", 1);
    const std::vector<std::string> dirs = host::pluginSearchPath();
    ASSERT_GE(dirs.size(), 3u);
    EXPECT_EQ("/first", dirs[0]);
    EXPECT_EQ("/second", dirs[1]);
    EXPECT_EQ(KFR_MODULE_DIR, dirs[2]);
}

TEST_F(PluginTest, LoadsByPathWithOrWithoutSuffixLookup) {
    std::string error;
    ASSERT_TRUE(host::loadPlugin(modulePath("hosttestplugin"), &error)) << error;
    EXPECT_TRUE(host::unloadPlugin("hosttestplugin", &error)) << error;
    ASSERT_TRUE(host::loadPlugin("hosttestplugin.so", &error)) << error;
    EXPECT_TRUE(host::unloadPlugin(modulePath("hosttestplugin"), &error)) << error;
    ASSERT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
    EXPECT_TRUE(host::unloadPlugin("hosttestplugin.so", &error)) << error;
}

TEST_F(PluginTest, RefusesWhatIsNotALoadableModule) {
    std::string error;
    EXPECT_FALSE(host::loadPlugin("noSuchModule", &error));
    EXPECT_NE(std::string::npos,
              error.find("\"noSuchModule\", was not found on MAYA_PLUG_IN_PATH"));
    EXPECT_NE(std::string::npos, error.find(HOST_TEST_MODULE_DIR));
    EXPECT_FALSE(host::loadPlugin("/no/such/dir/module.so", &error));
    EXPECT_NE(std::string::npos, error.find("does not exist"));
    EXPECT_FALSE(host::loadPlugin("hostnotaplugin", &error));
    EXPECT_NE(std::string::npos, error.find("defines no MApiVersion"));
    EXPECT_FALSE(host::loadPlugin("hostcxxentrypoints", &error));  // entry points not extern "C"
    EXPECT_NE(std::string::npos, error.find("initializePlugin or uninitializePlugin is missing"));
    EXPECT_TRUE(host::loadedPlugins().empty());
    EXPECT_FALSE(host::unloadPlugin("hosttestplugin", &error));
    EXPECT_NE(std::string::npos, error.find("is not loaded"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(MGlobal::executeCommand("loadPlugin"));
    EXPECT_FALSE(MGlobal::executeCommand("loadPlugin -x hosttestplugin"));
    EXPECT_FALSE(MGlobal::executeCommand("unloadPlugin hosttestplugin"));
    testing::internal::GetCapturedStderr();
}

TEST_F(PluginTest, SecondModuleWithTheSameNamesIsRefused) {
    std::string error;
    ASSERT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(host::loadPlugin("hosttestplugin_twin", &error));
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, error.find("initializePlugin of hosttestplugin_twin failed"));
    EXPECT_NE(std::string::npos,
              printed.find("a file translator named \"Host test\" is already registered"));
    EXPECT_NE(std::string::npos, printed.find("a command named \"testEcho\" already exists"));
    EXPECT_NE(std::string::npos, printed.find("node type \"hostTestNode\""));
    // The first module keeps everything; the refused one left nothing behind.
    ASSERT_EQ(1u, host::loadedPlugins().size());
    EXPECT_EQ("hosttestplugin", host::loadedPlugins()[0].name);
    EXPECT_EQ(kCommands, host::registeredCommands());
    EXPECT_EQ(2u, host::registeredTranslators().size());
    MStringArray echoed;
    EXPECT_TRUE(MGlobal::executeCommand("testEcho still", echoed));
}

TEST_F(PluginTest, BuiltInCommandNamesCannotBeTaken) {
    std::string error;
    ASSERT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
    // Reach the registry the way a module does, inside its initialisation.
    MObject none;
    MStatus status;
    MFnPlugin outside(none, "v", "1", "Any", &status);
    EXPECT_EQ(MStatus::kFailure, status.statusCode());
    testing::internal::CaptureStderr();
    EXPECT_EQ(MStatus::kFailure, outside.registerCommand("group", nullptr).statusCode());
    EXPECT_EQ(MStatus::kFailure, MFnPlugin().deregisterCommand("testEcho").statusCode());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(kCommands, host::registeredCommands());
}

TEST_F(PluginTest, UnloadReportsWhatUninitializeLeftBehind) {
    setenv("HOSTTEST_LEAK", "1", 1);
    std::string error;
    ASSERT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
    EXPECT_FALSE(host::unloadPlugin("hosttestplugin", &error));
    EXPECT_EQ(
        "uninitializePlugin of hosttestplugin did not deregister everything it registered: "
        "command \"testEcho\".",
        error);
    // The leftover is removed before the library goes, so nothing points into it.
    EXPECT_TRUE(host::loadedPlugins().empty());
    EXPECT_TRUE(host::registeredCommands().empty());
}

TEST_F(PluginTest, UnloadAllCopesWithModulesThatLeaveThingsBehindOrRefuse) {
    setenv("HOSTTEST_LEAK", "1", 1);
    std::string error;
    ASSERT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
    host::unloadAllPlugins();
    EXPECT_TRUE(host::loadedPlugins().empty());
    EXPECT_TRUE(host::registeredCommands().empty());

    unsetenv("HOSTTEST_LEAK");
    setenv("HOSTTEST_UNINIT_FAIL", "1", 1);
    ASSERT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
    host::unloadAllPlugins();
    EXPECT_TRUE(host::loadedPlugins().empty());
    EXPECT_TRUE(host::registeredTranslators().empty());
}

TEST_F(PluginTest, MFnPluginNeedsThePluginObjectTheHostPassed) {
    setenv("HOSTTEST_WRONG_OBJECT", "1", 1);
    std::string error;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(host::loadPlugin("hosttestplugin", &error));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find(
                                     "is not the plug-in object the host gave it"));
    EXPECT_EQ("initializePlugin of hosttestplugin failed: (kInvalidParameter): Invalid parameter",
              error);
    EXPECT_TRUE(host::loadedPlugins().empty());
}

TEST_F(PluginTest, FailedInitializeLeavesNothingRegistered) {
    setenv("HOSTTEST_INIT_FAIL", "1", 1);
    std::string error;
    EXPECT_FALSE(host::loadPlugin("hosttestplugin", &error));
    EXPECT_EQ("initializePlugin of hosttestplugin failed: (kFailure): Unexpected Internal Failure",
              error);
    EXPECT_TRUE(host::loadedPlugins().empty());
    EXPECT_TRUE(host::registeredCommands().empty());
    EXPECT_TRUE(host::registeredTranslators().empty());
    // What it registered before it failed shows in the registration log only.
    const std::vector<std::string>& calls = host::registrationLog();
    ASSERT_EQ(10u, calls.size());  // two translators, six commands, two node types
    EXPECT_EQ("registerFileTranslator Host unsure", calls.front());
    EXPECT_EQ("registerNode hostTestNode", calls[8]);
    for (const std::string& call : calls)
        EXPECT_EQ(std::string::npos, call.find("(refused)")) << call;
    unsetenv("HOSTTEST_INIT_FAIL");
    // The node type went too: loading again registers it afresh.
    EXPECT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
}

TEST_F(PluginTest, FailedUninitializeKeepsTheModuleLoaded) {
    std::string error;
    ASSERT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
    setenv("HOSTTEST_UNINIT_FAIL", "1", 1);
    EXPECT_FALSE(host::unloadPlugin("hosttestplugin", &error));
    EXPECT_NE(std::string::npos, error.find("hosttestplugin stays loaded"));
    EXPECT_EQ(1u, host::loadedPlugins().size());
    unsetenv("HOSTTEST_UNINIT_FAIL");
    EXPECT_TRUE(host::unloadPlugin("hosttestplugin", &error)) << error;
}

TEST_F(PluginTest, UnloadIsRefusedWhileNodesOfItsTypesExist) {
    std::string error;
    ASSERT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
    MString node;
    ASSERT_TRUE(MGlobal::executeCommand("createNode hostTestNode", node));
    EXPECT_FALSE(host::unloadPlugin("hosttestplugin", &error));
    EXPECT_NE(std::string::npos, error.find("nodes of its type \"hostTestNode\" are in the scene"));
    EXPECT_EQ(kCommands, host::registeredCommands());  // uninitializePlugin was not called
    host::resetScene();
    EXPECT_TRUE(host::unloadPlugin("hosttestplugin", &error)) << error;
}

struct FaultCase {
    host::Fault site;
    const char* name;
    bool loads;              // the test module gives up only when a translator or node fails
    const char* perrorText;  // what the module prints with MStatus::perror
};

// By name: the default print of the case's bytes would read its padding, which is never set.
void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.name;
}

class PluginFaults : public PluginTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(PluginFaults, NamedRegistrationFails) {
    const FaultCase c = GetParam();
    host::injectFault(c.site, c.name);
    std::string error;
    testing::internal::CaptureStderr();
    EXPECT_EQ(c.loads, host::loadPlugin("hosttestplugin", &error)) << error;
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, printed.find(std::string(c.perrorText) + ": (kFailure)"))
        << printed;
    if (c.loads) {
        const std::vector<std::string> commands = host::registeredCommands();
        EXPECT_EQ(kCommands.size() - 1, commands.size());
        for (const std::string& command : commands)
            EXPECT_NE(c.name, command);
    } else {
        EXPECT_TRUE(host::loadedPlugins().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sites, PluginFaults,
    ::testing::Values(FaultCase{host::Fault::RegisterCommand, "testNested", true,
                                "registerCommand"},
                      FaultCase{host::Fault::RegisterFileTranslator, "Host unsure", false,
                                "registerFileTranslator"},
                      FaultCase{host::Fault::RegisterNode, "hostTestNode", false, "registerNode"},
                      FaultCase{host::Fault::AddAttribute, "size", false, "addAttribute"}));

}  // namespace
