// The test module's locator: a cross whose half length is its "size" in centimetres, and a
// bounding box of the same size, read through a plug as a module's locators do. With
// HOSTTEST_DRAW_OVERRIDE set it also has a Viewport 2.0 override that misuses the draw
// manager (and that HOSTTEST_LEAK leaves registered).

#define MNoVersionString
#include "test_locator.h"

#include <maya/M3dView.h>
#include <maya/MBoundingBox.h>
#include <maya/MDistance.h>
#include <maya/MDrawRegistry.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MTypeId.h>

#include <GL/gl.h>

#include <cstdlib>
#include <string>

namespace {

const MTypeId kTestLocatorId(0x7f102);
MObject g_size;

class TestLocator : public MPxLocatorNode {
  public:
    MStatus compute(const MPlug&, MDataBlock&) override { return MStatus::kUnknownParameter; }

    void draw(M3dView& view, const MDagPath&, M3dView::DisplayStyle,
              M3dView::DisplayStatus) override {
        const float h = static_cast<float>(size());
        view.beginGL();
        glBegin(GL_LINES);
        glVertex3f(0, 0, h);
        glVertex3f(0, 0, -h);
        glVertex3f(h, 0, 0);
        glVertex3f(-h, 0, 0);
        glVertex3f(0, h, 0);
        glVertex3f(0, -h, 0);
        glEnd();
        view.endGL();
    }

    bool isBounded() const override { return true; }

    MBoundingBox boundingBox() const override {
        const double s = size();
        return MBoundingBox(MPoint(-1, 0, -1) * s, MPoint(1, 0, 1) * s);
    }

    static void* creator() { return new TestLocator; }

    static MStatus initialize() {
        MFnUnitAttribute unit;
        g_size = unit.create("size", "sz", MFnUnitAttribute::kDistance, 0.0);
        unit.setDefault(1.0);
        const MStatus status = addAttribute(g_size);
        if (!status)
            status.perror("addAttribute");
        return status;
    }

  private:
    double size() const {
        MDistance value;
        MPlug(thisMObject(), g_size).getValue(value);
        return value.asCentimeters();
    }
};

const char* const kClassification = "drawdb/geometry/hostTestLocator";

bool envSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value && std::string(value) != "0";
}

// Draws a line before its drawable, begins a second drawable inside the first and ends none.
class ClumsyOverride : public MHWRender::MPxDrawOverride {
  public:
    explicit ClumsyOverride(const MObject& node) : MPxDrawOverride(node, NULL) {}
    bool hasUIDrawables() const override { return true; }
    MUserData* prepareForDraw(const MDagPath&, const MDagPath&, const MHWRender::MFrameContext&,
                              MUserData*) override {
        return new MUserData(true);
    }
    void addUIDrawables(const MDagPath&, MHWRender::MUIDrawManager& manager,
                        const MHWRender::MFrameContext&, const MUserData*) override {
        manager.line(MPoint(0, 0, 0), MPoint(0, 1, 0));
        manager.beginDrawable();
        manager.setColor(MColor(1.0f, 0.0f, 0.0f));
        manager.line(MPoint(0, 0, 0), MPoint(1, 0, 0));
        manager.beginDrawable();
    }
    static MHWRender::MPxDrawOverride* creator(const MObject& node) {
        return new ClumsyOverride(node);
    }
};

}  // namespace

MStatus registerTestLocator(MFnPlugin& plugin) {
    const MString classification(kClassification);
    const MStatus status =
        plugin.registerNode("hostTestLocator", kTestLocatorId, TestLocator::creator,
                            TestLocator::initialize, MPxNode::kLocatorNode, &classification);
    if (status && envSet("HOSTTEST_DRAW_OVERRIDE"))
        return MHWRender::MDrawRegistry::registerDrawOverrideCreator(kClassification, "hosttest",
                                                                     ClumsyOverride::creator);
    return status;
}

MStatus deregisterTestLocator(MFnPlugin& plugin) {
    if (envSet("HOSTTEST_DRAW_OVERRIDE") && !envSet("HOSTTEST_LEAK"))
        MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kClassification, "hosttest");
    return plugin.deregisterNode(kTestLocatorId);
}
