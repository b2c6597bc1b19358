// The test module's locator: a cross whose half length is its "size" in centimetres, and a
// bounding box of the same size, read through a plug as a module's locators do.

#define MNoVersionString
#include "test_locator.h"

#include <maya/M3dView.h>
#include <maya/MBoundingBox.h>
#include <maya/MDistance.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MTypeId.h>

#include <GL/gl.h>

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

}  // namespace

MStatus registerTestLocator(MFnPlugin& plugin) {
    return plugin.registerNode("hostTestLocator", kTestLocatorId, TestLocator::creator,
                               TestLocator::initialize, MPxNode::kLocatorNode);
}

MStatus deregisterTestLocator(MFnPlugin& plugin) {
    return plugin.deregisterNode(kTestLocatorId);
}
