#include "nodes/LocatorNodes.h"

#include <maya/MDGContext.h>
#include <maya/MDistance.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>

#ifdef _MSC_VER
#include <windows.h>  // the system's <GL/gl.h> needs its declarations there
#endif
#include <GL/gl.h>

// The devkits that deprecate the OpenGL bracket of the legacy viewport offer no replacement
// for it there: its replacement is the Viewport 2.0 override, which those hosts use. The
// legacy draw keeps the bracket, and only these calls are let past the deprecation.
#if MAYA_API_VERSION >= 20190000 && defined(_MSC_VER)
#define KFR_LEGACY_GL_BEGIN __pragma(warning(push)) __pragma(warning(disable : 4996))
#define KFR_LEGACY_GL_END __pragma(warning(pop))
#elif MAYA_API_VERSION >= 20190000
#define KFR_LEGACY_GL_BEGIN \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wdeprecated-declarations\"")
#define KFR_LEGACY_GL_END _Pragma("GCC diagnostic pop")
#else
#define KFR_LEGACY_GL_BEGIN
#define KFR_LEGACY_GL_END
#endif

namespace {

// The cross's vertices as multiples of its half length.
const float kCrossDirections[6][3] = {{0, 0, 1},  {0, 0, -1}, {1, 0, 0},
                                      {-1, 0, 0}, {0, 1, 0},  {0, -1, 0}};

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

CrossVertices crossVertices(double lengthCm) {
    // In single precision, as the legacy viewport takes its vertices.
    const float length = static_cast<float>(
        MDistance(lengthCm, MDistance::kCentimeters).as(MDistance::internalUnit()));
    const float half = length * 0.5f;
    CrossVertices vertices;
    for (size_t i = 0; i < vertices.size(); ++i) {
        const float* direction = kCrossDirections[i];
        vertices[i] = {direction[0] * half, direction[1] * half, direction[2] * half};
    }
    return vertices;
}

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
    drawCross(view, kCrossCm);
}

bool DOFLocator::isBounded() const {
    return false;
}

MBoundingBox DOFLocator::boundingBox() const {
    MDistance value;
#if MAYA_API_VERSION >= 20180000
    MPlug(thisMObject(), size()).getValue(value);  // in the normal context
#else
    MPlug(thisMObject(), size()).getValue(value, MDGContext::fsNormal);
#endif
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
    KFR_LEGACY_GL_BEGIN
    view.beginGL();
    KFR_LEGACY_GL_END
    glBegin(GL_LINES);
    for (const CrossVertex& vertex : crossVertices(lengthCm))
        glVertex3f(vertex.x, vertex.y, vertex.z);
    glEnd();
    KFR_LEGACY_GL_BEGIN
    view.endGL();
    KFR_LEGACY_GL_END
}

const MObject& DOFLocator::size() const {
    return sizeAttribute;
}

void MarkerLocator::draw(M3dView& view, const MDagPath&, M3dView::DisplayStyle,
                         M3dView::DisplayStatus) {
    drawCross(view, kCrossCm);
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
