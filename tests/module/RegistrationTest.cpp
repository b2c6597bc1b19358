// Loading and unloading the module: what it registers, how it copes with a host that refuses
// part of it, and that unloading undoes exactly what loading did.

#include <gtest/gtest.h>
#include <maya/MFileObject.h>
#include <maya/MGlobal.h>

#include <host/faults.h>
#include <host/plugins.h>
#include <host/scene.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "ModuleTest.h"
#include "import/KFileTranslator.h"

namespace {

struct Registry {
    std::vector<std::string> translators = host::registeredTranslators();
    std::vector<std::string> commands = host::registeredCommands();
    std::vector<std::string> drawOverrides = host::registeredDrawOverrides();
    size_t plugins = host::loadedPlugins().size();
};

// Lines of the captured output that start with the text; the host's own lines start with "//".
size_t linesStartingWith(const std::string& output, const std::string& start) {
    std::istringstream lines(output);
    size_t count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.compare(0, start.size(), start) == 0;
    return count;
}

struct LoadOutcome {
    bool loaded = false;
    host::PluginInfo info;                   // while it was loaded
    std::string printed;                     // by the load
    std::vector<std::string> registrations;  // calls of the load and the unload
};

class Registration : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::UnsetEnvironment("MAYA_PLUG_IN_PATH");
        host::resetScene();
        host::unloadAllPlugins();
        host::clearFaults();
        host::clearRegistrationLog();
    }
    void TearDown() override {
        host::unloadAllPlugins();
        host::clearFaults();
    }

    // Loads the module and unloads it again when it loaded; afterwards the registry must be
    // as it was before.
    static LoadOutcome loadAndUnload() {
        const Registry before;
        LoadOutcome outcome;
        testing::internal::CaptureStderr();
        std::string error;
        outcome.loaded = host::loadPlugin("MayaKFileReader", &error);
        outcome.printed = testing::internal::GetCapturedStderr();
        if (outcome.loaded) {
            EXPECT_TRUE(host::findPlugin("MayaKFileReader", &outcome.info));
            EXPECT_TRUE(host::unloadPlugin("MayaKFileReader", &error)) << error;
        }
        outcome.registrations = host::registrationLog();
        const Registry after;
        EXPECT_EQ(before.translators, after.translators);
        EXPECT_EQ(before.commands, after.commands);
        EXPECT_EQ(before.drawOverrides, after.drawOverrides);
        EXPECT_EQ(before.plugins, after.plugins);
        return outcome;
    }
};

TEST_F(Registration, RegistersTheTranslatorTheCommandsAndBothLocatorTypes) {
    const LoadOutcome outcome = loadAndUnload();
    ASSERT_TRUE(outcome.loaded);
    const host::PluginInfo& info = outcome.info;
    EXPECT_EQ("700", info.apiVersion);
    EXPECT_EQ("Brenholt Ltd.", info.vendor);
    EXPECT_EQ("Release 1.0", info.version);
    EXPECT_EQ(std::vector<std::string>{"Kelmar K-file"}, info.translators);
    EXPECT_EQ((std::vector<std::string>{"CreateOffsetCubes", "CopyHierarchyKeys", "ToLocal"}),
              info.commands);
    ASSERT_EQ(2u, info.nodeTypes.size());
    EXPECT_EQ("DOFLocator", info.nodeTypes[0].name);
    EXPECT_EQ(0x66666u, info.nodeTypes[0].id);
    EXPECT_EQ("MarkerLocator", info.nodeTypes[1].name);
    EXPECT_EQ(0x66667u, info.nodeTypes[1].id);
    for (const host::RegisteredNodeType& type : info.nodeTypes) {
        EXPECT_EQ(1, type.kind) << type.name;  // MPxNode::kLocatorNode
        // Viewport 2.0 draws each type through the override registered under its classification.
        EXPECT_EQ("drawdb/geometry/" + type.name, type.classification);
    }
    EXPECT_EQ(
        (std::vector<std::string>{"drawdb/geometry/DOFLocator", "drawdb/geometry/MarkerLocator"}),
        info.drawOverrides);
    EXPECT_EQ("", outcome.printed);
    const std::vector<std::string> inOrder = {
        "registerFileTranslator Kelmar K-file",
        "registerCommand CreateOffsetCubes",
        "registerCommand CopyHierarchyKeys",
        "registerCommand ToLocal",
        "registerNode DOFLocator",
        "registerNode MarkerLocator",
        "registerDrawOverrideCreator drawdb/geometry/DOFLocator",
        "registerDrawOverrideCreator drawdb/geometry/MarkerLocator",
        "deregisterFileTranslator Kelmar K-file",
        "deregisterCommand CreateOffsetCubes",
        "deregisterCommand CopyHierarchyKeys",
        "deregisterCommand ToLocal",
        "deregisterNode 419430",
        "deregisterNode 419431",
        "deregisterDrawOverrideCreator drawdb/geometry/DOFLocator",
        "deregisterDrawOverrideCreator drawdb/geometry/MarkerLocator"};
    EXPECT_EQ(inOrder, outcome.registrations);
}

