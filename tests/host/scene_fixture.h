#pragma once
// Shared by the scene tests: a fresh scene per test, MEL helpers, and a plug-in locator type
// registered the way a module's initializePlugin would register it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <maya/MDGModifier.h>
#include <maya/MDagModifier.h>
#include <maya/MDistance.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>
#include <maya/MTypeId.h>

#include <host/scene.h>

#include "scene/model.h"
#include "scene/node_types.h"

namespace scenetest {

// A locator like the module's: a "size" distance attribute, bounds from it, a cross drawn.
class TestLocator : public MPxLocatorNode {
  public:
    static void* creator() { return new TestLocator; }
    static MStatus initialize() {
        MFnUnitAttribute unit;
        sizeAttr = unit.create("size", "sz", MFnUnitAttribute::kDistance, 0.0);
        unit.setDefault(1.0);
        return addAttribute(sizeAttr);
    }
    // For other test types: the same attribute, without touching sizeAttr.
    static MStatus initializeOther() {
        MFnUnitAttribute unit;
        MObject size = unit.create("size", "sz", MFnUnitAttribute::kDistance, 0.0);
        unit.setDefault(1.0);
        return addAttribute(size);
    }
    MStatus compute(const MPlug&, MDataBlock&) override { return MStatus::kUnknownParameter; }
    bool isBounded() const override { return true; }
    MBoundingBox boundingBox() const override {
        MPlug plug(thisMObject(), sizeAttr);
        MDistance size;
        plug.getValue(size);
        double s = size.asCentimeters();
        return MBoundingBox(MPoint(-0.5, 0, -0.5) * s, MPoint(0.5, 0, 0.5) * s);
    }
    static MObject sizeAttr;
};

inline const char* kLocatorType = "TestLocator";
inline const unsigned kLocatorId = 0x7f001;

inline void ensureLocatorType() {
    if (!scene::isPluginNodeType(kLocatorType)) {
        ASSERT_TRUE(scene::registerNodeType(kLocatorType, MTypeId(kLocatorId),
                                            &TestLocator::creator, &TestLocator::initialize,
                                            MPxNode::kLocatorNode));
    }
}

class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host::resetScene();
        ensureLocatorType();
    }
    void TearDown() override { host::resetScene(); }

    // Runs MEL; the result strings, or a failure of the test when the MEL failed.
    std::vector<std::string> mel(const std::string& command) {
        MStringArray result;
        MStatus status = MGlobal::executeCommand(command.c_str(), result);
        EXPECT_TRUE(status) << "MEL failed: " << command;
        std::vector<std::string> out;
        for (unsigned i = 0; i < result.length(); ++i) {
            out.push_back(result[i].asChar());
        }
        return out;
    }
    // True when the MEL fails.
    bool melFails(const std::string& command) { return !MGlobal::executeCommand(command.c_str()); }
    std::string one(const std::string& command) {
        std::vector<std::string> r = mel(command);
        return r.size() == 1 ? r[0] : "<" + std::to_string(r.size()) + " results>";
    }
    double number(const std::string& command) { return std::stod(one(command)); }
    // An empty group named exactly name under parent: a new node avoids every name in the
    // scene, so a name used elsewhere is given back by renaming (which only avoids siblings).
    void groupUnder(const std::string& name, const std::string& parent) {
        std::string made = one("group -em -n " + name + " -p " + parent);
        if (made != name) {
            mel("rename " + parent + "|" + made + " " + name);
        }
    }

    scene::Scene& scene() { return scene::theScene(); }
    scene::Node* node(const std::string& name) {
        std::string error;
        scene::Node* n = scene().lookup(name, &error);
        EXPECT_NE(n, nullptr) << error;
        return n;
    }
    std::vector<std::string> selection() {
        std::vector<std::string> names;
        for (scene::NodeId id : scene().selection()) {
            names.push_back(scene().fullPath(scene().find(id)));
        }
        return names;
    }
};

using Strings = std::vector<std::string>;

}  // namespace scenetest
