// What the module registers and deregisters, in which order, and how it copes with a host
// that refuses part of it; seen through the stand-in's log of registration calls.

#include <algorithm>
#include <sstream>

#include "CommandsFixture.h"

namespace commandstest {
namespace {

const Strings kRegistered = {"registerFileTranslator Kelmar K-file",
                             "registerCommand CreateOffsetCubes",
                             "registerCommand CopyHierarchyKeys",
                             "registerCommand ToLocal",
                             "registerNode DOFLocator",
                             "registerNode MarkerLocator"};
const Strings kDeregistered = {"deregisterFileTranslator Kelmar K-file",
                               "deregisterCommand CreateOffsetCubes",
                               "deregisterCommand CopyHierarchyKeys",
                               "deregisterCommand ToLocal",
                               "deregisterNode 419430",
                               "deregisterNode 419431"};
const Strings kCommands = {"CreateOffsetCubes", "CopyHierarchyKeys", "ToLocal"};

// The lines the module printed: the host's own lines start with "//".
Strings moduleLines(const std::string& output) {
    std::istringstream lines(output);
    Strings printed;
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, 2, "//") != 0) {
            printed.push_back(line);
        }
    }
    return printed;
}

bool nothingRegistered() {
    return host::loadedPlugins().empty() && host::registeredCommands().empty() &&
           host::registeredTranslators().empty();
}

// Each test loads the module itself, after arranging what the host refuses.
class Registration : public ::testing::Test {
  protected:
    void SetUp() override {
        unsetenv("MAYA_PLUG_IN_PATH");
        resetHost();
        host::clearRegistrationLog();
    }
    void TearDown() override { resetHost(); }

    // Loads the module; what it printed.
    static std::string load(bool expectLoaded, std::string* error) {
        testing::internal::CaptureStderr();
        const bool loaded = host::loadPlugin("MayaKFileReader", error);
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(expectLoaded, loaded) << *error;
        return printed;
    }
    static std::string unload() {
        std::string error;
        testing::internal::CaptureStderr();
        EXPECT_TRUE(host::unloadPlugin("MayaKFileReader", &error)) << error;
        return testing::internal::GetCapturedStderr();
    }
};

TEST_F(Registration, UnloadDeregistersInRegistrationOrderAndLeavesNothing) {
    std::string error;
    EXPECT_EQ("", load(true, &error));
    EXPECT_EQ(kCommands, host::registeredCommands());
    EXPECT_TRUE(MGlobal::executeCommand("ToLocal"));

    EXPECT_EQ("", unload());

    Strings calls = kRegistered;
    calls.insert(calls.end(), kDeregistered.begin(), kDeregistered.end());
    EXPECT_EQ(calls, host::registrationLog());
    EXPECT_TRUE(nothingRegistered());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(MGlobal::executeCommand("ToLocal"));
    testing::internal::GetCapturedStderr();
}

TEST_F(Registration, ARefusedTranslatorStillGetsTheCommandsAndNodesRegistered) {
    host::injectFault(host::Fault::RegisterFileTranslator, "Kelmar K-file");
    std::string error;

    const std::string printed = load(false, &error);

    Strings calls = kRegistered;
    calls[0] += " (refused)";
    EXPECT_EQ(calls, host::registrationLog());
    EXPECT_EQ(Strings{"registerFileTranslator: (kFailure): Unexpected Internal Failure"},
              moduleLines(printed));
    // initializePlugin answered the translator's failure, and the host undid the load.
    EXPECT_EQ(0u, error.find("initializePlugin of MayaKFileReader failed: (kFailure)")) << error;
    EXPECT_TRUE(nothingRegistered());
}

class RegistrationRefusedCommand : public Registration,
                                   public ::testing::WithParamInterface<std::string> {};

TEST_P(RegistrationRefusedCommand, IsReportedOnceAndTheLoadSucceeds) {
    host::injectFault(host::Fault::RegisterCommand, GetParam());
    std::string error;

    const std::string printed = load(true, &error);

    EXPECT_EQ(Strings{"registerCommand: (kFailure): Unexpected Internal Failure"},
              moduleLines(printed));
    Strings others = kCommands;
    others.erase(std::find(others.begin(), others.end(), GetParam()));
    EXPECT_EQ(others, host::registeredCommands());
    host::PluginInfo info;
    ASSERT_TRUE(host::findPlugin("MayaKFileReader", &info));
    EXPECT_EQ(2u, info.nodeTypes.size());
    EXPECT_EQ(Strings{"Kelmar K-file"}, info.translators);

    // Deregistering the command it never registered is reported and changes nothing else.
    const std::string printedAtUnload = unload();
    ASSERT_EQ(1u, moduleLines(printedAtUnload).size());
    EXPECT_EQ(0u, moduleLines(printedAtUnload)[0].find("deregisterCommand: "));
    EXPECT_TRUE(nothingRegistered());
}

INSTANTIATE_TEST_SUITE_P(EachCommand, RegistrationRefusedCommand, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace commandstest
