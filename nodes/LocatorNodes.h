// The two locator node types an import makes: a DOF locator per skeleton segment and a marker
// locator per marker. Both draw a three-axis cross through their origin and carry one
// attribute, "size".
#pragma once

#include <maya/M3dView.h>
#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MDataBlock.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MStatus.h>
#include <maya/MTypeId.h>

#include <array>

// The cross that every viewport draws: three segments through the origin, along Z, then X,
// then Y, each from +h to -h. Both the legacy draw and the Viewport 2.0 override draw these
// vertices, in this order.
struct CrossVertex {
    float x, y, z;
};
using CrossVertices = std::array<CrossVertex, 6>;
// The vertices of the cross `lengthCm` long, in the host's internal distance unit.
CrossVertices crossVertices(double lengthCm);

class DOFLocator : public MPxLocatorNode {
  public:
    static const char* const kTypeName;
    static const MTypeId kTypeId;
    static constexpr double kCrossCm = 10.0;
    // This type's own "size" attribute, made when the type is registered.
    static MObject sizeAttribute;

    ~DOFLocator() override = default;

    // The node has no outputs.
    MStatus compute(const MPlug& plug, MDataBlock& data) override;
    void draw(M3dView& view, const MDagPath& path, M3dView::DisplayStyle style,
              M3dView::DisplayStatus status) override;
    bool isBounded() const override;
    // A flat square of side "size" around the origin, in centimetres.
    MBoundingBox boundingBox() const override;

    static void* creator();
    static MStatus initialize();

  protected:
    // The cross `lengthCm` long, in OpenGL.
    static void drawCross(M3dView& view, double lengthCm);
    // The "size" attribute of the node's own type.
    virtual const MObject& size() const;
};

class MarkerLocator : public DOFLocator {
  public:
    static const char* const kTypeName;
    static const MTypeId kTypeId;
    static constexpr double kCrossCm = 2.0;
    static MObject sizeAttribute;

    void draw(M3dView& view, const MDagPath& path, M3dView::DisplayStyle style,
              M3dView::DisplayStatus status) override;

    static void* creator();
    static MStatus initialize();

  protected:
    const MObject& size() const override;
};