// Whatever the host refuses, every later step is still tried and unloading removes the rest;
// only a refused translator fails the load.
TEST_F(Registration, GoesOnPastRefusedSteps) {
    const char* const kDofOverride = "registerDrawOverrideCreator drawdb/geometry/DOFLocator";
    const char* const kMarkerOverride = "registerDrawOverrideCreator drawdb/geometry/MarkerLocator";
    const char* const kDofUnoverride = "deregisterDrawOverrideCreator drawdb/geometry/DOFLocator";
    const char* const kMarkerUnoverride =
        "deregisterDrawOverrideCreator drawdb/geometry/MarkerLocator";
    const struct {
        host::Fault fault;
        const char* name;
        bool loaded;
        std::vector<std::string> registrations;
        const char* report;  // printed once per refused step
        size_t reports;
    } cases[] = {
        {host::Fault::RegisterFileTranslator,
         "Kelmar K-file",
         false,
         {"registerFileTranslator Kelmar K-file (refused)", "registerCommand CreateOffsetCubes",
          "registerCommand CopyHierarchyKeys", "registerCommand ToLocal", "registerNode DOFLocator",
          "registerNode MarkerLocator", kDofOverride, kMarkerOverride},
         "registerFileTranslator: ",
         1},
        {host::Fault::RegisterCommand,
         "CopyHierarchyKeys",
         true,
         {"registerFileTranslator Kelmar K-file", "registerCommand CreateOffsetCubes",
          "registerCommand CopyHierarchyKeys (refused)", "registerCommand ToLocal",
          "registerNode DOFLocator", "registerNode MarkerLocator", kDofOverride, kMarkerOverride,
          "deregisterFileTranslator Kelmar K-file", "deregisterCommand CreateOffsetCubes",
          "deregisterCommand CopyHierarchyKeys (refused)", "deregisterCommand ToLocal",
          "deregisterNode 419430", "deregisterNode 419431", kDofUnoverride, kMarkerUnoverride},
         "registerCommand: ",
         1},
        {host::Fault::RegisterNode,
         "DOFLocator",
         true,
         {"registerFileTranslator Kelmar K-file", "registerCommand CreateOffsetCubes",
          "registerCommand CopyHierarchyKeys", "registerCommand ToLocal",
          "registerNode DOFLocator (refused)", "registerNode MarkerLocator", kDofOverride,
          kMarkerOverride, "deregisterFileTranslator Kelmar K-file",
          "deregisterCommand CreateOffsetCubes", "deregisterCommand CopyHierarchyKeys",
          "deregisterCommand ToLocal", "deregisterNode 419430 (refused)", "deregisterNode 419431",
          kDofUnoverride, kMarkerUnoverride},
         "registerNode",
         0},
        {host::Fault::AddAttribute,
         "size",
         true,
         {"registerFileTranslator Kelmar K-file", "registerCommand CreateOffsetCubes",
          "registerCommand CopyHierarchyKeys", "registerCommand ToLocal",
          "registerNode DOFLocator (refused)", "registerNode MarkerLocator (refused)", kDofOverride,
          kMarkerOverride, "deregisterFileTranslator Kelmar K-file",
          "deregisterCommand CreateOffsetCubes", "deregisterCommand CopyHierarchyKeys",
          "deregisterCommand ToLocal", "deregisterNode 419430 (refused)",
          "deregisterNode 419431 (refused)", kDofUnoverride, kMarkerUnoverride},
         "addAttribute: ",
         2},
        // A refused draw override is reported; its node type stays registered.
        {host::Fault::RegisterDrawOverride,
         "drawdb/geometry/DOFLocator",
         true,
         {"registerFileTranslator Kelmar K-file", "registerCommand CreateOffsetCubes",
          "registerCommand CopyHierarchyKeys", "registerCommand ToLocal", "registerNode DOFLocator",
          "registerNode MarkerLocator",
          "registerDrawOverrideCreator drawdb/geometry/DOFLocator (refused)", kMarkerOverride,
          "deregisterFileTranslator Kelmar K-file", "deregisterCommand CreateOffsetCubes",
          "deregisterCommand CopyHierarchyKeys", "deregisterCommand ToLocal",
          "deregisterNode 419430", "deregisterNode 419431",
          "deregisterDrawOverrideCreator drawdb/geometry/DOFLocator (refused)", kMarkerUnoverride},
         "registerDrawOverrideCreator: ",
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host::clearFaults();
        host::clearRegistrationLog();
        host::injectFault(c.fault, c.name);
        const LoadOutcome outcome = loadAndUnload();
        EXPECT_EQ(c.loaded, outcome.loaded);
        EXPECT_EQ(c.registrations, outcome.registrations);
        EXPECT_EQ(c.reports, linesStartingWith(outcome.printed, c.report)) << outcome.printed;
    }
}

TEST_F(Registration, UnloadsOnceTheImportedNodesAreGone) {
    ASSERT_TRUE(host::loadPlugin("MayaKFileReader"));
    ASSERT_TRUE(MGlobal::executeCommand("createNode DOFLocator; createNode MarkerLocator"));
    EXPECT_FALSE(host::unloadPlugin("MayaKFileReader"));
    host::resetScene();
    EXPECT_TRUE(host::unloadPlugin("MayaKFileReader"));
    EXPECT_TRUE(host::registeredTranslators().empty());
}

// Recognition is by the name's extension alone, whatever the file holds.
TEST(TranslatorIdentification, ByExtensionOnly) {
    const struct {
        const char* path;
        bool mine;
    } cases[] = {
        {"/takes/walk.k", true},
        {"/takes/WALK.K", true},
        {"take.01.k", true},
        {"/takes/k", true},
        {"K", true},
        {"/takes/walk.kk", false},
        {"/takes/walk.c3d", false},
        {"walk.k.bak", false},
        {"walk.", false},
        {"/takes/walk", false},
        {"/takes.k/walk", false},
    };
    KFileTranslator translator;
    const char bytes[] = "K#";
    for (const auto& c : cases) {
        MFileObject file;
        file.setRawFullName(c.path);
        const auto expected =
            c.mine ? MPxFileTranslator::kIsMyFileType : MPxFileTranslator::kNotMyFileType;
        EXPECT_EQ(expected, translator.identifyFile(file, bytes, 2)) << c.path;
        EXPECT_EQ(expected, translator.identifyFile(file, nullptr, 0)) << c.path;
    }
    EXPECT_TRUE(translator.haveReadMethod());
    EXPECT_FALSE(translator.haveWriteMethod());
    EXPECT_FALSE(translator.canBeOpened());
    EXPECT_STREQ("K", translator.defaultExtension().asChar());
    EXPECT_STREQ("*.K", translator.filter().asChar());
}

}  // namespace
