// Loading and unloading the module: what it registers, how it copes with a host that refuses
// part of it, and that unloading undoes exactly what loading did.

#include <gtest/gtest.h>
#include <maya/MFileObject.h>

#include <host/faults.h>
#include <host/plugins.h>
#include <host/scene.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "import/KFileTranslator.h"

namespace {

struct Registry {
    std::vector<std::string> translators = host::registeredTranslators();
    std::vector<std::string> commands = host::registeredCommands();
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

std::vector<std::string> nodeTypeNames(const host::PluginInfo& info) {
    std::vector<std::string> names;
    for (const host::RegisteredNodeType& type : info.nodeTypes)
        names.push_back(type.name);
    return names;
}

class Registration : public ::testing::Test {
  protected:
    void SetUp() override {
        unsetenv("MAYA_PLUG_IN_PATH");
        host::resetScene();
        host::unloadAllPlugins();
        host::clearFaults();
    }
    void TearDown() override {
        host::unloadAllPlugins();
        host::clearFaults();
    }

    // Loads the module, unloads it again when it loaded, and checks that the registry is as it
    // was before. What initializePlugin printed goes to `printed`.
    void loadAndUnload(bool expectLoaded, host::PluginInfo& info, std::string& printed) {
        const Registry before;
        testing::internal::CaptureStderr();
        std::string error;
        const bool loaded = host::loadPlugin("MayaKFileReader", &error);
        printed = testing::internal::GetCapturedStderr();
        ASSERT_EQ(expectLoaded, loaded) << error;
        if (loaded) {
            ASSERT_TRUE(host::findPlugin("MayaKFileReader", &info));
            ASSERT_TRUE(host::unloadPlugin("MayaKFileReader", &error)) << error;
        }
        const Registry after;
        EXPECT_EQ(before.translators, after.translators);
        EXPECT_EQ(before.commands, after.commands);
        EXPECT_EQ(before.plugins, after.plugins);
    }
};

TEST_F(Registration, RegistersTheTranslatorAndBothLocatorTypes) {
    host::PluginInfo info;
    std::string printed;
    loadAndUnload(true, info, printed);
    EXPECT_EQ("700", info.apiVersion);
    EXPECT_EQ("Brenholt Ltd.", info.vendor);
    EXPECT_EQ("Release 1.0", info.version);
    EXPECT_EQ(std::vector<std::string>{"Kelmar K-file"}, info.translators);
    ASSERT_EQ(2u, info.nodeTypes.size());
    EXPECT_EQ("DOFLocator", info.nodeTypes[0].name);
    EXPECT_EQ(0x66666u, info.nodeTypes[0].id);
    EXPECT_EQ("MarkerLocator", info.nodeTypes[1].name);
    EXPECT_EQ(0x66667u, info.nodeTypes[1].id);
    for (const host::RegisteredNodeType& type : info.nodeTypes)
        EXPECT_EQ(1, type.kind) << type.name;  // MPxNode::kLocatorNode
    EXPECT_EQ("", printed);
}

TEST_F(Registration, ARefusedTranslatorFailsTheLoad) {
    host::injectFault(host::Fault::RegisterFileTranslator, "Kelmar K-file");
    host::PluginInfo info;
    std::string printed;
    loadAndUnload(false, info, printed);
    EXPECT_EQ(1u, linesStartingWith(printed, "registerFileTranslator: ")) << printed;
}

// A node type the host refuses is left out; the module still loads.
TEST_F(Registration, ARefusedNodeTypeIsLeftOut) {
    host::injectFault(host::Fault::RegisterNode, "DOFLocator");
    host::PluginInfo info;
    std::string printed;
    loadAndUnload(true, info, printed);
    EXPECT_EQ(std::vector<std::string>{"MarkerLocator"}, nodeTypeNames(info));
    EXPECT_EQ(std::vector<std::string>{"Kelmar K-file"}, info.translators);
    EXPECT_EQ(0u, linesStartingWith(printed, "registerNode")) << printed;
}

TEST_F(Registration, ARefusedSizeAttributeIsReportedForEachType) {
    host::injectFault(host::Fault::AddAttribute, "size");
    host::PluginInfo info;
    std::string printed;
    loadAndUnload(true, info, printed);
    EXPECT_TRUE(info.nodeTypes.empty());
    EXPECT_EQ(2u, linesStartingWith(printed, "addAttribute: ")) << printed;
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
