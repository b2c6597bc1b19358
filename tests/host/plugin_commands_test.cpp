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
    MStringArray items;
    items.append("p");
    items.append("q");
    args.addArg(MString("-n")).addArg(MString("name")).addArg(3).addArg(2.5).addArg(true);
    args.addArg(items).addArg(MString("7x"));
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
    args.asString(5, &status);
    EXPECT_EQ(MStatus::kInvalidParameter, status.statusCode());
    args.asDouble(99, &status);
    EXPECT_EQ(MStatus::kInvalidParameter, status.statusCode());
    unsigned int index = 5;
    const MStringArray back = args.asStringArray(index, &status);
    EXPECT_TRUE(status);
    EXPECT_EQ(6u, index);
    ASSERT_EQ(2u, back.length());
    EXPECT_STREQ("q", back[1].asChar());
    index = 2;
    int i = 0;
    double d = 0;
    EXPECT_TRUE(args.get(index, i));
    EXPECT_TRUE(args.get(index, d));
    EXPECT_EQ(4u, index);
    EXPECT_FALSE(args.get(index = 6, i));
    EXPECT_EQ(6u, index);
    MDistance::setUIUnit(MDistance::kMillimeters);
    EXPECT_DOUBLE_EQ(0.25, args.asDistance(3).asCentimeters());
    MDistance::setUIUnit(MDistance::kCentimeters);
}

}  // namespace
