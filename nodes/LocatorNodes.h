// The two locator node types an import makes: a DOF locator per skeleton segment and a marker
// locator per marker. Both draw a three-axis cross through their origin and carry one
// attribute, "size".
#pragma once

#include <maya/M3dView.h>
#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MStatus.h>
#include <maya/MTypeId.h>

class MDataBlock;
class MPlug;

class DOFLocator : public MPxLocatorNode {
  public:
    static const char* const kTypeName;
    static const MTypeId kTypeId;
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
    // Three line segments through the origin, along Z, X and Y, each `lengthCm` long.
    static void drawCross(M3dView& view, double lengthCm);
    // The "size" attribute of the node's own type.
    virtual const MObject& size() const;
};

class MarkerLocator : public DOFLocator {
  public:
    static const char* const kTypeName;
    static const MTypeId kTypeId;
    static MObject sizeAttribute;

    void draw(M3dView& view, const MDagPath& path, M3dView::DisplayStyle style,
              M3dView::DisplayStatus status) override;

    static void* creator();
    static MStatus initialize();

  protected:
    const MObject& size() const override;
};
