#pragma once
// Shared by the command tests: the module loaded into a clean stand-in host, MEL helpers that
// build, import and read scenes, and the commands run through MEL as a user runs them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <host/command_log.h>
#include <host/faults.h>
#include <host/plugins.h>
#include <host/scene.h>

#include "Environment.h"
#include "MelText.h"
#include "SampleTake.h"
#include "TestFiles.h"
#include "scene/model.h"

namespace commandstest {

using Strings = std::vector<std::string>;

// An empty scene, no module loaded, no faults in force.
inline void resetHost() {
    host::resetScene();
    host::unloadAllPlugins();
    host::clearFaults();
}

class CommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The module comes from this build's module folder.
        testsupport::UnsetEnvironment("MAYA_PLUG_IN_PATH");
        resetHost();
        std::string error;
        ASSERT_TRUE(host::loadPlugin("MayaKFileReader", &error)) << error;
        host::clearCommandLog();
        host::clearMessageLog();
    }
    void TearDown() override { resetHost(); }

    // Runs a command that must succeed; the MEL it issued.
    static Strings issuedBy(const std::string& command) {
        host::clearCommandLog();
        EXPECT_TRUE(MGlobal::executeCommand(command.c_str())) << command;
        const Strings& log = host::commandLog();
        EXPECT_FALSE(log.empty());
        return log.empty() ? log : Strings(log.begin() + 1, log.end());
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

    // Writes a synthetic take of one subject and imports it.
    void importTake(const SampleTakeOptions& options) {
        const std::string path = folder_.Path(options.subject + ".k");
        ASSERT_TRUE(SampleTake(options).Write(path));
        mel("file -import " + testsupport::MelQuoted(path));
    }
    // A subject with the markers LFHD, RFHD (nodes LFHD_marker, RFHD_marker) and the segments Hips,
    // Spine, Chest.
    void importSubject(const std::string& subject, float rate = 120.0f, int32_t frames = 24) {
        SampleTakeOptions options;
        options.subject = subject;
        options.markerCount = 2;
        options.segmentCount = 3;
        options.frameCount = frames;
        options.rate = rate;
        importTake(options);
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

    // At the current time.
    static scene::Matrix worldMatrix(const std::string& path) {
        std::string error;
        scene::Node* n = scene::theScene().lookup(path, &error);
        EXPECT_NE(n, nullptr) << error;
        return n != nullptr ? scene::theScene().worldMatrix(n) : scene::identity();
    }

  private:
    testsupport::TempDir folder_;
};

}  // namespace commandstest
