// Commands that a module registers, run through MEL: arguments, results, failures, nested
// MEL, and a new command object per invocation.

#include <maya/MArgList.h>
#include <maya/MGlobal.h>

#include "plugin_test_support.h"

namespace {

class PluginCommands : public PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        std::string error;
        ASSERT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
    }
};

std::vector<std::string> run(const char* command) {
    MStringArray result;
    EXPECT_TRUE(MGlobal::executeCommand(command, result)) << command;
    std::vector<std::string> out;
    for (unsigned int i = 0; i < result.length(); ++i)
        out.push_back(result[i].asChar());
    return out;
}

TEST_F(PluginCommands, ArgumentsReachDoItInOrder) {
    EXPECT_EQ((std::vector<std::string>{"word", "-flag", "1.5", "quoted text", "a", "b", "-2"}),
              run("testEcho word -flag 1.5 \"quoted text\" {\"a\", \"b\"} -2"));
    EXPECT_TRUE(run("testEcho").empty());
}

TEST_F(PluginCommands, FailureAndExceptionsBecomeMelErrors) {
    MStringArray result;
    testing::internal::CaptureStderr();
    EXPECT_EQ(MStatus::kFailure, MGlobal::executeCommand("testFail", result).statusCode());
    EXPECT_EQ(MStatus::kFailure, MGlobal::executeCommand("testThrow").statusCode());
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(
        "// Error: testFail refuses //\n"
        "// Error: testFail: command failed (kInvalidParameter): Invalid parameter //\n"
        "// Error: testThrow: the command threw an exception: boom //\n",
        printed);
    EXPECT_EQ(0u, result.length());
}

TEST_F(PluginCommands, NestedMelIsLoggedAfterTheCommand) {
    MGlobal::executeCommand("currentUnit -l mm");
    host::clearCommandLog();
    EXPECT_EQ(std::vector<std::string>{"mm"}, run("testNested"));
    EXPECT_EQ((std::vector<std::string>{"testNested", "currentUnit -q -linear"}),
              host::commandLog());
}

TEST_F(PluginCommands, EachInvocationGetsANewObjectDeletedAfterwards) {
    const int before = std::stoi(run("testDestroyed").at(0));
    run("testEcho");
    run("testEcho");
    // Both echoes and the first count have been deleted; the running one has not.
    EXPECT_EQ(before + 3, std::stoi(run("testDestroyed").at(0)));
}

TEST_F(PluginCommands, AModuleCannotBeUnloadedWhileItsCommandRuns) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(std::vector<std::string>{"1"}, run("testUnloadSelf"));  // kFailure
    EXPECT_EQ("// Error: Cannot unload hosttestplugin while its own code is running. //\n",
              testing::internal::GetCapturedStderr());
    EXPECT_EQ(1u, host::loadedPlugins().size());
}

TEST_F(PluginCommands, InjectedFaultFailsAModuleCommand) {
    host::injectFault(host::Fault::MelCommand, "testEcho");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(MGlobal::executeCommand("testEcho x"));
    EXPECT_EQ("// Error: testEcho: failed (injected fault) //\n",
              testing::internal::GetCapturedStderr());
}

TEST(PluginArgList, ConversionsAndFlags) {
    MArgList args;
    for (const char* text : {"-n", "name"})
        EXPECT_TRUE(args.addArg(MString(text)));
    args.addArg(3);
    args.addArg(2.5);
    args.addArg(true);
    args.addArg(MString("p"));
    args.addArg(MString("7x"));
    EXPECT_EQ(7u, args.length());
    EXPECT_EQ(0u, args.flagIndex("n", "name"));
    EXPECT_EQ(MArgList::kInvalidArgIndex, args.flagIndex("x"));
    EXPECT_STREQ("name", args.asString(1).asChar());
    EXPECT_EQ(3, args.asInt(2));
    EXPECT_DOUBLE_EQ(2.5, args.asDouble(3));
    EXPECT_TRUE(args.asBool(4));
    MStatus status;
    args.asInt(6, &status);
    EXPECT_EQ(MStatus::kInvalidParameter, status.statusCode());
    args.asString(7, &status);
    EXPECT_EQ(MStatus::kInvalidParameter, status.statusCode());
    args.asDouble(99, &status);
    EXPECT_EQ(MStatus::kInvalidParameter, status.statusCode());
    // The get forms read the argument at the index and leave a failed value alone.
    int i = 0;
    double d = 0;
    MString text;
    EXPECT_TRUE(args.get(2, i));
    EXPECT_TRUE(args.get(3, d));
    EXPECT_TRUE(args.get(5, text));
    EXPECT_EQ(3, i);
    EXPECT_DOUBLE_EQ(2.5, d);
    EXPECT_STREQ("p", text.asChar());
    EXPECT_FALSE(args.get(6, i));
    EXPECT_EQ(3, i);
    MDistance::setUIUnit(MDistance::kMillimeters);
    EXPECT_DOUBLE_EQ(0.25, args.asDistance(3).asCentimeters());
    MDistance::setUIUnit(MDistance::kCentimeters);
}

}  // namespace
