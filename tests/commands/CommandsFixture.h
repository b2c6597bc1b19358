#pragma once
// Shared by the command tests: a fresh scene per test, with the two locator node types, MEL
// helpers that build and read scenes, and the commands run as the host runs them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <maya/MArgList.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MStringArray.h>
#include <maya/MTypeId.h>

#include <host/command_log.h>
#include <host/scene.h>

#include "commands/CopyHierarchyKeysCommand.h"
#include "commands/CreateOffsetCubesCommand.h"
#include "commands/ToLocalCommand.h"
#include "scene/model.h"
#include "scene/node_types.h"

namespace commandstest {

using Strings = std::vector<std::string>;

class Locator : public MPxLocatorNode {
  public:
    static void* creator() { return new Locator; }
    static MStatus initialize() { return MStatus::kSuccess; }
    MStatus compute(const MPlug&, MDataBlock&) override { return MStatus::kUnknownParameter; }
};

class CommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host::resetScene();
        for (const char* type : {"DOFLocator", "MarkerLocator"}) {
            if (!scene::isPluginNodeType(type)) {
                const unsigned int id = std::string(type) == "DOFLocator" ? 0x66666 : 0x66667;
                ASSERT_TRUE(scene::registerNodeType(type, MTypeId(id), &Locator::creator,
                                                    &Locator::initialize, MPxNode::kLocatorNode));
            }
        }
        host::clearCommandLog();
        host::clearMessageLog();
    }
    void TearDown() override { host::resetScene(); }

    // Runs a command as the host does: a new object, doIt, the object deleted.
    static MStatus runCommand(const std::string& name) {
        void* (*creator)() = name == "CreateOffsetCubes"   ? &CreateOffsetCubesCommand::creator
                             : name == "CopyHierarchyKeys" ? &CopyHierarchyKeysCommand::creator
                                                           : &ToLocalCommand::creator;
        std::unique_ptr<MPxCommand> command(static_cast<MPxCommand*>(creator()));
        return command->doIt(MArgList());
    }

    // Runs a command that must succeed; the MEL it issued.
    static Strings issuedBy(const std::string& name) {
        host::clearCommandLog();
        EXPECT_TRUE(runCommand(name));
        return host::commandLog();
    }

    // Runs MEL; the result strings, or a failure of the test when the MEL failed.
    static Strings mel(const std::string& command) {
        MStringArray result;
        EXPECT_TRUE(MGlobal::executeCommand(command.c_str(), result)) << command;
        Strings out;
        for (unsigned int i = 0; i < result.length(); ++i) {
            out.push_back(result[i].asChar());
        }
        return out;
    }

    // A transform named exactly name under parent (a path, or "" for the world), carrying a
    // locator shape of the type, or none when the type is empty. A new node avoids every
    // name in the scene, so a name used elsewhere is given back by renaming.
    static std::string node(const std::string& name, const std::string& parent,
                            const std::string& locatorType = "DOFLocator") {
        const std::string under = parent.empty() ? "" : " -p " + parent;
        const std::string made = mel("createNode transform -n " + name + under).at(0);
        const std::string path = (parent.empty() || parent[0] == '|' ? "" : "|") + parent + "|";
        if (made != name) {
            mel("rename " + path + made + " " + name);
        }
        if (!locatorType.empty()) {
            mel("createNode " + locatorType + " -p " + path + name);
        }
        return path + name;
    }
    static std::string group(const std::string& name, const std::string& parent = "") {
        return node(name, parent, "");
    }

    static Strings children(const std::string& path) { return mel("listRelatives -c " + path); }
    static Strings selection() { return mel("ls -sl -l"); }
    static void select(const std::string& names) { mel("select -r " + names); }

    static scene::Matrix worldMatrix(const std::string& path) {
        std::string error;
        scene::Node* n = scene::theScene().lookup(path, &error);
        EXPECT_NE(n, nullptr) << error;
        return n != nullptr ? scene::theScene().worldMatrix(n) : scene::identity();
    }
};

}  // namespace commandstest
