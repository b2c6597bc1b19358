#include "nodes/LocatorNodes.h"

#include <maya/MDGContext.h>
#include <maya/MDistance.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>

#include <GL/gl.h>

namespace {

constexpr double kDofCrossCm = 10.0;
constexpr double kMarkerCrossCm = 2.0;

// Every locator type gets a "size" attribute object of its own: a type whose attribute
// object were shared would read its nodes' size through another type's attribute.
MStatus addSizeAttribute(MObject& attribute) {
    MFnUnitAttribute unit;
    attribute = unit.create("size", "sz", MFnUnitAttribute::kDistance, 0.0);
    unit.setDefault(1.0);
    const MStatus status = MPxNode::addAttribute(attribute);
    if (!status)
        status.perror("addAttribute");
    return status;
}

}  // namespace

const char* const DOFLocator::kTypeName = "DOFLocator";
const MTypeId DOFLocator::kTypeId(0x66666);
MObject DOFLocator::sizeAttribute;

const char* const MarkerLocator::kTypeName = "MarkerLocator";
const MTypeId MarkerLocator::kTypeId(0x66667);
MObject MarkerLocator::sizeAttribute;

MStatus DOFLocator::compute(const MPlug&, MDataBlock&) {
    return MStatus::kUnknownParameter;
}

void DOFLocator::draw(M3dView& view, const MDagPath&, M3dView::DisplayStyle,
                      M3dView::DisplayStatus) {
    drawCross(view, kDofCrossCm);
}

bool DOFLocator::isBounded() const {
    return false;
}

MBoundingBox DOFLocator::boundingBox() const {
    MDistance value;
    MPlug(thisMObject(), size()).getValue(value, MDGContext::fsNormal);
    const double side = value.asCentimeters();
    return MBoundingBox(MPoint(-0.5, 0.0, -0.5, 1.0) * side, MPoint(0.5, 0.0, 0.5, 1.0) * side);
}

void* DOFLocator::creator() {
    return new DOFLocator;
}

MStatus DOFLocator::initialize() {
    return addSizeAttribute(sizeAttribute);
}

void DOFLocator::drawCross(M3dView& view, double lengthCm) {
    const float length = static_cast<float>(
        MDistance(lengthCm, MDistance::kCentimeters).as(MDistance::internalUnit()));
    const float half = length * 0.5f;
    view.beginGL();
    glBegin(GL_LINES);
    glVertex3f(0.0f, 0.0f, half);
    glVertex3f(0.0f, 0.0f, -half);
    glVertex3f(half, 0.0f, 0.0f);
    glVertex3f(-half, 0.0f, 0.0f);
    glVertex3f(0.0f, half, 0.0f);
    glVertex3f(0.0f, -half, 0.0f);
    glEnd();
    view.endGL();
}

const MObject& DOFLocator::size() const {
    return sizeAttribute;
}

void MarkerLocator::draw(M3dView& view, const MDagPath&, M3dView::DisplayStyle,
                         M3dView::DisplayStatus) {
    drawCross(view, kMarkerCrossCm);
}

void* MarkerLocator::creator() {
    return new MarkerLocator;
}

MStatus MarkerLocator::initialize() {
    return addSizeAttribute(sizeAttribute);
}

const MObject& MarkerLocator::size() const {
    return sizeAttribute;
}
